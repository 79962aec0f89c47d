// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/jet/uebernahme.h"

#include "kern/basis/datenfehler.h"
#include "kern/basis/frequenz.h"
#include "kern/daten/sqlitedatei.h"
#include "kern/bestaende/frequenzdaten.h"
#include "kern/bestaende/logeintrag.h"
#include "kern/formate/rtf.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFont>
#include <QHash>
#include <QTextDocument>
#include <sqlite3.h>

#include <charconv>
#include <cmath>

namespace {

QString dateiName(const QString &pfad)
{
    return QFileInfo(pfad).fileName();
}

// A decimal number as the program writes it: decimal comma, no trailing
// zeros after it ("12.7500" -> "12,75", "10.0000" -> "10").
QString dezimal(QString zahl)
{
    const qsizetype punkt = zahl.indexOf(QLatin1Char('.'));
    if (punkt >= 0) {
        while (zahl.endsWith(QLatin1Char('0')))
            zahl.chop(1);
        if (zahl.endsWith(QLatin1Char('.')))
            zahl.chop(1);
        zahl.replace(QLatin1Char('.'), QLatin1Char(','));
    }
    return zahl;
}

// The shortest text that reads back as the same number, without exponent.
template <typename Zahl> QString kommazahl(Zahl z)
{
    char puffer[400];
    const auto r = std::to_chars(puffer, puffer + sizeof puffer, z, std::chars_format::fixed);
    return dezimal(QString::fromLatin1(puffer, r.ptr - puffer));
}

// Date and time as Access's general date format shows them, in the log's
// formats: a time alone is stored on the zero date and shown without it,
// a date at midnight is shown without the time.
QString datumText(const QDateTime &wert)
{
    const QDate d = wert.date();
    const QTime t = wert.time();
    QStringList teile;
    if (d != Jet::nullDatum() || t == QTime(0, 0))
        teile.append(d.toString(QStringLiteral("dd.MM.yyyy")));
    if (t != QTime(0, 0))
        teile.append(t.toString(t.second() ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm")));
    return teile.join(QLatin1Char(' '));
}

// A number in a frequency column, in MHz as the lists write it; nothing
// when it is no frequency (not positive, or finer than a hertz). The
// number's shortest decimal text goes through the one converter.
std::optional<QString> frequenzText(const QVariant &wert, Jet::Typ typ)
{
    QString zahl;
    if (typ == Jet::Typ::Waehrung || typ == Jet::Typ::Dezimal) {
        zahl = dezimal(wert.toString());
    } else {
        switch (wert.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong: zahl = wert.toString(); break;
        case QMetaType::Float: zahl = kommazahl(wert.value<float>()); break;
        case QMetaType::Double: zahl = kommazahl(wert.toDouble()); break;
        default: return std::nullopt;
        }
    }
    const std::optional<qint64> hz = Frequenz::hertz(zahl);
    if (!hz || *hz <= 0)
        return std::nullopt;
    return Frequenz::mhzText(*hz);
}

// The remark: RTF as it is, plain text as RTF in the remark's font.
QString alsRtf(const QString &text)
{
    if (Rtf::istRtf(text))
        return text;
    QString eben = text;
    eben.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextDocument dokument;
    QFont schrift(QStringLiteral("Arial"));
    schrift.setPointSizeF(12);
    dokument.setDefaultFont(schrift);
    dokument.setPlainText(eben);
    return Rtf::schreiben(dokument);
}

// Where a failure lies: "Tabelle „Kontakt“, Datensatz 7, Spalte „datum“".
QString ort(const QString &tabelle, int datensatz = 0, const QString &spalte = QString())
{
    QString o = QStringLiteral("Tabelle %1").arg(zitiert(tabelle));
    if (datensatz > 0)
        o += QStringLiteral(", Datensatz %1").arg(datensatz);
    if (!spalte.isEmpty())
        o += QStringLiteral(", Spalte %1").arg(zitiert(spalte));
    return o;
}

DatenFehler nichtUebernommen(const QString &quelle, const QString &wo, const QString &grund)
{
    return DatenFehler(QStringLiteral("Aus der Jet-Datei %1 wurde nichts übernommen.").arg(zitiert(quelle)),
                       wo + QStringLiteral(": ") + grund);
}

// The frequency columns of the four lists.
bool frequenzSpalte(const QString &tabelle, const QString &spalte)
{
    static const QHash<QString, QStringList> spalten{
        {QStringLiteral("bos"), {QStringLiteral("freq")}},
        {QStringLiteral("flugfunk"), {QStringLiteral("frquenz")}},
        {QStringLiteral("afu"), {QStringLiteral("eingabe"), QStringLiteral("ausgabe")}},
        {QStringLiteral("fernwirken"), {QStringLiteral("frequenz")}},
    };
    return spalten.value(tabelle.toLower()).contains(spalte.toLower());
}

// One record as a key: equal keys for equal values in every column, null
// apart from any text.
QString schluessel(const QList<std::optional<QString>> &werte)
{
    QString k;
    for (const auto &w : werte) {
        if (w)
            k += QStringLiteral("T%1:").arg(w->size()) + *w;
        else
            k += QLatin1Char('N');
    }
    return k;
}

struct Logspalte
{
    QString name;
    bool schluessel = false;
};

QList<Logspalte> logSpalten(SqliteDatei &db, const QString &logDatei)
{
    QList<Logspalte> spalten;
    SqliteAnweisung info(db, QStringLiteral("pragma table_info(\"Kontakt\")"),
                         QStringLiteral("Die Spalten der eigenen Einträge lassen sich nicht lesen."));
    while (sqlite3_step(*info) == SQLITE_ROW)
        spalten.append({QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(*info, 1))),
                        sqlite3_column_int(*info, 5) > 0});
    if (spalten.isEmpty())
        throw DatenFehler(QStringLiteral("Die Datenbank %1 ist keine Logdatenbank: Ihr fehlt die Tabelle Kontakt.")
                              .arg(zitiert(logDatei)));
    return spalten;
}

// What a failed transaction on the log says.
const QString gesperrt = QStringLiteral("Die Logdatenbank ist gesperrt oder nicht beschreibbar.");
const QString nichtGespeichert = QStringLiteral("Die Einträge können nicht gespeichert werden.");

// One record as the log keeps it: a text or null per log column.
using Satz = QList<std::optional<QString>>;

// Which Jet column goes to which log column.
struct Zuordnung
{
    QStringList ziel;          // log columns, in the order of quellSpalten
    QList<int> quellSpalten;   // Jet columns
};

// Matches the Jet columns to the log's by name, letter case aside; a column
// the log lacks, and one named like the log's key, goes to uebergangen. A
// table that shares no column with the log is refused.
Zuordnung zuordnen(const Jet::Tabelle &kontakt, const QList<Logspalte> &log, const QString &quelle,
                   QStringList &uebergangen)
{
    Zuordnung z;
    for (int j = 0; j < kontakt.spalten.size(); ++j) {
        const QString &name = kontakt.spalten.at(j).name;
        const auto it = std::find_if(
            log.begin(), log.end(), [&](const Logspalte &l) { return l.name.compare(name, Qt::CaseInsensitive) == 0; });
        if (it == log.end() || it->schluessel) {
            uebergangen.append(name);
        } else if (!z.ziel.contains(it->name)) {
            z.ziel.append(it->name);
            z.quellSpalten.append(j);
        }
    }
    if (z.ziel.isEmpty()) {
        QStringList namen;
        for (const Logspalte &l : log)
            if (!l.schluessel)
                namen.append(l.name);
        throw nichtUebernommen(dateiName(quelle), ort(kontakt.name),
                               QStringLiteral("Die Tabelle hat keine der Spalten der eigenen Einträge (%1).")
                                   .arg(namen.join(QStringLiteral(", "))));
    }
    return z;
}

// Every record of the table as the log will keep it: values as text, the
// frequency in MHz, the remark as RTF. Throws naming the record and column
// of the first value that cannot become text.
QList<Satz> umwandeln(const Jet::Tabelle &kontakt, const Zuordnung &zuordnung, const QString &quelle)
{
    QList<Satz> saetze;
    for (int r = 0; r < kontakt.zeilen.size(); ++r) {
        const Jet::Zeile &zeile = kontakt.zeilen.at(r);
        Satz werte;
        for (int k = 0; k < zuordnung.ziel.size(); ++k) {
            const int j = zuordnung.quellSpalten.at(k);
            const QString &spalte = zuordnung.ziel.at(k);
            try {
                std::optional<QString> w =
                    Uebernahme::text(j < zeile.size() ? zeile.at(j) : QVariant(), kontakt.spalten.at(j).typ,
                                     spalte.compare(QLatin1String("frequenz"), Qt::CaseInsensitive) == 0);
                if (w && spalte.compare(QLatin1String("bemerkung"), Qt::CaseInsensitive) == 0)
                    w = alsRtf(*w);
                werte.append(w);
            } catch (const DatenFehler &f) {
                throw nichtUebernommen(dateiName(quelle), ort(kontakt.name, r + 1, kontakt.spalten.at(j).name),
                                       f.meldung());
            }
        }
        saetze.append(werte);
    }
    return saetze;
}

// What the log holds already in the given columns (SQL names), counted per
// record key.
QHash<QString, int> vorhandeneSaetze(SqliteDatei &db, const QStringList &namen)
{
    QHash<QString, int> vorhanden;
    SqliteAnweisung alle(db, QStringLiteral("select %1 from \"Kontakt\"").arg(namen.join(QLatin1Char(','))),
                         QStringLiteral("Die eigenen Einträge lassen sich nicht lesen."));
    int rc;
    while ((rc = sqlite3_step(*alle)) == SQLITE_ROW) {
        Satz werte;
        for (int k = 0; k < namen.size(); ++k)
            werte.append(sqlite3_column_type(*alle, k) == SQLITE_NULL
                             ? std::nullopt
                             : std::optional<QString>(
                                 QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(*alle, k)),
                                                   sqlite3_column_bytes(*alle, k))));
        ++vorhanden[schluessel(werte)];
    }
    if (rc != SQLITE_DONE)
        throw DatenFehler(QStringLiteral("Die eigenen Einträge lassen sich nicht lesen."), db.text());
    return vorhanden;
}

