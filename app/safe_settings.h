#pragma once

#include <iosfwd>

namespace genart {

// Makes the window's settings (the save dialogs' folder, type, size) safe to read before any
// QSettings is made, once the application's names are set. A settings file that is not a
// regular file (a FIFO would block the window for good at the first save, a device would give
// anything) is never opened: the run starts from the default settings and keeps none, and one
// line on `warnings` says why. A settings folder that cannot be written is said once, at start,
// rather than the dialogs silently forgetting their choices.
void useSettingsSafely(std::ostream& warnings);

// The XDG rules say a relative path in XDG_DATA_HOME, XDG_CONFIG_HOME, XDG_STATE_HOME,
// XDG_CACHE_HOME or XDG_RUNTIME_DIR, or among XDG_DATA_DIRS and XDG_CONFIG_DIRS, is invalid
// and to be ignored: such entries are taken out of the environment, so that the history and the
// settings never land under whatever the current folder happens to be.
void ignoreRelativeXdgFolders();

} // namespace genart
