
#include "TestSupport.h"
#include "alerting/AlertWindow.h"
#include "alerting/DueScan.h"
#include "reminders/DataFolder.h"
#include "shell/AboutWindow.h"
#include "shell/MainWindow.h"
#include "shell/MakerInfo.h"
#include "shell/UrlOpener.h"
#include "ui/MessageBox.h"
#include "ui/WindowStyle.h"

#include <QAction>
#include <QBitmap>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace {
using TestSupport::child;

// The program's own pointing hand: a 32 x 32 monochrome cursor whose hot spot
// is the fingertip at column 5, row 0.
bool isHand(const QCursor& cursor)
{
    const QBitmap bitmap = cursor.bitmap();
    const QBitmap mask = cursor.mask();
    if (cursor.shape() != Qt::BitmapCursor || cursor.hotSpot() != QPoint(5, 0)
        || bitmap.size() != QSize(32, 32)) {
        return false;
    }
    // The fingertip is part of the hand, and the far corner is not.
    const QImage shape = mask.toImage();
    return shape.pixelIndex(5, 1) != shape.pixelIndex(31, 31);
}

// WCAG's contrast ratio of two colours, 1 to 21.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel
            = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

QStringList itemsOf(QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}
} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void mainWindowLayout();
    void includeFocusOrder();
    void trayMenuShowsAndHides();
    void encerrarRemovesTheIcon();
    void withoutTrayTheWindowStays();
    void aboutWindow();
    void aboutFromTheMenu();
    void badgesOpenTheMakersSite();
    void realMessageBoxes();
    void trayMenuOpensOnRelease();
    void trayAppearingLater();
    void readableOnADarkDesktop();

private:
    QList<QUrl> m_opened;
    FakeAlarmSound m_sound;
    QTemporaryDir m_data; // the scan reads here, never in the user's home
};

void TestShell::initTestCase()
{
    QVERIFY(m_data.isValid());
    DataFolder::setPathForTesting(m_data.path());
}

void TestShell::cleanupTestCase()
{
    DataFolder::setPathForTesting({});
}

void TestShell::init()
{
    m_opened.clear();
    UrlOpener::setHandlerForTesting([this](const QUrl& url) { m_opened << url; });
}

void TestShell::cleanup()
{
    UrlOpener::setHandlerForTesting({});
}

void TestShell::mainWindowLayout()
{
    MainWindow window(true, m_sound);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.menuBar()->isVisibleTo(&window));

    QStringList hours;
    for (int h = 0; h < 24; ++h) {
        hours << QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0'));
    }
    QCOMPARE(itemsOf(child<QComboBox>(&window, "cboHora")), hours);
    QCOMPARE(itemsOf(child<QComboBox>(&window, "cboMinuto")),
             QString::fromLatin1("00 05 10 15 20 25 30 35 40 45 50 55").split(QLatin1Char(' ')));
    QVERIFY(child<QComboBox>(&window, "cboHora")->currentText().isEmpty());
    QVERIFY(child<QComboBox>(&window, "cboMinuto")->currentText().isEmpty());

    auto* timer = window.findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 1);
    QVERIFY(timer->isActive());

    // The tray menu: five entries, the third a separator.
    const QList<QAction*> actions = window.trayMenu()->actions();
    QCOMPARE(actions.size(), 5);
    QStringList names;
    QStringList texts;
    for (QAction* action : actions) {
        names << action->objectName();
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QVERIFY(action->isEnabled());
    }
    QCOMPARE(names, QString::fromLatin1("mnuInc mnuRev h1 mnuSobre mnuEncerrar").split(QLatin1Char(' ')));
    QCOMPARE(texts,
             (QStringList{QStringLiteral("&Incluir Lembrete"), QStringLiteral("&Rever Lembretes"),
                          QStringLiteral("-"), QStringLiteral("&Sobre"), QStringLiteral("&Encerrar")}));
    QCOMPARE(window.trayIcon()->contextMenu(), window.trayMenu());
    QCOMPARE(window.trayIcon()->toolTip(), QStringLiteral("Quedrino"));
}

