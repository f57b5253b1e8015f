// The program on a broken disk and on odd files: what the user is told, and
// that every reminder that was in the file is still there afterwards.

#include "TestSupport.h"
#include "alerting/AlertWindow.h"
#include "alerting/DueScan.h"
#include "reminders/Clock.h"
#include "reminders/DataFolder.h"
#include "shell/MainWindow.h"
#include "ui/LimitedTextEdit.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
using TestSupport::child;

const QDateTime Evening(QDate(2026, 12, 31), QTime(18, 3, 47));
const QByteArray DueLine = "31/12/202618:03Vencido";
const QByteArray Content = DueLine + "\r\n01/01/203009:00Futuro\r\n";
const QByteArray NewLine = "01/02/202710:00Novo";
const QString CantRead = QStringLiteral("Não foi possível ler o arquivo de lembretes");
const QString Confirm = QStringLiteral("Confirma Exclusão do Lembrete?");
const QString CantWrite = QStringLiteral("Não foi possível gravar o arquivo de lembretes");

enum class Fault { FolderIsFile, FileIsFolder, Pipe, Unreadable, FolderLocked, DiskFull };

// The lines as anyone reads them: CR LF, CR and LF each end one.
QList<QByteArray> linesOf(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    QByteArray line;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') {
            line += bytes[i];
            continue;
        }
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++i;
        }
        lines << line;
        line.clear();
    }
    if (!line.isEmpty()) {
        lines << line;
    }
    return lines;
}

