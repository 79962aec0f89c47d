// SPDX-License-Identifier: GPL-3.0-or-later
// The import cases of tremvik-bench: a large file into the log, and records
// of very many fields, next to a floor of what any reader must do.
//
//   bench log-import rows=N          an ADI file of N records, as another
//       logbook writes them, into a new log (the whole import: reading,
//       checking, the duplicate keys, writing); floor: the same rows
//       inserted raw with one prepared statement in one transaction.
//   bench import-fields-adi rows=N   one record of N fields (ADI), the
//   bench import-fields-adx rows=N   same as ADX, and a CSV header of N
//   bench import-columns-csv rows=N  columns; floor: the file's bytes
//       decoded and walked once.
//
// rss_mb is the peak resident memory of the process during our runs.

#include "bench.h"
#include "kern/austausch/logaustausch.h"

#include <QFile>
#include <QStringList>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

using Bench::median;
using Bench::spitzeMb;
using Bench::spitzeZuruecksetzen;

// Runs ours and the floor laeufe times each (after preparing each run) and
// prints the line.
void fall(const char *name, int zeilen, int laeufe, const std::function<void()> &vorbereiten,
          const std::function<void()> &unser, const std::function<void()> &boden)
{
    if (!Bench::gewaehlt(name))
        return;
    std::vector<double> u, b;
    double spitze = 0;
    for (int i = 0; i < laeufe; ++i) {
        vorbereiten();
        spitzeZuruecksetzen();
        u.push_back(Bench::miss(unser));
        spitze = std::max(spitze, spitzeMb());
        vorbereiten();
        b.push_back(Bench::miss(boden));
    }
    const double mu = median(u), mb = median(b);
    std::printf("bench %s rows=%d ms=%.2f floor_ms=%.2f ratio=%.2f rss_mb=%.1f\n", name, zeilen, mu, mb,
                mb > 0 ? mu / mb : 0.0, spitze);
    std::fflush(stdout);
}

void ausfuehren(sqlite3 *db, const char *sql)
{
    char *fehler = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &fehler) != SQLITE_OK) {
        std::fprintf(stderr, "tremvik-bench: %s\n", fehler);
        std::exit(1);
    }
}

void neuerLog(const QString &datei)
{
    QFile::remove(datei);
    QFile schema(QStringLiteral(TREMVIK_QUELLEN "/db/kontakt.sql"));
    schema.open(QIODevice::ReadOnly);
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(datei).constData(), &db);
    ausfuehren(db, schema.readAll().constData());
    sqlite3_close(db);
}

// The values of one reception, drawn the same way for the file and the floor.
struct Empfang
{
    QByteArray call, datum, zeit, freq, name, ort;
};

class Ziehung
{
public:
    Empfang naechster()
    {
        Empfang e;
        e.call = "DL" + QByteArray::number(int(z() % 10)) + char('A' + z() % 26) + char('A' + z() % 26)
                 + char('A' + z() % 26);
        e.datum = QByteArray::number(2000 + int(z() % 25)) + QByteArray::number(101 + int(z() % 12)).right(2)
                  + QByteArray::number(101 + int(z() % 28)).right(2);
        e.zeit = QByteArray::number(100 + int(z() % 24)).right(2) + QByteArray::number(100 + int(z() % 60)).right(2);
        e.freq = QByteArray::number(int(27 + z() % 420)) + '.' + QByteArray::number(int(100 + z() % 900));
        e.name = "Max";
        e.ort = "Ort " + QByteArray::number(int(z() % 1000));
        return e;
    }

private:
    std::mt19937 z{7};
};

QByteArray feld(const char *name, const QByteArray &wert)
{
    return '<' + QByteArray(name) + ':' + QByteArray::number(wert.size()) + '>' + wert + ' ';
}

void schreibeAdi(const QString &datei, int n)
{
    QFile f(datei);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write("Export von AnderesLog\r\n<ADIF_VER:5>3.1.4 <EOH>\r\n");
    Ziehung z;
    QByteArray stueck;
    for (int i = 0; i < n; ++i) {
        const Empfang e = z.naechster();
        stueck += feld("CALL", e.call) + feld("QSO_DATE", e.datum) + feld("TIME_ON", e.zeit) + feld("FREQ", e.freq)
                  + feld("MODE", "FM") + feld("NAME", e.name) + feld("QTH", e.ort) + feld("COUNTRY", "Deutschland")
                  + feld("RST_SENT", "59") + "<EOR>\r\n";
        if (stueck.size() > 1 << 20) {
            f.write(stueck);
            stueck.clear();
        }
    }
    f.write(stueck);
}

