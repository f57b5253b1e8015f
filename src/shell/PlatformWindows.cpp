#include "Platform.h"

#include "alerting/WinMmAlarmSound.h"

#include <QDir>

#include <cstdio>
#include <io.h>

#include <windows.h>

namespace {
bool usable(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}
} // namespace

namespace Platform {

std::unique_ptr<AlarmSound> alarmSound()
{
    return std::make_unique<WinMmAlarmSound>();
}

bool standardOutputReachable()
{
    // Redirected to a file or a pipe: already where it should go.
    if (usable(STD_OUTPUT_HANDLE)) {
        return true;
    }
    // Started from a command prompt: write into the prompt's console.
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return false;
    }
    const bool out = std::freopen("CONOUT$", "w", stdout) != nullptr;
    const bool err = std::freopen("CONOUT$", "w", stderr) != nullptr;
    return out && err;
}

bool write(std::FILE* stream, const QString& text)
{
    // A console would read the local (ANSI) bytes in its own OEM code page.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        DWORD written = 0;
        return WriteConsoleW(handle, text.utf16(), DWORD(text.size()), &written, nullptr)
            && written == DWORD(text.size());
    }
    return std::fputs(text.toLocal8Bit().constData(), stream) >= 0 && std::fflush(stream) == 0;
}

QString endProcessCommand(qint64 pid)
{
    return QStringLiteral("taskkill /PID %1 /F").arg(pid);
}

QString instanceFolder()
{
    // The user's own temporary folder: Qt's runtime folder on Windows is the
    // profile folder itself, where a lock file would be clutter.
    return QDir::tempPath();
}

QString instanceServerName(const QString&)
{
    // A named pipe: pipes share one namespace for the whole machine.
    return QStringLiteral("quedrino-") + qEnvironmentVariable("USERNAME");
}

} // namespace Platform
