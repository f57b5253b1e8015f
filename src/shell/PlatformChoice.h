#pragma once

#include <QByteArray>

#include <optional>

// Which of Qt's platforms the program runs on when Qt's own choice would not
// do. On a Wayland session a window cannot ask to stay above the others, so
// an alert would open behind them; through XWayland, where there is one, it
// can.
namespace PlatformChoice {

struct Environment
{
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray sessionType; // XDG_SESSION_TYPE
    QByteArray x11Display; // DISPLAY
    QByteArray qpaPlatform; // QT_QPA_PLATFORM
    bool platformOption = false; // -platform on the command line
};

// This process's environment.
Environment current(bool platformOption);

// The value for QT_QPA_PLATFORM, or nothing to leave Qt's choice alone. The
// user's own choice, by the variable or by -platform, always stands.
std::optional<QByteArray> forced(const Environment& environment);

} // namespace PlatformChoice
