// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/datenfehler.h"
#include "kern/daten/zeilencache.h"

#include <QtTest>

#include <algorithm>

namespace {

// A query's rows in memory: key k holds the values "z<k>" and "<k * 10>".
// Reads are recorded; keys left out are skipped as a database would.
class Quelle : public Zeilenquelle
{
public:
    explicit Quelle(int n)
    {
        for (int k = 1; k <= n; ++k)
            schluessel.push_back(k);
    }
    void lies(int start, int anzahl, int, Zeilenblock &ziel) override
    {
        if (fehler)
            throw DatenFehler(QStringLiteral("kaputt"));
        lesungen.push_back({start, anzahl});
        std::vector<qint64> da;
        for (qint64 k : schluessel)
            if (!std::count(ohne.begin(), ohne.end(), k))
                da.push_back(k);
        for (int i = start; i < start + anzahl && i < int(da.size()); ++i) {
            ziel.neueZeile(da[size_t(i)]);
            const QByteArray a = "z" + QByteArray::number(da[size_t(i)]);
            const QByteArray b = QByteArray::number(da[size_t(i)] * 10);
            ziel.zelle(a.constData(), int(a.size()));
            if (da[size_t(i)] % 7 == 0)
                ziel.nullZelle();
            else
                ziel.zelle(b.constData(), int(b.size()));
        }
    }
    void auslassen(qint64 k) override { ohne.push_back(k); }

    std::vector<qint64> schluessel;
    std::vector<qint64> ohne;
    std::vector<std::pair<int, int>> lesungen;
    bool fehler = false;
};

QStringList spalte(Zeilencache &c, int feld)
{
    QStringList s;
    for (int z = 0; z < c.anzahl(); ++z)
        s << (c.wert(z, feld).isNull() ? QStringLiteral("-") : c.wert(z, feld).toString());
    return s;
}

QStringList erwartet(std::initializer_list<int> schluessel)
{
    QStringList s;
    for (int k : schluessel)
        s << QStringLiteral("z%1").arg(k);
    return s;
}

}   // namespace

