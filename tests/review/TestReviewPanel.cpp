#include "TestSupport.h"
#include "alerting/AlertWindow.h"
#include "alerting/DueScan.h"
#include "shell/AboutWindow.h"
#include "shell/MakerInfo.h"
#include "shell/UrlOpener.h"
#include "ui/LimitedTextEdit.h"
#include "ui/WindowStyle.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using TestSupport::child;

// The program with its review panel opened on a file of these bytes, the
// clock stopped at 14:30:00 plus `second`.
struct Review : TestSupport::Program
{
    explicit Review(const QByteArray& file, int second = 0, bool tray = true)
        : Program(QDateTime(QDate(2026, 12, 6), QTime(14, 30, second)), tray)
    {
        TestSupport::writeFile(DataFolder::reminderFile(), file);
        window->findChild<QAction*>(QStringLiteral("mnuRev"))->trigger();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(window); // for the focus
    }
    void click(const char* button) const { QTest::mouseClick(child(window, button), Qt::LeftButton); }
    // The items, the selected one marked with *, then date|time|description.
    QString shown() const
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) {
            texts << (list->item(i)->isSelected() ? "*" : "") + list->item(i)->text();
        }
        return (texts << date->text() + '|' + time->text() + '|' + notes->text()).join(',');
    }

    QListWidget* const list = child<QListWidget>(window, "lstlembr");
    QLineEdit *const date = child<QLineEdit>(window, "txtmandia"),
                     *const time = child<QLineEdit>(window, "txtmanhora");
    LimitedTextEdit* const notes = child<LimitedTextEdit>(window, "txtmanobs");
};

class TestReviewPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listAndDetail()
    {
        // By moment, then the lines that are not one, in file order.
        Review review(
            "zzz\r\n01/01/203400:00\r\n07/12/202908:00um\r\n\r\n06/12/202910:00\r\n07/12/202908:00dois\r\n"
            " 5/03/2030 9:30\r\n05/12/202914:30Reuni\xe3o\r\n31/02/203010:00x\r\n");
        review.click("cmdmanalt");
        review.click("cmdmanexc");
        QCOMPARE(MessageBox::takeShown(), QStringList(2, "Por Favor, Selecione uma data!"));
        review.list->setCurrentRow(0);
        QTest::mouseClick(review.list->viewport(), Qt::LeftButton, {},
                          review.list->viewport()->rect().bottomRight()); // beside the items: kept
        QCOMPARE(review.shown(),
                 "*05/12/2029 14:30,06/12/2029 10:00,07/12/2029 08:00,07/12/2029 08:00, 5/03/2030  9:30,"
                 "01/01/2034 00:00,zzz , ,31/02/2030 10:00,05/12/2029|14:30|Reunião");
        // Opening again shows the file as it is now.
        QVERIFY(QFile::remove(DataFolder::reminderFile()));
        review.window->findChild<QAction*>(QStringLiteral("mnuRev"))->trigger();
        QCOMPARE(review.shown(), "||");
    }

    // "&Alterar" (a, or g with the file gone meanwhile) and "&Excluir" answered No (n) or Yes (y) on
    // the first item, its date and time fields set; on a full disk nothing may change.
    void alterAndDelete()
    {
        const QByteArray before = "10/12/202609:00a\r\n01/01/202710:00b\r\n";
        // clang-format off
        const struct { char op; QString date, time; int second; bool full; QString message, focus; QByteArray after; } rows[] = {
            {'a', "01/01/2027", "10:00", 0, false, "Já existe mensagem cadastrada para esta data e hora!", "txtmandia", ""},
            {'a', "32/12/2026", "", 0, false, "Data no formato inválido! (dd/mm/aaaa)", "cmdmanalt", ""}, // the date first
            {'a', "10/12/2026", "9:00", 0, false, "Hora no formato inválido. (hh:mm)", "cmdmanalt", ""},
            {'a', "10/12/2026", "09:00 ", 0, false, "Hora no formato inválido. (hh:mm)", "cmdmanalt", ""},
            {'a', "05/12/2026", "23:00", 0, false, "Você está tentando alterar para uma data já vencida.", "cmdmanalt", ""},
            {'a', "06/12/2026", "14:30", 1, false, "Você está tentando alterar para uma hora já vencida.", "cmdmanalt", ""},
            {'a', "06/12/2026", "14:30", 0, false, "", "lstlembr", "01/01/202710:00b\r\n06/12/202614:30a\r\n"}, // at second 00
            {'a', "06/12/2026", "23:07", 0, false, "", "lstlembr", "01/01/202710:00b\r\n06/12/202623:07a\r\n"}, // off the steps of five
            {'g', "06/12/2026", "23:07", 0, false, "", "lstlembr", "06/12/202623:07a\r\n"}, // the old item stays listed
            {'n', "31/12/2029", "00:00", 0, false, "Confirma Exclusão do Lembrete?", "cmdmancan", ""},
            {'y', "31/12/2029", "00:00", 0, false, "Confirma Exclusão do Lembrete?", "lstlembr", "01/01/202710:00b\r\n"},
#ifdef Q_OS_UNIX // the messages up to the file's path
            {'a', "31/12/2029", "00:00", 0, true, "Não foi possível gravar o arquivo de lembretes", "cmdmanalt", ""},
            {'y', "31/12/2029", "00:00", 0, true, "Confirma Exclusão do Lembrete? Não foi possível gravar o arquivo de lembretes", "cmdmanexc", ""},
#endif
        };
        // clang-format on
        for (const auto& row : rows) {
            Review review(before, row.second);
            review.list->setCurrentRow(0);
            review.date->setText(row.date);
            review.time->setText(row.time);
            MessageBox::setNextAnswer(row.op == 'y' ? QMessageBox::Yes : QMessageBox::No);
#ifdef Q_OS_UNIX
            const TestSupport::FileSizeLimit full(row.full ? 10 : RLIM_INFINITY);
#endif
            QVERIFY(row.op != 'g' || QFile::remove(DataFolder::reminderFile()));
            review.click(row.op == 'a' || row.op == 'g' ? "cmdmanalt" : "cmdmanexc");
            QCOMPARE(MessageBox::takeShown().join(' ').section(" /", 0, 0), row.message);
            QCOMPARE(QApplication::focusWidget()->objectName(), row.focus);
            QCOMPARE(review.reminders(), row.after.isEmpty() ? before : row.after);
            QCOMPARE(review.shown(),
                     row.after.isEmpty()
                         ? "*10/12/2026 09:00,01/01/2027 10:00," + row.date + '|' + row.time + "|a"
                         : (row.op != 'y' ? row.date + ' ' + row.time + ',' : "")
                             + (row.op == 'g' ? "10/12/2026 09:00," : "") + "01/01/2027 10:00,||");
            QVERIFY(review.window->timer()->isActive());
        }
    }

    // The description boxes of the include panel, the review panel and the
    // alert share the length limit and the Enter filter. Each row starts with
    // the caret at the end and 50 p on the clipboard; | is the caret after.
    // Then the panels' badges and the About window's links open the maker's
    // site and mail.
    void descriptionBoxesAndLinks()
    {
        const QString x(190, 'x'), z(250, 'z');
        // clang-format off
        const struct { QString start, keys, after; } rows[] = {
            {x, "Ctrl+V, B", x + QString(10, 'p') + "|"}, // a paste takes what fits, then nothing goes in
            {x, "Ctrl+Shift+Home, Ctrl+V", QString(50, 'p') + "|"}, // the selection is room
            {z, "M, Ctrl+Alt+E, Ctrl+V", z + "|"}, // text from the file is never cut
            {"one\ntw\to\u00a0", "Left, Return", "onetw\to\u00a0|"}, // Enter takes every break, and only them
            {"abc", "Left, Num+Enter", "abc|"},
            {"abc", "Left, Shift+Return", "abc|"},
            {"a\nbc", "Left, Backspace", "a\n|c"}, // other keys leave breaks and caret
        };
        // clang-format on
        TestSupport::Program program;
        AlertWindow alert(*program.window, program.window->scan(), program.sound);
        QApplication::clipboard()->setText(QString(50, 'p'));
        for (auto* edit : {child<LimitedTextEdit>(program.window, "txtincdesc"),
                           child<LimitedTextEdit>(program.window, "txtmanobs"),
                           child<LimitedTextEdit>(&alert, "txtmsg")}) {
            for (const auto& row : rows) {
                edit->setText(row.start);
                edit->moveCursor(QTextCursor::End);
                QTest::keySequence(edit, QKeySequence(row.keys));
                const QString after = edit->text().insert(edit->textCursor().position(), '|');
                QCOMPARE(edit->objectName() + ' ' + after, edit->objectName() + ' ' + row.after);
            }
        }
        QList<QUrl> opened;
        UrlOpener::setHandlerForTesting([&opened](const QUrl& url) { opened << url; });
        AboutWindow about;
        for (QWidget* link : {child(program.window, "Picture2"), child(program.window, "Picture3"),
                              child(&about, "endereco"), child(&about, "email")}) {
            QTest::mouseClick(link, Qt::LeftButton);
        }
        UrlOpener::setHandlerForTesting({});
        const QUrl site(QStringLiteral(QUEDRINO_MAKER_URL));
        QCOMPARE(opened, (QList<QUrl>{site, site, site, QUrl("mailto:" QUEDRINO_MAKER_EMAIL)}));
    }

    // The boxes as they really show: title, icon (3 critical, 4 question), the
    // default button, then every button; the answer is the button pressed.
    void realMessageBoxes()
    {
        QString seen;
        const auto press = [&seen](QMessageBox::StandardButton pressed) {
            QTimer::singleShot(0, [&seen, pressed] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                seen += box->windowTitle() + ' ' + QString::number(box->icon()) + ' '
                    + box->defaultButton()->text();
                for (QAbstractButton* button : box->buttons()) {
                    seen += ' ' + button->text();
                }
                box->button(pressed)->click();
            });
        };
        press(QMessageBox::Ok);
        MessageBox::critical(nullptr, "Por favor, Informar a Hora!");
        press(QMessageBox::No);
        QVERIFY(!MessageBox::question(nullptr, "Exclusão", "Confirma Exclusão do Lembrete?"));
        press(QMessageBox::Yes);
        QVERIFY(MessageBox::question(nullptr, "Exclusão", "Confirma Exclusão do Lembrete?"));
        QCOMPARE(seen, "Quedrino 3 OK OKExclusão 4 &Sim &Sim &NãoExclusão 4 &Sim &Sim &Não");

        // The list reloaded from the tray while the question waits: "&Sim"
        // then deletes nothing, the item asked about being gone.
        const QByteArray file = "06/12/202614:35A\r\n07/12/202614:35B\r\n";
        Review review(file);
        review.list->setCurrentRow(0);
        MessageBox::setScripted(false);
        QTimer::singleShot(0, [&review] {
            review.window->findChild<QAction*>(QStringLiteral("mnuRev"))->trigger();
            review.window->findChild<QMessageBox*>()->button(QMessageBox::Yes)->click();
        });
        review.click("cmdmanexc");
        QCOMPARE(review.reminders(), file);

        // An alert over a refusal of either panel closes the message with its OK; once the alert is dealt
        // with the focus is where the message put it, and the refused change wrote nothing. Without a
        // tray the main window stays, minimized, under an alert over the review panel.
        // clang-format off
        const struct { const char *button, *date, *time, *message, *focus; } alerted[] = {
            {"cmdinc", "07/12/2026", "", "Por favor, Informar a Hora!", "cboHora"},
            {"cmdinc", "07/12/2026", "14", "Já existe mensagem cadastrada para esta data e hora!", "txtdata"},
            {"cmdmanalt", "05/12/2026", "14:35", "Você está tentando alterar para uma data já vencida.", "cmdmanalt"},
            {"cmdmanalt", "06/12/2026", "14:35", "Já existe mensagem cadastrada para esta data e hora!", "txtmandia"},
        };
        // clang-format on
        for (const auto& row : alerted) {
            Review shown(file, 0, false);
            shown.window->scan().switchOff();
            shown.list->setCurrentRow(1);
            shown.date->setText(row.date);
            shown.time->setText(row.time);
            if (row.button == QByteArrayView("cmdinc")) {
                shown.window->showIncludePanel();
                child<QLineEdit>(shown.window, "txtdata")->setText(row.date);
                child<QComboBox>(shown.window, "cboHora")->setCurrentText(row.time);
                child<QComboBox>(shown.window, "cboMinuto")->setCurrentText("35");
                child<LimitedTextEdit>(shown.window, "txtincdesc")->setText("x");
            }
            QVERIFY(TestSupport::writeFile(DataFolder::reminderFile(), file + "06/12/202614:00due\r\n"));
            MessageBox::setScripted(false);
            bool leftOpen = true;
            QTimer::singleShot(0, [&] {
                shown.window->scan().tick();
                auto* box = shown.window->findChild<QMessageBox*>();
                if ((leftOpen = box->isVisible()))
                    box->done(QMessageBox::Ok); // else the click would never return
            });
            shown.click(row.button);
            QVERIFY(!leftOpen && shown.window->scan().alert()->isVisible());
            QCOMPARE(MessageBox::takeShown(), QStringList(row.message));
            child<QPushButton>(shown.window->scan().alert(), "cmdApagar")->click();
            QCOMPARE(shown.window->focusWidget()->objectName() + shown.reminders(), row.focus + file);
        }
    }

    // The windows' navy text would not read on a dark desktop's grey.
    void lightPaletteOnDarkDesktop()
    {
        QApplication::setPalette(QPalette(QColor(50, 50, 50)));
        WindowStyle::useLightPaletteOnDarkDesktop();
        QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(239, 239, 239));
        QCOMPARE(QApplication::palette().color(QPalette::WindowText), QColor(Qt::black));
    }
};

QTEST_MAIN(TestReviewPanel)
#include "TestReviewPanel.moc"
