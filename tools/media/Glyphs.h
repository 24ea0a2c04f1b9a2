// Block capitals drawn as polygons, for the logo and the frame's label.
// Each letter sits in a box 10 units tall (y down, 0 at the cap line);
// counters (the holes of O, A, R) are extra contours, filled even-odd.
#pragma once

#include <string>
#include <vector>

namespace media {

struct GlyphPoint {
    float x, y;
};

struct Glyph {
    char letter;
    float width;
    std::vector<std::vector<GlyphPoint>> contours;
};

const Glyph* FindGlyph(char letter);  // null for letters not in the set (A K L O R V X Y - and space)

// Width of a line of text in glyph units, with the given gap between letters.
float TextWidth(const std::string& text, float gap);

// Signed distance, in the caller's pixels, from (px, py) to the text drawn
// with its top-left corner at (x, y), scale pixels per unit and an italic
// slant (x shift per unit of height above the baseline).
float TextSdf(const std::string& text, float x, float y, float scale, float gap, float slant, float px, float py);

}  // namespace media
