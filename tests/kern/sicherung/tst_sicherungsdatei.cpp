// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/dateikopie.h"
#include "kern/basis/pfad.h"
#include "kern/sicherung/laufwerke.h"
#include "kern/sicherung/sicherung.h"
#include "kern/sicherung/sicherungsdatei.h"
#include "kernhilfe.h"

#include <csignal>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

// The file rules, the copy and the volume list, without any window.
class TestSicherungsdatei : public QObject
{
    Q_OBJECT

    // A log of 400 records with one page in its middle overwritten: the
    // schema still reads, the records do not all.
    static void beschaedigterLog(const QString &datei)
    {
        Testhilfe::ausSchema(datei, QStringLiteral("kontakt.sql"));
        Testhilfe::sql(datei,
                       QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 400) "
                                      "insert into Kontakt (callsign, ort, bemerkung) "
                                      "select 'DL' || i, 'Hamburg', hex(randomblob(100)) from n"));
        QByteArray b = Testhilfe::lies(datei);
        const int seiten = int(b.size() / 4096);
        QVERIFY(seiten > 4);
        const int ab = seiten / 2 * 4096;
        for (int i = 0; i < 4096; ++i)
            b[ab + i] = char(0xA5 ^ i);
        Testhilfe::schreibe(datei, b);
    }
    // The first column of the first row of a query.
    static QString wert(const QString &datei, const char *sql)
    {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(datei).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *s = nullptr;
        QString w = QStringLiteral("<Fehler>");
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            w = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
        sqlite3_close(db);
        return w;
    }
    static QStringList inhalt(const QString &ordner)
    {
        return QDir(ordner).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }
