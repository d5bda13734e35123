// What the event handlers may do with a window's controls. Controls are
// named by their index in the window definition; texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class Controls {
 public:
  virtual ~Controls() = default;

  // The position as the slider last reported it, or as last written.
  virtual std::int32_t GetSliderPosition(int control) = 0;
  // Moves the thumb, held within the slider's range; raises no event.
  virtual void SetSliderPosition(int control, std::int32_t position) = 0;
  // A fresh copy of the edit box's whole content, line breaks included.
  virtual std::string GetEditText(int control) = 0;
  // A copy of the button's caption as last written (or as designed).
  virtual std::string GetCaption(int control) = 0;
  // Replaces the caption and redraws the button at once; raises no event.
  virtual void SetCaption(int control, std::string_view caption) = 0;
};
