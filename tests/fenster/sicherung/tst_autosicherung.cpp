#include "kern/sicherung/autosicherung.h"
#include "fenster/sicherung/frm_autosicherung.h"
#include "kern/basis/programmverzeichnis.h"
#include "fenster/haupt/frm_main.h"
#include "testhilfe.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QLineEdit>
#include <QPushButton>
#include <QSemaphore>
#include <QSettings>
#include <QTreeWidget>
#include <sqlite3.h>

#include <memory>
#include <sys/file.h>

// The automatic backup at start: generations by injected days, their
// rotation, a damaged log, a slow copy, and restoring a generation from the
// window "Automatische Sicherungen".
class TestAutosicherung : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testhilfe::Programmordner> prog;
    std::unique_ptr<frm_main> haupt;

    QString log() const { return prog->logDatei(); }
    QString ordner() const { return Autosicherung::standardOrdner(); }
    int anzahl(const QString &datei) const { return Autosicherung::eintraege(datei); }
    void eintraege(int n, const QString &rufzeichen = QStringLiteral("DL1AAA"))
    {
        Testhilfe::sql(log(),
                       QStringLiteral("with recursive z(i) as (select 1 union all select i + 1 from z where i < %1)"
                                      " insert into Kontakt (callsign, ort, bemerkung)"
                                      " select '%2', 'Köln', hex(randomblob(300)) from z")
                           .arg(n)
                           .arg(rufzeichen));
    }
    static void einschalten(bool an = true)
    {
        Autosicherung::Einstellung e = Autosicherung::Einstellung::lesen();
        e.aktiv = an;
        e.schreiben();
    }
    static void tag(const QDateTime &zeit)
    {
        Autosicherung::setzeUhr([zeit] { return zeit; });
    }
    // One start of the program, up to the log window being open.
    void starten()
    {
        haupt.reset();
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QTRY_VERIFY(!haupt->autosicherung()->laeuft());
        QTRY_VERIFY(haupt->frm_eintrag());
    }
    // Every generation and its bytes' hash.
    QMap<QString, QByteArray> abbild() const
    {
        QMap<QString, QByteArray> m;
        for (const auto &g : Autosicherung::generationen(ordner()))
            m.insert(g.datei, QCryptographicHash::hash(Testhilfe::lies(g.datei), QCryptographicHash::Sha256));
        return m;
    }
    // Overwrites one page in the middle of the log with garbage.
    void beschaedigen()
    {
        QFile f(log());
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.size() > 16 * 4096);
        f.seek(f.size() / 2 / 4096 * 4096);
        f.write(QByteArray(4096, '\x5a'));
    }

