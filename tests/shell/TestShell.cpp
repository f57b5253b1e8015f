#include "TestSupport.h"
#include "alerting/AlertWindow.h"
#include "alerting/DueScan.h"
#include "shell/AboutWindow.h"
#include "shell/MakerInfo.h"
#include "shell/UrlOpener.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

using TestSupport::child;

class TestShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The boxes as they really show: title, icon (3 critical, 4 question), the
    // default button, then every button; the answer is the button pressed.
    void realMessageBoxes()
    {
        QString seen;
        const auto answer = [&seen](const QString& press) {
            QTimer::singleShot(0, [&seen, press] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                seen = box->windowTitle() + ' ' + QString::number(box->icon()) + ' '
                    + box->defaultButton()->text();
                QAbstractButton* pressed = nullptr;
                for (QAbstractButton* button : box->buttons()) {
                    seen += ' ' + button->text();
                    pressed = button->text() == press ? button : pressed;
                }
                pressed->click();
            });
        };
        answer("OK");
        MessageBox::critical(nullptr, "Por favor, Informar a Hora!");
        QCOMPARE(seen, "Quedrino 3 OK OK");
        answer("&Não");
        QVERIFY(!MessageBox::question(nullptr, "Exclusão", "Confirma Exclusão do Lembrete?"));
        QCOMPARE(seen, "Exclusão 4 &Sim &Sim &Não");
        answer("&Sim");
        QVERIFY(MessageBox::question(nullptr, "Exclusão", "Confirma Exclusão do Lembrete?"));
        MessageBox::takeShown();
    }

    // The panels' badges and the About window's links open the maker's site
    // and mail; "&Sobre" opens one About window, which Esc leaves open;
    // "&Encerrar" takes the icon from the tray at once.
    void makerLinksAboutAndEncerrar()
    {
        QList<QUrl> opened;
        UrlOpener::setHandlerForTesting([&opened](const QUrl& url) { opened << url; });
        TestSupport::Program program;
        MainWindow* window = program.window;
        QTest::mouseClick(child(window, "Picture2"), Qt::LeftButton);
        QTest::mouseClick(child(window, "Picture3"), Qt::LeftButton);
        QList<bool> abouts; // each one open, still shown after Esc
        QTimer::singleShot(0, window, [&] {
            QTimer::singleShot(0, window, [&] { // inside a second About's loop, were one opened
                for (QWidget* about : QApplication::topLevelWidgets()) {
                    if (qobject_cast<AboutWindow*>(about) && about->isVisible()) {
                        QTest::mouseClick(child(about, "endereco"), Qt::LeftButton);
                        QTest::mouseClick(child(about, "email"), Qt::LeftButton);
                        QTest::keyClick(about, Qt::Key_Escape);
                        abouts << about->isVisible();
                        child<QPushButton>(about, "Command1")->click();
                    }
                }
            });
            window->showAbout();
        });
        window->findChild<QAction*>(QStringLiteral("mnuSobre"))->trigger();
        UrlOpener::setHandlerForTesting({});
        QCOMPARE(abouts, QList<bool>{true});
        const QUrl site(QStringLiteral(QUEDRINO_MAKER_URL)),
            mail(QStringLiteral("mailto:" QUEDRINO_MAKER_EMAIL));
        QCOMPARE(opened, (QList<QUrl>{site, site, site, mail}));

        QVERIFY(window->trayIcon()->isVisible());
        QSignalSpy quit(window, &MainWindow::quitRequested);
        window->findChild<QAction*>(QStringLiteral("mnuEncerrar"))->trigger();
        QVERIFY(quit.count() == 1 && !window->trayIcon()->isVisible());
    }
};

QTEST_MAIN(TestShell)
#include "TestShell.moc"
