// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/jet/uebernahme.h"
#include "kern/jet/jethilfe.h"
#include "kern/bestaende/frequenzdaten.h"
#include "kern/formate/rtf.h"

#include <QDateTime>
#include <sqlite3.h>

// Taking a log and the frequency lists out of Jet tables. mdbtools cannot
// write Jet files, so the tables are made here in memory and go through
// the same code as a table read from a file.
class TestUebernahme : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;

    static Jet::Spalte spalte(const QString &name, Jet::Typ typ) { return Jet::Spalte{name, typ, 0}; }
    static QVariant datum(int j, int m, int t, int h = 0, int min = 0, int s = 0)
    {
        return QDateTime(QDate(j, m, t), QTime(h, min, s), Qt::UTC);
    }
    static QVariant uhrzeit(int h, int min) { return datum(1899, 12, 30, h, min); }

    // A table Kontakt as an old log kept it: a key, columns in other
    // letter cases, dates and times as Datum/Uhrzeit, the channel and the
    // frequency as numbers, a memo remark, and a column the log lacks.
    static Jet::Tabelle altesLog()
    {
        Jet::Tabelle t;
        t.name = QStringLiteral("KONTAKT");
        t.spalten = {spalte("ID", Jet::Typ::LongInteger),     spalte("CallSign", Jet::Typ::Text),
                     spalte("Datum", Jet::Typ::DatumUhrzeit), spalte("Uhrzeit", Jet::Typ::DatumUhrzeit),
                     spalte("lanal", Jet::Typ::LongInteger),  spalte("Frequenz", Jet::Typ::Double),
                     spalte("Bemerkung", Jet::Typ::Memo),     spalte("QSL", Jet::Typ::JaNein)};
        const QString rtf = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 fett {\\b DL}\\par}");
        t.zeilen = {
            {1, "DL1ABC", datum(2006, 6, 30), uhrzeit(21, 45), 80, 145.5, QStringLiteral("Gut\r\nzu h\u00f6ren"), true},
            {2, "OE3XYZ", datum(2007, 1, 2), uhrzeit(6, 5), QVariant(), 169.40625, rtf, false},
            {3, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), false},
        };
        return t;
    }

    QString neuesLog(const QString &name)
    {
        const QString datei = m_tmp.filePath(name);
        Testhilfe::ausSchema(datei, QStringLiteral("kontakt.sql"));
        return datei;
    }

    static QStringList zeilen(const QString &datei, const QString &sql)
    {
        QStringList aus;
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(datei).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr) == SQLITE_OK) {
            while (sqlite3_step(s) == SQLITE_ROW) {
                QStringList teile;
                for (int k = 0; k < sqlite3_column_count(s); ++k)
                    teile.append(sqlite3_column_type(s, k) == SQLITE_NULL
                                     ? QStringLiteral("\u2205")
                                     : QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, k))));
                aus.append(teile.join(QLatin1Char('|')));
            }
        } else {
            aus.append(QStringLiteral("Fehler: ") + QString::fromUtf8(sqlite3_errmsg(db)));
        }
        sqlite3_finalize(s);
        sqlite3_close(db);
        return aus;
    }

