#include "kern/austausch/logcsv.h"

#include "kern/formate/textkodierung.h"
#include "kern/basis/frequenz.h"

namespace {

const QString rtfSpalte = QStringLiteral("Bemerkung (RTF)");

// The column of the log a header name means: caption or column name.
int spalteZu(const QString &name)
{
    for (int c = 0; c < Logeintrag::anzahl; ++c)
        if (name.compare(Logeintrag::beschriftungen().at(c), Qt::CaseInsensitive) == 0
            || name.compare(Logeintrag::spalten().at(c), Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

Csv::Feld frequenzFuer(const Logeintrag::Wert &wert, LogCsv::Dialekt dialekt)
{
    if (!wert || dialekt == LogCsv::Dialekt::Deutsch || !Frequenz::hertz(*wert))
        return wert;
    return QString(*wert).replace(QLatin1Char(','), QLatin1Char('.'));
}

}   // namespace

QStringList LogCsv::kopf()
{
    return Logeintrag::beschriftungen() + QStringList{rtfSpalte};
}

QByteArray LogCsv::schreiben(const QList<Logeintrag> &eintraege, Dialekt dialekt)
{
    Csv::Dialekt d;
    d.trenner = dialekt == Dialekt::Deutsch ? ';' : ',';
    d.zeilenende = "\r\n";
    QList<Csv::Zeile> zeilen;
    zeilen.reserve(eintraege.size());
    for (const Logeintrag &e : eintraege) {
        Csv::Zeile z;
        for (int c = 0; c < Logeintrag::bemerkung; ++c)
            z.append(c == Logeintrag::frequenz ? frequenzFuer(e.werte[c], dialekt) : e.werte[c]);
        const Logeintrag::Wert &rtf = e[Logeintrag::bemerkung];
        z.append(rtf ? Csv::Feld(Logdaten::bemerkungAlsText(*rtf)) : Csv::Feld());
        z.append(rtf);
        zeilen.append(z);
    }
    QByteArray aus = dialekt == Dialekt::Deutsch ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    return aus + Csv::schreiben(kopf(), zeilen, d);
}

LogCsv::Gelesen LogCsv::lesen(const QByteArray &daten)
{
    Gelesen g;
    const Textkodierung::Text text = Textkodierung::dekodieren(daten);
    g.windows1252 = text.windows1252;
    Csv::Dialekt d;
    d.trenner = Csv::trennerErkennen(text.text);
    const Csv::Tabelle t = Csv::lesenText(text.text, d);

    QList<int> spalten;   // the log column of each column of the file; -1: none, anzahl: the RTF
    bool etwas = false;
    for (const QString &name : t.kopf) {
        int c = spalteZu(name);
        if (name.compare(rtfSpalte, Qt::CaseInsensitive) == 0)
            c = Logeintrag::anzahl;
        if (c < 0)
            g.uebergangen.append(name);
        etwas = etwas || c >= 0;
        spalten.append(c);
    }
    if (!etwas)
        throw Csv::Fehler(t.kopfZeile, QStringLiteral("Die Kopfzeile nennt keine Spalte des Logs (erwartet werden "
                                                      "etwa CallSign, Datum, Frequenz)."));

    for (int r = 0; r < t.zeilen.size(); ++r) {
        Logdaten::Importsatz s;
        s.nummer = r + 1;
        s.zeile = t.zeilenNummern.at(r);
        Logeintrag::Wert rtf, bemerkung;
        bool leer = true;
        for (int k = 0; k < spalten.size(); ++k) {
            const Csv::Feld &f = t.zeilen.at(r).at(k);
            leer = leer && !f;
            if (spalten.at(k) == Logeintrag::anzahl)
                rtf = f;
            else if (spalten.at(k) == Logeintrag::bemerkung)
                bemerkung = f;
            else if (spalten.at(k) >= 0)
                s.eintrag.werte[spalten.at(k)] = f;
        }
        Logeintrag::Wert &freq = s.eintrag[Logeintrag::frequenz];
        if (freq && !freq->contains(QLatin1Char(',')) && Frequenz::hertz(*freq))
            freq->replace(QLatin1Char('.'), QLatin1Char(','));
        if (rtf)
            s.eintrag[Logeintrag::bemerkung] = rtf;
        else if (bemerkung)
            s.eintrag[Logeintrag::bemerkung] = Logdaten::bemerkungAusText(*bemerkung);
        if (!leer)   // spreadsheets leave rows of nothing but separators
            g.saetze.append(s);
    }
    return g;
}