// The row cache alone, over a source in memory: which pages it reads, how
// many it keeps, and how the view's writes lie over the rows read.
class TestZeilencache : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void block()
    {
        Zeilenblock b(3);
        b.neueZeile(7);
        b.zelle("", 0);
        b.nullZelle();
        b.zelle("Öl", 3);
        b.leereZeile(8);
        Zeilenblock c(3);
        c.kopiereZeile(b, 0);
        c.kopiereZeile(b, 1);
        for (const Zeilenblock *x : {&b, &c}) {
            QCOMPARE(x->zeilen(), 2);
            QCOMPARE(x->schluessel(0), qint64(7));
            QCOMPARE(x->wert(0, 0), QVariant(QString()));   // empty text is not NULL
            QVERIFY(!x->wert(0, 0).isNull());
            QVERIFY(x->wert(0, 1).isNull());
            QCOMPARE(x->wert(0, 2).toString(), QStringLiteral("Öl"));
            QVERIFY(x->wert(1, 2).isNull());
            QCOMPARE(x->schluessel(1), qint64(8));
        }
        c.kuerzen(1);
        QCOMPARE(c.zeilen(), 1);
        c.neueZeile(9);
        c.zelle("x", 1);
        c.zelle("y", 1);
        c.zelle("z", 1);
        QCOMPARE(c.wert(1, 0).toString(), QStringLiteral("x"));
        QCOMPARE(c.wert(0, 2).toString(), QStringLiteral("Öl"));
    }

    // Only the pages asked for are read, wherever they lie; a bounded number
    // is kept, and one let go is read again from the same place.
    void seitenNachBedarf()
    {
        Quelle q(1000);
        Zeilencache c(q, 1000, 2, 10, 3);
        QCOMPARE(c.anzahl(), 1000);
        QVERIFY(q.lesungen.empty());
        QCOMPARE(c.wert(999, 0).toString(), QStringLiteral("z1000"));
        QCOMPARE(c.wert(995, 0).toString(), QStringLiteral("z996"));
        QCOMPARE(c.wert(503, 0).toString(), QStringLiteral("z504"));
        QCOMPARE(c.wert(0, 0).toString(), QStringLiteral("z1"));
        QCOMPARE(q.lesungen, (std::vector<std::pair<int, int>>{{990, 10}, {500, 10}, {0, 10}}));
        QCOMPARE(c.seitenImSpeicher(), 3);
        c.wert(250, 0);   // a fourth page: the one used longest ago goes
        QCOMPARE(c.seitenImSpeicher(), 3);
        c.wert(0, 0);
        c.wert(503, 0);
        QCOMPARE(q.lesungen.size(), size_t(4));
        QCOMPARE(c.wert(999, 0).toString(), QStringLiteral("z1000"));
        QCOMPARE(q.lesungen.size(), size_t(5));
        QCOMPARE(q.lesungen.back(), (std::pair<int, int>{990, 10}));
        QVERIFY(c.wert(7 - 1, 1).isNull());   // key 7 holds NULL
        QCOMPARE(c.zeile(1), (QVector<QVariant>{QStringLiteral("z2"), QStringLiteral("20")}));
    }

    // A changed row keeps its place, a deleted one leaves, an added one comes
    // last. The source leaves their records out from then on, so pages read
    // afterwards (also ones read before and let go) still line up.
    void schreibenUeberGelesenenZeilen()
    {
        Quelle q(30);
        Zeilencache c(q, 30, 2, 4, 2);
        QCOMPARE(c.wert(5, 0).toString(), QStringLiteral("z6"));
        c.aendern(5, {QStringLiteral("neu6"), QStringLiteral("x")});
        QCOMPARE(q.ohne, (std::vector<qint64>{6}));
        c.loeschen(9);   // z10
        QCOMPARE(q.ohne, (std::vector<qint64>{6, 10}));
        QCOMPARE(c.anzahl(), 29);
        QCOMPARE(c.anhaengen(99, {QStringLiteral("z99"), QVariant()}), 29);
        QCOMPARE(c.anzahl(), 30);
        QCOMPARE(q.ohne.back(), qint64(99));

        QStringList s;
        for (int k = 1; k <= 30; ++k)
            if (k != 10)
                s << (k == 6 ? QStringLiteral("neu6") : QStringLiteral("z%1").arg(k));
        s << QStringLiteral("z99");
        // Twice, back to front and front to back: every page is read again.
        QStringList rueckwaerts;
        for (int z = c.anzahl() - 1; z >= 0; --z)
            rueckwaerts.prepend(c.wert(z, 0).toString());
        QCOMPARE(rueckwaerts, s);
        QCOMPARE(spalte(c, 0), s);
        QCOMPARE(c.schluessel(5), qint64(6));
        QCOMPARE(c.schluessel(9), qint64(11));
        QCOMPARE(c.schluessel(29), qint64(99));

        // A row changed twice, and changes to the added row.
        c.aendern(5, {QStringLiteral("neuer6"), QVariant()});
        c.aendern(29, {QStringLiteral("z99b"), QVariant()});
        QCOMPARE(c.wert(5, 0).toString(), QStringLiteral("neuer6"));
        QCOMPARE(c.wert(29, 0).toString(), QStringLiteral("z99b"));
        QCOMPARE(q.ohne, (std::vector<qint64>{6, 10, 99}));
        // Deleting the added row and a changed one.
        c.loeschen(29);
        c.loeschen(5);
        QCOMPARE(c.anzahl(), 28);
        s.removeLast();
        s.removeAt(5);
        QCOMPARE(spalte(c, 0), s);
        QVERIFY_THROWS_EXCEPTION(KeinDatensatz, c.schluessel(28));
    }

    // Deleting the first and the last row, and every row of a page.
    void loeschenAnDenRaendern()
    {
        Quelle q(9);
        Zeilencache c(q, 9, 2, 3, 1);
        c.loeschen(0);
        c.loeschen(7);
        for (int i = 0; i < 3; ++i)
            c.loeschen(2);   // z4, z5, z6: the whole middle page
        QCOMPARE(spalte(c, 0), erwartet({2, 3, 7, 8}));
        c.anhaengen(50, {QStringLiteral("z50"), QVariant()});
        QCOMPARE(spalte(c, 0), erwartet({2, 3, 7, 8, 50}));
    }

    // A query that gives fewer rows than were counted (others deleted some
    // since): the missing rows are empty and have no key.
    void quelleEndetFrueher()
    {
        Quelle q(5);
        Zeilencache c(q, 8, 2, 3, 4);
        QCOMPARE(c.anzahl(), 8);
        QCOMPARE(c.wert(4, 0).toString(), QStringLiteral("z5"));
        QVERIFY(c.wert(5, 0).isNull());
        QVERIFY(c.wert(7, 0).isNull());
        QVERIFY_THROWS_EXCEPTION(KeinDatensatz, c.schluessel(6));
        // A changed row in a page that ends early keeps its values when the
        // page is read again.
        Zeilencache d(q, 8, 2, 3, 1);
        d.aendern(4, {QStringLiteral("neu"), QVariant()});
        QCOMPARE(d.wert(0, 0).toString(), QStringLiteral("z1"));   // lets the page go
        QCOMPARE(d.wert(3, 0).toString(), QStringLiteral("z4"));
        QCOMPARE(d.wert(4, 0).toString(), QStringLiteral("neu"));
        QVERIFY(d.wert(5, 0).isNull());
    }

    // A failed read is not kept: the next look reads again.
    void fehlerWirdNichtGemerkt()
    {
        Quelle q(10);
        Zeilencache c(q, 10, 2, 4, 4);
        q.fehler = true;
        QVERIFY_THROWS_EXCEPTION(DatenFehler, c.wert(0, 0));
        QCOMPARE(c.seitenImSpeicher(), 0);
        q.fehler = false;
        QCOMPARE(c.wert(0, 0).toString(), QStringLiteral("z1"));
        // Out of range: nothing, and nothing read.
        const size_t vorher = q.lesungen.size();
        QVERIFY(c.wert(-1, 0).isNull());
        QVERIFY(c.wert(10, 0).isNull());
        QVERIFY(c.wert(0, 2).isNull());
        QCOMPARE(q.lesungen.size(), vorher);
    }
};

QTEST_APPLESS_MAIN(TestZeilencache)
#include "tst_zeilencache.moc"
