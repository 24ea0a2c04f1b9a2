#include "d3dx/TextLayout.h"

#include <algorithm>
#include <cwchar>

namespace d3dx {
namespace detail {
namespace {

struct Line {
    std::u32string text;
    int width = 0;
};

int Width(const std::u32string& s, const TextMetrics& m, int tab)
{
    int w = 0;
    for (char32_t c : s) w = (c == U'\t' && tab > 0) ? (w / tab + 1) * tab : w + m.advance(uint32_t(c));
    return w;
}

// Splits at line breaks (CR LF, LF or CR) unless single-line, then wraps
// each piece at spaces when word breaking is asked for.
std::vector<Line> Lines(const std::u32string& text, int maxWidth, uint32_t format, const TextMetrics& m, int tab)
{
    std::vector<std::u32string> pieces(1);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c == U'\r' || c == U'\n') {
            if (format & kDtSingleLine) continue;
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
            pieces.emplace_back();
        } else {
            pieces.back() += c;
        }
    }
    std::vector<Line> lines;
    bool wrap = (format & kDtWordBreak) && !(format & kDtSingleLine) && maxWidth > 0;
    for (std::u32string& piece : pieces) {
        if (!wrap) {
            lines.push_back(Line{piece, Width(piece, m, tab)});
            continue;
        }
        std::u32string current;
        size_t i = 0;
        while (i < piece.size()) {
            size_t end = i;
            while (end < piece.size() && piece[end] != U' ') ++end;
            std::u32string word = piece.substr(i, end - i);
            std::u32string candidate = current.empty() ? word : current + U' ' + word;
            if (!current.empty() && Width(candidate, m, tab) > maxWidth) {
                lines.push_back(Line{current, Width(current, m, tab)});
                current = word;
            } else {
                current = candidate;
            }
            i = end < piece.size() ? end + 1 : end;
        }
        lines.push_back(Line{current, Width(current, m, tab)});
    }
    return lines;
}

}  // namespace

TextBlock LayoutText(const std::u32string& text, int left, int top, int right, int bottom, uint32_t format,
                     const TextMetrics& m)
{
    TextBlock block;
    int tab = (format & kDtExpandTabs) ? 8 * std::max(1, m.averageWidth) : 0;
    std::vector<Line> lines = Lines(text, right - left, format, m, tab);
    int total = int(lines.size()) * m.lineHeight;
    int maxWidth = 0;
    for (const Line& l : lines) maxWidth = std::max(maxWidth, l.width);

    int y = top;
    if (format & kDtVCenter)
        y = top + ((bottom - top) - total) / 2;
    else if (format & kDtBottom)
        y = bottom - total;

    if (format & kDtCalcRect) {
        block.left = left;
        block.top = top;
        block.right = left + maxWidth;
        block.bottom = top + total;
        block.height = total;
        return block;
    }

    block.top = y;
    block.bottom = y + total;
    block.left = right;
    block.right = left;
    for (const Line& line : lines) {
        int x = left;
        if (format & kDtCenter)
            x = left + ((right - left) - line.width) / 2;
        else if (format & kDtRight)
            x = right - line.width;
        block.left = std::min(block.left, x);
        block.right = std::max(block.right, x + line.width);
        int pen = 0;
        for (char32_t c : line.text) {
            if (c == U'\t' && tab > 0) {
                pen = (pen / tab + 1) * tab;
                continue;
            }
            block.chars.push_back(PlacedChar{uint32_t(c), x + pen, y});
            pen += m.advance(uint32_t(c));
        }
        y += m.lineHeight;
    }
    if (lines.empty()) block.left = block.right = left;
    // Like DrawText: the text's height, measured from the rectangle's top
    // when the block was moved down.
    block.height = (format & (kDtVCenter | kDtBottom)) ? block.bottom - top : total;
    return block;
}

std::u32string DecodeUtf8(const char* text, int count)
{
    std::u32string out;
    if (!text) return out;
    size_t n = count < 0 ? std::char_traits<char>::length(text) : size_t(count);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < n) {
        unsigned char c = s[i];
        int extra = c >= 0xC2 && c < 0xE0 ? 1 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xF0 && c < 0xF5 ? 3 : 0;
        char32_t cp = c;
        bool ok = extra > 0 && size_t(extra) < n - i;
        if (ok) {
            cp = c & (0x3F >> extra);
            for (int k = 1; k <= extra && ok; ++k) {
                ok = (s[i + size_t(k)] & 0xC0) == 0x80;
                cp = (cp << 6) | (s[i + size_t(k)] & 0x3F);
            }
        }
        if (ok) {
            out += cp;
            i += size_t(extra) + 1;
        } else {
            out += char32_t(c);  // ASCII, or a byte taken as Latin-1
            ++i;
        }
    }
    return out;
}

std::u32string DecodeUtf16(const uint16_t* text, int count)
{
    std::u32string out;
    if (!text) return out;
    size_t n = 0;
    if (count < 0)
        while (text[n]) ++n;
    else
        n = size_t(count);
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        out += char32_t(c);
    }
    return out;
}

std::u32string DecodeUtf32(const wchar_t* text, int count)
{
    std::u32string out;
    if (!text) return out;
    size_t n = count < 0 ? std::wcslen(text) : size_t(count);
    for (size_t i = 0; i < n; ++i) out += char32_t(uint32_t(text[i]));
    return out;
}

}  // namespace detail
}  // namespace d3dx
