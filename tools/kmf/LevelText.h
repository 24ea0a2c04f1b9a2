// Level designs as readable text, compiled to levels.
//
//   ; comment lines start with ';'
//   name  Long Way Round           (optional, free text)
//   map                             then 45 rows of 45 characters:
//   #############################################    <- row 1: cellZ 44 (far side)
//   #..c......                                       column 1: cellX 0
//   ...
//   end
//
// Map characters: '#' bomb, '.' safe tile, 'c' coin, 'S' start, 'G' goal
// (coin, start and goal sit on safe tiles, at the tile's centre),
// '2'..'9' a tile of that value: drawn like a bomb, harmless.
// Coins stand at the ball centre's height (1.0); the start is 5.0 up, as the
// editor places it, and the goal lies on the board (0.0).
#pragma once

#include <string>

#include "kmf/KmfLevel.h"

namespace kmf {

constexpr float kCoinHeight = 1.0f;
constexpr float kStartHeight = 5.0f;
constexpr float kGoalHeight = 0.0f;

struct LevelText {
    std::string name;
    KmfLevel level;
};

// Compiles a design. Returns false and a message naming the line on any
// fault: a row of the wrong length, an unknown character, too few or too many
// rows, no start or goal or more than one of either, more coins than the table holds.
bool CompileLevelText(const std::string& text, LevelText& out, std::string& error);

}  // namespace kmf
