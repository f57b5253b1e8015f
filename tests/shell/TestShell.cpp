#include "alerting/AlertWindow.h"
#include "shell/AboutWindow.h"
#include "shell/MainWindow.h"
#include "shell/MakerInfo.h"
#include "shell/MessageBox.h"
#include "shell/UrlOpener.h"
#include "ui/LimitedTextEdit.h"

#include <QAction>
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
#include <QTest>
#include <QTimer>

namespace {
template <typename T = QWidget> T* child(QObject* parent, const char* name)
{
    auto* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        qFatal("no child %s", name);
    }
    return found;
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
    void init();
    void cleanup();
    void mainWindowLayout();
    void alertWindowLayout();
    void includeFocusOrder();
    void descriptionLimits();
    void trayMenuShowsAndHides();
    void encerrarRemovesTheIcon();
    void withoutTrayTheWindowStays();
    void aboutWindow();
    void aboutFromTheMenu();
    void badgesOpenTheMakersSite();
    void scriptedMessageBoxes();

private:
    QList<QUrl> m_opened;
};

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
    MainWindow window(true);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.windowTitle(), QStringLiteral("Quedrino"));
    QCOMPARE(window.size(), QSize(439, 265));
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

    const QList<std::pair<const char*, const char*>> captions{{"cmdme30", "- 30"},
                                                              {"cmdme10", "- 10"},
                                                              {"cmdme7", "- 7"},
                                                              {"cmdme1", "- 1"},
                                                              {"cmdma1", "+ 1"},
                                                              {"cmdma7", "+ 7"},
                                                              {"cmdma10", "+10"},
                                                              {"cmdma30", "+30"},
                                                              {"cmdinc", "&Agendar Lembrete"},
                                                              {"cmdcaninc", "&Fechar Janela"},
                                                              {"cmdmanalt", "&Alterar"},
                                                              {"cmdmanexc", "&Excluir"},
                                                              {"cmdmancan", "&Fechar"}};
    for (const auto& [name, caption] : captions) {
        QCOMPARE(child<QPushButton>(&window, name)->text(), QString::fromUtf8(caption));
    }
    QCOMPARE(child<QGroupBox>(&window, "fraInc")->title(), QStringLiteral("Incluir Lembrete"));
    QCOMPARE(child<QGroupBox>(&window, "frarev")->title(), QStringLiteral("Rever Lembretes"));
    QCOMPARE(child<QGroupBox>(&window, "Frame1")->title(), QStringLiteral("Descrição :"));
    QCOMPARE(child<QLabel>(&window, "Label6")->text(), QStringLiteral("Descrição :"));
    QCOMPARE(child<QLineEdit>(&window, "txtdata")->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    QCOMPARE(child<QLabel>(&window, "lbldia")->text(), QStringLiteral("lbldia"));
    auto* list = child<QListWidget>(&window, "lstlembr");
    QVERIFY(list->isSortingEnabled());
    QCOMPARE(list->flow(), QListView::TopToBottom); // down one column, then the next
    QVERIFY(list->isWrapping());

    // Both panels share one rectangle.
    QCOMPARE(child(&window, "fraInc")->geometry(), QRect(8, 24, 424, 235));
    QCOMPARE(child(&window, "frarev")->geometry(), child(&window, "fraInc")->geometry());

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

void TestShell::alertWindowLayout()
{
    AlertWindow alert;
    QCOMPARE(alert.windowTitle(), QStringLiteral("Aviso do Quedrino"));
    QCOMPARE(alert.size(), QSize(299, 220));
    QVERIFY(alert.windowFlags() & Qt::WindowStaysOnTopHint);
    auto* interval = child<QComboBox>(&alert, "cboadia");
    QCOMPARE(
        itemsOf(interval),
        (QStringList{QStringLiteral("05 minutos"), QStringLiteral("10 minutos"), QStringLiteral("15 minutos"),
                     QStringLiteral("30 minutos"), QStringLiteral("45 minutos"), QStringLiteral("01 hora"),
                     QStringLiteral("02 horas"), QStringLiteral("04 horas"), QStringLiteral("08 horas"),
                     QStringLiteral("01 dia"), QStringLiteral("02 dias"), QStringLiteral("03 dias"),
                     QStringLiteral("01 semana")}));
    QVERIFY(interval->currentText().isEmpty());
    QCOMPARE(child<QPushButton>(&alert, "cmdApagar")->text(), QStringLiteral("&Apagar"));
    QCOMPARE(child<QPushButton>(&alert, "cdmAdiar")->text(), QStringLiteral("A&diar"));
    // Texts from the file are shown as they are, never as markup.
    QCOMPARE(child<QLabel>(&alert, "lbldata")->textFormat(), Qt::PlainText);
    QCOMPARE(child<QLabel>(&alert, "lblhora")->textFormat(), Qt::PlainText);

    alert.show();
    QVERIFY(QTest::qWaitForWindowActive(&alert));
    QCOMPARE(QApplication::focusWidget(), child(&alert, "txtmsg"));
}

void TestShell::includeFocusOrder()
{
    MainWindow window(true);
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

void TestShell::descriptionLimits()
{
    MainWindow window(true);
    AlertWindow alert;
    for (LimitedTextEdit* box :
         {child<LimitedTextEdit>(&window, "txtincdesc"), child<LimitedTextEdit>(&window, "txtmanobs"),
          child<LimitedTextEdit>(&alert, "txtmsg")}) {
        QCOMPARE(box->maxLength(), 200);
        QTest::keyClicks(box, QString(195, QLatin1Char('a')));
        QTest::keyClicks(box, QStringLiteral("bcdefghij"));
        QCOMPARE(box->text(), QString(195, QLatin1Char('a')) + QStringLiteral("bcdef"));

        // A paste in the middle keeps what was there and takes only what fits.
        box->setText(QString(190, QLatin1Char('x')));
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(10);
        box->setTextCursor(cursor);
        box->insertPlainText(QString(50, QLatin1Char('p')));
        QCOMPARE(box->text(),
                 QString(10, QLatin1Char('x')) + QString(10, QLatin1Char('p'))
                     + QString(180, QLatin1Char('x')));

        // Text the program puts there is never cut.
        box->setText(QString(250, QLatin1Char('z')));
        QCOMPARE(box->text().size(), 250);
        QTest::keyClicks(box, QStringLiteral("more"));
        QCOMPARE(box->text().size(), 250);
        box->clear();
    }
}

void TestShell::trayMenuShowsAndHides()
{
    MainWindow window(true);
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
    MainWindow window(true);
    QSignalSpy quit(&window, &MainWindow::quitRequested);
    window.findChild<QAction*>(QStringLiteral("mnuEncerrar"))->trigger();
    QCOMPARE(quit.count(), 1);
    QVERIFY(!window.trayIcon()->isVisible());
}

void TestShell::withoutTrayTheWindowStays()
{
    MainWindow window(false);
    QVERIFY(window.isVisible());
    QVERIFY(child(&window, "fraInc")->isVisible());
    QVERIFY(window.menuBar()->isVisible());
    QCOMPARE(window.menuBar()->actions().size(), 1);
    QCOMPARE(window.menuBar()->actions().first()->menu(), window.trayMenu());
    QVERIFY(!window.trayIcon()->isVisible());
    QVERIFY(!window.close());
    QVERIFY(window.isVisible() || window.isMinimized());
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
    QCOMPARE(child(&about, "endereco")->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(child(&about, "email")->cursor().shape(), Qt::PointingHandCursor);
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
    MainWindow window(true);
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
    MainWindow window(true);
    window.showIncludePanel();
    QTest::mouseClick(child(&window, "Picture2"), Qt::LeftButton);
    window.showReviewPanel();
    QTest::mouseClick(child(&window, "Picture3"), Qt::LeftButton);
    QCOMPARE(m_opened, QList<QUrl>(2, QUrl(QStringLiteral(QUEDRINO_MAKER_URL))));
    QCOMPARE(child(&window, "Picture2")->cursor().shape(), Qt::PointingHandCursor);
}

void TestShell::scriptedMessageBoxes()
{
    MessageBox::setScripted(true);
    MessageBox::critical(nullptr, QStringLiteral("Por favor, Informar a Hora!"));
    MessageBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(MessageBox::question(nullptr, QStringLiteral("Exclusão"),
                                 QStringLiteral("Confirma Exclusão do Lembrete?")));
    QVERIFY(!MessageBox::question(nullptr, QStringLiteral("Exclusão"),
                                  QStringLiteral("Confirma Exclusão do Lembrete?")));
    QCOMPARE(MessageBox::takeShown(),
             (QStringList{QStringLiteral("Por favor, Informar a Hora!"),
                          QStringLiteral("Confirma Exclusão do Lembrete?"),
                          QStringLiteral("Confirma Exclusão do Lembrete?")}));
    QVERIFY(MessageBox::takeShown().isEmpty());
    MessageBox::setScripted(false);
}

QTEST_MAIN(TestShell)
#include "TestShell.moc"
