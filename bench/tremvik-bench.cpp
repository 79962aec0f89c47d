// SPDX-License-Identifier: GPL-3.0-or-later
// tremvik-bench: how quick the list and log windows' data work is, measured
// in-process through the real data view and grid model, next to a floor made
// of raw sqlite3 calls that do the least the screen needs.
//
//   tremvik-bench [--groessen 10000,100000,1000000] [--log 1000,10000,100000]
//                 [--stats 100000] [--start 200000] [--import 1000000]
//                 [--nur list,log,remark,stats,start,import,scan] [--cpu]
//
// --nur runs only the cases of the given groups, or the cases whose names
// begin with one of the given words (default: all groups; the case start is
// one of the log group's, start-due-backup the start group's). --cpu
// measures the CPU time of the measuring thread instead of the time on the
// clock, for a machine busy with other work.
//
// The list cases: list-load (count and first screen), list-search, the
// jumps to the last and to the middle screen of the sorted list
// (list-jump-end, list-jump-middle: count, then that screen), and
// list-scroll-end (every row in order, screen by screen), and
// list-sort-freq (the list sorted by its frequencies, as a click on the
// header asks: count, then the first screen). scan-sweep (suchlauf.cpp):
// one sweep of the scan over 1,000 channels against a fake receiver. The
// log cases:
// log-load, log-search, log-save, and start (the program starting with its
// log window). start-due-backup: the program starting on a day with the
// automatic backup due, up to a usable log window; its floor is the same
// start with no backup due. The remark cases: remark-read, remark-write and
// remark-fonts (the remark's RTF read and written), remark-fonts-show (a run
// in a font of its own each, drawn) and remark-show (32,000 runs shown in the
// log window's remark box).
//
// The import cases are in importfaelle.cpp.
//
// Prints one line per case:
//   bench CASE rows=N ms=X floor_ms=Y ratio=R rss_mb=M
// ms and floor_ms are medians over several runs; rss_mb is the peak resident
// memory of the process during the case.

#include "bench.h"
#include "fenster/auswertung/frm_statistik.h"
#include "fenster/bausteine/datenbindung.h"
#include "fenster/bausteine/geometrie.h"
#include "fenster/haupt/frm_main.h"
#include "fenster/log/bemerkungsfeld.h"
#include "fenster/log/frm_eintrag.h"
#include "kern/auswertung/statistik.h"
#include "kern/basis/programmverzeichnis.h"
#include "kern/bestaende/logdatum.h"
#include "kern/daten/abfrage.h"
#include "kern/daten/adodc.h"
#include "kern/daten/sortierung.h"
#include "kern/daten/unicodelike.h"
#include "kern/daten/verbindung.h"
#include "kern/formate/rtf.h"
#include "kern/sicherung/autosicherung.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

namespace {

using Bench::median;
using Bench::miss;
using Bench::spitzeMb;

constexpr int Bildschirm = 40;   // rows of the first screen
constexpr int Laeufe = 5;

void ausfuehren(sqlite3 *db, const char *sql)
{
    char *fehler = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &fehler) != SQLITE_OK) {
        std::fprintf(stderr, "tremvik-bench: %s\n", fehler);
        std::exit(1);
    }
}

// The grid and its data view, as a list or log window builds them before
// its load handler runs; building them is not part of what is measured.
struct Fenster
{
    QTableView grid;
    Adodc daten;
    Fenster(const QString &verbindung, const QString &tabelle, Verbindung::Zugriff zugriff,
            const QVector<GridSpalte> &spalten)
        : daten(verbindung, Abfrage::tabelle(tabelle), zugriff, nullptr)
    {
        Datenbindung::grid(&daten, &grid, spalten);
    }
};
std::unique_ptr<Fenster> fenster;

