#include "lists/csv.h"

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

}   // namespace

Csv::Fehler::Fehler(int zeile, const QString &grund, const QString &datei)
    : DatenFehler(fehlerText(zeile, grund, datei)), m_zeile(zeile), m_grund(grund)
{
}

Csv::Tabelle Csv::lesen(const QByteArray &daten)
{
    const QString s = entschluesseln(daten);
    const qsizetype n = s.size();
    const QChar quote = QLatin1Char('"'), komma = QLatin1Char(',');

    QList<Zeile> saetze;
    QList<int> nummern;
    int zeile = 1;
    qsizetype i = 0;

    // Moves past one line end (LF, CRLF or a lone CR) and counts it.
    auto ueberZeilenende = [&] {
        if (s.at(i) == QLatin1Char('\r') && i + 1 < n && s.at(i + 1) == QLatin1Char('\n'))
            ++i;
        ++i;
        ++zeile;
    };

    while (i < n) {
        if (zeilenende(s.at(i))) {   // an empty line
            ueberZeilenende();
            continue;
        }
        const int beginn = zeile;
        Zeile satz;
        for (;;) {
            if (i < n && s.at(i) == quote) {
                const int geoeffnet = zeile;
                QString wert;
                ++i;
                for (;;) {
                    if (i >= n)
                        throw Fehler(
                            geoeffnet,
                            QStringLiteral(
                                "Das Anführungszeichen, das hier ein Feld öffnet, wird nicht mehr geschlossen."));
                    const QChar c = s.at(i);
                    if (c == quote) {
                        if (i + 1 < n && s.at(i + 1) == quote) {
                            wert += quote;
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    // A line break inside quotes belongs to the value but
                    // still counts as a line of the file.
                    if (c == QLatin1Char('\n')
                        || (c == QLatin1Char('\r') && (i + 1 >= n || s.at(i + 1) != QLatin1Char('\n'))))
                        ++zeile;
                    wert += c;
                    ++i;
                }
                if (i < n && s.at(i) != komma && !zeilenende(s.at(i)))
                    throw Fehler(zeile, QStringLiteral("Nach dem schließenden Anführungszeichen eines Feldes folgt "
                                                       "weder ein Komma noch das Zeilenende."));
                satz.append(wert);
            } else {
                const qsizetype anfang = i;
                while (i < n && s.at(i) != komma && !zeilenende(s.at(i))) {
                    if (s.at(i) == quote)
                        throw Fehler(
                            zeile,
                            QStringLiteral(
                                "Anführungszeichen mitten in einem Feld. Ein Feld mit Anführungszeichen muss ganz "
                                "in Anführungszeichen stehen, und die inneren werden verdoppelt (\"\")."));
                    ++i;
                }
                satz.append(i == anfang ? Feld() : Feld(s.mid(anfang, i - anfang)));
            }
            if (i < n && s.at(i) == komma) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n)
            ueberZeilenende();
        saetze.append(satz);
        nummern.append(beginn);
    }

    if (saetze.isEmpty())
        throw Fehler(
            1,
            QStringLiteral(
                "Die Datei ist leer; erwartet wird eine Kopfzeile mit den Spaltennamen und darunter die Datensätze."));

    Tabelle t;
    const Zeile &kopf = saetze.first();
    const int kopfZeile = nummern.first();
    t.kopfZeile = kopfZeile;
    for (int k = 0; k < kopf.size(); ++k) {
        const QString name = kopf.at(k).value_or(QString()).trimmed();
        if (name.isEmpty())
            throw Fehler(kopfZeile, QStringLiteral("Die Spalte %1 der Kopfzeile hat keinen Namen.").arg(k + 1));
        for (const QString &vorher : std::as_const(t.kopf))
            if (vorher.compare(name, Qt::CaseInsensitive) == 0)
                throw Fehler(kopfZeile,
                             QStringLiteral("Die Spalte \u201E%1\u201C steht zweimal in der Kopfzeile.").arg(name));
        t.kopf.append(name);
    }
    if (saetze.size() == 1)
        throw Fehler(kopfZeile + 1, QStringLiteral("Nach der Kopfzeile folgt kein Datensatz."));

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

QByteArray Csv::feld(const Feld &wert)
{
    if (!wert)
        return QByteArray();
    const QByteArray text = wert->toUtf8();
    // An empty text is written as "" so that it stays apart from NULL.
    bool inQuotes = text.isEmpty();
    for (const char c : text)
        if (c == ',' || c == '"' || c == '\n' || c == '\r') {
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

QByteArray Csv::zeile(const Zeile &felder)
{
    QByteArray aus;
    for (int i = 0; i < felder.size(); ++i) {
        if (i > 0)
            aus += ',';
        aus += feld(felder.at(i));
    }
    // A line of one NULL field would be an empty line, which reading skips.
    if (felder.size() == 1 && !felder.first())
        aus = "\"\"";
    aus += '\n';
    return aus;
}

QByteArray Csv::schreiben(const QStringList &kopf, const QList<Zeile> &zeilen)
{
    Zeile k;
    for (const QString &name : kopf)
        k.append(name);
    QByteArray aus = zeile(k);
    for (const Zeile &z : zeilen)
        aus += zeile(z);
    return aus;
}
