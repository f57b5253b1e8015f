#include "StatusNotifierTray.h"

// No session bus on this platform: nothing to watch, no icon to show.
struct StatusNotifierTray::State
{
};

StatusNotifierTray::StatusNotifierTray(QObject* parent)
    : QObject(parent)
{ }

StatusNotifierTray::~StatusNotifierTray() = default;

void StatusNotifierTray::show(const QIcon&, const QString&) { }

void StatusNotifierTray::hide() { }

void StatusNotifierTray::askForHost() { }
