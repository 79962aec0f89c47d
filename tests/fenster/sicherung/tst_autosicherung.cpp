// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/haupt/frm_main.h"
#include "fenster/log/frm_eintrag.h"
#include "fenster/sicherung/frm_autosicherung.h"
#include "kern/basis/programmverzeichnis.h"
#include "kern/sicherung/autosicherung.h"
#include "testhilfe.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSemaphore>
#include <QSettings>
#include <QTabWidget>
#include <QTreeWidget>
#include <sqlite3.h>

#include <csignal>
#include <memory>
#include <sys/file.h>
#include <sys/resource.h>
#include <thread>

// The automatic backup at start: generations by injected days, their
// rotation, a damaged log, a slow copy beside a log window in use, what a
// run tells and how often, and restoring a generation from the window
// "Automatische Sicherungen".
class TestAutosicherung : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testhilfe::Programmordner> prog;
    std::unique_ptr<frm_main> haupt;

    QString log() const { return prog->logDatei(); }
    QString ordner() const { return Autosicherung::standardOrdner(); }
    int anzahl(const QString &datei) const { return Autosicherung::eintraege(datei); }
    void eintraege(int n, const QString &rufzeichen = QStringLiteral("DL1AAA"))
    {
        Testhilfe::sql(log(),
                       QStringLiteral("with recursive z(i) as (select 1 union all select i + 1 from z where i < %1)"
                                      " insert into Kontakt (callsign, ort, bemerkung)"
                                      " select '%2', 'Köln', hex(randomblob(300)) from z")
                           .arg(n)
                           .arg(rufzeichen));
    }
    static void einschalten(bool an = true)
    {
        Autosicherung::Einstellung e = Autosicherung::Einstellung::lesen();
        e.aktiv = an;
        e.schreiben();
    }
    static void tag(const QDateTime &zeit)
    {
        Autosicherung::setzeUhr([zeit] { return zeit; });
    }
    // One start of the program, up to the backup being done.
    void starten()
    {
        haupt.reset();
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QTRY_VERIFY(!haupt->autosicherung()->laeuft());
    }
    // The messages shown since the last leeren().
    static QStringList texte()
    {
        QStringList t;
        for (const auto &m : Testhilfe::meldungen())
            t << m.text;
        return t;
    }
    // A generation of the log under a name of the test's choosing.
    void generationAls(const QString &name)
    {
        QDir().mkpath(ordner());
        QVERIFY(QFile::copy(log(), QDir(ordner()).filePath(name)));
    }
    // Every generation and its bytes' hash.
    QMap<QString, QByteArray> abbild() const
    {
        QMap<QString, QByteArray> m;
        for (const auto &g : Autosicherung::generationen(ordner()))
            m.insert(g.datei, QCryptographicHash::hash(Testhilfe::lies(g.datei), QCryptographicHash::Sha256));
        return m;
    }
    // Overwrites one page in the middle of the log with garbage.
    void beschaedigen()
    {
        QFile f(log());
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.size() > 16 * 4096);
        f.seek(f.size() / 2 / 4096 * 4096);
        f.write(QByteArray(4096, '\x5a'));
    }

