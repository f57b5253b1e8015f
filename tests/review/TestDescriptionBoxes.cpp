#include "TestSupport.h"
#include "alerting/AlertWindow.h"
#include "alerting/DueScan.h"
#include "shell/MainWindow.h"
#include "ui/LimitedTextEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

// The three boxes that take a description: the include panel's, the review
// panel's and the alert's. They share the length limit and the Enter filter.
class TestDescriptionBoxes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void limit_data();
    void limit();
    void enterFilter_data();
    void enterFilter();

private:
    LimitedTextEdit* box(const QString& name);

    FakeAlarmSound m_sound;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<AlertWindow> m_alert;
};

void TestDescriptionBoxes::initTestCase()
{
    m_window = std::make_unique<MainWindow>(true, m_sound);
    m_window->scan().switchOff();
    m_alert = std::make_unique<AlertWindow>(*m_window, m_window->scan(), m_sound);
}

void TestDescriptionBoxes::cleanupTestCase()
{
    m_alert.reset();
    m_window.reset();
}

LimitedTextEdit* TestDescriptionBoxes::box(const QString& name)
{
    for (QWidget* window : {static_cast<QWidget*>(m_window.get()), static_cast<QWidget*>(m_alert.get())}) {
        if (auto* found = window->findChild<LimitedTextEdit*>(name)) {
            found->window()->show();
            found->setFocus();
            found->clear();
            return found;
        }
    }
    qFatal("no box %s", qPrintable(name));
}

void TestDescriptionBoxes::limit_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"txtincdesc", "txtmanobs", "txtmsg"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void TestDescriptionBoxes::limit()
{
    QFETCH(QString, name);
    LimitedTextEdit* edit = box(name);
    QCOMPARE(edit->maxLength(), 200);
    QTest::keyClicks(edit, QString(195, QLatin1Char('a')));
    QTest::keyClicks(edit, QStringLiteral("bcdefghij"));
    QCOMPARE(edit->text(), QString(195, QLatin1Char('a')) + QStringLiteral("bcdef"));

    // A paste in the middle keeps what was there and takes only what fits,
    // and undo takes the paste back, once.
    const QString before(190, QLatin1Char('x'));
    edit->setText(before);
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(10);
    edit->setTextCursor(cursor);
    QApplication::clipboard()->setText(QString(50, QLatin1Char('p')));
    edit->paste();
    QCOMPARE(edit->text(),
             QString(10, QLatin1Char('x')) + QString(10, QLatin1Char('p')) + QString(180, QLatin1Char('x')));
    edit->undo();
    QCOMPARE(edit->text(), before);
    QVERIFY(!edit->document()->isUndoAvailable());

    // A paste over a selection may use the room the selection frees.
    cursor.setPosition(0);
    cursor.setPosition(20, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    edit->paste();
    QCOMPARE(edit->text(), QString(30, QLatin1Char('p')) + QString(170, QLatin1Char('x')));

    // Text the program puts there is never cut, and nothing more goes in.
    edit->setText(QString(250, QLatin1Char('z')));
    QTest::keyClicks(edit, QStringLiteral("more"));
    QTest::keyClick(edit, 'e', Qt::ControlModifier | Qt::AltModifier); // AltGr on Windows types text too
    edit->paste();
    QCOMPARE(edit->text(), QString(250, QLatin1Char('z')));
    // Non-breaking spaces from the file stay as they are.
    edit->setText(QStringLiteral("a\u00a0b"));
    QCOMPARE(edit->text(), QStringLiteral("a\u00a0b"));
}

void TestDescriptionBoxes::enterFilter_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("start"); // the text before the key, with | for the caret
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("expected"); // the text after, with | for the caret

    for (const char* field : {"txtincdesc", "txtmanobs", "txtmsg"}) {
        const auto row = [field](const char* what) -> QTestData& {
            return QTest::addRow("%s: %s", field, what) << QString::fromLatin1(field);
        };
        row("Enter at the end") << "abc|" << int(Qt::Key_Return) << 0 << "abc|";
        row("Enter in the middle") << "ab|cd" << int(Qt::Key_Return) << 0 << "abcd|";
        row("keypad Enter") << "ab|cd" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "abcd|";
        row("Enter with Shift") << "ab|cd" << int(Qt::Key_Return) << int(Qt::ShiftModifier) << "abcd|";
        row("pasted breaks all go at the next Enter")
            << "one\ntwo\r\nthree|" << int(Qt::Key_Return) << 0 << "onetwothree|";
        row("a tab stays") << "a\tb|" << int(Qt::Key_Return) << 0 << "a\tb|";
        row("empty") << "|" << int(Qt::Key_Return) << 0 << "|";
        row("another key leaves breaks and caret") << "a\nb|c" << int(Qt::Key_Right) << 0 << "a\nbc|";
        row("Backspace leaves breaks") << "a\nbc|" << int(Qt::Key_Backspace) << 0 << "a\nb|";
    }
}

void TestDescriptionBoxes::enterFilter()
{
    QFETCH(QString, name);
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, expected);
    LimitedTextEdit* edit = box(name);
    edit->setText(QString(start).remove(QLatin1Char('|')));
    QTextCursor cursor = edit->textCursor();
    // A pasted CR LF is one line break in the box.
    const QString beforeCaret = start.left(start.indexOf(QLatin1Char('|')));
    cursor.setPosition(
        int(QString(beforeCaret).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).size()));
    edit->setTextCursor(cursor);

    QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QString shown = edit->text();
    shown.insert(edit->textCursor().position(), QLatin1Char('|'));
    QCOMPARE(shown, expected);
}

QTEST_MAIN(TestDescriptionBoxes)
#include "TestDescriptionBoxes.moc"
