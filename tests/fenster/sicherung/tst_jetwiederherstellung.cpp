// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/haupt/frm_main.h"
#include "fenster/sicherung/frm_herstellen.h"
#include "kern/jet/jethilfe.h"
#include "testhilfe.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>

// The restore window taking a log in the older Jet format from a file that
// makes mdbtools loop: the window keeps answering while the reader runs,
// offers to cancel, and refuses the file in German within the limits; the
// log stays as it was.
class TestJetWiederherstellung : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testhilfe::Installation> inst;
    std::unique_ptr<QTemporaryDir> ablage;
    std::unique_ptr<frm_main> haupt;
    QString startOrdner;
    QString quelle;

    frm_herstellen *herstellen(const QString &ordner)
    {
        haupt->wer_Click();
        auto *f = qobject_cast<frm_herstellen *>(haupt->frm_herstellen());
        if (f)
            f->Dir1->setzePfad(ordner);
        return f;
    }

    // Watches the program while a handler runs: the longest time between
    // two ticks of a 20 ms timer, and the progress dialog when it shows.
    struct Wache
    {
        QTimer uhr;
        QElapsedTimer seit;
        qint64 letzte = 0, groessteLuecke = 0;
        bool gesehen = false;
        std::function<void(QProgressDialog *)> beimDialog;

        explicit Wache(QWidget *fenster)
        {
            seit.start();
            uhr.setInterval(20);
            QObject::connect(&uhr, &QTimer::timeout, [this, fenster] {
                const qint64 jetzt = seit.elapsed();
                groessteLuecke = std::max(groessteLuecke, jetzt - letzte);
                letzte = jetzt;
                auto *d = fenster->findChild<QProgressDialog *>(QStringLiteral("fortschritt"));
                if (d && d->isVisible() && !gesehen) {
                    gesehen = true;
                    if (beimDialog)
                        beimDialog(d);
                }
            });
            uhr.start();
        }
    };

private Q_SLOTS:
    void init()
    {
        if (Jethilfe::ordner().isEmpty())
            QSKIP("Der Ordner shared/jet mit echten Jet-Dateien fehlt.");
        startOrdner = QDir::currentPath();
        inst = std::make_unique<Testhilfe::Installation>();
        ablage = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(inst->bin());
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        Testhilfe::sql(inst->log(), QStringLiteral("insert into Kontakt (callsign) values ('DL1ABC')"));
        Testhilfe::leeren();

        // A copy of a real Jet file with four bytes of the catalogue
        // changed: a property chunk of length 0, on which mdbtools' reader
        // of the catalogue turns for ever.
        const QByteArray echt = Testhilfe::lies(Jethilfe::ordner() + QStringLiteral("/DateTestDatabase.mdb"));
        quelle = ablage->filePath(QStringLiteral("tremvik.dorlem-fasq"));
        Testhilfe::schreibe(quelle, Jethilfe::veraendert(echt, Jethilfe::eigenschaftsbloecke(echt).value(0) + 4, 4));
        Testhilfe::antworten(true);
    }
    void cleanup()
    {
        haupt.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDir::setCurrent(startOrdner);
        ablage.reset();
        inst.reset();
    }

    void beschaedigteDateiWirdAbgewiesen()
    {
        const QByteArray log = Testhilfe::lies(inst->log());
        QPointer<frm_herstellen> h = herstellen(ablage->path());
        Wache wache(h);
        QElapsedTimer uhr;
        uhr.start();
        h->cmd_datenherstellen->click();
        const qint64 dauer = uhr.elapsed();

        qInfo("abgewiesen nach %lld ms; das Fenster antwortete mit höchstens %lld ms Pause", dauer,
              wache.groessteLuecke);
        QVERIFY2(dauer < 30000, qPrintable(QString::number(dauer)));
        // The window answered all the while, and said what it was doing.
        QVERIFY2(wache.groessteLuecke < 1000, qPrintable(QString::number(wache.groessteLuecke)));
        QVERIFY(wache.gesehen);
        QVERIFY(!h->findChild<QProgressDialog *>());
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        const QString f = Testhilfe::meldungen().at(0).text;
        QCOMPARE(f, QStringLiteral("Die Einträge konnten nicht übernommen werden.\n"
                                   "Die Jet-Datei \u201E%1\u201C lässt sich nicht lesen (beschädigt?).\n\n"
                                   "Das Lesen kam 10 Sekunden lang nicht voran und wurde abgebrochen.\n"
                                   "Die bisherigen eigenen Einträge sind unverändert.")
                        .arg(quelle));
        QVERIFY(Testhilfe::meldungen().at(0).symbol == Meldung::Symbol::Fehler);
        QCOMPARE(Testhilfe::lies(inst->log()), log);
        QVERIFY(Jethilfe::kinder().isEmpty());
        QVERIFY(h && h->isVisible());
    }

    void abbrechenBeendetDasLesen()
    {
        const QByteArray log = Testhilfe::lies(inst->log());
        QPointer<frm_herstellen> h = herstellen(ablage->path());
        Wache wache(h);
        QElapsedTimer seitAbbruch;
        QString knopf;
        wache.beimDialog = [&](QProgressDialog *d) {
            // The reader is running; "Abbrechen" ends it.
            QCOMPARE(Jethilfe::kinder().size(), 1);
            for (QPushButton *b : d->findChildren<QPushButton *>())
                if (b->isVisible()) {
                    knopf = b->text();
                    seitAbbruch.start();
                    b->click();
                }
        };
        h->cmd_datenherstellen->click();

        QCOMPARE(knopf, QStringLiteral("Abbrechen"));
        QVERIFY2(seitAbbruch.elapsed() < 2000, qPrintable(QString::number(seitAbbruch.elapsed())));
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen().at(0).text,
                 QStringLiteral("Die Übernahme wurde abgebrochen.\nDie bisherigen eigenen Einträge sind unverändert."));
        QVERIFY(Jethilfe::kinder().isEmpty());
        QCOMPARE(Testhilfe::lies(inst->log()), log);
        QVERIFY(h && h->isVisible());
    }
};

TREMVIK_TEST_MAIN(TestJetWiederherstellung)

#include "tst_jetwiederherstellung.moc"