private Q_SLOTS:
    void init()
    {
        prog = std::make_unique<Testhilfe::Programmordner>();
        Testhilfe::leeren();
        einschalten();
        Autosicherung::setzeStartVerzoegerung(0);
    }
    void cleanup()
    {
        haupt.reset();
        prog.reset();
        Autosicherung::setzeUhr({});
        Autosicherung::setzeBremse({});
        Autosicherung::setzeStartVerzoegerung(1000);
        frm_autosicherung::setzeOrdnerwahl({});
        QSettings().clear();
    }

    void dateinamen()
    {
        const QDateTime t(QDate(2024, 5, 1), QTime(18, 30, 5));
        QCOMPARE(Autosicherung::dateiname(t), QStringLiteral("tremvik_2024-05-01_18-30-05.dorlem-fasq"));
        QCOMPARE(Autosicherung::zeitVon(Autosicherung::dateiname(t)), t);
        for (const char *fremd :
             {"tremvik.dorlem-fasq", "tremvik_2024-05-01.dorlem-fasq", "tremvik_2024-13-01_18-30-05.dorlem-fasq",
              "tremvik_2024-05-01_18-30-05.dorlem-fasq.tmp-abc123", "Frequenzen_2024-05-01_18-30-05.dorlem-fasq"})
            QVERIFY2(!Autosicherung::zeitVon(QString::fromLatin1(fremd)).isValid(), fremd);
    }

    // Kept: the newest of each of the last 7 days and of the last 4 weeks
    // that have one, and always the newest good one.
    void rotation()
    {
        auto g = [](int m, int d, int h = 12) {
            const QDateTime t(QDate(2024, m, d), QTime(h, 0));
            return Autosicherung::Generation{Autosicherung::dateiname(t), t};
        };
        // Today is Wednesday, 15 May 2024 (week 20).
        const QVector<Autosicherung::Generation> alle{
            g(5, 15, 10), g(5, 15, 7),   // today, twice
            g(5, 14),                    // yesterday
            g(5, 13),     g(5, 12),    g(5, 11), g(5, 10),
            g(5, 9),      g(5, 7),   // 8 days ago: not among the last 7 days, its week (19) has a newer one
            g(4, 10),                // 5 weeks ago: the third week with a generation
            g(4, 3),                 // the fourth
            g(3, 27),                // the fifth week: too old
        };
        auto namen = [](const QVector<Autosicherung::Generation> &v) {
            QStringList n;
            for (const auto &x : v)
                n << x.zeit.toString(QStringLiteral("MM-dd hh"));
            return n;
        };
        QCOMPARE(namen(Autosicherung::ueberzaehlig(alle, alle[0].datei)),
                 QStringList({"05-15 07", "05-07 12", "03-27 12"}));
        // The newest good one stays whatever its age.
        QCOMPARE(namen(Autosicherung::ueberzaehlig(alle, alle.last().datei)), QStringList({"05-15 07", "05-07 12"}));
        // Few generations: none goes.
        QCOMPARE(namen(Autosicherung::ueberzaehlig({g(5, 15), g(5, 14), g(5, 7), g(4, 10)}, QString())), QStringList());
    }

    // Three starts on three days make three generations (a second start on
    // a day none); a damaged log at the fourth start none either, and the
    // user is told, once. The generations stay byte for byte.
    void dreiStartsDannBeschaedigt()
    {
        eintraege(400);
        const QDateTime erster(QDate(2024, 5, 13), QTime(19, 5));
        for (int i = 0; i < 3; ++i) {
            tag(erster.addDays(i));
            starten();
            QCOMPARE(Autosicherung::generationen(ordner()).size(), i + 1);
            if (i == 1) {
                tag(erster.addDays(i).addSecs(3600));
                starten();
                QCOMPARE(Autosicherung::generationen(ordner()).size(), i + 1);
            }
        }
        QVERIFY(Testhilfe::meldungen().isEmpty());
        const auto g = Autosicherung::generationen(ordner());
        QCOMPARE(QFileInfo(g[0].datei).fileName(), QStringLiteral("tremvik_2024-05-15_19-05-00.dorlem-fasq"));
        QCOMPARE(anzahl(g[2].datei), 400);

        haupt.reset();
        const QMap<QString, QByteArray> vorher = abbild();
        beschaedigen();
        tag(erster.addDays(3));
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QTRY_VERIFY(!haupt->autosicherung()->laeuft());
        QCOMPARE(abbild(), vorher);
        QCOMPARE(texte().size(), 1);
        const QString text = texte()[0];
        QVERIFY2(
            text.contains(log()) && text.contains(QStringLiteral("beschädigt"))
                && text.contains(QStringLiteral("Die vorhandenen Sicherungen in %1 sind unverändert.").arg(ordner())),
            qPrintable(text));
        QCOMPARE(QDir(ordner()).entryList(QDir::Files).size(), 3);
    }

    // A log that is no database at all, on a day with a backup due: one
    // message, naming the file and the damage, and what became of the
    // backups; none is made, and the file stays as it was.
    void kaputtesLogEineMeldung_data()
    {
        QTest::addColumn<bool>("mitSicherungen");
        QTest::newRow("ohne Sicherungen") << false;
        QTest::newRow("mit Sicherungen") << true;
    }
    void kaputtesLogEineMeldung()
    {
        QFETCH(bool, mitSicherungen);
        if (mitSicherungen)
            generationAls(QStringLiteral("tremvik_2024-05-14_08-00-00.dorlem-fasq"));
        Testhilfe::schreibe(log(), QByteArray(20000, 'x'));
        tag(QDateTime(QDate(2024, 5, 15), QTime(8, 0)));
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QTRY_VERIFY(!haupt->autosicherung()->laeuft());
        QTest::qWait(50);
        QVERIFY(!haupt->frm_eintrag());
        QCOMPARE(texte().size(), 1);
        const QString text = texte()[0];
        QVERIFY2(text.contains(log()) && text.contains(QStringLiteral("Die Datei ist keine Datenbank")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(mitSicherungen
                                   ? QStringLiteral("Die vorhandenen Sicherungen in %1 sind unverändert.").arg(ordner())
                                   : QStringLiteral("In %1 liegt noch keine automatische Sicherung.").arg(ordner())),
                 qPrintable(text));
        QCOMPARE(Autosicherung::generationen(ordner()).size(), mitSicherungen ? 1 : 0);
        QCOMPARE(Testhilfe::lies(log()), QByteArray(20000, 'x'));
    }

    // The start does not wait for the backup: the log window stands at once
    // and can be written while the copy is part-way (held by the test
    // between two steps). The record written meanwhile makes SQLite begin
    // the copy anew; the generation has it, and passes the check.
    void startWartetNichtAufDieSicherung()
    {
        eintraege(2000);
        QSemaphore betreten, frei;
        Autosicherung::setzeBremse([&](int schritt) {
            if (schritt == 1) {
                betreten.release();
                frei.acquire();
            }
        });
        tag(QDateTime(QDate(2024, 5, 15), QTime(8, 0)));
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        auto *w = qobject_cast<frm_eintrag *>(haupt->frm_eintrag());
        QVERIFY(w);
        QVERIFY(haupt->autosicherung()->laeuft());
        bool drin = false;   // the copy is part-way, held by the test
        QTRY_VERIFY_WITH_TIMEOUT(drin || (drin = betreten.tryAcquire()), 10000);
        QTRY_COMPARE(haupt->lbl_autosicherung->text(), QStringLiteral("Die eigenen Einträge werden gesichert \u2026"));

        w->SSTab1->setCurrentIndex(0);
        QTest::mouseClick(w->cmd_neu, Qt::LeftButton);
        w->txt_callsign->setFocus();
        QTest::keyClicks(w->txt_callsign, QStringLiteral("DL9NEU"));
        QTest::mouseClick(w->cmd_speichern, Qt::LeftButton);
        QVERIFY2(Testhilfe::meldungen().isEmpty(), qPrintable(texte().join(QLatin1Char('|'))));
        QCOMPARE(anzahl(log()), 2001);
        QVERIFY(haupt->autosicherung()->laeuft());

        frei.release();
        QTRY_VERIFY_WITH_TIMEOUT(!haupt->autosicherung()->laeuft(), 20000);
        const auto g = Autosicherung::generationen(ordner());
        QCOMPARE(g.size(), 1);
        QCOMPARE(anzahl(g[0].datei), 2001);
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QVERIFY(haupt->lbl_autosicherung->isHidden());
        // The program ends without waiting for anything.
        haupt->close();
        QVERIFY(!haupt->isVisible());
    }

    // Ending the program while the copy is part-way: the window goes at
    // once, the copy stops after its step, and nothing is left or told.
    void endeWartetNichtAufDieSicherung()
    {
        eintraege(2000);
        QSemaphore betreten, frei;
        Autosicherung::setzeBremse([&](int schritt) {
            if (schritt == 1) {
                betreten.release();
                frei.acquire();
            }
        });
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        bool drin = false;   // the copy is part-way, held by the test
        QTRY_VERIFY_WITH_TIMEOUT(drin || (drin = betreten.tryAcquire()), 10000);
        // Should the window wait after all, the copy is let go in a while.
        std::thread spaeter([&frei] {
            QThread::msleep(3000);
            frei.release();
        });
        QElapsedTimer uhr;
        uhr.start();
        QVERIFY(haupt->close());
        const qint64 ms = uhr.elapsed();
        QVERIFY(!haupt->isVisible());
        spaeter.join();
        haupt.reset();
        QVERIFY2(ms < 1000, qPrintable(QString::number(ms)));
        QCOMPARE(QDir(ordner()).entryList(QDir::Files), QStringList());
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // A log written between every two steps of the copy still gets its
    // generation: after a few new beginnings the rest is copied at once.
    void schreiberOhneEndeHaeltDieKopieNichtAuf()
    {
        eintraege(2000);
        sqlite3 *schreiber = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(log()).constData(), &schreiber), SQLITE_OK);
        std::atomic<int> geschrieben{0};
        Autosicherung::setzeBremse([&](int) {
            if (sqlite3_exec(schreiber, "insert into Kontakt (callsign) values ('DAUER')", nullptr, nullptr, nullptr)
                == SQLITE_OK)
                ++geschrieben;
        });
        std::atomic<bool> halt{false};
        Autosicherung::Ergebnis e;
        QThread *faden = QThread::create(
            [&] { e = Autosicherung::sichern(log(), ordner(), QDateTime(QDate(2024, 5, 15), QTime(8, 0)), &halt); });
        faden->start();
        const bool fertig = faden->wait(QDeadlineTimer(30000));
        halt = true;
        faden->wait();
        delete faden;
        sqlite3_close(schreiber);
        QVERIFY2(fertig, "Die Kopie endet nicht, solange geschrieben wird");
        QCOMPARE(int(e.art), int(Autosicherung::Ergebnis::Art::Gesichert));
        QVERIFY(geschrieben > 3);
        // One committed state: every record up to some write, none half.
        const int n = anzahl(e.datei);
        QVERIFY2(n >= 2000 && n <= 2000 + geschrieben, qPrintable(QString::number(n)));
    }

    // The copy is one committed state: a write transaction that another
    // program has open is not in it, and commits afterwards. Leftovers of
    // killed runs go, one that a running copy holds stays.
    void konsistentUndAufgeraeumt()
    {
        eintraege(10);
        QDir().mkpath(ordner());
        const QString rest =
            QDir(ordner()).filePath(QStringLiteral("tremvik_2024-01-01_10-00-00.dorlem-fasq.tmp-Ab12cd"));
        const QString gehalten =
            QDir(ordner()).filePath(QStringLiteral("tremvik_2024-01-02_10-00-00.dorlem-fasq.tmp-Xy34zz"));
        const QString fremd = QDir(ordner()).filePath(QStringLiteral("notizen.txt.tmp-Ab12cd"));
        for (const QString &f : {rest, gehalten, fremd})
            Testhilfe::schreibe(f, "x");
        QFile halter(gehalten);
        QVERIFY(halter.open(QIODevice::ReadOnly));
        QCOMPARE(::flock(halter.handle(), LOCK_EX | LOCK_NB), 0);

        sqlite3 *schreiber = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(log()).constData(), &schreiber), SQLITE_OK);
        QCOMPARE(sqlite3_exec(schreiber, "begin; insert into Kontakt (callsign) values ('OFFEN')", nullptr, nullptr,
                              nullptr),
                 SQLITE_OK);
        const auto e = Autosicherung::sichern(log(), ordner(), QDateTime(QDate(2024, 5, 15), QTime(8, 0)));
        QCOMPARE(sqlite3_exec(schreiber, "commit", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(schreiber);
        QCOMPARE(int(e.art), int(Autosicherung::Ergebnis::Art::Gesichert));
        QCOMPARE(anzahl(e.datei), 10);
        QCOMPARE(anzahl(log()), 11);

        QVERIFY(!QFile::exists(rest));
        QVERIFY(QFile::exists(gehalten));
        QVERIFY(QFile::exists(fremd));

        // Stopped part-way: nothing new in the folder.
        std::atomic<bool> halt{true};
        const QStringList vorher = QDir(ordner()).entryList(QDir::Files);
        const auto a = Autosicherung::sichern(log(), ordner(), QDateTime(QDate(2024, 5, 16), QTime(8, 0)), &halt);
        QCOMPARE(int(a.art), int(Autosicherung::Ergebnis::Art::Abgebrochen));
        QCOMPARE(QDir(ordner()).entryList(QDir::Files), vorher);
    }

    // A generation chosen in the window replaces the log after a question
    // naming both sides ("Nein" changes nothing) and after the log window is
    // closed; the log as it was is kept as a generation of its own. A
    // damaged one is refused without a question, and the log stays.
    void generationWiederherstellen()
    {
        eintraege(5);
        tag(QDateTime(QDate(2024, 5, 15), QTime(8, 0)));
        starten();
        eintraege(3, QStringLiteral("NEU"));
        QCOMPARE(anzahl(log()), 8);
        QVERIFY(haupt->frm_eintrag());

        haupt->autosicher->trigger();
        auto *w = qobject_cast<frm_autosicherung *>(haupt->frm_autosicherung());
        QVERIFY(w);
        QVERIFY(haupt->frm_eintrag());
        QCOMPARE(w->txt_ordner->text(), ordner());
        QVERIFY(w->chk_aktiv->isChecked());
        QCOMPARE(w->lbl_bericht->text(), QString());
        QCOMPARE(w->lst_sicherungen->topLevelItemCount(), 1);
        QTreeWidgetItem *z = w->lst_sicherungen->topLevelItem(0);
        QCOMPARE(z->text(0), QStringLiteral("15.05.2024 08:00:00"));
        QCOMPARE(z->text(2), QStringLiteral("5"));
        QVERIFY(!w->cmd_wiederherstellen->isEnabled());
        const QString generation = z->data(0, Qt::UserRole).toString();

        const QString frage = QStringLiteral(
            "Das Log mit 8 Einträgen durch die Sicherung vom 15.05.2024 08:00 mit 5 Einträgen ersetzen?");
        const QByteArray logVorher = Testhilfe::lies(log());
        tag(QDateTime(QDate(2024, 5, 15), QTime(9, 30, 12)));
        w->lst_sicherungen->setCurrentItem(z);
        QTest::mouseClick(w->cmd_wiederherstellen, Qt::LeftButton);
        QCOMPARE(Testhilfe::fragen(), QStringList{frage});
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QCOMPARE(Testhilfe::lies(log()), logVorher);
        QVERIFY(haupt->frm_eintrag());
        QCOMPARE(Autosicherung::generationen(ordner()).size(), 1);

        Testhilfe::leeren();
        Testhilfe::antworten(true);
        w->lst_sicherungen->setCurrentItem(w->lst_sicherungen->topLevelItem(0));
        QTest::mouseClick(w->cmd_wiederherstellen, Qt::LeftButton);
        QCOMPARE(Testhilfe::fragen(), QStringList{frage});
        const QString aufbewahrt =
            QDir(ordner()).filePath(QStringLiteral("tremvik_2024-05-15_09-30-12_vor-wiederherstellung.dorlem-fasq"));
        QCOMPARE(texte(), QStringList{QStringLiteral("Daten wurden erfolgreich von %1 wiederhergestellt\n"
                                                     "Die bisherigen eigenen Einträge sind aufbewahrt in %2")
                                          .arg(generation, aufbewahrt)});
        QVERIFY(!haupt->frm_eintrag());
        QCOMPARE(anzahl(log()), 5);
        QCOMPARE(Testhilfe::lies(aufbewahrt), logVorher);
        // Listed as what it is, newest first.
        QCOMPARE(w->lst_sicherungen->topLevelItemCount(), 2);
        QCOMPARE(w->lst_sicherungen->topLevelItem(0)->text(0),
                 QStringLiteral("15.05.2024 09:30:12 (vor Wiederherstellung)"));
        QCOMPARE(w->lst_sicherungen->topLevelItem(0)->text(2), QStringLiteral("8"));
        // It is no backup of the day: the next day's start makes one.
        QVERIFY(!Autosicherung::faellig(ordner(), QDate(2024, 5, 15)));
        QVERIFY(Autosicherung::faellig(ordner(), QDate(2024, 5, 16)));

        // A damaged generation.
        Testhilfe::leeren();
        Testhilfe::antworten(true);
        const QString datei = Autosicherung::generationen(ordner())[1].datei;
        Testhilfe::schreibe(datei, QByteArray(8192, 'x'));
        const QByteArray logJetzt = Testhilfe::lies(log());
        w->listeFuellen();
        QCOMPARE(w->lst_sicherungen->topLevelItem(1)->text(2), QStringLiteral("nicht lesbar"));
        w->lst_sicherungen->setCurrentItem(w->lst_sicherungen->topLevelItem(1));
        QTest::mouseClick(w->cmd_wiederherstellen, Qt::LeftButton);
        QVERIFY(Testhilfe::fragen().isEmpty());
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen()[0].symbol, Meldung::Symbol::Fehler);
        QCOMPARE(Testhilfe::lies(log()), logJetzt);
        QCOMPARE(Autosicherung::generationen(ordner()).size(), 2);
    }

    // Copies kept before a restore stay at least 30 days and take no day's
    // place; generations dated after the run stay and take none either.
    void rotationBewahrtUndZukunft()
    {
        auto g = [](int m, int d, bool vor = false) {
            const QDateTime t(QDate(2024, m, d), QTime(12, 0));
            return Autosicherung::Generation{
                vor ? Autosicherung::dateinameVorWiederherstellung(t) : Autosicherung::dateiname(t), t, vor};
        };
        const QDateTime jetzt(QDate(2024, 5, 15), QTime(13, 0));
        QVector<Autosicherung::Generation> alle{g(12, 31),   // the clock was wrong
                                                g(5, 15),  g(5, 14, true), g(5, 14), g(5, 13),       g(5, 12),
                                                g(5, 11),  g(5, 10),       g(5, 9),  g(4, 16, true), g(4, 15, true),
                                                g(4, 10),  g(4, 3),        g(3, 27)};
        auto namen = [](const QVector<Autosicherung::Generation> &v) {
            QStringList n;
            for (const auto &x : v)
                n << x.zeit.toString(QStringLiteral("MM-dd")) + (x.vorWiederherstellung ? "v" : "");
            return n;
        };
        // 7 days (15. to 9.) and 4 weeks (20, 19, 15, 14): 3.27 goes as the
        // fifth week; of the copies kept before a restore the one of 29
        // days ago stays, the one of 30 days and an hour ago goes.
        QCOMPARE(namen(Autosicherung::ueberzaehlig(alle, alle[1].datei, jetzt)), QStringList({"04-15v", "03-27"}));
        // Without the time of the run, the future one would take a day and a
        // week: 5.9 and 4.3 would go for it.
        QCOMPARE(namen(Autosicherung::ueberzaehlig(alle, alle[1].datei)), QStringList({"05-09", "04-03", "03-27"}));
    }

    // A generation dated in the future (the clock was at 2099 once) is
    // reported once and kept, and takes no place of today's; a file that
    // merely has a generation's name (no database, a link) is the user's and
    // is never removed, nor does it count as today's backup.
    void zukunftUndFremdeDateien()
    {
        eintraege(3);
        generationAls(QStringLiteral("tremvik_2099-01-01_12-00-00.dorlem-fasq"));
        const QString fremd = QDir(ordner()).filePath(QStringLiteral("tremvik_2020-05-05_12-00-00.dorlem-fasq"));
        const QString heuteFremd = QDir(ordner()).filePath(QStringLiteral("tremvik_2024-05-01_07-00-00.dorlem-fasq"));
        Testhilfe::schreibe(fremd, "meine Notizen");
        Testhilfe::schreibe(heuteFremd, QByteArray());
        QTemporaryDir woanders;
        const QString ziel = woanders.filePath(QStringLiteral("wichtig.db"));
        QVERIFY(QFile::copy(log(), ziel));
        const QString verweis = QDir(ordner()).filePath(QStringLiteral("tremvik_2019-01-01_12-00-00.dorlem-fasq"));
        QVERIFY(QFile::link(ziel, verweis));

        // Twelve days in a row; today's look-alike does not stand for a backup.
        QVERIFY(Autosicherung::faellig(ordner(), QDate(2024, 5, 1)));
        for (int i = 0; i < 12; ++i) {
            tag(QDateTime(QDate(2024, 5, 1 + i), QTime(8, 0)));
            starten();
            if (i == 0) {
                QCOMPARE(texte().size(), 1);
                QVERIFY2(texte()[0].contains(QStringLiteral("tremvik_2099-01-01_12-00-00.dorlem-fasq"))
                             && texte()[0].contains(QStringLiteral("Datum nach dem heutigen")),
                         qPrintable(texte()[0]));
                QCOMPARE(Testhilfe::meldungen()[0].symbol, Meldung::Symbol::Keins);
                QVERIFY(!haupt->lbl_autosicherung->isHidden());
                Testhilfe::leeren();
            }
        }
        QVERIFY(Testhilfe::meldungen().isEmpty());   // told once
        QVERIFY(QFile::exists(QDir(ordner()).filePath(QStringLiteral("tremvik_2099-01-01_12-00-00.dorlem-fasq"))));
        QCOMPARE(Testhilfe::lies(fremd), QByteArray("meine Notizen"));
        QVERIFY(QFile::exists(heuteFremd));
        QVERIFY(QFileInfo(verweis).isSymLink());
        QVERIFY(QFile::exists(ziel));
        // The last 7 days each keep their generation beside the one of 2099.
        int tage = 0;
        for (const auto &g : Autosicherung::generationen(ordner()))
            if (g.zeit.date() >= QDate(2024, 5, 6) && g.zeit.date() <= QDate(2024, 5, 12))
                ++tage;
        QCOMPARE(tage, 7);

        haupt->autosicher->trigger();
        auto *w = qobject_cast<frm_autosicherung *>(haupt->frm_autosicherung());
        QCOMPARE(w->lst_sicherungen->topLevelItem(0)->text(0),
                 QStringLiteral("01.01.2099 12:00:00 (Datum in der Zukunft)"));
        QVERIFY2(w->lbl_bericht->text().contains(QStringLiteral("Datum nach dem heutigen")),
                 qPrintable(w->lbl_bericht->text()));
    }

    // A backup folder that cannot be made is told once per cause, in a box,
    // in the status bar and in the window; never as if there were backups.
    // Again when the cause changes, and after a run that went well.
    void ordnerNichtAnlegbarEinmalJeGrund()
    {
        eintraege(3);
        QTemporaryDir t;
        Testhilfe::schreibe(t.filePath(QStringLiteral("datei")), "kein Ordner");
        auto ordnerSetzen = [](const QString &o) {
            Autosicherung::Einstellung e = Autosicherung::Einstellung::lesen();
            e.ordner = o;
            e.schreiben();
        };
        const QString a = t.filePath(QStringLiteral("datei/sicherungen"));
        const QString b = t.filePath(QStringLiteral("datei/andere"));
        const QString gut = t.filePath(QStringLiteral("gut"));
        int tagNr = 1;
        auto start = [&](const QString &o) {
            ordnerSetzen(o);
            tag(QDateTime(QDate(2024, 6, tagNr++), QTime(8, 0)));
            Testhilfe::leeren();
            starten();
        };

        start(a);
        QCOMPARE(texte().size(), 1);
        QCOMPARE(texte()[0], QStringLiteral("Die automatische Sicherung der eigenen Einträge wurde nicht angelegt.\n"
                                            "Der Ordner %1 kann nicht angelegt werden: Ein Teil des Pfades ist kein "
                                            "Ordner (bei %2).\nIn %1 liegt noch keine automatische Sicherung.")
                                 .arg(a, t.filePath(QStringLiteral("datei"))));
        QVERIFY(!haupt->lbl_autosicherung->isHidden());
        QVERIFY2(haupt->lbl_autosicherung->toolTip().contains(QStringLiteral("kann nicht angelegt werden")),
                 qPrintable(haupt->lbl_autosicherung->toolTip()));
        QVERIFY(haupt->frm_eintrag());

        start(a);   // the same cause: the status bar says it, no box
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QVERIFY(haupt->lbl_autosicherung->toolTip().contains(a));
        haupt->autosicher->trigger();
        auto *w = qobject_cast<frm_autosicherung *>(haupt->frm_autosicherung());
        QVERIFY2(w->lbl_bericht->text().startsWith(QStringLiteral("Beim Programmstart am 02.06.2024 um 08:00: "))
                     && w->lbl_bericht->text().contains(a),
                 qPrintable(w->lbl_bericht->text()));
        QCOMPARE(w->lst_sicherungen->topLevelItemCount(), 0);
        // Another folder chosen: what was said of the old one is not shown for it.
        frm_autosicherung::setzeOrdnerwahl([&gut](const QString &) { return gut; });
        QTest::mouseClick(w->cmd_ordner, Qt::LeftButton);
        QCOMPARE(w->txt_ordner->text(), gut);
        QCOMPARE(w->lbl_bericht->text(), QString());

        start(b);   // another cause
        QCOMPARE(texte().size(), 1);
        QVERIFY(texte()[0].contains(b));
        start(gut);   // it works: nothing to tell
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QVERIFY(haupt->lbl_autosicherung->isHidden());
        QCOMPARE(Autosicherung::Bericht::lesen().grund, QString());
        start(b);   // after it worked, the old cause is told again
        QCOMPARE(texte().size(), 1);
    }

    // A disk that is full (or a file grown beyond what the process may
    // write) is named in German, with no English words of SQLite in it,
    // and leaves nothing in the folder.
    void vollerDatentraegerAufDeutsch()
    {
        eintraege(2000);
        QDir().mkpath(ordner());
        rlimit alt;
        getrlimit(RLIMIT_FSIZE, &alt);
        auto *signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit grenze = alt;
        grenze.rlim_cur = 256 * 1024;
        setrlimit(RLIMIT_FSIZE, &grenze);
        const auto e = Autosicherung::sichern(log(), ordner(), QDateTime(QDate(2024, 5, 15), QTime(8, 0)));
        setrlimit(RLIMIT_FSIZE, &alt);
        std::signal(SIGXFSZ, signal);
        QCOMPARE(int(e.art), int(Autosicherung::Ergebnis::Art::Fehler));
        QVERIFY2(e.grund.contains(QStringLiteral("zu groß")) && !e.grund.contains(QLatin1Char('(')),
                 qPrintable(e.grund));
        QCOMPARE(QDir(ordner()).entryList(QDir::Files), QStringList());

        // A small file system that runs full, where the system lets the test
        // make one.
        QTemporaryDir klein;
        if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=256k", "tmpfs", klein.path()}) != 0)
            QSKIP("Kein kleines Dateisystem (tmpfs) anlegbar");
        const auto voll = Autosicherung::sichern(log(), klein.path(), QDateTime(QDate(2024, 5, 15), QTime(8, 0)));
        const QStringList rest = QDir(klein.path()).entryList(QDir::Files);
        QProcess::execute(QStringLiteral("umount"), {klein.path()});
        QCOMPARE(int(voll.art), int(Autosicherung::Ergebnis::Art::Fehler));
        QVERIFY2(voll.grund.contains(QStringLiteral("Der Datenträger ist voll"))
                     && !voll.grund.contains(QLatin1Char('(')),
                 qPrintable(voll.grund));
        QCOMPARE(rest, QStringList());
    }

    // The folder and the switch are kept; a start with the backup off
    // makes none.
    void ordnerUndSchalter()
    {
        QTemporaryDir anders;
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QTRY_VERIFY(haupt->frm_eintrag());
        haupt->autosicher->trigger();
        auto *w = qobject_cast<frm_autosicherung *>(haupt->frm_autosicherung());
        frm_autosicherung::setzeOrdnerwahl([&anders](const QString &bisher) {
            [&] { QCOMPARE(bisher, Autosicherung::standardOrdner()); }();
            return anders.path();
        });
        QTest::mouseClick(w->cmd_ordner, Qt::LeftButton);
        QCOMPARE(w->txt_ordner->text(), anders.path());
        QCOMPARE(Autosicherung::Einstellung::lesen().ordnerOderStandard(), anders.path());
        QCOMPARE(w->lst_sicherungen->topLevelItemCount(), 0);
        w->chk_aktiv->click();
        QVERIFY(!Autosicherung::Einstellung::lesen().aktiv);
        // Another copy of the program, with a log of its own, keeps its
        // generations beside that log.
        Programmverzeichnis::setzen(anders.path());
        QCOMPARE(Autosicherung::Einstellung::lesen().ordnerOderStandard(),
                 anders.filePath(QStringLiteral("sicherungen")));
        Programmverzeichnis::setzen(prog->pfad());

        tag(QDateTime(QDate(2024, 6, 1), QTime(9, 0)));
        starten();
        QCOMPARE(Autosicherung::generationen(anders.path()).size(), 0);
        einschalten();
        starten();
        QCOMPARE(Autosicherung::generationen(anders.path()).size(), 1);
    }
};

TREMVIK_TEST_MAIN(TestAutosicherung)
#include "tst_autosicherung.moc"
