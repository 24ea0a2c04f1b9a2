// One font face at one pixel size, as a Windows font request resolves it:
// the face name goes through fontconfig (which maps the Windows names to
// their metric-compatible substitutes), FreeType renders the glyphs.
// Weights and slants the file lacks are synthesised.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace d3dx {
namespace detail {

// One rendered glyph: 8-bit coverage, rows top first.
struct GlyphBitmap {
    int width = 0;
    int height = 0;
    int left = 0;     // pen position to the bitmap's left edge
    int top = 0;      // baseline to the bitmap's top edge (up is positive)
    int advance = 0;  // whole pixels
    std::vector<uint8_t> coverage;
};

class FontFace {
public:
    // height > 0: cell height in pixels; < 0: em height; 0: a 16-pixel cell.
    // width 0 lets the face choose its own width; weight 0..1000 as Windows
    // counts it. Null (with a reason) when no face can be found or opened.
    static std::unique_ptr<FontFace> Open(const char* faceName, int height, int width, int weight, bool italic,
                                          std::string* error);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    int Ascent() const { return ascent_; }             // pixels above the baseline
    int Descent() const { return descent_; }           // pixels below it
    int Height() const { return ascent_ + descent_; }  // the line height
    int AverageWidth() const { return averageWidth_; }
    int MaxWidth() const { return maxWidth_; }
    int Weight() const { return weight_; }
    bool Italic() const { return italic_; }
    const std::string& Family() const { return family_; }  // the family actually opened
    const std::string& File() const { return file_; }

    // Whole-pixel advance of a character (cached); the glyph of U+FFFD or
    // nothing for characters the face lacks.
    int Advance(uint32_t codepoint);
    // Renders a character; false only when FreeType fails on it.
    bool Render(uint32_t codepoint, GlyphBitmap& out);

private:
    FontFace() = default;
    bool Load(uint32_t codepoint);

    struct Impl;
    std::unique_ptr<Impl> impl_;
    int ascent_ = 0, descent_ = 0, averageWidth_ = 0, maxWidth_ = 0, weight_ = 400;
    bool italic_ = false;
    bool emboldenSynthetic_ = false;
    bool slantSynthetic_ = false;
    std::string family_, file_;
    std::unordered_map<uint32_t, int> advances_;
};

}  // namespace detail
}  // namespace d3dx
