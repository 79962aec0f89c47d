// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/jet/jetprotokoll.h"

#include <QDateTime>

#include <cstring>

namespace {

// Names, formats and messages are short; only values may be long.
constexpr qsizetype textHoechstens = 64 * 1024;

QByteArray hex(quint64 bits, int stellen)
{
    return QByteArray::number(bits, 16).rightJustified(stellen, '0');
}

}   // namespace

QByteArray Jetprotokoll::feld(char art, const QByteArray &inhalt)
{
    QByteArray f;
    f.reserve(inhalt.size() + 16);
    f.append(art).append(QByteArray::number(inhalt.size())).append(':').append(inhalt).append('\n');
    return f;
}

QByteArray Jetprotokoll::feld(char art, const QString &text)
{
    return feld(art, text.toUtf8());
}

QByteArray Jetprotokoll::wert(const QVariant &w)
{
    if (w.isNull())
        return feld('N');
    switch (w.typeId()) {
    case QMetaType::Bool: return feld('B', QByteArray(w.toBool() ? "1" : "0"));
    case QMetaType::Int:
    case QMetaType::LongLong: return feld('I', QByteArray::number(w.toLongLong()));
    case QMetaType::Float: {
        const float f = w.value<float>();
        quint32 bits;
        std::memcpy(&bits, &f, sizeof bits);
        return feld('G', hex(bits, 8));
    }
    case QMetaType::Double: {
        const double d = w.toDouble();
        quint64 bits;
        std::memcpy(&bits, &d, sizeof bits);
        return feld('D', hex(bits, 16));
    }
    case QMetaType::QDateTime: {
        const QDateTime dt = w.toDateTime();
        return feld('Q', QByteArray::number(dt.date().toJulianDay()) + ' '
                             + QByteArray::number(dt.time().msecsSinceStartOfDay()));
    }
    case QMetaType::QByteArray: return feld('X', w.toByteArray());
    default: return feld('W', w.toString());
    }
}

QByteArray Jetprotokoll::spalte(const Jet::Spalte &s)
{
    return feld('S', QStringLiteral("%1 %2 %3").arg(int(s.typ)).arg(s.laenge).arg(s.name));
}

// ---------------------------------------------------------------------------

Jetprotokoll::Leser::Leser(qint64 hoechstens) : m_hoechstens(hoechstens) { }

void Jetprotokoll::Leser::verstoss(const QString &grund) const
{
    throw Verstoss{grund, false};
}

void Jetprotokoll::Leser::nehmen(const QByteArray &bytes)
{
    m_bytes += bytes.size();
    if (m_bytes > m_hoechstens)
        throw Verstoss{QString(), true};
    m_puffer.append(bytes);
    for (;;) {
        const qsizetype rest = m_puffer.size() - m_pos;
        if (rest < 1)
            break;
        // The head: a letter, up to ten digits, a colon.
        const qsizetype doppelpunkt = m_puffer.indexOf(':', m_pos);
        if (doppelpunkt < 0) {
            if (rest > 12)
                verstoss(QStringLiteral("Ein Datensatz hat keinen Kopf."));
            break;
        }
        const char art = m_puffer.at(m_pos);
        const QByteArray ziffern = m_puffer.mid(m_pos + 1, doppelpunkt - m_pos - 1);
        bool ok = ziffern.size() >= 1 && ziffern.size() <= 10;
        for (char c : ziffern)
            ok = ok && c >= '0' && c <= '9';
        const qint64 laenge = ok ? ziffern.toLongLong(&ok) : -1;
        if (!ok || art < 'A' || art > 'Z')
            verstoss(QStringLiteral("Ein Datensatz hat keinen gültigen Kopf."));
        if (laenge > m_hoechstens)
            throw Verstoss{QString(), true};
        const qsizetype ende = doppelpunkt + 1 + qsizetype(laenge);
        if (m_puffer.size() < ende + 1)
            break;
        if (m_puffer.at(ende) != '\n')
            verstoss(QStringLiteral("Ein Datensatz endet nicht, wo seine Länge sagt."));
        feldNehmen(art, m_puffer.mid(doppelpunkt + 1, qsizetype(laenge)));
        m_pos = ende + 1;
    }
    // The bytes read are dropped once they make up half the buffer, so that
    // a long value arriving in pieces is not copied again and again.
    if (m_pos > 0 && m_pos >= m_puffer.size() / 2) {
        m_puffer.remove(0, m_pos);
        m_pos = 0;
    }
}

