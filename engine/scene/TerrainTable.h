// The terrain's two 4096 x 4096 byte tables (heights and texture layers):
// reading them from their files and addressing them. Private to the scene
// folder; the fuzz target for the table files links it directly.
#pragma once

#include <cstddef>
#include <string>

namespace vscene {

const int kTableSide = 4096;
const std::size_t kTableBytes = std::size_t(kTableSide) * kTableSide;  // 16,777,216

// Fills table (kTableBytes, allocated by the caller) from the file, a system
// (backslash) name: the file's first kTableBytes bytes in order; past the end
// of a short file every byte repeats the file's last byte (an empty file
// gives zeros); bytes beyond the table in a longer file are ignored, and
// *reason, when given, says so (empty for a file of the table's size). False,
// with the table all zero and the reason in *reason when given, when the file
// cannot be opened or read.
bool ReadTerrainTable(const char* name, unsigned char* table, std::string* reason = nullptr);

// The same for a table of any size (size bytes); ReadTerrainTable is this
// with kTableBytes. The fuzz target reads into small tables with it.
bool ReadTable(const char* name, unsigned char* table, std::size_t size, std::string* reason = nullptr);

// Linear table position 4096 * row + column, or -1 when that lies outside
// the table. Like the grid walk that uses it, a column past 4095 runs into
// the next row; only the linear position is bounded.
long long TablePosition(long long column, long long row);

}  // namespace vscene
