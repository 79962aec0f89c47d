#include "kern/austausch/logaustausch.h"

#include "kern/formate/adif.h"
#include "kern/austausch/logcsv.h"
#include "kern/basis/dateikopie.h"
#include "kern/basis/datenfehler.h"
#include "kern/basis/protokoll.h"
#include "kern/formate/csv.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

QString formatName(Logaustausch::Format f)
{
    switch (f) {
    case Logaustausch::Format::Adi: return QStringLiteral("ADIF (ADI)");
    case Logaustausch::Format::AdiAscii: return QStringLiteral("ADIF (ADI, nur ASCII)");
    case Logaustausch::Format::Adx: return QStringLiteral("ADIF (ADX)");
    case Logaustausch::Format::CsvDeutsch: return QStringLiteral("CSV für Tabellenkalkulationen");
    case Logaustausch::Format::CsvRfc: return QStringLiteral("CSV nach RFC 4180");
    }
    return QString();
}

bool istAdif(Logaustausch::Format f)
{
    return f == Logaustausch::Format::Adi || f == Logaustausch::Format::AdiAscii || f == Logaustausch::Format::Adx;
}

QString ort(const Logdaten::Ergebnis &e)
{
    return e.zeile > 0 ? QStringLiteral("Datensatz %1 (Zeile %2)").arg(e.nummer).arg(e.zeile)
                       : QStringLiteral("Datensatz %1").arg(e.nummer);
}

// What reading a file chose, for the diagnostics.
void protokollieren(const Logaustausch::Eingelesen &ein, Logaustausch::Format format,
                    const AdifZuordnung::Zeitbezug &zeit)
{
    qCInfo(protokollImport).noquote() << "gelesen:" << Protokoll::kurz(ein.datei) << "als" << formatName(format)
                                      << (ein.windows1252 ? "in Windows-1252" : "in UTF-8")
                                      << (zeit.ortszeit ? "Ortszeit " + zeit.zone.id() : QByteArray("UTC")) << "|"
                                      << ein.saetze.size() << "Datensätze," << ein.abgelehnt() << "abgelehnt";
    for (auto it = ein.uebergangen.constBegin(); it != ein.uebergangen.constEnd(); ++it)
        qCInfo(protokollImport).noquote() << "nicht übernommen:" << Protokoll::kurz(it.key()) << it.value() << "mal";
}

QStringList begrenzt(const QStringList &zeilen, int hoechstens)
{
    if (hoechstens <= 0 || zeilen.size() <= hoechstens)
        return zeilen;
    QStringList aus = zeilen.mid(0, hoechstens);
    aus.append(QStringLiteral("… und %1 weitere.").arg(zeilen.size() - hoechstens));
    return aus;
}

}   // namespace

std::optional<Logaustausch::Format> Logaustausch::formatFuer(const QString &datei, bool ascii, bool rfc)
{
    const QString endung = QFileInfo(datei).suffix().toLower();
    if (endung == QLatin1String("adi"))
        return ascii ? Format::AdiAscii : Format::Adi;
    if (endung == QLatin1String("adx"))
        return Format::Adx;
    if (endung == QLatin1String("csv"))
        return rfc ? Format::CsvRfc : Format::CsvDeutsch;
    return std::nullopt;
}

QByteArray Logaustausch::daten(const QList<Logeintrag> &eintraege, const Optionen &optionen, Exportbericht *bericht)
{
    Exportbericht b;
    b.format = optionen.format;
    b.ortszeit = optionen.zeit.ortszeit;
    b.eintraege = int(eintraege.size());
    QByteArray aus;
    if (optionen.format == Format::CsvDeutsch || optionen.format == Format::CsvRfc) {
        aus = LogCsv::schreiben(eintraege, optionen.format == Format::CsvDeutsch ? LogCsv::Dialekt::Deutsch
                                                                                 : LogCsv::Dialekt::Rfc4180);
    } else {
        const auto form = optionen.format == Format::Adx        ? AdifZuordnung::Form::Adx
                          : optionen.format == Format::AdiAscii ? AdifZuordnung::Form::AdiAscii
                                                                : AdifZuordnung::Form::Adi;
        Adif::Datei datei;
        datei.kopf = Adif::kopf(optionen.erstellt);
        for (const Logeintrag &e : eintraege) {
            const AdifZuordnung::Ausgabe a = AdifZuordnung::ausEintrag(e, form, optionen.zeit);
            if (!a.mitDatumUndZeit)
                ++b.ohneDatumOderZeit;
            datei.datensaetze.append(a.satz);
        }
        aus = optionen.format == Format::Adx ? Adx::schreiben(datei)
                                             : Adi::schreiben(datei, optionen.format == Format::AdiAscii);
    }
    if (bericht)
        *bericht = b;
    return aus;
}