// Binds a record's values to the insert's parameters, in order.
void binden(SqliteAnweisung &einfuegen, const Satz &werte)
{
    sqlite3_reset(*einfuegen);
    for (int k = 0; k < werte.size(); ++k) {
        if (werte.at(k)) {
            const QByteArray b = werte.at(k)->toUtf8();
            sqlite3_bind_text(*einfuegen, k + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(*einfuegen, k + 1);
        }
    }
}

}   // namespace

std::optional<QString> Uebernahme::text(const QVariant &wert, Jet::Typ typ, bool frequenz)
{
    if (wert.isNull())
        return std::nullopt;
    if (frequenz)
        if (const auto mhz = frequenzText(wert, typ))
            return mhz;
    switch (wert.typeId()) {
    case QMetaType::Bool: return wert.toBool() ? QStringLiteral("Ja") : QStringLiteral("Nein");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return wert.toString();
    case QMetaType::Float: return kommazahl(wert.value<float>());
    case QMetaType::Double: return kommazahl(wert.toDouble());
    case QMetaType::QDateTime: return datumText(wert.toDateTime());
    case QMetaType::QString:
        // Währung and Dezimal come as exact decimal numbers; text stays
        // exactly as it was kept.
        if (typ == Jet::Typ::Waehrung || typ == Jet::Typ::Dezimal)
            return dezimal(wert.toString());
        return wert.toString();
    case QMetaType::QByteArray:
        throw DatenFehler(QStringLiteral("Binäre Daten (ein OLE-Objekt oder ein Binärfeld) lassen sich nicht als "
                                         "Text übernehmen."));
    default: break;
    }
    throw DatenFehler(QStringLiteral("Ein Wert der Art %1 lässt sich nicht als Text übernehmen.")
                          .arg(QString::fromLatin1(wert.typeName())));
}

