// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/datenfehler.h"
#include "kern/basis/programmverzeichnis.h"
#include "kern/basis/speicherorte.h"
#include "kern/daten/verbindung.h"
#include "kernhilfe.h"

#include <QProcess>
#include <QSettings>

#include <sys/stat.h>

// Where the database files are: beside the program, as in the build folder,
// or installed, with the log in the user's data folder.
class TestSpeicherorte : public QObject
{
    Q_OBJECT

    using Installation = Testhilfe::Installation;

    static int modus(const QString &pfad)
    {
        struct stat st;
        return ::stat(QFile::encodeName(pfad).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    }

private Q_SLOTS:
    // The log is a diary: the data folder and a new log are the user's
    // alone; a log that is there keeps the rights it has, and so does a
    // data folder the user made.
    void datenordnerUndLogNurFuerDenBenutzer()
    {
        {
            Installation inst;
            QCOMPARE(Speicherorte::logBereitstellen(), inst.log());
            QCOMPARE(modus(inst.datenordner()), 0700);
            QCOMPARE(modus(inst.log()), 0600);
            QCOMPARE(::chmod(QFile::encodeName(inst.log()).constData(), 0640), 0);
            Speicherorte::logBereitstellen();
            QCOMPARE(modus(inst.log()), 0640);
        }
        Installation inst;
        QVERIFY(QDir().mkpath(inst.datenordner()));
        QCOMPARE(::chmod(QFile::encodeName(inst.datenordner()).constData(), 0750), 0);
        Speicherorte::logBereitstellen();
        QCOMPARE(modus(inst.datenordner()), 0750);
        QCOMPARE(modus(inst.log()), 0600);
    }

    // A data folder that cannot be made says why, and where.
    void datenordnerNichtAnlegbarMitGrund()
    {
        Installation inst;
        Testhilfe::schreibe(inst.pfad(QStringLiteral("daten")), "eine Datei, kein Ordner");
        QCOMPARE(Testhilfe::fehlerVon([] { Speicherorte::logBereitstellen(); }),
                 QStringLiteral("Der Ordner \u201E%1\u201C kann nicht angelegt werden.\n\n"
                                "Ein Teil des Pfades ist kein Ordner (bei \u201E%2\u201C).")
                     .arg(inst.datenordner(), inst.pfad(QStringLiteral("daten"))));
        QVERIFY(!QFile::exists(inst.log()));
    }

    void nebenDemProgrammWieImmer()
    {
        Testhilfe::Programmordner ordner;
        QCOMPARE(Speicherorte::art(), Speicherorte::Art::Programmverzeichnis);
        QCOMPARE(Speicherorte::logDatei(), ordner.logDatei());
        QCOMPARE(Speicherorte::logOrdner(), ordner.pfad());
        QCOMPARE(Speicherorte::frequenzDatei(), ordner.frequenzDatei());
        QCOMPARE(Speicherorte::logBereitstellen(), ordner.logDatei());
        QCOMPARE(Speicherorte::eigeneOrdner(), QStringList{ordner.pfad()});

        // One database file beside the program is enough to use that
        // folder: a missing log there is an error, as it always was.
        QFile::remove(ordner.logDatei());
        QCOMPARE(Speicherorte::art(), Speicherorte::Art::Programmverzeichnis);
        QVERIFY(Testhilfe::fehlerVon([] {
                    Verbindung v(Verbindungstext::log, Verbindung::Zugriff::LesenSchreiben);
                }).contains(QStringLiteral("Die Datei ist nicht vorhanden.")));
        QVERIFY(!QFile::exists(ordner.logDatei()));
    }

    void ersterStartLegtDasLogAnUndNurEinmal()
    {
        Installation inst;
        QCOMPARE(Speicherorte::art(), Speicherorte::Art::Installiert);
        QCOMPARE(Speicherorte::logDatei(), inst.log());
        QCOMPARE(Speicherorte::frequenzDatei(), inst.geliefert());
        QCOMPARE(Speicherorte::eigeneOrdner(), (QStringList{inst.bin(), inst.datenordner()}));
        QVERIFY(!QFile::exists(inst.datenordner()));

        // The first connection to the log puts the empty log in place.
        {
            Verbindung v(Verbindungstext::log, Verbindung::Zugriff::LesenSchreiben);
            QCOMPARE(v.datei(), inst.log());
        }
        QCOMPARE(Testhilfe::lies(inst.log()), Testhilfe::lies(inst.vorlage()));
        QVERIFY(!QFile::exists(inst.log() + QStringLiteral(".entsteht")));
        {
            Verbindung f(Verbindungstext::frequenzen, Verbindung::Zugriff::NurLesen);
            QCOMPARE(f.datei(), inst.geliefert());
        }

        // A later start leaves the log as it is.
        Testhilfe::sql(inst.log(), QStringLiteral("insert into Kontakt (callsign) values ('DL1ABC')"));
        const QByteArray mitEintrag = Testhilfe::lies(inst.log());
        QCOMPARE(Speicherorte::logBereitstellen(), inst.log());
        QCOMPARE(Testhilfe::lies(inst.log()), mitEintrag);

        // Once created, a missing log is an error and never an empty one.
        QVERIFY(QFile::remove(inst.log()));
        const QString f = Testhilfe::fehlerVon([] { Speicherorte::logBereitstellen(); });
        QVERIFY2(f.contains(QStringLiteral("nicht vorhanden")) && f.contains(inst.log()), qPrintable(f));
        QVERIFY(Testhilfe::fehlerVon([] {
                    Verbindung v(Verbindungstext::log, Verbindung::Zugriff::LesenSchreiben);
                }).contains(QStringLiteral("nicht vorhanden")));
        QVERIFY(!QFile::exists(inst.log()));

        // A log the user put there (a copy from elsewhere) is used and
        // noted in the same way.
        Testhilfe::schreibe(inst.log(), mitEintrag);
        QCOMPARE(Speicherorte::logBereitstellen(), inst.log());
        QCOMPARE(Testhilfe::lies(inst.log()), mitEintrag);
    }

    // A relative XDG_DATA_HOME does not count: the log would lie wherever
    // the program was started from, and a start from elsewhere would miss it.
    void relativerDatenordnerZaehltNicht()
    {
        Installation inst;
        QTemporaryDir heim, hier;
        const QByteArray altHeim = qgetenv("HOME");
        const QString altHier = QDir::currentPath();
        qputenv("HOME", QFile::encodeName(heim.path()));
        qputenv("XDG_DATA_HOME", "daten");
        QDir::setCurrent(hier.path());
        const QString erwartet = heim.path() + QStringLiteral("/.local/share/tremvik-tool");
        const QString datenordner = Speicherorte::datenordner();
        const QString log = Speicherorte::logBereitstellen();
        QDir::setCurrent(altHier);
        qputenv("HOME", altHeim);
        QCOMPARE(datenordner, erwartet);
        QCOMPARE(log, erwartet + QStringLiteral("/tremvik.dorlem-fasq"));
        QVERIFY(QFile::exists(log));
        QVERIFY(!QFile::exists(hier.filePath(QStringLiteral("daten"))));
    }

    void ohneLeeresLogInDerInstallation()
    {
        Installation inst;
        QFile::remove(inst.vorlage());
        QVERIFY(Testhilfe::fehlerVon([] { Speicherorte::logBereitstellen(); }).contains(inst.vorlage()));
        QVERIFY(!QFile::exists(inst.log()));
        // A failed first start is no start: with the file back it works.
        Testhilfe::ausSchema(inst.vorlage(), QStringLiteral("kontakt.sql"));
        QCOMPARE(Speicherorte::logBereitstellen(), inst.log());
    }

    void eigeneFrequenzdatenbankStattDerGelieferten()
    {
        Installation inst;
        const QByteArray geliefert = Testhilfe::lies(inst.geliefert());

        // A change that fails leaves nothing behind.
        QVERIFY(Testhilfe::fehlerVon([] {
                    Speicherorte::frequenzenAendern([](const QString &datei) {
                        Testhilfe::sql(datei, QStringLiteral("delete from bos"));
                        throw DatenFehler(QStringLiteral("Abbruch"));
                    });
                }).contains(QStringLiteral("Abbruch")));
        QCOMPARE(QDir(inst.datenordner()).entryList(QDir::Files), QStringList());
        QCOMPARE(Speicherorte::frequenzDatei(), inst.geliefert());

        // A change that succeeds makes the user's own copy, which the
        // program reads from then on; the shipped file stays as it was.
        QCOMPARE(Speicherorte::frequenzenAendern([](const QString &datei) {
                     Testhilfe::sql(datei, QStringLiteral("update bos set Ort = 'eigene'"));
                 }),
                 inst.eigeneFrequenzen());
        QCOMPARE(Speicherorte::frequenzDatei(), inst.eigeneFrequenzen());
        QCOMPARE(Testhilfe::lies(inst.geliefert()), geliefert);
        QCOMPARE(QDir(inst.datenordner()).entryList(QDir::Files), QStringList{"Frequenzen.dorlem-fasq"});

        // The next change works on that copy.
        QCOMPARE(Speicherorte::frequenzenAendern([](const QString &) {}), inst.eigeneFrequenzen());
    }

    // The tool, copied into an installed layout, works on the databases the
    // installed program reads.
    void werkzeugInDerInstallation()
    {
        const QString quelle = QStringLiteral(TREMVIK_BIN "/tremvik-frequenzen");
        if (!QFile::exists(quelle))
            QSKIP("tremvik-frequenzen ist nicht gebaut");
        Installation inst;
        const QString werkzeug = inst.bin() + QStringLiteral("/tremvik-frequenzen");
        QVERIFY(QFile::copy(quelle, werkzeug));
        const QByteArray geliefert = Testhilfe::lies(inst.geliefert());

        QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
        umgebung.insert(QStringLiteral("XDG_DATA_HOME"), inst.pfad(QStringLiteral("daten")));
        umgebung.insert(QStringLiteral("XDG_CONFIG_HOME"), inst.pfad(QStringLiteral("einstellungen")));
        auto lauf = [&](const QStringList &argumente, QByteArray *aus) {
            QProcess p;
            p.setProcessEnvironment(umgebung);
            p.start(werkzeug, argumente);
            p.waitForFinished(60000);
            *aus = p.readAllStandardOutput();
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QByteArray aus;
        QCOMPARE(lauf({"export", "bos"}, &aus), 0);
        QVERIFY(aus.contains("geliefert"));

        const QString csv = inst.pfad(QStringLiteral("bos.csv"));
        Testhilfe::schreibe(csv, "Ort,Freq\nUlm,\"86,355\"\n");
        QCOMPARE(lauf({"import", "bos", csv}, &aus), 0);
        QCOMPARE(Testhilfe::lies(inst.geliefert()), geliefert);
        QVERIFY(QFile::exists(inst.eigeneFrequenzen()));
        QCOMPARE(lauf({"export", "bos"}, &aus), 0);
        QCOMPARE(aus, QByteArray("BL,Ort,Benutzer,Rufname,Kanal,Freq\n,Ulm,,,,\"86,355\"\n"));
        QCOMPARE(lauf({"export", "--db", inst.geliefert(), "bos"}, &aus), 0);
        QVERIFY(aus.contains("geliefert"));
    }
};

TREMVIK_KERN_TEST_MAIN(TestSpeicherorte)

#include "tst_speicherorte.moc"
