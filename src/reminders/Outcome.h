#pragma once

#include <QString>

// The result of an operation that can fail: success, or a readable reason.
class Outcome
{
public:
    static Outcome success() { return Outcome(QString(), true); }
    static Outcome failure(const QString& message) { return Outcome(message, false); }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const QString& message() const { return m_message; }

private:
    Outcome(const QString& message, bool ok)
        : m_message(message)
        , m_ok(ok)
    { }

    QString m_message;
    bool m_ok;
};