// The floor: the same rows as the log stores them, raw.
void rohEinfuegen(const QString &datei, int n)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(datei).constData(), &db);
    ausfuehren(db, "begin immediate");
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into Kontakt (callsign, skip, vorname, land, swert, rwert, datum, uhrzeit, lanal,"
                       " frequenz, band, ort, bemerkung) values (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &s, nullptr);
    Ziehung z;
    for (int i = 0; i < n; ++i) {
        const Empfang e = z.naechster();
        const QByteArray datum = e.datum.mid(6, 2) + '.' + e.datum.mid(4, 2) + '.' + e.datum.left(4);
        const QByteArray zeit = e.zeit.left(2) + ':' + e.zeit.mid(2);
        const QByteArray freq = QByteArray(e.freq).replace('.', ',');
        const QByteArray werte[] = {e.call, "Max", "Deutschland", "9", "5", datum, zeit, freq, "FM", e.ort};
        const int spalten[] = {1, 3, 4, 5, 6, 7, 8, 10, 11, 12};
        for (int c = 0; c < 10; ++c)
            sqlite3_bind_text(s, spalten[c], werte[c].constData(), int(werte[c].size()), SQLITE_TRANSIENT);
        for (int c : {2, 9, 13})
            sqlite3_bind_null(s, c);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    ausfuehren(db, "commit");
    sqlite3_close(db);
}

// The least a reader of the file does: decode its bytes and look at each
// character once.
void rohLesen(const QString &datei)
{
    QFile f(datei);
    f.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(f.readAll());
    volatile qsizetype spitz = text.count(QLatin1Char('<'));
    (void)spitz;
}

}   // namespace

namespace Bench {

void importFaelle(const QString &ordner, int zeilen)
{
    const QString log = ordner + QStringLiteral("/import.dorlem-fasq");
    const AdifZuordnung::Zeitbezug utc{false, QTimeZone::utc()};

    if (Bench::gewaehlt("log-import")) {
        const QString adi = ordner + QStringLiteral("/gross.adi");
        schreibeAdi(adi, zeilen);
        fall(
            "log-import", zeilen, zeilen > 100000 ? 1 : 3, [&] { neuerLog(log); },
            [&] { Logaustausch::importieren(log, adi, utc, false); }, [&] { rohEinfuegen(log, zeilen); });
        QFile::remove(adi);
    }

    const int felder = 40000;
    QByteArray verschieden = "<CALL:6>DL1ABC ", adx = "<ADX><RECORDS><RECORD><CALL>DL1ABC</CALL>", kopf = "CallSign",
               zeile = "DL1ABC";
    for (int k = 0; k < felder; ++k) {
        const QByteArray name = "F" + QByteArray::number(k);
        verschieden += "<" + name + ":1>x ";
        adx += "<" + name + ">x</" + name + ">";
        kopf += ";" + name;
        zeile += ";x";
    }
    verschieden += "<EOR>";
    adx += "</RECORD></RECORDS></ADX>";
    const struct
    {
        const char *name;
        QString datei;
        QByteArray inhalt;
    } faelle[] = {
        {"import-fields-adi", ordner + QStringLiteral("/felder.adi"), verschieden},
        {"import-fields-adx", ordner + QStringLiteral("/felder.adx"), adx},
        {"import-columns-csv", ordner + QStringLiteral("/spalten.csv"), kopf + "\r\n" + zeile + "\r\n"},
    };
    for (const auto &f : faelle) {
        QFile d(f.datei);
        d.open(QIODevice::WriteOnly | QIODevice::Truncate);
        d.write(f.inhalt);
        d.close();
        fall(
            f.name, felder, 5, [&] { neuerLog(log); }, [&] { Logaustausch::importieren(log, f.datei, utc, false); },
            [&] { rohLesen(f.datei); });
        QFile::remove(f.datei);
    }
    QFile::remove(log);
}

}   // namespace Bench
