// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/austausch/listenformat.h"

#include "kern/austausch/lesezeichen.h"
#include "kern/austausch/listenart.h"
#include "kern/basis/datenfehler.h"
#include "kern/basis/frequenz.h"
#include "kern/bestaende/frequenzdaten.h"
#include "kern/daten/sortierung.h"
#include "kern/daten/sqlitedatei.h"
#include "kern/daten/unicodelike.h"
#include "kern/formate/textkodierung.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>

namespace {

using Listenart::Art;
using Listenart::q;

// CHIRP writes a pair of frequencies further apart than this as "split",
// the input itself in Offset (chirp_common.split_to_offset).
constexpr qint64 chirpSplitAb = 70'000'000;

int spalte(const Listenformat::Liste &l, const char *name)
{
    if (!name)
        return -1;
    for (int k = 0; k < l.spalten.size(); ++k)
        if (l.spalten.at(k).compare(q(name), Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

QString text(const Csv::Zeile &z, int k)
{
    return k >= 0 && k < z.size() ? z.at(k).value_or(QString()) : QString();
}

// One row as the formats see it.
struct Kanal
{
    int zeile = 0;       // the row's number in the list, from 1
    qint64 hz = 0;       // what a receiver is tuned to
    QString kanalname;   // the aviation channel's name where it is not hz
    std::optional<qint64> eingabeHz;
    QString eingabeEinwand;   // why the input is no frequency
    QString name;
    QString kommentar;      // "Spalte=Wert; ...", for CHIRP and back
    QString beschreibung;   // the same values only, for people
};

QString nameOderOhne(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("ohne Namen") : name;
}

// The rows with a frequency; the others are reported.
QList<Kanal> kanaele(const Listenformat::Liste &l, const Art &art, QStringList &hinweise)
{
    const int f = spalte(l, art.frequenz), n = spalte(l, art.name), e = spalte(l, art.eingabe);
    QList<Kanal> aus;
    for (int r = 0; r < l.zeilen.size(); ++r) {
        const Csv::Zeile &z = l.zeilen.at(r);
        const std::optional<qint64> hz = Frequenz::hertz(text(z, f));
        Kanal k;
        k.zeile = r + 1;
        k.name = text(z, n);
        QStringList kommentar, beschreibung;
        for (const QString &s : art.kommentar) {
            const QString w = text(z, spalte(l, s.toUtf8().constData()));
            if (!w.isEmpty()) {
                kommentar.append(s + QLatin1Char('=') + w);
                beschreibung.append(w);
            }
        }
        k.kommentar = kommentar.join(QStringLiteral("; "));
        k.beschreibung = beschreibung.join(QStringLiteral(", "));
        if (!hz) {
            hinweise.append(QStringLiteral("Zeile %1 (%2) ausgelassen: %3")
                                .arg(k.zeile)
                                .arg(nameOderOhne(k.name), Frequenz::einwand(text(z, f))));
            continue;
        }
        const Listenart::Traeger t = Listenart::traeger(art, *hz);
        k.hz = t.hz;
        k.kanalname = t.kanalname;
        // A repeater without an input is still heard on its output.
        const QString eingabe = text(z, e);
        if (!eingabe.trimmed().isEmpty()) {
            k.eingabeHz = Frequenz::hertz(eingabe);
            if (!k.eingabeHz)
                k.eingabeEinwand = Frequenz::einwand(eingabe);
        }
        aus.append(k);
    }
    return aus;
}

const QStringList &chirpKopf()
{
    static const QStringList k{"Location",  "Name",      "Frequency", "Duplex",       "Offset",     "Tone",
                               "rToneFreq", "cToneFreq", "DtcsCode",  "DtcsPolarity", "RxDtcsCode", "CrossMode",
                               "Mode",      "TStep",     "Skip",      "Power",        "Comment"};
    return k;
}

// A name as radios can show it: ASCII on one line ("Lübeck" -> "Luebeck").
QString chirpName(const QString &name)
{
    QString aus = Textkodierung::ascii(name);
    for (QChar &c : aus)
        if (c < QLatin1Char(' '))
            c = QLatin1Char(' ');
    return aus;
}

QByteArray chirp(const QList<Kanal> &kanaele, const Art &art, QStringList &anmerkungen)
{
    Csv::Dialekt d;
    d.zeilenende = "\r\n";
    d.formelnAlsText = false;   // CHIRP reads "-" in Duplex as it stands
    QList<Csv::Zeile> zeilen;
    int ort = 0;
    for (const Kanal &k : kanaele) {
        // Simplex without an input; a pair across bands as CHIRP writes it.
        QString duplex;
        qint64 offset = 0;
        if (k.eingabeHz) {
            const qint64 ablage = *k.eingabeHz - k.hz;
            duplex = std::abs(ablage) > chirpSplitAb ? QStringLiteral("split")
                     : ablage < 0                    ? QStringLiteral("-")
                     : ablage > 0                    ? QStringLiteral("+")
                                                     : QString();
            offset = duplex == QLatin1String("split") ? *k.eingabeHz : std::abs(ablage);
        } else if (!k.eingabeEinwand.isEmpty()) {
            anmerkungen.append(QStringLiteral("Zeile %1 (%2) als Simplex geschrieben: Eingabe %3")
                                   .arg(k.zeile)
                                   .arg(nameOderOhne(k.name), k.eingabeEinwand));
        }
        // The exact name stays in the comment where the radio's differs.
        QStringList kommentar;
        if (chirpName(k.name) != k.name)
            kommentar.append(q(art.name) + QLatin1Char('=') + k.name);
        if (!k.kommentar.isEmpty())
            kommentar.append(k.kommentar);
        // CHIRP drops a row whose tone columns are empty: every column holds
        // what CHIRP itself writes for a channel without tones.
        zeilen.append({QString::number(++ort), chirpName(Listenart::mitKanal(k.name, k.kanalname)),
                       Frequenz::mhzText(k.hz, QLatin1Char('.'), 6), duplex,
                       Frequenz::mhzText(offset, QLatin1Char('.'), 6), QString(), QStringLiteral("88.5"),
                       QStringLiteral("88.5"), QStringLiteral("023"), QStringLiteral("NN"), QStringLiteral("023"),
                       QStringLiteral("Tone->Tone"), art.am ? QStringLiteral("AM") : QStringLiteral("FM"),
                       QStringLiteral("5.00"), QString(), QStringLiteral("50W"), kommentar.join(QStringLiteral("; "))});
    }
    // Empty fields are written as nothing, never as "": CHIRP recognises
    // its file by "Location," at the very start.
    for (Csv::Zeile &z : zeilen)
        for (Csv::Feld &f : z)
            if (f && f->isEmpty())
                f.reset();
    return Csv::schreiben(chirpKopf(), zeilen, d);
}

// A name for the programs that show one: the name column, else the other
// columns, each with the channel it stands for; else the channel or the
// frequency.
QString anzeigename(const Kanal &k, int stellen)
{
    const QString name = k.name.trimmed().isEmpty() ? k.beschreibung : k.name.trimmed();
    if (!name.isEmpty() || !k.kanalname.isEmpty())
        return Listenart::mitKanal(name, k.kanalname);
    return Frequenz::mhzText(k.hz, QLatin1Char(','), stellen) + QStringLiteral(" MHz");
}

QByteArray gqrx(const QList<Kanal> &kanaele, const Art &art)
{
    // Gqrx reads a bookmark from one line split at ';', without quoting.
    auto einFeld = [](QString s) {
        for (QChar &c : s)
            if (c == QLatin1Char(';'))
                c = QLatin1Char(',');
            else if (c < QLatin1Char(' '))
                c = QLatin1Char(' ');
        return s;
    };
    QString aus = QStringLiteral("# Tag name").leftJustified(20) + QStringLiteral(";  color\n");
    aus += q(art.tag).leftJustified(20) + QStringLiteral("; ") + q(art.farbe) + QLatin1Char('\n');
    aus += QLatin1Char('\n');
    aus += QStringLiteral("# Frequency ; Name                     ; Modulation          ;  Bandwidth; Tags\n");
    const QString modulation = art.am ? QStringLiteral("AM") : QStringLiteral("Narrow FM");
    for (const Kanal &k : kanaele)
        aus += QString::number(k.hz).rightJustified(12) + QStringLiteral("; ")
               + einFeld(anzeigename(k, art.stellen)).leftJustified(25) + QStringLiteral("; ")
               + modulation.leftJustified(20) + QStringLiteral("; ") + QString::number(10000).rightJustified(10)
               + QStringLiteral("; ") + q(art.tag) + QLatin1Char('\n');
    return aus.toUtf8();
}

QByteArray sdrpp(const QList<Kanal> &kanaele, const Art &art)
{
    // Names are the keys of the list: each one once.
    QJsonObject lesezeichen;
    for (const Kanal &k : kanaele) {
        const QString basis = anzeigename(k, art.stellen);
        QString name = basis;
        for (int n = 2; lesezeichen.contains(name); ++n)
            name = QStringLiteral("%1 (%2)").arg(basis).arg(n);
        QJsonObject b;
        b.insert(QStringLiteral("frequency"), double(k.hz));
        b.insert(QStringLiteral("bandwidth"), art.am ? 10000.0 : 12500.0);
        b.insert(QStringLiteral("mode"), art.am ? 2 : 0);   // SDR++: 0 NFM, 2 AM
        lesezeichen.insert(name, b);
    }
    QJsonObject wurzel;
    wurzel.insert(QStringLiteral("bookmarks"), lesezeichen);
    return QJsonDocument(wurzel).toJson(QJsonDocument::Indented);
}

// ---------------------------------------------------------------- reading

int index(const Csv::Tabelle &t, const QString &name)
{
    for (int k = 0; k < t.kopf.size(); ++k)
        if (t.kopf.at(k).compare(name, Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

QString feld(const Csv::Tabelle &t, int r, int k)
{
    return k >= 0 ? t.zeilen.at(r).at(k).value_or(QString()).trimmed() : QString();
}

qint64 hertzOderFehler(const QString &wert, const QString &spalte, int zeile)
{
    const std::optional<qint64> hz = Frequenz::hertz(wert);
    if (!hz)
        throw Csv::Fehler(zeile, QStringLiteral("%1: %2").arg(spalte, Frequenz::einwand(wert)));
    return *hz;
}

// The input of a repeater from CHIRP's duplex and offset.
Csv::Feld eingabe(const QString &duplex, const QString &offset, qint64 hz, int stellen, int zeile)
{
    if (duplex.isEmpty())
        return Frequenz::mhzText(hz, QLatin1Char(','), stellen);
    if (duplex == QLatin1String("off"))
        return std::nullopt;
    const qint64 wert = hertzOderFehler(offset, QStringLiteral("Offset"), zeile);
    if (duplex == QLatin1String("split"))
        return Frequenz::mhzText(wert, QLatin1Char(','), stellen);
    if (duplex != QLatin1String("+") && duplex != QLatin1String("-"))
        throw Csv::Fehler(zeile, QStringLiteral("Duplex \u201E%1\u201C ist keiner der Werte +, -, split, off oder "
                                                "leer.")
                                     .arg(duplex));
    return Frequenz::mhzText(duplex == QLatin1String("+") ? hz + wert : hz - wert, QLatin1Char(','), stellen);
}

// The comment: "Spalte=Wert; ..." as tremvik writes it (the name column
// first, where the radio's name is not the exact one), or free text. A part
// without a column name of its own belongs to the value before it
// ("Ort=Hamburg; Süd").
void kommentarLesen(const QString &kommentar, const Art &art, QHash<QString, QString> &werte, QString &frei)
{
    const QStringList spalten = QStringList{q(art.name)} + art.kommentar;
    QHash<QString, QString> paare;
    QString letzte;
    for (const QString &teil : kommentar.split(QStringLiteral("; "))) {
        const qsizetype gleich = teil.indexOf(QLatin1Char('='));
        const QString name = teil.left(std::max<qsizetype>(gleich, 0));
        const auto it = std::find_if(spalten.begin(), spalten.end(),
                                     [&](const QString &s) { return s.compare(name, Qt::CaseInsensitive) == 0; });
        if (gleich > 0 && it != spalten.end() && !paare.contains(*it)) {
            letzte = *it;
            paare.insert(letzte, teil.mid(gleich + 1));
        } else if (!letzte.isEmpty()) {
            paare[letzte] += QStringLiteral("; ") + teil;
        } else {
            frei = kommentar;   // not written by tremvik
            return;
        }
    }
    werte = paare;
}

Csv::Tabelle ausChirp(const Csv::Tabelle &c, const Art &art)
{
    const int f = index(c, QStringLiteral("Frequency"));
    if (f < 0)
        throw Csv::Fehler(c.kopfZeile, QStringLiteral("Der CHIRP-Datei fehlt die Spalte Frequency."));
    const int n = index(c, QStringLiteral("Name")), kom = index(c, QStringLiteral("Comment"));
    const int dup = index(c, QStringLiteral("Duplex")), off = index(c, QStringLiteral("Offset"));

    Csv::Tabelle t;
    t.kopfZeile = c.kopfZeile;
    t.kopf = QStringList{q(art.frequenz), q(art.name)} + art.kommentar;
    if (art.eingabe)
        t.kopf.append(q(art.eingabe));
    for (int r = 0; r < c.zeilen.size(); ++r) {
        const int zeile = c.zeilenNummern.at(r);
        const qint64 hz = hertzOderFehler(feld(c, r, f), QStringLiteral("Frequency"), zeile);
        QHash<QString, QString> werte;
        QString frei;
        kommentarLesen(feld(c, r, kom), art, werte, frei);
        // The carrier back to its channel name; the exact name from the
        // comment.
        const Listenart::Zurueck zurueck = Listenart::zurueck(art, hz, feld(c, r, n));
        QString name = zurueck.name.value_or(QString());
        if (werte.contains(q(art.name)))
            name = werte.take(q(art.name));
        if (!frei.isEmpty() && art.freierKommentar)
            werte.insert(q(art.freierKommentar), frei);
        else if (!frei.isEmpty())
            name = name.isEmpty() ? frei : name + QStringLiteral(" (") + frei + QLatin1Char(')');

        Csv::Zeile z{zurueck.frequenz, name.isEmpty() ? Csv::Feld() : Csv::Feld(name)};
        for (const QString &s : art.kommentar)
            z.append(werte.contains(s) ? Csv::Feld(werte.value(s)) : Csv::Feld());
        if (art.eingabe)
            z.append(eingabe(feld(c, r, dup), feld(c, r, off), hz, art.stellen, zeile));
        t.zeilen.append(z);
        t.zeilenNummern.append(zeile);
    }
    return t;
}

// The header of a table as it stands in the file, for telling its kind
// before it is read: the first line that is neither empty nor a comment,
// its fields without quotes.
QStringList rohKopf(const QString &text, char trenner, int &zeile)
{
    zeile = 0;
    for (const QStringView z : QStringView(text).split(QLatin1Char('\n'))) {
        ++zeile;
        const QStringView inhalt = z.trimmed();
        if (inhalt.isEmpty() || inhalt.startsWith(QLatin1Char('#')))
            continue;
        QStringList felder;
        for (const QStringView f : inhalt.split(QLatin1Char(trenner)))
            felder.append(f.trimmed().toString().remove(QLatin1Char('"')));
        return felder;
    }
    return {};
}

// A header of tremvik's own lists: it names a column of one of them.
bool eigenerKopf(const QStringList &kopf)
{
    for (const Art &a : Listenart::arten()) {
        QStringList spalten = QStringList{q(a.frequenz), q(a.name)} + a.kommentar;
        if (a.eingabe)
            spalten.append(q(a.eingabe));
        for (const QString &k : kopf)
            if (spalten.contains(k, Qt::CaseInsensitive))
                return true;
    }
    return false;
}

// A table of text: tremvik's CSV or CHIRP's, else a file of no kind known.
Csv::Tabelle tabelleLesen(const QString &text, const Art &art)
{
    Csv::Dialekt d;
    d.trenner = Csv::trennerErkennen(text);
    d.kommentare = true;
    int kopfZeile = 0;
    const QStringList kopf = rohKopf(text, d.trenner, kopfZeile);
    const bool chirp = !kopf.isEmpty() && kopf.first() == QLatin1String("Location");
    if (!kopf.isEmpty() && !chirp && !eigenerKopf(kopf))
        throw Csv::Fehler(kopfZeile,
                          QStringLiteral("Die Datei hat keines der bekannten Formate. Eingelesen werden CSV-Listen "
                                         "von tremvik-tool (Kopfzeile mit den Spaltennamen der Tabelle, hier %1), "
                                         "CHIRP-CSV-Dateien (Kopfzeile ab \u201ELocation\u201C), Gqrx-Lesezeichen "
                                         "(bookmarks.csv) und Frequenzlisten von SDR++ (JSON).")
                              .arg((QStringList{q(art.frequenz), q(art.name)} + art.kommentar
                                    + (art.eingabe ? QStringList{q(art.eingabe)} : QStringList()))
                                       .join(QStringLiteral(", "))));
    const Csv::Tabelle t = Csv::lesenText(text, d);
    return chirp ? ausChirp(t, art) : t;
}

}   // namespace

std::optional<Listenformat::Format> Listenformat::format(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("csv"))
        return Format::Csv;
    if (n == QLatin1String("chirp"))
        return Format::Chirp;
    if (n == QLatin1String("gqrx"))
        return Format::Gqrx;
    if (n == QLatin1String("sdrpp") || n == QLatin1String("sdr++"))
        return Format::Sdrpp;
    return std::nullopt;
}

Listenformat::Liste Listenformat::lesen(const QString &datenbank, const QString &tabelle, const QString &abfrage)
{
    Liste l;
    l.tabelle = Frequenzdaten::tabelle(tabelle);
    SqliteDatei db(datenbank, SqliteDatei::Art::NurLesen);
    const QString sql =
        abfrage.isEmpty() ? QStringLiteral("select * from %1 order by rowid").arg(sqlName(l.tabelle)) : abfrage;
    const QString was = QStringLiteral("Die Liste %1 kann nicht gelesen werden.").arg(l.tabelle);
    // The list as a window shows it: found and in the order the user clicked.
    if (!registriereUnicodeLike(db.handle()) || !Sortierung::registrieren(db.handle()))
        throw DatenFehler(was, db.text());
    SqliteAnweisung s(db, sql, was);
    for (int k = 0; k < sqlite3_column_count(*s); ++k)
        l.spalten.append(QString::fromUtf8(sqlite3_column_name(*s, k)));
    int rc;
    while ((rc = sqlite3_step(*s)) == SQLITE_ROW) {
        Csv::Zeile z;
        for (int k = 0; k < l.spalten.size(); ++k) {
            if (sqlite3_column_type(*s, k) == SQLITE_NULL)
                z.append(Csv::Feld());
            else
                z.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(*s, k)),
                                           sqlite3_column_bytes(*s, k)));
        }
        l.zeilen.append(z);
    }
    if (rc != SQLITE_DONE)
        throw DatenFehler(was, db.text());
    return l;
}

Listenformat::Ausgabe Listenformat::schreiben(const Liste &liste, Format format)
{
    Ausgabe aus;
    if (format == Format::Csv) {
        aus.daten = Csv::schreiben(liste.spalten, liste.zeilen);
        aus.zeilen = int(liste.zeilen.size());
        return aus;
    }
    const Art &art = Listenart::artVon(liste.tabelle);
    const QList<Kanal> k = kanaele(liste, art, aus.hinweise);
    aus.zeilen = int(k.size());
    aus.daten = format == Format::Chirp  ? chirp(k, art, aus.anmerkungen)
                : format == Format::Gqrx ? gqrx(k, art)
                                         : sdrpp(k, art);
    return aus;
}

Csv::Tabelle Listenformat::einlesen(const QByteArray &daten, const QString &tabelle, QStringList *hinweise)
{
    const Art &art = Listenart::artVon(tabelle);
    const QString text = Textkodierung::dekodieren(daten).text;
    QStringList h;
    Csv::Tabelle t;
    if (Lesezeichen::istJson(text))
        t = Lesezeichen::sdrpp(text, art, h);
    else if (Lesezeichen::istGqrx(text))
        t = Lesezeichen::gqrx(text, art, h);
    else
        t = tabelleLesen(text, art);
    if (hinweise)
        *hinweise = h;
    return t;
}
