// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/haupt/frm_main.h"
#include "fenster/hilfe/frm_handbuch.h"
#include "fenster/hilfe/frm_ueber.h"
#include "fenster/listen/frm_liste.h"
#include "kern/basis/programmverzeichnis.h"
#include "kern/basis/speicherorte.h"
#include "kern/bestaende/frequenzdaten.h"
#include "kern/empfaenger/einstellung.h"
#include "kern/sicherung/autosicherung.h"
#include "testhilfe.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>

// The manual and the about box: the manual found where the program looks
// for it, its links and pictures whole, and the about box naming the files
// the program really uses.
class TestHilfe : public QObject
{
    Q_OBJECT

    static QString quelle(const QString &name) { return QStringLiteral(TREMVIK_QUELLEN "/") + name; }
    static QString handbuchQuelle() { return quelle(QStringLiteral("doc/handbuch/handbuch.md")); }

    // The files this process holds open.
    static QStringList offeneDateien()
    {
        QStringList dateien;
        const QDir fds(QStringLiteral("/proc/self/fd"));
        for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            dateien << QFile::symLinkTarget(fds.filePath(fd));
        return dateien;
    }

    // The frequency database as it ships: the four lists and where they
    // come from.
    static void mitgelieferteListen(const QString &datei)
    {
        QFile::remove(datei);
        Frequenzdaten::bauen(datei, quelle(QStringLiteral("db/frequenzen.sql")),
                             quelle(QStringLiteral("db/frequenzen")));
    }

    // The line of one list in the about box's text.
    static QString zeileVon(const QString &listen, const QString &name)
    {
        for (const QString &z : listen.split(QStringLiteral("<br>")))
            if (z.startsWith(QStringLiteral("<b>%1</b>:").arg(name)))
                return z;
        return QStringLiteral("<fehlt>");
    }

private Q_SLOTS:
    void init() { Testhilfe::leeren(); }

    // The build folder holds the manual where an installation does, beside
    // the bin folder, and the program finds it there.
    void handbuchImBuildOrdner()
    {
        Programmverzeichnis::setzen(QStringLiteral(TREMVIK_BIN));
        const QString datei = Speicherorte::handbuch();
        Programmverzeichnis::setzen(QString());
        QCOMPARE(QFileInfo(datei).absolutePath(),
                 QDir::cleanPath(QStringLiteral(TREMVIK_BIN "/../share/tremvik-tool/handbuch")));
        QCOMPARE(Testhilfe::lies(datei), Testhilfe::lies(handbuchQuelle()));

        frm_handbuch h;
        QVERIFY(h.laden(datei));
        QVERIFY(Testhilfe::meldungen().isEmpty());
        const QString text = h.txt_handbuch->toPlainText();
        for (const char *wort : {"NEU",
                                 "BEARBEITEN",
                                 "ABBRECHEN",
                                 "SPEICHERN",
                                 "LÖSCHEN",
                                 "CallSign",
                                 "Skip",
                                 "S-Wert",
                                 "R-Wert",
                                 "Kanal",
                                 "QTH",
                                 "Modulation",
                                 "Dezimalkomma",
                                 "Automatische Sicherungen",
                                 "Wiederherstellung",
                                 "Log importieren",
                                 "Empfänger",
                                 "Statistik",
                                 "Drucken",
                                 "Beispieldaten",
                                 "OurAirports"})
            QVERIFY2(text.contains(QString::fromUtf8(wort)), wort);
    }