private Q_SLOTS:
    void werteAlsText()
    {
        using T = Jet::Typ;
        auto text = [](const QVariant &w, T typ = T::Unbekannt, bool frequenz = false) {
            return Uebernahme::text(w, typ, frequenz);
        };
        QCOMPARE(text(QVariant()), std::nullopt);
        QCOMPARE(text(true, T::JaNein), QStringLiteral("Ja"));
        QCOMPARE(text(false, T::JaNein), QStringLiteral("Nein"));
        QCOMPARE(text(qlonglong(-12), T::LongInteger), QStringLiteral("-12"));
        QCOMPARE(text(QVariant(0.1f), T::Single), QStringLiteral("0,1"));
        QCOMPARE(text(2.5, T::Double), QStringLiteral("2,5"));
        QCOMPARE(text(1e20, T::Double), QStringLiteral("100000000000000000000"));
        // Währung and Dezimal come as exact decimals; text that looks like
        // one stays as it was.
        QCOMPARE(text(QStringLiteral("12.7500"), T::Waehrung), QStringLiteral("12,75"));
        QCOMPARE(text(QStringLiteral("-3.0000"), T::Waehrung), QStringLiteral("-3"));
        QCOMPARE(text(QStringLiteral("0.125"), T::Dezimal), QStringLiteral("0,125"));
        QCOMPARE(text(QStringLiteral("145.500"), T::Text), QStringLiteral("145.500"));
        QCOMPARE(text(QStringLiteral("12.7500"), T::Memo), QStringLiteral("12.7500"));
        // General date: a date alone, a time alone, both; seconds only
        // where there are some.
        QCOMPARE(text(datum(2006, 6, 30), T::DatumUhrzeit), QStringLiteral("30.06.2006"));
        QCOMPARE(text(uhrzeit(21, 45), T::DatumUhrzeit), QStringLiteral("21:45"));
        QCOMPARE(text(datum(1899, 12, 30, 0, 0, 7), T::DatumUhrzeit), QStringLiteral("00:00:07"));
        QCOMPARE(text(datum(2006, 6, 30, 21, 45), T::DatumUhrzeit), QStringLiteral("30.06.2006 21:45"));
        QCOMPARE(text(datum(632, 1, 1), T::DatumUhrzeit), QStringLiteral("01.01.0632"));
        // Frequencies in MHz as the lists write them; what is no frequency
        // stays a plain number, text stays text.
        QCOMPARE(text(145.5, T::Double, true), QStringLiteral("145,500"));
        QCOMPARE(text(QVariant(145.5f), T::Single, true), QStringLiteral("145,500"));
        QCOMPARE(text(QVariant(86.355f), T::Single, true), QStringLiteral("86,355"));
        QCOMPARE(text(169.40625, T::Double, true), QStringLiteral("169,40625"));
        QCOMPARE(text(qlonglong(27), T::LongInteger, true), QStringLiteral("27,000"));
        QCOMPARE(text(QStringLiteral("446.00625"), T::Dezimal, true), QStringLiteral("446,00625"));
        QCOMPARE(text(-5.0, T::Double, true), QStringLiteral("-5"));
        QCOMPARE(text(145.0000001, T::Double, true), QStringLiteral("145,0000001"));
        QCOMPARE(text(QStringLiteral("145.5"), T::Text, true), QStringLiteral("145.5"));
        QVERIFY(Testhilfe::fehlerVon([&] {
                    text(QByteArray("\x01\x02"), T::OleObjekt);
                }).contains(QStringLiteral("Binäre Daten")));
    }

    void logNimmtEintraegeAuf()
    {
        const QString log = neuesLog(QStringLiteral("auf.dorlem-fasq"));
        Testhilfe::sql(log, QStringLiteral("insert into Kontakt (callsign) values ('vorher')"));
        const Uebernahme::Logergebnis e = Uebernahme::insLog(altesLog(), QStringLiteral("/alt/ALT.mdb"), log);
        QCOMPARE(e.gelesen, 3);
        QCOMPARE(e.neu, 3);
        QCOMPARE(e.vorhanden, 0);
        // The old key and a column the log has no place for are passed
        // over and named.
        QCOMPARE(e.uebergangen, (QStringList{"ID", "QSL"}));

        QCOMPARE(
            zeilen(log, "select id, callsign, datum, uhrzeit, lanal, frequenz, skip from Kontakt order by id"),
            (QStringList{"1|vorher|\u2205|\u2205|\u2205|\u2205|\u2205", "2|DL1ABC|30.06.2006|21:45|80|145,500|\u2205",
                         "3|OE3XYZ|02.01.2007|06:05|\u2205|169,40625|\u2205",
                         "4|\u2205|\u2205|\u2205|\u2205|\u2205|\u2205"}));
        // Plain text becomes RTF; RTF stays as it was, byte for byte.
        const QStringList bemerkungen = zeilen(log, "select bemerkung from Kontakt order by id");
        QVERIFY(Rtf::istRtf(bemerkungen.at(1)));
        QCOMPARE(Rtf::alsText(bemerkungen.at(1)), QStringLiteral("Gut\nzu h\u00f6ren"));
        QCOMPARE(bemerkungen.at(2), altesLog().zeilen.at(1).at(6).toString());
        QCOMPARE(bemerkungen.at(3), QStringLiteral("\u2205"));
    }

    void zweimalUebernehmenAendertNichts()
    {
        const QString log = neuesLog(QStringLiteral("zweimal.dorlem-fasq"));
        // The table holds one record twice; the log already has one copy of
        // another record.
        Jet::Tabelle t = altesLog();
        t.zeilen.append(t.zeilen.at(0));
        Uebernahme::insLog(altesLog(), QStringLiteral("ALT.mdb"), log);
        Testhilfe::sql(log, QStringLiteral("delete from Kontakt where callsign = 'DL1ABC'"));

        Uebernahme::Logergebnis e = Uebernahme::insLog(t, QStringLiteral("ALT.mdb"), log);
        QCOMPARE(e.gelesen, 4);
        QCOMPARE(e.vorhanden, 2);   // OE3XYZ and the empty record
        QCOMPARE(e.neu, 2);         // DL1ABC twice
        QCOMPARE(zeilen(log, "select count(*) from Kontakt where callsign = 'DL1ABC'"), QStringList{"2"});

        const QByteArray vorher = Testhilfe::lies(log);
        e = Uebernahme::insLog(t, QStringLiteral("ALT.mdb"), log);
        QCOMPARE(e.neu, 0);
        QCOMPARE(e.vorhanden, 4);
        QCOMPARE(Testhilfe::lies(log), vorher);

        // A record that differs in one column only, even as an empty text
        // against none, is another record.
        Jet::Tabelle anders = altesLog();
        anders.zeilen = {anders.zeilen.at(2), anders.zeilen.at(2)};
        anders.zeilen[0][1] = QStringLiteral("");
        anders.zeilen[1][2] = uhrzeit(0, 1);
        e = Uebernahme::insLog(anders, QStringLiteral("ALT.mdb"), log);
        QCOMPARE(e.neu, 2);
        QCOMPARE(zeilen(log, "select count(*) from Kontakt where callsign = ''"), QStringList{"1"});
    }

    void fehlerAendernNichts()
    {
        const QString log = neuesLog(QStringLiteral("fehler.dorlem-fasq"));
        Testhilfe::sql(log, QStringLiteral("insert into Kontakt (callsign) values ('vorher')"));
        const QByteArray vorher = Testhilfe::lies(log);

        // A picture where the remark should be, in the third record: the
        // first two are not written either.
        Jet::Tabelle t = altesLog();
        t.zeilen[2][6] = QByteArray("\x89PNG");
        const QString f = Testhilfe::fehlerVon([&] { Uebernahme::insLog(t, QStringLiteral("/alt/ALT.mdb"), log); });
        QVERIFY2(f.contains(QStringLiteral("ALT.mdb")) && f.contains(QStringLiteral("Tabelle \u201EKONTAKT\u201C"))
                     && f.contains(QStringLiteral("Datensatz 3"))
                     && f.contains(QStringLiteral("Spalte \u201EBemerkung\u201C")),
                 qPrintable(f));
        QCOMPARE(Testhilfe::lies(log), vorher);

        // A table that shares no column with the log.
        Jet::Tabelle fremd;
        fremd.name = QStringLiteral("Kontakt");
        fremd.spalten = {spalte("Name", Jet::Typ::Text)};
        fremd.zeilen = {{QStringLiteral("x")}};
        QVERIFY(Testhilfe::fehlerVon([&] {
                    Uebernahme::insLog(fremd, QStringLiteral("ALT.mdb"), log);
                }).contains(QStringLiteral("keine der Spalten")));
        QCOMPARE(Testhilfe::lies(log), vorher);

        // A target that is no log database.
        const QString freq = m_tmp.filePath(QStringLiteral("keinlog.dorlem-fasq"));
        Testhilfe::ausSchema(freq, QStringLiteral("frequenzen.sql"));
        const QByteArray freqVorher = Testhilfe::lies(freq);
        QVERIFY(Testhilfe::fehlerVon([&] {
                    Uebernahme::insLog(altesLog(), QStringLiteral("ALT.mdb"), freq);
                }).contains(QStringLiteral("Tabelle Kontakt")));
        QCOMPARE(Testhilfe::lies(freq), freqVorher);
    }

    void frequenzlistenWerdenErsetzt()
    {
        const QString db = m_tmp.filePath(QStringLiteral("Frequenzen.dorlem-fasq"));
        Testhilfe::ausSchema(db, QStringLiteral("frequenzen.sql"));
        Testhilfe::sql(db, QStringLiteral("insert into bos (Ort) values ('alt')"));

        auto tabelle = [](const QString &name, const QList<Jet::Spalte> &spalten, const QList<Jet::Zeile> &zeilen) {
            Jet::Tabelle t;
            t.name = name;
            t.spalten = spalten;
            t.zeilen = zeilen;
            return t;
        };
        QList<Jet::Tabelle> listen{
            tabelle("BOS", {spalte("ort", Jet::Typ::Text), spalte("FREQ", Jet::Typ::Single)},
                    {{"Ulm", QVariant(86.355f)}, {"Hof", QVariant()}}),
            tabelle("flugfunk", {spalte("Frquenz", Jet::Typ::Double), spalte("Ort", Jet::Typ::Text)},
                    {{118.1, "EDDH"}}),
            tabelle("afu", {spalte("Standort", Jet::Typ::Text), spalte("Eingabe", Jet::Typ::Text)}, {}),
            tabelle("Fernwirken", {spalte("Frequenz", Jet::Typ::Text)}, {{"448,3125"}}),
        };
        QCOMPARE(Uebernahme::frequenzen(listen, QStringLiteral("ALT.mdb"), db), (QList<int>{2, 1, 0, 1}));
        QCOMPARE(zeilen(db, "select Ort, Freq, BL from bos order by rowid"),
                 (QStringList{"Ulm|86,355|\u2205", "Hof|\u2205|\u2205"}));
        QCOMPARE(zeilen(db, "select * from flugfunk"), QStringList{"118,100|EDDH"});
        QCOMPARE(zeilen(db, "select count(*) from afu"), QStringList{"0"});
        QCOMPARE(zeilen(db, "select Frequenz from fernwirken"), QStringList{"448,3125"});

        // A column the list does not have is refused, naming the Jet table;
        // a missing table likewise. Nothing is changed.
        const QByteArray vorher = Testhilfe::lies(db);
        QList<Jet::Tabelle> mitSchluessel = listen;
        mitSchluessel[3].spalten.append(spalte("ID", Jet::Typ::LongInteger));
        mitSchluessel[3].zeilen[0].append(7);
        const QString f =
            Testhilfe::fehlerVon([&] { Uebernahme::frequenzen(mitSchluessel, QStringLiteral("ALT.mdb"), db); });
        QVERIFY2(f.contains(QStringLiteral("\u201EID\u201C")) && f.contains(QStringLiteral("fernwirken")),
                 qPrintable(f));
        QCOMPARE(Testhilfe::lies(db), vorher);
        QVERIFY(Testhilfe::fehlerVon([&] {
                    Uebernahme::frequenzen(listen.mid(0, 3), QStringLiteral("ALT.mdb"), db);
                }).contains(QStringLiteral("Tabelle \u201Efernwirken\u201C: Die Tabelle fehlt.")));
        QCOMPARE(Testhilfe::lies(db), vorher);
    }

    // The tables named in a refusal: none said as such (not "Ihre Tabellen:
    // ."), a long catalogue cut after a few dozen names.
    void tabellenImText()
    {
        QCOMPARE(Uebernahme::tabellenText({}), QStringLiteral("Sie enthält keine Tabellen."));
        QCOMPARE(Uebernahme::tabellenText({"a", "b"}), QStringLiteral("Ihre Tabellen: a, b."));
        QStringList viele;
        for (int i = 0; i < 5000; ++i)
            viele.append(QStringLiteral("Tabelle%1").arg(i));
        const QString text = Uebernahme::tabellenText(viele);
        QVERIFY2(text.endsWith(QStringLiteral(", Tabelle29 und 4970 weitere.")) && text.size() < 500, qPrintable(text));
    }

    // The tool on real Jet files that hold neither a log nor the lists:
    // a clear message, an exit code, and no file changed.
    void werkzeugOhnePassendeTabellen()
    {
        if (Jethilfe::ordner().isEmpty())
            QSKIP("Der Ordner shared/jet mit echten Jet-Dateien fehlt.");
        const QString werkzeug = QStringLiteral(TREMVIK_BIN "/tremvik-jet");
        const QString jet = Jethilfe::ordner() + QStringLiteral("/nwind.mdb");
        const QByteArray jetVorher = Testhilfe::lies(jet);
        const QString log = neuesLog(QStringLiteral("werkzeug.dorlem-fasq"));
        const QString freq = m_tmp.filePath(QStringLiteral("werkzeug-frequenzen.dorlem-fasq"));
        Testhilfe::ausSchema(freq, QStringLiteral("frequenzen.sql"));
        const QByteArray logVorher = Testhilfe::lies(log), freqVorher = Testhilfe::lies(freq);

        auto lauf = [&](const QStringList &argumente, QString *fehler) {
            QProcess p;
            p.start(werkzeug, argumente);
            p.waitForFinished(60000);
            *fehler = QString::fromUtf8(p.readAllStandardError());
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QString fehler;
        QCOMPARE(lauf({"log", jet, "--db", log}, &fehler), 1);
        QVERIFY2(fehler.contains(QStringLiteral("enthält keine eigenen Einträge (Tabelle Kontakt)")),
                 qPrintable(fehler));
        QVERIFY2(fehler.contains(QStringLiteral("Ihre Tabellen: Order Details, Orders,"))
                     && fehler.contains(QStringLiteral(", Umsätze.")),
                 qPrintable(fehler));
        QCOMPARE(lauf({"frequenzen", jet, "--db", freq}, &fehler), 1);
        QVERIFY2(fehler.contains(QStringLiteral("Es fehlen die Tabellen bos, flugfunk, afu, fernwirken")),
                 qPrintable(fehler));
        QCOMPARE(lauf({"log", m_tmp.filePath("fehlt.mdb"), "--db", log}, &fehler), 1);
        QVERIFY(fehler.contains(QStringLiteral("nicht vorhanden")));
        QCOMPARE(lauf({"zeige", jet, "--db", log}, &fehler), 2);
        QCOMPARE(lauf({"lies", jet}, &fehler), 2);
        QVERIFY(fehler.contains(QStringLiteral("Aufruf:")));

        QCOMPARE(Testhilfe::lies(log), logVorher);
        QCOMPARE(Testhilfe::lies(freq), freqVorher);
        QCOMPARE(Testhilfe::lies(jet), jetVorher);
    }
};

TREMVIK_KERN_TEST_MAIN(TestUebernahme)

#include "tst_uebernahme.moc"
