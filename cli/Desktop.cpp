#include "cli/Desktop.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/CommandLine.h"

namespace ledgerlift {
namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Qt platforms that draw without a display server.
bool PlatformNeedsNoDisplay(const std::string& platform) {
    std::string name = platform.substr(0, platform.find(':'));
    for (const char* own : {"offscreen", "minimal", "vnc", "eglfs", "linuxfb", "vkkhrdisplay"}) {
        if (name == own) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool DesktopAvailable() {
    if (IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY")) {
        return true;
    }
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return platform != nullptr && PlatformNeedsNoDisplay(platform);
}

std::string NoDesktopMessage() {
    // "a, b and c".
    std::vector<std::string> names = CommandNames();
    std::string listed;
    for (std::size_t i = 0; i < names.size(); ++i) {
        listed += i == 0 ? "" : i + 1 == names.size() ? " and " : ", ";
        listed += names[i];
    }
    return "Ledgerlift's window needs a desktop, and no display was found (DISPLAY and "
           "WAYLAND_DISPLAY are not set); without one, use its commands " +
           listed + " (see \"ledgerlift --help\").";
}

}  // namespace ledgerlift
