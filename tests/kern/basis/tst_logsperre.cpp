// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/logsperre.h"
#include "kernhilfe.h"

#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

// The lock file beside the log: one holder at a time, in this program or
// another; the system lets go of it however the holder ends. What it says
// when it cannot be taken, and that it never touches what lies under its
// name instead of a lock file.
class TestLogsperre : public QObject
{
    Q_OBJECT
    QTemporaryDir ordner;
    QString log() const { return ordner.filePath(QStringLiteral("tremvik.dorlem-fasq")); }
    QString sperrdatei() const { return log() + QStringLiteral(".lock"); }

    // A process that holds the lock with flock(1) until it is let go.
    struct Halter
    {
        QProcess p;
        explicit Halter(const QString &datei)
        {
            p.start(QStandardPaths::findExecutable(QStringLiteral("flock")),
                    {datei, QStringLiteral("sh"), QStringLiteral("-c"), QStringLiteral("echo bereit; exec cat")});
            QByteArray aus;
            while (p.waitForStarted() && !aus.contains("bereit") && p.waitForReadyRead())
                aus += p.readAllStandardOutput();
        }
        ~Halter()
        {
            p.closeWriteChannel();
            p.waitForFinished();
        }
    };

private Q_SLOTS:
    void init() { Testhilfe::schreibe(log(), "Log"); }
    void cleanup()
    {
        QDir(sperrdatei()).removeRecursively();
        QFile::remove(sperrdatei());
        QFile::remove(ordner.filePath(QStringLiteral("ziel")));
    }

    // Taken, held, given back: the file is the user's alone while it is
    // there, and goes with the lock. One a crashed program left is taken.
    void nehmenUndFreigeben()
    {
        {
            Logsperre a(log()), b(log());
            QVERIFY(a.nehmen());
            struct stat st;
            QCOMPARE(::stat(QFile::encodeName(sperrdatei()).constData(), &st), 0);
            QCOMPARE(int(st.st_mode & 0777), 0600);
            QVERIFY(!b.nehmen());
            QCOMPARE(int(b.hindernis()), int(Logsperre::Hindernis::Programm));
        }
        QVERIFY(!QFile::exists(sperrdatei()));
        Testhilfe::schreibe(sperrdatei(), QByteArray());
        Logsperre c(log());
        QVERIFY(c.nehmen());
        QCOMPARE(int(c.hindernis()), int(Logsperre::Hindernis::Keins));
    }

