// Properties of MainWindow's definition that hold across its fields.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "text/utf.h"
#include "ui/main_window.h"
#include "ui/window_geometry.h"

namespace {

TEST(MainWindowDefinition, SampleParagraphIsOneParagraphOf87CharactersAnd170GbkBytes) {
  const std::u16string text = WidenUtf8(kSampleParagraph).value();
  int characters = 0;
  int gbk_bytes = 0;
  for (const char16_t unit : text) {
    ASSERT_FALSE(unit >= 0xD800 && unit <= 0xDFFF) << "outside the Basic Multilingual Plane";
    ASSERT_NE(unit, u'\n');
    ASSERT_NE(unit, u'\r');
    ++characters;
    // Every character of the paragraph is ASCII, or a Chinese character or
    // Chinese punctuation, which GBK holds in two bytes.
    const bool ascii = unit < 0x80;
    const bool cjk = (unit >= 0x4E00 && unit <= 0x9FA5) || (unit >= 0x3000 && unit <= 0x3011) ||
                     unit == u'“' || unit == u'”' || (unit >= 0xFF01 && unit <= 0xFF1F);
    ASSERT_TRUE(ascii || cjk) << "U+" << std::hex << static_cast<int>(unit);
    gbk_bytes += ascii ? 1 : 2;
  }
  EXPECT_EQ(characters, 87);
  EXPECT_EQ(gbk_bytes, 170);
}

TEST(MainWindowDefinition, ControlsLieInsideTheClientAreaWithoutOverlapping) {
  const auto& controls = kMainWindow.controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ControlBounds& a = controls[i].bounds;
    EXPECT_GE(a.left, 0) << controls[i].name;
    EXPECT_GE(a.top, 0) << controls[i].name;
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      const ControlBounds& b = controls[j].bounds;
      const bool apart = a.left + a.width <= b.left || b.left + b.width <= a.left ||
                         a.top + a.height <= b.top || b.top + b.height <= a.top;
      EXPECT_TRUE(apart) << controls[i].name << " overlaps " << controls[j].name;
    }
  }
  // The client area the frame leaves must hold at least this much.
  const WindowSize extent = ControlsExtent(kMainWindow);
  EXPECT_EQ(extent.width, 360);
  EXPECT_EQ(extent.height, 280);
}

TEST(MainWindowDefinition, DesignedSliderPositionsLieWithinTheirRanges) {
  for (const ControlDefinition& control : kMainWindow.controls) {
    if (control.kind != ControlKind::kSlider) {
      continue;
    }
    SCOPED_TRACE(control.name);
    EXPECT_LE(control.range.minimum, control.range.position);
    EXPECT_LE(control.range.position, control.range.maximum);
    EXPECT_GT(control.range.line_step, 0);
    EXPECT_GT(control.range.page_step, 0);
  }
}

}  // namespace