private Q_SLOTS:
    void init()
    {
        prog = std::make_unique<Testhilfe::Programmordner>();
        Testhilfe::leeren();
        einschalten();
    }
    void cleanup()
    {
        haupt.reset();
        prog.reset();
        Autosicherung::setzeUhr({});
        Autosicherung::setzeBremse({});
        frm_autosicherung::setzeOrdnerwahl({});
        QSettings().clear();
    }

    void dateinamen()
    {
        const QDateTime t(QDate(2024, 5, 1), QTime(18, 30, 5));
        QCOMPARE(Autosicherung::dateiname(t), QStringLiteral("tremvik_2024-05-01_18-30-05.dorlem-fasq"));
        QCOMPARE(Autosicherung::zeitVon(Autosicherung::dateiname(t)), t);
        for (const char *fremd :
             {"tremvik.dorlem-fasq", "tremvik_2024-05-01.dorlem-fasq", "tremvik_2024-13-01_18-30-05.dorlem-fasq",
              "tremvik_2024-05-01_18-30-05.dorlem-fasq.tmp-abc123", "Frequenzen_2024-05-01_18-30-05.dorlem-fasq"})
            QVERIFY2(!Autosicherung::zeitVon(QString::fromLatin1(fremd)).isValid(), fremd);
    }

    // Kept: the newest of each of the last 7 days and of the last 4 weeks
    // that have one, and always the newest good one.
    void rotation()
    {
        auto g = [](int m, int d, int h = 12) {
            const QDateTime t(QDate(2024, m, d), QTime(h, 0));
            return Autosicherung::Generation{Autosicherung::dateiname(t), t};
        };
        // Today is Wednesday, 15 May 2024 (week 20).
        const QVector<Autosicherung::Generation> alle{
            g(5, 15, 10), g(5, 15, 7),   // today, twice
            g(5, 14),                    // yesterday
            g(5, 13),     g(5, 12),    g(5, 11), g(5, 10),
            g(5, 9),      g(5, 7),   // 8 days ago: not among the last 7 days, its week (19) has a newer one
            g(4, 10),                // 5 weeks ago: the third week with a generation
            g(4, 3),                 // the fourth
            g(3, 27),                // the fifth week: too old
        };
        auto namen = [](const QVector<Autosicherung::Generation> &v) {
            QStringList n;
            for (const auto &x : v)
                n << x.zeit.toString(QStringLiteral("MM-dd hh"));
            return n;
        };
        QCOMPARE(namen(Autosicherung::ueberzaehlig(alle, alle[0].datei)),
                 QStringList({"05-15 07", "05-07 12", "03-27 12"}));
        // The newest good one stays whatever its age.
        QCOMPARE(namen(Autosicherung::ueberzaehlig(alle, alle.last().datei)), QStringList({"05-15 07", "05-07 12"}));
        // Few generations: none goes.
        QCOMPARE(namen(Autosicherung::ueberzaehlig({g(5, 15), g(5, 14), g(5, 7), g(4, 10)}, QString())), QStringList());
    }

    // Three starts on three days make three generations (a second start on
    // a day none); a damaged log at the fourth start none either, and the
    // user is told, once. The generations stay byte for byte.
    void dreiStartsDannBeschaedigt()
    {
        eintraege(400);
        const QDateTime erster(QDate(2024, 5, 13), QTime(19, 5));
        for (int i = 0; i < 3; ++i) {
            tag(erster.addDays(i));
            starten();
            QCOMPARE(Autosicherung::generationen(ordner()).size(), i + 1);
            if (i == 1) {
                tag(erster.addDays(i).addSecs(3600));
                starten();
                QCOMPARE(Autosicherung::generationen(ordner()).size(), i + 1);
            }
        }
        QVERIFY(Testhilfe::meldungen().isEmpty());
        const auto g = Autosicherung::generationen(ordner());
        QCOMPARE(QFileInfo(g[0].datei).fileName(), QStringLiteral("tremvik_2024-05-15_19-05-00.dorlem-fasq"));
        QCOMPARE(anzahl(g[2].datei), 400);

        haupt.reset();
        const QMap<QString, QByteArray> vorher = abbild();
        beschaedigen();
        tag(erster.addDays(3));
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QTRY_VERIFY(!haupt->autosicherung()->laeuft());
        QCOMPARE(abbild(), vorher);
        QStringList texte;
        for (const auto &m : Testhilfe::meldungen())
            if (m.text.contains(QStringLiteral("automatische Sicherung")))
                texte << m.text;
        QCOMPARE(texte.size(), 1);
        QVERIFY(texte[0].contains(QStringLiteral("beschädigt")));
        QVERIFY(texte[0].contains(ordner()));
        QCOMPARE(QDir(ordner()).entryList(QDir::Files).size(), 3);
    }

    // The window stays usable while a slow copy runs; the log window opens
    // when it is done, also when asked for meanwhile.
    void langsameSicherungHaeltStartNichtAuf()
    {
        QSemaphore frei;
        Autosicherung::setzeBremse([&frei] { frei.acquire(); });
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QVERIFY(haupt->isVisible());
        QVERIFY(haupt->autosicherung()->laeuft());
        QVERIFY(!haupt->frm_eintrag());
        haupt->erre->trigger();
        haupt->bos->trigger();
        QVERIFY(haupt->frm_bos());
        QTest::qWait(50);
        QVERIFY(!haupt->frm_eintrag());
        frei.release();
        QTRY_VERIFY(haupt->frm_eintrag());
        QCOMPARE(Autosicherung::generationen(ordner()).size(), 1);
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // The copy is one committed state: a write transaction that another
    // program has open is not in it, and commits afterwards. Leftovers of
    // killed runs go, one that a running copy holds stays.
    void konsistentUndAufgeraeumt()
    {
        eintraege(10);
        QDir().mkpath(ordner());
        const QString rest =
            QDir(ordner()).filePath(QStringLiteral("tremvik_2024-01-01_10-00-00.dorlem-fasq.tmp-Ab12cd"));
        const QString gehalten =
            QDir(ordner()).filePath(QStringLiteral("tremvik_2024-01-02_10-00-00.dorlem-fasq.tmp-Xy34zz"));
        const QString fremd = QDir(ordner()).filePath(QStringLiteral("notizen.txt.tmp-Ab12cd"));
        for (const QString &f : {rest, gehalten, fremd})
            Testhilfe::schreibe(f, "x");
        QFile halter(gehalten);
        QVERIFY(halter.open(QIODevice::ReadOnly));
        QCOMPARE(::flock(halter.handle(), LOCK_EX | LOCK_NB), 0);

        sqlite3 *schreiber = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(log()).constData(), &schreiber), SQLITE_OK);
        QCOMPARE(sqlite3_exec(schreiber, "begin; insert into Kontakt (callsign) values ('OFFEN')", nullptr, nullptr,
                              nullptr),
                 SQLITE_OK);
        const auto e = Autosicherung::sichern(log(), ordner(), QDateTime(QDate(2024, 5, 15), QTime(8, 0)));
        QCOMPARE(sqlite3_exec(schreiber, "commit", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(schreiber);
        QCOMPARE(int(e.art), int(Autosicherung::Ergebnis::Art::Gesichert));
        QCOMPARE(anzahl(e.datei), 10);
        QCOMPARE(anzahl(log()), 11);

        QVERIFY(!QFile::exists(rest));
        QVERIFY(QFile::exists(gehalten));
        QVERIFY(QFile::exists(fremd));

        // Stopped part-way: nothing new in the folder.
        std::atomic<bool> halt{true};
        const QStringList vorher = QDir(ordner()).entryList(QDir::Files);
        const auto a = Autosicherung::sichern(log(), ordner(), QDateTime(QDate(2024, 5, 16), QTime(8, 0)), &halt);
        QCOMPARE(int(a.art), int(Autosicherung::Ergebnis::Art::Abgebrochen));
        QCOMPARE(QDir(ordner()).entryList(QDir::Files), vorher);
    }

    // A generation chosen in the window replaces the log after the log
    // window is closed; a damaged one is refused and the log stays.
    void generationWiederherstellen()
    {
        eintraege(5);
        tag(QDateTime(QDate(2024, 5, 15), QTime(8, 0)));
        starten();
        eintraege(3, QStringLiteral("NEU"));
        QCOMPARE(anzahl(log()), 8);

        haupt->autosicher->trigger();
        auto *w = qobject_cast<frm_autosicherung *>(haupt->frm_autosicherung());
        QVERIFY(w);
        QVERIFY(haupt->frm_eintrag());
        QCOMPARE(w->txt_ordner->text(), ordner());
        QVERIFY(w->chk_aktiv->isChecked());
        QCOMPARE(w->lst_sicherungen->topLevelItemCount(), 1);
        QTreeWidgetItem *z = w->lst_sicherungen->topLevelItem(0);
        QCOMPARE(z->text(0), QStringLiteral("15.05.2024 08:00:00"));
        QCOMPARE(z->text(2), QStringLiteral("5"));
        QVERIFY(!w->cmd_wiederherstellen->isEnabled());

        w->lst_sicherungen->setCurrentItem(z);
        QTest::mouseClick(w->cmd_wiederherstellen, Qt::LeftButton);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen()[0].text.startsWith(QStringLiteral("Daten wurden erfolgreich von ")));
        QVERIFY(!haupt->frm_eintrag());
        QCOMPARE(anzahl(log()), 5);

        // A damaged generation.
        Testhilfe::leeren();
        const QString datei = Autosicherung::generationen(ordner())[0].datei;
        Testhilfe::schreibe(datei, QByteArray(8192, 'x'));
        const QByteArray logVorher = Testhilfe::lies(log());
        w->listeFuellen();
        QCOMPARE(w->lst_sicherungen->topLevelItem(0)->text(2), QStringLiteral("nicht lesbar"));
        w->lst_sicherungen->setCurrentItem(w->lst_sicherungen->topLevelItem(0));
        QTest::mouseClick(w->cmd_wiederherstellen, Qt::LeftButton);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen()[0].symbol, Meldung::Symbol::Fehler);
        QCOMPARE(Testhilfe::lies(log()), logVorher);
    }

    // The folder and the switch are kept; a start with the backup off
    // makes none.
    void ordnerUndSchalter()
    {
        QTemporaryDir anders;
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QTRY_VERIFY(haupt->frm_eintrag());
        haupt->autosicher->trigger();
        auto *w = qobject_cast<frm_autosicherung *>(haupt->frm_autosicherung());
        frm_autosicherung::setzeOrdnerwahl([&anders](const QString &bisher) {
            [&] { QCOMPARE(bisher, Autosicherung::standardOrdner()); }();
            return anders.path();
        });
        QTest::mouseClick(w->cmd_ordner, Qt::LeftButton);
        QCOMPARE(w->txt_ordner->text(), anders.path());
        QCOMPARE(Autosicherung::Einstellung::lesen().ordnerOderStandard(), anders.path());
        QCOMPARE(w->lst_sicherungen->topLevelItemCount(), 0);
        w->chk_aktiv->click();
        QVERIFY(!Autosicherung::Einstellung::lesen().aktiv);
        // Another copy of the program, with a log of its own, keeps its
        // generations beside that log.
        Programmverzeichnis::setzen(anders.path());
        QCOMPARE(Autosicherung::Einstellung::lesen().ordnerOderStandard(),
                 anders.filePath(QStringLiteral("sicherungen")));
        Programmverzeichnis::setzen(prog->pfad());

        tag(QDateTime(QDate(2024, 6, 1), QTime(9, 0)));
        starten();
        QCOMPARE(Autosicherung::generationen(anders.path()).size(), 0);
        einschalten();
        starten();
        QCOMPARE(Autosicherung::generationen(anders.path()).size(), 1);
    }
};

TREMVIK_TEST_MAIN(TestAutosicherung)
#include "tst_autosicherung.moc"
