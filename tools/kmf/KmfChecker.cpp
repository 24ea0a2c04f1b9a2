#include "kmf/KmfChecker.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace kmf {
namespace {

constexpr int kLattice = static_cast<int>(kBoardSize / kLatticeStep) + 1;  // 721 points per side
constexpr float kOpenGround = 3.0f;                                        // clearance reported where no bomb is near
constexpr float kRouteNeed = kBombDistance + kRouteMargin;

// The route search and its set-up visit up to every lattice point of the
// board; in the fuzz build coverage tracing of their comparisons (which say
// nothing about the file that could guide a fuzzer) would cost more than the
// search itself. The sanitizers still check them.
#if defined(__clang__)
#define KMF_UNTRACED __attribute__((no_sanitize("coverage"), noinline, flatten))
#else
#define KMF_UNTRACED
#endif

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

// The ball-centre lattice: kLattice x kLattice points kLatticeStep apart,
// point (i, j) at (i * kLatticeStep, j * kLatticeStep). A point's clearance
// is Clearance() at it; the outermost ring is the board's very edge, where a
// ball centred falls off, so it is not ground to travel on (clearance -1).
//
// A point of tile (i / 16, j / 16) lies within kOpenGround of no bomb centre
// but those of that tile and its eight neighbours (the next ones are 3.0 or
// more away), so the 16 x 16 clearances of a tile are one of 512 blocks, one
// per pattern of bombs among those nine tiles. Each block is worked out once
// with the very distances Clearance() takes, so every value is the same float.
constexpr int kTilePoints = static_cast<int>(kTileSize / kLatticeStep);  // 16 lattice points per tile side
static_assert(kTilePoints * kGridSize == kLattice - 1, "the lattice spans the board in whole tiles");

// Widest routes are searched by keys, clearances in steps of 1/kKeySteps.
constexpr int kKeySteps = 1024;
int Key(float clearance)
{
    return static_cast<int>(clearance * kKeySteps);
}

class ClearanceBlocks {
public:
    struct Block {
        float clearance[kTilePoints * kTilePoints];  // point (li, lj) of the tile at li * kTilePoints + lj
        std::int16_t key[kTilePoints * kTilePoints];
    };

    // The block of the tiles around a tile, bit 3 * (di + 1) + (dj + 1) set
    // for a bomb on the tile (di, dj) away.
    const Block* Get(int pattern)
    {
        if (!made_[pattern]) {
            Block& b = blocks_[pattern];
            for (int li = 0; li < kTilePoints; ++li)
                for (int lj = 0; lj < kTilePoints; ++lj) {
                    // Offsets as Clearance() sees them, for the tile (0, 0) with neighbours at -1 ... 1.
                    const float x = static_cast<float>(li) * kLatticeStep, z = static_cast<float>(lj) * kLatticeStep;
                    float best = kOpenGround;
                    for (int bit = 0; bit < 9; ++bit) {
                        if (!(pattern >> bit & 1)) continue;
                        const float d = std::hypot(x - CellCentre(bit / 3 - 1), z - CellCentre(bit % 3 - 1));
                        if (d < best) best = d;
                    }
                    b.clearance[li * kTilePoints + lj] = best;
                    b.key[li * kTilePoints + lj] = static_cast<std::int16_t>(Key(best));
                }
            made_[pattern] = true;
        }
        return &blocks_[pattern];
    }

private:
    std::array<Block, 512> blocks_;
    std::array<bool, 512> made_{};
};

ClearanceBlocks& Blocks()
{
    static thread_local std::unique_ptr<ClearanceBlocks> blocks(new ClearanceBlocks);
    return *blocks;
}

class Lattice {
public:
    KMF_UNTRACED explicit Lattice(const KmfLevel& level)
    {
        // Deadly tiles with a ring of safe ones around the board.
        std::array<std::uint8_t, (kGridSize + 2) * (kGridSize + 2)> bomb{};
        for (int i = 0; i < kGridSize; ++i)
            for (int j = 0; j < kGridSize; ++j)
                bomb[(i + 1) * (kGridSize + 2) + j + 1] = level.grid[CellIndex(i, j)] == kTileBomb;
        ClearanceBlocks& blocks = Blocks();
        for (int i = 0; i < kGridSize; ++i)
            for (int j = 0; j < kGridSize; ++j) {
                int pattern = 0;
                for (int bit = 0; bit < 9; ++bit) pattern |= bomb[(i + bit / 3) * (kGridSize + 2) + j + bit % 3] << bit;
                tiles_[CellIndex(i, j)] = blocks.Get(pattern);
            }
    }

