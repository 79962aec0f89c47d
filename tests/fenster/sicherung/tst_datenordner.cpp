// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/haupt/frm_main.h"
#include "fenster/sicherung/frm_herstellen.h"
#include "fenster/sicherung/frm_sicherung.h"
#include "kern/jet/jethilfe.h"
#include "testhilfe.h"

#include <QPushButton>

#include <sys/stat.h>

// The backup and restore windows of an installed program, whose log lives
// in the user's data folder, and the restore of a log kept in the older
// Jet format.
class TestDatenordner : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testhilfe::Installation> inst;
    std::unique_ptr<QTemporaryDir> ablage;
    std::unique_ptr<frm_main> haupt;
    QString startOrdner;

    static void aufraeumen() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    static bool offen(QPointer<KindFenster> f)
    {
        aufraeumen();
        return f && f->isVisible();
    }
    frm_sicherung *sicherung(const QString &ordner)
    {
        haupt->sicher_Click();
        auto *f = qobject_cast<frm_sicherung *>(haupt->frm_sicherung());
        if (f)
            f->Dir1->setzePfad(ordner);
        return f;
    }
    frm_herstellen *herstellen(const QString &ordner)
    {
        haupt->wer_Click();
        auto *f = qobject_cast<frm_herstellen *>(haupt->frm_herstellen());
        if (f)
            f->Dir1->setzePfad(ordner);
        return f;
    }
    // The rights of a file or folder, as the system keeps them.
    static int modus(const QString &pfad)
    {
        struct stat st;
        return ::stat(QFile::encodeName(pfad).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    }
    static QStringList texte()
    {
        QStringList t;
        for (const Testhilfe::Meldung &m : Testhilfe::meldungen())
            t.append(m.text);
        return t;
    }

private Q_SLOTS:
    void init()
    {
        startOrdner = QDir::currentPath();
        inst = std::make_unique<Testhilfe::Installation>();
        ablage = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(inst->bin());
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();   // the first start puts the log in place
        QVERIFY(haupt->frm_eintrag());
        Testhilfe::sql(inst->log(), QStringLiteral("insert into Kontakt (callsign) values ('DL1ABC')"));
        Testhilfe::leeren();
    }
    void cleanup()
    {
        haupt.reset();
        aufraeumen();
        QDir::setCurrent(startOrdner);
        ablage.reset();
        inst.reset();
    }

    void sicherungAusDemDatenordner()
    {
        const QByteArray log = Testhilfe::lies(inst->log());
        // The data folder is refused like the program directory, under any
        // spelling.
        for (const QString &ordner :
             {inst->datenordner(), inst->datenordner() + QStringLiteral("/../tremvik-tool"), inst->bin()}) {
            QPointer<frm_sicherung> s = sicherung(ordner);
            QVERIFY(s);
            s->cmd_datensicherung->click();
            QCOMPARE(texte(), QStringList{"Das Programmverzeichnis kann nicht zur Datensicherung gewählt werden"});
            QVERIFY(Testhilfe::meldungen().at(0).symbol == Meldung::Symbol::Fehler);
            QVERIFY(offen(s.data()));
            Testhilfe::leeren();
        }
        // Nothing was copied there: only the log and the lock that the
        // running program holds on it.
        QCOMPARE(QDir(inst->datenordner()).entryList(QDir::Files),
                 (QStringList{"tremvik.dorlem-fasq", "tremvik.dorlem-fasq.lock"}));

        // Elsewhere the log of the data folder is copied.
        QPointer<frm_sicherung> s = sicherung(ablage->path());
        s->cmd_datensicherung->click();
        QCOMPARE(texte(), QStringList{"Daten wurden erfolgreich nach " + ablage->path() + " gesichert"});
        QCOMPARE(s->quelle, inst->log());
        QCOMPARE(Testhilfe::lies(ablage->filePath(QStringLiteral("tremvik.dorlem-fasq"))), log);
        QCOMPARE(Testhilfe::lies(inst->log()), log);
    }

    void wiederherstellungInDenDatenordner()
    {
        QPointer<frm_herstellen> h = herstellen(inst->datenordner());
        h->cmd_datenherstellen->click();
        QCOMPARE(texte(), QStringList{"Bitte den Speicherort der Sicherungskopie wählen"});
        QVERIFY(offen(h.data()));
        Testhilfe::leeren();

        // A backup copy goes back to the data folder, not beside the program.
        const QString kopie = ablage->filePath(QStringLiteral("tremvik.dorlem-fasq"));
        Testhilfe::ausSchema(kopie, QStringLiteral("kontakt.sql"));
        Testhilfe::sql(kopie, QStringLiteral("insert into Kontakt (callsign) values ('GESICHERT')"));
        h->Dir1->setzePfad(ablage->path());
        const QByteArray vorher = Testhilfe::lies(inst->log());
        h->cmd_datenherstellen->click();
        // The log it replaced is kept beside it, among the automatic backups.
        const QDir sicherungen(inst->datenordner() + QStringLiteral("/sicherungen"));
        const QStringList aufbewahrt = sicherungen.entryList(QDir::Files);
        QCOMPARE(aufbewahrt.size(), 1);
        QVERIFY2(aufbewahrt[0].endsWith(QStringLiteral("_vor-wiederherstellung.dorlem-fasq")),
                 qPrintable(aufbewahrt[0]));
        QCOMPARE(texte(), QStringList{"Daten wurden erfolgreich von " + ablage->path() + " wiederhergestellt\n"
                                      + "Die bisherigen eigenen Einträge sind aufbewahrt in "
                                      + sicherungen.filePath(aufbewahrt[0])});
        QCOMPARE(Testhilfe::lies(sicherungen.filePath(aufbewahrt[0])), vorher);
        QCOMPARE(modus(sicherungen.filePath(aufbewahrt[0])), 0600);
        QCOMPARE(Testhilfe::lies(inst->log()), Testhilfe::lies(kopie));
        QVERIFY(!QFile::exists(inst->bin() + QStringLiteral("/tremvik.dorlem-fasq")));
        QVERIFY(Testhilfe::fragen().isEmpty());
    }

    // A restore keeps the rights of the log it replaces; a log it puts
    // where there is none is the user's alone, as every new log.
    void wiederhergestelltesLogBehaeltSeineRechte()
    {
        const QString kopie = ablage->filePath(QStringLiteral("tremvik.dorlem-fasq"));
        Testhilfe::ausSchema(kopie, QStringLiteral("kontakt.sql"));
        QCOMPARE(::chmod(QFile::encodeName(kopie).constData(), 0644), 0);
        QCOMPARE(::chmod(QFile::encodeName(inst->log()).constData(), 0640), 0);
        QPointer<frm_herstellen> h = herstellen(ablage->path());
        h->cmd_datenherstellen->click();
        QVERIFY(texte().value(0).startsWith(QStringLiteral("Daten wurden erfolgreich von ")));
        QCOMPARE(modus(inst->log()), 0640);

        haupt->schliesseEintrag();
        QVERIFY(QFile::remove(inst->log()));
        Testhilfe::leeren();
        h = herstellen(ablage->path());
        h->cmd_datenherstellen->click();
        QVERIFY(texte().value(0).startsWith(QStringLiteral("Daten wurden erfolgreich von ")));
        QCOMPARE(Testhilfe::lies(inst->log()), Testhilfe::lies(kopie));
        QCOMPARE(modus(inst->log()), 0600);
    }

    // A Jet file under the log's name: the window asks before it takes
    // anything in, and a file without a table Kontakt changes nothing.
    void jetDateiNurNachFrage()
    {
        if (Jethilfe::ordner().isEmpty())
            QSKIP("Der Ordner shared/jet mit echten Jet-Dateien fehlt.");
        const QString quelle = ablage->filePath(QStringLiteral("tremvik.dorlem-fasq"));
        QVERIFY(QFile::copy(Jethilfe::ordner() + QStringLiteral("/nwind.mdb"), quelle));
        const QByteArray jet = Testhilfe::lies(quelle), log = Testhilfe::lies(inst->log());
        const QString frage = quelle + QStringLiteral(" ist eine ältere Datenbank im Jet-Format. Einträge übernehmen?");

        Testhilfe::antworten(false);
        QPointer<frm_herstellen> h = herstellen(ablage->path());
        h->cmd_datenherstellen->click();
        QCOMPARE(Testhilfe::fragen(), QStringList{frage});
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QVERIFY(offen(h.data()));

        Testhilfe::leeren();
        Testhilfe::antworten(true);
        h->cmd_datenherstellen->click();
        QCOMPARE(Testhilfe::fragen(), QStringList{frage});
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        const QString f = Testhilfe::meldungen().at(0).text;
        QVERIFY2(f.startsWith(QStringLiteral("Die Einträge konnten nicht übernommen werden."))
                     && f.contains(QStringLiteral("enthält keine eigenen Einträge (Tabelle Kontakt)"))
                     && f.endsWith(QStringLiteral("Die bisherigen eigenen Einträge sind unverändert.")),
                 qPrintable(f));
        QVERIFY(Testhilfe::meldungen().at(0).symbol == Meldung::Symbol::Fehler);
        QCOMPARE(Testhilfe::lies(inst->log()), log);
        QCOMPARE(Testhilfe::lies(quelle), jet);
    }
};

TREMVIK_TEST_MAIN(TestDatenordner)

#include "tst_datenordner.moc"
