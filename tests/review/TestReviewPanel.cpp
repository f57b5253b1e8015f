#include "TestSupport.h"
#include "alerting/AlertWindow.h"
#include "alerting/DueScan.h"
#include "ui/LimitedTextEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

namespace {
using TestSupport::child;

// The program with its review panel opened on a file of these bytes, the
// clock stopped at 14:30:00 plus `second`.
struct Review : TestSupport::Program
{
    explicit Review(const QByteArray& file, int second = 0)
        : Program(QDateTime(QDate(2026, 12, 6), QTime(14, 30, second)))
    {
        TestSupport::writeFile(DataFolder::reminderFile(), file);
        open();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(window); // for the focus
    }
    void open() const { window->findChild<QAction*>(QStringLiteral("mnuRev"))->trigger(); }
    void click(const char* button) const { QTest::mouseClick(child(window, button), Qt::LeftButton); }
    // The items, the selected one marked with *.
    QStringList items() const
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) {
            texts << (list->item(i)->isSelected() ? "*" : "") + list->item(i)->text();
        }
        return texts;
    }
    QStringList fields() const { return {date->text(), time->text(), notes->text()}; }

    QListWidget* const list = child<QListWidget>(window, "lstlembr");
    QLineEdit *const date = child<QLineEdit>(window, "txtmandia"),
                     *const time = child<QLineEdit>(window, "txtmanhora");
    LimitedTextEdit* const notes = child<LimitedTextEdit>(window, "txtmanobs");
};
} // namespace

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
        QCOMPARE(review.items(),
                 (QStringList{"05/12/2029 14:30", "06/12/2029 10:00", "07/12/2029 08:00", "07/12/2029 08:00",
                              " 5/03/2030  9:30", "01/01/2034 00:00", "zzz ", " ", "31/02/2030 10:00"}));
        review.list->setCurrentRow(0);
        QTest::mouseClick(review.list->viewport(), Qt::LeftButton, {},
                          review.list->viewport()->rect().bottomRight());
        QCOMPARE(review.items()[0], "*05/12/2029 14:30"); // a click beside the items keeps it
        QCOMPARE(review.fields(), (QStringList{"05/12/2029", "14:30", "Reunião"}));
        review.list->setCurrentRow(1);
        QCOMPARE(review.fields(), (QStringList{"06/12/2029", "10:00", ""}));
        review.list->setCurrentRow(3); // of two lines of one moment, the first
        QCOMPARE(review.fields()[2], "um");
        // A line gone from the file leaves the fields as they were.
        QVERIFY(QFile::remove(DataFolder::reminderFile()));
        review.list->setCurrentRow(0);
        QCOMPARE(review.fields()[2], "um");
        // Opening again: the list as the file is now, empty without one.
        review.window->scan().switchOff();
        review.open();
        QCOMPARE(review.items(), QStringList());
        QCOMPARE(review.fields(), QStringList(3));
        QVERIFY(review.window->timer()->isActive());
        QCOMPARE(MessageBox::takeShown(), QStringList());
    }

    void alter()
    {
        const QString past = "Você está tentando alterar para uma %1 já vencida.";
        const QString badDate = "Data no formato inválido! (dd/mm/aaaa)",
                      badTime = "Hora no formato inválido. (hh:mm)";
        // clang-format off
        const struct { QString date, time; int second; QString message, focus; } rows[] = {
            {"01/01/2027", "10:00", 0, "Já existe mensagem cadastrada para esta data e hora!", "txtmandia"},
            {"32/12/2026", "", 0, badDate, "cmdmanalt"}, // the date is looked at first
            {"10/12/2026", "9:00", 0, badTime, "cmdmanalt"},
            {"10/12/2026", "09:00 ", 0, badTime, "cmdmanalt"},
            {"05/12/2026", "23:00", 0, past.arg("data"), "cmdmanalt"},
            {"06/12/2026", "14:29", 0, past.arg("hora"), "cmdmanalt"},
            {"06/12/2026", "14:30", 0, "", "lstlembr"}, // this minute, at second 00
            {"06/12/2026", "14:30", 1, past.arg("hora"), "cmdmanalt"},
            {"06/12/2026", "23:07", 0, "", "lstlembr"}, // off the steps of five
        };
        // clang-format on
        const QByteArray before("10/12/202609:00old\r\n01/01/202710:00other\r\n");
        for (const auto& row : rows) {
            Review review(before, row.second);
            review.list->setCurrentRow(0);
            review.date->setText(row.date);
            review.time->setText(row.time);
            review.click("cmdmanalt");
            const bool stored = row.message.isEmpty();
            QCOMPARE(MessageBox::takeShown().join(""), row.message);
            QCOMPARE(QApplication::focusWidget()->objectName(), row.focus);
            QCOMPARE(review.reminders(),
                     stored ? "01/01/202710:00other\r\n" + (row.date + row.time).toLatin1() + "old\r\n"
                            : before);
            QCOMPARE(review.items()[0], stored ? row.date + ' ' + row.time : "*10/12/2026 09:00");
            QCOMPARE(review.fields(), (stored ? QStringList(3) : QStringList{row.date, row.time, "old"}));
            QVERIFY(review.window->timer()->isActive());
        }
    }

    void deleteAndFailedWrites()
    {
        const QByteArray file = "01/01/203000:00a\r\n02/01/203000:00b\r\n";
        Review review(file);
        review.click("cmdmanalt");
        review.click("cmdmanexc");
        QCOMPARE(MessageBox::takeShown(), QStringList(2, "Por Favor, Selecione uma data!"));
        review.list->setCurrentRow(0);
        review.date->setText("31/12/2029");
#ifdef Q_OS_UNIX
        { // On a full disk nothing changes, on screen either.
            const TestSupport::FileSizeLimit full(10);
            review.click("cmdmanalt");
            MessageBox::setNextAnswer(QMessageBox::Yes);
            review.click("cmdmanexc");
        }
        QCOMPARE(MessageBox::takeShown().filter("Não foi possível gravar").size(), 2);
        QCOMPARE(review.reminders(), file);
        QCOMPARE(review.items(), (QStringList{"*01/01/2030 00:00", "02/01/2030 00:00"}));
        QCOMPARE(review.fields()[0], "31/12/2029");
        QVERIFY(review.window->timer()->isActive());
#endif
        // Deleting asks first ("&Não" when no answer is scripted), and leaves the scan alone.
        review.window->scan().switchOff();
        review.list->setCurrentRow(1);
        review.click("cmdmanexc");
        QCOMPARE(MessageBox::takeShown(), QStringList{"Confirma Exclusão do Lembrete?"});
        QCOMPARE(QApplication::focusWidget()->objectName(), "cmdmancan");
        MessageBox::setNextAnswer(QMessageBox::Yes);
        review.click("cmdmanexc");
        QCOMPARE(review.reminders(), "01/01/203000:00a\r\n");
        QCOMPARE(review.items(), QStringList{"01/01/2030 00:00"});
        QCOMPARE(QApplication::focusWidget(), review.list);
        QCOMPARE(review.fields(), QStringList(3));
        QVERIFY(!review.window->timer()->isActive());
    }

    // The description boxes of the include panel, the review panel and the
    // alert share the length limit and the Enter filter. Each row starts with
    // the caret at the end and 50 p on the clipboard; | is the caret after.
    void descriptionBoxes()
    {
        const QString x(190, 'x'), z(250, 'z');
        // clang-format off
        const struct { QString start, keys, after; } rows[] = {
            {x, "Ctrl+V, B", x + QString(10, 'p') + "|"}, // a paste takes what fits, then nothing goes in
            {x, "Ctrl+V, Ctrl+Z", x + "|"}, // and one undo takes it back
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
    }
};

QTEST_MAIN(TestReviewPanel)
#include "TestReviewPanel.moc"