QByteArray withCrLf(const QList<QByteArray>& lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

// Sets one fault up on the data folder and takes it away again.
class FaultOn
{
public:
    FaultOn(Fault fault)
        : m_fault(fault)
    {
        const QString folder = DataFolder::path();
        const QString file = DataFolder::reminderFile();
        switch (fault) {
        case Fault::FolderIsFile:
            QDir(folder).removeRecursively();
            TestSupport::writeFile(folder, "não é uma pasta");
            break;
        case Fault::FileIsFolder:
            QDir().mkpath(file);
            break;
        case Fault::Pipe:
            QDir().mkpath(folder);
#ifdef Q_OS_UNIX
            ::mkfifo(qPrintable(file), 0600);
#endif
            break;
        case Fault::Unreadable:
        case Fault::FolderLocked:
            TestSupport::writeFile(file, Content);
            QFile::setPermissions(fault == Fault::Unreadable ? file : folder, {});
#ifdef Q_OS_UNIX
            // Root reads anything, so it reads as an ordinary user does.
            if (::geteuid() == 0) {
                const uid_t nobody = 65534;
                m_asUser = true;
                for (const QString& path : {QFileInfo(folder).absolutePath(), folder, file}) {
                    m_asUser = m_asUser && ::chown(qPrintable(path), nobody, nobody) == 0;
                }
                // The real user too: some checks (access) go by it. Root stays
                // the saved user, to come back to.
                m_asUser = m_asUser && ::setresuid(nobody, nobody, 0) == 0;
            }
#endif
            break;
        case Fault::DiskFull:
            fillDisk(folder, file);
            break;
        }
    }

    ~FaultOn()
    {
#ifdef Q_OS_UNIX
        if (m_asUser) {
            [[maybe_unused]] const int back = ::setresuid(0, 0, 0);
        }
        if (m_mounted) {
            ::umount2(qPrintable(DataFolder::path()), MNT_DETACH);
        }
        m_limit.reset();
#endif
        if (m_fault == Fault::Unreadable) {
            QFile::setPermissions(DataFolder::reminderFile(), QFile::ReadOwner | QFile::WriteOwner);
        }
        if (m_fault == Fault::FolderLocked) {
            QFile::setPermissions(DataFolder::path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }

    FaultOn(const FaultOn&) = delete;
    FaultOn& operator=(const FaultOn&) = delete;

    // What the disk held when the fault came, read while it is still there.
    QByteArray heldBytes() const
    {
        return m_fault == Fault::Pipe ? QByteArray() : TestSupport::readFile(DataFolder::reminderFile());
    }

private:
    // A small disk of its own, filled up, when the test may mount one;
    // otherwise no file may grow, which fails writes the same way.
    void fillDisk(const QString& folder, const QString& file)
    {
        QDir().mkpath(folder);
#ifdef Q_OS_UNIX
        m_mounted = ::geteuid() == 0
            && ::mount("tmpfs", qPrintable(folder), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0700") == 0;
        TestSupport::writeFile(file, Content);
        if (m_mounted) {
            QFile filler(QDir(folder).filePath(QStringLiteral("enchimento")));
            filler.open(QIODevice::WriteOnly);
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size() && filler.flush()) { }
        } else {
            m_limit = std::make_unique<TestSupport::FileSizeLimit>(16);
        }
#else
        Q_UNUSED(file);
#endif
    }

    Fault m_fault;
    bool m_asUser = false;
    bool m_mounted = false;
#ifdef Q_OS_UNIX
    std::unique_ptr<TestSupport::FileSizeLimit> m_limit;
#endif
};

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void brokenDisk_data();
    void brokenDisk();
    void fileTurnsUnreadableUnderTheAlert_data();
    void fileTurnsUnreadableUnderTheAlert();
    void fileChangedByAnotherProgram();
    void oddContents_data();
    void oddContents();
    void descriptionsKeepEveryByte();

private:
    QByteArray bytes() const { return TestSupport::readFile(DataFolder::reminderFile()); }
    AlertWindow* tick();
    void press(AlertWindow* alert, const char* button);
    void postpone(AlertWindow* alert);
    void include();
    void selectItem(const QString& text);
    void expectShown(const QString& start);

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeAlarmSound m_sound;
    std::unique_ptr<MainWindow> m_window;
};

void TestFaults::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    DataFolder::setPathForTesting(m_dir->filePath(QStringLiteral("quedrino")));
    Clock::setNowForTesting(Evening);
    MessageBox::setScripted(true);
    m_window = std::make_unique<MainWindow>(true, m_sound);
    m_window->scan().switchOff();
}

void TestFaults::cleanup()
{
    m_window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    MessageBox::takeShown();
    MessageBox::setScripted(false);
    Clock::setNowForTesting({});
    DataFolder::setPathForTesting({});
}

AlertWindow* TestFaults::tick()
{
    m_window->scan().tick();
    return m_window->scan().alert();
}

void TestFaults::press(AlertWindow* alert, const char* button)
{
    QTest::mouseClick(child<QPushButton>(alert, button), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestFaults::postpone(AlertWindow* alert)
{
    child<QComboBox>(alert, "cboadia")->setEditText(QStringLiteral("01 hora"));
    press(alert, "cdmAdiar");
}

// Schedules NewLine through the include panel.
void TestFaults::include()
{
    m_window->showIncludePanel();
    child<QLineEdit>(m_window.get(), "txtdata")->setText(QStringLiteral("01/02/2027"));
    for (const auto& [name, value] : {std::pair{"cboHora", "10"}, std::pair{"cboMinuto", "00"}}) {
        auto* box = child<QComboBox>(m_window.get(), name);
        box->setCurrentIndex(box->findText(QString::fromLatin1(value)));
    }
    child<LimitedTextEdit>(m_window.get(), "txtincdesc")->setText(QStringLiteral("Novo"));
    QTest::mouseClick(child(m_window.get(), "cmdinc"), Qt::LeftButton);
}

void TestFaults::selectItem(const QString& text)
{
    auto* list = child<QListWidget>(m_window.get(), "lstlembr");
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    QVERIFY(found.first()->isSelected());
}

// One critical message starting with `start` was shown, or none at all when
// `start` is empty.
void TestFaults::expectShown(const QString& start)
{
    const QStringList shown = MessageBox::takeShown();
    if (start.isEmpty()) {
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join(QLatin1Char('|'))));
        return;
    }
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().startsWith(start), qPrintable(shown.first()));
}

