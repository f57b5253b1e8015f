#include "UrlOpener.h"

#include <QDesktopServices>

namespace {
std::function<void(const QUrl&)>& handler()
{
    static std::function<void(const QUrl&)> instance;
    return instance;
}
} // namespace

namespace UrlOpener {

void open(const QUrl& url)
{
    if (handler()) {
        handler()(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

void setHandlerForTesting(std::function<void(const QUrl&)> replacement)
{
    handler() = std::move(replacement);
}

} // namespace UrlOpener
