#pragma once

#include <string>

namespace ledgerlift {

// Whether the window has somewhere to show: a display server (DISPLAY or
// WAYLAND_DISPLAY), or a Qt platform that needs none (QT_QPA_PLATFORM
// offscreen, minimal, vnc, ...). Checked before the window's toolkit starts,
// which would otherwise abort the program.
bool DesktopAvailable();

// The one sentence that the program gives instead of its window when there is
// no desktop; it names every command, since none of them needs one.
std::string NoDesktopMessage();

}  // namespace ledgerlift
