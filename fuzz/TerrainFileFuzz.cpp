// The terrain's table files (heights and texture layers): any file, short,
// empty, missing or longer than the table, fills the 4096 x 4096 table by the
// rules (the file's bytes, then its last byte repeated; zeros for an empty or
// missing file; the first 16 MB of a longer one), and table positions built
// from any offsets stay inside the table.
//
// Input: byte 0 picks the file's form, bytes 1 to 8 two offsets, the rest is
// the file's content.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TerrainTable.h"

namespace {

const std::string& FileName()
{
    static const std::string name = "/tmp/fuzz_terrain_" + std::to_string(getpid()) + ".btd";
    return name;
}

void Check(bool ok)
{
    if (!ok) std::abort();
}

// Every byte of table from first on equals value (compared in blocks).
void CheckFilled(const std::vector<unsigned char>& table, size_t first, unsigned char value)
{
    static unsigned char block[65536];
    std::memset(block, value, sizeof(block));
    for (size_t k = first; k < table.size(); k += sizeof(block)) {
        const size_t n = std::min(sizeof(block), table.size() - k);
        Check(std::memcmp(table.data() + k, block, n) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::vector<unsigned char> table(vscene::kTableBytes);
    if (size < 9) return 0;
    const int form = data[0] & 3;  // 0 as given, 1 longer than the table, 2 empty, 3 missing
    int32_t offsetX, offsetZ;
    std::memcpy(&offsetX, data + 1, 4);
    std::memcpy(&offsetZ, data + 5, 4);
    const uint8_t* content = data + 9;
    const size_t length = form >= 2 ? 0 : size - 9;  // an empty or missing file holds nothing

    const std::string& name = FileName();
    std::remove(name.c_str());
    if (form != 3) {
        FILE* f = std::fopen(name.c_str(), "wb");
        Check(f != nullptr);
        if (length) Check(std::fwrite(content, 1, length, f) == length);
        std::fclose(f);
        if (form == 1) Check(truncate(name.c_str(), (off_t)(vscene::kTableBytes + length + 1)) == 0);
    }

    std::memset(table.data(), 0xA5, table.size());
    const bool read = vscene::ReadTerrainTable(name.c_str(), table.data());
    Check(read == (form != 3));
    if (form == 1) {
        // The first 16 MB: the content, then the zeros of the extended file.
        Check(length == 0 || std::memcmp(table.data(), content, length) == 0);
        CheckFilled(table, length, 0);
    } else {
        const unsigned char fill = length ? content[length - 1] : 0;
        Check(length == 0 || std::memcmp(table.data(), content, length) == 0);
        CheckFilled(table, length, fill);
    }

    // Positions of a 256 x 256 window at the offsets, its corners and edges.
    for (long long j : {0LL, 1LL, 128LL, 255LL, 256LL})
        for (long long i : {0LL, 1LL, 4095LL, 255LL, 256LL}) {
            const long long column = (long long)offsetX + i, row = (long long)offsetZ + j;
            const long long p = vscene::TablePosition(column, row);
            const long long linear = row * vscene::kTableSide + column;
            if (linear >= 0 && linear < (long long)vscene::kTableBytes)
                Check(p == linear);
            else
                Check(p == -1);
            if (p >= 0) (void)table[(size_t)p];
        }
    std::remove(name.c_str());
    return 0;
}
