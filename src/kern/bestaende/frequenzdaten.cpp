// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/bestaende/frequenzdaten.h"

#include "kern/basis/datenfehler.h"
#include "kern/daten/sqlitedatei.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

using Datenbank = SqliteDatei;
using Anweisung = SqliteAnweisung;

QByteArray dateiLesen(const QString &datei)
{
    QFile f(datei);
    if (!QFileInfo(datei).isFile() || !f.open(QIODevice::ReadOnly))
        throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(zitiert(datei)),
                          QFileInfo::exists(datei) ? f.errorString()
                                                   : QStringLiteral("Die Datei ist nicht vorhanden."));
    return f.readAll();
}

Csv::Tabelle csvLesen(const QByteArray &daten, const QString &dateiName)
{
    try {
        return Csv::lesen(daten);
    } catch (const Csv::Fehler &f) {
        throw f.inDatei(dateiName);
    }
}

// The table's columns that a file's header names, as SQL names. A fault
// of the header is told at its line.
QStringList zielSpalten(Datenbank &db, const QString &tabelle, const Csv::Tabelle &csv, const QString &dateiName)
{
    const QStringList spalten = db.spalten(tabelle);
    QStringList gefunden;
    try {
        gefunden = Frequenzdaten::zuordnen(tabelle, spalten, csv.kopf);
    } catch (const DatenFehler &f) {
        throw Csv::Fehler(csv.kopfZeile, f.meldung(), dateiName);
    }
    QStringList ziel;
    for (const QString &s : gefunden)
        ziel.append(sqlName(s));
    return ziel;
}

