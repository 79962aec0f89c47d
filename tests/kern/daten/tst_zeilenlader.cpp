// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/abfrage.h"
#include "kern/daten/recordset.h"
#include "kern/daten/sqlitedatei.h"
#include "kern/daten/unicodelike.h"
#include "kern/daten/zeilencache.h"
#include "kern/daten/zeilenlader.h"
#include "kernhilfe.h"

#include <sqlite3.h>

#include <algorithm>
#include <random>

// Reading a query's rows by position from SQLite: every way of finding a
// page gives the rows in the query's order, whichever page is read first;
// a jump reads only its page; writes of the view are left out of later
// reads; a damaged file is read on past its bad rows.
class TestZeilenlader : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> ordner;
    std::unique_ptr<SqliteDatei> db;

    QString datei() const { return ordner->filePath(QStringLiteral("t.db")); }

    // t: 200 rows; s repeats its values and is NULL in every 11th row, n
    // shows the row's number.
    void tabelle(bool index, bool ganzzahlSchluessel = true, int zeilen = 200)
    {
        db->ausfuehren(ganzzahlSchluessel ? "create table t (id integer primary key, s text, n text)"
                                          : "create table t (s text, n text)",
                       QString());
        db->ausfuehren(QStringLiteral("with recursive z(i) as (select 1 union all select i + 1 from z where i < %1) "
                                      "insert into t (s, n) select case when i % 11 = 0 then null "
                                      "else char(65 + i % 5) || printf('%02d', i % 37) end, 'n' || i from z")
                           .arg(zeilen)
                           .toUtf8(),
                       QString());
        if (index)
            db->ausfuehren("create index t_s on t (s)", QString());
    }

    // Every row of a cache, its pages read in the given order of pages.
    // Every row of a cache as "s|n", its pages read in the given order.
    static QStringList alleZeilen(Zeilencache &c, const QStringList &felder, int seite,
                                  const std::vector<int> &reihenfolge)
    {
        const int s = int(felder.indexOf(QStringLiteral("s"))), n = int(felder.indexOf(QStringLiteral("n")));
        QStringList zeilen;
        for (int z = 0; z < c.anzahl(); ++z)
            zeilen << QString();
        for (int p : reihenfolge)
            for (int z = p * seite; z < std::min(c.anzahl(), (p + 1) * seite); ++z)
                zeilen[z] = c.wert(z, s).toString() + QLatin1Char('|') + c.wert(z, n).toString();
        return zeilen;
    }

    // The pages in the order of jumps: last, middle, first, then at random;
    // then all once more backwards (read again, as few are kept).
    static std::vector<int> spruenge(int seiten)
    {
        std::vector<int> r{seiten - 1, seiten / 2, 0};
        std::vector<int> rest(size_t(seiten), 0);
        for (int i = 0; i < seiten; ++i)
            rest[size_t(i)] = i;
        std::shuffle(rest.begin(), rest.end(), std::mt19937(5));
        r.insert(r.end(), rest.begin(), rest.end());
        for (int i = seiten - 1; i >= 0; --i)
            r.push_back(i);
        return r;
    }

    static int vmSchritte;
    static int zaehleSchritt(void *)
    {
        ++vmSchritte;
        return 0;
    }