Uebernahme::Logergebnis Uebernahme::insLog(const Jet::Tabelle &kontakt, const QString &quelle, const QString &logDatei,
                                           Jet::Aufsicht *aufsicht)
{
    SqliteDatei db(logDatei, SqliteDatei::Art::LesenSchreiben);
    const QList<Logspalte> log = logSpalten(db, logDatei);

    Logergebnis ergebnis;
    const Zuordnung zuordnung = zuordnen(kontakt, log, quelle, ergebnis.uebergangen);
    // Every record is converted before the log is touched.
    const QList<Satz> saetze = umwandeln(kontakt, zuordnung, quelle);
    ergebnis.gelesen = int(saetze.size());

    QStringList namen, platzhalter;
    for (const QString &z : zuordnung.ziel) {
        namen.append(sqlName(z));
        platzhalter.append(QStringLiteral("?"));
    }
    db.transaktion(gesperrt, nichtGespeichert, [&] {
        QHash<QString, int> vorhanden = vorhandeneSaetze(db, namen);
        SqliteAnweisung einfuegen(db,
                                  QStringLiteral("insert into \"Kontakt\" (%1) values (%2)")
                                      .arg(namen.join(QLatin1Char(',')), platzhalter.join(QLatin1Char(','))),
                                  QStringLiteral("Die eigenen Einträge können nicht geschrieben werden."));
        for (int r = 0; r < saetze.size(); ++r) {
            if (aufsicht && aufsicht->abbrechen)
                throw Abgebrochen();
            const Satz &werte = saetze.at(r);
            int &schon = vorhanden[schluessel(werte)];
            if (schon > 0) {
                --schon;
                ++ergebnis.vorhanden;
                continue;
            }
            binden(einfuegen, werte);
            if (sqlite3_step(*einfuegen) != SQLITE_DONE)
                throw nichtUebernommen(
                    dateiName(quelle), ort(kontakt.name, r + 1),
                    QStringLiteral("Die Logdatenbank nimmt den Datensatz nicht an: %1").arg(db.text()));
            ++ergebnis.neu;
        }
    });
    return ergebnis;
}

