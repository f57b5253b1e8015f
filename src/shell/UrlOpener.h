#pragma once

#include <QUrl>

#include <functional>

// Opens web and mailto: addresses with the user's default programs. A failure
// (no browser, no mail program) is silent. Tests catch the addresses instead.
namespace UrlOpener {

void open(const QUrl& url);
void setHandlerForTesting(std::function<void(const QUrl&)> handler);

} // namespace UrlOpener
