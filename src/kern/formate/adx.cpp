// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/formate/adif.h"

#include "kern/basis/meldetext.h"
#include "kern/formate/textquelle.h"

#include <QBuffer>
#include <QHash>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

const QString appVorsilbe = QStringLiteral("APP_");

// XML 1.0 cannot carry most control characters, not even escaped.
QString xmlTauglich(const QString &text)
{
    QString aus = text;
    for (QChar &c : aus)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            c = QChar::ReplacementCharacter;
    return aus;
}

void feldSchreiben(QXmlStreamWriter &x, const Adif::Feld &f)
{
    const QString app = appVorsilbe + QString::fromLatin1(Adif::programmId) + QLatin1Char('_');
    if (f.name.startsWith(app)) {
        x.writeStartElement(QStringLiteral("APP"));
        x.writeAttribute(QStringLiteral("PROGRAMID"), QString::fromLatin1(Adif::programmId));
        x.writeAttribute(QStringLiteral("FIELDNAME"), f.name.mid(app.size()));
        x.writeAttribute(QStringLiteral("TYPE"), QString(QLatin1Char(f.typ ? f.typ : 'S')));
    } else {
        x.writeStartElement(f.name);
    }
    // Line breaks stay as they are: a CR would be lost to the reader's
    // line-end handling unless written as a character reference.
    const QString wert = xmlTauglich(f.wert);
    qsizetype von = 0;
    for (qsizetype k = 0; k < wert.size(); ++k) {
        if (wert.at(k) != QLatin1Char('\r'))
            continue;
        x.writeCharacters(wert.mid(von, k - von));
        x.writeEntityReference(QStringLiteral("#13"));
        von = k + 1;
    }
    x.writeCharacters(wert.mid(von));
    x.writeEndElement();
}

}   // namespace

namespace {

// An entity the file does not declare stands for nothing; its name is noted
// for the record's report.
class Aufloeser : public QXmlStreamEntityResolver
{
public:
    QStringList fehlend;
    QString resolveUndeclaredEntity(const QString &name) override
    {
        fehlend.append(QLatin1Char('&') + name + QLatin1Char(';'));
        return QStringLiteral("");
    }
};

}   // namespace

struct Adx::Leser::Zustand
{
    QIODevice &geraet;
    QXmlStreamReader x;
    Aufloeser aufloeser;
    int nummer = 0;
    bool inRecords = false;
    QList<Adif::Feld> kopf;

    explicit Zustand(QIODevice &g) : geraet(g), x(&g) { x.setEntityResolver(&aufloeser); }

    [[noreturn]] void fehler(QString grund)
    {
        const qint64 zeile = x.lineNumber();
        // A byte that is not UTF-8 where the file is UTF-8: say so and where.
        if (x.error() == QXmlStreamReader::NotWellFormedError && utf8()) {
            geraet.seek(0);
            if (const auto z = Textquelle::utf8Fehler(geraet))
                grund = QStringLiteral("In Zeile %1 steht ein Byte, das in UTF-8 nicht vorkommt; die Datei ist "
                                       "nicht in UTF-8 geschrieben, wie sie angibt.")
                            .arg(*z);
        }
        const QString wo = nummer > 0 ? QStringLiteral("Zeile %1, in Datensatz %2").arg(zeile).arg(nummer)
                                      : QStringLiteral("Zeile %1").arg(zeile);
        throw DatenFehler(QStringLiteral("Die ADX-Datei kann nicht gelesen werden (%1).").arg(wo),
                          Meldetext::ausschnitt(grund, 300));
    }

    bool utf8() const
    {
        const QString kodierung = x.documentEncoding().toString();
        return kodierung.isEmpty() || kodierung.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0;
    }

    void fehlerPruefen()
    {
        if (x.hasError())
            fehler(x.errorString());
    }

