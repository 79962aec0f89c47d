#include "kern/formate/csv.h"

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

// Splits the text into records of fields, each with the line on which it
// begins. Knows nothing of headers.
class Zerleger
{
public:
    Zerleger(const QString &text, const Csv::Dialekt &dialekt)
        : s(text), n(text.size()), trenner(QLatin1Char(dialekt.trenner)), kommentare(dialekt.kommentare)
    {
    }

    void alle(QList<Csv::Zeile> &saetze, QList<int> &nummern)
    {
        while (i < n) {
            if (zeilenende(s.at(i))) {   // an empty line
                ueberZeilenende();
                continue;
            }
            if (kommentare && s.at(i) == QLatin1Char('#')) {
                while (i < n && !zeilenende(s.at(i)))
                    ++i;
                continue;
            }
            nummern.append(zeile);
            saetze.append(satz());
        }
    }

private:
    // Moves past one line end (LF, CRLF or a lone CR) and counts it.
    void ueberZeilenende()
    {
        if (s.at(i) == QLatin1Char('\r') && i + 1 < n && s.at(i + 1) == QLatin1Char('\n'))
            ++i;
        ++i;
        ++zeile;
    }

    bool feldEnde() const { return i >= n || s.at(i) == trenner || zeilenende(s.at(i)); }

    Csv::Zeile satz()
    {
        Csv::Zeile felder;
        for (;;) {
            felder.append(i < n && s.at(i) == quote ? zitiert() : schlicht());
            if (i < n && s.at(i) == trenner) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n)
            ueberZeilenende();
        return felder;
    }

    Csv::Feld schlicht()
    {
        const qsizetype anfang = i;
        for (; !feldEnde(); ++i)
            if (s.at(i) == quote)
                throw Csv::Fehler(zeile, QStringLiteral("Anführungszeichen mitten in einem Feld. Ein Feld mit "
                                                        "Anführungszeichen muss ganz in Anführungszeichen stehen, "
                                                        "und die inneren werden verdoppelt (\"\")."));
        return i == anfang ? Csv::Feld() : Csv::Feld(s.mid(anfang, i - anfang));
    }

    Csv::Feld zitiert()
    {
        const int geoeffnet = zeile;
        QString wert;
        ++i;
        for (;;) {
            if (i >= n)
                throw Csv::Fehler(
                    geoeffnet,
                    QStringLiteral("Das Anführungszeichen, das hier ein Feld öffnet, wird nicht mehr geschlossen."));
            const QChar c = s.at(i++);
            if (c != quote) {
                // A line break inside quotes belongs to the value but still
                // counts as a line of the file.
                if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && (i >= n || s.at(i) != QLatin1Char('\n'))))
                    ++zeile;
                wert += c;
            } else if (i < n && s.at(i) == quote) {
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

    const QString &s;
    const qsizetype n;
    const QChar trenner;
    const bool kommentare;
    qsizetype i = 0;
    int zeile = 1;
};

QStringList kopfPruefen(const Csv::Zeile &kopf, int kopfZeile)
{
    QStringList namen;
    for (int k = 0; k < kopf.size(); ++k) {
        const QString name = kopf.at(k).value_or(QString()).trimmed();
        if (name.isEmpty())
            throw Csv::Fehler(kopfZeile, QStringLiteral("Die Spalte %1 der Kopfzeile hat keinen Namen.").arg(k + 1));
        if (namen.contains(name, Qt::CaseInsensitive))
            throw Csv::Fehler(kopfZeile,
                              QStringLiteral("Die Spalte \u201E%1\u201C steht zweimal in der Kopfzeile.").arg(name));
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

Csv::Tabelle Csv::lesenText(const QString &text, const Dialekt &dialekt)
{
    QStringView ohneBom(text);
    if (ohneBom.startsWith(QChar::ByteOrderMark))
        ohneBom = ohneBom.mid(1);
    const QString s = ohneBom.toString();
    QList<Zeile> saetze;
    QList<int> nummern;
    Zerleger(s, dialekt).alle(saetze, nummern);

    if (saetze.isEmpty())
        throw Fehler(
            1,
            QStringLiteral(
                "Die Datei ist leer; erwartet wird eine Kopfzeile mit den Spaltennamen und darunter die Datensätze."));

    Tabelle t;
    t.kopfZeile = nummern.first();
    t.kopf = kopfPruefen(saetze.first(), t.kopfZeile);
    if (saetze.size() == 1)
        throw Fehler(t.kopfZeile + 1, QStringLiteral("Nach der Kopfzeile folgt kein Datensatz."));

    for (int r = 1; r < saetze.size(); ++r) {
        if (saetze.at(r).size() != t.kopf.size())
            throw Fehler(nummern.at(r), QStringLiteral("Der Datensatz hat %1 Felder, die Kopfzeile aber %2.")
                                            .arg(saetze.at(r).size())
                                            .arg(t.kopf.size()));
        t.zeilen.append(saetze.at(r));
        t.zeilenNummern.append(nummern.at(r));
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

QByteArray Csv::feld(const Feld &wert, char trenner)
{
    if (!wert)
        return QByteArray();
    const QByteArray text = wert->toUtf8();
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
        QByteArray f = feld(felder.at(i), dialekt.trenner);
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
