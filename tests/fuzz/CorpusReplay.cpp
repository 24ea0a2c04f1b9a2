// Replays seed files through a fuzz target's entry point, built with the
// ordinary compiler, so the entry points and their seeds run in every test
// build (a fuzz target aborts on any input that breaks its rules).
//
//   corpus_replay_<target> <file or folder> ...
//
// Every file named, and every file of every folder named (in name order), is
// read into a block of exactly its size and handed to LLVMFuzzerTestOneInput
// once. Exits 0 when every input ran; 1 with the reason when a path cannot be
// read or the arguments hold no file at all.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

// The files a path names: itself, or a folder's regular files in name order.
bool CollectInputs(const fs::path& path, std::vector<fs::path>& inputs)
{
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) {
        inputs.push_back(path);
        return true;
    }
    if (!fs::is_directory(path, ec)) {
        std::fprintf(stderr, "corpus replay: %s: no such file or folder\n", path.c_str());
        return false;
    }
    std::vector<fs::path> files;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec)) files.push_back(it->path());
    if (ec) {
        std::fprintf(stderr, "corpus replay: %s: %s\n", path.c_str(), ec.message().c_str());
        return false;
    }
    std::sort(files.begin(), files.end());
    inputs.insert(inputs.end(), files.begin(), files.end());
    return true;
}

// The file's bytes in a block of their own, so the sanitizers see its exact end.
bool ReadInput(const fs::path& path, std::unique_ptr<uint8_t[]>& data, size_t& size)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    size = bytes.size();
    data.reset(new uint8_t[size]);
    std::copy(bytes.begin(), bytes.end(), data.get());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i)
        if (!CollectInputs(argv[i], inputs)) return 1;
    if (inputs.empty()) {
        std::fprintf(stderr, "corpus replay: no input files given\n");
        return 1;
    }
    for (const fs::path& input : inputs) {
        std::unique_ptr<uint8_t[]> data;
        size_t size = 0;
        if (!ReadInput(input, data, size)) {
            std::fprintf(stderr, "corpus replay: %s: cannot read\n", input.c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", input.c_str(), size);
        std::fflush(stdout);  // the last name printed is the input that aborted
        LLVMFuzzerTestOneInput(data.get(), size);
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
