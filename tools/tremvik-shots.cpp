// SPDX-License-Identifier: GPL-3.0-or-later
// tremvik-shots OUTDIR: starts the real main window offscreen and writes a PNG
// of every window into OUTDIR: main.png, bos.png, flug.png, afu.png, fw.png,
// eintrag-log.png, eintrag-uebersicht.png, sicherung.png, herstellen.png,
// autosicherung.png, waslaeuft.png, suchlauf.png, statistik.png, ueber.png,
// handbuch.png.
//
// It works on copies of the program directory's database files, in a
// temporary folder, so the user's log is never touched; an empty log gets
// sample records so that the log window has something to show, and a few
// hundred more before the statistics window opens.

#include "fenster/auswertung/frm_statistik.h"
#include "fenster/bausteine/anwendung.h"
#include "fenster/bausteine/meldung.h"
#include "fenster/empfaenger/frm_suchlauf.h"
#include "fenster/empfaenger/frm_waslaeuft.h"
#include "fenster/haupt/frm_main.h"
#include "fenster/hilfe/frm_handbuch.h"
#include "fenster/hilfe/frm_ueber.h"
#include "fenster/listen/frm_liste.h"
#include "kern/basis/programmverzeichnis.h"
#include "kern/basis/speicherorte.h"
#include "kern/daten/verbindung.h"
#include "kern/sicherung/autosicherung.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

#include <cstdio>
#include <random>

static void warte()
{
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(20);
    }
}

static bool speichere(QWidget *w, const QString &datei)
{
    warte();
    const bool ok = w->grab().save(datei);
    std::printf("%s %s\n", ok ? "geschrieben:" : "FEHLER:", qPrintable(datei));
    return ok;
}

