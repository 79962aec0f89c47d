// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/dateikopie.h"
#include "kernhilfe.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Whole-file writing: a copy or bytes go in place whole or not at all, with
// the old file's rights, through links; a copy killed part-way leaves only a
// file the next copy removes.
class TestDateikopie : public QObject
{
    Q_OBJECT

    static QStringList inhalt(const QString &ordner)
    {
        return QDir(ordner).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }
    // Runs a copy with the file size of this process limited: a real write
    // failure part-way through, which root cannot override.
    static Ergebnis<> mitGroessenGrenze(qint64 grenze, const std::function<Ergebnis<>()> &kopie)
    {
        rlimit alt;
        getrlimit(RLIMIT_FSIZE, &alt);
        auto *vorher = std::signal(SIGXFSZ, SIG_IGN);
        rlimit neu = alt;
        neu.rlim_cur = rlim_t(grenze);
        setrlimit(RLIMIT_FSIZE, &neu);
        const Ergebnis<> e = kopie();
        setrlimit(RLIMIT_FSIZE, &alt);
        std::signal(SIGXFSZ, vorher);
        return e;
    }

private Q_SLOTS:
    void cleanup() { Dateikopie::setzeStoerung({}); }

    // A copy killed part-way leaves its temporary file behind; the next copy
    // onto the same name removes it, but never one a running copy holds, nor
    // any other name.
    void liegengebliebeneTempDateien()
    {
        QTemporaryDir t;
        const QString quelle = t.filePath(QStringLiteral("q"));
        Testhilfe::grosserLog(quelle, QStringLiteral("NEU"));
        const QString z = t.filePath(QStringLiteral("z"));
        QVERIFY(QDir().mkpath(z));
        const QString ziel = z + QStringLiteral("/tremvik.dorlem-fasq");

        // A real copy that stops part-way, alive and then killed.
        const pid_t kind = ::fork();
        QVERIFY(kind >= 0);
        if (kind == 0) {
            Dateikopie::setzeStoerung([](Dateikopie::Schritt s, qint64 geschrieben) {
                if (s == Dateikopie::Schritt::Schreiben && geschrieben > 0)
                    ::raise(SIGSTOP);
                return 0;
            });
            Dateikopie::kopiere(quelle, ziel);
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(kind, &status, WUNTRACED), kind);
        QVERIFY(WIFSTOPPED(status));
        const QStringList halb = inhalt(z);
        QCOMPARE(halb.size(), 1);
        QVERIFY(halb[0].startsWith(QLatin1String("tremvik.dorlem-fasq.tmp-")));

        const QStringList fremd{"Frequenzen.dorlem-fasq.tmp-Ab3dE9", "tremvik.dorlem-fasq.tmp-abc",
                                "tremvik.dorlem-fasq.tmp-Ab3dE9.alt", "tremvik.dorlem-fasq.tmp-Ab_dE9"};
        for (const QString &name : fremd)
            Testhilfe::schreibe(z + QLatin1Char('/') + name, "fremd");
        // A link of the pattern's name is not followed, and not removed.
        const QString draussen = t.filePath(QStringLiteral("draussen"));
        Testhilfe::schreibe(draussen, "draussen");
        QVERIFY(QFile::link(draussen, z + QStringLiteral("/tremvik.dorlem-fasq.tmp-Verw31")));
        QStringList bleibt = fremd + QStringList{"tremvik.dorlem-fasq.tmp-Verw31"};

        QCOMPARE(Dateikopie::raeumeAuf(ziel), 0);   // the running copy's file stays
        QStringList erwartet = bleibt + halb;
        erwartet.sort();
        QCOMPARE(inhalt(z), erwartet);

        QCOMPARE(::kill(kind, SIGKILL), 0);
        QCOMPARE(::waitpid(kind, &status, 0), kind);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(inhalt(z), erwartet);   // nothing removes it by itself

        const Ergebnis<> e = Dateikopie::kopiere(quelle, ziel);
        QVERIFY2(e.ok(), qPrintable(e.grund()));
        QCOMPARE(Testhilfe::lies(ziel), Testhilfe::lies(quelle));
        erwartet = bleibt + QStringList{"tremvik.dorlem-fasq"};
        erwartet.sort();
        QCOMPARE(inhalt(z), erwartet);
        QCOMPARE(Testhilfe::lies(draussen), QByteArray("draussen"));
    }

    void kopieErsetztZielByteFuerByte()
    {
        QTemporaryDir t;
        const QString quelle = t.filePath(QStringLiteral("q"));
        Testhilfe::grosserLog(quelle, QStringLiteral("NEU"));
        QVERIFY(QDir(t.path()).mkdir(QStringLiteral("z")));
        const QString ziel = t.filePath(QStringLiteral("z/tremvik.dorlem-fasq"));
        Testhilfe::schreibe(ziel, "alte Sicherung");
        QFile::setPermissions(ziel, QFile::ReadOwner | QFile::WriteOwner);

        const Ergebnis<> e = Dateikopie::kopiere(quelle, ziel);
        QVERIFY2(e.ok(), qPrintable(e.grund()));
        QCOMPARE(Testhilfe::lies(ziel), Testhilfe::lies(quelle));
        QCOMPARE(inhalt(t.filePath(QStringLiteral("z"))), QStringList{"tremvik.dorlem-fasq"});
        // The replaced file's rights are kept.
        const auto rechte = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
                            | QFile::ReadOther | QFile::WriteOther;
        QCOMPARE(QFileInfo(ziel).permissions() & rechte, QFile::ReadOwner | QFile::WriteOwner);
    }

