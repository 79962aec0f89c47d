// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/austausch/austauschdialoge.h"

#include "fenster/austausch/frm_zeiten.h"
#include "fenster/bausteine/dateidialog.h"
#include "fenster/bausteine/hintergrund.h"
#include "fenster/bausteine/meldung.h"
#include "kern/austausch/listenformat.h"
#include "kern/austausch/logaustausch.h"
#include "kern/basis/dateikopie.h"
#include "kern/basis/datenfehler.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The message boxes name at most this many records one by one.
constexpr int hoechstens = 20;

// The export's file types, each with its format.
struct Typ
{
    const char *filter;
    Logaustausch::Format format;
};
const Typ logTypen[] = {
    {"ADIF (*.adi)", Logaustausch::Format::Adi},
    {"ADIF, nur ASCII (*.adi)", Logaustausch::Format::AdiAscii},
    {"ADX, ADIF als XML (*.adx)", Logaustausch::Format::Adx},
    {"CSV für Tabellenkalkulationen (*.csv)", Logaustausch::Format::CsvDeutsch},
    {"CSV nach RFC 4180 (*.csv)", Logaustausch::Format::CsvRfc},
};

bool istAdif(Logaustausch::Format f)
{
    return f == Logaustausch::Format::Adi || f == Logaustausch::Format::AdiAscii || f == Logaustausch::Format::Adx;
}

// The format of the chosen file type; for a type the list does not have,
// the file's extension says it.
std::optional<Logaustausch::Format> logFormat(const Dateidialog::Wahl &w)
{
    for (const Typ &t : logTypen)
        if (w.filter == QString::fromUtf8(t.filter))
            return t.format;
    return Logaustausch::formatFuer(w.datei);
}

// Runs work that may be cancelled or fail, and reports either.
bool ausfuehren(const std::function<void()> &arbeit, const QString &abgebrochen)
{
    try {
        arbeit();
        return true;
    } catch (const Abgebrochen &) {
        Meldung::zeigen(abgebrochen);
    } catch (const DatenFehler &f) {
        Meldung::fehler(f);
    }
    return false;
}

struct Listentyp
{
    const char *filter;
    Listenformat::Format format;
    const char *name;
};
const Listentyp listenTypen[] = {
    {"CSV von tremvik-tool (*.csv)", Listenformat::Format::Csv, "CSV von tremvik-tool"},
    {"CHIRP (*.csv)", Listenformat::Format::Chirp, "CHIRP"},
    {"Gqrx-Lesezeichen (*.csv)", Listenformat::Format::Gqrx, "Gqrx-Lesezeichen"},
    {"SDR++-Frequenzliste (*.json)", Listenformat::Format::Sdrpp, "SDR++-Frequenzliste"},
};

}   // namespace

void Austauschdialoge::logExportieren(QWidget *eltern, const QString &datenbank, const QString &abfrage)
{
    QStringList filter;
    for (const Typ &t : logTypen)
        filter.append(QString::fromUtf8(t.filter));
    const Dateidialog::Wahl w =
        Dateidialog::zeigen(eltern, Dateidialog::Art::Speichern, QStringLiteral("Log exportieren"), filter);
    if (w.datei.isEmpty())
        return;
    Logaustausch::Optionen o;
    const auto format = logFormat(w);
    if (!format) {
        Meldung::zeigen(QStringLiteral("%1 hat keinen bekannten Dateityp (.adi, .adx, .csv).").arg(zitiert(w.datei)),
                        Meldung::Symbol::Fehler);
        return;
    }
    o.format = *format;
    if (istAdif(o.format)) {
        const std::optional<bool> ortszeit = frm_zeiten::fragen(eltern, true);
        if (!ortszeit)
            return;
        o.zeit.ortszeit = *ortszeit;
    }
    Logaustausch::Exportbericht bericht;
    if (ausfuehren(
            [&] {
                Hintergrund::ausfuehren(eltern, QStringLiteral("Das Log wird exportiert …"), [&](const Fortschritt &f) {
                    bericht = Logaustausch::exportieren(datenbank, abfrage, w.datei, o, f);
                });
            },
            QStringLiteral("Der Export wurde abgebrochen; es wurde keine Datei geschrieben."))) {
        Meldung::status(QStringLiteral("Export: %1 %2 nach %3 geschrieben")
                            .arg(bericht.eintraege)
                            .arg(bericht.eintraege == 1 ? QStringLiteral("Eintrag") : QStringLiteral("Einträge"),
                                 QDir::toNativeSeparators(w.datei)));
        Meldung::zeigen(Logaustausch::zusammenfassung(bericht));
    }
}