static void beispielEintrag(const QString &logDatei)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(logDatei).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return;
    }
    sqlite3_stmt *s = nullptr;
    int anzahl = 0;
    if (sqlite3_prepare_v2(db, "select count(*) from Kontakt", -1, &s, nullptr) == SQLITE_OK
        && sqlite3_step(s) == SQLITE_ROW)
        anzahl = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    if (anzahl == 0) {
        const char *rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                          "{\\colortbl ;\\red192\\green0\\blue0;\\red0\\green0\\blue160;}"
                          "\\f0\\fs24 Sehr gute Verbindung, \\b starkes Signal\\b0  am Abend.\\par "
                          "\\cf1\\i QSL-Karte angefragt\\i0\\cf0 , Antwort \\ul per Post\\ulnone .\\par "
                          "\\cf2 Gr\\'fc\\'dfe nach M\\'fcnchen!\\cf0\\par }";
        sqlite3_prepare_v2(db,
                           "insert into Kontakt (callsign, skip, vorname, land, swert, rwert, datum, uhrzeit, lanal,"
                           " frequenz, band, ort, bemerkung) values ('DL1ABC','Funkamateur','Klaus','Deutschland',"
                           "'9+30','5','30.06.2006','21:45','80','490,999','FM','Hamburg',?)",
                           -1, &s, nullptr);
        sqlite3_bind_text(s, 1, rtf, -1, SQLITE_STATIC);
        sqlite3_step(s);
        sqlite3_finalize(s);
        sqlite3_exec(
            db,
            "insert into Kontakt (callsign, skip, vorname, land, swert, rwert, datum, uhrzeit, lanal, frequenz,"
            " band, ort) values ('OE3XYZ','Relais','Anna','Österreich','7','4','01.07.2006','20:10','12',"
            "'145,500','FM','Wien'), ('F5ABC','Portabel','Jean','Frankreich','5','3','02.07.2006','18:00',"
            "'4','27,185','AM','Strasbourg')",
            nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
}

// Two years of receptions, around the sample records: more in summer and in the evening, most
// from Germany, a few call signs heard often; and some records whose date or
// time cannot be read, as older logs have them.
static int beispielStatistik(const QString &logDatei)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(logDatei).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return 0;
    }
    static const char *laender[] = {"Deutschland", "Deutschland", "Deutschland", "Deutschland", "Deutschland",
                                    "Deutschland", "Niederlande", "Niederlande", "Österreich",  "Österreich",
                                    "Dänemark",    "Schweiz",     "Polen",       "Tschechien",  "Frankreich",
                                    "Belgien",     "Schweden",    "Italien"};
    static const char *orte[] = {"Hamburg",  "München",   "Köln",      "Lübeck",   "Düsseldorf", "Bremen",
                                 "Hannover", "Kiel",      "Göttingen", "Nürnberg", "Berlin",     "Osnabrück",
                                 "Münster",  "Flensburg", "Rostock",   "Würzburg", "Saarbrücken"};
    static const char *arten[] = {"FM", "FM", "FM", "FM", "FM", "AM", "AM", "USB", "USB", "LSB", "CW", "DMR"};
    static const int monatsGewicht[] = {3, 3, 4, 5, 7, 9, 10, 9, 6, 5, 4, 3};
    static const int stundenGewicht[] = {2, 1, 1, 0, 0, 1, 3, 4, 3, 2, 2, 2, 3, 2, 2, 2, 3, 4, 6, 8, 9, 9, 7, 4};
    std::mt19937 zufall(2024);
    auto gewichtet = [&](const int *g, int n) {
        int summe = 0;
        for (int i = 0; i < n; ++i)
            summe += g[i];
        int x = int(zufall() % unsigned(summe));
        for (int i = 0; i < n; ++i)
            if ((x -= g[i]) < 0)
                return i;
        return n - 1;
    };
    // Call signs: some heard again and again, most once or twice.
    QList<QByteArray> rufzeichen;
    for (int i = 0; i < 60; ++i)
        rufzeichen << QByteArray("D") + char('A' + zufall() % 3) + QByteArray::number(int(zufall() % 10))
                          + char('A' + zufall() % 26) + char('A' + zufall() % 26) + char('A' + zufall() % 26);

    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into Kontakt (callsign, land, datum, uhrzeit, frequenz, band, ort, swert, rwert)"
                       " values (?,?,?,?,?,?,?,?,?)",
                       -1, &s, nullptr);
    const int anzahl = 320;
    for (int i = 0; i < anzahl; ++i) {
        const int m = gewichtet(monatsGewicht, 12);
        const int jahr = zufall() % 2 ? 2006 : 2005;
        const QDate tag(jahr, m + 1, 1 + int(zufall() % unsigned(QDate(jahr, m + 1, 1).daysInMonth())));
        QByteArray datum = tag.toString(QStringLiteral("dd.MM.yyyy")).toLatin1();
        QByteArray zeit = QByteArray::number(gewichtet(stundenGewicht, 24)).rightJustified(2, '0') + ':'
                          + QByteArray::number(int(zufall() % 60)).rightJustified(2, '0');
        if (i % 40 == 7)
            datum = QList<QByteArray>({"", "31.02.2006", "15.3.05", "Sommer 2005"})[i / 40 % 4];
        if (i % 70 == 11)
            zeit = "abends";
        const int r = int(std::min<double>(59, std::pow(double(zufall() % 1000) / 1000.0, 2.2) * 60));
        const QByteArray werte[] = {rufzeichen[r],
                                    laender[zufall() % (sizeof laender / sizeof *laender)],
                                    datum,
                                    zeit,
                                    QByteArray::number(int(144 + zufall() % 3)) + ','
                                        + QByteArray::number(int(zufall() % 1000)).rightJustified(3, '0'),
                                    arten[zufall() % (sizeof arten / sizeof *arten)],
                                    orte[std::min<int>(16, int(std::pow(double(zufall() % 1000) / 1000.0, 1.6) * 17))],
                                    QByteArray::number(int(3 + zufall() % 7)),
                                    QByteArray::number(int(3 + zufall() % 3))};
        for (int c = 0; c < 9; ++c)
            sqlite3_bind_text(s, c + 1, werte[c].constData(), int(werte[c].size()), SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return anzahl;
}

// Opens a window through the main window's handler, saves a picture of it
// and closes it again; false when it did not open or was not saved.
static bool fensterBild(frm_main &haupt, void (frm_main::*oeffnen)(), KindFenster *(frm_main::*holen)() const,
                        const QDir &aus, const QString &datei)
{
    (haupt.*oeffnen)();
    warte();
    KindFenster *w = (haupt.*holen)();
    if (!w) {
        std::printf("FEHLER: %s: Fenster nicht geöffnet\n", qPrintable(datei));
        return false;
    }
    QWidget *rahmen = w->parentWidget() ? w->parentWidget() : w;
    const bool ok = speichere(rahmen, aus.filePath(datei));
    rahmen->close();
    warte();
    return ok;
}

// The log window, once per tab, with the sample record and its formatted
// remark shown.
static bool eintragBilder(frm_main &haupt, const QDir &aus)
{
    haupt.erre_Click();
    warte();
    KindFenster *log = haupt.frm_eintrag();
    if (!log)
        return true;
    QWidget *rahmen = log->parentWidget() ? log->parentWidget() : log;
    if (auto *grid = log->findChild<QTableView *>(QStringLiteral("DataGrid1")))
        for (int z = 0; z < grid->model()->rowCount(); ++z)
            if (grid->model()->index(z, 2).data().toString() == QLatin1String("DL1ABC"))
                grid->setCurrentIndex(grid->model()->index(z, 0));
    auto *tabs = log->findChild<QTabWidget *>(QStringLiteral("SSTab1"));
    if (!tabs)
        return speichere(rahmen, aus.filePath(QStringLiteral("eintrag-log.png")));
    tabs->setCurrentIndex(0);
    bool ok = speichere(rahmen, aus.filePath(QStringLiteral("eintrag-log.png")));
    tabs->setCurrentIndex(1);
    ok = speichere(rahmen, aus.filePath(QStringLiteral("eintrag-uebersicht.png"))) && ok;
    return ok;
}

// "Was läuft hier?" on a repeater output, without a receiver.
static bool waslaeuftBild(frm_main &haupt, const QDir &aus)
{
    haupt.empf_waslaeuft_Click();
    auto *w = qobject_cast<frm_waslaeuft *>(haupt.frm_waslaeuft());
    if (!w) {
        std::printf("FEHLER: waslaeuft.png: Fenster nicht geöffnet\n");
        return false;
    }
    w->txt_frequenz->setText(QStringLiteral("145,600"));
    w->cmd_anzeigen_Click();
    QWidget *rahmen = w->parentWidget() ? w->parentWidget() : w;
    const bool ok = speichere(rahmen, aus.filePath(QStringLiteral("waslaeuft.png")));
    rahmen->close();
    warte();
    return ok;
}

// "Suchlauf" over the BOS list, without a receiver.
static bool suchlaufBild(frm_main &haupt, const QDir &aus)
{
    haupt.bos_Click();
    warte();
    auto *liste = qobject_cast<FrequenzListe *>(haupt.frm_bos());
    if (liste && liste->mnu_suchlauf)
        liste->mnu_suchlauf->trigger();
    warte();
    auto *w = qobject_cast<frm_suchlauf *>(haupt.frm_suchlauf());
    if (!w) {
        std::printf("FEHLER: suchlauf.png: Fenster nicht geöffnet\n");
        return false;
    }
    QWidget *rahmen = w->parentWidget() ? w->parentWidget() : w;
    const bool ok = speichere(rahmen, aus.filePath(QStringLiteral("suchlauf.png")));
    rahmen->close();
    if (liste)
        liste->parentWidget()->close();
    warte();
    return ok;
}

// The statistics window with the busiest month chosen; false also when
// the months do not count every record with a date.
static bool statistikBild(frm_main &haupt, const QDir &aus)
{
    haupt.stat_Click();
    warte();
    KindFenster *stat = haupt.frm_statistik();
    QWidget *sub = stat && stat->parentWidget() ? stat->parentWidget() : stat;
    bool ok = true;
    if (auto *w = qobject_cast<frm_statistik *>(stat)) {
        const Statistik::Zahlen &z = w->zahlen();
        const QTableWidget *monate = w->tabelle[size_t(Statistik::Reihe::Monat)];
        qint64 summe = 0;
        int meiste = 0;
        for (int i = 0; i < monate->rowCount(); ++i) {
            const qint64 n = monate->item(i, 1)->text().toLongLong();
            summe += n;
            if (n > monate->item(meiste, 1)->text().toLongLong())
                meiste = i;
        }
        std::printf("statistik: Monate zusammen %lld = %lld Einträge - %lld ohne gültiges Datum\n", summe, z.imLog,
                    z.ohneDatum);
        if (summe != z.imLog - z.ohneDatum) {
            std::printf("FEHLER: die Monate zählen nicht jeden Eintrag mit Datum\n");
            ok = false;
        }
        w->waehleBalken(Statistik::Reihe::Monat, meiste);
    }
    return sub ? speichere(sub, aus.filePath(QStringLiteral("statistik.png"))) && ok : false;
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Anwendung::einrichten(app);
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: tremvik-shots AUSGABEORDNER\n");
        return 2;
    }
    const QDir aus(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(aus.absolutePath())) {
        std::fprintf(stderr, "tremvik-shots: %s kann nicht angelegt werden\n", argv[1]);
        return 1;
    }
    Meldung::setzeAnzeige([](const QString &text, Meldung::Symbol) { std::printf("Meldung: %s\n", qPrintable(text)); });

    // The manual beside the program, before the program directory moves.
    const QString handbuch = Speicherorte::handbuch();
    QTemporaryDir tmp;
    const QString frequenzen = Verbindung::dateiName(Verbindungstext::frequenzen);
    const QString log = Verbindung::dateiName(Verbindungstext::log);
    for (const QString &name : {frequenzen, log})
        QFile::copy(Programmverzeichnis::datei(name), tmp.filePath(name));
    beispielEintrag(tmp.filePath(log));
    Programmverzeichnis::setzen(tmp.path());
    QDir::setCurrent(tmp.path());
    // The user's settings stay out of it (the receiver, the folder of the
    // automatic backups); the backup goes beside the sample log.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, tmp.filePath(QStringLiteral("einstellungen")));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, tmp.filePath(QStringLiteral("einstellungen")));

    frm_main haupt;
    haupt.resize(1280, 900);
    haupt.zeigen();
    while (haupt.autosicherung()->laeuft())
        warte();
    warte();
    bool ok = speichere(&haupt, aus.filePath(QStringLiteral("main.png")));

    auto fenster = [&](void (frm_main::*oeffnen)(), KindFenster *(frm_main::*holen)() const, const QString &datei) {
        ok = fensterBild(haupt, oeffnen, holen, aus, datei) && ok;
    };
    fenster(&frm_main::bos_Click, &frm_main::frm_bos, QStringLiteral("bos.png"));
    fenster(&frm_main::flug_Click, &frm_main::frm_flug, QStringLiteral("flug.png"));
    fenster(&frm_main::afu_Click, &frm_main::frm_afu, QStringLiteral("afu.png"));
    fenster(&frm_main::fw_Click, &frm_main::frm_fw, QStringLiteral("fw.png"));
    ok = eintragBilder(haupt, aus) && ok;
    ok = waslaeuftBild(haupt, aus) && ok;
    ok = suchlaufBild(haupt, aus) && ok;
    fenster(&frm_main::sicher_Click, &frm_main::frm_sicherung, QStringLiteral("sicherung.png"));
    fenster(&frm_main::wer_Click, &frm_main::frm_herstellen, QStringLiteral("herstellen.png"));
    fenster(&frm_main::autosicher_Click, &frm_main::frm_autosicherung, QStringLiteral("autosicherung.png"));

    // The statistics over a few hundred records.
    beispielStatistik(tmp.filePath(log));
    ok = statistikBild(haupt, aus) && ok;

    // The about box, and the manual at its first section.
    haupt.ueber_Click();
    if (QWidget *ueber = haupt.frm_ueber()) {
        ok = speichere(ueber, aus.filePath(QStringLiteral("ueber.png"))) && ok;
        ueber->close();
    } else {
        ok = false;
    }
    frm_handbuch hilfe;
    if (hilfe.laden(handbuch)) {
        hilfe.resize(980, 760);
        hilfe.show();
        hilfe.zeigeAbschnitt(QStringLiteral("das-hauptfenster-und-das-menü"));
        ok = speichere(&hilfe, aus.filePath(QStringLiteral("handbuch.png"))) && ok;
    } else {
        ok = false;
    }
    return ok ? 0 : 1;
}
