#include "shell/PlatformChoice.h"

#include <QTest>

class TestPlatformChoice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void forced_data();
    void forced();
};

void TestPlatformChoice::forced_data()
{
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::addColumn<QByteArray>("sessionType");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("qpaPlatform");
    QTest::addColumn<bool>("platformOption");
    QTest::addColumn<QByteArray>("expected"); // empty: Qt's own choice

    const QByteArray xcb("xcb;wayland");
    QTest::newRow("X11 session") << QByteArray() << QByteArray("x11") << QByteArray(":0") << QByteArray()
                                 << false << QByteArray();
    QTest::newRow("Wayland with XWayland") << QByteArray("wayland-0") << QByteArray("wayland")
                                           << QByteArray(":0") << QByteArray() << false << xcb;
    QTest::newRow("Wayland display, no session type")
        << QByteArray("wayland-1") << QByteArray() << QByteArray(":1") << QByteArray() << false << xcb;
    QTest::newRow("Wayland session type, default socket")
        << QByteArray() << QByteArray("wayland") << QByteArray(":0") << QByteArray() << false << xcb;
    QTest::newRow("Wayland without XWayland") << QByteArray("wayland-0") << QByteArray("wayland")
                                              << QByteArray() << QByteArray() << false << QByteArray();
    QTest::newRow("user chose wayland") << QByteArray("wayland-0") << QByteArray("wayland")
                                        << QByteArray(":0") << QByteArray("wayland") << false << QByteArray();
    QTest::newRow("user chose offscreen") << QByteArray("wayland-0") << QByteArray() << QByteArray(":0")
                                          << QByteArray("offscreen") << false << QByteArray();
    QTest::newRow("user passed -platform") << QByteArray("wayland-0") << QByteArray("wayland")
                                           << QByteArray(":0") << QByteArray() << true << QByteArray();
    QTest::newRow("no display at all")
        << QByteArray() << QByteArray("tty") << QByteArray() << QByteArray() << false << QByteArray();
}

void TestPlatformChoice::forced()
{
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QByteArray, sessionType);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, qpaPlatform);
    QFETCH(bool, platformOption);
    QFETCH(QByteArray, expected);

    const PlatformChoice::Environment environment{waylandDisplay, sessionType, display, qpaPlatform,
                                                  platformOption};
    QCOMPARE(PlatformChoice::forced(environment).value_or(QByteArray()), expected);
}

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "TestPlatformChoice.moc"
