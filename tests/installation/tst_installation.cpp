// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/haupt/frm_main.h"
#include "fenster/hilfe/frm_handbuch.h"
#include "fenster/hilfe/frm_ueber.h"
#include "kern/basis/programmverzeichnis.h"
#include "kern/basis/speicherorte.h"
#include "kern/jet/jethilfe.h"
#include "testhilfe.h"

#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>

#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <sqlite3.h>
#include <unistd.h>

// The program as installed: by default this build installed into a
// temporary prefix (cmake --install); with TREMVIK_INSTALLATION=/usr the
// program that the Debian package put there. The installed executable is
// started by a user with an empty home folder; the windows are driven
// in-process on the installed files.
class TestInstallation : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_prefix;

    QString pfad(const QString &n) const { return m_prefix + QLatin1Char('/') + n; }
    QString programm() const { return pfad(QStringLiteral("bin/tremvik-tool")); }
    QString vorlage() const { return pfad(QStringLiteral("share/tremvik-tool/tremvik.dorlem-fasq")); }
    QString frequenzen() const { return pfad(QStringLiteral("share/tremvik-tool/Frequenzen.dorlem-fasq")); }

    // A gzip file's content; "<fehlt>" when it cannot be read.
    static QByteArray entpackt(const QString &datei)
    {
        QProcess p;
        p.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), datei});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            return "<fehlt>";
        return p.readAllStandardOutput();
    }

    static int anzahl(const QString &datei, const QString &tabelle)
    {
        return Testhilfe::zahl(datei, QStringLiteral("select count(*) from \"%1\"").arg(tabelle));
    }

    // The environment of a user with nothing but a home folder.
    static QProcessEnvironment nutzer(const QString &home)
    {
        QProcessEnvironment u = QProcessEnvironment::systemEnvironment();
        for (const char *n : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "DISPLAY", "WAYLAND_DISPLAY"})
            u.remove(QString::fromLatin1(n));
        u.insert(QStringLiteral("HOME"), home);
        u.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return u;
    }

    // Whether the process holds the file open (its log window has opened
    // the log).
    static bool haeltOffen(qint64 pid, const QString &datei)
    {
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            if (QFile::symLinkTarget(fds.filePath(fd)) == datei)
                return true;
        return false;
    }

    // Starts the installed program and waits until its log window has
    // opened the log; the program is still running then, and is ended.
    bool starteBisLogOffen(const QString &home, const QString &log)
    {
        QProcess p;
        p.setProcessEnvironment(nutzer(home));
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(programm(), QStringList());
        if (!p.waitForStarted(30000))
            return false;
        bool offen = false;
        for (int i = 0; i < 1200 && !offen && p.state() == QProcess::Running; ++i) {
            p.waitForFinished(100);
            offen = haeltOffen(p.processId(), log);
        }
        const bool laeuft = p.state() == QProcess::Running;
        p.terminate();
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished(30000);
        }
        if (!offen || !laeuft)
            qWarning("tremvik-tool: %s", !laeuft ? "beendet" : "Log nicht geöffnet");
        return offen && laeuft;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_prefix = qEnvironmentVariable("TREMVIK_INSTALLATION");
        if (!m_prefix.isEmpty()) {
            if (!QFileInfo(programm()).isExecutable())
                QFAIL(qPrintable(programm() + QStringLiteral(" ist nicht installiert.")));
            return;
        }
        const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
        if (cmake.isEmpty())
            QSKIP("cmake fehlt: die Installation lässt sich nicht nachbilden.");
        m_prefix = m_tmp.filePath(QStringLiteral("prefix"));
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(cmake,
                {QStringLiteral("--install"), QStringLiteral(TREMVIK_BIN "/.."), QStringLiteral("--prefix"), m_prefix});
        QVERIFY(p.waitForFinished(300000));
        QVERIFY2(p.exitCode() == 0, p.readAll().constData());
    }

    void dateienAmPlatz()
    {
        QVERIFY(QFileInfo(programm()).isExecutable());
        QVERIFY(QFileInfo(pfad("bin/tremvik-frequenzen")).isExecutable());
        QVERIFY(QFileInfo(pfad("bin/tremvik-jet")).isExecutable());
        QVERIFY(QFileInfo(pfad("bin/tremvik-log")).isExecutable());
        // Jet files are read by a helper that no user calls.
        QVERIFY(QFileInfo(pfad("libexec/tremvik-tool/tremvik-jetleser")).isExecutable());
        QVERIFY(!QFile::exists(pfad("bin/tremvik-jetleser")));
        // Nothing of the databases beside the program: it runs installed.
        QVERIFY(!QFile::exists(pfad("bin/tremvik.dorlem-fasq")));
        QVERIFY(!QFile::exists(pfad("bin/Frequenzen.dorlem-fasq")));
        // The shipped log is empty; the lists hold rows.
        QCOMPARE(anzahl(vorlage(), QStringLiteral("Kontakt")), 0);
        for (const char *t : {"bos", "flugfunk", "afu", "fernwirken"})
            QVERIFY2(anzahl(frequenzen(), QString::fromLatin1(t)) > 0, t);

        QVERIFY(QFile::exists(pfad("share/applications/tremvik-tool.desktop")));
        QVERIFY(QFile::exists(pfad("share/metainfo/org.example.tremvik.tool.metainfo.xml")));
        QVERIFY(QFile::exists(pfad("share/doc/tremvik-tool/README.md")));
        for (int groesse : {16, 32}) {
            const QImage bild(pfad(QStringLiteral("share/icons/hicolor/%1x%1/apps/tremvik-tool.png").arg(groesse)));
            QCOMPARE(bild.size(), QSize(groesse, groesse));
        }
        QVERIFY(Testhilfe::lies(pfad("share/icons/hicolor/scalable/apps/tremvik-tool.svg")).contains("<svg"));

        // The desktop file names the icon and the program.
        const QByteArray desktop = Testhilfe::lies(pfad("share/applications/tremvik-tool.desktop"));
        QVERIFY(desktop.contains("\nExec=tremvik-tool\n") && desktop.contains("\nIcon=tremvik-tool\n"));
        QVERIFY(Testhilfe::lies(pfad("share/metainfo/org.example.tremvik.tool.metainfo.xml"))
                    .contains("<project_license>GPL-3.0-or-later</project_license>"));
    }

    // What Debian asks beside the programs: the copyright, the changelog
    // and a manual page for each program, compressed; the user manual
    // with the program's data, where the program reads it, and linked from
    // the documentation folder, which a system may leave out.
    void dokumentationAmPlatz()
    {
        const QString quellen = QStringLiteral(TREMVIK_QUELLEN "/");
        QCOMPARE(Testhilfe::lies(pfad("share/doc/tremvik-tool/copyright")),
                 Testhilfe::lies(quellen + "paket/copyright"));
        QCOMPARE(entpackt(pfad("share/doc/tremvik-tool/changelog.gz")), Testhilfe::lies(quellen + "paket/changelog"));
        for (const char *p : {"tremvik-tool", "tremvik-log", "tremvik-jet", "tremvik-frequenzen"})
            QCOMPARE(entpackt(pfad(QStringLiteral("share/man/man1/%1.1.gz").arg(p))),
                     Testhilfe::lies(quellen + QStringLiteral("paket/man/%1.1").arg(p)));

        const QString handbuch = pfad("share/tremvik-tool/handbuch");
        const QDir quelle(quellen + "doc/handbuch");
        QDirIterator it(quelle.path(), QDir::Files, QDirIterator::Subdirectories);
        int dateien = 0;
        while (it.hasNext()) {
            const QString datei = quelle.relativeFilePath(it.next());
            QCOMPARE(Testhilfe::lies(handbuch + QLatin1Char('/') + datei), Testhilfe::lies(quelle.filePath(datei)));
            ++dateien;
        }
        QVERIFY(dateien > 5);
        const QFileInfo verweis(pfad("share/doc/tremvik-tool/handbuch"));
        QVERIFY(verweis.isSymLink());
        // Relative, so that it holds in any prefix.
        char ziel[256] = {};
        QVERIFY(::readlink(QFile::encodeName(verweis.filePath()).constData(), ziel, sizeof ziel - 1) > 0);
        QCOMPARE(QByteArray(ziel), QByteArray("../../tremvik-tool/handbuch"));
        QCOMPARE(QFileInfo(verweis.filePath() + QStringLiteral("/handbuch.md")).canonicalFilePath(),
                 QFileInfo(handbuch + QStringLiteral("/handbuch.md")).canonicalFilePath());
    }

    void versionUndHilfeOhneFenster()
    {
        // No display and no platform: a window could not be opened.
        QProcessEnvironment ohneAnzeige = nutzer(m_tmp.filePath(QStringLiteral("ohne")));
        ohneAnzeige.remove(QStringLiteral("QT_QPA_PLATFORM"));
        QProcess p;
        p.setProcessEnvironment(ohneAnzeige);
        p.start(programm(), {QStringLiteral("--version")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardOutput(), QByteArray("tremvik-tool " TREMVIK_VERSION "\n"));

        p.start(programm(), {QStringLiteral("--help")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QString hilfe = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(hilfe.startsWith(QStringLiteral("Aufruf: tremvik-tool")), qPrintable(hilfe));
        QVERIFY2(hilfe.contains(m_tmp.filePath(QStringLiteral("ohne/.local/share/tremvik-tool/tremvik.dorlem-fasq"))),
                 qPrintable(hilfe));
        QVERIFY(!QFile::exists(m_tmp.filePath(QStringLiteral("ohne/.local"))));
    }

    // The installed tremvik-jet finds its reader in libexec.
    void jetDateiLesen()
    {
        if (Jethilfe::ordner().isEmpty())
            QSKIP("Der Ordner shared/jet mit echten Jet-Dateien fehlt.");
        QProcess p;
        p.setProcessEnvironment(nutzer(m_tmp.filePath(QStringLiteral("jet"))));
        p.start(pfad(QStringLiteral("bin/tremvik-jet")),
                {QStringLiteral("zeige"), Jethilfe::ordner() + QStringLiteral("/nwind.mdb")});
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(p.exitCode() == 0, qPrintable(err));
        QVERIFY(p.readAllStandardOutput().contains("Jet 3 (Access 97), 9 Tabellen"));
    }

    // Started without a display, the program says why in German and ends
    // with a failure, instead of Qt's English text and an abort; it has
    // touched nothing of the user's.
    void ohneAnzeigeEineDeutscheMeldung()
    {
        const QString home = m_tmp.filePath(QStringLiteral("ohneAnzeige"));
        QProcessEnvironment ohneAnzeige = nutzer(home);
        ohneAnzeige.remove(QStringLiteral("QT_QPA_PLATFORM"));
        QProcess p;
        p.setProcessEnvironment(ohneAnzeige);
        p.start(programm(), QStringList());
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        const QString fehler = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(fehler.contains(QStringLiteral("tremvik-tool: Das Hauptfenster kann nicht geöffnet werden, weil "
                                                "keine grafische Anzeige erreichbar ist")),
                 qPrintable(fehler));
        QVERIFY(!QFile::exists(home + QStringLiteral("/.local")));
    }

    void ersterUndZweiterStartInLeeremHome()
    {
        const QString home = m_tmp.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home));
        const QString log = home + QStringLiteral("/.local/share/tremvik-tool/tremvik.dorlem-fasq");

        QVERIFY(starteBisLogOffen(home, log));
        QCOMPARE(Testhilfe::lies(log), Testhilfe::lies(vorlage()));
        QVERIFY(QSettings(home + QStringLiteral("/.config/tremvik-tool/tremvik-tool.conf"), QSettings::IniFormat)
                    .value(QStringLiteral("Logdatenbank/angelegt"))
                    .toStringList()
                    .contains(log));

        // A second start uses the same log and leaves it as it was.
        Testhilfe::sql(log, QStringLiteral("insert into Kontakt (callsign) values ('DL1ABC')"));
        const QByteArray vorher = Testhilfe::lies(log);
        QVERIFY(starteBisLogOffen(home, log));
        QCOMPARE(Testhilfe::lies(log), vorher);
    }

    // The real windows on the installed files: the log window opens at
    // the start, every list opens with the count of the installed file.
    void fensterAufDenInstalliertenDateien()
    {
        const QString daten = m_tmp.filePath(QStringLiteral("fenster/daten"));
        const QByteArray altDaten = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(daten));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_tmp.filePath(QStringLiteral("fenster/cfg")));
        Programmverzeichnis::setzen(pfad(QStringLiteral("bin")));
        Testhilfe::leeren();
        {
            QCOMPARE(Speicherorte::art(), Speicherorte::Art::Installiert);
            frm_main h;
            h.zeigen();
            QVERIFY(h.frm_eintrag());
            QVERIFY(QFile::exists(daten + QStringLiteral("/tremvik-tool/tremvik.dorlem-fasq")));

            const struct
            {
                QAction *menue;
                KindFenster *(frm_main::*fenster)() const;
                const char *tabelle;
                const char *titel;
            } listen[] = {{h.bos, &frm_main::frm_bos, "bos", "BOS-Frequenzen"},
                          {h.flug, &frm_main::frm_flug, "flugfunk", nullptr},
                          {h.afu, &frm_main::frm_afu, "afu", nullptr},
                          {h.fw, &frm_main::frm_fw, "fernwirken", nullptr}};
            for (const auto &l : listen) {
                l.menue->trigger();
                KindFenster *f = (h.*l.fenster)();
                QVERIFY2(f, l.tabelle);
                const QString anzahlText =
                    QStringLiteral(" %1 Datensätze").arg(anzahl(frequenzen(), QString::fromLatin1(l.tabelle)));
                QVERIFY2(f->windowTitle().endsWith(anzahlText), qPrintable(f->windowTitle()));
                if (l.titel)
                    QVERIFY(f->windowTitle().startsWith(QString::fromLatin1(l.titel)));
            }
            // The lists of examples say so while they are in front.
            h.afu->trigger();
            QVERIFY2(h.lbl_daten->text().contains(QStringLiteral("kein realer Standort")),
                     qPrintable(h.lbl_daten->text()));
            // "Was läuft hier?" reads the same installed lists.
            h.empf_waslaeuft->trigger();
            QVERIFY(h.frm_waslaeuft());

            // The manual and the about box on the installed files.
            h.handbuch->trigger();
            QVERIFY(h.frm_handbuch());
            QCOMPARE(h.frm_handbuch()->txt_handbuch->source().toLocalFile(),
                     pfad(QStringLiteral("share/tremvik-tool/handbuch/handbuch.md")));
            h.ueber->trigger();
            QVERIFY(h.frm_ueber());
            QCOMPARE(h.frm_ueber()->txt_log->text(), daten + QStringLiteral("/tremvik-tool/tremvik.dorlem-fasq"));
            QCOMPARE(h.frm_ueber()->txt_frequenzen->text(), frequenzen());
            QVERIFY(h.frm_ueber()->lbl_listen->text().contains(QStringLiteral("OurAirports")));
            QVERIFY2(Testhilfe::meldungen().isEmpty(), qPrintable(Testhilfe::meldungen().value(0).text));
        }
        Programmverzeichnis::setzen(QString());
        qputenv("XDG_DATA_HOME", altDaten);
    }
};

TREMVIK_TEST_MAIN(TestInstallation)

#include "tst_installation.moc"