    void anfangen()
    {
        while (!x.atEnd() && x.readNext() != QXmlStreamReader::StartElement) {
            if (x.tokenType() != QXmlStreamReader::DTD)
                continue;
            // The reader leaves out what an external entity stands for,
            // without a trace of where: such a file is not taken.
            QStringList aussen;
            for (const QXmlStreamEntityDeclaration &e : x.entityDeclarations())
                if (!e.systemId().isEmpty() || !e.publicId().isEmpty())
                    aussen.append(QStringLiteral("&%1; (%2)")
                                      .arg(e.name(), e.systemId().isEmpty() ? e.publicId() : e.systemId()));
            if (!aussen.isEmpty())
                fehler(QStringLiteral("Die Datei erklärt Entitäten, die auf andere Dateien verweisen: %1. Solche "
                                      "Verweise werden nicht gelesen; ihre Werte fehlten, ohne dass sich sagen "
                                      "ließe, wo.")
                           .arg(Meldetext::aufzaehlung(aussen, 5)));
        }
        if (x.tokenType() != QXmlStreamReader::StartElement) {
            fehlerPruefen();
            fehler(QStringLiteral("Die Datei ist keine ADX-Datei (erwartet wird das Element <ADX>)."));
        }
        if (x.name().compare(QLatin1String("ADX"), Qt::CaseInsensitive) != 0)
            fehler(QStringLiteral("Die Datei ist keine ADX-Datei (erwartet wird das Element <ADX>)."));
    }

    std::optional<Adif::Datensatz> naechster()
    {
        for (;;) {
            if (inRecords) {
                if (x.readNextStartElement()) {
                    if (x.name().compare(QLatin1String("RECORD"), Qt::CaseInsensitive) != 0) {
                        x.skipCurrentElement();
                        continue;
                    }
                    ++nummer;
                    const int zeile = int(x.lineNumber());
                    Adif::Datensatz s = felder();
                    s.nummer = nummer;
                    s.zeile = zeile;
                    return s;
                }
                fehlerPruefen();
                inRecords = false;
                continue;
            }
            if (!x.readNextStartElement()) {
                fehlerPruefen();
                return std::nullopt;
            }
            if (x.name().compare(QLatin1String("HEADER"), Qt::CaseInsensitive) == 0)
                kopf = felder().felder;
            else if (x.name().compare(QLatin1String("RECORDS"), Qt::CaseInsensitive) == 0)
                inRecords = true;
            else
                x.skipCurrentElement();
        }
    }

    // The text of the field element that is open; entities that cannot be
    // resolved are named in s.
    QString wertLesen(const QString &name, Adif::Datensatz &s)
    {
        QString wert;
        QStringList &fehlend = aufloeser.fehlend;
        fehlend.clear();
        while (!x.atEnd()) {
            const QXmlStreamReader::TokenType t = x.readNext();
            if (t == QXmlStreamReader::Characters) {
                if (wert.size() + x.text().size() > Adif::hoechstLaenge)
                    fehler(QStringLiteral("Das Feld %1 ist länger, als ein Wert sein darf (höchstens %2 Zeichen).")
                               .arg(Meldetext::ausschnitt(name))
                               .arg(Adif::hoechstLaenge));
                wert += x.text();
            } else if (t == QXmlStreamReader::EntityReference) {
                fehlend.append(QLatin1Char('&') + x.name().toString() + QLatin1Char(';'));
            } else if (t == QXmlStreamReader::StartElement) {
                fehler(QStringLiteral("Im Feld %1 steht ein weiteres Element, %2; ein Feld enthält nur Text.")
                           .arg(Meldetext::ausschnitt(name), Meldetext::zitat(x.name())));
            } else if (t == QXmlStreamReader::EndElement) {
                break;
            }
        }
        fehlerPruefen();
        if (!fehlend.isEmpty()) {
            QStringList zitate;
            for (const QString &f : std::as_const(fehlend))
                zitate.append(Meldetext::zitat(f));
            const QString liste = Meldetext::aufzaehlung(zitate, 5);
            const bool eine = fehlend.size() == 1;
            s.hinweise.append(
                QStringLiteral("Feld %1: %2 nicht bekannt oder %3 auf eine andere Datei; %4 ausgelassen%5.")
                    .arg(Meldetext::ausschnitt(name),
                         eine ? QStringLiteral("Die Entität %1 ist").arg(liste)
                              : QStringLiteral("Die Entitäten %1 sind").arg(liste),
                         eine ? QStringLiteral("verweist") : QStringLiteral("verweisen"),
                         eine ? QStringLiteral("sie wurde") : QStringLiteral("sie wurden"),
                         wert.isEmpty() ? QStringLiteral(", das Feld blieb leer") : QString()));
            fehlend.clear();
        }
        return wert;
    }

