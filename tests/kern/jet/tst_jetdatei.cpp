// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/jet/jetdatei.h"
#include "kern/jet/jethilfe.h"
#include "kern/formate/csv.h"

#include <QDateTime>

// Reading real Jet files written by Access (Jet 3, Jet 4, ACE 12), checked
// against what mdbtools' own programs say about them.
class TestJetDatei : public QObject
{
    Q_OBJECT

    QString m_mdbExport;

    static QString datei(const QString &name) { return Jethilfe::ordner() + QLatin1Char('/') + name; }

private Q_SLOTS:
    void initTestCase()
    {
        if (Jethilfe::ordner().isEmpty())
            QSKIP("Der Ordner shared/jet mit echten Jet-Dateien fehlt.");
        m_mdbExport = QStandardPaths::findExecutable(QStringLiteral("mdb-export"));
    }

    void tabellenUndZeilenzahlenWieMdbExport()
    {
        if (m_mdbExport.isEmpty())
            QSKIP("mdb-export (Paket mdbtools) fehlt.");
        const QString werkzeug = QStringLiteral(TREMVIK_BIN "/tremvik-jet");
        for (const QString &d : Jethilfe::dateien()) {
            const JetDatei jet(d);
            const QString zeige = QString::fromUtf8(Jethilfe::ausgabe(werkzeug, {QStringLiteral("zeige"), d}));
            QVERIFY(!jet.tabellen().isEmpty());
            for (const QString &t : jet.tabellen()) {
                // One record per row delimiter, whatever the values hold.
                const QByteArray export_ =
                    Jethilfe::ausgabe(m_mdbExport, {QStringLiteral("-H"), QStringLiteral("-b"), QStringLiteral("strip"),
                                                    QStringLiteral("-R"), QStringLiteral("\x1e"), d, t});
                const int erwartet = int(export_.count('\x1e'));
                QCOMPARE(jet.zeilenzahl(t), erwartet);
                QCOMPARE(jet.lesen(t).zeilen.size(), erwartet);
                const QString zeile = QStringLiteral("\n%1: %2 Datens%3\n")
                                          .arg(t)
                                          .arg(erwartet)
                                          .arg(erwartet == 1 ? QStringLiteral("atz") : QStringLiteral("ätze"));
                QVERIFY2(zeige.contains(zeile), qPrintable(d + QLatin1Char(':') + zeile + zeige));
            }
        }
    }

    // Every text, memo, whole number, currency, yes/no and date value of
    // every table equals what mdb-export writes for it (dates where
    // mdb-export itself can show them).
    void werteWieMdbExport()
    {
        if (m_mdbExport.isEmpty())
            QSKIP("mdb-export (Paket mdbtools) fehlt.");
        int verglichen = 0;
        for (const QString &d : Jethilfe::dateien()) {
            const JetDatei jet(d);
            for (const QString &t : jet.tabellen()) {
                const Jet::Tabelle tabelle = jet.lesen(t);
                const Csv::Tabelle csv = Csv::lesen(
                    Jethilfe::ausgabe(m_mdbExport, {QStringLiteral("-b"), QStringLiteral("strip"), QStringLiteral("-T"),
                                                    QStringLiteral("%Y-%m-%dT%H:%M:%S"), d, t}));
                QCOMPARE(csv.zeilen.size(), tabelle.zeilen.size());
                for (int r = 0; r < tabelle.zeilen.size(); ++r) {
                    for (int k = 0; k < tabelle.spalten.size(); ++k) {
                        const QVariant wert = tabelle.zeilen.at(r).at(k);
                        const Csv::Feld feld = csv.zeilen.at(r).at(k);
                        std::optional<QString> unserer;
                        switch (tabelle.spalten.at(k).typ) {
                        case Jet::Typ::Text:
                        case Jet::Typ::Memo:
                        case Jet::Typ::Waehrung:
                            if (!wert.isNull())
                                unserer = wert.toString();
                            break;
                        case Jet::Typ::Byte:
                        case Jet::Typ::Integer:
                        case Jet::Typ::LongInteger:
                            if (!wert.isNull())
                                unserer = QString::number(wert.toLongLong());
                            break;
                        case Jet::Typ::JaNein:
                            unserer = wert.toBool() ? QStringLiteral("1") : QStringLiteral("0");
                            break;
                        case Jet::Typ::DatumUhrzeit: {
                            if (wert.isNull()) {
                                unserer = std::nullopt;
                                break;
                            }
                            // mdbtools 1.0 shows no date before 1899-12-30 or after 2700.
                            const QDateTime dt = wert.toDateTime();
                            if (dt.date() < Jet::nullDatum() || dt.date().year() > 2700)
                                continue;
                            unserer = dt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
                            break;
                        }
                        default: continue;
                        }
                        if (unserer != feld)
                            QFAIL(qPrintable(
                                QStringLiteral("%1, %2, Datensatz %3, %4: %5 statt %6")
                                    .arg(d, t)
                                    .arg(r + 1)
                                    .arg(tabelle.spalten.at(k).name, unserer.value_or("NULL"), feld.value_or("NULL"))));
                        ++verglichen;
                    }
                }
            }
        }
        QVERIFY(verglichen > 10000);
    }

