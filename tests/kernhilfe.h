// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers of the core's tests: databases and files of their own, the
// program's folders and settings apart from the user's. No window, no
// message display: a core test runs under QCoreApplication (or
// QGuiApplication where a text document or a painted page needs fonts).
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

struct sqlite3;
class QCoreApplication;

namespace Testhilfe {

// Runs an SQL text on a database file (made if missing); fails the test on error.
void sql(const QString &datei, const QString &text);
// The rows of a query, read through a connection of its own (read-only) or
// on an open connection: one text per row, its values joined by '|', NULL
// shown as nullText. A query that fails gives one row "Fehler: " and
// SQLite's text.
QStringList abfrage(const QString &datei, const QString &sql, const QString &nullText = QStringLiteral("-"));
QStringList abfrage(sqlite3 *db, const QString &sql, const QString &nullText = QStringLiteral("-"));
// The first value of a query as a number; -1 when the query fails.
int zahl(const QString &datei, const QString &sql);
// A file's bytes, or "<fehlt>" when it cannot be read.
QByteArray lies(const QString &datei);
// Writes a file anew; fails the test if it cannot.
void schreibe(const QString &datei, const QByteArray &inhalt);
// Overwrites one leaf page in the middle of a table's b-tree with zeros, as
// a failing disk would; the records on it can no longer be read. Returns
// whether there was such a page (the table needs some dozen rows).
bool beschaedigeTabelle(const QString &datei, const QString &tabelle);
// The message of the DatenFehler that f throws; "<kein Fehler>" if it
// throws none.
QString fehlerVon(const std::function<void()> &f);
// A database file from one of the SQL texts in db/ (e.g. "kontakt.sql").
void ausSchema(const QString &datei, const QString &schema);
// A log database of several blocks of the whole-file writer, with one record
// whose call sign is the mark, so that a copy can fail part-way.
void grosserLog(const QString &datei, const QString &kennung);

// A temporary program directory holding both database files, made from the
// schemas in db/; the program directory points at it while it lives.
class Programmordner
{
public:
    Programmordner();
    ~Programmordner();
    QString pfad() const { return m_dir.path(); }
    QString logDatei() const;
    QString frequenzDatei() const;

private:
    QTemporaryDir m_dir;
};

// An installed program in a temporary prefix while it lives: bin/ (the
// program directory) without databases, the shipped files in
// share/tremvik-tool/ made from the schemas in db/, and data and settings
// folders of the user's own (XDG_DATA_HOME and Qt's settings path).
class Installation
{
public:
    Installation();
    ~Installation();
    QString pfad(const QString &name) const { return m_dir.filePath(name); }
    QString bin() const { return pfad(QStringLiteral("bin")); }
    QString vorlage() const { return pfad(QStringLiteral("share/tremvik-tool/tremvik.dorlem-fasq")); }
    QString geliefert() const { return pfad(QStringLiteral("share/tremvik-tool/Frequenzen.dorlem-fasq")); }
    QString datenordner() const { return pfad(QStringLiteral("daten/tremvik-tool")); }
    QString log() const { return datenordner() + QStringLiteral("/tremvik.dorlem-fasq"); }
    QString eigeneFrequenzen() const { return datenordner() + QStringLiteral("/Frequenzen.dorlem-fasq"); }

private:
    QTemporaryDir m_dir;
    QByteArray m_altDaten;
};

// Settings of the test program's own, and no automatic backup unless a
// test turns it on.
void abschirmen();
// Sets up the application as the program and its tools do, without
// windows: names, German texts and formats; then abschirmen().
void einrichtenKern(QCoreApplication &app);
}

#define TREMVIK_TEST_MAIN_MIT(Anwendungsklasse, Klasse)                                                                \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        Anwendungsklasse app(argc, argv);                                                                              \
        Testhilfe::einrichtenKern(app);                                                                                \
        Klasse t;                                                                                                      \
        return QTest::qExec(&t, argc, argv);                                                                           \
    }
// A core test: no display, no platform plugin.
#define TREMVIK_KERN_TEST_MAIN(Klasse) TREMVIK_TEST_MAIN_MIT(QCoreApplication, Klasse)
// A core test of text documents or painted pages, which need fonts.
#define TREMVIK_GUI_TEST_MAIN(Klasse) TREMVIK_TEST_MAIN_MIT(QGuiApplication, Klasse)