void TestFaults::brokenDisk_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("onReview");
    QTest::addColumn<QString>("onInclude");
    QTest::addColumn<bool>("alerts");
    QTest::addColumn<bool>("scanGoesOn");

    QTest::newRow("the data folder is a regular file")
        << Fault::FolderIsFile << "" << CantWrite << false << false;
    QTest::newRow("the reminder file is a folder")
        << Fault::FileIsFolder << CantRead << CantRead << false << true;
#ifdef Q_OS_UNIX
    QTest::newRow("the reminder file is a pipe") << Fault::Pipe << CantRead << CantRead << false << true;
#endif
    QTest::newRow("the reminder file cannot be read")
        << Fault::Unreadable << CantRead << CantRead << false << true;
    QTest::newRow("the data folder cannot be entered")
        << Fault::FolderLocked << CantRead << CantRead << false << true;
    QTest::newRow("the disk is full") << Fault::DiskFull << "" << CantWrite << true << false;
}

void TestFaults::brokenDisk()
{
    QFETCH(Fault, fault);
    QFETCH(QString, onReview);
    QFETCH(QString, onInclude);
    QFETCH(bool, alerts);
    QFETCH(bool, scanGoesOn);

    QByteArray held;
    {
        const FaultOn broken(fault);
        m_window->showReviewPanel();
        expectShown(onReview);
        include();
        expectShown(onInclude);
        QCOMPARE(child<LimitedTextEdit>(m_window.get(), "txtincdesc")->text(), QStringLiteral("Novo"));

        AlertWindow* alert = tick();
        QCOMPARE(alert != nullptr, alerts);
        if (alert) {
            postpone(alert);
            expectShown(CantWrite);
            press(alert, "cmdApagar");
            expectShown(CantWrite);
            QCOMPARE(m_window->scan().alert(), alert);
        } else {
            QCOMPARE(m_window->timer()->isActive(), scanGoesOn);
        }
        held = broken.heldBytes(); // a full disk is read while it is full
    }
    switch (fault) {
    case Fault::FolderIsFile:
        QCOMPARE(TestSupport::readFile(DataFolder::path()), QByteArray("não é uma pasta"));
        break;
    case Fault::FileIsFolder:
        QVERIFY(QFileInfo(DataFolder::reminderFile()).isDir());
        break;
    case Fault::Pipe:
        QCOMPARE(QFileInfo(DataFolder::reminderFile()).size(), 0);
        QVERIFY(!QFileInfo(DataFolder::reminderFile()).isFile());
        break;
    case Fault::Unreadable:
    case Fault::FolderLocked:
        QCOMPARE(bytes(), Content);
        break;
    case Fault::DiskFull:
        QCOMPARE(held, Content);
        break;
    }
}

void TestFaults::fileTurnsUnreadableUnderTheAlert_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::newRow("the file") << Fault::Unreadable;
    QTest::newRow("its folder") << Fault::FolderLocked;
}

void TestFaults::fileTurnsUnreadableUnderTheAlert()
{
    QFETCH(Fault, fault);
    TestSupport::writeFile(DataFolder::reminderFile(), Content);
    AlertWindow* alert = tick();
    QVERIFY(alert);
    {
        const FaultOn broken(fault);
        postpone(alert);
        expectShown(CantRead);
        press(alert, "cmdApagar");
        expectShown(CantRead);
        QCOMPARE(m_window->scan().alert(), alert);
    }
    QCOMPARE(bytes(), Content);
    press(alert, "cmdApagar");
    expectShown({});
    QCOMPARE(bytes(), QByteArray("01/01/203009:00Futuro\r\n"));
}

