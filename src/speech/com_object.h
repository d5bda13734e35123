// A holder of one automation object reference, with late-bound calls by
// member name.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <variant>

struct IUnknown;

class ComObject {
 public:
  // One argument of a late-bound call: a text (UTF-8) or a 32-bit integer.
  using Argument = std::variant<std::string_view, std::int32_t>;

  ComObject() = default;
  ~ComObject();
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // Creates an object of the class named by a registry-format class
  // identifier ("{...}") and holds it, releasing the one held before.
  bool Instantiate(std::string_view class_id);
  bool HasObject() const { return object_ != nullptr; }
  void Reset();

  // Late-bound calls. A failure gives 0, false or nothing, and leaves the
  // held object in place.
  double GetNumber(std::string_view member);
  bool PutProperty(std::string_view member, std::int32_t value);
  void Call(std::string_view member);
  double CallNumber(std::string_view member, std::initializer_list<Argument> arguments);

 private:
  IUnknown* object_ = nullptr;
};
