// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/formate/csv.h"

#include "kern/basis/meldetext.h"

#include <QSet>
#include <QStringDecoder>

namespace {

QString fehlerText(int zeile, const QString &grund, const QString &datei)
{
    const QString ort = QStringLiteral("Zeile %1").arg(zeile);
    return datei.isEmpty() ? ort + QStringLiteral(": ") + grund
                           : datei + QStringLiteral(", ") + ort + QStringLiteral(": ") + grund;
}

// The text of the file without its byte order mark. Text that is not UTF-8
// is refused with the first line that holds a wrong byte.
QString entschluesseln(QByteArray daten)
{
    if (daten.startsWith("\xEF\xBB\xBF"))
        daten.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(daten);
    if (!utf8.hasError())
        return text;
    // No byte of a UTF-8 sequence is a line feed, so each line can be tried
    // on its own.
    const QList<QByteArray> zeilen = daten.split('\n');
    for (int i = 0; i < zeilen.size(); ++i) {
        QStringDecoder probe(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString zeile = probe.decode(zeilen.at(i));   // decodes only when assigned
        if (probe.hasError())
            throw Csv::Fehler(i + 1, QStringLiteral("Die Datei ist nicht in UTF-8 geschrieben."));
    }
    throw Csv::Fehler(zeilen.size(), QStringLiteral("Die Datei ist nicht in UTF-8 geschrieben."));
}

bool zeilenende(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

const QChar quote = QLatin1Char('"');

// A plain number as spreadsheets read it: "-5", "+3", "-0,6", ".5".
bool istZahl(QStringView t)
{
    qsizetype k = 0;
    if (k < t.size() && (t.at(k) == QLatin1Char('+') || t.at(k) == QLatin1Char('-')))
        ++k;
    qsizetype ziffern = 0;
    while (k < t.size() && t.at(k).isDigit() && t.at(k).unicode() < 0x80) {
        ++k;
        ++ziffern;
    }
    if (k < t.size() && (t.at(k) == QLatin1Char(',') || t.at(k) == QLatin1Char('.'))) {
        ++k;
        while (k < t.size() && t.at(k).isDigit() && t.at(k).unicode() < 0x80) {
            ++k;
            ++ziffern;
        }
    }
    return ziffern > 0 && k == t.size();
}

// Whether a spreadsheet would take the text for a formula. Apostrophes in
// front do not count, so that a text that starts with our mark is itself
// marked again and the way back stays exact.
bool sieheFormel(QStringView t)
{
    qsizetype k = 0;
    while (k < t.size() && t.at(k) == QLatin1Char('\''))
        ++k;
    const QStringView rest = t.mid(k);
    if (rest.isEmpty())
        return false;
    const QChar c = rest.front();
    const bool anfang = c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('@')
                        || c == QLatin1Char('\t') || c == QLatin1Char('\r');
    return anfang && !istZahl(rest);
}

// Splits text, given piece by piece, into records of fields, each with the
// line on which it begins. Knows nothing of headers.
class Zerleger
{
public:
    Zerleger(Csv::Leser::Quelle quelle, const Csv::Dialekt &dialekt)
        : m_quelle(std::move(quelle)),
          trenner(QLatin1Char(dialekt.trenner)),
          kommentare(dialekt.kommentare),
          formeln(dialekt.formelnAlsText)
    {
    }

    // The next record; false at the end. Of a record of more than
    // hoechstens fields only that many are kept; anzahl counts them all.
    bool satz(Csv::Zeile &felder, int &beginn, qsizetype hoechstens, qsizetype &anzahl)
    {
        // What lies before the record is read and no longer needed.
        if (i > 64 * 1024) {
            s.remove(0, i);
            i = 0;
        }
        while (da()) {
            if (zeilenende(s.at(i))) {   // an empty line
                ueberZeilenende();
                continue;
            }
            if (kommentare && s.at(i) == QLatin1Char('#')) {
                while (da() && !zeilenende(s.at(i)))
                    ++i;
                continue;
            }
            beginn = zeile;
            felder.clear();
            anzahl = 0;
            for (;;) {
                Csv::Feld f = da() && s.at(i) == quote ? zitiert() : schlicht();
                if (formeln && f && f->startsWith(QLatin1Char('\'')) && sieheFormel(*f))
                    f->remove(0, 1);
                if (++anzahl <= hoechstens)
                    felder.append(std::move(f));
                if (da() && s.at(i) == trenner) {
                    ++i;
                    continue;
                }
                break;
            }
            if (da())
                ueberZeilenende();
            return true;
        }
        return false;
    }

private:
    // Whether position i is in the text (loading more if need be).
    bool da() { return da(i); }
    bool da(qsizetype k)
    {
        while (k >= s.size() && !ende) {
            const QString stueck = m_quelle();
            if (stueck.isEmpty())
                ende = true;
            else
                s += stueck;
        }
        return k < s.size();
    }

    // Moves past one line end (LF, CRLF or a lone CR) and counts it.
    void ueberZeilenende()
    {
        if (s.at(i) == QLatin1Char('\r') && da(i + 1) && s.at(i + 1) == QLatin1Char('\n'))
            ++i;
        ++i;
        ++zeile;
    }

    bool feldEnde() { return !da() || s.at(i) == trenner || zeilenende(s.at(i)); }

    void laengePruefen(qsizetype laenge) const
    {
        if (laenge > Csv::hoechstLaenge)
            throw Csv::Fehler(zeile, QStringLiteral("Ein Feld ist länger, als ein Wert sein darf (höchstens %1 "
                                                    "Zeichen).")
                                         .arg(Csv::hoechstLaenge));
    }

    Csv::Feld schlicht()
    {
        const qsizetype anfang = i;
        for (; !feldEnde(); ++i) {
            if (s.at(i) == quote)
                throw Csv::Fehler(zeile, QStringLiteral("Anführungszeichen mitten in einem Feld. Ein Feld mit "
                                                        "Anführungszeichen muss ganz in Anführungszeichen stehen, "
                                                        "und die inneren werden verdoppelt (\"\")."));
            laengePruefen(i - anfang);
        }
        return i == anfang ? Csv::Feld() : Csv::Feld(s.mid(anfang, i - anfang));
    }

    Csv::Feld zitiert()
    {
        const int geoeffnet = zeile;
        QString wert;
        ++i;
        for (;;) {
            if (!da())
                throw Csv::Fehler(
                    geoeffnet,
                    QStringLiteral("Das Anführungszeichen, das hier ein Feld öffnet, wird nicht mehr geschlossen."));
            const QChar c = s.at(i++);
            if (c != quote) {
                // A line break inside quotes belongs to the value but still
                // counts as a line of the file.
                if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && (!da() || s.at(i) != QLatin1Char('\n'))))
                    ++zeile;
                wert += c;
                laengePruefen(wert.size());
            } else if (da() && s.at(i) == quote) {
                wert += quote;
                ++i;
            } else {
                break;
            }
        }
        if (!feldEnde())
            throw Csv::Fehler(zeile, QStringLiteral("Nach dem schließenden Anführungszeichen eines Feldes folgt "
                                                    "weder %1 noch das Zeilenende.")
                                         .arg(trenner == QLatin1Char(';') ? QStringLiteral("ein Semikolon")
                                                                          : QStringLiteral("ein Komma")));
        return wert;
    }

    Csv::Leser::Quelle m_quelle;
    QString s;
    bool ende = false;
    const QChar trenner;
    const bool kommentare;
    const bool formeln;
    qsizetype i = 0;
    int zeile = 1;
};

QStringList kopfPruefen(const Csv::Zeile &kopf, int kopfZeile)
{
    QStringList namen;
    QSet<QString> gesehen;
    for (int k = 0; k < kopf.size(); ++k) {
        const QString name = kopf.at(k).value_or(QString()).trimmed();
        if (name.isEmpty())
            throw Csv::Fehler(kopfZeile, QStringLiteral("Die Spalte %1 der Kopfzeile hat keinen Namen.").arg(k + 1));
        if (gesehen.contains(name.toCaseFolded()))
            throw Csv::Fehler(
                kopfZeile, QStringLiteral("Die Spalte %1 steht zweimal in der Kopfzeile.").arg(Meldetext::zitat(name)));
        gesehen.insert(name.toCaseFolded());
        namen.append(name);
    }
    return namen;
}

}   // namespace

