// Where the engine's own data ("media\..." names) is read from when the
// working directory does not hold it.
#pragma once

#include <string>

namespace vcore {

// The installed data folder: $VORPEX_DATA_DIR when it is set, else
// share/vorpex of the prefix this library is installed under (found from
// the library's own file). The engine registers it with the window layer
// for "media" when the library loads; it need not exist.
std::string InstalledDataFolder();

}  // namespace vcore
