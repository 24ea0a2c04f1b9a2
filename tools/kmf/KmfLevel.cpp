#include "kmf/KmfLevel.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace kmf {
namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutFloat(std::vector<std::uint8_t>& out, float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    PutU32(out, bits);
}

void PutVec(std::vector<std::uint8_t>& out, const Vec3& v)
{
    PutFloat(out, v.x);
    PutFloat(out, v.y);
    PutFloat(out, v.z);
}

// Bounds-checked little-endian reader: a read past the end leaves the
// destination untouched and reports false.
class ByteReader {
public:
    explicit ByteReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    bool U32(std::uint32_t& v)
    {
        if (Remaining() < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v |= std::uint32_t(bytes_[pos_ + i]) << (8 * i);
        pos_ += 4;
        return true;
    }
    bool Float(float& f)
    {
        std::uint32_t bits;
        if (!U32(bits)) return false;
        std::memcpy(&f, &bits, 4);
        return true;
    }
    bool Vec(Vec3& v)
    {
        if (Remaining() < 12) return false;
        Float(v.x);
        Float(v.y);
        Float(v.z);
        return true;
    }
    std::size_t Remaining() const { return bytes_.size() - pos_; }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t pos_ = 0;
};

bool Finite(const Vec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

std::string Fmt(const char* format, double a = 0, double b = 0, double c = 0, double d = 0)
{
    char buf[256];
    std::snprintf(buf, sizeof buf, format, a, b, c, d);
    return buf;
}

}  // namespace

KmfParse ParseKmf(const std::vector<std::uint8_t>& bytes)
{
    KmfParse parse;
    parse.fileSize = bytes.size();
    ByteReader in(bytes);

    for (int k = 0; k < kCellCount; ++k) {
        std::uint32_t field;
        if (!in.U32(field)) {
            parse.problems.push_back(Fmt("file ends inside the tile grid (%.0f of 8100 bytes)", double(bytes.size())));
            return parse;
        }
        parse.level.grid[k] = static_cast<std::uint8_t>(field & 0xFF);
    }

    std::uint32_t rawCount;
    if (!in.U32(rawCount)) {
        parse.problems.push_back("file ends before the coin count");
        return parse;
    }
    const std::int32_t count = static_cast<std::int32_t>(rawCount);
    parse.storedCount = count;
    if (count < 0) {
        parse.problems.push_back(Fmt("coin count %.0f is negative", count));
    } else if (count > kCoinTableSize) {
        parse.problems.push_back(Fmt("coin count %.0f exceeds the %.0f-entry coin table", count, kCoinTableSize));
    }

    // Size against the count: compared in 64 bits so a huge count cannot wrap.
    const long long expected = static_cast<long long>(kEmptyFileBytes) + 16LL * (count > 0 ? count : 0);
    if (static_cast<long long>(bytes.size()) != expected) {
        parse.problems.push_back(Fmt("file is %.0f bytes; %.0f coins need exactly %.0f", double(bytes.size()),
                                     double(count), double(expected)));
    }

    // Coin records: only as many as are really present (and never more than
    // the table would take), so a bad count cannot drive the reader off the end.
    const std::int64_t readable = static_cast<std::int64_t>(in.Remaining() >= 24 ? (in.Remaining() - 24) / 16 : 0);
    std::int64_t toRead = count > 0 ? count : 0;
    if (toRead > readable) toRead = readable;
    if (toRead > kCoinTableSize) toRead = kCoinTableSize;
    for (std::int64_t i = 0; i < toRead; ++i) {
        std::uint32_t head = 0;
        in.U32(head);
        KmfCoin coin;
        coin.active = static_cast<std::uint8_t>(head & 0xFF);
        in.Vec(coin.position);
        if (!Finite(coin.position))
            parse.problems.push_back(Fmt("coin %.0f has a position that is not a finite number", double(i)));
        parse.level.coins.push_back(coin);
    }
    if (count > 0 && toRead < count && count <= kCoinTableSize) {
        // Size problem already reported; the goal and start would be read from the wrong place.
        return parse;
    }
    if (count > kCoinTableSize) return parse;

    if (!in.Vec(parse.level.goal) || !in.Vec(parse.level.start)) {
        parse.problems.push_back("file ends before the goal and start positions");
        return parse;
    }
    parse.complete = true;
    if (!Finite(parse.level.goal)) parse.problems.push_back("goal position is not a finite number");
    if (!Finite(parse.level.start)) {
        parse.problems.push_back("start position is not a finite number");
    } else if (parse.level.start.x < 0 || parse.level.start.x > kBoardSize || parse.level.start.z < 0 ||
               parse.level.start.z > kBoardSize) {
        parse.problems.push_back(
            Fmt("start (%.2f, %.2f) is off the 0..90 board", parse.level.start.x, parse.level.start.z));
    }
    return parse;
}

std::vector<std::uint8_t> SerializeKmf(const KmfLevel& level)
{
    std::vector<std::uint8_t> out;
    out.reserve(kEmptyFileBytes + kCoinRecordBytes * level.coins.size());
    for (int k = 0; k < kCellCount; ++k) {
        // Bytes 1..3 carry the next three tiles, as the game's writer leaves them.
        for (int j = 0; j < 4; ++j) out.push_back(k + j < kCellCount ? level.grid[k + j] : 0);
    }
    PutU32(out, static_cast<std::uint32_t>(level.coins.size()));
    for (const KmfCoin& coin : level.coins) {
        PutU32(out, coin.active);
        PutVec(out, coin.position);
    }
    PutVec(out, level.goal);
    PutVec(out, level.start);
    return out;
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open " + path;
        return false;
    }
    bytes.clear();
    std::uint8_t buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = "cannot create " + path;
        return false;
    }
    const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!wrote || !closed) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace kmf