Csv::Fehler::Fehler(int zeile, const QString &grund, const QString &datei)
    : DatenFehler(fehlerText(zeile, grund, datei)), m_zeile(zeile), m_grund(grund)
{
}

Csv::Tabelle Csv::lesen(const QByteArray &daten)
{
    return lesen(daten, Dialekt());
}

Csv::Tabelle Csv::lesen(const QByteArray &daten, const Dialekt &dialekt)
{
    return lesenText(entschluesseln(daten), dialekt);
}

struct Csv::Leser::Zustand
{
    Zerleger zerleger;
    QStringList kopf;
    int kopfZeile = 1;
    bool zeilenGelesen = false;

    Zustand(Quelle quelle, const Dialekt &dialekt) : zerleger(std::move(quelle), dialekt) { }
};

Csv::Leser::Leser(Quelle quelle, const Dialekt &dialekt) : d(std::make_unique<Zustand>(std::move(quelle), dialekt))
{
    Zeile k;
    qsizetype anzahl = 0;
    if (!d->zerleger.satz(k, d->kopfZeile, hoechstSpalten, anzahl))
        throw Fehler(
            1,
            QStringLiteral(
                "Die Datei ist leer; erwartet wird eine Kopfzeile mit den Spaltennamen und darunter die Datensätze."));
    if (anzahl > hoechstSpalten)
        throw Fehler(d->kopfZeile, QStringLiteral("Die Kopfzeile hat %1 Spalten; gelesen werden höchstens %2.")
                                       .arg(anzahl)
                                       .arg(hoechstSpalten));
    d->kopf = kopfPruefen(k, d->kopfZeile);
}

