#include "kmf/KmfChecker.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace kmf {
namespace {

constexpr int kLattice = static_cast<int>(kBoardSize / kLatticeStep) + 1;  // 721 points per side
constexpr float kOpenGround = 3.0f;                                        // clearance reported where no bomb is near
constexpr float kRouteNeed = kBombDistance + kRouteMargin;

std::string Fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* format, ...)
{
    char buf[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

bool Finite(const Vec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

int CellOf(float w)
{
    return static_cast<int>(w * 0.5f);
}  // truncation toward zero, as the game does

// Horizontal distance from (x, z) to the nearest deadly tile centre, capped.
// With the ball centre at its resting height this is the bomb test's distance.
float Clearance(const KmfLevel& level, float x, float z, int* bombX = nullptr, int* bombZ = nullptr)
{
    const int cx = CellOf(x), cz = CellOf(z);
    float best = kOpenGround;
    for (int i = cx - 2; i <= cx + 2; ++i) {
        for (int j = cz - 2; j <= cz + 2; ++j) {
            if (i < 0 || j < 0 || i >= kGridSize || j >= kGridSize || level.Tile(i, j) != kTileBomb) continue;
            const float d = std::hypot(x - CellCentre(i), z - CellCentre(j));
            if (d < best) {
                best = d;
                if (bombX) *bombX = i;
                if (bombZ) *bombZ = j;
            }
        }
    }
    return best;
}

struct Lattice {
    std::vector<float> clearance;  // per lattice point; -1 off the board's usable area
    std::vector<float> widest;     // best route clearance from the start; -1 unreached
    static int Index(int i, int j) { return i * kLattice + j; }
    static float Coord(int i) { return i * kLatticeStep; }
};

void BuildClearance(const KmfLevel& level, Lattice& lat)
{
    lat.clearance.assign(kLattice * kLattice, -1.0f);
    // The outermost ring of points is the board's very edge: a ball centred
    // there falls off, so it is not ground to travel on.
    for (int i = 1; i < kLattice - 1; ++i)
        for (int j = 1; j < kLattice - 1; ++j)
            lat.clearance[Lattice::Index(i, j)] = Clearance(level, Lattice::Coord(i), Lattice::Coord(j));
}

// Widest-route search over 8-connected lattice points: a max-min Dijkstra
// whose keys are clearances in steps of 1/kKeySteps, taken from a bucket
// per key, highest first (a route's key never rises as it grows).
constexpr int kKeySteps = 1024;
int Key(float clearance)
{
    return static_cast<int>(clearance * kKeySteps);
}

void SpreadFrom(int start, Lattice& lat)
{
    lat.widest.assign(lat.clearance.size(), -1.0f);
    std::vector<int> key(lat.clearance.size(), -1);
    std::vector<std::vector<int>> buckets(Key(kOpenGround) + 1);
    key[start] = Key(lat.clearance[start]);
    buckets[key[start]].push_back(start);
    for (int k = static_cast<int>(buckets.size()) - 1; k >= 0; --k) {
        while (!buckets[k].empty()) {
            const int p = buckets[k].back();
            buckets[k].pop_back();
            if (key[p] != k || lat.widest[p] >= 0) continue;  // stale entry, or already settled
            lat.widest[p] = static_cast<float>(k) / kKeySteps;
            const int pi = p / kLattice, pj = p % kLattice;
            for (int di = -1; di <= 1; ++di) {
                for (int dj = -1; dj <= 1; ++dj) {
                    const int qi = pi + di, qj = pj + dj;
                    if ((di == 0 && dj == 0) || qi < 0 || qj < 0 || qi >= kLattice || qj >= kLattice) continue;
                    const int q = Lattice::Index(qi, qj);
                    if (lat.clearance[q] < 0 || lat.widest[q] >= 0) continue;
                    const int v = std::min(k, Key(lat.clearance[q]));
                    if (v > key[q]) {
                        key[q] = v;
                        buckets[v].push_back(q);
                    }
                }
            }
        }
    }
}

// Best route clearance among the lattice points from which the target is
// within reach (horizontal radius r around it); -1 when none is reached.
float TargetClearance(const Lattice& lat, const Vec3& t, float r)
{
    float best = -1.0f;
    // Clamped in floats first: a target far off the board must not overflow an int.
    auto index = [](float w) { return static_cast<int>(std::clamp(w / kLatticeStep, 1.0f, kLattice - 2.0f)); };
    const int i0 = index(std::floor(t.x - r)), i1 = index(std::ceil(t.x + r));
    const int j0 = index(std::floor(t.z - r)), j1 = index(std::ceil(t.z + r));
    for (int i = i0; i <= i1; ++i)
        for (int j = j0; j <= j1; ++j)
            if (std::hypot(Lattice::Coord(i) - t.x, Lattice::Coord(j) - t.z) < r)
                best = std::max(best, lat.widest[Lattice::Index(i, j)]);
    return best;
}

void Analyse(const KmfLevel& level, KmfReport& report)
{
    int harmless = 0;
    for (std::uint8_t tile : level.grid) harmless += tile > kTileBomb;
    if (harmless > 0)
        report.notes.push_back(Fmt("%d tiles hold values 2..255: drawn as bombs, never deadly", harmless));

    for (std::size_t i = 0; i < level.coins.size(); ++i)
        if (!level.coins[i].active)
            report.blockers.push_back(
                Fmt("coin %zu is inactive: it can never be picked up, so the goal never counts", i));

    Lattice lat;
    BuildClearance(level, lat);

    // The ball drops from the start point straight down onto the board.
    const Vec3& s = level.start;
    if (s.y < kBallRadius) report.notes.push_back(Fmt("start height %.2f puts the ball into the board", s.y));
    int bx = -1, bz = -1;
    report.startClearance = Clearance(level, s.x, s.z, &bx, &bz);
    int start = -1;
    if (report.startClearance < kBombDistance) {
        report.blockers.push_back(
            Fmt("the ball lands on the bomb at cell (%d, %d): %.2f from its centre", bx, bz, report.startClearance));
    } else {
        // The nearest lattice point the ball can travel from, if one close by is safe.
        const int si = static_cast<int>(std::lround(s.x / kLatticeStep));
        const int sj = static_cast<int>(std::lround(s.z / kLatticeStep));
        float bestValue = -1.0f;
        for (int di = -1; di <= 1; ++di)
            for (int dj = -1; dj <= 1; ++dj) {
                const int i = si + di, j = sj + dj;
                if (i < 1 || j < 1 || i > kLattice - 2 || j > kLattice - 2) continue;
                const float c = lat.clearance[Lattice::Index(i, j)];
                if (c >= kRouteNeed && c > bestValue) {
                    bestValue = c;
                    start = Lattice::Index(i, j);
                }
            }
        if (start < 0)
            report.blockers.push_back(
                Fmt("the start is wedged against the bomb at cell (%d, %d): no room to move", bx, bz));
    }
    if (start >= 0) SpreadFrom(start, lat);

    auto target = [&](const std::string& name, const Vec3& p, float reach) {
        KmfTargetReport t;
        t.name = name;
        t.position = p;
        const float dy = p.y - kBallRadius;
        const float r2 = reach * reach - dy * dy;
        if (r2 <= 0) {
            report.blockers.push_back(
                Fmt("%s at height %.2f is out of the ball's reach (the ball's centre runs at %.1f)", name.c_str(), p.y,
                    kBallRadius));
        } else if (start >= 0) {
            t.clearance = TargetClearance(lat, p, std::sqrt(r2) - 1e-4f);
            t.reachable = t.clearance >= kRouteNeed;
            if (!t.reachable) {
                if (t.clearance < 0)
                    report.blockers.push_back(Fmt("%s at (%.2f, %.2f) lies off the board", name.c_str(), p.x, p.z));
                else
                    report.blockers.push_back(
                        Fmt("%s at (%.2f, %.2f) can be reached only across a deadly tile", name.c_str(), p.x, p.z));
            }
        }
        report.targets.push_back(t);
    };
    for (std::size_t i = 0; i < level.coins.size(); ++i)
        if (level.coins[i].active) target(Fmt("coin %zu", i), level.coins[i].position, kCoinDistance);
    target("goal", level.goal, kGoalDistance);
}

}  // namespace

KmfReport CheckKmfLevel(const KmfLevel& level)
{
    KmfReport report;
    if (level.coins.size() > static_cast<std::size_t>(kCoinTableSize))
        report.malformed.push_back(Fmt("%zu coins exceed the %d-entry coin table", level.coins.size(), kCoinTableSize));
    for (std::size_t i = 0; i < level.coins.size(); ++i)
        if (!Finite(level.coins[i].position))
            report.malformed.push_back(Fmt("coin %zu has a position that is not finite", i));
    if (!Finite(level.goal)) report.malformed.push_back("goal position is not finite");
    if (!Finite(level.start))
        report.malformed.push_back("start position is not finite");
    else if (level.start.x < 0 || level.start.x > kBoardSize || level.start.z < 0 || level.start.z > kBoardSize)
        report.malformed.push_back(Fmt("start (%.2f, %.2f) is off the 0..90 board", level.start.x, level.start.z));
    report.wellFormed = report.malformed.empty();
    if (report.wellFormed) Analyse(level, report);
    report.completable = report.wellFormed && report.blockers.empty();
    return report;
}

KmfReport CheckKmfBytes(const std::vector<std::uint8_t>& bytes)
{
    const KmfParse parse = ParseKmf(bytes);
    KmfReport report;
    if (parse.complete) report = CheckKmfLevel(parse.level);
    // The parser checks the same layout rules and says more about a broken file.
    if (!parse.problems.empty()) report.malformed = parse.problems;
    report.wellFormed = report.malformed.empty();
    if (!report.wellFormed && !parse.complete)
        report.notes.push_back("not analysed further: the file's layout is broken");
    report.completable = report.wellFormed && report.blockers.empty();
    return report;
}

std::string FormatReport(const std::string& name, const KmfReport& report, bool verbose)
{
    std::string out;
    for (const std::string& m : report.malformed) out += name + ": malformed: " + m + "\n";
    for (const std::string& b : report.blockers) out += name + ": impossible: " + b + "\n";
    for (const std::string& n : report.notes) out += name + ": note: " + n + "\n";
    if (verbose && report.wellFormed) {
        out += Fmt("%s: start clearance %.2f\n", name.c_str(), report.startClearance);
        for (const KmfTargetReport& t : report.targets)
            out += Fmt("%s: %s at (%.1f, %.1f, %.1f): %s, widest route passes %.2f from a bomb centre\n", name.c_str(),
                       t.name.c_str(), t.position.x, t.position.y, t.position.z,
                       t.reachable ? "reachable" : "UNREACHABLE", t.clearance);
    }
    if (!report.wellFormed)
        out += name + ": not a well-formed level file\n";
    else if (!report.completable)
        out += name + ": cannot be completed\n";
    else
        out += name + ": can be completed\n";
    return out;
}

}  // namespace kmf
