// Places the characters of a DrawText call: line breaks, word wrapping,
// horizontal alignment per line and vertical alignment of the block, with
// the DT_ flags' meanings. Pure arithmetic over advances, no device.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace d3dx {
namespace detail {

// DrawText format bits, with their Win32 values.
enum : uint32_t {
    kDtCenter = 0x1,
    kDtRight = 0x2,
    kDtVCenter = 0x4,
    kDtBottom = 0x8,
    kDtWordBreak = 0x10,
    kDtSingleLine = 0x20,
    kDtExpandTabs = 0x40,
    kDtNoClip = 0x100,
    kDtCalcRect = 0x400,
};

struct PlacedChar {
    uint32_t codepoint;
    int penX;     // pen position on the line
    int lineTop;  // top of the line's cell; the baseline is lineTop + ascent
};

struct TextBlock {
    std::vector<PlacedChar> chars;
    int left = 0, top = 0, right = 0, bottom = 0;  // the box the lines fill
    int height = 0;                                // what DrawText returns
};

struct TextMetrics {
    int lineHeight = 0;
    int averageWidth = 0;  // for tab stops
    std::function<int(uint32_t)> advance;
};

// Lays text out in the rectangle (left, top, right, bottom) with format.
TextBlock LayoutText(const std::u32string& text, int left, int top, int right, int bottom, uint32_t format,
                     const TextMetrics& metrics);

// UTF-8 (bytes that are not valid UTF-8 are taken as Latin-1) and UTF-16 /
// UTF-32 to code points; count < 0 means up to the terminating zero.
std::u32string DecodeUtf8(const char* text, int count);
std::u32string DecodeUtf16(const uint16_t* text, int count);
std::u32string DecodeUtf32(const wchar_t* text, int count);

}  // namespace detail
}  // namespace d3dx
