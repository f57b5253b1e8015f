#pragma once

#include "Lembrete.h"
#include "Outcome.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct LoadResult
{
    enum class Status { Loaded, Missing, Failed };

    Status status = Status::Missing;
    QList<Lembrete> entries; // in file order, one per line
    QString error; // why, when Failed

    bool loaded() const { return status == Status::Loaded; }
};

// True when the file can be opened for reading.
bool ArquivoExiste(const QString& path);

// The reminder file: one reminder per line, Windows-1252, CR LF line ends.
// Nothing is cached: every call opens the file, does its work and closes it.
// Every change is written to a temporary file beside it and renamed over it,
// so a crash or a full disk leaves either the old file or the new one.
class ReminderFile
{
public:
    explicit ReminderFile(const QString& path);

    const QString& path() const { return m_path; }

    bool ArquivoExiste() const;

    // True when no line holds this "dd/mm/yyyy hh:mm" moment; a missing file
    // holds none.
    bool HorarioLivre(const QString& momento) const;

    // All reminders in file order. CR, CR LF and LF each end a line.
    LoadResult CarregaLembretes() const;

    // The file's bytes as they are, for readers that cut lines themselves.
    // One byte is one character (Windows-1252).
    LoadResult::Status readRaw(QByteArray& bytes, QString& error) const;

    // Adds the reminder as a new last line, creating the folder and the file
    // when needed. A last line without an ending gets one first.
    Outcome GravaLembrete(const Lembrete& lembrete) const;

    // Rewrites the file without the last line whose date and time match.
    // A missing file is left missing.
    Outcome apaga(const QString& data, const QString& hora) const;

    // apaga followed by GravaLembrete, done as one replacement of the file so
    // the reminder cannot be lost in between.
    Outcome substitui(const QString& data, const QString& hora, const Lembrete& novo) const;

private:
    Outcome write(const QByteArray& content) const;

    QString m_path;
    QByteArray m_nativePath; // encoded once: the due scan opens it every millisecond
};