Uebernahme::Logergebnis Uebernahme::logAusJet(const QString &jetDatei, const QString &logDatei, Jet::Aufsicht *aufsicht)
{
    const JetDatei jet(jetDatei, aufsicht);
    const QString tabelle = jet.tabelle(QStringLiteral("Kontakt"));
    if (tabelle.isEmpty())
        throw DatenFehler(
            QStringLiteral("Die Jet-Datei %1 enthält keine eigenen Einträge (Tabelle Kontakt).").arg(zitiert(jetDatei)),
            tabellenText(jet.tabellen()));
    return insLog(jet.lesen(tabelle), jetDatei, logDatei, aufsicht);
}

QString Uebernahme::tabellenText(const QStringList &tabellen)
{
    constexpr int hoechstens = 30;
    if (tabellen.isEmpty())
        return QStringLiteral("Sie enthält keine Tabellen.");
    QString text = QStringLiteral("Ihre Tabellen: %1").arg(tabellen.mid(0, hoechstens).join(QStringLiteral(", ")));
    if (tabellen.size() > hoechstens)
        text += QStringLiteral(" und %1 weitere").arg(tabellen.size() - hoechstens);
    return text + QLatin1Char('.');
}

QList<int> Uebernahme::frequenzen(const QList<Jet::Tabelle> &tabellen, const QString &quelle, const QString &datenbank)
{
    QList<Frequenzdaten::Liste> listen;
    for (const QString &liste : Frequenzdaten::tabellen()) {
        const auto it = std::find_if(tabellen.begin(), tabellen.end(), [&](const Jet::Tabelle &t) {
            return t.name.compare(liste, Qt::CaseInsensitive) == 0;
        });
        if (it == tabellen.end())
            throw nichtUebernommen(dateiName(quelle), ort(liste), QStringLiteral("Die Tabelle fehlt."));
        Frequenzdaten::Liste l;
        l.tabelle = liste;
        l.quelle = dateiName(quelle) + QStringLiteral(", ") + ort(it->name);
        l.daten.kopfZeile = 0;
        for (const Jet::Spalte &s : it->spalten)
            l.daten.kopf.append(s.name);
        for (int r = 0; r < it->zeilen.size(); ++r) {
            const Jet::Zeile &zeile = it->zeilen.at(r);
            Csv::Zeile felder;
            for (int k = 0; k < it->spalten.size(); ++k) {
                try {
                    felder.append(text(k < zeile.size() ? zeile.at(k) : QVariant(), it->spalten.at(k).typ,
                                       frequenzSpalte(liste, it->spalten.at(k).name)));
                } catch (const DatenFehler &f) {
                    throw nichtUebernommen(dateiName(quelle), ort(it->name, r + 1, it->spalten.at(k).name),
                                           f.meldung());
                }
            }
            l.daten.zeilen.append(felder);
            l.daten.zeilenNummern.append(r + 1);
        }
        listen.append(l);
    }

    // The columns are checked here, so that a refusal names the Jet table
    // rather than a line of a file.
    {
        SqliteDatei db(datenbank, SqliteDatei::Art::NurLesen);
        for (const Frequenzdaten::Liste &l : listen) {
            try {
                Frequenzdaten::zuordnen(l.tabelle, db.spalten(l.tabelle), l.daten.kopf);
            } catch (const DatenFehler &f) {
                throw nichtUebernommen(dateiName(quelle), ort(l.tabelle), f.meldung());
            }
        }
    }
    return Frequenzdaten::ersetzen(datenbank, listen);
}

QList<int> Uebernahme::frequenzenAusJet(const QString &jetDatei, const QString &datenbank)
{
    const JetDatei jet(jetDatei);
    QStringList fehlen;
    QList<Jet::Tabelle> tabellen;
    for (const QString &liste : Frequenzdaten::tabellen()) {
        const QString t = jet.tabelle(liste);
        if (t.isEmpty())
            fehlen.append(liste);
    }
    if (!fehlen.isEmpty())
        throw DatenFehler(
            QStringLiteral("Die Jet-Datei %1 enthält nicht die vier Frequenzlisten.").arg(zitiert(jetDatei)),
            QStringLiteral("Es fehlen die Tabellen %1. %2")
                .arg(fehlen.join(QStringLiteral(", ")), tabellenText(jet.tabellen())));
    for (const QString &liste : Frequenzdaten::tabellen())
        tabellen.append(jet.lesen(jet.tabelle(liste)));
    return frequenzen(tabellen, jetDatei, datenbank);
}
