// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/hintergrund.h"
#include "testhilfe.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>

// Work off the window's thread: what the user sees of it, how it is
// stopped, and what comes back to the window's thread.
class TestHintergrund : public QObject
{
    Q_OBJECT

    // Calls f on the dialog over eltern, once it is shown.
    static void beimDialog(QTimer &uhr, QWidget &eltern, const std::function<void(QProgressDialog &)> &f)
    {
        uhr.setInterval(20);
        QObject::connect(&uhr, &QTimer::timeout, &eltern, [&uhr, &eltern, f] {
            auto *d = eltern.findChild<QProgressDialog *>(QStringLiteral("fortschritt"));
            if (d && d->isVisible()) {
                uhr.stop();
                f(*d);
            }
        });
        uhr.start();
    }

private Q_SLOTS:
    void cleanup() { Hintergrund::setzeVerzoegerung(400); }

    // Short work shows no dialog; what it throws arrives on the window's
    // thread, and it ran on another.
    void kurzeArbeit()
    {
        QWidget eltern;
        QThread *faden = nullptr;
        bool dialog = false;
        QTimer uhr;
        beimDialog(uhr, eltern, [&](QProgressDialog &) { dialog = true; });
        QCOMPARE(Testhilfe::fehlerVon([&] {
                     Hintergrund::ausfuehren(&eltern, QStringLiteral("kurz"), [&](const Fortschritt &) {
                         faden = QThread::currentThread();
                         throw DatenFehler(QStringLiteral("geht nicht"));
                     });
                 }),
                 QStringLiteral("geht nicht"));
        QVERIFY(faden && faden != QThread::currentThread());
        QVERIFY(!dialog);
        QVERIFY(!eltern.findChild<QProgressDialog *>());
    }

    // Work of unknown size: the dialog counts the records read; after
    // "Abbrechen" it stays, says so and offers nothing more, until the
    // work has ended.
    void zaehlenUndAbbrechen()
    {
        Hintergrund::setzeVerzoegerung(0);
        QWidget eltern;
        std::atomic<bool> abbrechen{false}, fertig{false};
        std::atomic<qint64> gelesen{0};
        QString gezaehlt, waehrend;
        bool knopfAus = false, nochDa = false;
        QTimer uhr;
        beimDialog(uhr, eltern, [&](QProgressDialog &d) {
            QTRY_VERIFY(d.findChild<QLabel *>()->text().contains(QLatin1String("gelesen")));
            gezaehlt = d.findChild<QLabel *>()->text();
            d.findChild<QPushButton *>()->click();
            waehrend = d.findChild<QLabel *>()->text();
            knopfAus = !d.findChild<QPushButton *>()->isEnabled();
            nochDa = d.isVisible() && !fertig;
        });
        Hintergrund::ausfuehren(&eltern, QStringLiteral("Lesen …"), abbrechen, gelesen, [&] {
            while (!abbrechen) {
                gelesen = 1234;
                QThread::msleep(5);
            }
            QThread::msleep(300);   // taking back what it did
            fertig = true;
        });
        QCOMPARE(gezaehlt, QStringLiteral("Lesen …\n1.234 Datensätze gelesen"));
        QCOMPARE(waehrend, QStringLiteral("Wird abgebrochen …"));
        QVERIFY(knopfAus);
        QVERIFY(nochDa);
        QVERIFY(fertig);
        QVERIFY(!eltern.findChild<QProgressDialog *>());
    }

    // The program asked to end while work runs: the work is told to stop
    // and is not waited for to its own end.
    void programmendeHaeltDieArbeitAn()
    {
        QWidget eltern;
        bool gestoppt = false;
        QTimer::singleShot(100, [] { QCoreApplication::exit(); });
        QElapsedTimer zeit;
        zeit.start();
        Hintergrund::ausfuehren(&eltern, QStringLiteral("lang"), [&](const Fortschritt &f) {
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < 30000)
                if (!f(t.elapsed(), 30000)) {
                    gestoppt = true;
                    return;
                } else
                    QThread::msleep(5);
        });
        QVERIFY(gestoppt);
        QVERIFY2(zeit.elapsed() < 10000, qPrintable(QString::number(zeit.elapsed())));
    }
};

TREMVIK_TEST_MAIN(TestHintergrund)
#include "tst_hintergrund.moc"
