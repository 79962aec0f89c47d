// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/austausch/logaustausch.h"

#include "kern/austausch/logcsv.h"
#include "kern/basis/dateikopie.h"
#include "kern/basis/datenfehler.h"
#include "kern/basis/protokoll.h"
#include "kern/formate/adif.h"
#include "kern/formate/csv.h"

#include "kern/formate/textquelle.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

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
            if (!a.satz.wert(QStringLiteral("MODE")))
                ++b.ohneModulation;
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

namespace {

// Opens a file from outside for reading, or says what really stands in the
// way: a folder, a pipe or a device is no file to read, a link may lead
// nowhere or in a circle.
void oeffnen(QFile &f, const QString &datei)
{
    auto nein = [&](const QString &grund) {
        throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(zitiert(datei)), grund);
    };
    const QByteArray name = QFile::encodeName(datei);
    struct stat st;
    if (::stat(name.constData(), &st) != 0) {
        const int e = errno;
        struct stat link;
        if (e == ENOENT && ::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode))
            nein(QStringLiteral("Die Verknüpfung zeigt auf eine Datei, die nicht vorhanden ist."));
        if (e == ENOENT)
            nein(QStringLiteral("Die Datei ist nicht vorhanden."));
        if (e == ELOOP)
            nein(QStringLiteral("Die symbolischen Verknüpfungen führen im Kreis; sie zeigen auf keine Datei."));
        nein(Dateikopie::grund(e) + QLatin1Char('.'));
    }
    if (S_ISDIR(st.st_mode))
        nein(QStringLiteral("Das ist ein Ordner, keine Datei."));
    if (S_ISFIFO(st.st_mode))
        nein(QStringLiteral("Das ist eine benannte Pipe (FIFO), keine Datei; aus ihr wird nicht gelesen."));
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        nein(QStringLiteral("Das ist eine Gerätedatei, keine gewöhnliche Datei; aus ihr wird nicht gelesen."));
    if (!S_ISREG(st.st_mode))
        nein(QStringLiteral("Das ist keine gewöhnliche Datei."));
    if (!f.open(QIODevice::ReadOnly)) {
        const int e = errno;
        nein(e == EACCES || e == EPERM ? QStringLiteral("Die Datei darf nicht gelesen werden (fehlende Leserechte).")
                                       : Dateikopie::grund(e) + QLatin1Char('.'));
    }
}

// The records of a file, read as the import asks for them.
class Dateiquelle : public Logdaten::Satzquelle
{
public:
    Dateiquelle(QIODevice &geraet, Logaustausch::Format format, const AdifZuordnung::Zeitbezug &zeit,
                Logaustausch::Importergebnis &ergebnis)
        : m_geraet(geraet), m_groesse(geraet.size()), m_zeit(zeit), m_ergebnis(ergebnis)
    {
        if (format == Logaustausch::Format::Adx) {
            m_adx = std::make_unique<Adx::Leser>(geraet);
            return;
        }
        m_text = std::make_unique<Textquelle>(geraet);
        ergebnis.kodierung = m_text->kodierung();
        if (istAdif(format)) {
            m_adi = std::make_unique<Adi::Leser>(*m_text);
        } else {
            m_csv = std::make_unique<LogCsv::Leser>([this] { return m_text->naechstes(); });
            for (const QString &spalte : m_csv->uebergangen())
                uebergehen(spalte);
        }
    }

    ~Dateiquelle() override
    {
        if (m_adi)
            m_ergebnis.ohneLaenge = m_adi->ohneLaenge();
        if (m_csv) {
            m_ergebnis.zweistelligeJahre = m_csv->zweistelligeJahre();
            // A column the log has no place for was passed over in every record.
            for (const QString &spalte : m_csv->uebergangen())
                if (m_ergebnis.uebergangen.contains(gekuerzt(spalte)))
                    m_ergebnis.uebergangen[gekuerzt(spalte)] = m_saetze;
        }
    }

