#include "PlatformChoice.h"

namespace PlatformChoice {

Environment current(bool platformOption)
{
    Environment environment;
    environment.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    environment.sessionType = qgetenv("XDG_SESSION_TYPE");
    environment.x11Display = qgetenv("DISPLAY");
    environment.qpaPlatform = qgetenv("QT_QPA_PLATFORM");
    environment.platformOption = platformOption;
    return environment;
}

std::optional<QByteArray> forced(const Environment& environment)
{
    if (!environment.qpaPlatform.isEmpty() || environment.platformOption) {
        return std::nullopt;
    }
    // Qt itself goes by XDG_SESSION_TYPE; a compositor always sets WAYLAND_DISPLAY.
    const bool wayland = !environment.waylandDisplay.isEmpty() || environment.sessionType == "wayland";
    if (!wayland || environment.x11Display.isEmpty()) {
        return std::nullopt;
    }
    // Wayland after xcb: should XWayland refuse the connection, the program
    // still starts rather than aborting.
    return QByteArray("xcb;wayland");
}

} // namespace PlatformChoice
