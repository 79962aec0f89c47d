// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <exception>

// A failure of the data layer: what the program tried to do, in German, and
// the database's own text. Window handlers let it pass up to the place that
// reports it (see shell/meldung.h), which also stops the handler there.
class DatenFehler : public std::exception
{
public:
    DatenFehler(QString was, QString datenbankText = QString(), int code = 0)
        : m_was(std::move(was)), m_text(std::move(datenbankText)), m_code(code), m_utf8(meldung().toUtf8())
    {
    }

    const QString &was() const { return m_was; }
    // The database's own words (empty when the failure is the program's).
    const QString &text() const { return m_text; }
    // The database's (extended) result code, 0 when the failure is the
    // program's own.
    int code() const { return m_code; }
    // The text shown to the user: what failed, then the database's words.
    QString meldung() const { return m_text.isEmpty() ? m_was : m_was + QStringLiteral("\n\n") + m_text; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_was;
    QString m_text;
    int m_code = 0;
    QByteArray m_utf8;
};

// An operation on the current record while there is none (an empty list).
// The log's editing buttons ignore it silently.
class KeinDatensatz : public DatenFehler
{
public:
    KeinDatensatz() : DatenFehler(QStringLiteral("Es ist kein Datensatz ausgewählt.")) { }
};

// A name (a file, a table, a value) quoted in a message the German way.
inline QString zitiert(const QString &text)
{
    return QStringLiteral("\u201E%1\u201C").arg(text);
}