    std::optional<Logdaten::Importsatz> naechster() override
    {
        std::optional<Logdaten::Importsatz> satz;
        if (m_csv) {
            satz = m_csv->naechster();
        } else {
            std::optional<Adif::Datensatz> s = m_adi ? m_adi->naechster() : m_adx->naechster();
            if (s) {
                QList<QPair<QString, Logdaten::Bereinigt>> bereinigt;
                for (Adif::Feld &f : s->felder) {
                    if (const auto b = Logdaten::ohneSteuerzeichen(f.wert, AdifZuordnung::mehrzeilig(f));
                        b != Logdaten::Bereinigt::Nichts)
                        bereinigt.append({f.name, b});
                }
                AdifZuordnung::Eingabe e = AdifZuordnung::inEintrag(*s, m_zeit);
                satz = Logdaten::Importsatz{std::move(e.eintrag), s->nummer, s->zeile, e.fehler, s->hinweise};
                // Only what the log takes is worth a word.
                for (const auto &[name, b] : std::as_const(bereinigt))
                    if (!e.uebergangen.contains(name))
                        satz->hinweise.append(Logdaten::bereinigtText(QStringLiteral("Feld ") + name, b));
                for (const QString &name : std::as_const(e.uebergangen))
                    uebergehen(name);
            }
        }
        if (!satz)
            return satz;
        ++m_saetze;
        if (satz->fehler.isEmpty())
            satz->hinweise += Logdaten::bereinigen(satz->eintrag);
        return satz;
    }

    qint64 stand() const override { return m_text ? m_text->gelesen() : m_geraet.pos(); }
    qint64 gesamt() const override { return m_groesse; }

private:
    // A name as the summary lists it: an excerpt, for a file may name its
    // fields at any length.
    static QString gekuerzt(const QString &name) { return Meldetext::ausschnitt(name); }

    void uebergehen(const QString &name)
    {
        const QString k = gekuerzt(name);
        auto it = m_ergebnis.uebergangen.find(k);
        if (it != m_ergebnis.uebergangen.end())
            ++*it;
        else if (m_ergebnis.uebergangen.size() < 1000)
            m_ergebnis.uebergangen.insert(k, 1);
        else
            ++m_ergebnis.weitereUebergangen;
    }

    QIODevice &m_geraet;
    const qint64 m_groesse;
    const AdifZuordnung::Zeitbezug &m_zeit;
    Logaustausch::Importergebnis &m_ergebnis;
    std::unique_ptr<Textquelle> m_text;
    std::unique_ptr<Adi::Leser> m_adi;
    std::unique_ptr<Adx::Leser> m_adx;
    std::unique_ptr<LogCsv::Leser> m_csv;
    int m_saetze = 0;
};

QString ort(const Logdaten::Ergebnis &e)
{
    return e.zeile > 0 ? QStringLiteral("Datensatz %1 (Zeile %2)").arg(e.nummer).arg(e.zeile)
                       : QStringLiteral("Datensatz %1").arg(e.nummer);
}

QString kodierungName(Textquelle::Kodierung k)
{
    switch (k) {
    case Textquelle::Kodierung::Utf8: return QStringLiteral("UTF-8");
    case Textquelle::Kodierung::Windows1252: return QStringLiteral("Windows-1252");
    case Textquelle::Kodierung::Utf16LE: return QStringLiteral("UTF-16LE");
    case Textquelle::Kodierung::Utf16BE: return QStringLiteral("UTF-16BE");
    }
    return QString();
}

