// The program on a broken disk and on odd files: what the user is told, and
// that every reminder that was in the file is still there afterwards. What
// the reminder file itself does with such bytes is TestReminderFile's.

#include "TestSupport.h"
#include "alerting/AlertWindow.h"
#include "alerting/DueScan.h"

#include <QComboBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <memory>
#include <numeric>

#ifdef Q_OS_WIN
#include <windows.h>
#undef MessageBox // the program's, not the system's
#else
#include <sys/stat.h>
#endif

using namespace TestSupport;
enum Fault { FolderIsFile, Pipe, Unopenable };

#ifdef Q_OS_WIN
// A new file another program keeps open and shares with nobody, as a backup
// or a virus scanner may: every open fails while it is held.
using Held = std::unique_ptr<void, decltype(&CloseHandle)>;
Held holdOpen(const QString& path)
{
    const HANDLE file
        = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                      GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return {file == INVALID_HANDLE_VALUE ? nullptr : file, &CloseHandle};
}
#endif

class TestFaults : public QObject
{
    Q_OBJECT
    static void click(QWidget* parent, const char* button)
    {
        child<QPushButton>(parent, button)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // a closed alert is gone
    }
    static void postpone(QWidget* alert)
    {
        child<QComboBox>(alert, "cboadia")->setEditText("01 hora");
        click(alert, "cdmAdiar");
    }

private Q_SLOTS:
    // Under an open alert the file turns unreadable: postponing and deleting
    // say so and the alert stays. A data folder that is a file only hides the
    // file, like no file yet: the scan rests.
    void brokenDisk()
    {
        // Each fault with the "cannot read" messages it gives.
        const std::pair<Fault, int> rows[] = {
            {FolderIsFile, 0},
#ifdef Q_OS_UNIX // Windows has no named pipes among its files
            {Pipe, 2},
#endif
            {Unopenable, 2},
        };
        for (const auto& [fault, reads] : rows) {
            Program p(QDateTime(QDate(2026, 12, 31), QTime(18, 3, 47)));
            QVERIFY(p.putReminders({"31/12/202618:03Vencido", "01/01/203009:00Futuro"}));
            const QString path = fault == FolderIsFile ? DataFolder::path() : DataFolder::reminderFile();
            QPointer<AlertWindow> alert
                = fault == FolderIsFile ? nullptr : (p.window->scan().tick(), p.window->scan().alert());
#ifdef Q_OS_UNIX
            const auto breakIt = [&] {
                return fault == FolderIsFile ? writeFile(path, "x")
                    : fault == Pipe          ? ::mkfifo(qPrintable(path), 0600) == 0
                                             : QFile::link(path, path); // a link to itself
            };
#else
            Held holder(nullptr, &CloseHandle);
            const auto breakIt = [&] {
                return fault == FolderIsFile ? writeFile(path, "x") : (holder = holdOpen(path)) != nullptr;
            };
#endif
            QVERIFY(QDir().rename(path, path + ".x") && breakIt());
            if (alert) {
                postpone(alert);
                click(alert, "cmdApagar");
            } else {
                p.window->scan().tick();
            }
            QVERIFY(p.window->scan().alert() == alert && (!alert || alert->isVisible())
                    && !p.window->timer()->isActive());
            const QString where = QRegularExpression::escape(QDir::toNativeSeparators(DataFolder::path()));
            QCOMPARE(MessageBox::takeShown().replaceInStrings(QRegularExpression(" " + where + ".*"), ""),
                     QStringList(reads, "Não foi possível ler o arquivo de lembretes"));
        }
    }

    // Another program rewrites the file while the alert shows what it held:
    // postponing applies to the file as it is now, and keeps every byte of
    // the reminder's text and of the other lines.
    void oddBytesByAnotherProgram()
    {
        Program p(QDateTime(QDate(2026, 12, 31), QTime(18, 3, 47)));
        QByteArray bytes(256, '\0');
        std::iota(bytes.begin(), bytes.end(), '\0');
        bytes.remove(13, 1).remove(10, 1); // CR and LF would end the line
        const QByteArray others
            = QByteArray("_\r\n31/12/2026_18:03x\r\n3_/12/202618:03x\r\n01/01/203008:00a_b\r\n")
                  .replace('_', '\0');
        writeFile(DataFolder::reminderFile(), others + "31/12/202618:03" + bytes);
        QPointer<AlertWindow> alert = (p.window->scan().tick(), p.window->scan().alert());
        writeFile(DataFolder::reminderFile(), "05/01/203008:00X\n" + others + "31/12/202618:03" + bytes);
        postpone(alert);
        QVERIFY(p.reminders() == "05/01/203008:00X\r\n" + others + "31/12/202619:03" + bytes + "\r\n");
        QVERIFY(!alert && MessageBox::takeShown().isEmpty());
    }
};

QTEST_MAIN(TestFaults)
#include "TestFaults.moc"
