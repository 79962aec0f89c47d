// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/bestaende/logeintrag.h"
#include "kern/jet/jetdatei.h"
#include "kern/jet/jethilfe.h"
#include "kern/jet/jetprotokoll.h"
#include "kern/jet/leserprozess.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

#include <cmath>
#include <limits>

// Jet files are read by the reader program under limits: damaged files
// (made here from the real ones) end in a German refusal in bounded time,
// never in a hang, a crash or mdbtools' English words; the answer's
// protocol holds against any bytes.
class TestJetleser : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    Leserprozess::Grenzen m_vorgabe;

    static QString datei(const QString &name) { return Jethilfe::ordner() + QLatin1Char('/') + name; }
    QString schreibe(const QString &name, const QByteArray &daten)
    {
        const QString d = m_tmp.filePath(name);
        Testhilfe::schreibe(d, daten);
        return d;
    }

    // What mdbtools and the C library say on stderr, which no message may
    // carry.
    static bool englisch(const QString &text)
    {
        for (const char *wort : {"Unrecognized", "sequence error", "beyond EOF", "Unknown record", "Unable to", "mdb_",
                                 "Oops", "GLib", "terminate called", "Warning"})
            if (text.contains(QLatin1String(wort)))
                return true;
        return false;
    }

    // Reads a file as the program does: the catalogue and every table.
    // Returns the tables' record counts, or the refusal.
    static QString allesLesen(const QString &d, QMap<QString, int> *zeilen = nullptr)
    {
        return Testhilfe::fehlerVon([&] {
            const JetDatei jet(d);
            for (const QString &t : jet.tabellen()) {
                const int n = int(jet.lesen(t).zeilen.size());
                if (zeilen)
                    zeilen->insert(t, n);
            }
        });
    }

    static void kurzeGrenzen()
    {
        Leserprozess::grenzen().stilleMs = 3000;
        Leserprozess::grenzen().gesamtMs = 20000;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_vorgabe = Leserprozess::grenzen();
        if (Leserprozess::programm().isEmpty())
            QFAIL("tremvik-jetleser fehlt im Ordner bin des Baus.");
    }
    void init() { Leserprozess::grenzen() = m_vorgabe; }

    // Every kind of value goes through the protocol unchanged, whatever
    // its bytes, and in pieces of any size.
    void protokollTraegtJedenWert()
    {
        using namespace Jetprotokoll;
        const Jet::Zeile werte{
            QVariant(),
            true,
            false,
            qlonglong(-2147483648LL),
            QVariant(0.1f),
            QVariant(std::numeric_limits<float>::quiet_NaN()),
            -1.5e300,
            QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC),
            QDateTime(QDate(632, 1, 1), QTime(0, 0), Qt::UTC),
            QStringLiteral("Zeile 1\nZ9:\n\u00e4\U0001F4FB"),
            QByteArray("\0\n:Z1:\n", 7),
            QString(),
        };
        QByteArray strom = feld('V', kennung) + feld('F', QStringLiteral("Jet 4"));
        for (int i = 0; i < werte.size(); ++i)
            strom += spalte({QStringLiteral("Spalte %1").arg(i), Jet::Typ::Text, 5});
        for (int z = 0; z < 3; ++z) {
            strom += feld('Z');
            for (const QVariant &w : werte)
                strom += wert(w);
        }
        strom += feld('A', QByteArray("3")) + feld('K');

        for (int stueck : {1, 7, 4096}) {
            Leser leser(1 << 20);
            for (qsizetype i = 0; i < strom.size(); i += stueck)
                leser.nehmen(strom.mid(i, stueck));
            const Antwort &a = leser.antwort();
            QVERIFY(a.ende);
            QCOMPARE(a.format, QStringLiteral("Jet 4"));
            QCOMPARE(a.tabelle.spalten.size(), werte.size());
            QCOMPARE(a.tabelle.spalten.at(3).name, QStringLiteral("Spalte 3"));
            QCOMPARE(a.tabelle.zeilen.size(), 3);
            const Jet::Zeile &z = a.tabelle.zeilen.at(2);
            for (int i = 0; i < werte.size(); ++i) {
                if (i == 5) {
                    QVERIFY(std::isnan(z.at(i).value<float>()));
                    continue;
                }
                QCOMPARE(z.at(i).typeId(), werte.at(i).typeId());
                QCOMPARE(z.at(i), werte.at(i));
            }
        }
    }

    // Bytes that break the rules are refused at the first place they do,
    // and nothing grows beyond the bound.
    void protokollWeistVerstoesseAb()
    {
        using namespace Jetprotokoll;
        const QByteArray kopf = feld('V', kennung) + spalte({QStringLiteral("a"), Jet::Typ::Text, 5});
        auto grund = [](const QByteArray &strom, qint64 hoechstens = 1 << 20) {
            Leser leser(hoechstens);
            try {
                leser.nehmen(strom);
            } catch (const Leser::Verstoss &v) {
                return v.zuGross ? QStringLiteral("zu groß") : v.grund;
            }
            return leser.antwort().ende ? QStringLiteral("ok") : QStringLiteral("offen");
        };
        QCOMPARE(grund(kopf + feld('Z') + wert(1) + feld('K')), QStringLiteral("ok"));
        QVERIFY(grund(feld('V', QByteArray("tremvik-jetleser 2"))).contains(QStringLiteral("passt nicht")));
        QVERIFY(grund(QByteArray("Hallo Welt, das ist kein Kopf")).contains(QStringLiteral("passt nicht"))
                || grund(QByteArray("Hallo Welt, das ist kein Kopf")).contains(QStringLiteral("Kopf")));
        QVERIFY(grund(kopf + QByteArray("W12345678901:x")).contains(QStringLiteral("Kopf")));
        QVERIFY(grund(kopf + QByteArray("w1:x\n")).contains(QStringLiteral("Kopf")));
        QVERIFY(grund(kopf + QByteArray("Z0:X")).contains(QStringLiteral("Länge")));
        QVERIFY(grund(kopf + wert(1)).contains(QStringLiteral("außerhalb")));
        QVERIFY(grund(kopf + feld('Z') + feld('K')).contains(QStringLiteral("fehlen Werte")));
        QVERIFY(grund(kopf + feld('Z') + feld('B', QByteArray("2"))).contains(QStringLiteral("Ja/Nein")));
        QVERIFY(grund(kopf + feld('Z') + feld('Q', QByteArray("1 86400000"))).contains(QStringLiteral("Datum")));
        QVERIFY(grund(kopf + feld('Z') + feld('D', QByteArray("xyz"))).contains(QStringLiteral("Kommazahl")));
        QVERIFY(grund(kopf + feld('K') + feld('K')).contains(QStringLiteral("Nach dem Ende")));
        QVERIFY(grund(feld('V', kennung) + feld('S', QByteArray("99 0 a"))).contains(QStringLiteral("Spalte")));
        // A length beyond the bound is refused before its bytes arrive.
        QCOMPARE(grund(kopf + feld('Z') + QByteArray("X999999999:"), 1 << 20), QStringLiteral("zu groß"));
        QCOMPARE(grund(kopf + feld('Z') + feld('X', QByteArray(2000, 'x')), 1000), QStringLiteral("zu groß"));
        // A stream that stops in the middle is not an answer.
        QCOMPARE(grund(kopf + feld('Z')), QStringLiteral("offen"));
    }

    // A damaged property block in the catalogue makes mdbtools loop: a
    // first chunk of length 0 for ever in place (flooding stderr with
    // megabytes a second, depending on the bytes), a later one of length 0
    // while it allocates ~300 MB a second. Each such file is refused within
    // the limits with a German reason, the reader is gone afterwards, its
    // stderr was kept bounded.
    void katalogSchleifeWirdAbgewiesen()
    {
        if (Jethilfe::ordner().isEmpty())
            QSKIP("Der Ordner shared/jet mit echten Jet-Dateien fehlt.");
        kurzeGrenzen();
        Leserprozess::grenzen().speicher = qint64(256) << 20;
        const QByteArray echt = Testhilfe::lies(datei(QStringLiteral("DateTestDatabase.mdb")));
        const QList<qint64> bloecke = Jethilfe::eigenschaftsbloecke(echt);
        QVERIFY(bloecke.size() >= 3);

        QString still, speicher;
        qint64 geschwaetzig = 0;
        for (const qint64 b : bloecke) {
            // The first chunk's length 0 (its type 0 too: mdbtools then
            // complains on stderr each time round), 256 bytes of it zero,
            // the second chunk's length 0.
            const QByteArray varianten[] = {Jethilfe::veraendert(echt, b + 4, 4), Jethilfe::veraendert(echt, b + 4, 6),
                                            Jethilfe::veraendert(echt, b + 4, 256),
                                            Jethilfe::veraendert(echt, Jethilfe::zweiterAbschnitt(echt, b), 4)};
            for (int v = 0; v < 4; ++v) {
                const QString d = schreibe(QStringLiteral("kaputt-%1-%2.mdb").arg(b).arg(v), varianten[v]);
                const Leserprozess::Lauf lauf = Leserprozess::ausfuehren({QStringLiteral("katalog"), d});
                QVERIFY2(lauf.ms < 15000, qPrintable(QString::number(lauf.ms)));
                QVERIFY(lauf.stoerungen.size() <= 2 * 8 * 1024 + 16);
                geschwaetzig = std::max(geschwaetzig, lauf.stoerungenBytes);
                if (lauf.ende == Leserprozess::Lauf::Ende::Fertig)
                    continue;
                const QString f = Testhilfe::fehlerVon([&] { Leserprozess::antwort(lauf, d); });
                QVERIFY2(!englisch(f) && f.size() < 1000, qPrintable(f));
                if (lauf.ende == Leserprozess::Lauf::Ende::Still) {
                    QVERIFY2(f.contains(QStringLiteral("kam 3 Sekunden lang nicht voran")), qPrintable(f));
                    still = d;
                } else if (lauf.ende == Leserprozess::Lauf::Ende::Speicher) {
                    QVERIFY2(f.contains(QStringLiteral("mehr als 256 MiB Speicher")), qPrintable(f));
                    speicher = d;
                }
            }
        }
        QVERIFY(Jethilfe::kinder().isEmpty());
        QVERIFY2(!still.isEmpty(), "Keine der Dateien ließ mdbtools auf der Stelle treten.");
        QVERIFY2(!speicher.isEmpty(), "Keine der Dateien ließ den Leser an die Speichergrenze stoßen.");
        QVERIFY2(geschwaetzig > 1000000, qPrintable(QString::number(geschwaetzig)));

        // With the limits the program uses, through JetDatei as the program
        // and tremvik-jet read: refused in well under 30 seconds.
        Leserprozess::grenzen() = m_vorgabe;
        for (const QString &d : {still, speicher}) {
            QElapsedTimer uhr;
            uhr.start();
            const QString f = Testhilfe::fehlerVon([&] { JetDatei jet(d); });
            QVERIFY2(uhr.elapsed() < 30000, qPrintable(QString::number(uhr.elapsed())));
            QVERIFY2(
                f.startsWith(
                    QStringLiteral("Die Jet-Datei \u201E%1\u201C lässt sich nicht lesen (beschädigt?).\n\n").arg(d)),
                qPrintable(f));
            QVERIFY(!englisch(f));
        }

        // Each command of tremvik-jet says the same on stderr and ends with
        // 1; the database it was to write is left alone.
        const QString db = m_tmp.filePath(QStringLiteral("unberuehrt.dorlem-fasq"));
        for (const QStringList &aufruf :
             {QStringList{QStringLiteral("zeige"), speicher},
              QStringList{QStringLiteral("log"), speicher, QStringLiteral("--db"), db},
              QStringList{QStringLiteral("frequenzen"), speicher, QStringLiteral("--db"), db}}) {
            QProcess p;
            p.start(QStringLiteral(TREMVIK_BIN "/tremvik-jet"), aufruf);
            QVERIFY(p.waitForFinished(60000));
            QCOMPARE(p.exitCode(), 1);
            const QString err = QString::fromUtf8(p.readAllStandardError());
            QVERIFY2(err.contains(QStringLiteral("(beschädigt?)")) && !englisch(err) && err.size() < 2000,
                     qPrintable(err));
            QVERIFY(p.readAllStandardOutput().isEmpty());
        }
        QVERIFY(!QFile::exists(db));
    }

    // A cancel ends the reader at once, from another thread, and throws
    // Abgebrochen.
    void abbrechenBeendetDenLeser()
    {
        if (Jethilfe::ordner().isEmpty())
            QSKIP("Der Ordner shared/jet mit echten Jet-Dateien fehlt.");
        const QByteArray echt = Testhilfe::lies(datei(QStringLiteral("DateTestDatabase.mdb")));
        const QList<qint64> bloecke = Jethilfe::eigenschaftsbloecke(echt);
        // Every block damaged: the catalogue loops on the first it reaches.
        QByteArray kaputt = echt;
        for (const qint64 b : bloecke)
            kaputt = Jethilfe::veraendert(kaputt, b + 4, 4);
        const QString d = schreibe(QStringLiteral("abbrechen.mdb"), kaputt);

        Jet::Aufsicht aufsicht;
        QString f;
        QElapsedTimer uhr;
        uhr.start();
        QThread *faden = QThread::create([&] { f = Testhilfe::fehlerVon([&] { JetDatei jet(d, &aufsicht); }); });
        faden->start();
        QTest::qWait(800);
        QVERIFY(!faden->isFinished());
        QCOMPARE(Jethilfe::kinder().size(), 1);
        aufsicht.abbrechen = true;
        QVERIFY(faden->wait(3000));
        delete faden;
        QVERIFY2(uhr.elapsed() < 5000, qPrintable(QString::number(uhr.elapsed())));
        QCOMPARE(f, Abgebrochen().meldung());
        QVERIFY(Jethilfe::kinder().isEmpty());
    }

    // A file cut short named as such: before, tables vanished ("0
    // Tabellen") or lost their records without a word.
    void abgeschnitteneDatei()
    {
        if (Jethilfe::ordner().isEmpty())
            QSKIP("Der Ordner shared/jet mit echten Jet-Dateien fehlt.");
        const QByteArray echt = Testhilfe::lies(datei(QStringLiteral("DateTestDatabase.mdb")));
        for (const qsizetype laenge : {qsizetype(8192), qsizetype(24576), qsizetype(81920)}) {
            const QString d = schreibe(QStringLiteral("kurz-%1.mdb").arg(laenge), echt.left(laenge));
            const QString f = allesLesen(d);
            QVERIFY2(f.contains(QStringLiteral("Die Datei ist unvollständig (abgeschnitten?)")), qPrintable(f));
            QVERIFY(!englisch(f));

            QProcess p;
            p.start(QStringLiteral(TREMVIK_BIN "/tremvik-jet"), {QStringLiteral("zeige"), d});
            QVERIFY(p.waitForFinished(60000));
            const QString err = QString::fromUtf8(p.readAllStandardError());
            QCOMPARE(p.exitCode(), 1);
            QVERIFY2(err.contains(QStringLiteral("abgeschnitten?")) && !englisch(err), qPrintable(err));
            QVERIFY(!p.readAllStandardOutput().contains("0 Tabellen"));
        }
        // Cut behind the pages of its table, the file is read as before,
        // and so is the whole file.
        for (const qsizetype laenge : {qsizetype(100000), qsizetype(echt.size())}) {
            QMap<QString, int> zeilen;
            QCOMPARE(allesLesen(schreibe(QStringLiteral("lang.mdb"), echt.left(laenge)), &zeilen),
                     QStringLiteral("<kein Fehler>"));
            QCOMPARE(zeilen, (QMap<QString, int>{{QStringLiteral("DateTest"), 6}}));
        }
    }

    // Damaged copies of every real file, with bytes changed in many
    // places and cut at many lengths: each ends within the limits, with
    // the tables read or a German refusal; where mdbtools' own mdb-export
    // reads a table cleanly, the reader gives the same number of records.
    void verstuemmelteDateien()
    {
        if (Jethilfe::ordner().isEmpty())
            QSKIP("Der Ordner shared/jet mit echten Jet-Dateien fehlt.");
        const QString mdbExport = QStandardPaths::findExecutable(QStringLiteral("mdb-export"));
        kurzeGrenzen();
        QRandomGenerator zufall(19);
        int gelesen = 0, abgewiesen = 0, verglichen = 0;
        for (const QString &quelle : Jethilfe::dateien()) {
            const QByteArray echt = Testhilfe::lies(quelle);
            QList<QByteArray> korpus;
            for (int i = 0; i < 14; ++i) {
                const qint64 stelle = qint64(zufall.bounded(quint32(echt.size())));
                QByteArray k = echt;
                for (int j = 0; j < 256 && stelle + j < k.size(); ++j)
                    k[qsizetype(stelle + j)] = char(zufall.bounded(256));
                korpus.append(k);
            }
            for (const qint64 b : Jethilfe::eigenschaftsbloecke(echt).mid(0, 4))
                korpus.append(Jethilfe::veraendert(echt, b + 10, 8, char(0xff)));
            for (int teil : {3, 17, 50, 88})
                korpus.append(echt.left(echt.size() * teil / 100));

            for (int i = 0; i < korpus.size(); ++i) {
                const QString d =
                    schreibe(QStringLiteral("%1-%2.mdb").arg(QFileInfo(quelle).baseName()).arg(i), korpus.at(i));
                QElapsedTimer uhr;
                uhr.start();
                QMap<QString, int> zeilen;
                const QString f = allesLesen(d, &zeilen);
                QVERIFY2(uhr.elapsed() < 120000, qPrintable(d));
                if (f == QStringLiteral("<kein Fehler>")) {
                    ++gelesen;
                } else {
                    ++abgewiesen;
                    QVERIFY2(!englisch(f) && f.size() < 2000, qPrintable(d + QStringLiteral(": ") + f));
                    QVERIFY2(f.startsWith(QStringLiteral("Die Jet-Datei")), qPrintable(f));
                }
                if (mdbExport.isEmpty())
                    continue;
                for (auto t = zeilen.cbegin(); t != zeilen.cend(); ++t) {
                    QProcess p;
                    p.start(mdbExport, {QStringLiteral("-H"), QStringLiteral("-b"), QStringLiteral("strip"),
                                        QStringLiteral("-R"), QStringLiteral("\x1e"), d, t.key()});
                    if (!p.waitForFinished(5000)) {
                        p.kill();
                        p.waitForFinished();
                        continue;
                    }
                    if (p.exitCode() != 0 || !p.readAllStandardError().isEmpty())
                        continue;
                    QCOMPARE(t.value(), int(p.readAllStandardOutput().count('\x1e')));
                    ++verglichen;
                }
            }
        }
        QVERIFY(Jethilfe::kinder().isEmpty());
        qInfo("%d gelesen, %d abgewiesen, %d Tabellen mit mdb-export verglichen", gelesen, abgewiesen, verglichen);
        QVERIFY(gelesen > 0 && abgewiesen > 0);
    }
};

TREMVIK_KERN_TEST_MAIN(TestJetleser)

#include "tst_jetleser.moc"