// Another program rewrites or removes the file while a window shows what
// it held: each change applies to the file as it is now, and keeps the
// other program's lines.
void TestFaults::fileChangedByAnotherProgram()
{
    TestSupport::writeFile(DataFolder::reminderFile(),
                           "01/01/203008:00A\r\n02/01/203008:00B\r\n03/01/203008:00C\r\n");
    m_window->showReviewPanel();
    TestSupport::writeFile(DataFolder::reminderFile(), "05/01/203008:00X\n02/01/203008:00Outro B\n");

    selectItem(QStringLiteral("01/01/2030 08:00"));
    child<QLineEdit>(m_window.get(), "txtmandia")->setText(QStringLiteral("04/01/2030"));
    child<QLineEdit>(m_window.get(), "txtmanhora")->setText(QStringLiteral("08:00"));
    child<LimitedTextEdit>(m_window.get(), "txtmanobs")->setText(QStringLiteral("A nova"));
    QTest::mouseClick(child(m_window.get(), "cmdmanalt"), Qt::LeftButton);
    expectShown({});
    selectItem(QStringLiteral("03/01/2030 08:00"));
    MessageBox::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(child(m_window.get(), "cmdmanexc"), Qt::LeftButton);
    expectShown(Confirm);
    QCOMPARE(bytes(), QByteArray("05/01/203008:00X\r\n02/01/203008:00Outro B\r\n04/01/203008:00A nova\r\n"));

    // Gone altogether: the altered reminder is all the file holds.
    QVERIFY(QFile::remove(DataFolder::reminderFile()));
    selectItem(QStringLiteral("02/01/2030 08:00"));
    child<QLineEdit>(m_window.get(), "txtmandia")->setText(QStringLiteral("06/01/2030"));
    child<QLineEdit>(m_window.get(), "txtmanhora")->setText(QStringLiteral("08:00"));
    child<LimitedTextEdit>(m_window.get(), "txtmanobs")->setText(QStringLiteral("B nova"));
    QTest::mouseClick(child(m_window.get(), "cmdmanalt"), Qt::LeftButton);
    expectShown({});
    QCOMPARE(bytes(), QByteArray("06/01/203008:00B nova\r\n"));

    // Replaced while an alert is up: deleting its reminder keeps the rest.
    TestSupport::writeFile(DataFolder::reminderFile(), Content);
    AlertWindow* alert = tick();
    QVERIFY(alert);
    TestSupport::writeFile(DataFolder::reminderFile(), "07/01/203008:00Y\r");
    press(alert, "cmdApagar");
    expectShown({});
    QCOMPARE(bytes(), QByteArray("07/01/203008:00Y\r\n"));
}

