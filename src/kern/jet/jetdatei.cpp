// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/jet/jetdatei.h"

#include "kern/basis/datenfehler.h"
#include "kern/jet/leserprozess.h"

#include <QFile>
#include <QFileInfo>

QString Jet::Spalte::typName() const
{
    switch (typ) {
    case Typ::JaNein: return QStringLiteral("Ja/Nein");
    case Typ::Byte: return QStringLiteral("Zahl (Byte)");
    case Typ::Integer: return QStringLiteral("Zahl (Integer)");
    case Typ::LongInteger: return QStringLiteral("Zahl (Long Integer)");
    case Typ::Waehrung: return QStringLiteral("Währung");
    case Typ::Single: return QStringLiteral("Zahl (Single)");
    case Typ::Double: return QStringLiteral("Zahl (Double)");
    case Typ::DatumUhrzeit: return QStringLiteral("Datum/Uhrzeit");
    case Typ::Binaer: return QStringLiteral("Binär");
    case Typ::Text: return QStringLiteral("Text (%1)").arg(laenge);
    case Typ::OleObjekt: return QStringLiteral("OLE-Objekt");
    case Typ::Memo: return QStringLiteral("Memo");
    case Typ::ReplikationsId: return QStringLiteral("Zahl (Replikations-ID)");
    case Typ::Dezimal: return QStringLiteral("Zahl (Dezimal)");
    case Typ::Komplex: return QStringLiteral("Komplex");
    case Typ::Unbekannt: break;
    }
    return QStringLiteral("unbekannt");
}

int Jet::Tabelle::spalte(const QString &name) const
{
    for (int i = 0; i < spalten.size(); ++i)
        if (spalten.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QDate Jet::nullDatum()
{
    return QDate(1899, 12, 30);
}

bool JetDatei::istJet(const QString &datei)
{
    QFile f(datei);
    if (!QFileInfo(datei).isFile() || !f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray kopf = f.read(20);
    return kopf.size() == 20 && kopf.at(0) == 0
           && (kopf.mid(4, 15) == "Standard Jet DB" || kopf.mid(4, 15) == "Standard ACE DB");
}

JetDatei::JetDatei(const QString &datei, Jet::Aufsicht *aufsicht) : m_datei(datei), m_aufsicht(aufsicht)
{
    const QString kannNicht = QStringLiteral("Die Jet-Datei %1 kann nicht gelesen werden.").arg(zitiert(datei));
    const QFileInfo info(datei);
    if (!info.exists())
        throw DatenFehler(kannNicht, QStringLiteral("Die Datei ist nicht vorhanden."));
    if (!info.isFile())
        throw DatenFehler(kannNicht, QStringLiteral("Das ist keine Datei."));
    if (!info.isReadable())
        throw DatenFehler(kannNicht, QStringLiteral("Die Datei darf nicht gelesen werden."));
    if (!istJet(datei))
        throw DatenFehler(kannNicht,
                          QStringLiteral("Das ist keine Datenbank im Jet-Format (Access .mdb oder .accdb)."));

    const Jetprotokoll::Antwort a =
        Leserprozess::antwort(Leserprozess::ausfuehren({QStringLiteral("katalog"), datei}, aufsicht), datei);
    m_format = a.format;
    for (const Jetprotokoll::Antwort::Eintrag &e : a.katalog)
        m_katalog.append({e.name, e.spalten, e.fehler});
}

JetDatei::~JetDatei() = default;

QString JetDatei::format() const
{
    return m_format;
}

QStringList JetDatei::tabellen() const
{
    QStringList namen;
    for (const Eintrag &e : m_katalog)
        namen.append(e.name);
    return namen;
}

QString JetDatei::tabelle(const QString &name) const
{
    for (const Eintrag &e : m_katalog)
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return e.name;
    return QString();
}

const JetDatei::Eintrag &JetDatei::eintrag(const QString &tabelle) const
{
    const QString kannNicht = QStringLiteral("Die Jet-Datei %1 kann nicht gelesen werden.").arg(zitiert(m_datei));
    for (const Eintrag &e : m_katalog) {
        if (e.name != tabelle)
            continue;
        if (!e.fehler.isEmpty())
            throw DatenFehler(kannNicht, e.fehler);
        return e;
    }
    throw DatenFehler(kannNicht, QStringLiteral("Sie enthält keine Tabelle %1.").arg(zitiert(tabelle)));
}

QList<Jet::Spalte> JetDatei::spalten(const QString &tabelle) const
{
    return eintrag(tabelle).spalten;
}

int JetDatei::zeilenzahl(const QString &tabelle) const
{
    eintrag(tabelle);
    const Jetprotokoll::Antwort a = Leserprozess::antwort(
        Leserprozess::ausfuehren({QStringLiteral("zaehle"), m_datei, tabelle}, m_aufsicht), m_datei);
    if (a.anzahl < 0 || a.anzahl > std::numeric_limits<int>::max())
        throw DatenFehler(
            QStringLiteral("Die Jet-Datei %1 lässt sich nicht lesen (beschädigt?).").arg(zitiert(m_datei)),
            QStringLiteral("Die Zahl der Datensätze der Tabelle %1 ist unlesbar.").arg(zitiert(tabelle)));
    return int(a.anzahl);
}

Jet::Tabelle JetDatei::lesen(const QString &tabelle) const
{
    eintrag(tabelle);
    Jetprotokoll::Antwort a = Leserprozess::antwort(
        Leserprozess::ausfuehren({QStringLiteral("lies"), m_datei, tabelle}, m_aufsicht), m_datei);
    if (a.anzahl != a.tabelle.zeilen.size())
        throw DatenFehler(
            QStringLiteral("Die Jet-Datei %1 lässt sich nicht lesen (beschädigt?).").arg(zitiert(m_datei)),
            QStringLiteral("Die Tabelle %1 kam nicht vollständig an.").arg(zitiert(tabelle)));
    a.tabelle.name = tabelle;
    return std::move(a.tabelle);
}