void TestShell::includeFocusOrder()
{
    MainWindow window(true, m_sound);
    window.showIncludePanel();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    child(&window, "txtdata")->setFocus();
    QStringList order;
    for (int i = 0; i < 15; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order,
             QString::fromLatin1("txtdata cboHora cboMinuto txtincdesc cmdinc cmdcaninc cmdme30 cmdme10 "
                                 "cmdme7 cmdme1 cmdma1 cmdma7 cmdma10 cmdma30 txtdata")
                 .split(QLatin1Char(' ')));
}

void TestShell::trayMenuShowsAndHides()
{
    MainWindow window(true, m_sound);
    QVERIFY(window.trayIcon()->isVisible());
    auto* include = child(&window, "fraInc");
    auto* review = child(&window, "frarev");

    window.findChild<QAction*>(QStringLiteral("mnuInc"))->trigger();
    QVERIFY(window.isVisible());
    QVERIFY(include->isVisible());
    QVERIFY(!review->isVisible());

    window.findChild<QAction*>(QStringLiteral("mnuRev"))->trigger();
    QVERIFY(!include->isVisible());
    QVERIFY(review->isVisible());

    // The close box only hides; the same window comes back.
    QVERIFY(!window.close());
    QVERIFY(!window.isVisible());
    QVERIFY(window.trayIcon()->isVisible());
    window.findChild<QAction*>(QStringLiteral("mnuInc"))->trigger();
    QVERIFY(window.isVisible());

    QTest::mouseClick(child(&window, "cmdcaninc"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
    window.showReviewPanel();
    QTest::mouseClick(child(&window, "cmdmancan"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

void TestShell::encerrarRemovesTheIcon()
{
    MainWindow window(true, m_sound);
    QSignalSpy quit(&window, &MainWindow::quitRequested);
    window.findChild<QAction*>(QStringLiteral("mnuEncerrar"))->trigger();
    QCOMPARE(quit.count(), 1);
    QVERIFY(!window.trayIcon()->isVisible());
}

void TestShell::withoutTrayTheWindowStays()
{
    MainWindow window(false, m_sound);
    QVERIFY(window.isVisible());
    QVERIFY(child(&window, "fraInc")->isVisible());
    QVERIFY(window.menuBar()->isVisible());
    QCOMPARE(window.menuBar()->actions().size(), 1);
    QCOMPARE(window.menuBar()->actions().first()->menu(), window.trayMenu());
    QVERIFY(!window.trayIcon()->isVisible());
    QVERIFY(!window.close());
    QVERIFY(window.isMinimized());
    // The menu (or a second start, which goes through it) brings it back.
    window.findChild<QAction*>(QStringLiteral("mnuInc"))->trigger();
    QVERIFY(!window.isMinimized());
    QVERIFY(window.isVisible());
}

void TestShell::aboutWindow()
{
    AboutWindow about;
    QCOMPARE(about.windowTitle(), QStringLiteral("Sobre o Quedrino 1.1a"));
    QCOMPARE(about.size(), QSize(269, 172));
    QCOMPARE(child<QLabel>(&about, "Label1")->text(), QStringLiteral("Esse programa é uma cortesia da"));
    QCOMPARE(child<QLabel>(&about, "Label2")->text(), QStringLiteral(QUEDRINO_MAKER_NAME));
    QCOMPARE(child<QLabel>(&about, "Label6_0")->text(), QStringLiteral("WebSite:"));
    QCOMPARE(child<QLabel>(&about, "Label6_1")->text(), QStringLiteral("E-mail:"));
    QCOMPARE(child<QLabel>(&about, "Label6_2")->text(), QStringLiteral("Telefone:"));
    QCOMPARE(child<QLabel>(&about, "Label3_2")->text(), QStringLiteral(QUEDRINO_MAKER_PHONE));
    QCOMPARE(child<QPushButton>(&about, "Command1")->text(), QStringLiteral("&Okay"));
    QVERIFY(isHand(child(&about, "endereco")->cursor()));
    QVERIFY(isHand(child(&about, "email")->cursor()));
    QCOMPARE(child(&about, "Label3_2")->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(child(&about, "endereco")->font().underline());
    QVERIFY(!child(&about, "email")->font().underline());

    about.show();
    QVERIFY(QTest::qWaitForWindowActive(&about));
    QTest::mouseClick(child(&about, "endereco"), Qt::LeftButton);
    QTest::mouseClick(child(&about, "email"), Qt::LeftButton);
    QCOMPARE(m_opened,
             (QList<QUrl>{QUrl(QStringLiteral(QUEDRINO_MAKER_URL)),
                          QUrl(QStringLiteral("mailto:" QUEDRINO_MAKER_EMAIL))}));
    QVERIFY(about.isVisible()); // a link leaves the window open

    QCOMPARE(QApplication::focusWidget(), child(&about, "Command1"));
    QTest::keyClick(&about, Qt::Key_Escape);
    QVERIFY(about.isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!about.isVisible());
}

void TestShell::aboutFromTheMenu()
{
    MainWindow window(true, m_sound);
    window.showIncludePanel();
    const auto openAbouts = [] {
        QList<AboutWindow*> open;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* about = qobject_cast<AboutWindow*>(w); about && about->isVisible()) {
                open << about;
            }
        }
        return open;
    };
    bool checked = false;
    QTimer::singleShot(0, this, [&] {
        QCOMPARE(openAbouts().size(), 1);
        // The main window takes no input meanwhile; the tray menu still works.
        QVERIFY(!child(&window, "centralwidget")->isEnabled());
        QVERIFY(window.trayMenu()->isEnabled());
        // A second "&Sobre" opens no second window.
        window.showAbout();
        QCOMPARE(openAbouts().size(), 1);
        checked = true;
        QTest::mouseClick(child(openAbouts().first(), "Command1"), Qt::LeftButton);
    });
    window.findChild<QAction*>(QStringLiteral("mnuSobre"))->trigger();
    QVERIFY(checked);
    QVERIFY(openAbouts().isEmpty());
    QVERIFY(child(&window, "centralwidget")->isEnabled());
}

void TestShell::badgesOpenTheMakersSite()
{
    MainWindow window(true, m_sound);
    window.showIncludePanel();
    QTest::mouseClick(child(&window, "Picture2"), Qt::LeftButton);
    window.showReviewPanel();
    QTest::mouseClick(child(&window, "Picture3"), Qt::LeftButton);
    QCOMPARE(m_opened, QList<QUrl>(2, QUrl(QStringLiteral(QUEDRINO_MAKER_URL))));
    QVERIFY(isHand(child(&window, "Picture2")->cursor()));
    QVERIFY(isHand(child(&window, "Picture3")->cursor()));
}

void TestShell::realMessageBoxes()
{
    struct Seen
    {
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
        QString defaultButton;
    };
    // Reads the box that is up, then presses its default button.
    const auto inspect = [](Seen& seen) {
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen.title = box->windowTitle();
            seen.icon = box->icon();
            for (QAbstractButton* button : box->buttons()) {
                seen.buttons << button->text();
            }
            seen.defaultButton = box->defaultButton()->text();
            box->defaultButton()->click();
        });
    };
    Seen critical;
    inspect(critical);
    MessageBox::critical(nullptr, QStringLiteral("Por favor, Informar a Hora!"));
    QCOMPARE(critical.title, QStringLiteral("Quedrino"));
    QCOMPARE(critical.icon, QMessageBox::Critical);
    QCOMPARE(critical.buttons, QStringList{QStringLiteral("OK")});

    Seen question;
    inspect(question);
    QVERIFY(MessageBox::question(nullptr, QStringLiteral("Exclusão"),
                                 QStringLiteral("Confirma Exclusão do Lembrete?")));
    QCOMPARE(question.title, QStringLiteral("Exclusão"));
    QCOMPARE(question.icon, QMessageBox::Question);
    question.buttons.sort();
    QCOMPARE(question.buttons, (QStringList{QStringLiteral("&Não"), QStringLiteral("&Sim")}));
    QCOMPARE(question.defaultButton, QStringLiteral("&Sim"));
    MessageBox::takeShown();
}

// Stands in for Qt's own widget that draws the tray icon on X11, which the
// tray filter recognises by its class name.
class QSystemTrayIconSys : public QWidget
{
    Q_OBJECT
};

void TestShell::trayMenuOpensOnRelease()
{
    MainWindow window(true, m_sound);
    QSystemTrayIconSys icon;
    icon.resize(24, 24);
    icon.show();
    QVERIFY(QTest::qWaitForWindowExposed(&icon));
    QMenu* menu = window.trayMenu();
    QTest::mousePress(&icon, Qt::RightButton);
    QVERIFY(!menu->isVisible()); // a press alone opens nothing
    QTest::mouseRelease(&icon, Qt::RightButton);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    QTest::mouseClick(&icon, Qt::LeftButton);
    QTest::mouseDClick(&icon, Qt::LeftButton);
    QVERIFY(!menu->isVisible());
}

void TestShell::trayAppearingLater()
{
    MainWindow window(false, m_sound);
    QVERIFY(window.isVisible());
    QVERIFY(window.findChild<QTimer*>(QStringLiteral("trayWatch"))->isActive());
    window.useTray();
    QVERIFY(!window.isVisible());
    QVERIFY(window.usesTray());
    QVERIFY(window.trayIcon()->isVisible());
    QVERIFY(!window.menuBar()->isVisibleTo(&window));
    window.showIncludePanel();
    QCOMPARE(window.size(), QSize(439, 265));
    // The close box now hides, as with a tray from the start.
    QVERIFY(!window.close());
    QVERIFY(!window.isVisible());
}

// The windows fix their text colours and take their backgrounds from the
// system. On a dark desktop every text but the yellow panel captions must
// still read at WCAG AA (4.5:1), and the captions' yellow stays on them.
void TestShell::readableOnADarkDesktop()
{
    const QPalette before = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(50, 50, 50)));
    WindowStyle::useLightPaletteOnDarkDesktop();
    {
        MainWindow window(true, m_sound);
        AboutWindow about;
        QFile(DataFolder::reminderFile()).remove();
        QFile due(DataFolder::reminderFile());
        QVERIFY(due.open(QIODevice::WriteOnly));
        due.write("01/01/200008:00Vencido\r\n");
        due.close();
        window.scan().tick();
        QVERIFY(window.scan().alert());
        for (QWidget* top : QList<QWidget*>{&window, &about, window.scan().alert()}) {
            for (QWidget* widget : top->findChildren<QWidget*>()) {
                const QPalette& palette = widget->palette(); // disabled texts are exempt
                const bool caption
                    = widget->property("quedrinoStyle").toString() == QLatin1String("panelCaption");
                const double ratio = contrast(palette.color(QPalette::Active, QPalette::WindowText),
                                              palette.color(QPalette::Active, QPalette::Window));
                QVERIFY2(caption
                             ? palette.color(QPalette::Active, QPalette::WindowText) == QColor(255, 255, 0)
                             : ratio >= 4.5,
                         qPrintable(QStringLiteral("%1: %2 %3 on %4")
                                        .arg(widget->objectName())
                                        .arg(ratio)
                                        .arg(palette.color(QPalette::Active, QPalette::WindowText).name(),
                                             palette.color(QPalette::Active, QPalette::Window).name())));
                QVERIFY2(contrast(palette.color(QPalette::Active, QPalette::Text),
                                  palette.color(QPalette::Active, QPalette::Base))
                             >= 4.5,
                         qPrintable(widget->objectName()));
                QVERIFY2(contrast(palette.color(QPalette::Active, QPalette::HighlightedText),
                                  palette.color(QPalette::Active, QPalette::Highlight))
                             >= 4.5,
                         qPrintable(widget->objectName()));
            }
        }
        window.scan().alert()->close();
    }
    QFile(DataFolder::reminderFile()).remove();
    QApplication::setPalette(before);
}

QTEST_MAIN(TestShell)
#include "TestShell.moc"
