// Holds DueRule::firstDue and DueRule::Scanner against a plain reading of the
// due rule. The first bytes of the input choose the clocks, the rest is the
// reminder file.
//
// Header: day offset (2 bytes) around 01/01/2026, second of the day (3),
// milliseconds (1), four more clocks for the scanner (1 each), and when and
// how the file changes between two scans (1).

#include "Reference.h"

#include "alerting/DueRule.h"
#include "reminders/Lembrete.h"
#include "reminders/Windows1252.h"

#include <QDateTime>

#include <algorithm>
#include <cstdint>

namespace {

constexpr size_t HeaderSize = 11;
constexpr int ScannerClocks = 4;

// The first line due at `now`: a valid day before today, whatever its time,
// or today once the clock, in whole seconds, is past its minute.
std::optional<QByteArray> referenceFirstDue(const QList<QByteArray>& lines, const QDateTime& now)
{
    const QDate today = now.date();
    const int second = now.time().msecsSinceStartOfDay() / 1000;
    for (const QByteArray& line : lines) {
        if (line.size() <= 10) {
            continue;
        }
        const std::optional<Reference::Moment> moment = Reference::readMoment(line);
        if (moment && (moment->date < today || (moment->date == today && second > moment->minute * 60))) {
            return line;
        }
    }
    return std::nullopt;
}

void checkSame(const std::optional<Lembrete>& got, const QByteArray& bytes, const QDateTime& now)
{
    const std::optional<QByteArray> expected = referenceFirstDue(Reference::splitLines(bytes), now);
    CHECK(got.has_value() == expected.has_value());
    if (got) {
        CHECK(*got == Lembrete::fromLine(Windows1252::decode(*expected)));
        CHECK(Windows1252::encode(got->toLine()) == *expected);
    }
}

// A clock for the scanner: either a step from the one before (seconds, or
// half hours), or a few seconds around one of the file's own moments, where
// the answers change.
QDateTime scannerClock(uint8_t b, const QDateTime& previous, const QList<QDateTime>& moments)
{
    if ((b & 1) && !moments.isEmpty()) {
        static constexpr int Around[] = {-60, -1, 0, 1, 2, 30, 59, 3600};
        return moments[(b >> 4) % moments.size()].addSecs(Around[(b >> 1) & 7]);
    }
    const int step = b >> 1;
    return previous.addSecs(step < 64 ? step : qint64(step - 63) * 1800);
}

// Either one byte's lowest bit flipped (a digit becomes its neighbour) or a
// line appended for now's own minute.
QByteArray changed(QByteArray bytes, uint8_t how, const QDateTime& now)
{
    if ((how & 1) && !bytes.isEmpty()) {
        bytes[(how >> 1) % bytes.size()] ^= 1;
    } else {
        bytes += "\n" + now.toString(QStringLiteral("dd/MM/yyyyHH:mm")).toLatin1() + "novo";
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < HeaderSize) {
        return 0;
    }
    const int dayOffset = (data[0] | data[1] << 8) % 1461 - 730;
    const int second = (data[2] | data[3] << 8 | data[4] << 16) % 86400;
    const int millisecond = data[5] * 1000 / 256;
    const QDateTime now(QDate(2026, 1, 1).addDays(dayOffset),
                        QTime::fromMSecsSinceStartOfDay(second * 1000 + millisecond), Qt::UTC);
    const QByteArray bytes(reinterpret_cast<const char*>(data + HeaderSize), qsizetype(size - HeaderSize));

    checkSame(DueRule::firstDue(bytes, now), bytes, now);

    QList<QDateTime> moments;
    for (const QByteArray& line : Reference::splitLines(bytes)) {
        if (const auto moment = Reference::readMoment(line)) {
            moments << QDateTime(moment->date, QTime(0, 0).addSecs(moment->minute * 60), Qt::UTC);
        }
    }
    QList<QDateTime> clocks{now};
    for (int i = 0; i < ScannerClocks; ++i) {
        clocks << scannerClock(data[6 + i], clocks.last(), moments);
    }
    std::sort(clocks.begin(), clocks.end());

    // The scanner gets a fresh copy at every tick, as when the file is read
    // again, and must answer as a full walk would. The file changes once,
    // between two ticks or at the same one.
    DueRule::Scanner scanner;
    const qsizetype changeAt = data[10] % clocks.size();
    QByteArray current = bytes;
    for (qsizetype i = 0; i < clocks.size(); ++i) {
        if (i == changeAt) {
            current = changed(bytes, data[10] >> 3, clocks[i]);
            checkSame(scanner.firstDue(QByteArray(current.constData(), current.size()), clocks[i]), current,
                      clocks[i]);
        }
        const QByteArray copy(current.constData(), current.size());
        checkSame(scanner.firstDue(copy, clocks[i]), copy, clocks[i]);
    }
    return 0;
}
