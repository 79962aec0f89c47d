// tremvik-shots OUTDIR: starts the real main window offscreen and writes a PNG
// of every window into OUTDIR: main.png, bos.png, flug.png, afu.png, fw.png,
// eintrag-log.png, eintrag-uebersicht.png, sicherung.png, herstellen.png,
// waslaeuft.png.
//
// It works on copies of the program directory's database files, in a
// temporary folder, so the user's log is never touched; an empty log gets
// sample records so that the log window has something to show.

#include "data/programmverzeichnis.h"
#include "data/verbindung.h"
#include "empfaenger/frm_waslaeuft.h"
#include "shell/anwendung.h"
#include "shell/frm_main.h"
#include "shell/meldung.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

#include <cstdio>

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

    QTemporaryDir tmp;
    const QString frequenzen = Verbindung::dateiName(Verbindungstext::frequenzen);
    const QString log = Verbindung::dateiName(Verbindungstext::log);
    for (const QString &name : {frequenzen, log})
        QFile::copy(Programmverzeichnis::datei(name), tmp.filePath(name));
    beispielEintrag(tmp.filePath(log));
    Programmverzeichnis::setzen(tmp.path());
    QDir::setCurrent(tmp.path());

    frm_main haupt;
    haupt.resize(1280, 900);
    haupt.zeigen();
    warte();
    bool ok = speichere(&haupt, aus.filePath(QStringLiteral("main.png")));

    auto fenster = [&](void (frm_main::*oeffnen)(), KindFenster *(frm_main::*holen)() const, const QString &datei) {
        (haupt.*oeffnen)();
        warte();
        KindFenster *w = (haupt.*holen)();
        if (!w) {
            std::printf("FEHLER: %s: Fenster nicht geöffnet\n", qPrintable(datei));
            ok = false;
            return;
        }
        QWidget *rahmen = w->parentWidget() ? w->parentWidget() : w;
        ok = speichere(rahmen, aus.filePath(datei)) && ok;
        rahmen->close();
        warte();
    };
    fenster(&frm_main::bos_Click, &frm_main::frm_bos, QStringLiteral("bos.png"));
    fenster(&frm_main::flug_Click, &frm_main::frm_flug, QStringLiteral("flug.png"));
    fenster(&frm_main::afu_Click, &frm_main::frm_afu, QStringLiteral("afu.png"));
    fenster(&frm_main::fw_Click, &frm_main::frm_fw, QStringLiteral("fw.png"));

    // The log window, once per tab, with its first record shown.
    haupt.erre_Click();
    warte();
    if (KindFenster *log = haupt.frm_eintrag()) {
        QWidget *rahmen = log->parentWidget() ? log->parentWidget() : log;
        // Show the sample record with the formatted remark.
        if (auto *grid = log->findChild<QTableView *>(QStringLiteral("DataGrid1")))
            for (int z = 0; z < grid->model()->rowCount(); ++z)
                if (grid->model()->index(z, 2).data().toString() == QLatin1String("DL1ABC"))
                    grid->setCurrentIndex(grid->model()->index(z, 0));
        if (auto *tabs = log->findChild<QTabWidget *>(QStringLiteral("SSTab1"))) {
            tabs->setCurrentIndex(0);
            ok = speichere(rahmen, aus.filePath(QStringLiteral("eintrag-log.png"))) && ok;
            tabs->setCurrentIndex(1);
            ok = speichere(rahmen, aus.filePath(QStringLiteral("eintrag-uebersicht.png"))) && ok;
        } else {
            ok = speichere(rahmen, aus.filePath(QStringLiteral("eintrag-log.png"))) && ok;
        }
    }

    // "Was läuft hier?" on a repeater output, without a receiver.
    haupt.empf_waslaeuft_Click();
    if (auto *w = qobject_cast<frm_waslaeuft *>(haupt.frm_waslaeuft())) {
        w->txt_frequenz->setText(QStringLiteral("145,600"));
        w->cmd_anzeigen_Click();
        QWidget *rahmen = w->parentWidget() ? w->parentWidget() : w;
        ok = speichere(rahmen, aus.filePath(QStringLiteral("waslaeuft.png"))) && ok;
        rahmen->close();
        warte();
    } else {
        std::printf("FEHLER: waslaeuft.png: Fenster nicht geöffnet\n");
        ok = false;
    }

    fenster(&frm_main::sicher_Click, &frm_main::frm_sicherung, QStringLiteral("sicherung.png"));
    fenster(&frm_main::wer_Click, &frm_main::frm_herstellen, QStringLiteral("herstellen.png"));
    return ok ? 0 : 1;
}
