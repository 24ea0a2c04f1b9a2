// The terrain's table files (heights and texture layers): any file, short,
// empty, missing or longer than the table, fills the table by the rules (the
// file's bytes, then its last byte repeated; zeros for an empty or missing
// file; the table's size from the start of a longer one) and says why when it
// is not the table's size, and table positions built from any offsets stay
// inside the 4096 x 4096 table. The reader takes the table's size as given,
// so the runs read into tables of 1 to 8,192 bytes: a 16 MB table a run would
// let the fuzzer try a few hundred files a second.
//
// Input: byte 0 picks the file's form, bytes 1 to 8 two offsets, bytes 9 and
// 10 the table's size, the rest is the file's content.
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
    if (size < 11) return 0;
    const int form = data[0] & 3;  // 0 as given, 1 longer than the table, 2 empty, 3 missing
    int32_t offsetX, offsetZ;
    std::memcpy(&offsetX, data + 1, 4);
    std::memcpy(&offsetZ, data + 5, 4);
    const size_t tableBytes = 1 + ((size_t(data[9]) | size_t(data[10]) << 8) & 8191);
    std::vector<unsigned char> table(tableBytes);
    const uint8_t* content = data + 11;
    const size_t length = form >= 2 ? 0 : size - 11;   // an empty or missing file holds nothing
    const size_t kept = std::min(length, tableBytes);  // the content's bytes in the table

    const std::string& name = FileName();
    std::remove(name.c_str());
    if (form != 3) {
        FILE* f = std::fopen(name.c_str(), "wb");
        Check(f != nullptr);
        if (length) Check(std::fwrite(content, 1, length, f) == length);
        std::fclose(f);
        if (form == 1) Check(truncate(name.c_str(), (off_t)(tableBytes + length + 1)) == 0);
    }

    std::memset(table.data(), 0xA5, table.size());
    std::string reason;
    const bool read = vscene::ReadTable(name.c_str(), table.data(), tableBytes, &reason);
    Check(read == (form != 3));
    const size_t fileBytes = form == 1 ? tableBytes + length + 1 : length;
    Check(reason.empty() == (form != 3 && fileBytes == tableBytes));
    if (form == 1 || length > tableBytes) {
        // The table's size from the start: the content, then the zeros of an extended file.
        Check(std::memcmp(table.data(), content, kept) == 0);
        CheckFilled(table, kept, 0);
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