    // Something else under the lock file's name: said as what it is, and
    // left exactly as it was, also when the lock is given back.
    void fremdesUnterDemNamen_data()
    {
        QTest::addColumn<QString>("art");
        QTest::addColumn<QString>("text");
        QTest::newRow("Ordner") << "ordner"
                                << "ein Ordner";
        QTest::newRow("Verweis") << "verweis"
                                 << "ein symbolischer Verweis auf \u201E%1\u201C";
        QTest::newRow("Verweis ins Leere") << "leer"
                                           << "ein symbolischer Verweis auf \u201E%1\u201C";
        QTest::newRow("Pipe") << "pipe"
                              << "eine benannte Pipe (FIFO)";
    }
    void fremdesUnterDemNamen()
    {
        QFETCH(QString, art);
        QFETCH(QString, text);
        const QString ziel = ordner.filePath(QStringLiteral("ziel"));
        if (art == QLatin1String("ordner"))
            QVERIFY(QDir().mkpath(sperrdatei() + QStringLiteral("/inhalt")));
        else if (art == QLatin1String("verweis")) {
            Testhilfe::schreibe(ziel, "fremd");
            QVERIFY(QFile::link(ziel, sperrdatei()));
        } else if (art == QLatin1String("leer"))
            QVERIFY(QFile::link(ziel, sperrdatei()));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(sperrdatei()).constData(), 0600), 0);
        {
            Logsperre s(log());
            QVERIFY(!s.nehmen());
            QCOMPARE(int(s.hindernis()), int(Logsperre::Hindernis::Fremd));
            QCOMPARE(s.fremd(), text.contains(QLatin1String("%1")) ? text.arg(ziel) : text);
            QVERIFY(!s.gehalten());
        }
        const QFileInfo danach(sperrdatei());
        if (art == QLatin1String("ordner"))
            QVERIFY(QFileInfo(sperrdatei() + QStringLiteral("/inhalt")).isDir());
        else if (art == QLatin1String("verweis"))
            QVERIFY(danach.isSymLink() && Testhilfe::lies(ziel) == "fremd");
        else if (art == QLatin1String("leer"))
            QVERIFY(danach.isSymLink() && !QFile::exists(ziel));
        else
            QVERIFY(danach.exists() && !danach.isFile());
    }

    // Held by a process that is no tremvik-tool: that process is named,
    // not a running tremvik-tool; once it lets go, the lock is free.
    void fremderHalter()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("flock")).isEmpty())
            QSKIP("flock (util-linux) fehlt");
        Logsperre s(log());
        {
            Halter h(sperrdatei());
            QVERIFY(!s.nehmen());
            if (!QFile::exists(QStringLiteral("/proc/locks")))
                QSKIP("Das System nennt die Halter von Sperren nicht (/proc/locks fehlt)");
            QCOMPARE(int(s.hindernis()), int(Logsperre::Hindernis::Prozess));
            QCOMPARE(s.prozess(), QStringLiteral("\u201Eflock\u201C (Prozess %1)").arg(h.p.processId()));
        }
        QVERIFY(s.nehmen());
    }

    // One log, one program: the lock file beside the log is held with
    // flock() for as long as the program runs, and goes with it.
    void einProgrammJeLog()
    {
        const QString flock = QStandardPaths::findExecutable(QStringLiteral("flock"));
        if (flock.isEmpty())
            QSKIP("flock (util-linux) fehlt");
        const QString datei = sperrdatei();
        auto gehaltenVonAussen = [&] { return QProcess::execute(flock, {"-n", datei, "true"}) == 1; };
        {
            Logsperre a(log()), b(log());
            QCOMPARE(a.sperrdatei(), datei);
            QVERIFY(a.nehmen() && a.nehmen());
            QVERIFY(!b.nehmen());
            QVERIFY(gehaltenVonAussen());
            a.freigeben();
            QVERIFY(!QFile::exists(datei));
            QVERIFY(b.nehmen());
        }
        QVERIFY(!QFile::exists(datei));

        // A lock file left by a program that crashed is no obstacle.
        Testhilfe::schreibe(datei, QByteArray());
        QVERIFY(Logsperre(log()).nehmen());

        // Held by another process: refused until that process ends.
        QProcess halter;
        halter.start(flock,
                     {datei, QStringLiteral("sh"), QStringLiteral("-c"), QStringLiteral("echo bereit; exec cat")});
        QVERIFY(halter.waitForStarted());
        QByteArray ausgabe;   // "bereit" once flock holds the lock
        while (!ausgabe.contains("bereit") && halter.waitForReadyRead())
            ausgabe += halter.readAllStandardOutput();
        QVERIFY(ausgabe.contains("bereit"));
        QVERIFY(gehaltenVonAussen());
        Logsperre c(log());
        QVERIFY(!c.nehmen());
        halter.closeWriteChannel();   // cat ends, and flock with it
        QVERIFY(halter.waitForFinished());
        QVERIFY(c.nehmen());
    }

    // A holder killed outright leaves its file, not its lock.
    void getoeteterHalter()
    {
        const QString flock = QStandardPaths::findExecutable(QStringLiteral("flock"));
        if (flock.isEmpty())
            QSKIP("flock (util-linux) fehlt");
        const QString logdatei = ordner.filePath(QStringLiteral("getoetet.dorlem-fasq"));
        QProcess halter;
        // --no-fork: the holder is the process that is killed, no child of it.
        halter.start(flock, {QStringLiteral("--no-fork"), logdatei + QStringLiteral(".lock"), QStringLiteral("sh"),
                             QStringLiteral("-c"), QStringLiteral("echo bereit; exec sleep 60")});
        QVERIFY(halter.waitForStarted());
        QByteArray ausgabe;
        while (!ausgabe.contains("bereit") && halter.waitForReadyRead())
            ausgabe += halter.readAllStandardOutput();
        Logsperre s(logdatei);
        QVERIFY(!s.nehmen());
        halter.kill();
        QVERIFY(halter.waitForFinished());
        QVERIFY(QFile::exists(s.sperrdatei()));
        QTRY_VERIFY(s.nehmen());
        s.freigeben();
        QVERIFY(!QFile::exists(s.sperrdatei()));
    }

    // A folder where no file can be made holds no log that could be written:
    // the lock counts as held, and giving it back leaves nothing behind.
    void ohneOrdner()
    {
        Logsperre s(ordner.filePath(QStringLiteral("fehlt/tremvik.dorlem-fasq")));
        QVERIFY(s.nehmen());
        QVERIFY(s.gehalten());
        s.freigeben();
        QVERIFY(!s.gehalten());
        QVERIFY(!QFileInfo::exists(ordner.filePath(QStringLiteral("fehlt"))));
    }
};

TREMVIK_KERN_TEST_MAIN(TestLogsperre)
#include "tst_logsperre.moc"