private Q_SLOTS:
    void init()
    {
        ordner = std::make_unique<QTemporaryDir>();
        db = std::make_unique<SqliteDatei>(datei(), SqliteDatei::Art::Anlegen);
        QVERIFY(registriereUnicodeLike(db->handle()));
    }
    void cleanup()
    {
        db.reset();
        ordner.reset();
    }

    void reihenfolgeBeiJedemSprung_data()
    {
        QTest::addColumn<bool>("index");
        QTest::addColumn<bool>("ganzzahl");
        QTest::addColumn<QString>("sicht");   // read through a view of this text
        QTest::addColumn<QString>("sortierung");
        QTest::addColumn<bool>("absteigend");
        QTest::addColumn<QString>("kollation");
        QTest::addColumn<QString>("suche");
        QTest::addColumn<int>("weg");             // Zeilenlader::Weg once every page was read
        QTest::addColumn<QString>("vergleich");   // the query that gives the same rows
        const int index = int(Zeilenlader::Weg::Index), liste = int(Zeilenlader::Weg::Schluesselliste),
                  versatz = int(Zeilenlader::Weg::Versatz);
        QTest::newRow("Index") << true << true << ""
                               << "s" << false << ""
                               << "" << index << "select s, n from t order by s, id";
        QTest::newRow("ohne Index") << false << true << ""
                                    << "s" << false << ""
                                    << "" << liste << "select s, n from t order by s, id";
        QTest::newRow("absteigend") << true << true << ""
                                    << "S" << true << ""
                                    << "" << index << "select s, n from t order by s desc, id desc";
        QTest::newRow("Kollation") << true << true << ""
                                   << "s" << false << "nocase"
                                   << "" << liste << "select s, n from t order by s collate nocase, id";
        QTest::newRow("nach Schlüssel") << true << true << ""
                                        << "" << false << ""
                                        << "" << index << "select s, n from t order by id";
        QTest::newRow("nach Schlüsselspalte") << true << true << ""
                                              << "id" << true << ""
                                              << "" << index << "select s, n from t order by id desc";
        QTest::newRow("Suche") << true << true << ""
                               << "s" << false << ""
                               << "1" << index << "select s, n from t where s like '%1%' order by s, id";
        QTest::newRow("Suche ohne Index") << false << true << ""
                                          << "s" << false << ""
                                          << "1" << liste << "select s, n from t where s like '%1%' order by s, id";
        QTest::newRow("rowid") << true << false << ""
                               << "s" << false << ""
                               << "" << index << "select s, n from t order by s, rowid";
        QTest::newRow("Sicht") << true << true << "create view v as select id, s, n from t"
                               << "n" << false << ""
                               << "a" << versatz << "select s, n from t where s like '%a%' order by n";
    }
    void reihenfolgeBeiJedemSprung()
    {
        QFETCH(bool, index);
        QFETCH(bool, ganzzahl);
        QFETCH(QString, sicht);
        QFETCH(QString, sortierung);
        QFETCH(bool, absteigend);
        QFETCH(QString, kollation);
        QFETCH(QString, suche);
        QFETCH(int, weg);
        QFETCH(QString, vergleich);
        tabelle(index, ganzzahl);
        if (!sicht.isEmpty())
            db->ausfuehren(sicht.toUtf8(), QString());
        const QString name = sicht.isEmpty() ? QStringLiteral("t") : QStringLiteral("v");
        Abfrage a = sortierung.isEmpty()
                        ? Abfrage::tabelle(name)
                        : Abfrage::alle(name, sortierung, absteigend ? Abfrage::Richtung::Ab : Abfrage::Richtung::Auf);
        if (!kollation.isEmpty())
            a = a.mitKollation(kollation);
        if (!suche.isEmpty())
            a = Abfrage::suche(a, QStringLiteral("s"), suche);

        QStringList erwartet = Testhilfe::abfrage(db->handle(), vergleich, QString());
        Zeilenlader lader(db->handle(), a, datei());
        const int n = lader.zaehle();
        QCOMPARE(n, erwartet.size());
        const int seite = 7;
        Zeilencache cache(lader, n, lader.felder().size(), seite, 2);
        const int seiten = (n + seite - 1) / seite;
        QCOMPARE(alleZeilen(cache, lader.felder(), seite, spruenge(seiten)), erwartet);
        QCOMPARE(int(lader.weg()), weg);
        QVERIFY(!lader.schaden());
    }

    // An order laid over a query (a clicked column): the query's own sort
    // decides among rows equal in it, also descending and through a view.
    void ueberlagerteOrdnung_data()
    {
        QTest::addColumn<QString>("tabelle");
        QTest::addColumn<QString>("suche");
        QTest::addColumn<bool>("absteigend");
        QTest::addColumn<QString>("vergleich");
        QTest::newRow("Liste") << "t"
                               << "" << false << "select s, n from t order by s collate nocase, n";
        QTest::newRow("absteigend") << "t"
                                    << "1" << true
                                    << "select s, n from t where s like '%1%' order by s collate nocase desc, n";
        QTest::newRow("Sicht") << "v"
                               << "" << true << "select s, n from t order by s collate nocase desc, n";
    }
    void ueberlagerteOrdnung()
    {
        QFETCH(QString, tabelle);
        QFETCH(QString, suche);
        QFETCH(bool, absteigend);
        QFETCH(QString, vergleich);
        this->tabelle(true);
        db->ausfuehren("create view v as select id, s, n from t", QString());
        Abfrage a = Abfrage::alle(tabelle, QStringLiteral("n"));
        if (!suche.isEmpty())
            a = Abfrage::suche(a, QStringLiteral("s"), suche);
        const Abfrage::Ordnung o{QStringLiteral("s"), absteigend ? Abfrage::Richtung::Ab : Abfrage::Richtung::Auf,
                                 QStringLiteral("nocase")};
        const Abfrage g = a.geordnet(o);
        QCOMPARE(g.text(), QStringLiteral("select * from [%1]%2 order by s collate nocase %3, n asc")
                               .arg(tabelle, suche.isEmpty() ? QString() : QStringLiteral(" where s like '%1%'"),
                                    absteigend ? QStringLiteral("desc") : QStringLiteral("asc")));
        QCOMPARE(a.geordnet({QStringLiteral("n"), Abfrage::Richtung::Ab, QString()}).text(),
                 a.text().replace(QStringLiteral(" asc"), QStringLiteral(" desc")));   // no second sort by itself

        const QStringList erwartet = Testhilfe::abfrage(db->handle(), vergleich, QString());
        Zeilenlader lader(db->handle(), g, datei());
        const int n = lader.zaehle();
        QCOMPARE(n, erwartet.size());
        Zeilencache cache(lader, n, lader.felder().size(), 7, 2);
        QCOMPARE(alleZeilen(cache, lader.felder(), 7, spruenge((n + 6) / 7)), erwartet);
    }

    // A free statement: its rows in its own order, whichever page is read
    // first (a page before its place runs it anew); nothing to write back.
    void freieAbfrage()
    {
        tabelle(true);
        const QString sql = QStringLiteral("select s, n from t where s is not null order by n desc");
        Zeilenlader lader(db->handle(), Abfrage::frei(sql), datei());
        QCOMPARE(lader.weg(), Zeilenlader::Weg::Folge);
        QCOMPARE(lader.schluesselFeld(), -1);
        const QStringList erwartet = Testhilfe::abfrage(db->handle(), sql, QString());
        const int n = lader.zaehle();
        QCOMPARE(n, erwartet.size());
        Zeilencache cache(lader, n, lader.felder().size(), 7, 2);
        QCOMPARE(alleZeilen(cache, lader.felder(), 7, spruenge((n + 6) / 7)), erwartet);
        QVERIFY_THROWS_EXCEPTION(DatenFehler, Recordset(db->handle(), Abfrage::frei(QStringLiteral("selec")), datei()));
        Recordset rs(db->handle(), Abfrage::frei(sql), datei());
        QVERIFY(!rs.beschreibbar());
        QCOMPARE(rs.RecordCount(), n);
    }

    // A jump to the end, to the neighbour of a page read and back to the top
    // reads about one page, not the rows before it.
    void sprungLiestNurSeineSeite()
    {
        const int zeilen = 20000;
        tabelle(true, true, zeilen);
        Zeilenlader lader(db->handle(), Abfrage::alle(QStringLiteral("t"), QStringLiteral("s")), datei());
        const int n = lader.zaehle();
        Zeilencache cache(lader, n, lader.felder().size(), 50, 4);
        sqlite3_progress_handler(db->handle(), 1, &TestZeilenlader::zaehleSchritt, nullptr);
        auto schritte = [&](int zeile) {
            vmSchritte = 0;
            cache.wert(zeile, 1);
            return vmSchritte;
        };
        // A page of 50 rows takes some hundred steps of SQLite's machine;
        // passing over every row before it, many times as many as there are
        // rows.
        for (int zeile : {n - 1, n - 51, 0, 51}) {
            const int s = schritte(zeile);
            QVERIFY2(s < 5000, qPrintable(QStringLiteral("Zeile %1: %2 Schritte").arg(zeile).arg(s)));
        }
        sqlite3_progress_handler(db->handle(), 0, nullptr, nullptr);
        QCOMPARE(lader.weg(), Zeilenlader::Weg::Index);
        const QStringList erwartet =
            Testhilfe::abfrage(db->handle(), QStringLiteral("select n from t order by s, id"), QString());
        for (int zeile : {n - 1, n / 2, n / 2 - 1, 1, n - 51, 7777})
            QCOMPARE(cache.wert(zeile, 2).toString(), erwartet.value(zeile));
    }

    // The view's own writes: a changed row stays in place, a deleted one is
    // gone, an added one comes last, however the table sorts them now and in
    // whatever order the pages are read afterwards.
    void schreibenBleibtAnSeinemPlatz()
    {
        tabelle(true);
        Zeilenlader lader(db->handle(), Abfrage::alle(QStringLiteral("t"), QStringLiteral("s")), datei());
        const int n = lader.zaehle();
        QStringList erwartet =
            Testhilfe::abfrage(db->handle(), QStringLiteral("select s, n from t order by s, id"), QString());
        Zeilencache cache(lader, n, lader.felder().size(), 7, 2);
        QCOMPARE(alleZeilen(cache, lader.felder(), 7, {0, 1, 2}).mid(0, 21), erwartet.mid(0, 21));

        // Row 3 moves to the end of the sort, row 150 to its start.
        auto aendern = [&](int zeile, const char *s) {
            const qint64 k = cache.schluessel(zeile);
            db->ausfuehren(QStringLiteral("update t set s = '%1' where id = %2").arg(s).arg(k).toUtf8(), QString());
            QVector<QVariant> werte = cache.zeile(zeile);
            werte[1] = QString::fromLatin1(s);
            cache.aendern(zeile, werte);
            erwartet[zeile] = QString::fromLatin1(s) + QLatin1Char('|') + erwartet[zeile].section(QLatin1Char('|'), 1);
        };
        aendern(3, "ZZZ");
        aendern(150, "");
        const qint64 weg = cache.schluessel(80);
        db->ausfuehren(QStringLiteral("delete from t where id = %1").arg(weg).toUtf8(), QString());
        cache.loeschen(80);
        erwartet.removeAt(80);
        db->ausfuehren("insert into t (s, n) values ('A00', 'neu')", QString());
        cache.anhaengen(sqlite3_last_insert_rowid(db->handle()),
                        {QString(), QStringLiteral("A00"), QStringLiteral("neu")});
        erwartet << QStringLiteral("A00|neu");

        QCOMPARE(cache.anzahl(), erwartet.size());
        const int seiten = (cache.anzahl() + 6) / 7;
        QCOMPARE(alleZeilen(cache, lader.felder(), 7, spruenge(seiten)), erwartet);
    }

    // A page of the table's b-tree overwritten: the count stands, every
    // readable record is shown in its place, the unreadable ones empty; the
    // damage is reported once, and nothing is written to the file.
    void beschaedigteDatei()
    {
        db.reset();
        Testhilfe::ausSchema(datei(), QStringLiteral("kontakt.sql"));
        Testhilfe::sql(datei(),
                       QStringLiteral("with recursive z(i) as (select 1 union all select i + 1 from z where i < 400) "
                                      "insert into Kontakt (callsign, frequenz, bemerkung) select 'DL' || i, "
                                      "printf('%03d', (i * 7) % 400), printf('%.300c', 'x') from z"));
        const QStringList lesbarVorher =
            Testhilfe::abfrage(datei(), QStringLiteral("select callsign from Kontakt order by frequenz, id"));
        QVERIFY(Testhilfe::beschaedigeTabelle(datei(), QStringLiteral("Kontakt")));
        const QByteArray kaputt = Testhilfe::lies(datei());

        // What a reader can still get, record by record.
        QStringList lesbar;
        for (const QString &call : lesbarVorher) {
            const QString r =
                Testhilfe::abfrage(datei(),
                                   QStringLiteral("select callsign from Kontakt where id = %1").arg(call.mid(2)))
                    .value(0);
            lesbar << (r.startsWith(QLatin1String("Fehler")) ? QString() : r);
        }
        QVERIFY(lesbar.count(QString()) > 0);
        QVERIFY(lesbar.count(QString()) < 50);

        SqliteDatei datenbank(datei(), SqliteDatei::Art::LesenSchreiben);
        registriereUnicodeLike(datenbank.handle());
        QList<DatenFehler> berichte;
        {
            Recordset rs(datenbank.handle(), Abfrage::alle(QStringLiteral("Kontakt"), QStringLiteral("frequenz")),
                         datei());
            rs.setzeBericht([&](const DatenFehler &f) { berichte << f; });
            QCOMPARE(rs.RecordCount(), 400);
            const int call = rs.feldIndex(QStringLiteral("callsign"));
            QStringList gezeigt;
            for (int z = 0; z < rs.RecordCount(); ++z)
                gezeigt << rs.wert(z, call).toString();
            QCOMPARE(gezeigt, lesbar);
            QVERIFY(rs.beschaedigt());
            QCOMPARE(berichte.size(), 1);
            QVERIFY2(berichte[0].meldung().contains(datei()), qPrintable(berichte[0].meldung()));
            QVERIFY(berichte[0].meldung().contains(QStringLiteral("beschädigt")));
            QVERIFY(berichte[0].meldung().contains(QStringLiteral("Wiederherstellung")));

            const int frei =
                int(std::find_if(lesbar.begin(), lesbar.end(), [](const QString &c) { return !c.isEmpty(); })
                    - lesbar.begin());
            QVERIFY_THROWS_EXCEPTION(DatenFehler, rs.aendern(frei, {{call, QStringLiteral("X")}}));
            QVERIFY_THROWS_EXCEPTION(DatenFehler, rs.einfuegen({{call, QStringLiteral("X")}}));
            QVERIFY_THROWS_EXCEPTION(DatenFehler, rs.loeschen(frei));
            try {
                rs.aendern(frei, {{call, QStringLiteral("X")}});
            } catch (const DatenFehler &f) {
                QVERIFY(f.meldung().contains(QStringLiteral("beschädigt")));
            }
            QCOMPARE(berichte.size(), 1);
        }
        {
            // A search over the damaged file: the records that can be read and
            // match, and no failure.
            Recordset rs(datenbank.handle(),
                         Abfrage::suche(Abfrage::alle(QStringLiteral("Kontakt"), QStringLiteral("frequenz")),
                                        QStringLiteral("callsign"), QStringLiteral("DL1")),
                         datei());
            QStringList treffer;
            for (const QString &c : lesbar)
                if (c.contains(QLatin1String("DL1")))
                    treffer << c;
            QCOMPARE(rs.RecordCount(), treffer.size());
            QStringList gezeigt;
            for (int z = 0; z < rs.RecordCount(); ++z)
                gezeigt << rs.wert(z, rs.feldIndex(QStringLiteral("callsign"))).toString();
            QCOMPARE(gezeigt, treffer);
        }
        QCOMPARE(Testhilfe::lies(datei()), kaputt);
    }
};

int TestZeilenlader::vmSchritte = 0;

TREMVIK_KERN_TEST_MAIN(TestZeilenlader)
#include "tst_zeilenlader.moc"
