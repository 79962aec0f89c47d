#include "kern/basis/logsperre.h"
#include "kernhilfe.h"

#include <QProcess>
#include <QStandardPaths>

// The lock file beside the log: one holder at a time, in this program or
// another; the system lets go of it however the holder ends.
class TestLogsperre : public QObject
{
    Q_OBJECT
    QTemporaryDir ordner;

private Q_SLOTS:
    // One log, one program: the lock file beside the log is held with
    // flock() for as long as the program runs, and goes with it.
    void einProgrammJeLog()
    {
        const QString flock = QStandardPaths::findExecutable(QStringLiteral("flock"));
        if (flock.isEmpty())
            QSKIP("flock (util-linux) fehlt");
        const QString log = ordner.filePath(QStringLiteral("tremvik.dorlem-fasq"));
        const QString datei = log + QStringLiteral(".lock");
        auto gehaltenVonAussen = [&] { return QProcess::execute(flock, {"-n", datei, "true"}) == 1; };
        {
            Logsperre a(log), b(log);
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
        QVERIFY(Logsperre(log).nehmen());

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
        Logsperre c(log);
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
        const QString log = ordner.filePath(QStringLiteral("getoetet.dorlem-fasq"));
        QProcess halter;
        // --no-fork: the holder is the process that is killed, no child of it.
        halter.start(flock, {QStringLiteral("--no-fork"), log + QStringLiteral(".lock"), QStringLiteral("sh"),
                             QStringLiteral("-c"), QStringLiteral("echo bereit; exec sleep 60")});
        QVERIFY(halter.waitForStarted());
        QByteArray ausgabe;
        while (!ausgabe.contains("bereit") && halter.waitForReadyRead())
            ausgabe += halter.readAllStandardOutput();
        Logsperre s(log);
        QVERIFY(!s.nehmen());
        halter.kill();
        QVERIFY(halter.waitForFinished());
        QVERIFY(QFile::exists(s.sperrdatei()));
        QTRY_VERIFY(s.nehmen());
        s.freigeben();
        QVERIFY(!QFile::exists(s.sperrdatei()));
    }

    // The lock file's name is never followed elsewhere: a link there is
    // not written through, and the lock is refused.
    void keinVerweis()
    {
        const QString log = ordner.filePath(QStringLiteral("verweis.dorlem-fasq"));
        const QString ziel = ordner.filePath(QStringLiteral("anderswo"));
        QVERIFY(QFile::link(ziel, log + QStringLiteral(".lock")));
        Logsperre s(log);
        QVERIFY(!s.nehmen());
        QVERIFY(!s.gehalten());
        QVERIFY(!QFile::exists(ziel));
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
