// The programs' icons as a desktop reads them: kmediagen --icons writes every
// hicolor size of both icons as a PNG that zlib (chunk CRCs, the deflate
// stream and its Adler-32) and stb_image both take, exactly N x N, with
// colour and clear surroundings. The PNG writer is checked through zlib and
// an unfilter of the test's own on pictures worked by hand.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

#include "TestTempDir.h"
#include "ToolRun.h"
#include "media/Icons.h"
#include "media/PngFile.h"

namespace {

const int kSizes[] = {16, 32, 48, 64, 128, 256};
const char* const kNames[] = {"kolvar", "vorpex-showcase"};

ToolRun Kmediagen(const std::string& args)
{
    return RunTool(KMEDIAGEN_PATH, args);
}

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t Be32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// A PNG taken apart by hand, inflated by zlib and unfiltered here: the
// header's fields and the RGBA pixels. No pixels and a message when anything
// is wrong.
struct PngParts {
    std::uint32_t width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    std::vector<std::uint8_t> rgba;  // top row first
    std::set<int> filters;           // the filter types the rows use
    std::string error;
};

// The five PNG filters undone, from the PNG format's formulas.
bool Unfilter(const std::vector<std::uint8_t>& rows, std::uint32_t w, std::uint32_t h, PngParts& parts)
{
    const std::size_t stride = w * 4;
    parts.rgba.assign(stride * h, 0);
    for (std::size_t y = 0; y < h; ++y) {
        const int type = rows[y * (stride + 1)];
        if (type > 4) return false;
        parts.filters.insert(type);
        const std::uint8_t* in = &rows[y * (stride + 1) + 1];
        std::uint8_t* out = &parts.rgba[y * stride];
        for (std::size_t x = 0; x < stride; ++x) {
            const int a = x >= 4 ? out[x - 4] : 0;
            const int b = y > 0 ? out[x - stride] : 0;
            const int c = x >= 4 && y > 0 ? out[x - stride - 4] : 0;
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            const int predicted[5] = {0, a, b, (a + b) / 2, paeth};
            out[x] = static_cast<std::uint8_t>(in[x] + predicted[type]);
        }
    }
    return true;
}

PngParts TakeApart(const std::vector<std::uint8_t>& png)
{
    PngParts parts;
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (png.size() < 8 || !std::equal(signature, signature + 8, png.begin())) {
        parts.error = "no PNG signature";
        return parts;
    }
    std::vector<std::uint8_t> idat;
    std::vector<std::string> order;
    for (std::size_t pos = 8; pos < png.size();) {
        if (png.size() - pos < 12) {
            parts.error = "a chunk runs past the end";
            return parts;
        }
        const std::uint32_t len = Be32(&png[pos]);
        if (png.size() - pos - 12 < len) {
            parts.error = "a chunk's data runs past the end";
            return parts;
        }
        const std::string type(png.begin() + pos + 4, png.begin() + pos + 8);
        const std::uint8_t* data = &png[pos + 8];
        const uLong crc = crc32(crc32(0, nullptr, 0), &png[pos + 4], len + 4);
        if (crc != Be32(data + len)) {
            parts.error = type + ": CRC-32 wrong";
            return parts;
        }
        if (type == "IHDR" && len == 13) {
            parts.width = Be32(data);
            parts.height = Be32(data + 4);
            parts.depth = data[8];
            parts.colourType = data[9];
            parts.interlace = data[12];
        }
        if (type == "IDAT") idat.insert(idat.end(), data, data + len);
        order.push_back(type);
        pos += 12 + len;
    }
    if (order.empty() || order.front() != "IHDR" || order.back() != "IEND") {
        parts.error = "chunks not IHDR first and IEND last";
        return parts;
    }
    // One byte more than the rows need, so a stream that is too long shows.
    const std::size_t needed = parts.height * (1 + parts.width * 4);
    std::vector<std::uint8_t> rows(needed + 1);
    uLongf size = rows.size();
    const int rc = uncompress(rows.data(), &size, idat.data(), idat.size());
    if (rc != Z_OK) {
        parts.error = "zlib: " + std::to_string(rc);
        return parts;
    }
    if (size != needed) {
        parts.error = "the image data holds " + std::to_string(size) + " bytes, not " + std::to_string(needed);
        return parts;
    }
    if (!Unfilter(rows, parts.width, parts.height, parts)) {
        parts.rgba.clear();
        parts.error = "a row with an unknown filter type";
    }
    return parts;
}

TEST(PngWriter, MatchesPixelsWorkedByHand)
{
    // 2 x 2: opaque red, half-clear green / clear blue, white at 20 %.
    media::Image img(2, 2);
    img.At(0, 0) = {1, 0, 0, 1};
    img.At(1, 0) = {0, 1, 0, 0.5f};
    img.At(0, 1) = {0, 0, 1, 0};
    img.At(1, 1) = {1, 1, 1, 0.2f};
    const PngParts parts = TakeApart(media::EncodePng(img));
    ASSERT_EQ(parts.error, "");
    EXPECT_EQ(parts.width, 2u);
    EXPECT_EQ(parts.height, 2u);
    EXPECT_EQ(parts.depth, 8);
    EXPECT_EQ(parts.colourType, 6);
    EXPECT_EQ(parts.interlace, 0);
    const std::vector<std::uint8_t> expected = {255, 0, 0,   255, 0,   255, 0,   128,  //
                                                0,   0, 255, 0,   255, 255, 255, 51};
    EXPECT_EQ(parts.rgba, expected);
}

TEST(PngWriter, RoundTripsAPictureOfGradientsAndNoise)
{
    // 200 x 200 RGBA is 160 200 bytes of rows: three stored blocks, the
    // last one short. Every pixel differs from its neighbours.
    media::Image img(200, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) img.At(x, y) = {x / 199.0f, y / 199.0f, ((x * 7 + y * 3) % 256) / 255.0f, 1};
    media::Noise noise(7);
    for (int y = 100; y < 200; ++y)
        for (int x = 0; x < 200; ++x) img.At(x, y).a = noise.Next();
    const std::vector<std::uint8_t> png = media::EncodePng(img);
    const PngParts parts = TakeApart(png);
    ASSERT_EQ(parts.error, "");
    const std::vector<std::uint8_t> bgra = img.Bgra8();
    ASSERT_EQ(parts.rgba.size(), bgra.size());
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < bgra.size(); i += 4)
        if (parts.rgba[i] != bgra[i + 2] || parts.rgba[i + 1] != bgra[i + 1] || parts.rgba[i + 2] != bgra[i] ||
            parts.rgba[i + 3] != bgra[i + 3])
            ++wrong;
    EXPECT_EQ(wrong, 0u);
    EXPECT_GT(parts.filters.size(), 1u) << "every row took the same filter";
    // stb_image, the reader the engine uses, sees the same pixels.
    int w = 0, h = 0, channels = 0;
    stbi_uc* data = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &channels, 4);
    ASSERT_NE(data, nullptr) << stbi_failure_reason();
    EXPECT_TRUE(std::equal(parts.rgba.begin(), parts.rgba.end(), data));
    stbi_image_free(data);
    // A reader sees a damaged file as damaged: one flipped byte in the pixels.
    std::vector<std::uint8_t> broken = png;
    broken[broken.size() / 2] ^= 0x40;
    EXPECT_NE(TakeApart(broken).error, "");
}