bool Austauschdialoge::logImportieren(QWidget *eltern, const QString &datenbank)
{
    const Dateidialog::Wahl w = Dateidialog::zeigen(
        eltern, Dateidialog::Art::Oeffnen, QStringLiteral("Log importieren"),
        {QStringLiteral("ADIF (*.adi *.adx)"), QStringLiteral("CSV (*.csv)"), QStringLiteral("Alle Dateien (*)")});
    if (w.datei.isEmpty())
        return false;
    const auto format = Logaustausch::formatFuer(w.datei);
    AdifZuordnung::Zeitbezug zeit;
    if (format && istAdif(*format)) {
        const std::optional<bool> ortszeit = frm_zeiten::fragen(eltern, false);
        if (!ortszeit)
            return false;
        zeit.ortszeit = *ortszeit;
    }

    // The file is read and its records written as they come, in one
    // transaction. Where records are refused, that first run writes
    // nothing, and the user decides about the rest.
    Logaustausch::Importergebnis ein;
    auto lauf = [&](bool rest) {
        return ausfuehren(
            [&] {
                Hintergrund::ausfuehren(
                    eltern, QStringLiteral("Die Datensätze werden ins Log aufgenommen …"),
                    [&](const Fortschritt &f) { ein = Logaustausch::importieren(datenbank, w.datei, zeit, rest, f); });
            },
            QStringLiteral("Der Import wurde abgebrochen; das Log ist unverändert."));
    };
    if (!lauf(false))
        return false;
    if (!ein.bericht.geschrieben) {
        const Logdaten::Bericht &b = ein.bericht;
        const int uebrig = b.aufgenommen + b.vorhanden;
        QString text = QStringLiteral("%1 von %2 Datensätzen aus %3 können nicht übernommen werden:\n\n%4")
                           .arg(b.abgelehnt)
                           .arg(b.abgelehnt + uebrig)
                           .arg(zitiert(QFileInfo(w.datei).fileName()),
                                Logaustausch::abgelehnte(ein, hoechstens).join(QLatin1Char('\n')));
        if (uebrig == 0) {
            Meldung::zeigen(text + QStringLiteral("\n\nEs wurde nichts ins Log aufgenommen."), Meldung::Symbol::Fehler);
            return false;
        }
        text += QStringLiteral("\n\nDie übrigen %1 Datensätze trotzdem ins Log aufnehmen?").arg(uebrig);
        if (!Meldung::frage(text) || !lauf(true))
            return false;
    }
    Meldung::zeigen(Logaustausch::zusammenfassung(ein, hoechstens));
    return ein.bericht.geschrieben && ein.bericht.aufgenommen > 0;
}

void Austauschdialoge::listeExportieren(QWidget *eltern, const QString &datenbank, const QString &tabelle,
                                        const QString &abfrage)
{
    QStringList filter;
    for (const Listentyp &t : listenTypen)
        filter.append(QString::fromUtf8(t.filter));
    const Dateidialog::Wahl w =
        Dateidialog::zeigen(eltern, Dateidialog::Art::Speichern, QStringLiteral("Liste exportieren"), filter);
    if (w.datei.isEmpty())
        return;
    const Listentyp *typ = nullptr;
    for (const Listentyp &t : listenTypen)
        if (w.filter == QString::fromUtf8(t.filter))
            typ = &t;
    if (!typ) {
        const bool json = QFileInfo(w.datei).suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0;
        typ = &listenTypen[json ? 3 : 0];
    }
    ausfuehren(
        [&] {
            const Listenformat::Ausgabe aus =
                Listenformat::schreiben(Listenformat::lesen(datenbank, tabelle, abfrage), typ->format);
            if (const Ergebnis<> e = Dateikopie::schreibe(w.datei, aus.daten); !e)
                throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht geschrieben werden.").arg(zitiert(w.datei)),
                                  e.grund());
            QString text = QStringLiteral("%1 %2 nach %3 geschrieben (%4).")
                               .arg(aus.zeilen)
                               .arg(aus.zeilen == 1 ? QStringLiteral("Zeile") : QStringLiteral("Zeilen"))
                               .arg(zitiert(w.datei), QString::fromUtf8(typ->name));
            const auto liste = [](const QStringList &zeilen) {
                QStringList h = zeilen.mid(0, hoechstens);
                if (zeilen.size() > hoechstens)
                    h.append(QStringLiteral("… und %1 weitere.").arg(zeilen.size() - hoechstens));
                return h.join(QLatin1Char('\n'));
            };
            if (!aus.hinweise.isEmpty())
                text += QStringLiteral("\n\nOhne gültige Frequenz ausgelassen:\n") + liste(aus.hinweise);
            if (!aus.anmerkungen.isEmpty())
                text += QStringLiteral("\n\nAnders geschrieben:\n") + liste(aus.anmerkungen);
            Meldung::status(QStringLiteral("Export: %1 %2 nach %3 geschrieben")
                                .arg(aus.zeilen)
                                .arg(aus.zeilen == 1 ? QStringLiteral("Zeile") : QStringLiteral("Zeilen"),
                                     QDir::toNativeSeparators(w.datei)));
            Meldung::zeigen(text);
        },
        QString());
}