    static int Index(int i, int j) { return i * kLattice + j; }
    static float Coord(int i) { return static_cast<float>(i) * kLatticeStep; }
    static bool Usable(int i, int j) { return i >= 1 && j >= 1 && i < kLattice - 1 && j < kLattice - 1; }

    // The clearance of a usable point.
    float Clearance(int i, int j) const
    {
        return tiles_[CellIndex(i / kTilePoints, j / kTilePoints)]
            ->clearance[(i % kTilePoints) * kTilePoints + j % kTilePoints];
    }
    const ClearanceBlocks::Block* const* Tiles() const { return tiles_; }

private:
    const ClearanceBlocks::Block* tiles_[kCellCount];
};

// The widest route from the start to each target: a max-min Dijkstra over
// 8-connected usable lattice points. A route's key never rises as it grows,
// so keys are taken highest first: at key k every point joined to the settled
// ones through points of key k or more settles at k, and a neighbour of lower
// key waits in the bucket of its own key (no route can better that any more).
// A target is reached from the lattice points within its reach (horizontal
// radius r around it) and its value is the best of theirs, -1 when none is
// reached; the first of them to settle has it, so the search ends once every
// target has its value.
class RouteSearch {
public:
    explicit RouteSearch(const Lattice& lat) : lat_(lat), watch_(Space().watch), watchNext_(Space().watchNext)
    {
        watch_.clear();
    }

    KMF_UNTRACED void AddTarget(const Vec3& t, float r)
    {
        const int target = static_cast<int>(values_.size());
        values_.push_back(-1.0f);
        // Clamped in floats first: a target far off the board must not overflow an int.
        auto index = [](float w) { return static_cast<int>(std::clamp(w / kLatticeStep, 1.0f, kLattice - 2.0f)); };
        const int i0 = index(std::floor(t.x - r)), i1 = index(std::ceil(t.x + r));
        const int j0 = index(std::floor(t.z - r)), j1 = index(std::ceil(t.z + r));
        bool any = false;
        for (int i = i0; i <= i1; ++i)
            for (int j = j0; j <= j1; ++j)
                if (std::hypot(Lattice::Coord(i) - t.x, Lattice::Coord(j) - t.z) < r) {
                    watch_.emplace_back(Lattice::Index(i, j), target);
                    any = true;
                }
        open_ += any;
    }

    // Spreads from the start point (a usable one) and fills each target's value.
    KMF_UNTRACED void Run(int start)
    {
        Workspace& w = Space();
        // Every point's key laid out in one array, -1 on the edge ring.
        const ClearanceBlocks::Block* const* tiles = lat_.Tiles();
        for (int i = 0; i < kLattice - 1; ++i)
            for (int t = 0; t < kGridSize; ++t)
                std::memcpy(&w.keys[std::size_t(i) * kLattice + t * kTilePoints],
                            tiles[(i / kTilePoints) * kGridSize + t]->key + (i % kTilePoints) * kTilePoints,
                            sizeof(std::int16_t) * kTilePoints);
        for (int n = 0; n < kLattice; ++n) {
            w.keys[n] = w.keys[std::size_t(kLattice - 1) * kLattice + n] = -1;
            w.keys[std::size_t(n) * kLattice] = w.keys[std::size_t(n) * kLattice + kLattice - 1] = -1;
        }
        // Each point's list of the targets it reaches.
        watchNext_.resize(watch_.size());
        for (std::size_t e = 0; e < watch_.size(); ++e) {
            watchNext_[e] = w.firstWatch[watch_[e].first];
            w.firstWatch[watch_[e].first] = static_cast<int>(e);
        }
        Spread(start, w.keys.get(), w.firstWatch.get(), w.next.get());
        for (const auto& e : watch_) w.firstWatch[e.first] = -1;
    }

    float Value(int target) const { return values_[target]; }

private:
    static constexpr int kBuckets = kOpenGround * kKeySteps + 1;

