// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/formate/adif.h"

#include "kern/basis/meldetext.h"
#include "kern/formate/textkodierung.h"
#include "kern/formate/textquelle.h"

#include <QBuffer>
#include <QHash>

#include <string>

namespace {

bool leer(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

char32_t klein(char32_t c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

bool namensZeichen(char32_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// A tag is at most this long; what runs longer is no tag.
constexpr qsizetype hoechstTag = 4096;
// A header is at most this long; a file without <EOH> that far has none.
constexpr qsizetype hoechstKopf = 1024 * 1024;
// How far blanks after a value are looked through for the next tag.
constexpr qsizetype hoechstLeer = 64 * 1024;

struct Tag
{
    QString name;   // in capitals
    bool mitLaenge = false;
    bool ohneLaenge = false;   // a tag that carries no value (not EOH, EOR)
    qint64 laenge = 0;
    char typ = 0;
};

}   // namespace

// The text as code points in a window that moves along the file: what lies
// behind the position being read is dropped, once its lines are counted.
struct Adi::Leser::Zustand
{
    Textquelle &quelle;
    const bool windows1252;
    std::u32string puffer;
    qsizetype basis = 0;   // the position of puffer[0] in the text
    bool ende = false;
    qsizetype i = 0;
    qsizetype zeilePos = 0;
    int zeile = 1;
    int nummer = 0;
    QList<Adif::Feld> kopf;
    QMap<QString, int> ohneLaenge;

    explicit Zustand(Textquelle &q) : quelle(q), windows1252(q.windows1252()) { }

    // Whether position k is in the text (loading it if need be).
    bool da(qsizetype k)
    {
        while (k >= basis + qsizetype(puffer.size())) {
            if (ende)
                return false;
            const QString stueck = quelle.naechstes();
            if (stueck.isEmpty()) {
                ende = true;
                return false;
            }
            for (qsizetype j = 0; j < stueck.size(); ++j) {
                const QChar c = stueck.at(j);
                if (c.isHighSurrogate() && j + 1 < stueck.size() && stueck.at(j + 1).isLowSurrogate()) {
                    puffer.push_back(QChar::surrogateToUcs4(c, stueck.at(j + 1)));
                    ++j;
                } else {
                    puffer.push_back(c.unicode());
                }
            }
        }
        return true;
    }
    char32_t at(qsizetype k) const { return puffer[size_t(k - basis)]; }

    // Drops the text before bis, which is no longer needed.
    void verwerfen(qsizetype bis)
    {
        bis = std::min(bis, basis + qsizetype(puffer.size()));
        if (bis - basis < 64 * 1024)
            return;
        zeileBei(bis);
        puffer.erase(0, size_t(bis - basis));
        basis = bis;
    }

    int zeileBei(qsizetype pos)
    {
        for (; zeilePos < pos; ++zeilePos)
            if (at(zeilePos) == '\n')
                ++zeile;
        return zeile;
    }

    // The next c from ab on, or -1; drops what it passes.
    qsizetype suche(char32_t c, qsizetype ab)
    {
        for (qsizetype k = ab; da(k); ++k) {
            if (at(k) == c)
                return k;
            if ((k & 0xFFFF) == 0)
                verwerfen(k);
        }
        return -1;
    }

    // The position of "<eoh>" or "<eor>" (any letter case) from ab on, or
    // -1; looks no further than bis (-1: to the end).
    qsizetype sucheTag(const char *name, qsizetype ab, qsizetype bis = -1)
    {
        for (qsizetype k = ab; da(k) && (bis < 0 || k < bis); ++k) {
            if (at(k) == '<' && da(k + 4) && klein(at(k + 1)) == char32_t(name[0])
                && klein(at(k + 2)) == char32_t(name[1]) && klein(at(k + 3)) == char32_t(name[2]) && at(k + 4) == '>')
                return k;
            if (bis < 0 && (k & 0xFFFF) == 0)
                verwerfen(k);
        }
        return -1;
    }

    QString text(qsizetype ab, qsizetype bis) const
    {
        return QString::fromUcs4(puffer.data() + (ab - basis), bis - ab);
    }

    // At most a message's excerpt of the text from ab on, up to bis.
    QString ausschnitt(qsizetype ab, qsizetype bis)
    {
        qsizetype k = ab;
        while (k < bis && k - ab <= Meldetext::auszug && da(k))
            ++k;
        return Meldetext::zitat(text(ab, k));
    }

    // A file that does not begin with '<' has a header up to <EOH>; its
    // free text is skipped, its fields kept.
    void kopfUeberspringen()
    {
        if (!da(0) || at(0) == '<')
            return;
        const qsizetype eoh = sucheTag("eoh", 0, hoechstKopf);
        if (eoh < 0)
            return;   // no header after all: the records start at the first tag
        Adif::Datensatz kopfSatz;
        QHash<QString, qsizetype> namen;
        for (qsizetype lt = suche('<', 0); lt >= 0 && lt < eoh; lt = suche('<', i)) {
            i = lt;
            Tag tag;
            if (!tagLesen(tag).isEmpty() || (tag.mitLaenge && !wertLesen(tag, kopfSatz, namen).isEmpty()))
                i = lt + 1;   // free text that happens to hold a '<'
        }
        kopf = kopfSatz.felder;
        i = eoh + 5;
    }

    // Reads the tag at i ('<') and moves past its '>'.
    QString tagLesen(Tag &tag)
    {
        const qsizetype anfang = i;
        qsizetype k = anfang + 1;
        while (da(k) && k - anfang < hoechstTag && at(k) != '>' && at(k) != '<' && at(k) != '\n')
            ++k;
        if (!da(k) || at(k) != '>') {
            i = anfang + 1;
            return QStringLiteral("Die Angabe %1 ist nicht abgeschlossen (es fehlt \u201E>\u201C).")
                .arg(ausschnitt(anfang, k));
        }
        i = k + 1;
        // name[:length[:type]], parts found without copying the text first.
        qsizetype teile[3] = {anfang + 1, -1, -1};
        int anzahl = 1;
        for (qsizetype j = anfang + 1; j < k; ++j)
            if (at(j) == ':') {
                if (anzahl == 3) {
                    anzahl = 4;
                    break;
                }
                teile[anzahl++] = j + 1;
            }
        auto teil = [&](int t) {
            const qsizetype bis = t + 1 < anzahl && t + 1 < 3 ? teile[t + 1] - 1 : k;
            return text(teile[t], bis).trimmed();
        };
        tag.name = teil(0).toUpper();
        bool gueltig = !tag.name.isEmpty();
        for (const QChar c : std::as_const(tag.name))
            gueltig = gueltig && namensZeichen(c.unicode());
        auto roh = [&] { return Meldetext::zitat(text(anfang, k + 1)); };
        if (!gueltig || anzahl > 3)
            return QStringLiteral("Die Angabe %1 ist kein ADIF-Feld.").arg(roh());
        if (anzahl == 1) {
            tag.ohneLaenge = tag.name != QLatin1String("EOR") && tag.name != QLatin1String("EOH");
            return QString();
        }
        const QString laenge = teil(1);
        bool zahl = false;
        tag.laenge = laenge.toLongLong(&zahl);
        if (!zahl || tag.laenge < 0 || laenge.startsWith(QLatin1Char('+')))
            return QStringLiteral("Das Feld %1 hat keine gültige Länge.").arg(roh());
        if (tag.laenge > Adif::hoechstLaenge)
            return QStringLiteral("Das Feld %1 ist länger, als ein Wert sein darf (höchstens %2 Zeichen).")
                .arg(tag.name)
                .arg(Adif::hoechstLaenge);
        tag.mitLaenge = true;
        if (anzahl == 3) {
            const QString typ = teil(2);
            if (typ.size() == 1)
                tag.typ = typ.at(0).toUpper().toLatin1();
        }
        return QString();
    }

    // Whether a value may end at ende with nothing but blanks up to the
    // next tag or the end of the file.
    bool passt(qsizetype ende)
    {
        if (ende < 0)
            return false;
        for (qsizetype k = ende; da(k) && k - ende < hoechstLeer; ++k) {
            if (at(k) == '<')
                return true;
            if (!leer(at(k)))
                return false;
        }
        return true;
    }

    // Whether a value may end at ende with text after it that is no data:
    // a blank or a line break parts it from the value, and the value does
    // not swallow a tag ("<NAME:4>" or <EOR>).
    bool kommentarDanach(qsizetype anfang, qsizetype ende)
    {
        if (ende < 0 || !da(ende) || !leer(at(ende)))
            return false;
        for (qsizetype k = anfang; k < ende; ++k) {
            if (at(k) != '<')
                continue;
            qsizetype j = k + 1;
            while (j < ende && namensZeichen(at(j)))
                ++j;
            if (j == k + 1 || j >= ende)
                continue;
            const QString name = text(k + 1, j).toUpper();
            if (at(j) == '>' && (name == QLatin1String("EOR") || name == QLatin1String("EOH")))
                return false;
            if (at(j) == ':' && j + 1 < ende && at(j + 1) >= '0' && at(j + 1) <= '9')
                return false;
        }
        return true;
    }

    qsizetype bytes(char32_t c) const { return windows1252 ? 1 : c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

    // The end of a value of laenge bytes from i, or -1 where that ends in
    // the middle of a character or beyond the file.
    qsizetype byteEnde(qint64 laenge)
    {
        qsizetype k = i;
        qint64 summe = 0;
        while (summe < laenge && da(k))
            summe += bytes(at(k++));
        return summe == laenge ? k : -1;
    }

    QString wertLesen(const Tag &tag, Adif::Datensatz &satz, QHash<QString, qsizetype> &namen)
    {
        const qsizetype nachBytes = byteEnde(tag.laenge);
        const qsizetype nachZeichen = da(i + tag.laenge - 1) || tag.laenge == 0 ? i + tag.laenge : -1;
        qsizetype ende = -1;
        if (passt(nachBytes))
            ende = nachBytes;
        else if (passt(nachZeichen))
            ende = nachZeichen;
        else if (kommentarDanach(i, nachBytes))
            ende = nachBytes;
        else if (kommentarDanach(i, nachZeichen))
            ende = nachZeichen;
        if (ende < 0) {
            if (nachBytes < 0 && nachZeichen < 0)
                return QStringLiteral("Feld %1: Die Länge %2 reicht über das Ende der Datei hinaus.")
                    .arg(tag.name)
                    .arg(tag.laenge);
            const qsizetype danach = nachBytes >= 0 ? nachBytes : nachZeichen;
            return QStringLiteral("Feld %1: Die Länge %2 passt nicht zum Wert %3; danach folgt %4 statt der "
                                  "nächsten Angabe.")
                .arg(tag.name)
                .arg(tag.laenge)
                .arg(ausschnitt(i, danach), ausschnitt(danach, danach + 12));
        }
        const QString wert = text(i, ende);
        i = ende;
        const auto vorher = namen.constFind(tag.name);
        if (vorher != namen.constEnd()) {
            if (satz.felder.at(*vorher).wert != wert)
                return QStringLiteral("Das Feld %1 steht zweimal im Datensatz, mit verschiedenen Werten.")
                    .arg(tag.name);
            return QString();
        }
        if (satz.felder.size() >= Adif::hoechstFelder)
            return QStringLiteral("Der Datensatz hat mehr als %1 Felder.").arg(Adif::hoechstFelder);
        namen.insert(tag.name, satz.felder.size());
        satz.felder.append({tag.name, wert, tag.typ});
        return QString();
    }

    // Moves past the next <EOR>, or to the end.
    void hinterEor()
    {
        const qsizetype eor = sucheTag("eor", i);
        if (eor >= 0) {
            i = eor + 5;
            return;
        }
        while (da(i))
            verwerfen(++i);
    }

    std::optional<Adif::Datensatz> naechster()
    {
        Adif::Datensatz satz;
        QHash<QString, qsizetype> namen;
        bool imSatz = false;
        auto abschliessen = [&] {
            satz.nummer = ++nummer;
            return std::optional<Adif::Datensatz>(std::move(satz));
        };
        for (;;) {
            const qsizetype lt = suche('<', i);
            if (lt < 0)
                break;
            if (!imSatz) {
                verwerfen(lt);
                satz.zeile = zeileBei(lt);
                imSatz = true;
            }
            i = lt;
            Tag tag;
            QString fehler = tagLesen(tag);
            if (fehler.isEmpty() && tag.mitLaenge)
                fehler = wertLesen(tag, satz, namen);
            if (!fehler.isEmpty()) {
                satz.fehler = fehler;
                hinterEor();
                return abschliessen();
            }
            if (tag.ohneLaenge) {
                ++ohneLaenge[Meldetext::ausschnitt(tag.name)];
                imSatz = !satz.felder.isEmpty();
            } else if (tag.name == QLatin1String("EOR")) {
                if (!satz.felder.isEmpty())
                    return abschliessen();
                imSatz = false;   // an empty record is no record
            } else if (tag.name == QLatin1String("EOH")) {
                kopf = satz.felder;   // the header began with a tag
                satz = Adif::Datensatz();
                namen.clear();
                imSatz = false;
            }
        }
        if (imSatz && !satz.felder.isEmpty()) {
            satz.fehler = QStringLiteral("Der Datensatz endet ohne <EOR>.");
            return abschliessen();
        }
        return std::nullopt;
    }
};

Adi::Leser::Leser(Textquelle &quelle) : d(std::make_unique<Zustand>(quelle))
{
    d->kopfUeberspringen();
}

Adi::Leser::~Leser() = default;

std::optional<Adif::Datensatz> Adi::Leser::naechster()
{
    return d->naechster();
}

const QList<Adif::Feld> &Adi::Leser::kopf() const
{
    return d->kopf;
}

const QMap<QString, int> &Adi::Leser::ohneLaenge() const
{
    return d->ohneLaenge;
}

namespace {

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
    QByteArray kopie(daten);
    QBuffer puffer(&kopie);
    puffer.open(QIODevice::ReadOnly);
    Textquelle quelle(puffer);
    Leser leser(quelle);
    Adif::Datei d;
    d.windows1252 = quelle.windows1252();
    while (auto s = leser.naechster())
        d.datensaetze.append(std::move(*s));
    d.kopf = leser.kopf();
    d.ohneLaenge = leser.ohneLaenge();
    return d;
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