TEST(PngWriter, CompressesFlatPicturesAndTakesEveryWidth)
{
    // 256 x 256 of one colour: 262 400 bytes of rows, about a thousand
    // matches of the longest length, two bytes each.
    const std::vector<std::uint8_t> flat = media::EncodePng(media::Image(256, 256, {0.2f, 0.4f, 0.6f, 1}));
    EXPECT_LT(flat.size(), 2500u);
    const PngParts parts = TakeApart(flat);
    ASSERT_EQ(parts.error, "");
    ASSERT_EQ(parts.rgba.size(), 256u * 256 * 4);
    EXPECT_EQ(parts.rgba[0], 51);
    EXPECT_EQ(parts.rgba[parts.rgba.size() - 2], 153);
    // One pixel, and rows of 40 000 bytes, longer than the matches' window.
    for (int w : {1, 10000}) {
        const PngParts p = TakeApart(media::EncodePng(media::Image(w, 3, {1, 1, 1, 0.5f})));
        ASSERT_EQ(p.error, "") << w;
        EXPECT_EQ(p.rgba.size(), static_cast<std::size_t>(w) * 3 * 4);
        EXPECT_EQ(std::count(p.rgba.begin(), p.rgba.end(), 255) + std::count(p.rgba.begin(), p.rgba.end(), 128),
                  static_cast<long>(p.rgba.size()));
    }
}

class IconTree : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new TestTempDir;
        run_ = Kmediagen("--icons " + dir_->Path());
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override { ASSERT_EQ(run_.status, 0) << run_.output; }

    static std::string IconPath(int size, const std::string& name)
    {
        const std::string n = std::to_string(size);
        return dir_->File("icons/hicolor/" + n + "x" + n + "/apps/" + name + ".png");
    }

    static TestTempDir* dir_;
    static ToolRun run_;
};
TestTempDir* IconTree::dir_ = nullptr;
ToolRun IconTree::run_;