    void umlauteUndCodeSeiten()
    {
        // Jet 3 keeps names and text in a Windows code page.
        const JetDatei jet3(datei(QStringLiteral("nwind.mdb")));
        QCOMPARE(jet3.format(), QStringLiteral("Jet 3 (Access 97)"));
        QVERIFY(jet3.tabellen().contains(QStringLiteral("Ums\u00e4tze")));
        QCOMPARE(jet3.tabelle(QStringLiteral("UMS\u00c4TZE")), QStringLiteral("Ums\u00e4tze"));
        QCOMPARE(jet3.zeilenzahl(QStringLiteral("Ums\u00e4tze")), 830);
        const Jet::Tabelle kunden = jet3.lesen(QStringLiteral("Customers"));
        const int stadt = kunden.spalte(QStringLiteral("city"));
        QVERIFY(stadt >= 0);
        QCOMPARE(kunden.zeilen.at(1).at(stadt).toString(), QStringLiteral("M\u00e9xico D.F."));

        // Jet 4 and ACE keep Unicode.
        QCOMPARE(JetDatei(datei(QStringLiteral("DateTestDatabase.mdb"))).format(),
                 QStringLiteral("Jet 4 (Access 2000\u20132003)"));
        const JetDatei ace(datei(QStringLiteral("ASampleDatabase.accdb")));
        QCOMPARE(ace.format(), QStringLiteral("ACE 12 (Access 2007)"));
        QCOMPARE(ace.tabellen(), QStringList{QStringLiteral("Asset Items")});
        const QList<Jet::Spalte> spalten = ace.spalten(QStringLiteral("Asset Items"));
        QCOMPARE(spalten.at(0).typName(), QStringLiteral("Text (5)"));
        QCOMPARE(spalten.at(8).typName(), QStringLiteral("Währung"));
        QCOMPARE(spalten.at(12).typName(), QStringLiteral("Memo"));
    }

    void datumJenseitsVon1900Bis2700UndMemo()
    {
        const Jet::Tabelle t =
            JetDatei(datei(QStringLiteral("DateTestDatabase.mdb"))).lesen(QStringLiteral("DateTest"));
        QCOMPARE(t.zeilen.size(), 6);
        auto datum = [&](int zeile, int spalte) { return t.zeilen.at(zeile).at(spalte).toDateTime(); };
        QCOMPARE(datum(0, 1), QDateTime(QDate(2021, 12, 2), QTime(0, 0), Qt::UTC));
        // "Year 9999", "Pre-1900 years", "Pre-1000 years": no date is lost
        // on either side of the zero date.
        QCOMPARE(datum(1, 1).date(), QDate(9999, 1, 1));
        QCOMPARE(datum(2, 1).date(), QDate(1898, 1, 1));
        QCOMPARE(datum(2, 2).date(), QDate(1899, 1, 1));
        QCOMPARE(datum(2, 3).date(), QDate(1900, 1, 1));
        QVERIFY(datum(3, 1).date().year() < 1000);
        // A memo keeps its line break.
        QCOMPARE(t.zeilen.at(5).at(4).typeId(), QMetaType::QString);
        QVERIFY(t.zeilen.at(5).at(4).toString().contains(QLatin1Char('\n')));
        QCOMPARE(t.zeilen.at(5).at(5).toString(), QStringLiteral("No new line"));

        // Long memos and OLE objects of Jet 3.
        const Jet::Tabelle leute = JetDatei(datei(QStringLiteral("nwind.mdb"))).lesen(QStringLiteral("Employees"));
        const int notiz = leute.spalte(QStringLiteral("Notes")), foto = leute.spalte(QStringLiteral("Photo"));
        QVERIFY(leute.zeilen.at(0).at(notiz).toString().startsWith(QStringLiteral("Education includes a BA")));
        QVERIFY(leute.zeilen.at(0).at(foto).toByteArray().size() > 10000);
    }

    void fehlerNennenDateiUndTabelle()
    {
        QTemporaryDir tmp;
        const QString sqlite = tmp.filePath(QStringLiteral("log.dorlem-fasq"));
        Testhilfe::ausSchema(sqlite, QStringLiteral("kontakt.sql"));
        QVERIFY(!JetDatei::istJet(sqlite));
        QVERIFY(!JetDatei::istJet(tmp.filePath(QStringLiteral("fehlt.mdb"))));
        QVERIFY(JetDatei::istJet(datei(QStringLiteral("nwind.mdb"))));
        QVERIFY(JetDatei::istJet(datei(QStringLiteral("ASampleDatabase.accdb"))));

        const auto meldung = &Testhilfe::fehlerVon;
        QVERIFY(meldung([&] { JetDatei j(sqlite); }).contains(QStringLiteral("keine Datenbank im Jet-Format")));
        QVERIFY(meldung([&] { JetDatei j(tmp.path()); }).contains(QStringLiteral("keine Datei")));
        const QString keine = meldung([&] { JetDatei(datei(QStringLiteral("nwind.mdb"))).lesen("Kontakt"); });
        QVERIFY2(keine.contains(QStringLiteral("nwind.mdb")) && keine.contains(QStringLiteral("\u201EKontakt\u201C")),
                 qPrintable(keine));
    }
};

TREMVIK_KERN_TEST_MAIN(TestJetDatei)

#include "tst_jetdatei.moc"