// What an import chose and what became of its records, for the diagnostics.
void protokollieren(const Logaustausch::Importergebnis &ein, Logaustausch::Format format,
                    const AdifZuordnung::Zeitbezug &zeit)
{
    if (!protokollImport().isInfoEnabled())
        return;
    using Art = Logdaten::Ergebnis::Art;
    const Logdaten::Bericht &b = ein.bericht;
    qCInfo(protokollImport).noquote() << "gelesen:" << Protokoll::kurz(ein.datei) << "als" << formatName(format) << "in"
                                      << kodierungName(ein.kodierung)
                                      << (zeit.ortszeit ? "Ortszeit " + zeit.zone.id() : QByteArray("UTC"));
    for (auto it = ein.uebergangen.constBegin(); it != ein.uebergangen.constEnd(); ++it)
        qCInfo(protokollImport).noquote() << "nicht übernommen:" << Protokoll::kurz(it.key()) << it.value() << "mal";
    qCInfo(protokollImport).noquote() << "ins Log:" << (b.geschrieben ? "geschrieben" : "nichts geschrieben") << "|"
                                      << b.aufgenommen << "aufgenommen," << b.vorhanden << "vorhanden," << b.abgelehnt
                                      << "abgelehnt," << b.geaendert << "verändert";
    for (const Logdaten::Ergebnis &e : b.genannt)
        if (e.art == Art::Vorhanden || e.art == Art::Abgelehnt)
            qCDebug(protokollImport).noquote()
                << ort(e) << (e.art == Art::Vorhanden ? "vorhanden:" : "abgelehnt:") << Protokoll::kurz(e.grund);
}

Logaustausch::Importergebnis importiereAus(const QString &datenbank, QIODevice &geraet, Logaustausch::Format format,
                                           const AdifZuordnung::Zeitbezug &zeit, bool rest, const QString &dateiName,
                                           const Fortschritt &fortschritt)
{
    Logaustausch::Importergebnis ergebnis;
    ergebnis.datei = dateiName;
    try {
        Dateiquelle quelle(geraet, format, zeit, ergebnis);
        ergebnis.bericht = Logdaten::importieren(datenbank, quelle, rest, fortschritt);
    } catch (const Csv::Fehler &f) {
        throw f.inDatei(dateiName);
    }
    protokollieren(ergebnis, format, zeit);
    return ergebnis;
}

// The records of one kind, one line each, at most hoechstens, the rest counted.
QStringList genannt(const Logdaten::Bericht &b, Logdaten::Ergebnis::Art art, int hoechstens)
{
    QStringList zeilen;
    for (const Logdaten::Ergebnis &e : b.genannte(art)) {
        if (zeilen.size() >= hoechstens)
            break;
        zeilen.append(ort(e) + QStringLiteral(": ") + e.grund);
    }
    if (b.anzahl(art) > zeilen.size())
        zeilen.append(QStringLiteral("… und %1 weitere.").arg(b.anzahl(art) - zeilen.size()));
    return zeilen;
}

}   // namespace

Logaustausch::Importergebnis Logaustausch::importieren(const QString &datenbank, const QString &datei,
                                                       const AdifZuordnung::Zeitbezug &zeit, bool rest,
                                                       const Fortschritt &fortschritt)
{
    const std::optional<Format> format = formatFuer(datei);
    if (!format)
        throw DatenFehler(QStringLiteral("Die Datei %1 hat keine bekannte Endung.").arg(zitiert(datei)),
                          QStringLiteral("Eingelesen werden ADIF-Dateien (.adi, .adx) und CSV-Dateien (.csv)."));
    QFile f(datei);
    oeffnen(f, datei);
    return importiereAus(datenbank, f, *format, zeit, rest, datei, fortschritt);
}

Logaustausch::Importergebnis Logaustausch::importieren(const QString &datenbank, const QByteArray &daten, Format format,
                                                       const AdifZuordnung::Zeitbezug &zeit, bool rest,
                                                       const QString &dateiName, const Fortschritt &fortschritt)
{
    QByteArray kopie(daten);
    QBuffer puffer(&kopie);
    puffer.open(QIODevice::ReadOnly);
    return importiereAus(datenbank, puffer, format, zeit, rest, dateiName, fortschritt);
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
    auto ungueltig = [&](int anzahl, const QString &ohne) {
        if (anzahl > 0)
            text += QStringLiteral("\n\n%1 %2 %3; andere Logbücher nehmen %4 nicht als gültige Verbindung an.")
                        .arg(anzahl)
                        .arg(anzahl == 1 ? QStringLiteral("Eintrag ist") : QStringLiteral("Einträge sind"))
                        .arg(ohne)
                        .arg(anzahl == 1 ? QStringLiteral("ihn") : QStringLiteral("sie"));
    };
    ungueltig(b.ohneDatumOderZeit, QStringLiteral("ohne Datum oder Uhrzeit"));
    ungueltig(b.ohneModulation, QStringLiteral("ohne Modulation (oder mit einer, die ADIF nicht kennt)"));
    return text;
}