void fall(
    const char *name, int zeilen, const std::function<void()> &unser, const std::function<void()> &boden,
    const std::function<void()> &vorbereiten = [] {})
{
    if (!Bench::gewaehlt(name))
        return;
    vorbereiten();
    unser();   // warm the file cache once
    boden();
    std::vector<double> u, b;
    Bench::spitzeZuruecksetzen();
    for (int i = 0; i < Laeufe; ++i) {
        vorbereiten();
        u.push_back(miss(unser));
        b.push_back(miss(boden));
    }
    fenster.reset();
    const double mu = median(u), mb = median(b);
    std::printf("bench %s rows=%d ms=%.2f floor_ms=%.2f ratio=%.2f rss_mb=%.1f\n", name, zeilen, mu, mb,
                mb > 0 ? mu / mb : 0.0, spitzeMb());
    std::fflush(stdout);
}

// Raw floor: open, count, and step the statement (reading every column of
// the rows the screen shows, or just stepping every row).
struct Roh
{
    sqlite3 *db = nullptr;
    explicit Roh(const QString &datei, bool schreibend = false)
    {
        sqlite3_open_v2(QFile::encodeName(datei).constData(), &db,
                        schreibend ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, nullptr);
        registriereUnicodeLike(db);
    }
    ~Roh() { sqlite3_close(db); }
    int zahl(const char *sql)
    {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        sqlite3_step(s);
        const int n = sqlite3_column_int(s, 0);
        sqlite3_finalize(s);
        return n;
    }
    int zeilen(const char *sql, int hoechstens, bool lesen)
    {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        int n = 0, spalten = sqlite3_column_count(s);
        volatile int summe = 0;
        while ((hoechstens < 0 || n < hoechstens) && sqlite3_step(s) == SQLITE_ROW) {
            if (lesen)
                for (int c = 0; c < spalten; ++c)
                    summe += sqlite3_column_bytes(s, c) + (sqlite3_column_text(s, c) ? 1 : 0);
            ++n;
        }
        sqlite3_finalize(s);
        return n;
    }
};

void erzeugeFrequenzen(const QString &datei, int n)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(datei).constData(), &db);
    ausfuehren(db, "pragma journal_mode=delete; pragma synchronous=off; begin;"
                   "create table bos (BL TEXT, Ort TEXT, Benutzer TEXT, Rufname TEXT, Kanal TEXT, Freq TEXT);");
    static const char *orte[] = {"Hamburg",    "München",  "Berlin",   "Köln",   "Frankfurt", "Stuttgart",
                                 "Düsseldorf", "Leipzig",  "Dortmund", "Essen",  "Bremen",    "Dresden",
                                 "Hannover",   "Nürnberg", "Duisburg", "Bochum", "Wuppertal", "Bielefeld",
                                 "Bonn",       "Münster",  "Hameln",   "Ulm",    "Kiel",      "Lübeck",
                                 "Rostock",    "Erfurt",   "Mainz",    "Kassel", "Aachen",    "Trier"};
    static const char *laender[] = {"HH", "BY", "BE", "NW", "HE", "BW", "SN", "NI", "SH", "MV", "TH", "RP"};
    static const char *benutzer[] = {"Feuerwehr", "Rettungsdienst", "THW", "Polizei", "DLRG", "Katastrophenschutz"};
    static const char *rufe[] = {"Florian", "Rotkreuz", "Heros", "Pegasus", "Pelikan", "Akkon"};
    std::mt19937 zufall(42);
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, "insert into bos values (?,?,?,?,?,?)", -1, &s, nullptr);
    for (int i = 0; i < n; ++i) {
        const int o = zufall() % 30, b = zufall() % 6, k = 100 + zufall() % 400;
        const QByteArray ort = QByteArray(orte[o]) + ' ' + QByteArray::number(int(zufall() % 500));
        const QByteArray ruf = QByteArray(rufe[b]) + ' ' + orte[o] + ' ' + QByteArray::number(int(zufall() % 90)) + '/'
                               + QByteArray::number(int(zufall() % 50));
        const QByteArray freq = QByteArray::number(84 + k / 50) + ',' + QByteArray::number(100 + zufall() % 900);
        sqlite3_bind_text(s, 1, laender[zufall() % 12], -1, SQLITE_STATIC);
        sqlite3_bind_text(s, 2, ort.constData(), ort.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 3, benutzer[b], -1, SQLITE_STATIC);
        sqlite3_bind_text(s, 4, ruf.constData(), ruf.size(), SQLITE_TRANSIENT);
        const QByteArray kanal = QByteArray::number(k);
        sqlite3_bind_text(s, 5, kanal.constData(), kanal.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 6, freq.constData(), freq.size(), SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    ausfuehren(db, "create index bos_Ort on bos (Ort); commit;");
    sqlite3_close(db);
}

// A new log file with the program's table, a transaction open for filling.
sqlite3 *neuerLog(const QString &datei)
{
    QFile schema(QStringLiteral(TREMVIK_QUELLEN "/db/kontakt.sql"));
    schema.open(QIODevice::ReadOnly);
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(datei).constData(), &db);
    ausfuehren(db, schema.readAll().constData());
    ausfuehren(db, "pragma synchronous=off; begin;");
    return db;
}