private Q_SLOTS:
    void cleanup() { Dateikopie::setzeStoerung({}); }

    void namen()
    {
        QCOMPARE(Sicherungsdatei::in(QStringLiteral("/home/anna/sich")),
                 QStringLiteral("/home/anna/sich/tremvik.dorlem-fasq"));
        QCOMPARE(Sicherungsdatei::in(QStringLiteral("/")), QStringLiteral("//tremvik.dorlem-fasq"));
        QCOMPARE(Sicherungsdatei::journal(QStringLiteral("/p/tremvik.dorlem-fasq")),
                 QStringLiteral("/p/tremvik.dorlem-fasq-journal"));
        QCOMPARE(Pfad::ordnerVon(QStringLiteral("//tremvik.dorlem-fasq")), QStringLiteral("/"));
        QCOMPARE(Pfad::ordnerVon(QStringLiteral("/a/b/tremvik.dorlem-fasq")), QStringLiteral("/a/b"));
    }

    void gleicherOrtAuchUnterAnderemNamen()
    {
        QTemporaryDir t;
        const QString a = t.filePath(QStringLiteral("a"));
        QVERIFY(QDir().mkpath(a + QStringLiteral("/unter")));
        QVERIFY(QFile::link(a, t.filePath(QStringLiteral("verweis"))));
        QVERIFY(Sicherungsdatei::gleich(a, a));
        QVERIFY(Sicherungsdatei::gleich(a, t.filePath(QStringLiteral("verweis"))));
        QVERIFY(Sicherungsdatei::gleich(a, a + QStringLiteral("/unter/..")));
        QVERIFY(!Sicherungsdatei::gleich(a, a + QStringLiteral("/unter")));
        // Missing names are equal only as texts.
        QVERIFY(!Sicherungsdatei::gleich(t.filePath(QStringLiteral("x")), t.filePath(QStringLiteral("y"))));
        QVERIFY(Sicherungsdatei::gleich(t.filePath(QStringLiteral("x")), t.filePath(QStringLiteral("x"))));
    }

    void vorhandenNurAlsSichtbareDatei()
    {
        QTemporaryDir t;
        const QString datei = t.filePath(QStringLiteral("tremvik.dorlem-fasq"));
        QVERIFY(!Sicherungsdatei::vorhanden(datei));
        Testhilfe::schreibe(datei, "x");
        QVERIFY(Sicherungsdatei::vorhanden(datei));
        QVERIFY(Sicherungsdatei::vorhanden(QStringLiteral("  ") + datei + QStringLiteral(" ")));
        QVERIFY(!Sicherungsdatei::vorhanden(datei.toUpper()));

        Testhilfe::schreibe(t.filePath(QStringLiteral(".tremvik.dorlem-fasq")), "x");
        QVERIFY(!Sicherungsdatei::vorhanden(t.filePath(QStringLiteral(".tremvik.dorlem-fasq"))));
        QVERIFY(QDir(t.path()).mkdir(QStringLiteral("ordner")));
        QVERIFY(!Sicherungsdatei::vorhanden(t.filePath(QStringLiteral("ordner"))));
        QVERIFY(!Sicherungsdatei::vorhanden(t.filePath(QStringLiteral("fehlt/tremvik.dorlem-fasq"))));
        QVERIFY(!Sicherungsdatei::vorhanden(datei + QStringLiteral("/tremvik.dorlem-fasq")));   // parent is a file
        QVERIFY(!Sicherungsdatei::vorhanden(t.filePath(QStringLiteral("*.dorlem-fasq"))));
        QVERIFY(!Sicherungsdatei::vorhanden(QString()));
    }

    void pruefungErkenntNurLogdatenbanken()
    {
        QTemporaryDir t;
        const QString log = t.filePath(QStringLiteral("log"));
        Testhilfe::ausSchema(log, QStringLiteral("kontakt.sql"));
        QVERIFY(Sicherungsdatei::pruefeLogdatenbank(log).ok());

        const QString leer = t.filePath(QStringLiteral("leer"));
        Testhilfe::schreibe(leer, QByteArray());
        QCOMPARE(Sicherungsdatei::pruefeLogdatenbank(leer).grund(), QStringLiteral("Die Datei ist leer"));
        QCOMPARE(Testhilfe::lies(leer), QByteArray());

        const QString text = t.filePath(QStringLiteral("text"));
        Testhilfe::schreibe(text, "Dies ist keine Datenbank, sondern ein Brief an Tante Erna.\n");
        QCOMPARE(Sicherungsdatei::pruefeLogdatenbank(text).grund(), QStringLiteral("Die Datei ist keine Datenbank"));

        const QString frequenzen = t.filePath(QStringLiteral("frequenzen"));
        Testhilfe::ausSchema(frequenzen, QStringLiteral("frequenzen.sql"));
        QVERIFY(
            Sicherungsdatei::pruefeLogdatenbank(frequenzen).grund().contains(QLatin1String("Tabelle Kontakt fehlt")));

        // The right header over damaged pages.
        const QString kaputt = t.filePath(QStringLiteral("kaputt"));
        QByteArray bytes = Testhilfe::lies(log);
        for (int i = 100; i < bytes.size(); ++i)
            bytes[i] = char(0xA5 ^ (i * 7));
        Testhilfe::schreibe(kaputt, bytes);
        QVERIFY(Sicherungsdatei::pruefeLogdatenbank(kaputt).istFehler());

        // Never creates the file it is asked about.
        const QString fehlt = t.filePath(QStringLiteral("fehlt"));
        QVERIFY(Sicherungsdatei::pruefeLogdatenbank(fehlt).istFehler());
        QVERIFY(!QFile::exists(fehlt));
        QCOMPARE(inhalt(t.path()), (QStringList{"frequenzen", "kaputt", "leer", "log", "text"}));
    }

    // A writer that holds the log for a moment (a commit) does not make the
    // check take it for damaged: the check waits for it.
    void pruefungWartetAufEinenSchreiber()
    {
        QTemporaryDir t;
        const QString log = t.filePath(QStringLiteral("log"));
        Testhilfe::ausSchema(log, QStringLiteral("kontakt.sql"));
        std::atomic<bool> gesperrt{false};
        std::thread schreiber([&] {
            sqlite3 *db = nullptr;
            sqlite3_open(QFile::encodeName(log).constData(), &db);
            sqlite3_exec(db, "begin exclusive", nullptr, nullptr, nullptr);
            gesperrt = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        });
        while (!gesperrt)
            std::this_thread::yield();
        const Ergebnis<> pruefung = Sicherungsdatei::pruefeLogdatenbank(log);
        schreiber.join();
        QVERIFY2(pruefung.ok(), qPrintable(pruefung.grund()));
    }

    // Every column the log window uses, and the key it writes back through.
    void pruefungVerlangtSpaltenUndSchluessel_data()
    {
        QTest::addColumn<QString>("tabelle");
        QTest::addColumn<QString>("grund");   // empty: accepted
        const QString spalten = QStringLiteral("callsign text, skip text, vorname text, land text, swert text, "
                                               "rwert text, datum text, uhrzeit text, %1 frequenz text, band text, "
                                               "ort text, bemerkung text");
        const QString mitLanal = spalten.arg(QStringLiteral("lanal text,"));
        const QString schluessel =
            QStringLiteral("Die Tabelle Kontakt hat keinen ganzzahligen Schlüssel id (id INTEGER PRIMARY KEY)");
        auto tabelle = [](const QString &inhalt) { return QStringLiteral("create table Kontakt (%1)").arg(inhalt); };

        QTest::newRow("wie angelegt") << tabelle("id integer primary key, " + mitLanal) << QString();
        QTest::newRow("andere Schreibweise")
            << QStringLiteral("create table KONTAKT (ID Integer Primary Key, %1)").arg(mitLanal.toUpper()) << QString();
        QTest::newRow("weitere Spalten") << tabelle("id integer primary key, " + mitLanal + ", qsl text") << QString();
        QTest::newRow("ohne lanal") << tabelle("id integer primary key, " + spalten.arg(QString()))
                                    << QStringLiteral("Der Tabelle Kontakt fehlt die Spalte lanal");
        QTest::newRow("nur callsign") << tabelle(QStringLiteral("id integer primary key, callsign text"))
                                      << QStringLiteral("Der Tabelle Kontakt fehlen die Spalten skip, vorname, land, "
                                                        "swert, rwert, datum, uhrzeit, lanal, frequenz, band, ort, "
                                                        "bemerkung");
        QTest::newRow("ohne Schlüssel") << tabelle("id integer, " + mitLanal) << schluessel;
        QTest::newRow("INT statt INTEGER") << tabelle("id int primary key, " + mitLanal) << schluessel;
        QTest::newRow("absteigender Schlüssel") << tabelle("id integer primary key desc, " + mitLanal) << schluessel;
        QTest::newRow("ohne Zeilennummern")
            << tabelle("id integer primary key, " + mitLanal) + QStringLiteral(" without rowid") << schluessel;
        QTest::newRow("anderer Name") << tabelle("nr integer primary key, " + mitLanal) << schluessel;
        QTest::newRow("beides fehlt") << tabelle(QStringLiteral("nr integer primary key, callsign, skip, vorname, "
                                                                "land, swert, rwert, datum, uhrzeit, frequenz, band, "
                                                                "ort, bemerkung"))
                                      << QStringLiteral("Der Tabelle Kontakt fehlt die Spalte lanal; die Tabelle "
                                                        "Kontakt hat keinen ganzzahligen Schlüssel id (id INTEGER "
                                                        "PRIMARY KEY)");
    }
    void pruefungVerlangtSpaltenUndSchluessel()
    {
        QFETCH(QString, tabelle);
        QFETCH(QString, grund);
        QTemporaryDir t;
        const QString datei = t.filePath(QStringLiteral("log"));
        Testhilfe::sql(datei, tabelle);
        const Ergebnis<> pruefung = Sicherungsdatei::pruefeLogdatenbank(datei);
        QCOMPARE(pruefung.ok(), grund.isEmpty());
        QCOMPARE(pruefung.grund(), grund);
    }

    // No backup is ever replaced by a copy that restore would refuse.
    void sicherungNurVonEinerGutenLogdatenbank_data()
    {
        QTest::addColumn<QByteArray>("art");
        QTest::addColumn<QString>("grund");
        QTest::newRow("beschädigte Seite") << QByteArray("kaputt") << QStringLiteral("Die Datenbank ist beschädigt");
        QTest::newRow("ohne lanal") << QByteArray("ohneLanal") << QStringLiteral("fehlt die Spalte lanal");
        QTest::newRow("leer") << QByteArray("leer") << QStringLiteral("Die Datei ist leer");
        QTest::newRow("Text") << QByteArray("text") << QStringLiteral("Die Datei ist keine Datenbank");
    }
    void sicherungNurVonEinerGutenLogdatenbank()
    {
        QFETCH(QByteArray, art);
        QFETCH(QString, grund);
        QTemporaryDir t;
        QDir().mkpath(t.filePath(QStringLiteral("prog")));
        QDir().mkpath(t.filePath(QStringLiteral("sich")));
        const QString log = t.filePath(QStringLiteral("prog/tremvik.dorlem-fasq"));
        const QString kopie = t.filePath(QStringLiteral("sich/tremvik.dorlem-fasq"));
        if (art == "kaputt") {
            beschaedigterLog(log);
        } else if (art == "ohneLanal") {
            Testhilfe::ausSchema(log, QStringLiteral("kontakt.sql"));
            Testhilfe::sql(log, QStringLiteral("alter table Kontakt drop column lanal"));
        } else {
            Testhilfe::schreibe(log, art == "leer" ? QByteArray() : QByteArray("Rufzeichen;Ort\nDL1ABC;Hamburg\n"));
        }
        Testhilfe::grosserLog(kopie, QStringLiteral("ALT"));
        const QByteArray alt = Testhilfe::lies(kopie);
        const QByteArray vorherLog = Testhilfe::lies(log);

        const Ergebnis<> e = Sicherung::sichern(log, kopie);
        QVERIFY(!e.ok());
        QVERIFY2(e.grund().contains(grund), qPrintable(e.grund()));
        QVERIFY2(e.grund().contains(log), qPrintable(e.grund()));
        QCOMPARE(Testhilfe::lies(kopie), alt);
        QCOMPARE(inhalt(t.filePath(QStringLiteral("sich"))), QStringList{"tremvik.dorlem-fasq"});
        QCOMPARE(Testhilfe::lies(log), vorherLog);
        // The very file the backup refused is one restore refuses.
        QVERIFY(Sicherungsdatei::pruefeLogdatenbank(log).istFehler());
    }

    // Restore waits, as backup does, for another program's write to end, and
    // refuses when it does not: that program's transaction goes through.
    void wiederherstellungFaehrtKeinemSchreiberDazwischen()
    {
        QTemporaryDir t;
        QDir().mkpath(t.filePath(QStringLiteral("prog")));
        QDir().mkpath(t.filePath(QStringLiteral("sich")));
        const QString log = t.filePath(QStringLiteral("prog/tremvik.dorlem-fasq"));
        const QString kopie = t.filePath(QStringLiteral("sich/tremvik.dorlem-fasq"));
        Testhilfe::ausSchema(log, QStringLiteral("kontakt.sql"));
        Testhilfe::sql(log, QStringLiteral("insert into Kontakt (callsign) values ('ALT')"));
        QVERIFY(QFile::copy(log, kopie));

        // While the writer runs, the test opens no descriptor of the log:
        // closing one would drop the writer's locks (they belong to the
        // process).
        struct stat vorher;
        QCOMPARE(::stat(QFile::encodeName(log).constData(), &vorher), 0);
        sqlite3 *schreiber = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(log).constData(), &schreiber), SQLITE_OK);
        QCOMPARE(sqlite3_exec(schreiber, "begin; insert into Kontakt (callsign) values ('SCHREIBER')", nullptr, nullptr,
                              nullptr),
                 SQLITE_OK);
        QVERIFY(QFile::exists(Sicherungsdatei::journal(log)));

        Ergebnis<> e = Sicherung::wiederherstellen(kopie, log);
        QVERIFY(!e.ok());
        QVERIFY2(e.grund().contains(QStringLiteral("wird gerade von einem anderen Programm benutzt")),
                 qPrintable(e.grund()));
        struct stat nachher;
        QCOMPARE(::stat(QFile::encodeName(log).constData(), &nachher), 0);
        QCOMPARE(nachher.st_ino, vorher.st_ino);   // not replaced
        QCOMPARE(inhalt(t.filePath(QStringLiteral("prog"))),
                 (QStringList{"tremvik.dorlem-fasq", "tremvik.dorlem-fasq-journal"}));

        QCOMPARE(sqlite3_exec(schreiber, "commit", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(schreiber);
        QCOMPARE(wert(log, "select group_concat(callsign) from Kontakt"), QStringLiteral("ALT,SCHREIBER"));

        // With the writer done, the restore goes through.
        e = Sicherung::wiederherstellen(kopie, log);
        QVERIFY2(e.ok(), qPrintable(e.grund()));
        QCOMPARE(wert(log, "select group_concat(callsign) from Kontakt"), QStringLiteral("ALT"));
        QCOMPARE(inhalt(t.filePath(QStringLiteral("prog"))), QStringList{"tremvik.dorlem-fasq"});
    }

    // A target that is a symbolic link: the file behind it is replaced and
    // the link stays.
    void verweisWirdDurchschrieben()
    {
        QTemporaryDir t;
        for (const char *o : {"prog", "echt", "sich", "sich2", "kreis"})
            QVERIFY(QDir().mkpath(t.filePath(QString::fromLatin1(o))));
        const QString echt = t.filePath(QStringLiteral("echt/mein-log"));
        const QString log = t.filePath(QStringLiteral("prog/tremvik.dorlem-fasq"));
        const QString kopie = t.filePath(QStringLiteral("sich/tremvik.dorlem-fasq"));
        Testhilfe::grosserLog(echt, QStringLiteral("ALT"));
        Testhilfe::grosserLog(kopie, QStringLiteral("GESICHERT"));
        QVERIFY(QFile::link(QStringLiteral("../echt/mein-log"), log));   // relative, as users make them

        Ergebnis<> e = Sicherung::wiederherstellen(kopie, log);
        QVERIFY2(e.ok(), qPrintable(e.grund()));
        QVERIFY(QFileInfo(log).isSymLink());
        QCOMPARE(Testhilfe::lies(echt), Testhilfe::lies(kopie));
        QCOMPARE(inhalt(t.filePath(QStringLiteral("prog"))), QStringList{"tremvik.dorlem-fasq"});
        QCOMPARE(inhalt(t.filePath(QStringLiteral("echt"))), QStringList{"mein-log"});

        // A backup onto a link whose file does not exist yet makes that file.
        const QString verweis = t.filePath(QStringLiteral("sich2/tremvik.dorlem-fasq"));
        const QString ablage = t.filePath(QStringLiteral("echt/gesichert"));
        QVERIFY(QFile::link(ablage, verweis));
        e = Sicherung::sichern(log, verweis);
        QVERIFY2(e.ok(), qPrintable(e.grund()));
        QVERIFY(QFileInfo(verweis).isSymLink());
        QCOMPARE(Testhilfe::lies(ablage), Testhilfe::lies(echt));

        // Links in a circle are refused.
        const QString kreis = t.filePath(QStringLiteral("kreis/tremvik.dorlem-fasq"));
        QVERIFY(QFile::link(t.filePath(QStringLiteral("kreis/b")), kreis));
        QVERIFY(QFile::link(kreis, t.filePath(QStringLiteral("kreis/b"))));
        e = Sicherung::sichern(log, kreis);
        QVERIFY(!e.ok());
        QVERIFY2(e.grund().contains(QStringLiteral("im Kreis")), qPrintable(e.grund()));
        QCOMPARE(inhalt(t.filePath(QStringLiteral("kreis"))), (QStringList{"b", "tremvik.dorlem-fasq"}));
    }

    void sicherungUndWiederherstellung()
    {
        QTemporaryDir t;
        QDir().mkpath(t.filePath(QStringLiteral("prog")));
        QDir().mkpath(t.filePath(QStringLiteral("sich")));
        const QString log = t.filePath(QStringLiteral("prog/tremvik.dorlem-fasq"));
        const QString kopie = t.filePath(QStringLiteral("sich/tremvik.dorlem-fasq"));
        Testhilfe::grosserLog(log, QStringLiteral("VORHER"));
        const QByteArray vorher = Testhilfe::lies(log);
        Testhilfe::schreibe(kopie, "alte Sicherung");
        Testhilfe::schreibe(Sicherungsdatei::journal(kopie), "Journal der alten Sicherung");

        Ergebnis<> e = Sicherung::sichern(log, kopie);
        QVERIFY2(e.ok(), qPrintable(e.grund()));
        QCOMPARE(Testhilfe::lies(kopie), vorher);
        QCOMPARE(inhalt(t.filePath(QStringLiteral("sich"))), QStringList{"tremvik.dorlem-fasq"});
        QCOMPARE(Testhilfe::lies(log), vorher);   // taking the backup does not touch the log

        Testhilfe::sql(log, QStringLiteral("update Kontakt set callsign = 'NACHHER'"));
        QVERIFY(Testhilfe::lies(log) != vorher);
        // An interrupted writer's journal beside the log belongs to the old file.
        Testhilfe::schreibe(Sicherungsdatei::journal(log), "alter Journalinhalt");

        // A failing rename gives the journal back to the old file.
        Dateikopie::setzeStoerung(
            [](Dateikopie::Schritt s, qint64) { return s == Dateikopie::Schritt::Umbenennen ? EIO : 0; });
        const QByteArray nachher = Testhilfe::lies(log);
        e = Sicherung::wiederherstellen(kopie, log);
        QVERIFY(!e.ok());
        QCOMPARE(Testhilfe::lies(log), nachher);
        QCOMPARE(Testhilfe::lies(Sicherungsdatei::journal(log)), QByteArray("alter Journalinhalt"));
        QCOMPARE(inhalt(t.filePath(QStringLiteral("prog"))),
                 (QStringList{"tremvik.dorlem-fasq", "tremvik.dorlem-fasq-journal"}));
        Dateikopie::setzeStoerung({});

        e = Sicherung::wiederherstellen(kopie, log);
        QVERIFY2(e.ok(), qPrintable(e.grund()));
        QCOMPARE(Testhilfe::lies(log), vorher);
        QCOMPARE(inhalt(t.filePath(QStringLiteral("prog"))), QStringList{"tremvik.dorlem-fasq"});
    }

    void wiederherstellungPrueftDieKopierteDatei()
    {
        QTemporaryDir t;
        const QString log = t.filePath(QStringLiteral("tremvik.dorlem-fasq"));
        Testhilfe::ausSchema(log, QStringLiteral("kontakt.sql"));
        const QByteArray vorher = Testhilfe::lies(log);
        const QString fremd = t.filePath(QStringLiteral("fremd"));
        Testhilfe::ausSchema(fremd, QStringLiteral("frequenzen.sql"));
        const Ergebnis<> e = Sicherung::wiederherstellen(fremd, log);
        QVERIFY(!e.ok());
        QVERIFY2(e.grund().contains(QStringLiteral("keine gültige Sicherungskopie")), qPrintable(e.grund()));
        QCOMPARE(Testhilfe::lies(log), vorher);
        QCOMPARE(inhalt(t.path()), (QStringList{"fremd", "tremvik.dorlem-fasq"}));
    }

    void laufwerkeOhnePseudoDateisysteme()
    {
        const QByteArray mountinfo =
            "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
            "23 27 0:22 / /sys rw,relatime - sysfs sysfs rw\n"
            "24 27 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw\n"
            "26 24 0:24 / /dev/pts rw,relatime - devpts devpts rw\n"
            "27 1 0:40 / / rw,relatime - overlay overlay rw,lowerdir=/a\n"
            "31 23 0:28 / /sys/fs/cgroup rw,relatime - cgroup2 cgroup2 rw\n"
            "40 27 8:2 / /home rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
            "41 27 8:1 / /boot/efi rw,relatime - vfat /dev/sda1 rw\n"
            "42 27 0:50 / /run/user/1000 rw - tmpfs tmpfs rw\n"
            "43 27 8:17 / /run/media/anna/MEIN\\040STICK rw shared:5 master:3 - vfat /dev/sdb1 rw\n"
            "44 27 8:33 / /media/anna/Fotos rw - exfat /dev/sdc1 rw\n"
            "45 27 7:0 / /snap/core/123 ro - squashfs /dev/loop0 ro\n"
            "46 27 0:60 / /mnt/nas rw - nfs4 server:/export rw\n"
            "47 27 0:61 / /tmp rw - tmpfs tmpfs rw\n"
            "48 27 0:62 / /mnt/nas rw - tmpfs tmpfs rw\n"
            "49 27 254:0 /etc/hosts /etc/hosts rw - ext4 /dev/vda rw\n"
            "kaputte Zeile\n";
        const auto einhaengungen = Laufwerke::ausMountinfo(mountinfo);
        QCOMPARE(einhaengungen.size(), 16);
        QCOMPARE(einhaengungen[9].pfad, QStringLiteral("/run/media/anna/MEIN STICK"));

        const auto liste = Laufwerke::auswahl(einhaengungen, QStringLiteral("/home/anna/"), [](const QString &quelle) {
            return quelle == QLatin1String("/dev/sdc1") ? QStringLiteral("FOTOS") : QString();
        });
        QStringList texte;
        for (const auto &l : liste)
            texte << l.text();
        QCOMPARE(texte, (QStringList{"/   [System]", "/home   [sda2]", "/home/anna   [Persönlicher Ordner]",
                                     "/media/anna/Fotos   [FOTOS]", "/run/media/anna/MEIN STICK   [sdb1]"}));

        QCOMPARE(Laufwerke::zu(QStringLiteral("/home/anna/Funk"), liste), 2);
        QCOMPARE(Laufwerke::zu(QStringLiteral("/home/annabell"), liste), 1);
        QCOMPARE(Laufwerke::zu(QStringLiteral("/media/anna/Fotos"), liste), 3);
        QCOMPARE(Laufwerke::zu(QStringLiteral("/usr/share"), liste), 0);

        // Without any usable mount there is still the root.
        const auto nurWurzel =
            Laufwerke::auswahl(Laufwerke::ausMountinfo("22 27 0:21 / /proc rw - proc proc rw\n"), QStringLiteral("/"));
        QCOMPARE(nurWurzel.size(), 1);
        QCOMPARE(nurWurzel[0].pfad, QStringLiteral("/"));

        // This machine: the root is there, and every entry is a folder.
        const auto hier = Laufwerke::liste();
        QVERIFY(!hier.isEmpty());
        QCOMPARE(hier[0].pfad, QStringLiteral("/"));
        for (const auto &l : hier)
            QVERIFY2(QFileInfo(l.pfad).isDir(), qPrintable(l.pfad));
    }
};

TREMVIK_KERN_TEST_MAIN(TestSicherungsdatei)
#include "tst_sicherungsdatei.moc"
