// SPDX-License-Identifier: GPL-3.0-or-later
#include "testhilfe.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

// What the package carries beside the programs: a manual page for each
// program in bin/ that man renders without a warning and that names every
// option the program's --help names, and a copyright file whose stanzas
// name files of the sources and give the terms of every list.
class TestPaketdateien : public QObject
{
    Q_OBJECT

    static QStringList programme()
    {
        return {QStringLiteral("tremvik-tool"), QStringLiteral("tremvik-log"), QStringLiteral("tremvik-jet"),
                QStringLiteral("tremvik-frequenzen")};
    }
    static QString quelle(const QString &name) { return QStringLiteral(TREMVIK_QUELLEN "/") + name; }
    static QString seite(const QString &programm) { return quelle(QStringLiteral("paket/man/%1.1").arg(programm)); }

    // The paragraphs of a DEP-5 file: field name to value, continuation
    // lines joined by '\n'.
    static QList<QMap<QString, QString>> absaetze(const QString &text)
    {
        QList<QMap<QString, QString>> alle;
        QMap<QString, QString> absatz;
        QString feld;
        for (const QString &zeile : text.split(QLatin1Char('\n'))) {
            if (zeile.trimmed().isEmpty()) {
                if (!absatz.isEmpty())
                    alle.append(absatz);
                absatz.clear();
            } else if (zeile.front().isSpace()) {
                absatz[feld] += QLatin1Char('\n') + zeile.trimmed();
            } else {
                feld = zeile.section(QLatin1Char(':'), 0, 0);
                absatz[feld] = zeile.section(QLatin1Char(':'), 1).trimmed();
            }
        }
        if (!absatz.isEmpty())
            alle.append(absatz);
        return alle;
    }

private Q_SLOTS:
    void handbuchseitenOhneWarnung()
    {
        const QString man = QStandardPaths::findExecutable(QStringLiteral("man"));
        if (man.isEmpty())
            QSKIP("man (man-db) fehlt: die Handbuchseiten lassen sich nicht prüfen.");
        for (const QString &programm : programme()) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
            env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
            p.setProcessEnvironment(env);
            p.start(man, {QStringLiteral("--warnings"), QStringLiteral("-l"), seite(programm)});
            QVERIFY(p.waitForFinished(60000));
            const QString fehler = QString::fromUtf8(p.readAllStandardError());
            const QString text = QString::fromUtf8(p.readAllStandardOutput());
            QVERIFY2(p.exitCode() == 0 && fehler.isEmpty(), qPrintable(programm + QStringLiteral(": ") + fehler));
            for (const char *abschnitt : {"BEZEICHNUNG", "ÜBERSICHT", "OPTIONEN", "DATEIEN", "RÜCKGABEWERT"})
                QVERIFY2(text.contains(QString::fromUtf8(abschnitt)),
                         qPrintable(programm + QLatin1Char(' ') + abschnitt));
        }
    }

    // The pages follow the programs: every option --help shows is on the
    // page, and the page belongs to this version.
    void handbuchseitenNennenJedeOption()
    {
        for (const QString &programm : programme()) {
            const QString datei = QStringLiteral(TREMVIK_BIN "/") + programm;
            if (!QFileInfo(datei).isExecutable())
                QSKIP(qPrintable(programm + QStringLiteral(" ist nicht gebaut.")));
            QProcess p;
            p.start(datei, {QStringLiteral("--help")});
            QVERIFY(p.waitForFinished(60000));
            QCOMPARE(p.exitCode(), 0);
            const QString hilfe = QString::fromUtf8(p.readAllStandardOutput());
            const QString roff = QString::fromUtf8(Testhilfe::lies(seite(programm)));
            QVERIFY(roff.contains(QStringLiteral("\"tremvik-tool " TREMVIK_VERSION "\"")));
            QStringList optionen;
            const QRegularExpression option(QStringLiteral("(?<![\\w-])(--?[a-z][a-z-]*)"));
            for (const QRegularExpressionMatch &m : option.globalMatch(hilfe))
                optionen.append(m.captured(1));
            QVERIFY2(!optionen.isEmpty(), qPrintable(programm));
            optionen << QStringLiteral("--help") << QStringLiteral("-h");
            for (const QString &o : optionen) {
                QString maskiert = o;
                maskiert.replace(QLatin1Char('-'), QStringLiteral("\\-"));
                QVERIFY2(roff.contains(maskiert), qPrintable(programm + QStringLiteral(": ") + o));
            }
        }
    }

    // The copyright file: machine-readable, each stanza's files are in the
    // sources, every list of frequencies has its terms, and every licence
    // named has its text.
    void copyrightPasstZuDenQuellen()
    {
        const QList<QMap<QString, QString>> alle =
            absaetze(QString::fromUtf8(Testhilfe::lies(quelle(QStringLiteral("paket/copyright")))));
        QVERIFY(alle.size() > 3);
        QCOMPARE(alle.first().value(QStringLiteral("Format")),
                 QStringLiteral("https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"));
        QCOMPARE(alle.first().value(QStringLiteral("Upstream-Name")), QStringLiteral("tremvik-tool"));

        QStringList genannt, lizenzen, mitText;
        for (const auto &absatz : alle) {
            const QString lizenz = absatz.value(QStringLiteral("License"));
            if (absatz.contains(QStringLiteral("Files"))) {
                QVERIFY2(!absatz.value(QStringLiteral("Copyright")).isEmpty(), qPrintable(absatz.value("Files")));
                lizenzen.append(lizenz.section(QLatin1Char('\n'), 0, 0));
                for (const QString &muster :
                     absatz.value(QStringLiteral("Files")).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
                    if (muster != QLatin1String("*"))
                        QVERIFY2(QFileInfo::exists(quelle(muster)), qPrintable(muster));
                    genannt.append(muster);
                }
            } else if (lizenz.contains(QLatin1Char('\n'))) {
                mitText.append(lizenz.section(QLatin1Char('\n'), 0, 0));
            }
        }
        for (const QString &l : lizenzen)
            QVERIFY2(mitText.contains(l), qPrintable(l));
        for (const QString &csv : QDir(quelle(QStringLiteral("db/frequenzen"))).entryList({QStringLiteral("*.csv")}))
            QVERIFY2(genannt.contains(QStringLiteral("db/frequenzen/") + csv), qPrintable(csv));
    }
};

TREMVIK_TEST_MAIN(TestPaketdateien)
#include "tst_paketdateien.moc"