// Replaces the table's rows with those of the file, into the columns that
// zielSpalten() found. Runs inside the caller's transaction.
void ersetzen(Datenbank &db, const QString &tabelle, const QStringList &ziel, const Csv::Tabelle &csv,
              const QString &dateiName)
{
    const QString schreibfehler = QStringLiteral("Die Tabelle %1 kann nicht geschrieben werden.").arg(tabelle);
    db.ausfuehren(("delete from " + sqlName(tabelle)).toUtf8(), schreibfehler);

    QStringList platzhalter;
    for (int i = 0; i < ziel.size(); ++i)
        platzhalter.append(QStringLiteral("?"));
    Anweisung einfuegen(db,
                        QStringLiteral("insert into %1 (%2) values (%3)")
                            .arg(sqlName(tabelle), ziel.join(QLatin1Char(',')), platzhalter.join(QLatin1Char(','))),
                        schreibfehler);
    for (int r = 0; r < csv.zeilen.size(); ++r) {
        const Csv::Zeile &zeile = csv.zeilen.at(r);
        sqlite3_reset(*einfuegen);
        for (int k = 0; k < zeile.size(); ++k) {
            if (zeile.at(k)) {
                const QByteArray wert = zeile.at(k)->toUtf8();
                sqlite3_bind_text(*einfuegen, k + 1, wert.constData(), int(wert.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_null(*einfuegen, k + 1);
            }
        }
        if (sqlite3_step(*einfuegen) != SQLITE_DONE)
            throw Csv::Fehler(csv.zeilenNummern.at(r),
                              QStringLiteral("Die Datenbank nimmt den Datensatz nicht an: %1").arg(db.text()),
                              dateiName);
    }
}

bool hatTabelle(Datenbank &db, const QString &tabelle)
{
    Anweisung suche(db, QStringLiteral("select 1 from sqlite_master where type = 'table' and name = ? collate nocase"),
                    QStringLiteral("Die Tabellen der Datenbank lassen sich nicht lesen."));
    suche.binde(1, tabelle);
    return suche.schritt();
}

// What a failed transaction on the lists says.
const QString gesperrt = QStringLiteral("Die Datenbank ist gesperrt oder nicht beschreibbar.");
const QString nichtGespeichert = QStringLiteral("Die Änderungen können nicht gespeichert werden.");

}   // namespace

const QString &Frequenzdaten::herkunftTabelle()
{
    static const QString name = QStringLiteral("herkunft");
    return name;
}

const QStringList &Frequenzdaten::tabellen()
{
    static const QStringList namen{QStringLiteral("bos"), QStringLiteral("flugfunk"), QStringLiteral("afu"),
                                   QStringLiteral("fernwirken")};
    return namen;
}

QString Frequenzdaten::tabelle(const QString &gesucht)
{
    for (const QString &t : tabellen())
        if (t.compare(gesucht, Qt::CaseInsensitive) == 0)
            return t;
    throw DatenFehler(QStringLiteral("Unbekannte Tabelle %1. Die Frequenzdatenbank hat die Tabellen %2.")
                          .arg(zitiert(gesucht), QStringLiteral("bos, flugfunk, afu und fernwirken")));
}

QList<int> Frequenzdaten::bauen(const QString &ziel, const QString &schemaDatei, const QString &ordner)
{
    // Every file is read and checked before anything is written.
    const QByteArray schema = dateiLesen(schemaDatei);
    QList<Csv::Tabelle> daten;
    QStringList dateien;
    for (const QString &t : tabellen()) {
        const QString datei = ordner + QLatin1Char('/') + t + QStringLiteral(".csv");
        daten.append(csvLesen(dateiLesen(datei), datei));
        dateien.append(datei);
    }

    // Where the lists come from, for a folder that says so.
    const QString herkunftDatei = ordner + QStringLiteral("/herkunft.csv");
    std::optional<Csv::Tabelle> herkunft;
    if (QFileInfo::exists(herkunftDatei))
        herkunft = csvLesen(dateiLesen(herkunftDatei), herkunftDatei);

    QList<int> anzahl;
    Datenbank::anlegen(ziel, schema, schemaDatei, Datenbank::Ersetzen::Ja, [&](Datenbank &db) {
        QList<QStringList> ziele;
        for (int i = 0; i < tabellen().size(); ++i)
            ziele.append(zielSpalten(db, tabellen().at(i), daten.at(i), dateien.at(i)));
        QStringList herkunftZiel;
        if (herkunft)
            herkunftZiel = zielSpalten(db, herkunftTabelle(), *herkunft, herkunftDatei);
        db.transaktion(gesperrt, nichtGespeichert, [&] {
            for (int i = 0; i < tabellen().size(); ++i) {
                ::ersetzen(db, tabellen().at(i), ziele.at(i), daten.at(i), dateien.at(i));
                anzahl.append(int(daten.at(i).zeilen.size()));
            }
            if (herkunft)
                ::ersetzen(db, herkunftTabelle(), herkunftZiel, *herkunft, herkunftDatei);
        });
    });
    return anzahl;
}

int Frequenzdaten::importieren(const QString &datenbank, const QString &tabelle, const QString &csvDatei)
{
    const QString t = Frequenzdaten::tabelle(tabelle);
    return importieren(datenbank, t, dateiLesen(csvDatei), csvDatei);
}

int Frequenzdaten::importieren(const QString &datenbank, const QString &tabelle, const QByteArray &csv,
                               const QString &dateiName)
{
    Frequenzdaten::tabelle(tabelle);
    // The file is checked whole before the database is touched.
    return importieren(datenbank, tabelle, csvLesen(csv, dateiName), dateiName);
}

int Frequenzdaten::importieren(const QString &datenbank, const QString &tabelle, const Csv::Tabelle &daten,
                               const QString &dateiName)
{
    const QString t = Frequenzdaten::tabelle(tabelle);
    return Frequenzdaten::ersetzen(datenbank, {Liste{t, daten, dateiName}}).first();
}

QStringList Frequenzdaten::zuordnen(const QString &tabelle, const QStringList &spalten, const QStringList &namen)
{
    QStringList ziel;
    for (const QString &name : namen) {
        QString gefunden;
        for (const QString &s : spalten)
            if (s.compare(name, Qt::CaseInsensitive) == 0)
                gefunden = s;
        if (gefunden.isEmpty())
            throw DatenFehler(QStringLiteral("Die Tabelle %1 hat keine Spalte %2. Ihre Spalten sind: %3.")
                                  .arg(tabelle, zitiert(name), spalten.join(QStringLiteral(", "))));
        ziel.append(gefunden);
    }
    return ziel;
}

QList<int> Frequenzdaten::ersetzen(const QString &datenbank, const QList<Liste> &listen)
{
    Datenbank db(datenbank, Datenbank::Art::LesenSchreiben);
    // Every list's columns are checked before anything is written.
    QList<QStringList> ziele;
    for (const Liste &l : listen)
        ziele.append(zielSpalten(db, Frequenzdaten::tabelle(l.tabelle), l.daten, l.quelle));
    // A list replaced is no longer the one shipped: its origin goes with it.
    const bool mitHerkunft = hatTabelle(db, herkunftTabelle());
    QList<int> anzahl;
    db.transaktion(gesperrt, nichtGespeichert, [&] {
        for (int i = 0; i < listen.size(); ++i) {
            const Liste &l = listen.at(i);
            const QString t = Frequenzdaten::tabelle(l.tabelle);
            ::ersetzen(db, t, ziele.at(i), l.daten, l.quelle);
            anzahl.append(int(l.daten.zeilen.size()));
            if (mitHerkunft) {
                Anweisung weg(db, QStringLiteral("delete from herkunft where tabelle = ?"),
                              QStringLiteral("Die Tabelle herkunft kann nicht geschrieben werden."));
                weg.binde(1, t);
                weg.ausfuehren();
            }
        }
    });
    return anzahl;
}

QByteArray Frequenzdaten::exportieren(const QString &datenbank, const QString &tabelle)
{
    const QString t = Frequenzdaten::tabelle(tabelle);
    Datenbank db(datenbank, Datenbank::Art::NurLesen);
    const QStringList spalten = db.spalten(t);
    QStringList namen;
    for (const QString &s : spalten)
        namen.append(sqlName(s));

    QList<Csv::Zeile> zeilen;
    Anweisung abfrage(db,
                      QStringLiteral("select %1 from %2 order by rowid").arg(namen.join(QLatin1Char(',')), sqlName(t)),
                      QStringLiteral("Die Tabelle %1 kann nicht gelesen werden.").arg(t));
    int rc;
    while ((rc = sqlite3_step(*abfrage)) == SQLITE_ROW) {
        Csv::Zeile zeile;
        for (int k = 0; k < spalten.size(); ++k) {
            if (sqlite3_column_type(*abfrage, k) == SQLITE_NULL) {
                zeile.append(Csv::Feld());
            } else {
                const char *text = reinterpret_cast<const char *>(sqlite3_column_text(*abfrage, k));
                zeile.append(QString::fromUtf8(text, sqlite3_column_bytes(*abfrage, k)));
            }
        }
        zeilen.append(zeile);
    }
    if (rc != SQLITE_DONE)
        throw DatenFehler(QStringLiteral("Die Tabelle %1 kann nicht gelesen werden.").arg(t), db.text());
    return Csv::schreiben(spalten, zeilen);
}
