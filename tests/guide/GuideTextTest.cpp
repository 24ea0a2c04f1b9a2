// docs/guide.md quotes the guide's program (examples/guide/main.cpp) region
// by region: every "// [name]" ... "// [end]" region of the program appears
// in the guide as a code block announced by "<!-- guide: name -->", with the
// region's own lines (its common indentation removed), so the guide cannot
// drift from the program a test builds and runs. The README likewise shows
// the minimal example (examples/minimal/main.cpp) whole, in its one C++ block.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const char* file)
{
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Trimmed(const std::string& s)
{
    const size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

// The region's lines with the indentation they all share removed, joined by '\n'.
std::string Dedented(const std::vector<std::string>& lines)
{
    size_t indent = std::string::npos;
    for (const std::string& line : lines)
        if (!Trimmed(line).empty()) indent = std::min(indent, line.find_first_not_of(' '));
    std::string out;
    for (const std::string& line : lines) out += (line.size() > indent ? line.substr(indent) : Trimmed(line)) + "\n";
    return out;
}

// name -> text of each "// [name]" ... "// [end]" region; a region left open or
// opened twice is recorded under "!" with the name.
std::map<std::string, std::string> Regions(const std::vector<std::string>& program, std::vector<std::string>* errors)
{
    std::map<std::string, std::string> regions;
    std::string open;
    std::vector<std::string> body;
    for (const std::string& line : program) {
        const std::string t = Trimmed(line);
        if (t.size() > 5 && t.compare(0, 4, "// [") == 0 && t.back() == ']') {
            const std::string name = t.substr(4, t.size() - 5);
            if (name == "end") {
                if (open.empty()) errors->push_back("an [end] without a region");
                regions[open] = Dedented(body);
                open.clear();
            } else {
                if (!open.empty()) errors->push_back("region " + open + " is not closed before " + name);
                if (regions.count(name)) errors->push_back("region " + name + " is marked twice");
                open = name;
                body.clear();
            }
        } else if (!open.empty()) {
            body.push_back(line);
        }
    }
    if (!open.empty()) errors->push_back("region " + open + " is not closed");
    return regions;
}

// name -> text of each code block announced by "<!-- guide: name -->".
std::map<std::string, std::string> Blocks(const std::vector<std::string>& guide, std::vector<std::string>* errors)
{
    std::map<std::string, std::string> blocks;
    const std::string mark = "<!-- guide: ";
    for (size_t i = 0; i < guide.size(); ++i) {
        if (guide[i].compare(0, mark.size(), mark) != 0) continue;
        const size_t end = guide[i].find(" -->");
        const std::string name = guide[i].substr(mark.size(), end - mark.size());
        if (i + 1 >= guide.size() || guide[i + 1] != "```cpp") {
            errors->push_back("the mark for " + name + " is not followed by a ```cpp block");
            continue;
        }
        std::string text;
        size_t j = i + 2;
        for (; j < guide.size() && guide[j] != "```"; ++j) text += guide[j] + "\n";
        if (j == guide.size()) errors->push_back("the block for " + name + " is not closed");
        if (blocks.count(name)) errors->push_back("the guide quotes " + name + " twice");
        blocks[name] = text;
        i = j;
    }
    return blocks;
}

TEST(Guide, EveryRegionOfTheProgramIsQuotedInTheGuideAsItIs)
{
    const std::vector<std::string> program = Lines(KOLVAR_GUIDE_PROGRAM);
    const std::vector<std::string> guide = Lines(KOLVAR_GUIDE_TEXT);
    ASSERT_FALSE(program.empty()) << KOLVAR_GUIDE_PROGRAM;
    ASSERT_FALSE(guide.empty()) << KOLVAR_GUIDE_TEXT;
    std::vector<std::string> errors;
    const std::map<std::string, std::string> regions = Regions(program, &errors);
    const std::map<std::string, std::string> blocks = Blocks(guide, &errors);
    EXPECT_TRUE(errors.empty()) << ::testing::PrintToString(errors);
    EXPECT_GE(regions.size(), 8u) << "the program is marked in steps";
    for (const auto& [name, text] : regions) {
        const auto block = blocks.find(name);
        if (block == blocks.end()) {
            ADD_FAILURE() << "the guide does not quote region " << name;
            continue;
        }
        EXPECT_EQ(block->second, text) << "the guide's copy of " << name << " differs from the program";
    }
    for (const auto& [name, text] : blocks)
        EXPECT_TRUE(regions.count(name)) << "the guide quotes " << name << ", which the program does not mark";
}

TEST(Guide, TheReadmeShowsTheMinimalExampleAsItIs)
{
    const std::vector<std::string> readme = Lines(KOLVAR_README);
    const std::vector<std::string> program = Lines(KOLVAR_MINIMAL_PROGRAM);
    ASSERT_FALSE(program.empty()) << KOLVAR_MINIMAL_PROGRAM;
    const auto open = std::find(readme.begin(), readme.end(), "```cpp");
    ASSERT_NE(open, readme.end()) << "the README has no C++ block";
    const auto close = std::find(open + 1, readme.end(), "```");
    ASSERT_NE(close, readme.end()) << "the README's C++ block is not closed";
    EXPECT_EQ(std::vector<std::string>(open + 1, close), program)
        << "the README's copy of examples/minimal/main.cpp differs from the program";
    EXPECT_EQ(std::find(close + 1, readme.end(), "```cpp"), readme.end()) << "a second C++ block in the README";
}

}  // namespace
