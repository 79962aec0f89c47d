// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/speicherorte.h"

#include "kern/basis/dateikopie.h"
#include "kern/basis/datenfehler.h"
#include "kern/basis/pfad.h"
#include "kern/basis/programmverzeichnis.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString imOrdner(const QString &ordner, const QString &name)
{
    return ordner.endsWith(QLatin1Char('/')) ? ordner + name : ordner + QLatin1Char('/') + name;
}

// The program's own settings, wherever it runs from: the tools note there
// too that they created the log.
QSettings einstellungen()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tremvik-tool"),
                     QStringLiteral("tremvik-tool"));
}

const QString angelegtSchluessel = QStringLiteral("Logdatenbank/angelegt");

QString fehlerText(int fehler)
{
    return QString::fromLocal8Bit(std::strerror(fehler));
}

// Copies quelle to a new file ziel, never replacing one: the bytes go into
// a temporary file beside ziel, which is then linked to its name, with the
// rights given. False when ziel appeared meanwhile.
bool kopieNeu(const QString &quelle, const QString &ziel, QFile::Permissions rechte)
{
    const QString temp = ziel + QStringLiteral(".entsteht");
    QFile::remove(temp);
    {
        QFile ein(quelle);
        if (!ein.open(QIODevice::ReadOnly))
            throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(zitiert(quelle)),
                              ein.errorString());
        QFile aus(temp);
        if (!aus.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht angelegt werden.").arg(zitiert(ziel)),
                              aus.errorString());
        const QByteArray daten = ein.readAll();
        const bool gut = ein.error() == QFile::NoError && aus.write(daten) == daten.size() && aus.flush()
                         && ::fsync(aus.handle()) == 0;
        if (!gut) {
            const QString grund = aus.error() != QFile::NoError ? aus.errorString() : ein.errorString();
            aus.close();
            QFile::remove(temp);
            throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht angelegt werden.").arg(zitiert(ziel)), grund);
        }
        aus.setPermissions(rechte);
    }
    const QByteArray von = QFile::encodeName(temp), nach = QFile::encodeName(ziel);
    const int rc = ::link(von.constData(), nach.constData());
    const int fehler = errno;
    QFile::remove(temp);
    if (rc != 0) {
        if (fehler == EEXIST)
            return false;
        throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht angelegt werden.").arg(zitiert(ziel)),
                          fehlerText(fehler));
    }
    return true;
}

// The log is a diary of what the user heard: the files beside it are the
// user's alone.
constexpr QFile::Permissions nurEigentuemer = QFile::ReadOwner | QFile::WriteOwner;

// The data folder, made for the user alone; one that is there keeps its
// rights. A failure names the folder that could not be made and why.
void ordnerAnlegen(const QString &ordner)
{
    QString stelle;
    if (const int fehler = Pfad::anlegen(ordner, 0700, &stelle)) {
        QString grund = Dateikopie::grund(fehler) + QLatin1Char('.');
        if (stelle != ordner)
            grund = QStringLiteral("%1 (bei %2)").arg(Dateikopie::grund(fehler), zitiert(stelle)) + QLatin1Char('.');
        throw DatenFehler(QStringLiteral("Der Ordner %1 kann nicht angelegt werden.").arg(zitiert(ordner)), grund);
    }
}

}   // namespace

QString Speicherorte::logName()
{
    return QStringLiteral("tremvik.dorlem-fasq");
}

QString Speicherorte::frequenzName()
{
    return QStringLiteral("Frequenzen.dorlem-fasq");
}

QString Speicherorte::installiert()
{
    return QDir::cleanPath(Programmverzeichnis::pfad() + QStringLiteral("/../share/tremvik-tool"));
}

QString Speicherorte::datenordner()
{
    // A relative XDG_DATA_HOME is no data folder (the XDG rules say so):
    // it would put the log wherever the program happens to be started.
    QString daten = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (QDir::isRelativePath(daten))
        daten = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(daten + QStringLiteral("/tremvik-tool"));
}

Speicherorte::Art Speicherorte::art()
{
    // A program directory that holds either database file is used as it
    // is; only a bare bin folder with the shipped files beside it counts as
    // installed.
    if (QFileInfo::exists(Programmverzeichnis::datei(logName()))
        || QFileInfo::exists(Programmverzeichnis::datei(frequenzName())))
        return Art::Programmverzeichnis;
    if (QFileInfo(imOrdner(installiert(), frequenzName())).isFile())
        return Art::Installiert;
    return Art::Programmverzeichnis;
}