    // Every link inside the manual leads to a heading, every picture is
    // there and is a picture, and each window the main window opens has
    // its section for F1.
    void verweiseBilderUndAbschnitte()
    {
        frm_handbuch h;
        QVERIFY(h.laden(handbuchQuelle()));
        const QStringList anker = h.anker();
        QVERIFY(anker.size() > 10);
        const QString md = QString::fromUtf8(Testhilfe::lies(handbuchQuelle()));

        int verweise = 0;
        for (const QRegularExpressionMatch &m :
             QRegularExpression(QStringLiteral("\\]\\(#([^)]+)\\)")).globalMatch(md)) {
            QVERIFY2(anker.contains(m.captured(1)), qPrintable(m.captured(1)));
            ++verweise;
        }
        QVERIFY(verweise > 10);

        int bilder = 0;
        for (const QRegularExpressionMatch &m :
             QRegularExpression(QStringLiteral("!\\[[^\\]]*\\]\\(([^)]+)\\)")).globalMatch(md)) {
            const QVariant daten = h.txt_handbuch->loadResource(QTextDocument::ImageResource, QUrl(m.captured(1)));
            QVERIFY2(!QImage::fromData(daten.toByteArray()).isNull(), qPrintable(m.captured(1)));
            ++bilder;
        }
        QVERIFY(bilder >= 5);

        Testhilfe::Programmordner ordner;
        frm_main haupt;
        haupt.zeigen();
        for (QAction *a : {haupt.bos, haupt.flug, haupt.afu, haupt.fw, haupt.sicher, haupt.stat, haupt.autosicher,
                           haupt.empf_waslaeuft, haupt.wer, haupt.erre})
            a->trigger();
        qobject_cast<FrequenzListe *>(haupt.frm_bos())->mnu_suchlauf->trigger();
        const auto fenster = haupt.mdi()->subWindowList();
        QCOMPARE(fenster.size(), 11);
        for (const QMdiSubWindow *sub : fenster) {
            const QString name = sub->widget()->objectName();
            QVERIFY2(anker.contains(frm_handbuch::abschnittFuer(name)), qPrintable(name));
        }
    }