void TestFaults::oddContents_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("alerts"); // for DueLine

    QByteArray many;
    many.reserve(10'300'000);
    for (int i = 0; i < 100'000; ++i) {
        if (i == 50'000) {
            many += DueLine + "\r\n";
        }
        many += QStringLiteral("%1/%2/%3%4:%5Lembrete %6 ")
                    .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                    .arg(i / 28 % 12 + 1, 2, 10, QLatin1Char('0'))
                    .arg(2030 + i % 5)
                    .arg(i % 24, 2, 10, QLatin1Char('0'))
                    .arg(i % 60, 2, 10, QLatin1Char('0'))
                    .arg(i, 6, 10, QLatin1Char('0'))
                    .toLatin1()
            + QByteArray(70, '=') + "\r\n";
    }
    QTest::newRow("100 000 reminders, 10 MB") << many << true;

    QByteArray huge = "01/01/203008:00" + QByteArray(1 << 20, 'x');
    huge[500'000] = '\xe1';
    QTest::newRow("a line of 1 MB") << huge + "\r\n" + DueLine + "\r\n02/01/203008:00fim\r\n" << true;

    static const char nul[]
        = "\0\0\0\r\n31/12/2026\00018:03hora\r\n3\0/12/202618:03data\r\n01/01/203008:00a\0b\r\n";
    QTest::newRow("NUL bytes") << QByteArray(nul, sizeof nul - 1) + DueLine + "\r\n" << true;

    QByteArray everyByte = "01/01/203008:00";
    for (int b = 0; b < 256; ++b) {
        everyByte += char(b);
    }
    QTest::newRow("every byte value") << everyByte + "\r\n" + DueLine << true;

    QTest::newRow("CR only") << "01/01/203008:00a\r" + DueLine + "\r02/01/203008:00b" << true;
    QTest::newRow("LF only") << "01/01/203008:00a\n" + DueLine + "\n02/01/203008:00b\n" << true;
    QTest::newRow("mixed ends and empty lines") << "a\r\nb\nc\r\n\r" + DueLine + "\r\n\r\n\nfim" << true;

    const QByteArray notMoments
        = "\r\n \r\nVencido sem data\r\n31/12/2026\r\n31/12/2026 \r\n31/12/202618:\r\n"
          "32/12/202618:00x\r\n31/13/202618:00x\r\n29/02/202518:00x\r\n31/12/20261803xx\r\n"
          "31-12-202618:03x\r\n3l/12/202618:03x\r\n31/12/202624:00x\r\n31/12/202618:60x\r\n"
          "00/12/202618:03x\r\n31/12/000018:03x\r\n31/12/-02618:03x\r\n31/12/2026+8:03x\r\n"
          "\xe1\xe9/12/202618:03x\r\n31/12/2026\t18:03x\r\n";
    QTest::newRow("texts that are not dates and times") << notMoments << false;
    QTest::newRow("the same, then a due reminder") << notMoments + DueLine + "\r\n" << true;
}

// Whatever the file holds: the scan finds the due reminder, and deleting
// it, adding one and deleting that one keep every other line as it was.
void TestFaults::oddContents()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, alerts);
    TestSupport::writeFile(DataFolder::reminderFile(), content);
    QList<QByteArray> expected = linesOf(content);

    AlertWindow* alert = tick();
    QCOMPARE(alert != nullptr, alerts);
    if (alert) {
        QCOMPARE(child<LimitedTextEdit>(alert, "txtmsg")->text(), QStringLiteral("Vencido"));
        press(alert, "cmdApagar");
        expectShown({});
        QVERIFY(expected.removeOne(DueLine));
        QVERIFY(bytes() == withCrLf(expected));
    }

    include();
    expectShown({});
    QVERIFY(linesOf(bytes()) == expected + QList<QByteArray>{NewLine});

    m_window->showReviewPanel();
    expectShown({});
    selectItem(QStringLiteral("01/02/2027 10:00"));
    MessageBox::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(child(m_window.get(), "cmdmanexc"), Qt::LeftButton);
    expectShown(Confirm);
    QVERIFY(bytes() == withCrLf(expected));
}

// Postponing or altering a reminder without touching its text keeps the
// text byte for byte, whatever bytes it holds.
void TestFaults::descriptionsKeepEveryByte()
{
    QByteArray text;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') {
            text += char(b);
        }
    }
    TestSupport::writeFile(DataFolder::reminderFile(), DueLine.left(15) + text + "\r\n");
    AlertWindow* alert = tick();
    QVERIFY(alert);
    postpone(alert);
    expectShown({});
    QCOMPARE(bytes(), "31/12/202619:03" + text + "\r\n");

    m_window->showReviewPanel();
    selectItem(QStringLiteral("31/12/2026 19:03"));
    child<QLineEdit>(m_window.get(), "txtmanhora")->setText(QStringLiteral("20:00"));
    QTest::mouseClick(child(m_window.get(), "cmdmanalt"), Qt::LeftButton);
    expectShown({});
    QCOMPARE(bytes(), "31/12/202620:00" + text + "\r\n");
}

QTEST_MAIN(TestFaults)
#include "TestFaults.moc"
