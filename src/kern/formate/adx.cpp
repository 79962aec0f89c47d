#include "kern/formate/adif.h"

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

class Leser
{
public:
    explicit Leser(const QByteArray &daten) : x(daten) { }

    Adif::Datei lesen()
    {
        Adif::Datei d;
        if (!x.readNextStartElement() || x.name().compare(QLatin1String("ADX"), Qt::CaseInsensitive) != 0)
            fehler(QStringLiteral("Die Datei ist keine ADX-Datei (erwartet wird das Element <ADX>)."));
        while (x.readNextStartElement()) {
            if (x.name().compare(QLatin1String("HEADER"), Qt::CaseInsensitive) == 0)
                d.kopf = felder().felder;
            else if (x.name().compare(QLatin1String("RECORDS"), Qt::CaseInsensitive) == 0)
                datensaetze(d);
            else
                x.skipCurrentElement();
        }
        if (x.hasError())
            fehler(x.errorString());
        return d;
    }

private:
    [[noreturn]] void fehler(const QString &grund)
    {
        const QString wo = m_nummer > 0 ? QStringLiteral("Zeile %1, in Datensatz %2").arg(x.lineNumber()).arg(m_nummer)
                                        : QStringLiteral("Zeile %1").arg(x.lineNumber());
        throw DatenFehler(QStringLiteral("Die ADX-Datei kann nicht gelesen werden (%1).").arg(wo), grund);
    }

    void datensaetze(Adif::Datei &d)
    {
        while (x.readNextStartElement()) {
            if (x.name().compare(QLatin1String("RECORD"), Qt::CaseInsensitive) != 0) {
                x.skipCurrentElement();
                continue;
            }
            ++m_nummer;
            const int zeile = int(x.lineNumber());
            Adif::Datensatz s = felder();
            s.nummer = m_nummer;
            s.zeile = zeile;
            d.datensaetze.append(s);
        }
        if (x.hasError())
            fehler(x.errorString());
    }

    // The fields of the element that is open: HEADER or RECORD.
    Adif::Datensatz felder()
    {
        Adif::Datensatz s;
        while (x.readNextStartElement()) {
            QString name = x.name().toString().toUpper();
            const QXmlStreamAttributes a = x.attributes();
            if (name == QLatin1String("APP"))
                name = appVorsilbe + a.value(QLatin1String("PROGRAMID")).toString().toUpper() + QLatin1Char('_')
                       + a.value(QLatin1String("FIELDNAME")).toString().toUpper();
            else if (name == QLatin1String("USERDEF") && a.hasAttribute(QLatin1String("FIELDNAME")))
                name = QStringLiteral("USERDEF_") + a.value(QLatin1String("FIELDNAME")).toString().toUpper();
            const QString typ = a.value(QLatin1String("TYPE")).toString();
            const QString wert = x.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            if (x.hasError())
                fehler(x.errorString());
            const std::optional<QString> vorher = s.wert(name);
            if (vorher && *vorher != wert && s.fehler.isEmpty())
                s.fehler =
                    QStringLiteral("Das Feld %1 steht zweimal im Datensatz, mit verschiedenen Werten.").arg(name);
            if (!vorher)
                s.felder.append({name, wert, typ.size() == 1 ? typ.at(0).toLatin1() : char(0)});
        }
        if (x.hasError())
            fehler(x.errorString());
        return s;
    }

    QXmlStreamReader x;
    int m_nummer = 0;
};

}   // namespace

Adif::Datei Adx::lesen(const QByteArray &daten)
{
    return Leser(daten).lesen();
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
