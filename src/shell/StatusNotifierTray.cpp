#include "StatusNotifierTray.h"

#include "shell/StatusNotifierItem.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QIcon>
#include <QPointer>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString itemPath = QStringLiteral("/StatusNotifierItem");

QDBusMessage watcherCall(const QString& interface, const QString& method)
{
    return QDBusMessage::createMethodCall(watcherService, watcherPath, interface, method);
}

} // namespace

struct StatusNotifierTray::State
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // One name per process, as the protocol asks: org.kde.StatusNotifierItem-PID-ID.
    QString service
        = QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid());
    QPointer<StatusNotifierItem> item;

    void registerItem() const
    {
        QDBusMessage call = watcherCall(watcherService, QStringLiteral("RegisterStatusNotifierItem"));
        call << service;
        bus.asyncCall(call);
    }
};

StatusNotifierTray::StatusNotifierTray(QObject* parent)
    : QObject(parent)
    , m_state(std::make_unique<State>())
{
    if (!m_state->bus.isConnected()) {
        return;
    }
    StatusNotifierTypes::registerTypes();
    auto* watcher = new QDBusServiceWatcher(watcherService, m_state->bus,
                                            QDBusServiceWatcher::WatchForRegistration, this);
    // A panel restarted: the new watcher knows nothing of the icon.
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        if (m_state->item) {
            m_state->registerItem();
        }
        askForHost();
    });
    // A watcher can be there before anything that draws its icons.
    m_state->bus.connect(watcherService, watcherPath, watcherService,
                         QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(askForHost()));
    if (m_state->bus.interface()->isServiceRegistered(watcherService)) {
        askForHost();
    }
}

StatusNotifierTray::~StatusNotifierTray()
{
    hide();
}

void StatusNotifierTray::askForHost()
{
    QDBusMessage call = watcherCall(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* pending = new QDBusPendingCallWatcher(m_state->bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *answer;
        if (reply.isValid() && reply.value().variant().toBool()) {
            Q_EMIT ready();
        }
    });
}

void StatusNotifierTray::show(const QIcon& icon, const QString& tip)
{
    if (m_state->item || !m_state->bus.isConnected()) {
        return;
    }
    auto* item = new StatusNotifierItem(StatusNotifierTypes::pixmapsOf(icon), tip, this);
    connect(item, &StatusNotifierItem::menuRequested, this, &StatusNotifierTray::menuRequested);
    if (!m_state->bus.registerObject(
            itemPath, item, QDBusConnection::ExportAllProperties | QDBusConnection::ExportScriptableSlots)) {
        delete item;
        return;
    }
    m_state->item = item;
    // Should another hold the name, the watcher takes the connection's own.
    if (!m_state->bus.registerService(m_state->service)) {
        m_state->service = m_state->bus.baseService();
    }
    m_state->registerItem();
}

void StatusNotifierTray::hide()
{
    if (!m_state->item) {
        return;
    }
    // The watcher drops the icon as soon as its name leaves the bus.
    m_state->bus.unregisterService(m_state->service);
    m_state->bus.unregisterObject(itemPath);
    delete m_state->item;
}
