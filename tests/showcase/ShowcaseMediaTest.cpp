// The showcase started on broken engine media: each case runs the real
// program in a child process of its own, in a scratch folder holding the
// showcase tests' generated media with one file taken away or damaged. The
// program carries on, and its standard error names the file and the reason
// in one line; a water plane without its effect opens no reflection pass.
#include "ShowcaseDriver.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// What a child run saw: "started" (or "nodevice" with the reason) and the
// numbers it measured, one "key value" line each, beside its standard error.
struct RunResult {
    std::string stderrText;
    std::map<std::string, std::string> values;
    bool Started() const { return values.count("started") > 0; }
    long Number(const std::string& key) const
    {
        auto it = values.find(key);
        return it == values.end() ? -1 : std::stol(it->second);
    }
};

std::string ReadText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The lines of text that contain what.
std::vector<std::string> LinesNaming(const std::string& text, const std::string& what)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.find(what) != std::string::npos) lines.push_back(line);
    return lines;
}

class BrokenMedia : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path source = KOLVAR_SHOWCASE_MEDIA_DIR;
        ASSERT_TRUE(fs::exists(source / "media/TerrData/heights.raw")) << "no generated media in " << source;
        folder = fs::absolute(std::string("broken_") + testing::UnitTest::GetInstance()->current_test_info()->name() +
                              "_" + std::to_string(::getpid()));
        fs::remove_all(folder);
        // Every file linked, not copied: a damaged one is replaced by a file of its own.
        for (const char* top : {"media", "kMedia"})
            for (const auto& entry : fs::recursive_directory_iterator(source / top)) {
                const fs::path to = folder / fs::relative(entry.path(), source);
                if (entry.is_directory())
                    fs::create_directories(to);
                else {
                    fs::create_directories(to.parent_path());
                    fs::create_symlink(entry.path(), to);
                }
            }
    }
    void TearDown() override { fs::remove_all(folder); }

    void Remove(const char* file) { ASSERT_TRUE(fs::remove(folder / file)) << file; }
    // The file's first keep bytes in a file of its own.
    void Cut(const char* file, size_t keep)
    {
        const std::string whole = ReadText(folder / file);
        ASSERT_GT(whole.size(), keep) << file;
        Replace(file, whole.substr(0, keep));
    }
    void Replace(const char* file, const std::string& bytes)
    {
        fs::remove(folder / file);
        std::ofstream(folder / file, std::ios::binary).write(bytes.data(), (std::streamsize)bytes.size());
    }
    void FolderInstead(const char* file)
    {
        fs::remove(folder / file);
        fs::create_directories(folder / file / "inside");
    }

    // Starts the showcase in the folder in a child process and draws frames
    // there; measure (run in the child after them) adds its own numbers.
    RunResult Run(int frames, void (*measure)(std::ostream&) = nullptr)
    {
        const fs::path errFile = folder / "stderr.txt", resultFile = folder / "result.txt";
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            int fd = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || ::chdir(folder.c_str()) != 0) ::_exit(3);
            ::dup2(fd, 2);
            std::ofstream out(resultFile);
            std::string why;
            if (!showdrive::EnsureStarted(&why, "kMedia/ball.x")) {
                out << "nodevice " << why << "\n";
            } else {
                showdrive::Frames(frames);
                out << "started 1\n";
                out << "frames " << showcase::FrameCount() << "\n";
                if (measure) measure(out);
            }
            out.close();
            std::fflush(stderr);
            ::_exit(0);  // the device objects go with the process, as the program's own do
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        RunResult result;
        result.stderrText = ReadText(errFile);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the showcase died: " << result.stderrText;
        std::istringstream in(ReadText(resultFile));
        for (std::string key, value; in >> key && std::getline(in, value);)
            result.values[key] = value.empty() ? value : value.substr(1);
        return result;
    }

    // Runs the showcase and expects it to go on drawing with exactly one line
    // naming file on standard error, starting with expected.
    void ExpectOneLine(const char* file, const std::string& expected)
    {
        const RunResult run = Run(30);
        if (!run.Started()) {
            if (run.values.count("nodevice")) RENDERTEST_NO_DEVICE(run.values.at("nodevice"));
            FAIL() << "the child reported nothing: " << run.stderrText;
        }
        EXPECT_GE(run.Number("frames"), 30) << "the program goes on drawing";
        const std::vector<std::string> lines = LinesNaming(run.stderrText, file);
        ASSERT_EQ(lines.size(), 1u) << "one line for " << file << ", not one a frame:\n" << run.stderrText;
        EXPECT_EQ(lines[0].substr(0, expected.size()), expected) << lines[0];
        EXPECT_GT(lines[0].size(), expected.size() - 1) << "with a reason: " << lines[0];
    }

    fs::path folder;
};

const char kTerrainFx[] = "media\\fx\\terrain.fx";
const char kWaterFx[] = "media\\fx\\water.fx";
const char kLayers[] = "media\\TerrData\\terrtex.btd";
const char kHeights[] = "media\\TerrData\\heights.raw";
const char kNoFile[] = ": cannot open the file: No such file or directory";
const std::string kBrokenEffect = "technique T { pass P0 { vertex {";

