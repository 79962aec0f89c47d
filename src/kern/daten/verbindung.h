// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QSqlDatabase>
#include <QString>

struct sqlite3;

// One open connection to one of the two database files. Each data window
// holds its own. The connection string names the file the way the windows
// always have ("...;Data Source=tremvik.dorlem-fasq;..."); where the file
// lies is told by Speicherorte (the program directory, or the installed
// places), never by the working directory.
class Verbindung
{
public:
    enum class Zugriff { NurLesen, LesenSchreiben };

    // Opens the file. Never creates one (but for the log on an installed
    // program's first start, see Speicherorte::logBereitstellen): a missing,
    // unreadable or foreign file throws DatenFehler with the file's full
    // path in its text.
    Verbindung(const QString &verbindungsText, Zugriff zugriff);
    ~Verbindung();
    Verbindung(const Verbindung &) = delete;
    Verbindung &operator=(const Verbindung &) = delete;

    sqlite3 *handle() const { return m_handle; }
    const QString &datei() const { return m_datei; }

    // The file name that a connection string names ("Data Source=...").
    static QString dateiName(const QString &verbindungsText);

private:
    QString m_name;
    QString m_datei;
    sqlite3 *m_handle = nullptr;
};

// The connection strings of the two database files, exactly as the windows
// carry them.
namespace Verbindungstext {
inline const QString frequenzen =
    QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=Frequenzen.dorlem-fasq;Persist Security Info=False");
inline const QString log =
    QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=tremvik.dorlem-fasq;Persist Security Info=False");
}