    // The search proper, on plain arrays: it runs for every point it reaches.
    // A point's key turns -1 once it is queued; each point is queued once, on
    // a list threaded through next. Usable points lie off the edge ring, so
    // their eight neighbours are all on the lattice.
    KMF_UNTRACED void Spread(int start, std::int16_t* keys, const int* firstWatch, int* next)
    {
        static constexpr int kStep[8] = {-kLattice - 1, -kLattice, -kLattice + 1, -1, 1,
                                         kLattice - 1,  kLattice,  kLattice + 1};
        int heads[kBuckets];
        for (int& h : heads) h = -1;
        const int first = keys[start];
        keys[start] = -1;
        next[start] = -1;
        heads[first] = start;
        for (int k = first; k >= 0 && open_ > 0; --k) {
            int stack = heads[k];
            while (stack >= 0 && open_ > 0) {
                const int p = stack;
                stack = next[p];
                if (firstWatch[p] >= 0) Settle(firstWatch[p], k);
                for (int step : kStep) {
                    const int q = p + step;
                    const int v = keys[q];
                    if (v < 0) continue;  // queued already, or the edge
                    keys[q] = -1;
                    if (v >= k) {  // joins at this key
                        next[q] = stack;
                        stack = q;
                    } else {
                        next[q] = heads[v];
                        heads[v] = q;
                    }
                }
            }
        }
    }

    // The point of watch entry first settles at k: its targets not valued
    // yet get k.
    void Settle(int first, int k)
    {
        const float value = static_cast<float>(k) / kKeySteps;
        for (int e = first; e >= 0; e = watchNext_[e]) {
            float& v = values_[watch_[e].second];
            if (v < 0) {
                v = value;
                --open_;
            }
        }
    }

    // The search's arrays, kept for the next check of the thread: those of a
    // lattice point (firstWatch is all -1 between checks, keys is written
    // whole by each, next needs no start value) and the watch lists.
    struct Workspace {
        static constexpr std::size_t kPoints = std::size_t(kLattice) * kLattice;
        std::unique_ptr<std::int16_t[]> keys{new std::int16_t[kPoints]};
        std::unique_ptr<int[]> next{new int[kPoints]};
        std::unique_ptr<int[]> firstWatch{new int[kPoints]};
        std::vector<std::pair<int, int>> watch;
        std::vector<int> watchNext;
        Workspace() { std::fill(firstWatch.get(), firstWatch.get() + kPoints, -1); }
    };
    static Workspace& Space()
    {
        static thread_local Workspace space;
        return space;
    }

    const Lattice& lat_;
    // (lattice point, target) for each point within a target's reach, and the
    // next entry of the same point (-1 after its last).
    std::vector<std::pair<int, int>>& watch_;
    std::vector<int>& watchNext_;
    std::vector<float> values_;
    int open_ = 0;  // targets with points within reach whose value is not known yet
};

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

    const Lattice lat(level);

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
                const float c = lat.Clearance(i, j);
                if (c >= kRouteNeed && c > bestValue) {
                    bestValue = c;
                    start = Lattice::Index(i, j);
                }
            }
        if (start < 0)
            report.blockers.push_back(
                Fmt("the start is wedged against the bomb at cell (%d, %d): no room to move", bx, bz));
    }

    // The targets in report order: active coins in file order, then the goal.
    struct Target {
        std::string name;
        Vec3 position;
        float r2;  // squared horizontal reach at the target's height
        int search = -1;
    };
    std::vector<Target> targets;
    auto add = [&](const std::string& name, const Vec3& p, float reach) {
        const float dy = p.y - kBallRadius;
        targets.push_back(Target{name, p, reach * reach - dy * dy});
    };
    for (std::size_t i = 0; i < level.coins.size(); ++i)
        if (level.coins[i].active) add(Fmt("coin %zu", i), level.coins[i].position, kCoinDistance);
    add("goal", level.goal, kGoalDistance);

    RouteSearch search(lat);
    int searched = 0;
    for (Target& t : targets)
        if (t.r2 > 0 && start >= 0) {
            search.AddTarget(t.position, std::sqrt(t.r2) - 1e-4f);
            t.search = searched++;
        }
    if (searched > 0) search.Run(start);

    for (const Target& target : targets) {
        KmfTargetReport t;
        t.name = target.name;
        t.position = target.position;
        const char* name = target.name.c_str();
        const Vec3& p = target.position;
        if (target.r2 <= 0) {
            report.blockers.push_back(
                Fmt("%s at height %.2f is out of the ball's reach (the ball's centre runs at %.1f)", name, p.y,
                    kBallRadius));
        } else if (target.search >= 0) {
            t.clearance = search.Value(target.search);
            t.reachable = t.clearance >= kRouteNeed;
            if (!t.reachable) {
                if (t.clearance < 0)
                    report.blockers.push_back(Fmt("%s at (%.2f, %.2f) lies off the board", name, p.x, p.z));
                else
                    report.blockers.push_back(
                        Fmt("%s at (%.2f, %.2f) can be reached only across a deadly tile", name, p.x, p.z));
            }
        }
        report.targets.push_back(t);
    }
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