Logaustausch::Exportbericht Logaustausch::exportieren(const QString &datenbank, const QString &abfrage,
                                                      const QString &datei, const Optionen &optionen,
                                                      const Fortschritt &fortschritt)
{
    // Reading is most of the work; the last part of the bar is for writing.
    Fortschritt lesen;
    if (fortschritt)
        lesen = [&](qint64 erledigt, qint64 gesamt) { return fortschritt(erledigt * 9, gesamt * 10); };
    const QList<Logeintrag> eintraege = Logdaten::lesen(datenbank, abfrage, lesen);
    Exportbericht bericht;
    const QByteArray inhalt = daten(eintraege, optionen, &bericht);
    bericht.datei = datei;

    if (fortschritt && !fortschritt(9, 10))
        throw Abgebrochen();
    if (const Ergebnis<> e = Dateikopie::schreibe(datei, inhalt); !e)
        throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht geschrieben werden.").arg(zitiert(datei)), e.grund());
    if (fortschritt)
        fortschritt(10, 10);
    return bericht;
}

int Logaustausch::Eingelesen::abgelehnt() const
{
    return int(std::count_if(saetze.begin(), saetze.end(), [](const auto &s) { return !s.fehler.isEmpty(); }));
}

Logaustausch::Eingelesen Logaustausch::einlesen(const QString &datei, const AdifZuordnung::Zeitbezug &zeit)
{
    const std::optional<Format> format = formatFuer(datei);
    if (!format)
        throw DatenFehler(QStringLiteral("Die Datei %1 hat keine bekannte Endung.").arg(zitiert(datei)),
                          QStringLiteral("Eingelesen werden ADIF-Dateien (.adi, .adx) und CSV-Dateien (.csv)."));
    QFile f(datei);
    if (!QFileInfo(datei).isFile() || !f.open(QIODevice::ReadOnly))
        throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(zitiert(datei)),
                          QFileInfo::exists(datei) ? f.errorString()
                                                   : QStringLiteral("Die Datei ist nicht vorhanden."));
    return einlesen(f.readAll(), *format, zeit, datei);
}

Logaustausch::Eingelesen Logaustausch::einlesen(const QByteArray &daten, Format format,
                                                const AdifZuordnung::Zeitbezug &zeit, const QString &dateiName)
{
    Eingelesen ein;
    ein.datei = dateiName;
    if (!istAdif(format)) {
        LogCsv::Gelesen g;
        try {
            g = LogCsv::lesen(daten);
        } catch (const Csv::Fehler &f) {
            throw f.inDatei(dateiName);
        }
        ein.saetze = g.saetze;
        ein.windows1252 = g.windows1252;
        for (const QString &spalte : std::as_const(g.uebergangen))
            ein.uebergangen[spalte] = int(g.saetze.size());
        protokollieren(ein, format, zeit);
        return ein;
    }
    const Adif::Datei d = format == Format::Adx ? Adx::lesen(daten) : Adi::lesen(daten);
    ein.windows1252 = d.windows1252;
    for (const Adif::Datensatz &s : d.datensaetze) {
        const AdifZuordnung::Eingabe e = AdifZuordnung::inEintrag(s, zeit);
        ein.saetze.append({e.eintrag, s.nummer, s.zeile, e.fehler});
        for (const QString &name : e.uebergangen)
            ++ein.uebergangen[name];
    }
    protokollieren(ein, format, zeit);
    return ein;
}

Logdaten::Bericht Logaustausch::importieren(const QString &datenbank, const Eingelesen &eingelesen, bool rest,
                                            const Fortschritt &fortschritt)
{
    const Logdaten::Bericht b = Logdaten::importieren(datenbank, eingelesen.saetze, rest, fortschritt);
    using Art = Logdaten::Ergebnis::Art;
    qCInfo(protokollImport).noquote() << "ins Log:" << (b.geschrieben ? "geschrieben" : "nichts geschrieben") << "|"
                                      << b.anzahl(Art::Aufgenommen) << "aufgenommen," << b.anzahl(Art::Vorhanden)
                                      << "vorhanden," << b.anzahl(Art::Abgelehnt) << "abgelehnt";
    if (protokollImport().isDebugEnabled())
        for (const Logdaten::Ergebnis &e : b.ergebnisse)
            if (e.art != Art::Aufgenommen)
                qCDebug(protokollImport).noquote()
                    << ort(e) << (e.art == Art::Vorhanden ? "vorhanden:" : "abgelehnt:") << Protokoll::kurz(e.grund);
    return b;
}

