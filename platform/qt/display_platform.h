#pragma once

namespace genart {

// How a program that may show things picks Qt's platform, before its application is made: a
// platform the user chose is kept; otherwise the session's display, Wayland first, then X11,
// falling back to drawing off-screen when the display cannot be reached, with Qt's notes on the
// platforms that could not start kept quiet. Tells whether a display is there to try.
bool chooseDisplayPlatform();

// Once the application is made: Qt's notes are heard again; whether it reached a display.
bool reachedDisplay();

// The names the settings and the data folder (~/.local/share/Orvanik/genart) are found under.
void setApplicationIdentity();

} // namespace genart