QString Speicherorte::logOrdner()
{
    return art() == Art::Installiert ? datenordner() : Programmverzeichnis::pfad();
}

QString Speicherorte::logDatei()
{
    return art() == Art::Installiert ? imOrdner(datenordner(), logName()) : Programmverzeichnis::datei(logName());
}

QString Speicherorte::frequenzDatei()
{
    if (art() != Art::Installiert)
        return Programmverzeichnis::datei(frequenzName());
    const QString eigene = imOrdner(datenordner(), frequenzName());
    return QFileInfo::exists(eigene) ? eigene : imOrdner(installiert(), frequenzName());
}

QString Speicherorte::datei(const QString &name)
{
    if (name == logName())
        return logDatei();
    if (name == frequenzName())
        return frequenzDatei();
    return Programmverzeichnis::datei(name);
}

QString Speicherorte::logBereitstellen()
{
    const QString log = logDatei();
    if (art() != Art::Installiert || QFileInfo::exists(log)) {
        if (art() == Art::Installiert) {
            // A log that was put there otherwise (copied by the user) is
            // noted too: from now on it must not go missing unnoticed.
            QSettings s = einstellungen();
            QStringList angelegt = s.value(angelegtSchluessel).toStringList();
            if (!angelegt.contains(log)) {
                angelegt.append(log);
                s.setValue(angelegtSchluessel, angelegt);
            }
        }
        return log;
    }

    QSettings s = einstellungen();
    QStringList angelegt = s.value(angelegtSchluessel).toStringList();
    if (angelegt.contains(log))
        throw DatenFehler(
            QStringLiteral("Die Datenbankdatei %1 kann nicht geöffnet werden.").arg(zitiert(log)),
            QStringLiteral("Die Datei ist nicht vorhanden. Das Programm hatte sie angelegt; sie wird nicht durch "
                           "eine leere ersetzt. Eine Sicherungskopie lässt sich mit \u201EDatenverwaltung\u201C, "
                           "\u201EWiederherstellung\u201C zurückholen."));

    const QString vorlage = imOrdner(installiert(), logName());
    if (!QFileInfo(vorlage).isFile())
        throw DatenFehler(QStringLiteral("Die Logdatenbank %1 kann nicht angelegt werden.").arg(zitiert(log)),
                          QStringLiteral("Die leere Logdatenbank %1 fehlt in der Installation.").arg(zitiert(vorlage)));
    ordnerAnlegen(datenordner());
    kopieNeu(vorlage, log, nurEigentuemer);   // another start may have been quicker: its log is kept
    angelegt.append(log);
    s.setValue(angelegtSchluessel, angelegt);
    s.sync();
    return log;
}

QString Speicherorte::frequenzenAendern(const std::function<void(const QString &datei)> &arbeit)
{
    const QString datei = frequenzDatei();
    if (art() != Art::Installiert || datei.startsWith(datenordner() + QLatin1Char('/'))) {
        arbeit(datei);
        return datei;
    }

    // The shipped database stays as it is; the user's own copy takes its
    // place once it is complete.
    ordnerAnlegen(datenordner());
    const QString eigene = imOrdner(datenordner(), frequenzName());
    const QString temp = eigene + QStringLiteral(".neu");
    QFile::remove(temp);
    try {
        if (!kopieNeu(datei, temp, nurEigentuemer | QFile::ReadGroup | QFile::ReadOther))
            throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht angelegt werden.").arg(zitiert(temp)));
        arbeit(temp);
        const QByteArray von = QFile::encodeName(temp), nach = QFile::encodeName(eigene);
        if (::link(von.constData(), nach.constData()) != 0) {
            const int fehler = errno;
            throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht angelegt werden.").arg(zitiert(eigene)),
                              fehler == EEXIST ? QStringLiteral("Inzwischen hat ein anderes Programm sie angelegt.")
                                               : fehlerText(fehler));
        }
    } catch (...) {
        QFile::remove(temp);
        QFile::remove(temp + QStringLiteral("-journal"));
        throw;
    }
    QFile::remove(temp);
    return eigene;
}

QString Speicherorte::einstellungsDatei()
{
    return einstellungen().fileName();
}

QString Speicherorte::handbuch()
{
    return installiert() + QStringLiteral("/handbuch/handbuch.md");
}

QStringList Speicherorte::eigeneOrdner()
{
    QStringList ordner{Programmverzeichnis::pfad()};
    if (art() == Art::Installiert)
        ordner.append(datenordner());
    return ordner;
}