TEST_F(IconTree, EverySizeIsAPngOfExactlyThatSize)
{
    for (int size : kSizes)
        for (const char* name : kNames) {
            SCOPED_TRACE(IconPath(size, name));
            const std::vector<std::uint8_t> bytes = ReadAll(IconPath(size, name));
            ASSERT_FALSE(bytes.empty());
            const PngParts parts = TakeApart(bytes);
            ASSERT_EQ(parts.error, "");
            EXPECT_EQ(parts.width, static_cast<std::uint32_t>(size));
            EXPECT_EQ(parts.height, static_cast<std::uint32_t>(size));
            EXPECT_EQ(parts.rgba.size(), static_cast<std::size_t>(size) * size * 4);
            // Compressed: under half the pixels' bytes where the chunks' own
            // bytes no longer count.
            EXPECT_LT(bytes.size(), size >= 32 ? parts.rgba.size() / 2 : parts.rgba.size());
            int w = 0, h = 0, channels = 0;
            stbi_uc* data = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 0);
            ASSERT_NE(data, nullptr) << stbi_failure_reason();
            EXPECT_EQ(w, size);
            EXPECT_EQ(h, size);
            EXPECT_EQ(channels, 4);
            stbi_image_free(data);
        }
}

TEST_F(IconTree, EachIconHasColourAndClearSurroundings)
{
    for (int size : kSizes) {
        std::set<std::vector<std::uint8_t>> pictures;
        for (const char* name : kNames) {
            SCOPED_TRACE(IconPath(size, name));
            const std::vector<std::uint8_t> bytes = ReadAll(IconPath(size, name));
            int w = 0, h = 0, channels = 0;
            stbi_uc* data = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 4);
            ASSERT_NE(data, nullptr) << stbi_failure_reason();
            const std::vector<std::uint8_t> rgba(data, data + static_cast<std::size_t>(w) * h * 4);
            stbi_image_free(data);
            pictures.insert(rgba);
            int clear = 0, opaque = 0;
            std::set<int> colours;
            for (std::size_t i = 0; i < rgba.size(); i += 4) {
                if (rgba[i + 3] == 0) ++clear;
                if (rgba[i + 3] == 255) {
                    ++opaque;
                    colours.insert(rgba[i] << 16 | rgba[i + 1] << 8 | rgba[i + 2]);
                }
            }
            const int pixels = w * h;
            // The corners are clear; the picture fills most of the square.
            EXPECT_EQ(rgba[3], 0);
            EXPECT_EQ(rgba[rgba.size() - 1], 0);
            EXPECT_GT(clear, pixels / 50);
            EXPECT_GT(opaque, pixels / 4);
            // Shading and several parts, not a flat shape: many colours and
            // a spread from dark to light.
            EXPECT_GE(colours.size(), static_cast<std::size_t>(size >= 48 ? 100 : 25));
            int darkest = 255 * 3, lightest = 0;
            for (int c : colours) {
                const int sum = (c >> 16) + ((c >> 8) & 0xFF) + (c & 0xFF);
                darkest = std::min(darkest, sum);
                lightest = std::max(lightest, sum);
            }
            EXPECT_GT(lightest - darkest, 300);
        }
        EXPECT_EQ(pictures.size(), 2u) << size << ": the two icons are the same picture";
    }
}

TEST_F(IconTree, WritesTheSameBytesAgainAndNothingElse)
{
    TestTempDir again;
    ASSERT_TRUE(again.Ok());
    const ToolRun second = Kmediagen("--icons " + again.Path());
    ASSERT_EQ(second.status, 0) << second.output;
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(again.Path())) {
        if (!entry.is_regular_file()) continue;
        ++files;
        const std::string rel = std::filesystem::relative(entry.path(), again.Path()).string();
        EXPECT_EQ(ReadAll(entry.path().string()), ReadAll(dir_->File(rel))) << rel;
    }
    EXPECT_EQ(files, std::size(kSizes) * std::size(kNames));
    EXPECT_EQ(files, media::IconFileNames().size());
}

TEST(IconTool, RefusesBadCommandLinesAndUnwritableFolders)
{
    const ToolRun none = Kmediagen("--icons");
    EXPECT_EQ(none.status, 2) << none.output;
    EXPECT_NE(none.output.find("usage"), std::string::npos) << none.output;
    const ToolRun extra = Kmediagen("--icons a b");
    EXPECT_EQ(extra.status, 2) << extra.output;

    // A file where the icons' folder would go: the folder named, exit 1.
    TestTempDir dir;
    ASSERT_TRUE(dir.Ok());
    std::ofstream(dir.File("icons")) << "in the way";
    const ToolRun blocked = Kmediagen("--icons " + dir.Path());
    EXPECT_EQ(blocked.status, 1) << blocked.output;
    EXPECT_NE(blocked.output.find(dir.File("icons")), std::string::npos) << blocked.output;
    EXPECT_FALSE(std::filesystem::exists(dir.File("icons/hicolor")));
}

}  // namespace
