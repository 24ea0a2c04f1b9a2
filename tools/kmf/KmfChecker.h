// Level checker: decides whether a level file is well formed and whether a
// player can complete it, and says why not.
//
// The ball rests with its centre 1.0 above the board (its radius). A bomb
// tile kills when the ball's centre comes within 1.0 of the point 1.0 above
// the tile's centre, so on the board each bomb is a deadly disc of radius 1.0
// inscribed in its tile: two bombs side by side close the gap between them,
// two bombs touching only at a corner leave a squeeze of about 0.83 units.
// The checker follows the ball's centre over the board on a fine lattice and
// finds, for every coin and the goal, the widest route from the start.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kmf/KmfLevel.h"

namespace kmf {

constexpr float kBallRadius = 1.0f;     // also the ball centre's height at rest
constexpr float kBombDistance = 1.0f;   // to the point (tile centre x, 1.0, tile centre z)
constexpr float kCoinDistance = 2.0f;   // ball centre to coin position
constexpr float kGoalDistance = 2.3f;   // ball centre to goal position
constexpr float kLatticeStep = 0.125f;  // spacing of the ball-centre lattice
// A route counts when it stays this far beyond the bomb distance everywhere;
// the lattice step covers the ground between lattice points.
constexpr float kRouteMargin = kLatticeStep;

struct KmfTargetReport {
    std::string name;  // "coin 3", "goal"
    Vec3 position;
    bool reachable = false;
    float clearance = 0;  // widest route: its closest approach to a bomb centre (4 or more: open ground)
};

struct KmfReport {
    bool wellFormed = false;
    bool completable = false;            // well formed and nothing below stands in the way
    std::vector<std::string> malformed;  // layout faults (size, count, finite values, start on the board)
    std::vector<std::string> blockers;   // what makes the level impossible to complete
    std::vector<std::string> notes;      // harmless oddities worth knowing
    float startClearance = 0;
    std::vector<KmfTargetReport> targets;  // coins in file order, then the goal
};

// Checks a level file held in memory.
KmfReport CheckKmfBytes(const std::vector<std::uint8_t>& bytes);

// Checks a level in memory (its layout is well formed by construction, bar
// the coin table size and the finite values, which are checked too).
KmfReport CheckKmfLevel(const KmfLevel& level);

// Human-readable report, one finding per line, ending with the verdict.
std::string FormatReport(const std::string& name, const KmfReport& report, bool verbose);

}  // namespace kmf
