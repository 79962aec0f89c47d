#include "kern/formate/adif.h"
#include "kern/formate/textkodierung.h"

#include <vector>

namespace {

// The text of the file as code points, with the number of bytes each one
// takes in the file.
struct Quelle
{
    QList<uint> t;
    std::vector<uchar> bytes;
    bool windows1252 = false;
};

Quelle vorbereiten(const QByteArray &daten)
{
    const Textkodierung::Text text = Textkodierung::dekodieren(daten);
    Quelle q;
    q.windows1252 = text.windows1252;
    q.t = text.text.toUcs4();
    q.bytes.reserve(size_t(q.t.size()));
    for (const uint c : std::as_const(q.t))
        q.bytes.push_back(text.windows1252 ? 1 : c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4);
    return q;
}

bool leer(uint c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

uint klein(uint c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

struct Tag
{
    QString name;   // in capitals
    bool mitLaenge = false;
    qint64 laenge = 0;
    char typ = 0;
};

class Leser
{
public:
    explicit Leser(const Quelle &quelle) : q(quelle), t(quelle.t), n(quelle.t.size()) { }

    Adif::Datei lesen()
    {
        Adif::Datei d;
        d.windows1252 = q.windows1252;
        kopfUeberspringen(d);
        Adif::Datensatz satz;
        bool imSatz = false;
        int nummer = 0;
        auto abschliessen = [&] {
            satz.nummer = ++nummer;
            d.datensaetze.append(satz);
            satz = Adif::Datensatz();
            imSatz = false;
        };
        for (;;) {
            const qsizetype lt = suche('<', i);
            if (lt < 0)
                break;
            if (!imSatz) {
                satz.zeile = zeileBei(lt);
                imSatz = true;
            }
            i = lt;
            Tag tag;
            QString fehler = tagLesen(tag);
            if (fehler.isEmpty() && tag.mitLaenge)
                fehler = wertLesen(tag, satz);
            if (!fehler.isEmpty()) {
                satz.fehler = fehler;
                hinterEor();
                abschliessen();
            } else if (tag.name == QLatin1String("EOR")) {
                if (satz.felder.isEmpty())
                    imSatz = false;   // an empty record is no record
                else
                    abschliessen();
            } else if (tag.name == QLatin1String("EOH")) {
                d.kopf = satz.felder;   // the header began with a tag
                satz = Adif::Datensatz();
                imSatz = false;
            }
        }
        if (imSatz && !satz.felder.isEmpty()) {
            satz.fehler = QStringLiteral("Der Datensatz endet ohne <EOR>.");
            abschliessen();
        }
        return d;
    }

private:
    qsizetype suche(uint c, qsizetype ab) const
    {
        for (qsizetype k = ab; k < n; ++k)
            if (t.at(k) == c)
                return k;
        return -1;
    }

    // The position of "<eoh>" or "<eor>" (any letter case) from ab on, or -1.
    qsizetype sucheTag(const char *name, qsizetype ab) const
    {
        for (qsizetype k = suche('<', ab); k >= 0; k = suche('<', k + 1)) {
            if (k + 4 < n && klein(t.at(k + 1)) == uint(name[0]) && klein(t.at(k + 2)) == uint(name[1])
                && klein(t.at(k + 3)) == uint(name[2]) && t.at(k + 4) == '>')
                return k;
        }
        return -1;
    }

    // A file that does not begin with '<' has a header up to <EOH>; its
    // free text is skipped, its fields kept.
    void kopfUeberspringen(Adif::Datei &d)
    {
        if (n == 0 || t.at(0) == '<')
            return;
        const qsizetype eoh = sucheTag("eoh", 0);
        if (eoh < 0)
            return;   // no header after all: the records start at the first tag
        Adif::Datensatz kopf;
        for (qsizetype lt = suche('<', 0); lt >= 0 && lt < eoh; lt = suche('<', i)) {
            i = lt;
            Tag tag;
            if (!tagLesen(tag).isEmpty() || (tag.mitLaenge && !wertLesen(tag, kopf).isEmpty()))
                i = lt + 1;   // free text that happens to hold a '<'
        }
        d.kopf = kopf.felder;
        i = eoh + 5;
    }

    // Reads the tag at i ('<') and moves past its '>'.
    QString tagLesen(Tag &tag)
    {
        const qsizetype anfang = i;
        qsizetype k = anfang + 1;
        while (k < n && t.at(k) != '>' && t.at(k) != '<' && t.at(k) != '\n')
            ++k;
        if (k >= n || t.at(k) != '>') {
            i = anfang + 1;
            return QStringLiteral("Die Angabe \u201E%1\u201C ist nicht abgeschlossen (es fehlt \u201E>\u201C).")
                .arg(ausschnitt(anfang, 20));
        }
        const QString inhalt =
            QString::fromUcs4(reinterpret_cast<const char32_t *>(t.constData() + anfang + 1), k - anfang - 1);
        i = k + 1;
        const QStringList teile = inhalt.split(QLatin1Char(':'));
        tag.name = teile.at(0).trimmed().toUpper();
        bool namensZeichen = !tag.name.isEmpty();
        for (const QChar c : std::as_const(tag.name))
            namensZeichen = namensZeichen && c.unicode() < 0x80 && (c.isLetterOrNumber() || c == QLatin1Char('_'));
        const QString roh = QLatin1Char('<') + inhalt + QLatin1Char('>');
        if (!namensZeichen || teile.size() > 3)
            return QStringLiteral("Die Angabe \u201E%1\u201C ist kein ADIF-Feld.").arg(roh);
        if (teile.size() == 1) {
            if (tag.name == QLatin1String("EOR") || tag.name == QLatin1String("EOH"))
                return QString();
            return QStringLiteral("Das Feld \u201E%1\u201C hat keine Längenangabe.").arg(roh);
        }
        bool zahl = false;
        tag.laenge = teile.at(1).trimmed().toLongLong(&zahl);
        if (!zahl || tag.laenge < 0 || teile.at(1).trimmed().startsWith(QLatin1Char('+')))
            return QStringLiteral("Das Feld \u201E%1\u201C hat keine gültige Länge.").arg(roh);
        tag.mitLaenge = true;
        if (teile.size() == 3 && teile.at(2).trimmed().size() == 1)
            tag.typ = teile.at(2).trimmed().at(0).toUpper().toLatin1();
        return QString();
    }

    // Whether a value may end at ende: only blanks up to the next tag or the
    // end of the file.
    bool passt(qsizetype ende) const
    {
        if (ende < 0 || ende > n)
            return false;
        for (qsizetype k = ende; k < n; ++k) {
            if (t.at(k) == '<')
                return true;
            if (!leer(t.at(k)))
                return false;
        }
        return true;
    }

    // The end of a value of laenge bytes from i, or -1 where that ends in
    // the middle of a character or beyond the file.
    qsizetype byteEnde(qint64 laenge) const
    {
        qsizetype k = i;
        qint64 summe = 0;
        while (summe < laenge && k < n)
            summe += q.bytes[size_t(k++)];
        return summe == laenge ? k : -1;
    }

    QString wertLesen(const Tag &tag, Adif::Datensatz &satz)
    {
        const qsizetype nachBytes = byteEnde(tag.laenge);
        const qsizetype nachZeichen = tag.laenge <= n - i ? i + tag.laenge : -1;
        qsizetype ende = -1;
        if (passt(nachBytes))
            ende = nachBytes;
        else if (passt(nachZeichen))
            ende = nachZeichen;
        if (ende < 0) {
            if (nachBytes < 0 && nachZeichen < 0)
                return QStringLiteral("Feld %1: Die Länge %2 reicht über das Ende der Datei hinaus.")
                    .arg(tag.name)
                    .arg(tag.laenge);
            const qsizetype danach = nachBytes >= 0 ? nachBytes : nachZeichen;
            return QStringLiteral("Feld %1: Die Länge %2 passt nicht zum Wert \u201E%3\u201C; danach folgt "
                                  "\u201E%4\u201C statt der nächsten Angabe.")
                .arg(tag.name)
                .arg(tag.laenge)
                .arg(ausschnitt(i, danach - i), ausschnitt(danach, 12));
        }
        const QString wert = QString::fromUcs4(reinterpret_cast<const char32_t *>(t.constData() + i), ende - i);
        const std::optional<QString> vorher = satz.wert(tag.name);
        if (vorher && *vorher != wert)
            return QStringLiteral("Das Feld %1 steht zweimal im Datensatz, mit verschiedenen Werten.").arg(tag.name);
        if (!vorher)
            satz.felder.append({tag.name, wert, tag.typ});
        i = ende;
        return QString();
    }

    // Moves past the next <EOR>, or to the end.
    void hinterEor()
    {
        const qsizetype eor = sucheTag("eor", i);
        i = eor < 0 ? n : eor + 5;
    }

    QString ausschnitt(qsizetype ab, qsizetype laenge) const
    {
        const qsizetype bis = std::min(n, ab + std::max<qsizetype>(0, laenge));
        QString s = QString::fromUcs4(reinterpret_cast<const char32_t *>(t.constData() + ab), bis - ab);
        s.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        return s;
    }

    int zeileBei(qsizetype pos)
    {
        if (pos < m_zeilePos) {
            m_zeilePos = 0;
            m_zeile = 1;
        }
        for (; m_zeilePos < pos; ++m_zeilePos)
            if (t.at(m_zeilePos) == '\n')
                ++m_zeile;
        return m_zeile;
    }

    const Quelle &q;
    const QList<uint> &t;
    const qsizetype n;
    qsizetype i = 0;
    qsizetype m_zeilePos = 0;
    int m_zeile = 1;
};

QByteArray feld(const Adif::Feld &f, bool ascii)
{
    const QByteArray wert = (ascii ? Textkodierung::ascii(f.wert) : f.wert).toUtf8();
    return '<' + f.name.toLatin1() + ':' + QByteArray::number(wert.size()) + '>' + wert;
}

}   // namespace

std::optional<QString> Adif::Datensatz::wert(const QString &name) const
{
    for (const Feld &f : felder)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return f.wert;
    return std::nullopt;
}

void Adif::Datensatz::setze(const QString &name, const QString &wert, char typ)
{
    for (Feld &f : felder)
        if (f.name == name) {
            f.wert = wert;
            f.typ = typ;
            return;
        }
    felder.append({name, wert, typ});
}

QList<Adif::Feld> Adif::kopf(const QDateTime &erstellt)
{
    return {
        {QStringLiteral("ADIF_VER"), QString::fromLatin1(version)},
        {QStringLiteral("PROGRAMID"), QString::fromLatin1(programmId)},
        {QStringLiteral("PROGRAMVERSION"), QStringLiteral(TREMVIK_VERSION)},
        {QStringLiteral("CREATED_TIMESTAMP"), erstellt.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss"))},
    };
}

Adif::Datei Adi::lesen(const QByteArray &daten)
{
    const Quelle q = vorbereiten(daten);
    return Leser(q).lesen();
}

QByteArray Adi::schreiben(const Adif::Datei &datei, bool ascii)
{
    QByteArray aus = "tremvik-tool: Log im ADIF-Format\r\n";
    for (const Adif::Feld &f : datei.kopf)
        aus += feld(f, ascii) + "\r\n";
    aus += "<EOH>\r\n";
    for (const Adif::Datensatz &s : datei.datensaetze) {
        aus += "\r\n";
        for (const Adif::Feld &f : s.felder)
            aus += feld(f, ascii) + ' ';
        aus += "<EOR>";
    }
    aus += "\r\n";
    return aus;
}