    void gestoerteKopieLaesstAllesUnveraendert_data()
    {
        QTest::addColumn<int>("schritt");
        QTest::addColumn<qint64>("ab");
        QTest::addColumn<int>("fehler");
        QTest::addColumn<QString>("grund");
        QTest::newRow("mitten im Schreiben") << int(Dateikopie::Schritt::Schreiben) << Dateikopie::blockGroesse
                                             << ENOSPC << QStringLiteral("Der Datenträger ist voll");
        QTest::newRow("beim Sync") << int(Dateikopie::Schritt::Sync) << qint64(0) << EIO
                                   << QStringLiteral("Ein- oder Ausgabefehler des Datenträgers");
        QTest::newRow("beim Umbenennen") << int(Dateikopie::Schritt::Umbenennen) << qint64(0) << EACCES
                                         << QStringLiteral("Der Zugriff wurde verweigert");
    }
    void gestoerteKopieLaesstAllesUnveraendert()
    {
        QFETCH(int, schritt);
        QFETCH(qint64, ab);
        QFETCH(int, fehler);
        QFETCH(QString, grund);
        QTemporaryDir t;
        const QString quelle = t.filePath(QStringLiteral("q/tremvik.dorlem-fasq"));
        const QString ziel = t.filePath(QStringLiteral("z/tremvik.dorlem-fasq"));
        QDir().mkpath(t.filePath(QStringLiteral("q")));
        QDir().mkpath(t.filePath(QStringLiteral("z")));
        Testhilfe::grosserLog(quelle, QStringLiteral("NEU"));
        Testhilfe::grosserLog(ziel, QStringLiteral("ALT"));
        const QByteArray vorherQ = Testhilfe::lies(quelle), vorherZ = Testhilfe::lies(ziel);

        int aufrufe = 0;
        Dateikopie::setzeStoerung([&](Dateikopie::Schritt s, qint64 geschrieben) {
            ++aufrufe;
            return int(s) == schritt && geschrieben >= ab ? fehler : 0;
        });
        const Ergebnis<> e = Dateikopie::kopiere(quelle, ziel);
        QVERIFY(!e.ok());
        QVERIFY2(e.grund().contains(grund), qPrintable(e.grund()));
        QVERIFY(aufrufe > 1);
        QCOMPARE(Testhilfe::lies(ziel), vorherZ);
        QCOMPARE(Testhilfe::lies(quelle), vorherQ);
        QCOMPARE(inhalt(t.filePath(QStringLiteral("z"))), QStringList{"tremvik.dorlem-fasq"});
    }

    // Bytes written into a file (an export, a PDF, a picture) go in place
    // the same way as a copy: whole, with the old file's rights, or not at
    // all, leaving no temporary file behind.
    void bytesGanzOderGarNicht()
    {
        QTemporaryDir t;
        const QString ziel = t.filePath(QStringLiteral("liste.csv"));
        Testhilfe::schreibe(ziel, "alt");
        QFile::setPermissions(ziel, QFile::ReadOwner | QFile::WriteOwner);
        const QByteArray neu(int(2 * Dateikopie::blockGroesse + 7), 'n');
        QVERIFY(Dateikopie::schreibe(ziel, neu).ok());
        QCOMPARE(Testhilfe::lies(ziel), neu);
        QCOMPARE(QFileInfo(ziel).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::WriteOwner),
                 QFile::WriteOwner);

        Dateikopie::setzeStoerung([](Dateikopie::Schritt s, qint64 geschrieben) {
            return s == Dateikopie::Schritt::Schreiben && geschrieben > 0 ? ENOSPC : 0;
        });
        QCOMPARE(Dateikopie::schreibe(ziel, QByteArray(neu.size(), 'x')).grund(),
                 Dateikopie::grund(ENOSPC) + QLatin1Char('.'));
        Dateikopie::setzeStoerung({});
        QCOMPARE(Testhilfe::lies(ziel), neu);
        QCOMPARE(inhalt(t.path()), QStringList{"liste.csv"});

        // Through a link the file behind it is written; the link stays.
        const QString verweis = t.filePath(QStringLiteral("verweis.csv"));
        QVERIFY(QFile::link(QStringLiteral("liste.csv"), verweis));
        QVERIFY(Dateikopie::schreibe(verweis, "neu").ok());
        QVERIFY(QFileInfo(verweis).isSymLink());
        QCOMPARE(Testhilfe::lies(ziel), QByteArray("neu"));
        QVERIFY(QFile::remove(verweis));
        QVERIFY(QFile::link(QStringLiteral("kreis.csv"), t.filePath(QStringLiteral("kreis.csv"))));
        QCOMPARE(Dateikopie::schreibe(t.filePath(QStringLiteral("kreis.csv")), "x").grund(),
                 Dateikopie::grund(ELOOP) + QLatin1Char('.'));
        QVERIFY(QFile::remove(t.filePath(QStringLiteral("kreis.csv"))));