    // A section is shown from its heading on; "Inhalt" goes back to the
    // beginning, "Zurück" to where the reader was.
    void abschnitteUndZurueck()
    {
        frm_handbuch h;
        QVERIFY(h.laden(handbuchQuelle()));
        h.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h));
        QScrollBar *leiste = h.txt_handbuch->verticalScrollBar();
        h.zeigeAbschnitt(QStringLiteral("sicherung"));
        const int sicherung = leiste->value();
        h.zeigeAbschnitt(QStringLiteral("statistik"));
        const int statistik = leiste->value();
        QVERIFY2(0 < sicherung && sicherung < statistik,
                 qPrintable(QStringLiteral("%1 %2").arg(sicherung).arg(statistik)));
        QVERIFY(h.cmd_zurueck->isEnabled());
        h.cmd_zurueck->click();
        QCOMPARE(leiste->value(), sicherung);
        h.cmd_inhalt->click();
        QCOMPARE(leiste->value(), 0);
        // An anchor the manual does not have: the beginning.
        h.zeigeAbschnitt(QStringLiteral("statistik"));
        h.zeigeAbschnitt(QStringLiteral("gibt-es-nicht"));
        QCOMPARE(leiste->value(), 0);
    }

    void sucheImHandbuch()
    {
        frm_handbuch h;
        QVERIFY(h.laden(handbuchQuelle()));
        h.txt_suche->setText(QStringLiteral("kein realer Standort"));
        h.cmd_suchen->click();
        const QTextCursor erster = h.txt_handbuch->textCursor();
        QCOMPARE(erster.selectedText(), QStringLiteral("kein realer Standort"));
        // Found again and again, and from the beginning once past the last.
        bool vonVorn = false;
        for (int i = 0; i < 20 && !vonVorn; ++i) {
            QTest::keyClick(h.txt_suche, Qt::Key_Return);
            vonVorn = h.lbl_suche->text() == QStringLiteral("wieder von vorn");
        }
        QVERIFY(vonVorn);
        QCOMPARE(h.txt_handbuch->textCursor().position(), erster.position());
        // Text the manual lacks: the place stays, and it says so.
        h.txt_suche->setText(QStringLiteral("Quxzwirbel"));
        h.cmd_suchen->click();
        QCOMPARE(h.lbl_suche->text(), QStringLiteral("nicht gefunden"));
        QCOMPARE(h.txt_handbuch->textCursor().position(), erster.position());
    }

    // Without the manual's file the user learns where it was looked for,
    // and no empty window opens.
    void handbuchFehlt()
    {
        Testhilfe::Programmordner ordner;
        frm_main haupt;
        haupt.zeigen();
        haupt.handbuch->trigger();
        QVERIFY(!haupt.frm_handbuch());
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY2(Testhilfe::meldungen()[0].text.contains(Speicherorte::handbuch()),
                 qPrintable(Testhilfe::meldungen()[0].text));
        QCOMPARE(Testhilfe::meldungen()[0].symbol, Meldung::Symbol::Fehler);
    }

    void ueberNenntVersionLizenzUndListen()
    {
        Testhilfe::Programmordner ordner;
        mitgelieferteListen(ordner.frequenzDatei());
        {
            frm_ueber u;
            QVERIFY(u.lbl_titel->text().contains(QStringLiteral("tremvik-tool " TREMVIK_VERSION)));
            QVERIFY(u.lbl_lizenz->text().contains(QStringLiteral("GNU General Public License")));
            QVERIFY(u.lbl_lizenz->text().contains(QStringLiteral("GPL-3.0-or-later")));
            const QString listen = u.lbl_listen->text();
            QVERIFY2(zeileVon(listen, QStringLiteral("Flugfunk")).contains(QStringLiteral("reale Daten – OurAirports")),
                     qPrintable(listen));
            QVERIFY(zeileVon(listen, QStringLiteral("Flugfunk")).contains(QStringLiteral("gemeinfrei")));
            for (const char *name : {"BOS", "AFU-Repeater", "Fernwirken"})
                QVERIFY2(zeileVon(listen, QString::fromUtf8(name)).contains(QStringLiteral("<b>Beispieldaten</b>")),
                         name);
            QVERIFY(listen.contains(QStringLiteral("Die Listen BOS, AFU-Repeater und Fernwirken sind Beispieldaten")));
        }
        // A list replaced by the user's own rows is theirs, no longer the
        // shipped examples.
        Frequenzdaten::importieren(ordner.frequenzDatei(), QStringLiteral("bos"), QByteArray("Ort\nUlm\n"),
                                   QStringLiteral("eigene.csv"));
        frm_ueber u;
        QVERIFY(zeileVon(u.lbl_listen->text(), QStringLiteral("BOS")).contains(QStringLiteral("eigene Liste")));
        QVERIFY(u.lbl_listen->text().contains(QStringLiteral("Die Listen AFU-Repeater und Fernwirken sind")));
    }

    // What a database file says of its lists is shown as text: no markup
    // of its own, no line breaks, no endless lines.
    void ueberZeigtTexteDerDateiNurAlsText()
    {
        Testhilfe::Programmordner ordner;
        Testhilfe::sql(ordner.frequenzDatei(),
                       QStringLiteral("insert into herkunft values ('afu', 1, 'x', '<img src=\"/etc/passwd\"><b>fett', "
                                      "'Zeile\neins' || char(1) || '%1')")
                           .arg(QString(5000, QLatin1Char('z'))));
        const QString listen = frm_ueber::listenText(ordner.frequenzDatei());
        const QString afu = zeileVon(listen, QStringLiteral("AFU-Repeater"));
        QVERIFY2(afu.contains(QStringLiteral("&lt;img src=&quot;/etc/passwd&quot;&gt;&lt;b&gt;fett")), qPrintable(afu));
        QVERIFY(afu.contains(QStringLiteral("Zeile eins z")));
        QVERIFY(afu.size() < 800);
        QVERIFY(afu.endsWith(QStringLiteral("z\u2026")));

        // A file that is no database: said, not thrown.
        Testhilfe::schreibe(ordner.frequenzDatei(), "kein SQLite");
        QVERIFY(frm_ueber::listenText(ordner.frequenzDatei())
                    .startsWith(QStringLiteral("Die Frequenzdatenbank lässt sich nicht lesen")));
    }

    // In a program folder: the log the log window has open, the lists
    // beside it, the backups in "sicherungen" beside the log, and the
    // settings file the program writes; each copied by its button.
    void ueberPfadeImProgrammordner()
    {
        Testhilfe::Programmordner ordner;
        frm_main haupt;
        haupt.zeigen();
        QVERIFY(haupt.frm_eintrag());
        haupt.ueber->trigger();
        frm_ueber *u = haupt.frm_ueber();
        QVERIFY(u);
        QVERIFY(u->isVisible());
        QCOMPARE(u->txt_log->text(), ordner.logDatei());
        QVERIFY(offeneDateien().contains(u->txt_log->text()));
        QCOMPARE(u->txt_frequenzen->text(), ordner.frequenzDatei());
        QCOMPARE(u->txt_sicherungen->text(), ordner.pfad() + QStringLiteral("/sicherungen"));

        EmpfaengerEinstellung e = EmpfaengerEinstellung::lesen();
        e.host = QStringLiteral("empfaenger.example");
        e.schreiben();
        QVERIFY(Testhilfe::lies(u->txt_einstellungen->text()).contains("empfaenger.example"));

        for (QLineEdit *pfad : {u->txt_log, u->txt_frequenzen, u->txt_sicherungen, u->txt_einstellungen}) {
            QVERIFY(pfad->isReadOnly());
            auto *knopf = u->findChild<QPushButton *>(QStringLiteral("cmd_kopieren_") + pfad->objectName().mid(4));
            QVERIFY2(knopf, qPrintable(pfad->objectName()));
            knopf->click();
            QCOMPARE(QGuiApplication::clipboard()->text(), pfad->text());
        }

        // A second choice brings the open box to the front.
        haupt.ueber->trigger();
        QCOMPARE(haupt.frm_ueber(), u);
        u->cmd_schliessen->click();
        QTRY_VERIFY(!haupt.frm_ueber());
    }

    // Installed: the log in the data folder, the shipped lists until the
    // user has lists of their own, a backup folder the user chose; and a
    // relative XDG_DATA_HOME counts for nothing, as for the program.
    void ueberPfadeInstalliert()
    {
        {
            Testhilfe::Installation inst;
            frm_main haupt;
            haupt.zeigen();
            QVERIFY(haupt.frm_eintrag());
            frm_ueber u;
            QCOMPARE(u.txt_log->text(), inst.log());
            QVERIFY(offeneDateien().contains(inst.log()));
            QCOMPARE(u.txt_frequenzen->text(), inst.geliefert());
            QCOMPARE(u.txt_sicherungen->text(), inst.datenordner() + QStringLiteral("/sicherungen"));

            Speicherorte::frequenzenAendern([](const QString &) {});
            Autosicherung::Einstellung s;
            s.aktiv = false;
            s.ordner = inst.pfad(QStringLiteral("stick/sicherungen"));
            s.schreiben();
            frm_ueber danach;
            QCOMPARE(danach.txt_frequenzen->text(), inst.eigeneFrequenzen());
            QCOMPARE(danach.txt_sicherungen->text(), inst.pfad(QStringLiteral("stick/sicherungen")));
            auto *label = danach.findChild<QLabel *>(QStringLiteral("lbl_sicherungen"));
            QVERIFY(label && label->text().contains(QStringLiteral("ausgeschaltet")));
        }
        {
            Testhilfe::Installation inst;
            QTemporaryDir home;
            const QByteArray altHome = qgetenv("HOME");
            qputenv("HOME", QFile::encodeName(home.path()));
            qputenv("XDG_DATA_HOME", "relativ/daten");
            frm_ueber u;
            qputenv("HOME", altHome);
            QCOMPARE(u.txt_log->text(), home.path() + QStringLiteral("/.local/share/tremvik-tool/tremvik.dorlem-fasq"));
        }
    }
};

TREMVIK_TEST_MAIN(TestHilfe)
#include "tst_hilfe.moc"
