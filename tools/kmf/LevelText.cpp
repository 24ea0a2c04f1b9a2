#include "kmf/LevelText.h"

#include <sstream>

namespace kmf {
namespace {

std::string Trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

}  // namespace

bool CompileLevelText(const std::string& text, LevelText& out, std::string& error)
{
    out = LevelText{};
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    int row = -1;  // -1 before "map", then rows read so far
    bool ended = false, haveStart = false, haveGoal = false;
    auto fail = [&](const std::string& msg) {
        error = "line " + std::to_string(lineNo) + ": " + msg;
        return false;
    };

    while (std::getline(in, raw)) {
        ++lineNo;
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == ';') continue;
        if (ended) return fail("text after \"end\"");
        if (row < 0) {
            if (line == "map") {
                row = 0;
            } else if (line.compare(0, 4, "name") == 0 && (line.size() == 4 || line[4] == ' ' || line[4] == '\t')) {
                out.name = Trim(line.substr(4));
            } else {
                return fail("expected \"name ...\" or \"map\", found \"" + line + "\"");
            }
            continue;
        }
        if (line == "end") {
            if (row != kGridSize) return fail("map has " + std::to_string(row) + " rows, needs 45");
            ended = true;
            continue;
        }
        if (row >= kGridSize) return fail("map has more than 45 rows");
        if (line.size() != static_cast<std::size_t>(kGridSize))
            return fail("map row has " + std::to_string(line.size()) + " characters, needs 45");
        const int cz = kGridSize - 1 - row;
        for (int cx = 0; cx < kGridSize; ++cx) {
            const char ch = line[cx];
            const Vec3 centre{CellCentre(cx), 0.0f, CellCentre(cz)};
            std::uint8_t tile = kTileSafe;
            switch (ch) {
                case '#':
                    tile = kTileBomb;
                    break;
                case '.':
                    break;
                case 'c':
                    out.level.coins.push_back({1, {centre.x, kCoinHeight, centre.z}});
                    break;
                case 'S':
                    if (haveStart) return fail("a second start");
                    haveStart = true;
                    out.level.start = {centre.x, kStartHeight, centre.z};
                    break;
                case 'G':
                    if (haveGoal) return fail("a second goal");
                    haveGoal = true;
                    out.level.goal = {centre.x, kGoalHeight, centre.z};
                    break;
                default:
                    if (ch >= '2' && ch <= '9') {
                        tile = static_cast<std::uint8_t>(ch - '0');
                        break;
                    }
                    return fail(std::string("unknown map character '") + ch + "'");
            }
            out.level.SetTile(cx, cz, tile);
        }
        ++row;
    }
    if (row < 0) return fail("no map");
    if (!ended) return fail("map not closed by \"end\"");
    if (!haveStart) return fail("no start ('S') on the map");
    if (!haveGoal) return fail("no goal ('G') on the map");
    if (out.level.coins.size() > static_cast<std::size_t>(kCoinTableSize)) return fail("more than 150 coins");
    return true;
}

}  // namespace kmf
