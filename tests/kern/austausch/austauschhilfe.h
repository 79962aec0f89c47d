// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/bestaende/logeintrag.h"
#include "kernhilfe.h"

#include <QProcessEnvironment>
#include <sqlite3.h>

// Sample records and golden files shared by the exchange tests.
namespace Austauschhilfe {

inline QString gr(const char *text)
{
    return QString::fromUtf8(text);
}

inline Logeintrag eintrag(std::initializer_list<std::optional<const char *>> werte)
{
    Logeintrag e;
    int c = 0;
    for (const auto &w : werte)
        e.werte[c++] = w ? std::optional<QString>(gr(*w)) : std::nullopt;
    return e;
}

// A remark with formatting, umlauts and a character beyond Windows-1252.
inline const char *rtfLuebeck = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs24 "
                                "Gr\\'fc\\'dfe aus \\b L\\'fcbeck\\b0 !\\par Zweite Zeile: \\u8364? 5\\par}";
// A remark whose text looks like ADIF and CSV.
inline const char *rtfTags = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Achtung <EOR> im Text; \"zitiert\", "
                             "<NAME:3>abc\\par}";

// Five records: umlauts in every text field; a plain one; one without a
// date; one in the hour that daylight saving time skips; one around
// midnight in winter with forms the log writes freely.
inline QList<Logeintrag> beispiele()
{
    using std::nullopt;
    return {
        eintrag({"Florian Lübeck 83/1", "Müller-Lüdenscheidt", "Jürgen", "Österreich", "9+30", "5", "30.06.2006",
                 "21:45", "Ü7", "169,40625", "NFM", "Groß Grönau", rtfLuebeck}),
        eintrag({"DL1ABC", nullopt, "Max", "Deutschland", "9", "5", "01.07.2006", "08:05:30", "", "145,500", "FM",
                 "Hamburg", nullopt}),
        eintrag({"db0xyz", nullopt, nullopt, nullopt, "S9", nullopt, nullopt, "12:00", "80", "unbekannt", "DMR",
                 "A<B>;\"C\", D", rtfTags}),
        eintrag({"OE1XYZ", "", "", "", "", "", "31.03.2024", "02:30", nullopt, "0,1291", "usb", "Wien", nullopt}),
        eintrag({"G4ABC", nullopt, "Élodie", "Royaume-Uni", "7", "3", "1.1.2024", "00:30", nullopt, "7,1", "SSB", "Ærø",
                 nullopt}),
    };
}

// Writes records straight into the log's table, as the log window would.
inline void einfuegen(const QString &datenbank, const QList<Logeintrag> &eintraege)
{
    sqlite3 *db = nullptr;
    QVERIFY(sqlite3_open(QFile::encodeName(datenbank).constData(), &db) == SQLITE_OK);
    sqlite3_stmt *s = nullptr;
    const QByteArray sql =
        "insert into Kontakt (" + Logeintrag::spalten().join(',').toUtf8() + ") values (?,?,?,?,?,?,?,?,?,?,?,?,?)";
    QVERIFY(sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr) == SQLITE_OK);
    for (const Logeintrag &e : eintraege) {
        sqlite3_reset(s);
        for (int c = 0; c < Logeintrag::anzahl; ++c) {
            if (e.werte[c])
                sqlite3_bind_text(s, c + 1, e.werte[c]->toUtf8().constData(), -1, SQLITE_TRANSIENT);
            else
                sqlite3_bind_null(s, c + 1);
        }
        QCOMPARE(sqlite3_step(s), SQLITE_DONE);
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
}

inline QStringList alsText(const QList<Logeintrag> &eintraege)
{
    QStringList aus;
    for (const Logeintrag &e : eintraege)
        aus.append(e.alsText());
    return aus;
}

// Every record of a log, in the order written.
inline QStringList logInhalt(const QString &datenbank)
{
    return alsText(Logdaten::lesen(datenbank, QStringLiteral("select * from Kontakt order by id")));
}

// Compares output with its golden file in tests/kern/austausch/golden. With
// TREMVIK_GOLDEN_NEU=1 in the environment the golden file is written
// instead (to be read through before it is committed). On a difference the
// output is left in the temporary folder for a diff.
inline bool golden(const QString &name, const QByteArray &daten)
{
    const QString datei = QStringLiteral(TREMVIK_QUELLEN "/tests/kern/austausch/golden/") + name;
    if (qEnvironmentVariableIsSet("TREMVIK_GOLDEN_NEU")) {
        QDir().mkpath(QFileInfo(datei).path());
        Testhilfe::schreibe(datei, daten);
        return true;
    }
    const QByteArray soll = Testhilfe::lies(datei);
    if (soll == daten)
        return true;
    const QString ist = QDir::temp().filePath(QStringLiteral("tremvik-ist-") + name);
    Testhilfe::schreibe(ist, daten);
    qWarning("%s weicht ab; die Ausgabe steht in %s", qPrintable(datei), qPrintable(ist));
    return false;
}

}
