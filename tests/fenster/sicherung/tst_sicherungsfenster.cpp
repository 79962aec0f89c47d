// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/geometrie.h"
#include "fenster/haupt/frm_main.h"
#include "fenster/sicherung/frm_herstellen.h"
#include "fenster/sicherung/frm_sicherung.h"
#include "kern/basis/dateikopie.h"
#include "kern/sicherung/autosicherung.h"
#include "kern/sicherung/sicherungsdatei.h"
#include "testhilfe.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <csignal>
#include <memory>
#include <sys/resource.h>

// The backup and restore windows, driven through the real main window with
// the program directory and the backup folders in temporary folders.
class TestSicherungsfenster : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testhilfe::Programmordner> prog;
    std::unique_ptr<QTemporaryDir> ablage;   // folders the user backs up into
    std::unique_ptr<QTemporaryDir> auto_;    // the automatic backups, where a restore keeps the log
    std::unique_ptr<frm_main> haupt;
    QString startOrdner;

    static QStringList inhalt(const QString &ordner)
    {
        return QDir(ordner).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }
    // The program directory while the program runs: the two databases and
    // the log's lock file, nothing left over from a copy.
    static QStringList programmordnerImBetrieb()
    {
        return {"Frequenzen.dorlem-fasq", "tremvik.dorlem-fasq", "tremvik.dorlem-fasq.lock"};
    }
    QString ordner(const QString &name)
    {
        const QString p = ablage->filePath(name);
        QDir().mkpath(p);
        return p;
    }
    QString log() const { return prog->logDatei(); }
    void eintrag(const QString &rufzeichen)
    {
        Testhilfe::sql(log(),
                       QStringLiteral("insert into Kontakt (callsign, ort) values ('%1', 'Hamburg')").arg(rufzeichen));
    }
    // Enough data that a copy takes several blocks.
    void grosserLog()
    {
        Testhilfe::sql(
            log(),
            QStringLiteral("insert into Kontakt (callsign, bemerkung) values ('GROSS', hex(randomblob(150000)))"));
    }
    static void aufraeumen() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    frm_sicherung *sicherung()
    {
        haupt->sicher_Click();
        return qobject_cast<frm_sicherung *>(haupt->frm_sicherung());
    }
    frm_herstellen *herstellen()
    {
        haupt->wer_Click();
        return qobject_cast<frm_herstellen *>(haupt->frm_herstellen());
    }
    // Whether the window is still shown after its handler ran.
    static bool offen(QPointer<KindFenster> f)
    {
        aufraeumen();
        return f && f->isVisible();
    }
    static QList<Testhilfe::Meldung> meldungen() { return Testhilfe::meldungen(); }
    // The copies of the log kept before a restore.
    static QStringList aufbewahrt()
    {
        QStringList l;
        for (const auto &g : Autosicherung::generationen(Autosicherung::Einstellung::lesen().ordnerOderStandard()))
            if (g.vorWiederherstellung)
                l << g.datei;
        return l;
    }
    // A restore's success: the message names the place restored from and
    // the copy of the log as it was, which holds the bytes it had.
    static void wiederhergestellt(const QString &von, const QByteArray &logVorher)
    {
        QCOMPARE(aufbewahrt().size(), 1);
        meldet(QStringLiteral("Daten wurden erfolgreich von ") + von + QStringLiteral(" wiederhergestellt")
                   + QStringLiteral("\nDie bisherigen eigenen Einträge sind aufbewahrt in ") + aufbewahrt()[0],
               Meldung::Symbol::Keins);
        QCOMPARE(Testhilfe::lies(aufbewahrt()[0]), logVorher);
        QVERIFY(Testhilfe::fragen().isEmpty());
    }
    static void meldet(const QString &text, Meldung::Symbol symbol)
    {
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen()[0].text, text);
        QVERIFY(Testhilfe::meldungen()[0].symbol == symbol);
    }
    static void meldetFehler(const QString &teil)
    {
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY2(Testhilfe::meldungen()[0].text.contains(teil), qPrintable(Testhilfe::meldungen()[0].text));
        QVERIFY(Testhilfe::meldungen()[0].symbol == Meldung::Symbol::Fehler);
    }
    // The controls the tab key visits, from the first one on.
    static QWidgetList tabFolge(QWidget *fenster, QWidget *erstes)
    {
        QWidgetList folge{erstes};
        for (QWidget *w = erstes->nextInFocusChain(); w != erstes && folge.size() < 20; w = w->nextInFocusChain())
            if (fenster->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled())
                folge.append(w);
        return folge;
    }

