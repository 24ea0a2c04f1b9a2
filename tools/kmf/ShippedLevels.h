// The six game levels' design texts, built into the tools from tools/levels/.
#pragma once

namespace kmf {

constexpr int kShippedLevelCount = 6;

// Design text of level n (1..6); null for any other number.
const char* ShippedLevelText(int n);

}  // namespace kmf