void Jetprotokoll::Leser::feldNehmen(char art, const QByteArray &inhalt)
{
    if (!m_kennungGelesen) {
        if (art != 'V' || inhalt != kennung)
            verstoss(QStringLiteral("Das Hilfsprogramm tremvik-jetleser passt nicht zu diesem Programm."));
        m_kennungGelesen = true;
        return;
    }
    if (m_antwort.ende)
        verstoss(QStringLiteral("Nach dem Ende folgen weitere Daten."));
    const bool istWert = QByteArrayLiteral("NBIGDQWX").contains(art);
    if (istWert != (m_offeneWerte > 0))
        verstoss(istWert ? QStringLiteral("Ein Wert steht außerhalb eines Datensatzes.")
                         : QStringLiteral("Einem Datensatz fehlen Werte."));
    if (!istWert && inhalt.size() > textHoechstens)
        verstoss(QStringLiteral("Ein Name oder eine Meldung ist zu lang."));

    const QString text = istWert ? QString() : QString::fromUtf8(inhalt);
    auto zahl = [&](const QByteArray &b) {
        bool ok = false;
        const qlonglong n = b.toLongLong(&ok);
        if (!ok)
            verstoss(QStringLiteral("Eine Zahl ist keine Zahl."));
        return n;
    };

    if (istWert) {
        QVariant w;
        switch (art) {
        case 'N': break;
        case 'B':
            if (inhalt != "0" && inhalt != "1")
                verstoss(QStringLiteral("Ein Ja/Nein-Wert ist weder Ja noch Nein."));
            w = QVariant(inhalt == "1");
            break;
        case 'I': w = QVariant(qlonglong(zahl(inhalt))); break;
        case 'G':
        case 'D': {
            bool ok = inhalt.size() == (art == 'G' ? 8 : 16);
            const quint64 bits = ok ? inhalt.toULongLong(&ok, 16) : 0;
            if (!ok)
                verstoss(QStringLiteral("Eine Kommazahl ist unlesbar."));
            if (art == 'G') {
                const quint32 b32 = quint32(bits);
                float f;
                std::memcpy(&f, &b32, sizeof f);
                w = QVariant(f);
            } else {
                double d;
                std::memcpy(&d, &bits, sizeof d);
                w = QVariant(d);
            }
            break;
        }
        case 'Q': {
            const QList<QByteArray> teile = inhalt.split(' ');
            if (teile.size() != 2)
                verstoss(QStringLiteral("Ein Datum ist unlesbar."));
            const QDate tag = QDate::fromJulianDay(zahl(teile.at(0)));
            const qlonglong ms = zahl(teile.at(1));
            if (!tag.isValid() || ms < 0 || ms >= 86400000)
                verstoss(QStringLiteral("Ein Datum ist unlesbar."));
            w = QVariant(QDateTime(tag, QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC));
            break;
        }
        case 'W': w = QVariant(QString::fromUtf8(inhalt)); break;
        case 'X': w = QVariant(inhalt); break;
        }
        m_antwort.tabelle.zeilen.last().append(w);
        --m_offeneWerte;
        return;
    }

    switch (art) {
    case 'F': m_antwort.format = text; break;
    case 'T': m_antwort.katalog.append({text, {}, {}}); break;
    case 'U':
        if (m_antwort.katalog.isEmpty())
            verstoss(QStringLiteral("Ein Fehler gehört zu keiner Tabelle."));
        m_antwort.katalog.last().fehler = text;
        break;
    case 'S': {
        const qsizetype a = text.indexOf(QLatin1Char(' '));
        const qsizetype b = a < 0 ? -1 : text.indexOf(QLatin1Char(' '), a + 1);
        bool ok1 = false, ok2 = false;
        Jet::Spalte s;
        const int typ = b < 0 ? -1 : text.left(a).toInt(&ok1);
        s.laenge = b < 0 ? -1 : text.mid(a + 1, b - a - 1).toInt(&ok2);
        if (!ok1 || !ok2 || typ < 0 || typ > int(Jet::Typ::Unbekannt) || s.laenge < 0)
            verstoss(QStringLiteral("Eine Spalte ist unlesbar."));
        s.typ = Jet::Typ(typ);
        s.name = text.mid(b + 1);
        if (!m_antwort.katalog.isEmpty())
            m_antwort.katalog.last().spalten.append(s);
        else if (m_antwort.tabelle.zeilen.isEmpty())
            m_antwort.tabelle.spalten.append(s);
        else
            verstoss(QStringLiteral("Eine Spalte folgt auf Datensätze."));
        break;
    }
    case 'Z':
        if (m_antwort.tabelle.spalten.isEmpty())
            verstoss(QStringLiteral("Ein Datensatz hat keine Spalten."));
        m_antwort.tabelle.zeilen.append(Jet::Zeile());
        m_antwort.tabelle.zeilen.last().reserve(m_antwort.tabelle.spalten.size());
        m_offeneWerte = int(m_antwort.tabelle.spalten.size());
        break;
    case 'P': m_antwort.gelesen = zahl(inhalt); break;
    case 'A': m_antwort.anzahl = zahl(inhalt); break;
    case 'E': m_antwort.fehler = std::make_pair(text, QString()); break;
    case 'R':
        if (!m_antwort.fehler)
            verstoss(QStringLiteral("Ein Grund gehört zu keinem Fehler."));
        m_antwort.fehler->second = text;
        break;
    case 'K': m_antwort.ende = true; break;
    default: verstoss(QStringLiteral("Ein Datensatz ist von unbekannter Art."));
    }
}