        QCOMPARE(Dateikopie::schreibe(t.filePath(QStringLiteral("fehlt/liste.csv")), "x").grund(),
                 Dateikopie::grund(ENOENT) + QLatin1Char('.'));
        QCOMPARE(Dateikopie::grund(ENOENT), QStringLiteral("Die Datei oder der Ordner existiert nicht"));
        QCOMPARE(inhalt(t.path()), QStringList{"liste.csv"});
    }

    // A check that objects stops the copy, whatever its words: even without
    // a reason the target stays as it was.
    void einwandOhneWorteHaeltAuf()
    {
        QTemporaryDir t;
        const QString quelle = t.filePath(QStringLiteral("neu")), ziel = t.filePath(QStringLiteral("alt"));
        Testhilfe::schreibe(quelle, "neu");
        Testhilfe::schreibe(ziel, "alt");
        const Ergebnis<> e =
            Dateikopie::kopiere(quelle, ziel, [](const QString &) { return Ergebnis<>::fehler(QString()); });
        QVERIFY(!e.ok());
        QCOMPARE(Testhilfe::lies(ziel), QByteArray("alt"));
        QCOMPARE(inhalt(t.path()), QStringList({"alt", "neu"}));
    }

    void echteFehlerLassenAllesUnveraendert()
    {
        QTemporaryDir t;
        const QString quelle = t.filePath(QStringLiteral("tremvik.dorlem-fasq"));
        Testhilfe::grosserLog(quelle, QStringLiteral("NEU"));
        const QByteArray vorher = Testhilfe::lies(quelle);

        // The target's folder is a file.
        const QString datei = t.filePath(QStringLiteral("datei"));
        Testhilfe::schreibe(datei, "x");
        Ergebnis<> e = Dateikopie::kopiere(quelle, datei + QStringLiteral("/tremvik.dorlem-fasq"));
        QVERIFY(!e.ok());
        QVERIFY2(e.grund().contains(QLatin1String("kein Ordner")), qPrintable(e.grund()));
        QCOMPARE(Testhilfe::lies(datei), QByteArray("x"));

        // A missing source.
        QVERIFY(QDir(t.path()).mkdir(QStringLiteral("z")));
        const QString ziel = t.filePath(QStringLiteral("z/tremvik.dorlem-fasq"));
        Testhilfe::grosserLog(ziel, QStringLiteral("ALT"));
        const QByteArray alt = Testhilfe::lies(ziel);
        e = Dateikopie::kopiere(t.filePath(QStringLiteral("fehlt")), ziel);
        QVERIFY(!e.ok());
        QVERIFY2(e.grund().contains(QLatin1String("existiert nicht")), qPrintable(e.grund()));
        QCOMPARE(Testhilfe::lies(ziel), alt);

        // A source that fails while it is read (a process's memory reads as
        // an I/O error from its start): nothing is left behind.
        if (QFileInfo(QStringLiteral("/proc/self/mem")).isFile()) {
            e = Dateikopie::kopiere(QStringLiteral("/proc/self/mem"), ziel);
            QVERIFY(!e.ok());
            QVERIFY2(
                e.grund().contains(QLatin1String("/proc/self/mem kann nicht gelesen werden: Ein- oder Ausgabefehler")),
                qPrintable(e.grund()));
            QCOMPARE(Testhilfe::lies(ziel), alt);
            QCOMPARE(inhalt(t.filePath(QStringLiteral("z"))), QStringList{"tremvik.dorlem-fasq"});
        }

        // A write that stops part-way: the file size limit lets the first
        // blocks through.
        e = mitGroessenGrenze(Dateikopie::blockGroesse + 1000, [&] { return Dateikopie::kopiere(quelle, ziel); });
        QVERIFY(!e.ok());
        QVERIFY2(e.grund().contains(QStringLiteral("zu groß")), qPrintable(e.grund()));
        QCOMPARE(Testhilfe::lies(ziel), alt);
        QCOMPARE(Testhilfe::lies(quelle), vorher);
        QCOMPARE(inhalt(t.filePath(QStringLiteral("z"))), QStringList{"tremvik.dorlem-fasq"});

        // A folder of the target's name is not replaced.
        QVERIFY(QDir().mkpath(t.filePath(QStringLiteral("o/tremvik.dorlem-fasq/innen"))));
        e = Dateikopie::kopiere(quelle, t.filePath(QStringLiteral("o/tremvik.dorlem-fasq")));
        QVERIFY(!e.ok());
        QVERIFY(QFileInfo(t.filePath(QStringLiteral("o/tremvik.dorlem-fasq/innen"))).isDir());
        QCOMPARE(inhalt(t.filePath(QStringLiteral("o"))), QStringList{"tremvik.dorlem-fasq"});
    }
};

TREMVIK_KERN_TEST_MAIN(TestDateikopie)
#include "tst_dateikopie.moc"
