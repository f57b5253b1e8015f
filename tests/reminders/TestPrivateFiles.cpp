#include "reminders/ReminderFile.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// Built on Unix only: file modes and owners are a Unix matter.

// The reminder file and its folder are the owner's alone; a rewrite leaves
// modes and owner as the owner set them.
class TestPrivateFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void createdFoldersArePrivate();
    void existingFolderKeepsItsMode();
    void newFileIsPrivate();
    void rewriteKeepsTheMode_data();
    void rewriteKeepsTheMode();
    void rewriteKeepsTheOwner();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    mode_t m_umask = 0;
};

namespace {
const Lembrete Sample{QStringLiteral("25/12/2030"), QStringLiteral("14:30"),
                      QStringLiteral("Comprar presentes")};

// The permission bits, or -1 when the path cannot be read.
int modeOf(const QString& path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

bool setMode(const QString& path, int mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}
} // namespace

void TestPrivateFiles::initTestCase()
{
    // The usual umask: with 077 every new file would be private anyway.
    m_umask = ::umask(022);
}

void TestPrivateFiles::cleanupTestCase()
{
    ::umask(m_umask);
}

void TestPrivateFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestPrivateFiles::createdFoldersArePrivate()
{
    const QString parent = m_dir->filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkdir(parent));
    QVERIFY(setMode(parent, 0755));
    const QString path = parent + QStringLiteral("/lembretes/quedrino/quedrino.txt");

    QVERIFY(ReminderFile(path).GravaLembrete(Sample).ok());
    QCOMPARE(modeOf(parent + QStringLiteral("/lembretes")), 0700);
    QCOMPARE(modeOf(parent + QStringLiteral("/lembretes/quedrino")), 0700);
    QCOMPARE(modeOf(parent), 0755);
}

void TestPrivateFiles::existingFolderKeepsItsMode()
{
    const QString folder = m_dir->filePath(QStringLiteral("quedrino"));
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(setMode(folder, 0750));

    QVERIFY(ReminderFile(folder + QStringLiteral("/quedrino.txt")).GravaLembrete(Sample).ok());
    QCOMPARE(modeOf(folder), 0750);
}

void TestPrivateFiles::newFileIsPrivate()
{
    const QString path = m_dir->filePath(QStringLiteral("quedrino/quedrino.txt"));
    QVERIFY(ReminderFile(path).GravaLembrete(Sample).ok());
    QCOMPARE(modeOf(path), 0600);
}

void TestPrivateFiles::rewriteKeepsTheMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("operation"); // 0 add, 1 delete, 2 replace

    const int modes[] = {0600, 0640, 0644, 0660};
    const char* const operations[] = {"GravaLembrete", "apaga", "substitui"};
    for (int mode : modes) {
        for (int operation = 0; operation < 3; ++operation) {
            QTest::addRow("%s %o", operations[operation], mode) << mode << operation;
        }
    }
}

void TestPrivateFiles::rewriteKeepsTheMode()
{
    QFETCH(int, mode);
    QFETCH(int, operation);
    const QString path = m_dir->filePath(QStringLiteral("quedrino.txt"));
    const ReminderFile store(path);
    QVERIFY(store.GravaLembrete(Sample).ok());
    QVERIFY(setMode(path, mode));

    const Lembrete other{QStringLiteral("01/01/2031"), QStringLiteral("08:00"), QStringLiteral("Outro")};
    switch (operation) {
    case 0:
        QVERIFY(store.GravaLembrete(other).ok());
        break;
    case 1:
        QVERIFY(store.apaga(Sample.data, Sample.hora).ok());
        break;
    default:
        QVERIFY(store.substitui(Sample.data, Sample.hora, other).ok());
        break;
    }
    QCOMPARE(modeOf(path), mode);
}

void TestPrivateFiles::rewriteKeepsTheOwner()
{
    if (::geteuid() != 0) {
        QSKIP("only root can give a file to another user");
    }
    const QString path = m_dir->filePath(QStringLiteral("quedrino.txt"));
    const ReminderFile store(path);
    QVERIFY(store.GravaLembrete(Sample).ok());
    // nobody:nogroup on Debian; any ids other than root's do.
    const uid_t user = 65534;
    const gid_t group = 65534;
    QCOMPARE(::chown(QFile::encodeName(path).constData(), user, group), 0);

    QVERIFY(store.apaga(Sample.data, Sample.hora).ok());
    QVERIFY(store.GravaLembrete(Sample).ok());
    QCOMPARE(QFileInfo(path).ownerId(), uint(user));
    QCOMPARE(QFileInfo(path).groupId(), uint(group));
    QCOMPARE(modeOf(path), 0600);
}

QTEST_GUILESS_MAIN(TestPrivateFiles)
#include "TestPrivateFiles.moc"
