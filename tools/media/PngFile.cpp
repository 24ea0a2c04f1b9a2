#include "media/PngFile.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace media {
namespace {

// The CRC-32 of PNG chunks (polynomial 0xEDB88320, reflected), a table per byte.
std::array<std::uint32_t, 256> MakeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size)
{
    static const std::array<std::uint32_t, 256> table = MakeCrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(const std::vector<std::uint8_t>& data)
{
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : data) {
        a = (a + v) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char type[4], const std::vector<std::uint8_t>& data)
{
    PutBe32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, Crc32(out.data() + start, out.size() - start));
}

// Bits into bytes, least significant bit first, as deflate packs them.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(std::uint32_t value, int count)  // the low count bits, lowest first
    {
        acc_ |= value << fill_;
        fill_ += count;
        while (fill_ >= 8) {
            out_.push_back(static_cast<std::uint8_t>(acc_));
            acc_ >>= 8;
            fill_ -= 8;
        }
    }
    void PutCode(std::uint32_t code, int length)  // a Huffman code, its top bit first
    {
        std::uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
        Put(reversed, length);
    }
    void Flush()
    {
        if (fill_ > 0) out_.push_back(static_cast<std::uint8_t>(acc_));
        acc_ = 0;
        fill_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint32_t acc_ = 0;
    int fill_ = 0;
};

// The fixed literal/length code of deflate (RFC 1951, 3.2.6).
void PutLiteralOrLength(BitWriter& bits, int symbol)
{
    if (symbol < 144)
        bits.PutCode(0x30 + symbol, 8);
    else if (symbol < 256)
        bits.PutCode(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        bits.PutCode(symbol - 256, 7);
    else
        bits.PutCode(0xC0 + symbol - 280, 8);
}

const int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                               193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void PutMatch(BitWriter& bits, int length, int distance)
{
    int l = 28;
    while (kLengthBase[l] > length) --l;
    PutLiteralOrLength(bits, 257 + l);
    bits.Put(length - kLengthBase[l], kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance) --d;
    bits.PutCode(d, 5);
    bits.Put(distance - kDistanceBase[d], kDistanceExtra[d]);
}

// A zlib stream (no preset dictionary, 32 KiB window) of one fixed-code block.
std::vector<std::uint8_t> DeflateZlib(const std::vector<std::uint8_t>& raw)
{
    constexpr int kWindow = 32768, kMinMatch = 3, kMaxMatch = 258, kChainDepth = 48, kHashBits = 15;
    std::vector<std::uint8_t> z = {0x78, 0x01};  // (0x78 << 8 | 0x01) % 31 == 0
    BitWriter bits(z);
    bits.Put(1, 1);  // BFINAL
    bits.Put(1, 2);  // BTYPE 01: fixed Huffman codes
    const std::size_t n = raw.size();
    std::vector<int> head(1u << kHashBits, -1), prev(n, -1);
    auto hash = [&](std::size_t i) {
        return ((raw[i] << 10) ^ (raw[i + 1] << 5) ^ raw[i + 2]) & ((1u << kHashBits) - 1);
    };
    auto insert = [&](std::size_t i) {
        if (i + kMinMatch > n) return;
        const unsigned h = hash(i);
        prev[i] = head[h];
        head[h] = static_cast<int>(i);
    };
    std::size_t i = 0;
    while (i < n) {
        int bestLength = 0, bestDistance = 0;
        if (i + kMinMatch <= n) {
            const std::size_t limit = std::min<std::size_t>(kMaxMatch, n - i);
            int candidate = head[hash(i)];
            for (int depth = 0; candidate >= 0 && depth < kChainDepth; ++depth, candidate = prev[candidate]) {
                const std::size_t distance = i - static_cast<std::size_t>(candidate);
                if (distance > kWindow) break;
                std::size_t length = 0;
                while (length < limit && raw[candidate + length] == raw[i + length]) ++length;
                if (static_cast<int>(length) > bestLength) {
                    bestLength = static_cast<int>(length);
                    bestDistance = static_cast<int>(distance);
                    if (length == limit) break;
                }
            }
        }
        if (bestLength >= kMinMatch) {
            PutMatch(bits, bestLength, bestDistance);
            for (int k = 0; k < bestLength; ++k) insert(i + k);
            i += bestLength;
        } else {
            PutLiteralOrLength(bits, raw[i]);
            insert(i);
            ++i;
        }
    }
    PutLiteralOrLength(bits, 256);  // end of block
    bits.Flush();
    PutBe32(z, Adler32(raw));
    return z;
}

std::uint8_t Paeth(int a, int b, int c)
{
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : (pb <= pc ? b : c));
}

// One row filtered each way (PNG filter types 0 to 4 but Average), the one
// with the smallest sum of magnitudes appended with its type byte.
void PutFilteredRow(std::vector<std::uint8_t>& out, const std::uint8_t* row, const std::uint8_t* above,
                    std::size_t size)
{
    constexpr int kBpp = 4;
    const std::uint8_t types[4] = {0, 1, 2, 4};
    std::vector<std::uint8_t> best, trial(size);
    long bestCost = -1;
    int bestType = 0;
    for (std::uint8_t type : types) {
        long cost = 0;
        for (std::size_t x = 0; x < size; ++x) {
            const int a = x >= kBpp ? row[x - kBpp] : 0;
            const int b = above ? above[x] : 0;
            const int c = above && x >= kBpp ? above[x - kBpp] : 0;
            const int predicted = type == 0 ? 0 : type == 1 ? a : type == 2 ? b : Paeth(a, b, c);
            trial[x] = static_cast<std::uint8_t>(row[x] - predicted);
            cost += trial[x] < 128 ? trial[x] : 256 - trial[x];
        }
        if (bestCost < 0 || cost < bestCost) {
            bestCost = cost;
            bestType = type;
            best.swap(trial);
            trial.resize(size);
        }
    }
    out.push_back(static_cast<std::uint8_t>(bestType));
    out.insert(out.end(), best.begin(), best.end());
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const Image& image)
{
    const int w = image.Width(), h = image.Height();
    const std::vector<std::uint8_t> bgra = image.Bgra8();
    std::vector<std::uint8_t> rgba;
    rgba.reserve(bgra.size());
    for (std::size_t p = 0; p < bgra.size(); p += 4)
        rgba.insert(rgba.end(), {bgra[p + 2], bgra[p + 1], bgra[p], bgra[p + 3]});
    const std::size_t stride = static_cast<std::size_t>(w) * 4;
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(h) * (1 + stride));
    for (int y = 0; y < h; ++y)
        PutFilteredRow(raw, rgba.data() + y * stride, y > 0 ? rgba.data() + (y - 1) * stride : nullptr, stride);
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<std::uint8_t> header;
    PutBe32(header, static_cast<std::uint32_t>(w));
    PutBe32(header, static_cast<std::uint32_t>(h));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, adaptive filters, no interlace
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", DeflateZlib(raw));
    PutChunk(out, "IEND", {});
    return out;
}

}  // namespace media