QStringList Logaustausch::abgelehnte(const Importergebnis &ergebnis, int hoechstens)
{
    return genannt(ergebnis.bericht, Logdaten::Ergebnis::Art::Abgelehnt, hoechstens);
}

QString Logaustausch::zusammenfassung(const Importergebnis &ein, int hoechstens)
{
    using Art = Logdaten::Ergebnis::Art;
    const Logdaten::Bericht &b = ein.bericht;
    const int neu = b.aufgenommen, da = b.vorhanden, nein = b.abgelehnt;
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
                         .arg(neu + da + nein)
                         .arg(neu + da)
                         .arg(da));
    if (nein > 0)
        teile.append(QStringLiteral("Abgelehnt:\n") + abgelehnte(ein, hoechstens).join(QLatin1Char('\n')));
    if (b.geaendert > 0)
        teile.append(QStringLiteral("Verändert übernommen:\n")
                     + genannt(b, Art::Geaendert, hoechstens).join(QLatin1Char('\n')));
    if (da > 0)
        teile.append(QStringLiteral("Schon vorhanden (übersprungen):\n")
                     + genannt(b, Art::Vorhanden, hoechstens).join(QLatin1Char('\n')));
    if (!ein.uebergangen.isEmpty()) {
        QStringList felder;
        for (auto it = ein.uebergangen.constBegin(); it != ein.uebergangen.constEnd(); ++it)
            felder.append(QStringLiteral("%1 (%2×)").arg(it.key()).arg(it.value()));
        QString liste = Meldetext::aufzaehlung(felder, hoechstens);
        if (ein.weitereUebergangen > 0)
            liste += QStringLiteral("; dazu %1 weitere Felder").arg(ein.weitereUebergangen);
        teile.append(QStringLiteral("Felder ohne Platz im Log, nicht übernommen: ") + liste);
    }
    if (!ein.ohneLaenge.isEmpty()) {
        QStringList tags;
        for (auto it = ein.ohneLaenge.constBegin(); it != ein.ohneLaenge.constEnd(); ++it)
            tags.append(QStringLiteral("<%1> (%2×)").arg(it.key()).arg(it.value()));
        teile.append(QStringLiteral("Angaben ohne Länge tragen keinen Wert und wurden übergangen: ")
                     + Meldetext::aufzaehlung(tags, hoechstens));
    }
    if (ein.zweistelligeJahre > 0)
        teile.append(
            QStringLiteral("%1 %2 ein zweistelliges Jahr; es gilt als das nächstliegende Jahr, das nicht "
                           "in der Zukunft liegt (aus „30.06.06“ wird 30.06.2006).")
                .arg(ein.zweistelligeJahre)
                .arg(ein.zweistelligeJahre == 1 ? QStringLiteral("Datum hatte") : QStringLiteral("Daten hatten")));
    if (ein.kodierung == Textquelle::Kodierung::Windows1252)
        teile.append(QStringLiteral("Die Datei ist nicht in UTF-8 geschrieben; sie wurde als Windows-1252 gelesen."));
    else if (ein.kodierung == Textquelle::Kodierung::Utf16LE || ein.kodierung == Textquelle::Kodierung::Utf16BE)
        teile.append(QStringLiteral("Die Datei ist in UTF-16 geschrieben; sie wurde so gelesen."));
    return teile.join(QStringLiteral("\n\n"));
}
