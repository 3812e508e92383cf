#pragma once

#include <string>

namespace genart {

// Who makes genart, and its name: the folders below, and the application's own names in Qt.
inline constexpr const char* kOrganizationName = "Orvanik";
inline constexpr const char* kApplicationName = "genart";

// genart's data folder, $XDG_DATA_HOME/Orvanik/genart (by default ~/.local/share/Orvanik/genart),
// and its cache folder, $XDG_CACHE_HOME/Orvanik/genart (~/.cache/Orvanik/genart). Empty when
// neither the variable nor HOME is set.
std::string dataFolder();
std::string cacheFolder();

// The library in the data folder, and the history file genart kept there before it.
std::string defaultLibraryPath();
std::string oldHistoryPath();

} // namespace genart
