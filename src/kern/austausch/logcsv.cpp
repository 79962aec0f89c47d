// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/austausch/logcsv.h"

#include "kern/basis/frequenz.h"
#include "kern/bestaende/logdatum.h"
#include "kern/formate/textkodierung.h"

#include <QRegularExpression>

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

struct LogCsv::Leser::Zustand
{
    std::unique_ptr<Csv::Leser> csv;
    QList<int> spalten;   // the log column of each column of the file; -1: none, anzahl: the RTF
    QStringList uebergangen;
    QDate heute;
    int nummer = 0;
    int zweistellig = 0;

    // A spreadsheet's date and time in the log's form.
    void zeitenLesen(Logeintrag &e)
    {
        static const QRegularExpression eigeneForm(QStringLiteral("^\\s*\\d{1,2}\\.\\d{1,2}\\.\\d{4}\\s*$"));
        static const QRegularExpression eigeneZeit(QStringLiteral("^\\s*\\d{1,2}:\\d{2}(:\\d{2})?\\s*$"));
        static const QRegularExpression zweiStellen(QStringLiteral("^\\s*\\d{1,2}\\.\\d{1,2}\\.\\d{2}(\\D|$)"));
        Logeintrag::Wert &datum = e[Logeintrag::datum];
        Logeintrag::Wert &uhr = e[Logeintrag::uhrzeit];
        if (datum && !eigeneForm.match(*datum).hasMatch()) {
            if (const auto p = Logdatum::zeitpunkt(*datum, heute)) {
                if (zweiStellen.match(*datum).hasMatch())
                    ++zweistellig;
                datum = Logdatum::datumText(p->tag);
                if (p->uhrzeit && (!uhr || uhr->trimmed().isEmpty()))
                    uhr = Logdatum::zeitText(*p->uhrzeit);
            }
        }
        if (uhr && !eigeneZeit.match(*uhr).hasMatch())
            if (const auto z = Logdatum::uhrzeit(*uhr))
                uhr = Logdatum::zeitText(*z);
    }
};

LogCsv::Leser::Leser(Csv::Leser::Quelle quelle, const QDate &heute) : d(std::make_unique<Zustand>())
{
    d->heute = heute;
    // The separator is told by the first line: the first piece holds it.
    QString erstes = quelle();
    Csv::Dialekt dialekt;
    dialekt.trenner = Csv::trennerErkennen(erstes);
    d->csv = std::make_unique<Csv::Leser>(
        [erstes, quelle]() mutable {
            if (!erstes.isNull()) {
                QString t;
                t.swap(erstes);
                return t;
            }
            return quelle();
        },
        dialekt);

    bool etwas = false;
    for (const QString &name : d->csv->kopf()) {
        int c = spalteZu(name);
        if (name.compare(rtfSpalte, Qt::CaseInsensitive) == 0)
            c = Logeintrag::anzahl;
        if (c < 0)
            d->uebergangen.append(name);
        etwas = etwas || c >= 0;
        d->spalten.append(c);
    }
    if (!etwas)
        throw Csv::Fehler(d->csv->kopfZeile(), QStringLiteral("Die Kopfzeile nennt keine Spalte des Logs (erwartet "
                                                              "werden etwa CallSign, Datum, Frequenz)."));
}

LogCsv::Leser::~Leser() = default;

const QStringList &LogCsv::Leser::uebergangen() const
{
    return d->uebergangen;
}

int LogCsv::Leser::zweistelligeJahre() const
{
    return d->zweistellig;
}

std::optional<Logdaten::Importsatz> LogCsv::Leser::naechster()
{
    for (;;) {
        int zeile = 0;
        const std::optional<Csv::Zeile> z = d->csv->naechste(zeile);
        if (!z)
            return std::nullopt;
        Logdaten::Importsatz s;
        s.nummer = ++d->nummer;
        s.zeile = zeile;
        Logeintrag::Wert rtf, bemerkung;
        bool leer = true;
        for (int k = 0; k < d->spalten.size(); ++k) {
            Csv::Feld f = z->at(k);
            leer = leer && !f;
            const int spalte = d->spalten.at(k);
            if (f && spalte >= 0) {
                const bool mehrzeilig = spalte == Logeintrag::bemerkung || spalte == Logeintrag::anzahl;
                if (const auto b = Logdaten::ohneSteuerzeichen(*f, mehrzeilig); b != Logdaten::Bereinigt::Nichts)
                    s.hinweise.append(Logdaten::bereinigtText(d->csv->kopf().at(k), b));
            }
            if (d->spalten.at(k) == Logeintrag::anzahl)
                rtf = f;
            else if (d->spalten.at(k) == Logeintrag::bemerkung)
                bemerkung = f;
            else if (d->spalten.at(k) >= 0)
                s.eintrag.werte[d->spalten.at(k)] = f;
        }
        if (leer)   // spreadsheets leave rows of nothing but separators
            continue;
        Logeintrag::Wert &freq = s.eintrag[Logeintrag::frequenz];
        if (freq && !freq->contains(QLatin1Char(',')) && Frequenz::hertz(*freq))
            freq->replace(QLatin1Char('.'), QLatin1Char(','));
        d->zeitenLesen(s.eintrag);
        if (rtf)
            s.eintrag[Logeintrag::bemerkung] = rtf;
        else if (bemerkung)
            s.eintrag[Logeintrag::bemerkung] = Logdaten::bemerkungAusText(*bemerkung);
        return s;
    }
}

LogCsv::Gelesen LogCsv::lesen(const QByteArray &daten, const QDate &heute)
{
    Gelesen g;
    const Textkodierung::Text text = Textkodierung::dekodieren(daten);
    g.windows1252 = text.windows1252;
    bool gegeben = false;
    Leser leser(
        [&]() {
            if (gegeben)
                return QString();
            gegeben = true;
            return text.text;
        },
        heute);
    while (auto s = leser.naechster())
        g.saetze.append(std::move(*s));
    g.uebergangen = leser.uebergangen();
    g.zweistelligeJahre = leser.zweistelligeJahre();
    return g;
}