QString Logaustausch::zusammenfassung(const Exportbericht &b)
{
    QString text = QStringLiteral("%1 %2 nach %3 geschrieben (%4")
                       .arg(b.eintraege)
                       .arg(b.eintraege == 1 ? QStringLiteral("Eintrag") : QStringLiteral("Einträge"))
                       .arg(zitiert(b.datei), formatName(b.format));
    if (istAdif(b.format))
        text += b.ortszeit ? QStringLiteral("; Ortszeit in UTC umgerechnet")
                           : QStringLiteral("; Zeiten als UTC übernommen");
    text += QStringLiteral(").");
    if (b.ohneDatumOderZeit > 0)
        text += QStringLiteral("\n\n%1 %2 ohne Datum oder Uhrzeit; andere Logbücher nehmen %3 nicht als gültige "
                               "Verbindung an.")
                    .arg(b.ohneDatumOderZeit)
                    .arg(b.ohneDatumOderZeit == 1 ? QStringLiteral("Eintrag ist") : QStringLiteral("Einträge sind"))
                    .arg(b.ohneDatumOderZeit == 1 ? QStringLiteral("ihn") : QStringLiteral("sie"));
    return text;
}

QStringList Logaustausch::abgelehnte(const Eingelesen &eingelesen, int hoechstens)
{
    QStringList zeilen;
    for (const Logdaten::Importsatz &s : eingelesen.saetze)
        if (!s.fehler.isEmpty())
            zeilen.append(ort({Logdaten::Ergebnis::Art::Abgelehnt, s.nummer, s.zeile, {}}) + QStringLiteral(": ")
                          + s.fehler);
    return begrenzt(zeilen, hoechstens);
}

QString Logaustausch::zusammenfassung(const Eingelesen &ein, const Logdaten::Bericht &b, int hoechstens)
{
    using Art = Logdaten::Ergebnis::Art;
    const int neu = b.anzahl(Art::Aufgenommen), da = b.anzahl(Art::Vorhanden), nein = b.anzahl(Art::Abgelehnt);
    QStringList teile;
    if (b.geschrieben)
        teile.append(QStringLiteral("Aus %1: %2 %3 ins Log aufgenommen, %4 schon vorhanden, %5 abgelehnt.")
                         .arg(zitiert(ein.datei))
                         .arg(neu)
                         .arg(neu == 1 ? QStringLiteral("Datensatz") : QStringLiteral("Datensätze"))
                         .arg(da)
                         .arg(nein));
    else
        teile.append(QStringLiteral("Aus %1 wurde nichts ins Log aufgenommen: %2 von %3 Datensätzen sind "
                                    "fehlerhaft. Die übrigen %4 (davon %5 schon vorhanden) lassen sich "
                                    "auf Wunsch einzeln übernehmen.")
                         .arg(zitiert(ein.datei))
                         .arg(nein)
                         .arg(b.ergebnisse.size())
                         .arg(neu + da)
                         .arg(da));
    const QStringList nichtGenommen = abgelehnte(ein, hoechstens);
    if (!nichtGenommen.isEmpty())
        teile.append(QStringLiteral("Abgelehnt:\n") + nichtGenommen.join(QLatin1Char('\n')));
    QStringList doppelt;
    for (const Logdaten::Ergebnis &e : b.ergebnisse)
        if (e.art == Art::Vorhanden)
            doppelt.append(ort(e) + QStringLiteral(": ") + e.grund);
    if (!doppelt.isEmpty())
        teile.append(QStringLiteral("Schon vorhanden (übersprungen):\n")
                     + begrenzt(doppelt, hoechstens).join(QLatin1Char('\n')));
    if (!ein.uebergangen.isEmpty()) {
        QStringList felder;
        for (auto it = ein.uebergangen.constBegin(); it != ein.uebergangen.constEnd(); ++it)
            felder.append(QStringLiteral("%1 (%2×)").arg(it.key()).arg(it.value()));
        teile.append(QStringLiteral("Felder ohne Platz im Log, nicht übernommen: ")
                     + felder.join(QStringLiteral(", ")));
    }
    if (ein.windows1252)
        teile.append(QStringLiteral("Die Datei ist nicht in UTF-8 geschrieben; sie wurde als Windows-1252 gelesen."));
    return teile.join(QStringLiteral("\n\n"));
}