private Q_SLOTS:
    void init()
    {
        startOrdner = QDir::currentPath();
        prog = std::make_unique<Testhilfe::Programmordner>();
        ablage = std::make_unique<QTemporaryDir>();
        auto_ = std::make_unique<QTemporaryDir>();
        Autosicherung::Einstellung e = Autosicherung::Einstellung::lesen();
        e.ordner = auto_->path();
        e.schreiben();
        QDir::setCurrent(prog->pfad());
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        Testhilfe::leeren();
    }
    void cleanup()
    {
        Dateikopie::setzeStoerung({});
        haupt.reset();
        aufraeumen();
        QDir::setCurrent(startOrdner);
        ablage.reset();
        auto_.reset();
        prog.reset();
        QSettings().clear();
    }

    void fensterAufbau()
    {
        frm_sicherung *s = sicherung();
        QVERIFY(s);
        QCOMPARE(s->windowTitle(), QStringLiteral("Datensicherung"));
        QCOMPARE(s->size(), QSize(Geometrie::twips(7935), Geometrie::twips(3135)));
        QCOMPARE(s->Frame1->geometry(), Geometrie::rechteck(0, 0, 7815, 2535));
        QCOMPARE(s->File1->geometry(), Geometrie::rechteck(4920, 240, 2775, 2190));
        QCOMPARE(s->Dir1->geometry(), Geometrie::rechteck(120, 720, 4695, 1710));
        QCOMPARE(s->Drive1->geometry(), Geometrie::rechteck(120, 240, 4695, 420));
        QCOMPARE(s->cmd_datensicherung->geometry(), Geometrie::rechteck(240, 2640, 375, 375));
        QCOMPARE(s->Label1->geometry(), Geometrie::rechteck(480, 2640, 2175, 375));
        QCOMPARE(s->cmd_datensicherung->text(), QStringLiteral("X"));
        QVERIFY(s->cmd_datensicherung->font().bold());
        QCOMPARE(s->cmd_datensicherung->font().pointSizeF(), 12.0);
        QCOMPARE(s->Label1->text(), QStringLiteral("Sicherung Starten"));
        QCOMPARE(s->File1->muster(), QStringLiteral("*.dorlem-fasq"));
        QCOMPARE(s->focusWidget(), s->cmd_datensicherung);
        QCOMPARE(tabFolge(s, s->cmd_datensicherung),
                 (QWidgetList{s->cmd_datensicherung, s->Drive1, s->Dir1, s->File1}));

        frm_herstellen *h = herstellen();
        QVERIFY(h);
        QCOMPARE(h->windowTitle(), QStringLiteral("Datenwiederherstellung"));
        QCOMPARE(h->size(), QSize(Geometrie::twips(7860), Geometrie::twips(3135)));
        QCOMPARE(h->Label2->geometry(), Geometrie::rechteck(720, 2640, 2895, 375));
        QCOMPARE(h->Label2->text(), QStringLiteral("Wiederherstellung starten"));
        QCOMPARE(h->cmd_datenherstellen->geometry(), Geometrie::rechteck(240, 2640, 375, 375));
        QCOMPARE(h->File1->geometry(), s->File1->geometry());
        QCOMPARE(h->focusWidget(), h->File1);
        QCOMPARE(tabFolge(h, h->File1), (QWidgetList{h->File1, h->Dir1, h->Drive1, h->cmd_datenherstellen}));
        QVERIFY(meldungen().isEmpty());
    }

    // Both windows open on the process's current folder, and moving through
    // the lists keeps every list on one folder.
    void listenFolgenEinander()
    {
        const QString a = ordner(QStringLiteral("A"));
        QDir().mkpath(a + QStringLiteral("/Funk/2006"));
        QDir().mkpath(a + QStringLiteral("/.versteckt"));
        Testhilfe::schreibe(a + QStringLiteral("/Funk/alt.dorlem-fasq"), "x");
        Testhilfe::schreibe(a + QStringLiteral("/Funk/brief.txt"), "x");
        Testhilfe::schreibe(a + QStringLiteral("/Funk/.tremvik.dorlem-fasq"), "x");

        frm_herstellen *h = herstellen();
        QCOMPARE(h->Dir1->pfad(), prog->pfad());
        QCOMPARE(h->File1->pfad(), prog->pfad());
        QCOMPARE(h->File1->dateien(), (QStringList{"Frequenzen.dorlem-fasq", "tremvik.dorlem-fasq"}));
        QCOMPARE(h->Drive1->laufwerk(),
                 h->Drive1->laufwerke().at(Laufwerke::zu(prog->pfad(), h->Drive1->laufwerke())).pfad);

        // A volume that cannot be read: the drive list shows it, nothing else moves.
        h->Drive1->setzeLaufwerke({{QStringLiteral("/"), QStringLiteral("System")},
                                   {a, QStringLiteral("A")},
                                   {ablage->filePath(QStringLiteral("abgezogen")), QStringLiteral("STICK")}});
        h->Drive1->zeigeFuer(h->Dir1->pfad());
        h->Drive1->setCurrentIndex(2);
        QCOMPARE(h->Drive1->currentIndex(), 2);
        QCOMPARE(h->Dir1->pfad(), prog->pfad());
        QCOMPARE(h->File1->pfad(), prog->pfad());
        QVERIFY(meldungen().isEmpty());

        // A readable one moves the folder list to its root, the file list follows.
        h->Drive1->setCurrentIndex(1);
        QCOMPARE(h->Dir1->pfad(), a);
        QCOMPARE(h->File1->pfad(), a);
        QVERIFY(h->File1->dateien().isEmpty());

        // The folder list: ancestors from the root, then visible subfolders.
        QCOMPARE(h->Dir1->pfadVon(0), QStringLiteral("/"));
        QCOMPARE(h->Dir1->pfadVon(h->Dir1->aktuelleZeile()), a);
        QCOMPARE(h->Dir1->count(), h->Dir1->aktuelleZeile() + 2);
        const int funk = h->Dir1->aktuelleZeile() + 1;
        QCOMPARE(h->Dir1->item(funk)->text(), QStringLiteral("Funk"));

        // Double-click opens a subfolder.
        QListWidgetItem *item = h->Dir1->item(funk);
        h->Dir1->scrollToItem(item);
        const QPoint stelle = h->Dir1->visualItemRect(item).center();
        QTest::mouseClick(h->Dir1->viewport(), Qt::LeftButton, {}, stelle);
        QCOMPARE(h->Dir1->pfad(), a);   // a single click only selects
        QTest::mouseDClick(h->Dir1->viewport(), Qt::LeftButton, {}, stelle);
        QCOMPARE(h->Dir1->pfad(), a + QStringLiteral("/Funk"));
        QCOMPARE(h->File1->pfad(), a + QStringLiteral("/Funk"));
        QCOMPARE(h->File1->dateien(), QStringList{"alt.dorlem-fasq"});

        // Enter on an ancestor goes up; the drive list follows to the root volume.
        h->Dir1->setFocus();
        h->Dir1->setCurrentRow(0);
        QTest::keyClick(h->Dir1, Qt::Key_Return);
        QCOMPARE(h->Dir1->pfad(), QStringLiteral("/"));
        QCOMPARE(h->File1->pfad(), QStringLiteral("/"));
        QCOMPARE(h->Drive1->currentIndex(), 0);
        QCOMPARE(h->Dir1->pfadVon(h->Dir1->aktuelleZeile()), QStringLiteral("/"));

        // The restore names a backup in the root as the drive root does.
        if (!QFile::exists(QStringLiteral("/tremvik.dorlem-fasq"))) {
            QTest::mouseClick(h->cmd_datenherstellen, Qt::LeftButton);
            QCOMPARE(h->quelle, QStringLiteral("//tremvik.dorlem-fasq"));
            meldet(QStringLiteral("Datei nicht gefunden"), Meldung::Symbol::Keins);
        }
        QVERIFY(!h->Dir1->setzePfad(ablage->filePath(QStringLiteral("gibt-es-nicht"))));
        QCOMPARE(QDir::currentPath(), prog->pfad());

        // A fresh window starts at the current folder again.
        aufraeumen();
        frm_sicherung *s = sicherung();
        QCOMPARE(s->Dir1->pfad(), prog->pfad());
    }

    void sicherungVerweigertProgrammverzeichnis()
    {
        const QByteArray vorher = Testhilfe::lies(log());
        frm_sicherung *s = sicherung();
        QTest::mouseClick(s->cmd_datensicherung, Qt::LeftButton);
        meldet(QStringLiteral("Das Programmverzeichnis kann nicht zur Datensicherung gewählt werden"),
               Meldung::Symbol::Fehler);
        QVERIFY(offen(s));

        // The same folder under another name.
        const QString verweis = ablage->filePath(QStringLiteral("verweis"));
        QVERIFY(QFile::link(prog->pfad(), verweis));
        QVERIFY(s->Dir1->setzePfad(verweis));
        Testhilfe::leeren();
        QTest::mouseClick(s->cmd_datensicherung, Qt::LeftButton);
        meldet(QStringLiteral("Das Programmverzeichnis kann nicht zur Datensicherung gewählt werden"),
               Meldung::Symbol::Fehler);
        QVERIFY(offen(s));

        // A folder whose backup name leads to the log itself.
        const QString z = ordner(QStringLiteral("z"));
        QVERIFY(QFile::link(log(), z + QStringLiteral("/tremvik.dorlem-fasq")));
        QVERIFY(s->Dir1->setzePfad(z));
        Testhilfe::leeren();
        QTest::mouseClick(s->cmd_datensicherung, Qt::LeftButton);
        meldet(QStringLiteral("Das Programmverzeichnis kann nicht zur Datensicherung gewählt werden"),
               Meldung::Symbol::Fehler);
        QVERIFY(offen(s));
        QCOMPARE(Testhilfe::lies(log()), vorher);
        QCOMPARE(inhalt(prog->pfad()), programmordnerImBetrieb());
    }

    // Backup, a change in the log, restore: the earlier log comes back.
    void sicherungUndWiederherstellungByteFuerByte()
    {
        eintrag(QStringLiteral("DL1ABC"));
        grosserLog();
        const QByteArray gesichert = Testhilfe::lies(log());
        const QString z = ordner(QStringLiteral("Sicherung 2006"));
        Testhilfe::schreibe(z + QStringLiteral("/tremvik.dorlem-fasq"), "eine ältere Sicherung");

        QPointer<KindFenster> s = sicherung();
        auto *fs = qobject_cast<frm_sicherung *>(s.data());
        QVERIFY(fs->Dir1->setzePfad(z));
        QTest::mouseClick(fs->cmd_datensicherung, Qt::LeftButton);
        meldet(QStringLiteral("Daten wurden erfolgreich nach ") + z + QStringLiteral(" gesichert"),
               Meldung::Symbol::Keins);
        QVERIFY(!offen(s));
        QVERIFY(!haupt->frm_sicherung());
        QCOMPARE(Testhilfe::lies(z + QStringLiteral("/tremvik.dorlem-fasq")), gesichert);
        QCOMPARE(inhalt(z), QStringList{"tremvik.dorlem-fasq"});
        QCOMPARE(Testhilfe::lies(log()), gesichert);

        eintrag(QStringLiteral("OE3XYZ"));
        Testhilfe::sql(log(), QStringLiteral("delete from Kontakt where callsign = 'DL1ABC'"));
        const QByteArray geaendert = Testhilfe::lies(log());
        QVERIFY(geaendert != gesichert);

        // The restore asks nothing, and keeps the log it replaces.
        Testhilfe::leeren();
        QPointer<KindFenster> h = herstellen();
        auto *fh = qobject_cast<frm_herstellen *>(h.data());
        QVERIFY(fh->Dir1->setzePfad(z));
        QCOMPARE(fh->File1->dateien(), QStringList{"tremvik.dorlem-fasq"});
        QTest::mouseClick(fh->cmd_datenherstellen, Qt::LeftButton);
        wiederhergestellt(z, geaendert);
        QVERIFY(!offen(h));
        QCOMPARE(Testhilfe::lies(log()), gesichert);
        QCOMPARE(inhalt(prog->pfad()), programmordnerImBetrieb());
        QCOMPARE(QDir::currentPath(), prog->pfad());
    }

    void wiederherstellungVerweigertProgrammverzeichnis()
    {
        const QByteArray vorher = Testhilfe::lies(log());
        frm_herstellen *h = herstellen();
        QTest::mouseClick(h->cmd_datenherstellen, Qt::LeftButton);
        meldet(QStringLiteral("Bitte den Speicherort der Sicherungskopie wählen"), Meldung::Symbol::Fehler);
        QVERIFY(offen(h));

        const QString verweis = ablage->filePath(QStringLiteral("verweis"));
        QVERIFY(QFile::link(prog->pfad(), verweis));
        QVERIFY(h->Dir1->setzePfad(verweis));
        Testhilfe::leeren();
        QTest::mouseClick(h->cmd_datenherstellen, Qt::LeftButton);
        meldet(QStringLiteral("Bitte den Speicherort der Sicherungskopie wählen"), Meldung::Symbol::Fehler);
        QVERIFY(offen(h));
        QCOMPARE(Testhilfe::lies(log()), vorher);
        QCOMPARE(inhalt(prog->pfad()), programmordnerImBetrieb());
    }

    void dateiNichtGefunden_data()
    {
        QTest::addColumn<QString>("vorhanden");
        QTest::newRow("leerer Ordner") << QString();
        QTest::newRow("nur die Frequenzen") << QStringLiteral("Frequenzen.dorlem-fasq");
        QTest::newRow("versteckte Kopie") << QStringLiteral(".tremvik.dorlem-fasq");
        QTest::newRow("Ordner dieses Namens") << QStringLiteral("tremvik.dorlem-fasq/");
    }
    void dateiNichtGefunden()
    {
        QFETCH(QString, vorhanden);
        const QString z = ordner(QStringLiteral("z"));
        if (vorhanden.endsWith(QLatin1Char('/')))
            QDir().mkpath(z + QLatin1Char('/') + vorhanden);
        else if (!vorhanden.isEmpty())
            QFile::copy(prog->frequenzDatei(), z + QLatin1Char('/') + vorhanden);
        const QByteArray vorher = Testhilfe::lies(log());

        QPointer<KindFenster> h = herstellen();
        auto *fh = qobject_cast<frm_herstellen *>(h.data());
        QVERIFY(fh->Dir1->setzePfad(z));
        QCOMPARE(fh->File1->dateien(),
                 vorhanden == QLatin1String("Frequenzen.dorlem-fasq") ? QStringList{vorhanden} : QStringList{});
        QTest::mouseClick(fh->cmd_datenherstellen, Qt::LeftButton);
        meldet(QStringLiteral("Datei nicht gefunden"), Meldung::Symbol::Keins);
        QVERIFY(!offen(h));
        QCOMPARE(Testhilfe::lies(log()), vorher);
    }

    void fremdeDateiVerweigert_data()
    {
        QTest::addColumn<QByteArray>("art");
        QTest::newRow("leer") << QByteArray("leer");
        QTest::newRow("Text") << QByteArray("text");
        QTest::newRow("Frequenzdatenbank") << QByteArray("frequenzen");
        QTest::newRow("beschädigt") << QByteArray("kaputt");
    }
    void fremdeDateiVerweigert()
    {
        QFETCH(QByteArray, art);
        eintrag(QStringLiteral("DL1ABC"));
        const QString z = ordner(QStringLiteral("z"));
        const QString kopie = z + QStringLiteral("/tremvik.dorlem-fasq");
        if (art == "leer") {
            Testhilfe::schreibe(kopie, QByteArray());
        } else if (art == "text") {
            Testhilfe::schreibe(kopie, "Rufzeichen;Ort\nDL1ABC;Hamburg\n");
        } else if (art == "frequenzen") {
            QVERIFY(QFile::copy(prog->frequenzDatei(), kopie));
        } else {
            QByteArray b = Testhilfe::lies(log());
            for (int i = 100; i < b.size(); i += 3)
                b[i] = char(i * 13);
            Testhilfe::schreibe(kopie, b);
        }
        const QByteArray vorherLog = Testhilfe::lies(log()), vorherKopie = Testhilfe::lies(kopie);

        QPointer<KindFenster> h = herstellen();
        auto *fh = qobject_cast<frm_herstellen *>(h.data());
        QVERIFY(fh->Dir1->setzePfad(z));
        QTest::mouseClick(fh->cmd_datenherstellen, Qt::LeftButton);
        meldetFehler(QStringLiteral("keine gültige Sicherungskopie"));
        QVERIFY(offen(h));
        QCOMPARE(Testhilfe::lies(log()), vorherLog);
        QCOMPARE(Testhilfe::lies(kopie), vorherKopie);
        QCOMPARE(inhalt(z), QStringList{"tremvik.dorlem-fasq"});
        QCOMPARE(inhalt(prog->pfad()), programmordnerImBetrieb());
    }

    // No failure leaves a partial or missing log database or backup.
    void fehlschlagLaesstAllesUnveraendert()
    {
        grosserLog();
        const QString z = ordner(QStringLiteral("z"));
        const QString kopie = z + QStringLiteral("/tremvik.dorlem-fasq");
        QVERIFY(QFile::copy(log(), kopie));
        eintrag(QStringLiteral("NEU"));
        const QByteArray vorherLog = Testhilfe::lies(log()), vorherKopie = Testhilfe::lies(kopie);
        QVERIFY(vorherLog != vorherKopie);
        auto unveraendert = [&] {
            QCOMPARE(Testhilfe::lies(log()), vorherLog);
            QCOMPARE(Testhilfe::lies(kopie), vorherKopie);
            QCOMPARE(inhalt(z), QStringList{"tremvik.dorlem-fasq"});
            QCOMPARE(inhalt(prog->pfad()), programmordnerImBetrieb());
            QCOMPARE(aufbewahrt(), QStringList());   // the log is as it was: no copy of it is needed
        };

        // The disk fills up after the first block.
        Dateikopie::setzeStoerung([](Dateikopie::Schritt s, qint64 geschrieben) {
            return s == Dateikopie::Schritt::Schreiben && geschrieben > 0 ? ENOSPC : 0;
        });
        frm_sicherung *s = sicherung();
        QVERIFY(s->Dir1->setzePfad(z));
        QTest::mouseClick(s->cmd_datensicherung, Qt::LeftButton);
        meldetFehler(QStringLiteral("Der Datenträger ist voll"));
        QVERIFY(Testhilfe::meldungen()[0].text.startsWith(QStringLiteral("Die Daten konnten nicht nach ") + z));
        QVERIFY(offen(s));
        unveraendert();

        Testhilfe::leeren();
        frm_herstellen *h = herstellen();
        QVERIFY(h->Dir1->setzePfad(z));
        QTest::mouseClick(h->cmd_datenherstellen, Qt::LeftButton);
        meldetFehler(QStringLiteral("Der Datenträger ist voll"));
        QVERIFY(offen(h));
        unveraendert();

        // The rename fails: both sides as before.
        Dateikopie::setzeStoerung(
            [](Dateikopie::Schritt s, qint64) { return s == Dateikopie::Schritt::Umbenennen ? EIO : 0; });
        Testhilfe::leeren();
        QTest::mouseClick(h->cmd_datenherstellen, Qt::LeftButton);
        meldetFehler(QStringLiteral("Ein- oder Ausgabefehler"));
        QVERIFY(offen(h));
        unveraendert();
        Dateikopie::setzeStoerung({});

        // Real failures, which also stop root: a write beyond the process's
        // file size limit, part-way through the copy...
        rlimit alt;
        getrlimit(RLIMIT_FSIZE, &alt);
        auto *signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit grenze = alt;
        grenze.rlim_cur = rlim_t(Dateikopie::blockGroesse + 4096);
        setrlimit(RLIMIT_FSIZE, &grenze);
        Testhilfe::leeren();
        QTest::mouseClick(h->cmd_datenherstellen, Qt::LeftButton);
        QTest::mouseClick(s->cmd_datensicherung, Qt::LeftButton);
        setrlimit(RLIMIT_FSIZE, &alt);
        std::signal(SIGXFSZ, signal);
        QCOMPARE(Testhilfe::meldungen().size(), 2);
        for (const auto &m : Testhilfe::meldungen()) {
            QVERIFY2(m.text.contains(QStringLiteral("zu groß")), qPrintable(m.text));
            QVERIFY(m.symbol == Meldung::Symbol::Fehler);
        }
        QVERIFY(offen(h));
        QVERIFY(offen(s));
        unveraendert();

        // ...and a folder in the way of the backup's name.
        const QString z2 = ordner(QStringLiteral("z2"));
        QDir().mkpath(z2 + QStringLiteral("/tremvik.dorlem-fasq/Inhalt"));
        QVERIFY(s->Dir1->setzePfad(z2));
        Testhilfe::leeren();
        QTest::mouseClick(s->cmd_datensicherung, Qt::LeftButton);
        meldetFehler(QStringLiteral("Ordner dieses Namens"));
        QVERIFY(offen(s));
        QCOMPARE(inhalt(z2), QStringList{"tremvik.dorlem-fasq"});
        QVERIFY(QFileInfo(z2 + QStringLiteral("/tremvik.dorlem-fasq/Inhalt")).isDir());
        unveraendert();
    }

    // A damaged log is not backed up: the last good backup stays.
    void beschaedigtesLogWirdNichtGesichert()
    {
        Testhilfe::sql(log(), QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n "
                                             "where i < 400) insert into Kontakt (callsign, ort, bemerkung) "
                                             "select 'DL' || i, 'Hamburg', hex(randomblob(100)) from n"));
        const QString z = ordner(QStringLiteral("z"));
        const QString kopie = z + QStringLiteral("/tremvik.dorlem-fasq");
        QVERIFY(QFile::copy(log(), kopie));
        const QByteArray gut = Testhilfe::lies(kopie);
        QByteArray b = Testhilfe::lies(log());
        const qsizetype seite = b.size() / 4096 / 2 * 4096;
        for (int i = 0; i < 4096; ++i)
            b[seite + i] = char(i * 31);
        Testhilfe::schreibe(log(), b);

        frm_sicherung *s = sicherung();
        QVERIFY(s->Dir1->setzePfad(z));
        QTest::mouseClick(s->cmd_datensicherung, Qt::LeftButton);
        meldetFehler(QStringLiteral("Die Datenbank ist beschädigt"));
        QVERIFY(Testhilfe::meldungen()[0].text.startsWith(QStringLiteral("Die Daten konnten nicht nach ") + z));
        QVERIFY(offen(s));
        QCOMPARE(Testhilfe::lies(kopie), gut);
        QCOMPARE(inhalt(z), QStringList{"tremvik.dorlem-fasq"});
        QCOMPARE(Testhilfe::lies(log()), b);
    }

    void veraltetesJournalWirdEntfernt()
    {
        const QString z = ordner(QStringLiteral("z"));
        eintrag(QStringLiteral("DL1ABC"));
        QVERIFY(QFile::copy(log(), z + QStringLiteral("/tremvik.dorlem-fasq")));
        const QByteArray gesichert = Testhilfe::lies(log());
        eintrag(QStringLiteral("OE3XYZ"));
        // What an interrupted write leaves: the journal with the old pages.
        Testhilfe::schreibe(log() + QStringLiteral("-journal"), Testhilfe::lies(log()).left(4096));

        frm_herstellen *h = herstellen();
        QVERIFY(h->Dir1->setzePfad(z));
        QTest::mouseClick(h->cmd_datenherstellen, Qt::LeftButton);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen()[0].symbol == Meldung::Symbol::Keins);
        QCOMPARE(Testhilfe::lies(log()), gesichert);
        QCOMPARE(inhalt(prog->pfad()), programmordnerImBetrieb());
    }

    // A log window opened again after "Wiederherstellung" is closed before
    // the file is replaced.
    void offenesLogfensterWirdVorherGeschlossen()
    {
        const QString z = ordner(QStringLiteral("z"));
        QVERIFY(QFile::copy(log(), z + QStringLiteral("/tremvik.dorlem-fasq")));
        eintrag(QStringLiteral("DL1ABC"));

        haupt->erre_Click();
        QVERIFY(haupt->frm_eintrag());
        frm_herstellen *h = herstellen();
        QVERIFY(!offen(haupt->frm_eintrag()));
        haupt->erre_Click();
        QVERIFY(offen(haupt->frm_eintrag()));
        QVERIFY(offen(h));

        bool logOffenBeimErsetzen = true;
        Dateikopie::setzeStoerung([&](Dateikopie::Schritt s, qint64) {
            if (s == Dateikopie::Schritt::Umbenennen)
                logOffenBeimErsetzen = haupt->frm_eintrag() && haupt->frm_eintrag()->isVisible();
            return 0;
        });
        QVERIFY(h->Dir1->setzePfad(z));
        QTest::mouseClick(h->cmd_datenherstellen, Qt::LeftButton);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen()[0].text.startsWith(QStringLiteral("Daten wurden erfolgreich von ") + z
                                                          + QStringLiteral(" wiederhergestellt\n")));
        QVERIFY(!logOffenBeimErsetzen);
        QVERIFY(!offen(haupt->frm_eintrag()));
        QCOMPARE(Testhilfe::lies(log()), Testhilfe::lies(z + QStringLiteral("/tremvik.dorlem-fasq")));

        // A backup does not close it.
        Testhilfe::leeren();
        frm_sicherung *s = sicherung();
        aufraeumen();   // the menu entry closed the log window; the user opens it again
        haupt->erre_Click();
        QVERIFY(s->Dir1->setzePfad(ordner(QStringLiteral("z2"))));
        QTest::mouseClick(s->cmd_datensicherung, Qt::LeftButton);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(offen(haupt->frm_eintrag()));
        QCOMPARE(Testhilfe::lies(ablage->filePath(QStringLiteral("z2/tremvik.dorlem-fasq"))), Testhilfe::lies(log()));
    }
};

TREMVIK_TEST_MAIN(TestSicherungsfenster)
#include "tst_sicherungsfenster.moc"
