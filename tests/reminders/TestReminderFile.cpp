#include "TestSupport.h"
#include "reminders/ReminderFile.h"
#include "reminders/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestReminderFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void missingFile();
    void emptyFile();
    void readWholeWhateverTheSizeSays();
    void cutByPositionAndRoundTrip();
    void lineEndings();
    void duplicateMoments();
    void absentTargetKeepsEverything();
    void momentsMatchByValue();
    void malformedLinesKept();
    void bytesSurviveByteForByte();
    void unmappableCharacters();
    void substituiMovesToTheEnd();
    void failingWrites();
    void fullDiskKeepsOldFile();

private:
    QByteArray bytes() const;
    void put(const QByteArray& content) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestReminderFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("quedrino/quedrino.txt"));
}

QByteArray TestReminderFile::bytes() const
{
    QFile file(m_path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestReminderFile::put(const QByteArray& content) const
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile file(m_path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

void TestReminderFile::missingFile()
{
    const ReminderFile store(m_path);
    QVERIFY(!store.ArquivoExiste());
    QVERIFY(store.HorarioLivre(QStringLiteral("25/12/2024 14:30")));
    QCOMPARE(store.CarregaLembretes().status, LoadResult::Status::Missing);
    QVERIFY(store.apaga(QStringLiteral("25/12/2024"), QStringLiteral("14:30")).ok());
    QVERIFY(!QFileInfo::exists(m_path));

    // The first reminder creates the folder and the file.
    QVERIFY(store.GravaLembrete({"25/12/2024", "14:30", "Comprar presentes"}).ok());
    QCOMPARE(bytes(), QByteArray("25/12/202414:30Comprar presentes\r\n"));
    QVERIFY(store.ArquivoExiste());
    QVERIFY(!store.HorarioLivre(QStringLiteral("25/12/2024 14:30")));
}

void TestReminderFile::emptyFile()
{
    put("");
    const ReminderFile store(m_path);
    QVERIFY(store.ArquivoExiste());
    QVERIFY(store.HorarioLivre(QStringLiteral("01/01/2030 00:00")));
    const LoadResult loaded = store.CarregaLembretes();
    QVERIFY(loaded.loaded());
    QVERIFY(loaded.entries.isEmpty());
    QVERIFY(store.apaga(QStringLiteral("01/01/2030"), QStringLiteral("00:00")).ok());
    QCOMPARE(bytes(), QByteArray());
}

void TestReminderFile::readWholeWhateverTheSizeSays()
{
#ifdef Q_OS_LINUX
    // A regular file whose status gives size 0, as one still being written
    // can understate its size: the read goes on to its end.
    const QString path = QStringLiteral("/proc/self/cmdline");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected = file.readAll();
    QVERIFY(expected.size() > 8);
    QByteArray read;
    QString error;
    QCOMPARE(ReminderFile(path).readRaw(read, error), LoadResult::Status::Loaded);
    QCOMPARE(read, expected);
#else
    QSKIP("needs a file whose status understates its size");
#endif
}

void TestReminderFile::cutByPositionAndRoundTrip()
{
    const ReminderFile store(m_path);
    const QString longText(200, QLatin1Char('x'));
    QVERIFY(store.GravaLembrete({"25/12/2024", "14:30", "Comprar presentes"}).ok());
    QVERIFY(store.GravaLembrete({"26/12/2024", "08:05", "   tab\there/slash: colon  "}).ok());
    QVERIFY(store.GravaLembrete({"27/12/2024", "09:00", longText}).ok());
    QVERIFY(store.GravaLembrete({"28/12/2024", "10:00", ""}).ok());

    const QList<QByteArray> lines = bytes().split('\n');
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QByteArray("25/12/202414:30Comprar presentes\r"));
    QCOMPARE(lines[1], QByteArray("26/12/202408:05   tab\there/slash: colon  \r"));
    QCOMPARE(lines[2].size(), 215 + 1);
    QCOMPARE(lines[3], QByteArray("28/12/202410:00\r"));

    const LoadResult loaded = store.CarregaLembretes();
    QCOMPARE(loaded.entries.size(), 4);
    QCOMPARE(loaded.entries[0], (Lembrete{"25/12/2024", "14:30", "Comprar presentes"}));
    QCOMPARE(loaded.entries[1].descricao, QStringLiteral("   tab\there/slash: colon  "));
    QCOMPARE(loaded.entries[2].descricao, longText);
    QCOMPARE(loaded.entries[3].descricao, QString());
    QCOMPARE(loaded.entries[0].momento(), QStringLiteral("25/12/2024 14:30"));
}

void TestReminderFile::lineEndings()
{
    // CR LF, a lone LF, a lone CR, an empty line and a last line with no end.
    put("01/01/203000:00a\r\n02/01/203000:00b\n03/01/203000:00c\r\r\n04/01/203000:00d");
    const ReminderFile store(m_path);
    const LoadResult loaded = store.CarregaLembretes();
    QCOMPARE(loaded.entries.size(), 5);
    QCOMPARE(loaded.entries[1].descricao, QStringLiteral("b"));
    QCOMPARE(loaded.entries[2].descricao, QStringLiteral("c"));
    QCOMPARE(loaded.entries[3], Lembrete());
    QCOMPARE(loaded.entries[4].descricao, QStringLiteral("d"));

    // An append never glues onto the unterminated last line.
    QVERIFY(store.GravaLembrete({"05/01/2030", "00:00", "e"}).ok());
    QCOMPARE(bytes(),
             QByteArray("01/01/203000:00a\r\n02/01/203000:00b\n03/01/203000:00c\r\r\n"
                        "04/01/203000:00d\r\n05/01/203000:00e\r\n"));

    // A rewrite ends every line with CR LF.
    QVERIFY(store.apaga(QStringLiteral("01/01/2030"), QStringLiteral("00:00")).ok());
    QCOMPARE(bytes(),
             QByteArray("02/01/203000:00b\r\n03/01/203000:00c\r\n\r\n04/01/203000:00d\r\n"
                        "05/01/203000:00e\r\n"));
}

void TestReminderFile::duplicateMoments()
{
    put("10/10/203010:10first\r\n11/11/203011:11other\r\n10/10/203010:10second\r\n12/12/203012:12last\r\n");
    const ReminderFile store(m_path);
    QVERIFY(!store.HorarioLivre(QStringLiteral("10/10/2030 10:10")));
    QVERIFY(store.HorarioLivre(QStringLiteral("10/10/2030 10:11")));
    QVERIFY(store.apaga(QStringLiteral("10/10/2030"), QStringLiteral("10:10")).ok());
    QCOMPARE(bytes(), QByteArray("10/10/203010:10first\r\n11/11/203011:11other\r\n12/12/203012:12last\r\n"));
    QVERIFY(!store.HorarioLivre(QStringLiteral("10/10/2030 10:10")));
}

void TestReminderFile::absentTargetKeepsEverything()
{
    const QByteArray content("03/03/203003:03c\r\n01/01/203001:01a\r\n02/02/203002:02b\r\n");
    put(content);
    const ReminderFile store(m_path);
    QVERIFY(store.apaga(QStringLiteral("04/04/2030"), QStringLiteral("04:04")).ok());
    QCOMPARE(bytes(), content);
    // A target that is not a date or time matches nothing either.
    QVERIFY(store.apaga(QStringLiteral("31/02/2030"), QStringLiteral("01:01")).ok());
    QVERIFY(store.apaga(QStringLiteral("01/01/2030"), QStringLiteral("1:61")).ok());
    QCOMPARE(bytes(), content);
}

void TestReminderFile::momentsMatchByValue()
{
    // A hand-edited line names the same moment as the zero-padded texts.
    put("01/01/203001:01a\r\n 5/03/2030 9:30hand\r\n02/02/203002:02b\r\n");
    const ReminderFile store(m_path);
    QVERIFY(!store.HorarioLivre(QStringLiteral("05/03/2030 09:30")));
    QVERIFY(!store.HorarioLivre(QStringLiteral("5/3/2030  9:30")));
    QVERIFY(store.HorarioLivre(QStringLiteral("05/03/2030 09:31")));
    QVERIFY(store.apaga(QStringLiteral("05/03/2030"), QStringLiteral("09:30")).ok());
    QCOMPARE(bytes(), QByteArray("01/01/203001:01a\r\n02/02/203002:02b\r\n"));
    QVERIFY(store.apaga(QStringLiteral("1/1/2030"), QStringLiteral("1:01")).ok());
    QCOMPARE(bytes(), QByteArray("02/02/203002:02b\r\n"));
}

void TestReminderFile::malformedLinesKept()
{
    put("hello\r\n99/99/999925:61bad\r\n01/01/203001:01ok\r\n");
    const ReminderFile store(m_path);
    const LoadResult loaded = store.CarregaLembretes();
    QCOMPARE(loaded.entries.size(), 3);
    QCOMPARE(loaded.entries[0], (Lembrete{"hello", "", ""}));
    QVERIFY(store.HorarioLivre(QStringLiteral("99/99/9999 25:61")));
    QVERIFY(store.apaga(QStringLiteral("01/01/2030"), QStringLiteral("01:01")).ok());
    QCOMPARE(bytes(), QByteArray("hello\r\n99/99/999925:61bad\r\n"));
}

void TestReminderFile::bytesSurviveByteForByte()
{
    QByteArray high;
    for (int b = 0x80; b <= 0xFF; ++b) {
        high += char(b);
    }
    put("01/01/203001:01" + high + "\r\n02/02/203002:02drop\r\n");
    const ReminderFile store(m_path);
    QVERIFY(store.apaga(QStringLiteral("02/02/2030"), QStringLiteral("02:02")).ok());
    QCOMPARE(bytes(), "01/01/203001:01" + high + "\r\n");

    QVERIFY(store.GravaLembrete({"03/03/2030", "03:03", QStringLiteral("Reunião às 10 €")}).ok());
    QVERIFY(bytes().endsWith("03/03/203003:03Reuni\xe3o \xe0s 10 \x80\r\n"));
    QCOMPARE(store.CarregaLembretes().entries.last().descricao, QStringLiteral("Reunião às 10 €"));
}

void TestReminderFile::unmappableCharacters()
{
    const ReminderFile store(m_path);
    QVERIFY(
        store.GravaLembrete({"01/01/2030", "01:01", QStringLiteral("a\u4e2d\U0001F600b\u001a\u00e7")}).ok());
    QCOMPARE(bytes(), QByteArray("01/01/203001:01a??b\x1a\xe7\r\n"));
    QCOMPARE(Windows1252::encode(QStringLiteral("ok")), QByteArray("ok"));

    // Line breaks that reach a description never split its line.
    QVERIFY(store.GravaLembrete({"02/01/2030", "02:02", QStringLiteral("one\r\ntwo\nthree\r")}).ok());
    QVERIFY(bytes().endsWith("\r\n02/01/203002:02onetwothree\r\n"));
    QCOMPARE(store.CarregaLembretes().entries.size(), 2);
}

void TestReminderFile::substituiMovesToTheEnd()
{
    put("01/01/203001:01a\r\n02/02/203002:02b\r\n03/03/203003:03c\r\n");
    const ReminderFile store(m_path);
    QVERIFY(
        store.substitui(QStringLiteral("01/01/2030"), QStringLiteral("01:01"), {"09/09/2030", "09:09", "a2"})
            .ok());
    QCOMPARE(bytes(), QByteArray("02/02/203002:02b\r\n03/03/203003:03c\r\n09/09/203009:09a2\r\n"));

    // Gone meanwhile: the new reminder is still written.
    QVERIFY(
        store.substitui(QStringLiteral("07/07/2030"), QStringLiteral("07:07"), {"08/08/2030", "08:08", "n"})
            .ok());
    QVERIFY(bytes().endsWith("09/09/203009:09a2\r\n08/08/203008:08n\r\n"));

    QFile::remove(m_path);
    QVERIFY(
        store.substitui(QStringLiteral("01/01/2030"), QStringLiteral("01:01"), {"02/01/2030", "01:01", "x"})
            .ok());
    QCOMPARE(bytes(), QByteArray("02/01/203001:01x\r\n"));
}

void TestReminderFile::failingWrites()
{
    // The folder's path is taken by a regular file.
    const QString blocker = m_dir->filePath(QStringLiteral("quedrino"));
    {
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a folder");
    }
    const ReminderFile store(m_path);
    const Outcome written = store.GravaLembrete({"01/01/2030", "01:01", "x"});
    QVERIFY(!written.ok());
    QVERIFY2(written.message().contains(QStringLiteral("quedrino.txt")), qPrintable(written.message()));
    QVERIFY(!store.ArquivoExiste());
    QVERIFY(
        !store.substitui(QStringLiteral("01/01/2030"), QStringLiteral("01:01"), {"01/01/2030", "01:01", "x"})
             .ok());

    // The file's path is a folder: reading fails, and nothing is written over it.
    const QString folderPath = m_dir->filePath(QStringLiteral("other/quedrino.txt"));
    QVERIFY(QDir().mkpath(folderPath));
    const ReminderFile folderStore(folderPath);
    QVERIFY(!folderStore.ArquivoExiste());
    QCOMPARE(folderStore.CarregaLembretes().status, LoadResult::Status::Failed);
    QVERIFY(!folderStore.GravaLembrete({"01/01/2030", "01:01", "x"}).ok());
    QVERIFY(!folderStore.apaga(QStringLiteral("01/01/2030"), QStringLiteral("01:01")).ok());
    QVERIFY(QFileInfo(folderPath).isDir());
}

void TestReminderFile::fullDiskKeepsOldFile()
{
#ifdef Q_OS_UNIX
    const QByteArray old = "01/01/203001:01" + QByteArray(300, 'o') + "\r\n";
    put(old);
    const ReminderFile store(m_path);
    const auto written = [&store] {
        const TestSupport::FileSizeLimit full(400);
        return store.GravaLembrete({"02/02/2030", "02:02", QString(300, QLatin1Char('n'))});
    }();

    QVERIFY(!written.ok());
    QVERIFY(!written.message().isEmpty());
    QCOMPARE(bytes(), old);
    const QStringList leftovers = QDir(QFileInfo(m_path).absolutePath()).entryList(QDir::Files);
    QCOMPARE(leftovers, QStringList{QStringLiteral("quedrino.txt")});
#else
    QSKIP("needs a file-size limit");
#endif
}

QTEST_GUILESS_MAIN(TestReminderFile)
#include "TestReminderFile.moc"