void erzeugeLog(const QString &datei, int n)
{
    sqlite3 *db = neuerLog(datei);
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into Kontakt (callsign, skip, vorname, land, swert, rwert, datum, uhrzeit, lanal,"
                       " frequenz, band, ort, bemerkung) values (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &s, nullptr);
    std::mt19937 zufall(7);
    const QByteArray rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Guter Empfang, \\b stark\\b0 .\\par }";
    for (int i = 0; i < n; ++i) {
        const QByteArray call = "DL" + QByteArray::number(int(zufall() % 10)) + QByteArray(1, char('A' + zufall() % 26))
                                + QByteArray(1, char('A' + zufall() % 26)) + QByteArray(1, char('A' + zufall() % 26));
        const QByteArray freq =
            QByteArray::number(int(27 + zufall() % 420)) + ',' + QByteArray::number(int(100 + zufall() % 900));
        const QByteArray werte[] = {call,
                                    "Funker",
                                    "Max",
                                    "Deutschland",
                                    "9+30",
                                    "5",
                                    QByteArray::number(int(1 + zufall() % 28)) + ".06.2006",
                                    "21:45",
                                    QByteArray::number(int(zufall() % 80)),
                                    freq,
                                    "FM",
                                    "Ort " + QByteArray::number(int(zufall() % 1000)),
                                    rtf};
        for (int c = 0; c < 13; ++c)
            sqlite3_bind_text(s, c + 1, werte[c].constData(), werte[c].size(), SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    ausfuehren(db, "commit;");
    sqlite3_close(db);
}

QVector<int> zahlen(const QString &text)
{
    QVector<int> v;
    for (const QString &t : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        v << t.toInt();
    return v;
}

// One screen of the grid from a row on: every column of its rows.
void bildschirm(QAbstractItemModel *m, int ab)
{
    const int n = std::min(ab + Bildschirm, m->rowCount());
    for (int r = std::max(0, ab); r < n; ++r)
        for (int c = 0; c < m->columnCount(); ++c)
            m->index(r, c).data();
}

void ersterBildschirm(QAbstractItemModel *m)
{
    bildschirm(m, 0);
}

const QVector<GridSpalte> bosSpalten = {
    {"BL", "BL", 690},        {"Ort", "Ort", 3630},  {"Benutzer", "Benutzer", 1140}, {"Rufname", "Rufname", 2085},
    {"Kanal", "Kanal", 2085}, {"Freq", "Freq", 1710}};
const QVector<GridSpalte> logSpalten = {{"Frequenz", "frequenz", 2655},
                                        {"Datum", "datum", 1875},
                                        {"CallSign", "callsign", 2310},
                                        {"QTH", "ort", 1995},
                                        {"R-Wert", "rwert", 1215}};

// A case of loading: the data view runs the query, counts and fills the
// first screen of the grid; the floor counts and reads the same rows raw.
void ladefall(const char *name, int n, const QString &datei, const std::function<void()> &neu, const Abfrage &abfrage,
              const char *sql, const char *zaehlSql)
{
    fall(
        name, n,
        [&] {
            Adodc &a = fenster->daten;
            a.setRecordSource(abfrage);
            a.Refresh();
            volatile int anzahl = a.RecordCount();
            (void)anzahl;
            ersterBildschirm(a.modell());
        },
        [&] {
            Roh r(datei);
            r.zahl(zaehlSql);
            r.zeilen(sql, Bildschirm, true);
        },
        neu);
}

// The whole list sorted by another column, its frequencies as numbers: the
// data view orders the keys once and reads the first screen by them. The
// floor steps the same ordered query raw, the same collations registered, to
// the end of the first screen (SQLite sorts every row before the first).
void sortierFall(const QString &datei, int n, const std::function<void()> &neu)
{
    const Abfrage alle = Abfrage::alle(QStringLiteral("bos"), QStringLiteral("Ort"));
    const Abfrage::Ordnung freq{QStringLiteral("Freq"), Abfrage::Richtung::Auf, Sortierung::frequenz};
    const QByteArray sql = alle.geordnet(freq).text().toUtf8();
    fall(
        "list-sort-freq", n,
        [&] {
            Adodc &a = fenster->daten;
            a.zeige(alle, freq);
            volatile int anzahl = a.RecordCount();
            (void)anzahl;
            ersterBildschirm(a.modell());
        },
        [&] {
            Roh r(datei);
            Sortierung::registrieren(r.db);
            r.zahl("select count(*) from bos");
            r.zeilen(sql.constData(), Bildschirm, true);
        },
        neu);
}

void listenFaelle(const QString &ordner, int n)
{
    const QString datei = ordner + QLatin1Char('/') + Verbindung::dateiName(Verbindungstext::frequenzen);
    QFile::remove(datei);
    erzeugeFrequenzen(datei, n);
    Programmverzeichnis::setzen(ordner);

    auto neu = [] {
        fenster.reset();
        fenster = std::make_unique<Fenster>(Verbindungstext::frequenzen, QStringLiteral("bos"),
                                            Verbindung::Zugriff::NurLesen, bosSpalten);
    };
    const Abfrage alle = Abfrage::alle(QStringLiteral("bos"), QStringLiteral("Ort"));
    ladefall("list-load", n, datei, neu, alle, "select * from [bos] order by Ort asc", "select count(*) from bos");
    ladefall("list-search", n, datei, neu, Abfrage::suche(alle, QStringLiteral("Ort"), QStringLiteral("Ham")),
             "select * from [bos] where Ort like '%Ham%' order by Ort asc",
             "select count(*) from bos where Ort like '%Ham%'");

    // The floor of the jumps and the scroll: count, then step every row of
    // the sorted list, as a reader without positions must.
    auto allesRoh = [&] {
        Roh r(datei);
        r.zahl("select count(*) from bos");
        r.zeilen("select * from [bos] order by Ort asc", -1, false);
    };
    // Count, then show the screen that starts at a row (-1: the last one).
    auto sprung = [&](double anteil) {
        Adodc &a = fenster->daten;
        a.setRecordSource(alle);
        a.Refresh();
        const int zeilen = a.RecordCount();
        bildschirm(a.modell(), std::min(int(zeilen * anteil), zeilen - Bildschirm));
    };
    fall(
        "list-jump-end", n, [&] { sprung(1.0); }, allesRoh, neu);
    fall(
        "list-jump-middle", n, [&] { sprung(0.5); }, allesRoh, neu);
    fall(
        "list-scroll-end", n,
        [&] {
            Adodc &a = fenster->daten;
            a.setRecordSource(alle);
            a.Refresh();
            auto *m = a.modell();
            const int letzte = a.RecordCount() - 1;
            // Every row in order, as a grid scrolled to the end reads them;
            // the last screen with all its columns.
            for (int r = 0; r <= letzte; ++r)
                m->index(r, 0).data();
            bildschirm(m, letzte - Bildschirm + 1);
        },
        allesRoh, neu);
    sortierFall(datei, n, neu);
    QFile::remove(datei);
}

void logFaelle(const QString &ordner, int n)
{
    const QString datei = ordner + QLatin1Char('/') + Verbindung::dateiName(Verbindungstext::log);
    QFile::remove(datei);
    erzeugeLog(datei, n);
    Programmverzeichnis::setzen(ordner);
    const char *laden = "select * from [Kontakt] order by frequenz asc";
    const char *suchen = "select * from [Kontakt] where callSign Like '%DL1A%' order by frequenz asc";
    const Abfrage alle = Abfrage::alle(QStringLiteral("Kontakt"), QStringLiteral("frequenz"));

    auto neu = [] {
        fenster.reset();
        fenster = std::make_unique<Fenster>(Verbindungstext::log, QStringLiteral("Kontakt"),
                                            Verbindung::Zugriff::LesenSchreiben, logSpalten);
    };
    ladefall("log-load", n, datei, neu, alle, laden, "select count(*) from Kontakt");
    ladefall("log-search", n, datei, neu,
             Abfrage::suche(alle, QStringLiteral("callSign"), QStringLiteral("DL1A"), QStringLiteral("Like")), suchen,
             "select count(*) from Kontakt where callSign like '%DL1A%'");

    // One save of a changed record through the data view of an open window,
    // next to one raw UPDATE with its commit.
    QTableView grid;
    Adodc a(Verbindungstext::log, Abfrage::tabelle(QStringLiteral("Kontakt")), Verbindung::Zugriff::LesenSchreiben,
            nullptr);
    Datenbindung::grid(&a, &grid, logSpalten);
    QVector<QLineEdit *> felder;
    for (const char *f : {"callsign", "skip", "vorname", "land", "swert", "rwert", "datum", "uhrzeit", "lanal",
                          "frequenz", "band", "ort"}) {
        felder << new QLineEdit;
        Datenbindung::feld(&a, felder.back(), QString::fromLatin1(f));
    }
    a.setRecordSource(alle);
    a.Refresh();
    ersterBildschirm(a.modell());
    Roh roh(datei, true);
    int zaehler = 0;
    fall(
        "log-save", n,
        [&] {
            felder[0]->setText(QStringLiteral("DK%1").arg(++zaehler));
            a.Update();
        },
        [&] {
            sqlite3_stmt *s = nullptr;
            sqlite3_prepare_v2(roh.db, "update Kontakt set callsign = ? where id = ?", -1, &s, nullptr);
            const QByteArray wert = "DR" + QByteArray::number(++zaehler);
            sqlite3_bind_text(s, 1, wert.constData(), wert.size(), SQLITE_TRANSIENT);
            sqlite3_bind_int(s, 2, 2);
            sqlite3_step(s);
            sqlite3_finalize(s);
        });
    qDeleteAll(felder);

    // Starting the program: the main window and, through its load handler,
    // the log window over this log. The floor loads the same first screen raw.
    fall(
        "start", n,
        [] {
            frm_main haupt;
            haupt.zeigen();
            QApplication::processEvents();
        },
        [&] {
            Roh r(datei);
            r.zahl("select count(*) from Kontakt");
            r.zeilen(laden, Bildschirm, true);
        });
}

// The start on a day with the automatic backup due, up to a usable log
// window (its first screen read), next to the same start with no backup
// due. The backup then runs on; each start's program is ended (and a
// running backup with it) before the next one is measured, untimed.
void startMitSicherung(const QString &ordner, int n)
{
    const QString datei = ordner + QLatin1Char('/') + Verbindung::dateiName(Verbindungstext::log);
    QFile::remove(datei);
    erzeugeLog(datei, n);
    Programmverzeichnis::setzen(ordner);
    const QString sicherungen = Autosicherung::standardOrdner();
    std::unique_ptr<frm_main> haupt;
    bool liefNicht = false;
    auto starte = [&](bool faellig) {
        haupt.reset();
        QDir(sicherungen).removeRecursively();
        Autosicherung::setzeVorgabe(faellig);
        const double ms = miss([&] {
            haupt = std::make_unique<frm_main>();
            haupt->zeigen();
            QApplication::processEvents();
            if (auto *log = qobject_cast<frm_eintrag *>(haupt->frm_eintrag()))
                ersterBildschirm(log->DataGrid1->model());
        });
        if (faellig && !haupt->autosicherung()->laeuft())
            liefNicht = true;
        return ms;
    };
    starte(true);   // warm the file cache once
    starte(false);
    // More runs than elsewhere: a start is short, and a thread more or less
    // on a busy machine shows in a few of them.
    std::vector<double> u, b;
    Bench::spitzeZuruecksetzen();
    for (int i = 0; i < 6 * Laeufe; ++i) {
        u.push_back(starte(true));
        b.push_back(starte(false));
    }
    haupt.reset();
    Autosicherung::setzeVorgabe(false);
    if (liefNicht)
        std::fprintf(stderr, "tremvik-bench: start-due-backup: die Sicherung lief nicht im Hintergrund\n");
    const double mu = median(u), mb = median(b);
    std::printf("bench start-due-backup rows=%d ms=%.2f floor_ms=%.2f ratio=%.2f rss_mb=%.1f\n", n, mu, mb,
                mb > 0 ? mu / mb : 0.0, spitzeMb());
    std::fflush(stdout);
    QDir(sicherungen).removeRecursively();
    QFile::remove(datei);
}

// One paragraph of n formatting runs, as the log's remark could hold it:
// alternating bold and italic words, or (vielfalt) every run in a font and
// colour of its own. The runs are also given raw, as the floor inserts them.
struct Bemerkung
{
    QString rtf;
    QList<QPair<QString, QTextCharFormat>> laeufe;
};

Bemerkung bemerkung(int n, bool vielfalt)
{
    Bemerkung b;
    QString schriften = QStringLiteral("{\\f0 Arial;}"), farben, text;
    for (int i = 0; i < n; ++i) {
        const QString wort = QStringLiteral("Wort%1 ").arg(i);
        QTextCharFormat f;
        f.setFontPointSize(12);
        if (vielfalt) {
            const QString familie = QStringLiteral("Schrift %1").arg(i);
            const QColor farbe(i % 256, i / 256 % 256, 128);
            schriften += QStringLiteral("{\\f%1 %2;}").arg(i + 1).arg(familie);
            farben += QStringLiteral("\\red%1\\green%2\\blue%3;").arg(farbe.red()).arg(farbe.green()).arg(farbe.blue());
            text += QStringLiteral("{\\f%1\\cf%1 %2}").arg(i + 1).arg(wort);
            f.setFontFamilies({familie});
            f.setForeground(farbe);
        } else {
            text += QString::fromLatin1(i % 2 ? "{\\i %1}" : "{\\b %1}").arg(wort);
            f.setFontFamilies({QStringLiteral("Arial")});
            f.setFontWeight(i % 2 ? QFont::Normal : QFont::Bold);
            f.setFontItalic(i % 2);
        }
        b.laeufe.append({wort, f});
    }
    b.rtf =
        QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl%1}{\\colortbl;%2}\\pard %3\\par}").arg(schriften, farben, text);
    return b;
}

// Floor of reading: the runs, already parsed, put into the document in one
// edit, as the least the remark box needs to show them.
void rohEinfuegen(const Bemerkung &b, QTextDocument *d)
{
    d->clear();
    QTextCursor c(d);
    c.beginEditBlock();
    for (const auto &lauf : b.laeufe)
        c.insertText(lauf.first, lauf.second);
    c.endEditBlock();
}

// Floor of writing: every run's text and format visited once.
void rohAblaufen(const QTextDocument &d)
{
    QString text;
    volatile int formate = 0;
    for (QTextBlock block = d.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            text += it.fragment().text();
            formate += it.fragment().charFormatIndex();
        }
}

// The remark as the log window loads and stores it: read through Rtf::lesen
// into the document of a rich-text box, written back with Rtf::schreiben.
void bemerkungsFaelle(int n)
{
    const Bemerkung laeufe = bemerkung(n, false);
    QTextEdit feld, boden;
    fall(
        "remark-read", n, [&] { Rtf::lesen(laeufe.rtf, feld.document()); },
        [&] { rohEinfuegen(laeufe, boden.document()); });
    // What remark-read left in the boxes is written; measured alone (--nur),
    // the boxes are filled first.
    fall(
        "remark-write", n, [&] { (void)Rtf::schreiben(*feld.document()); }, [&] { rohAblaufen(*boden.document()); },
        [&] {
            if (feld.document()->isEmpty()) {
                Rtf::lesen(laeufe.rtf, feld.document());
                rohEinfuegen(laeufe, boden.document());
            }
        });

    // Every run in a font and colour of its own: the tables of the reader,
    // of the document and of the writer grow with the runs.
    const Bemerkung vielfalt = bemerkung(n, true);
    fall(
        "remark-fonts", n,
        [&] {
            Rtf::lesen(vielfalt.rtf, feld.document());
            (void)Rtf::schreiben(*feld.document());
        },
        [&] {
            rohEinfuegen(vielfalt, boden.document());
            rohAblaufen(*boden.document());
        });
}

// A remark of n runs alternating bold and italic in one paragraph, shown as
// the log window shows a record's remark: read into the window's remark box
// (at its size) and laid out and drawn. Floor: the same words as one plain
// run, put into a text box raw and drawn.
void bemerkungImFeld(int n)
{
    const Bemerkung laeufe = bemerkung(n, false);
    QString worte;
    for (const auto &lauf : laeufe.laeufe)
        worte += lauf.first;
    Bemerkungsfeld feld;
    QTextEdit boden;
    for (QTextEdit *e : {static_cast<QTextEdit *>(&feld), &boden}) {
        e->setFont(Geometrie::schrift(QStringLiteral("Arial"), 12));
        e->setGeometry(Geometrie::rechteck(0, 0, 6735, 3975));
        e->show();
    }
    fall(
        "remark-show", n,
        [&] {
            feld.zeigeRtf(laeufe.rtf);
            (void)feld.grab();
        },
        [&] {
            boden.clear();
            QTextCursor(boden.document()).insertText(worte);
            (void)boden.grab();
        });
}

// A remark whose every run names a font of its own that is not installed,
// as the log window shows it: read into the remark box and drawn. Floor: as
// many runs in two fonts, put into the document raw and drawn.
void bemerkungZeigen(int n)
{
    const Bemerkung vielfalt = bemerkung(n, true), schlicht = bemerkung(n, false);
    QTextEdit feld, boden;
    for (QTextEdit *e : {&feld, &boden}) {
        e->resize(600, 400);
        e->show();
    }
    fall(
        "remark-fonts-show", n,
        [&] {
            Rtf::lesen(vielfalt.rtf, feld.document());
            (void)feld.grab();
        },
        [&] {
            rohEinfuegen(schlicht, boden.document());
            (void)boden.grab();
        });
}

// A log for the statistics: dates over ten years (some that cannot be
// read), times around the clock, a few modulations, countries and many
// places and call signs.
void erzeugeStatistikLog(const QString &datei, int n)
{
    sqlite3 *db = neuerLog(datei);
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into Kontakt (callsign, land, datum, uhrzeit, frequenz, band, ort, bemerkung)"
                       " values (?,?,?,?,?,?,?,?)",
                       -1, &s, nullptr);
    static const char *laender[] = {"Deutschland", "Österreich", "Schweiz", "Niederlande", "Dänemark", "Polen"};
    static const char *arten[] = {"FM", "AM", "USB", "LSB", "CW", "DMR"};
    std::mt19937 zufall(11);
    const QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Guter Empfang.\\par }";
    for (int i = 0; i < n; ++i) {
        const QByteArray datum = zufall() % 50 == 0 ? QByteArray("31.02.2010")
                                                    : QByteArray::number(int(1 + zufall() % 28)) + '.'
                                                          + QByteArray::number(int(1 + zufall() % 12)) + '.'
                                                          + QByteArray::number(int(2010 + zufall() % 10));
        const QByteArray werte[] = {
            "DL" + QByteArray::number(int(zufall() % 10)) + QByteArray(1, char('A' + zufall() % 26))
                + QByteArray(1, char('A' + zufall() % 26)),
            laender[zufall() % 6],
            datum,
            QByteArray::number(int(zufall() % 24)) + ':' + QByteArray::number(int(10 + zufall() % 50)),
            QByteArray::number(int(27 + zufall() % 420)) + ',' + QByteArray::number(int(100 + zufall() % 900)),
            arten[zufall() % 6],
            "Ort " + QByteArray::number(int(zufall() % 2000)),
            rtf};
        for (int c = 0; c < 8; ++c)
            sqlite3_bind_text(s, c + 1, werte[c].constData(), werte[c].size(), SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    ausfuehren(db, "commit;");
    sqlite3_close(db);
}

// Opening the statistics window: it reads the log once, counts it and draws
// the chart shown (the months) with its table. The floor runs the same SQL
// raw: the extract, the counts and the months' aggregate, every row stepped.
void statistikFall(const QString &ordner, int n)
{
    const QString datei = ordner + QLatin1Char('/') + Verbindung::dateiName(Verbindungstext::log);
    QFile::remove(datei);
    erzeugeStatistikLog(datei, n);
    Programmverzeichnis::setzen(ordner);
    fall(
        "stats-open", n,
        [] {
            frm_statistik w;
            w.Form_Load();
        },
        [&] {
            Roh r(datei);
            Logdatum::registriere(r.db);
            ausfuehren(r.db, "pragma temp_store = memory; drop table if exists temp.auszug;");
            ausfuehren(r.db, Statistik::auszugSql().toUtf8().constData());
            r.zeilen("select count(*), count(tag), min(tag), max(tag) from temp.auszug", -1, true);
            r.zeilen("select count(*), count(*) - count(minute) from temp.auszug where 1", -1, true);
            r.zeilen(Statistik::reiheSql(Statistik::Reihe::Monat, {}).toUtf8().constData(), -1, true);
        });
    QFile::remove(datei);
}

}   // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QVector<int> listen = {10000, 100000, 1000000}, logs = {1000, 10000, 100000}, stats = {100000}, starts = {200000},
                 importe = {1000000};
    QStringList args = app.arguments();
    if (args.removeAll(QStringLiteral("--cpu")) > 0)
        Bench::cpuZeit() = true;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--groessen"))
            listen = zahlen(args[i + 1]);
        else if (args[i] == QLatin1String("--log"))
            logs = zahlen(args[i + 1]);
        else if (args[i] == QLatin1String("--stats"))
            stats = zahlen(args[i + 1]);
        else if (args[i] == QLatin1String("--start"))
            starts = zahlen(args[i + 1]);
        else if (args[i] == QLatin1String("--import"))
            importe = zahlen(args[i + 1]);
        else if (args[i] == QLatin1String("--nur"))
            Bench::nurWoerter() = args[i + 1].split(QLatin1Char(','), Qt::SkipEmptyParts);
    }
    QTemporaryDir ordner;
    // No settings of the user's (a receiver to connect to) take part.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, ordner.path());
    // The start is measured as on every day but the first: with no automatic
    // backup due (it runs once a day, on a thread of its own).
    Autosicherung::setzeVorgabe(false);
    if (Bench::gruppeGewaehlt("list"))
        for (int n : listen)
            listenFaelle(ordner.path(), n);
    if (Bench::gruppeGewaehlt("log"))
        for (int n : logs)
            logFaelle(ordner.path(), n);
    if (Bench::gruppeGewaehlt("remark")) {
        bemerkungsFaelle(32000);
        bemerkungZeigen(16000);
        bemerkungImFeld(32000);
    }
    if (Bench::gruppeGewaehlt("stats"))
        for (int n : stats)
            statistikFall(ordner.path(), n);
    if (Bench::gruppeGewaehlt("start"))
        for (int n : starts)
            startMitSicherung(ordner.path(), n);
    if (Bench::gruppeGewaehlt("import"))
        for (int n : importe)
            Bench::importFaelle(ordner.path(), n);
    if (Bench::gruppeGewaehlt("scan"))
        suchlaufFall(ordner.path(), 1000);
    return 0;
}