TEST_F(BrokenMedia, MissingTerrainEffect)
{
    Remove("media/fx/terrain.fx");
    ExpectOneLine(kTerrainFx, std::string("terrain: ") + kTerrainFx + kNoFile);
}

TEST_F(BrokenMedia, DamagedTerrainEffect)
{
    Replace("media/fx/terrain.fx", kBrokenEffect);
    ExpectOneLine(kTerrainFx, std::string("terrain: ") + kTerrainFx + ": cannot compile: ");
}

TEST_F(BrokenMedia, MissingWaterEffect)
{
    Remove("media/fx/water.fx");
    ExpectOneLine(kWaterFx, std::string("water: ") + kWaterFx + kNoFile);
}

TEST_F(BrokenMedia, DamagedWaterEffect)
{
    Replace("media/fx/water.fx", kBrokenEffect);
    ExpectOneLine(kWaterFx, std::string("water: ") + kWaterFx + ": cannot compile: ");
}

TEST_F(BrokenMedia, MissingLayerTable)
{
    Remove("media/TerrData/terrtex.btd");
    ExpectOneLine(kLayers, std::string("terrain: ") + kLayers + kNoFile);
}

TEST_F(BrokenMedia, DamagedLayerTable)
{
    Cut("media/TerrData/terrtex.btd", 1000);
    ExpectOneLine(kLayers, std::string("terrain: ") + kLayers +
                               ": short file: 1000 of 16,777,216 bytes; the rest repeats its last byte");
}

TEST_F(BrokenMedia, MissingHeightFile)
{
    Remove("media/TerrData/heights.raw");
    ExpectOneLine(kHeights, std::string("terrain: ") + kHeights + kNoFile);
}

TEST_F(BrokenMedia, DamagedHeightFile)
{
    Cut("media/TerrData/heights.raw", 4096 * 100);
    ExpectOneLine(kHeights, std::string("terrain: ") + kHeights +
                                ": short file: 409600 of 16,777,216 bytes; the rest repeats its last byte");
}

TEST_F(BrokenMedia, AFolderInPlaceOfTheHeightFileIsNamedAsOne)
{
    FolderInstead("media/TerrData/heights.raw");
    ExpectOneLine(kHeights, std::string("terrain: ") + kHeights + ": cannot open the file: Is a directory");
}

// Draw calls of a frame with the reflection option on and off, and the
// colour of the flooded plain in front of the first spot. The fountain is
// turned off first: its particles add draws as it fills.
void MeasureWater(std::ostream& out)
{
    showcase::World& w = showcase::Scene();
    showdrive::ClickOn(w.particlesToggle);
    out << "particlesOption " << (w.particles ? 1 : 0) << "\n";
    showdrive::Frames(2);
    out << "drawsWithReflection " << w.lastDrawCalls << "\n";
    const POINT plain = showdrive::Project(D3DXVECTOR3(100.0f, showcase::kWaterHeight, 85.0f));
    const rendertest::Image with = showdrive::ReadPresented();
    showdrive::ClickOn(w.reflectionToggle);
    out << "reflectionOption " << (w.reflection ? 1 : 0) << "\n";
    showdrive::Frames(2);
    out << "drawsWithout " << w.lastDrawCalls << "\n";
    const rendertest::Image without = showdrive::ReadPresented();
    const uint32_t p = with.At(plain.x, plain.y);
    out << "plainGreen " << (p >> 8 & 0xFF) << "\n";
    out << "plainBlue " << (p & 0xFF) << "\n";
    out << "plainChange " << rendertest::ColorDistance(p, without.At(plain.x, plain.y)) << "\n";
    // Many frames on: the count stays where it was.
    showdrive::ClickOn(w.reflectionToggle);
    showdrive::Frames(100);
    out << "drawsLater " << w.lastDrawCalls << "\n";
}

TEST_F(BrokenMedia, WaterWithoutItsEffectSkipsItsReflectionPassAndDrawsNothing)
{
    Remove("media/fx/water.fx");
    const RunResult run = Run(10, MeasureWater);
    if (!run.Started()) {
        if (run.values.count("nodevice")) RENDERTEST_NO_DEVICE(run.values.at("nodevice"));
        FAIL() << "the child reported nothing: " << run.stderrText;
    }
    ASSERT_EQ(run.Number("reflectionOption"), 0) << "the toggle turned the option off";
    ASSERT_EQ(run.Number("particlesOption"), 0);
    // With the option on, the frame draws no more than with it off: the
    // reflected scene is not drawn into an image nothing shows.
    EXPECT_GT(run.Number("drawsWithReflection"), 20);
    EXPECT_EQ(run.Number("drawsWithReflection"), run.Number("drawsWithout"));
    EXPECT_EQ(run.Number("drawsLater"), run.Number("drawsWithReflection"));
    // Where the water would lie, the plain beneath shows, unchanged by the option.
    EXPECT_GE(run.Number("plainGreen"), run.Number("plainBlue")) << "ground, not water";
    EXPECT_LE(run.Number("plainChange"), 3);
}

}  // namespace