Csv::Leser::~Leser() = default;

const QStringList &Csv::Leser::kopf() const
{
    return d->kopf;
}

int Csv::Leser::kopfZeile() const
{
    return d->kopfZeile;
}

std::optional<Csv::Zeile> Csv::Leser::naechste(int &zeile)
{
    Zeile z;
    qsizetype anzahl = 0;
    if (!d->zerleger.satz(z, zeile, d->kopf.size(), anzahl)) {
        if (!d->zeilenGelesen)
            throw Fehler(d->kopfZeile + 1, QStringLiteral("Nach der Kopfzeile folgt kein Datensatz."));
        return std::nullopt;
    }
    if (anzahl != d->kopf.size())
        throw Fehler(
            zeile,
            QStringLiteral("Der Datensatz hat %1 Felder, die Kopfzeile aber %2.").arg(anzahl).arg(d->kopf.size()));
    d->zeilenGelesen = true;
    return z;
}

Csv::Tabelle Csv::lesenText(const QString &text, const Dialekt &dialekt)
{
    QStringView ohneBom(text);
    if (ohneBom.startsWith(QChar::ByteOrderMark))
        ohneBom = ohneBom.mid(1);
    bool gegeben = false;
    Leser leser(
        [&]() {
            if (gegeben)
                return QString();
            gegeben = true;
            return ohneBom.toString();
        },
        dialekt);
    Tabelle t;
    t.kopf = leser.kopf();
    t.kopfZeile = leser.kopfZeile();
    int zeile = 0;
    while (auto z = leser.naechste(zeile)) {
        t.zeilen.append(std::move(*z));
        t.zeilenNummern.append(zeile);
    }
    return t;
}

char Csv::trennerErkennen(const QString &text)
{
    // The first line that is neither empty nor a comment (a quoted field
    // may hold a line break, which this count does not mind).
    QStringView zeile;
    for (const QStringView z : QStringView(text).split(QLatin1Char('\n'))) {
        const QStringView t = z.trimmed();
        const bool bom = t.startsWith(QChar::ByteOrderMark);
        const QStringView inhalt = bom ? t.mid(1) : t;
        if (!inhalt.isEmpty() && !inhalt.startsWith(QLatin1Char('#'))) {
            zeile = inhalt;
            break;
        }
    }
    int semikolon = 0, komma = 0;
    bool inQuotes = false;
    for (const QChar c : zeile) {
        if (c == quote)
            inQuotes = !inQuotes;
        else if (!inQuotes && c == QLatin1Char(';'))
            ++semikolon;
        else if (!inQuotes && c == QLatin1Char(','))
            ++komma;
    }
    return semikolon > komma ? ';' : ',';
}

QByteArray Csv::feld(const Feld &wert, char trenner, bool formelnAlsText)
{
    if (!wert)
        return QByteArray();
    const QByteArray text =
        formelnAlsText && sieheFormel(*wert) ? (QLatin1Char('\'') + *wert).toUtf8() : wert->toUtf8();
    // An empty text is written as "" so that it stays apart from NULL.
    bool inQuotes = text.isEmpty();
    for (const char c : text)
        if (c == trenner || c == '"' || c == '\n' || c == '\r') {
            inQuotes = true;
            break;
        }
    if (!inQuotes)
        return text;
    QByteArray aus = "\"";
    aus += QByteArray(text).replace("\"", "\"\"");
    aus += '"';
    return aus;
}

QByteArray Csv::zeile(const Zeile &felder, const Dialekt &dialekt)
{
    QByteArray aus;
    for (int i = 0; i < felder.size(); ++i) {
        if (i > 0)
            aus += dialekt.trenner;
        QByteArray f = feld(felder.at(i), dialekt.trenner, dialekt.formelnAlsText);
        if (i == 0 && f.startsWith('#'))
            f = '"' + f + '"';
        aus += f;
    }
    // A line of one NULL field would be an empty line, which reading skips.
    if (felder.size() == 1 && !felder.first())
        aus = "\"\"";
    aus += dialekt.zeilenende;
    return aus;
}

QByteArray Csv::schreiben(const QStringList &kopf, const QList<Zeile> &zeilen, const Dialekt &dialekt)
{
    Zeile k;
    for (const QString &name : kopf)
        k.append(name);
    QByteArray aus = zeile(k, dialekt);
    for (const Zeile &z : zeilen)
        aus += zeile(z, dialekt);
    return aus;
}
