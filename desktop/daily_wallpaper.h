#pragma once

#include <string>

namespace genart {

// A new wallpaper every day: a systemd user timer that starts a service running
// `genart wallpaper` once a day, and at the next start-up when the computer was off at the time.
inline constexpr const char* kDailyService = "genart-wallpaper.service";
inline constexpr const char* kDailyTimer = "genart-wallpaper.timer";

// The units' texts; the service runs `program` (an absolute path), with --favourite if asked.
std::string dailyServiceText(const std::string& program, bool favourite);
std::string dailyTimerText();

// The user's own unit folder: $XDG_CONFIG_HOME/systemd/user (~/.config/systemd/user).
std::string userUnitFolder();

// Writes the units into `unitFolder` and has the user's systemd enable and start the timer, or
// stops it, disables it and removes them. "" when done, else one line telling why not (there
// is no systemd user session, a file could not be written). Checks the service manager first,
// so nothing is written where it cannot start.
std::string switchDailyWallpaper(bool on, bool favourite, const std::string& program,
                                 const std::string& unitFolder);

} // namespace genart