    // The fields of the element that is open: HEADER or RECORD.
    Adif::Datensatz felder()
    {
        Adif::Datensatz s;
        QHash<QString, qsizetype> namen;
        while (x.readNextStartElement()) {
            QString name = x.name().toString().toUpper();
            const QXmlStreamAttributes a = x.attributes();
            if (name == QLatin1String("APP"))
                name = appVorsilbe + a.value(QLatin1String("PROGRAMID")).toString().toUpper() + QLatin1Char('_')
                       + a.value(QLatin1String("FIELDNAME")).toString().toUpper();
            else if (name == QLatin1String("USERDEF") && a.hasAttribute(QLatin1String("FIELDNAME")))
                name = QStringLiteral("USERDEF_") + a.value(QLatin1String("FIELDNAME")).toString().toUpper();
            const QString typ = a.value(QLatin1String("TYPE")).toString();
            const QString wert = wertLesen(name, s);
            const auto vorher = namen.constFind(name);
            if (vorher != namen.constEnd()) {
                if (s.felder.at(*vorher).wert != wert && s.fehler.isEmpty())
                    s.fehler = QStringLiteral("Das Feld %1 steht zweimal im Datensatz, mit verschiedenen Werten.")
                                   .arg(Meldetext::ausschnitt(name));
                continue;
            }
            if (s.felder.size() >= Adif::hoechstFelder)
                fehler(QStringLiteral("Der Datensatz hat mehr als %1 Felder.").arg(Adif::hoechstFelder));
            namen.insert(name, s.felder.size());
            s.felder.append({name, wert, typ.size() == 1 ? typ.at(0).toLatin1() : char(0)});
        }
        fehlerPruefen();
        return s;
    }
};

Adx::Leser::Leser(QIODevice &geraet) : d(std::make_unique<Zustand>(geraet))
{
    d->anfangen();
}

Adx::Leser::~Leser() = default;

std::optional<Adif::Datensatz> Adx::Leser::naechster()
{
    return d->naechster();
}

const QList<Adif::Feld> &Adx::Leser::kopf() const
{
    return d->kopf;
}

Adif::Datei Adx::lesen(const QByteArray &daten)
{
    QByteArray kopie(daten);
    QBuffer puffer(&kopie);
    puffer.open(QIODevice::ReadOnly);
    Leser leser(puffer);
    Adif::Datei d;
    while (auto s = leser.naechster())
        d.datensaetze.append(std::move(*s));
    d.kopf = leser.kopf();
    return d;
}

QByteArray Adx::schreiben(const Adif::Datei &datei)
{
    QByteArray aus;
    QXmlStreamWriter x(&aus);
    x.setAutoFormatting(true);
    x.setAutoFormattingIndent(1);
    x.writeStartDocument();
    x.writeStartElement(QStringLiteral("ADX"));
    x.writeStartElement(QStringLiteral("HEADER"));
    for (const Adif::Feld &f : datei.kopf)
        feldSchreiben(x, f);
    x.writeEndElement();
    x.writeStartElement(QStringLiteral("RECORDS"));
    for (const Adif::Datensatz &s : datei.datensaetze) {
        x.writeStartElement(QStringLiteral("RECORD"));
        for (const Adif::Feld &f : s.felder)
            feldSchreiben(x, f);
        x.writeEndElement();
    }
    x.writeEndElement();
    x.writeEndElement();
    x.writeEndDocument();
    return aus;
}
