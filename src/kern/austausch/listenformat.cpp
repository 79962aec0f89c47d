#include "kern/austausch/listenformat.h"

#include "kern/formate/textkodierung.h"
#include "kern/basis/datenfehler.h"
#include "kern/basis/frequenz.h"
#include "kern/daten/sortierung.h"
#include "kern/daten/sqlitedatei.h"
#include "kern/daten/unicodelike.h"
#include "kern/bestaende/frequenzdaten.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>

namespace {

// How a list goes into formats that know a frequency, a name and a comment.
struct Art
{
    const char *tabelle;
    const char *frequenz;
    const char *name;
    const char *eingabe;           // the repeater input (afu), or nullptr
    QStringList kommentar;         // the other columns, in the CHIRP comment
    const char *freierKommentar;   // where a comment of another file goes, or nullptr
    bool am;                       // aviation: AM, otherwise FM
    int stellen;                   // decimals of the table's frequencies
    const char *tag;               // Gqrx tag
    const char *farbe;
};

const QList<Art> &arten()
{
    static const QList<Art> a{
        {"bos", "Freq", "Rufname", nullptr, {"BL", "Ort", "Benutzer", "Kanal"}, "Ort", false, 3, "BOS", "#ff4040"},
        {"flugfunk", "Frquenz", "Ort", nullptr, {}, nullptr, true, 3, "Flugfunk", "#40a0ff"},
        {"afu", "Ausgabe", "Standort", "Eingabe", {}, nullptr, false, 4, "AFU-Repeater", "#40c040"},
        {"fernwirken",
         "Frequenz",
         "Rufname",
         nullptr,
         {"Stadt", "Firma", "Anwenderart"},
         "Anwenderart",
         false,
         3,
         "Fernwirken",
         "#c0a000"},
    };
    return a;
}

const Art &artVon(const QString &tabelle)
{
    const QString t = Frequenzdaten::tabelle(tabelle);
    for (const Art &a : arten())
        if (t == QLatin1String(a.tabelle))
            return a;
    throw DatenFehler(QStringLiteral("Unbekannte Tabelle %1.").arg(tabelle));
}

QString q(const char *text)
{
    return QString::fromUtf8(text);
}

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
    qint64 hz = 0;
    std::optional<qint64> eingabeHz;
    QString name;
    QString kommentar;      // "Spalte=Wert; ...", for CHIRP and back
    QString beschreibung;   // the same values only, for people
};

// The rows with a frequency; the others are reported.
QList<Kanal> kanaele(const Listenformat::Liste &l, const Art &art, QStringList &hinweise)
{
    const int f = spalte(l, art.frequenz), n = spalte(l, art.name), e = spalte(l, art.eingabe);
    QList<Kanal> aus;
    for (int r = 0; r < l.zeilen.size(); ++r) {
        const Csv::Zeile &z = l.zeilen.at(r);
        const std::optional<qint64> hz = Frequenz::hertz(text(z, f));
        Kanal k;
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
            hinweise.append(
                QStringLiteral("Zeile %1 (%2) ausgelassen: %3")
                    .arg(r + 1)
                    .arg(k.name.isEmpty() ? QStringLiteral("ohne Namen") : k.name, Frequenz::einwand(text(z, f))));
            continue;
        }
        k.hz = *hz;
        if (e >= 0) {
            k.eingabeHz = Frequenz::hertz(text(z, e));
            if (!k.eingabeHz) {
                hinweise.append(QStringLiteral("Zeile %1 (%2) ausgelassen: Eingabe %3")
                                    .arg(r + 1)
                                    .arg(k.name, Frequenz::einwand(text(z, e))));
                continue;
            }
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

QByteArray chirp(const QList<Kanal> &kanaele, const Art &art)
{
    Csv::Dialekt d;
    d.zeilenende = "\r\n";
    d.formelnAlsText = false;   // CHIRP reads "-" in Duplex as it stands
    QList<Csv::Zeile> zeilen;
    int ort = 0;
    for (const Kanal &k : kanaele) {
        const qint64 ablage = k.eingabeHz ? *k.eingabeHz - k.hz : 0;
        const QString duplex = ablage < 0 ? QStringLiteral("-") : ablage > 0 ? QStringLiteral("+") : QString();
        // CHIRP drops a row whose tone columns are empty: every column holds
        // what CHIRP itself writes for a channel without tones.
        zeilen.append({QString::number(++ort), k.name, Frequenz::mhzText(k.hz, QLatin1Char('.'), 6), duplex,
                       Frequenz::mhzText(std::abs(ablage), QLatin1Char('.'), 6), QString(), QStringLiteral("88.5"),
                       QStringLiteral("88.5"), QStringLiteral("023"), QStringLiteral("NN"), QStringLiteral("023"),
                       QStringLiteral("Tone->Tone"), art.am ? QStringLiteral("AM") : QStringLiteral("FM"),
                       QStringLiteral("5.00"), QString(), QStringLiteral("50W"), k.kommentar});
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
// columns, else the frequency.
QString anzeigename(const Kanal &k, int stellen)
{
    if (!k.name.trimmed().isEmpty())
        return k.name.trimmed();
    if (!k.beschreibung.isEmpty())
        return k.beschreibung;
    return Frequenz::mhzText(k.hz, QLatin1Char(','), stellen) + QStringLiteral(" MHz");
}

QByteArray gqrx(const QList<Kanal> &kanaele, const Art &art)
{
    // Gqrx splits its lines at ';' and knows no quoting.
    auto ohneSemikolon = [](QString s) { return s.replace(QLatin1Char(';'), QLatin1Char(',')); };
    QString aus = QStringLiteral("# Tag name").leftJustified(20) + QStringLiteral(";  color\n");
    aus += q(art.tag).leftJustified(20) + QStringLiteral("; ") + q(art.farbe) + QLatin1Char('\n');
    aus += QLatin1Char('\n');
    aus += QStringLiteral("# Frequency ; Name                     ; Modulation          ;  Bandwidth; Tags\n");
    const QString modulation = art.am ? QStringLiteral("AM") : QStringLiteral("Narrow FM");
    for (const Kanal &k : kanaele)
        aus += QString::number(k.hz).rightJustified(12) + QStringLiteral("; ")
               + ohneSemikolon(anzeigename(k, art.stellen)).leftJustified(25) + QStringLiteral("; ")
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

// The comment: "Spalte=Wert; ..." as tremvik writes it, or free text. A
// part without a column name of its own belongs to the value before it
// ("Ort=Hamburg; Süd").
void kommentarLesen(const QString &kommentar, const Art &art, QHash<QString, QString> &werte, QString &frei)
{
    QHash<QString, QString> paare;
    QString letzte;
    for (const QString &teil : kommentar.split(QStringLiteral("; "))) {
        const qsizetype gleich = teil.indexOf(QLatin1Char('='));
        const QString name = teil.left(std::max<qsizetype>(gleich, 0));
        const auto it = std::find_if(art.kommentar.begin(), art.kommentar.end(),
                                     [&](const QString &s) { return s.compare(name, Qt::CaseInsensitive) == 0; });
        if (gleich > 0 && it != art.kommentar.end() && !paare.contains(*it)) {
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
        QString name = feld(c, r, n);
        if (!frei.isEmpty() && art.freierKommentar)
            werte.insert(q(art.freierKommentar), frei);
        else if (!frei.isEmpty())
            name = name.isEmpty() ? frei : name + QStringLiteral(" (") + frei + QLatin1Char(')');

        Csv::Zeile z{Frequenz::mhzText(hz, QLatin1Char(','), art.stellen),
                     name.isEmpty() ? Csv::Feld() : Csv::Feld(name)};
        for (const QString &s : art.kommentar)
            z.append(werte.contains(s) ? Csv::Feld(werte.value(s)) : Csv::Feld());
        if (art.eingabe)
            z.append(eingabe(feld(c, r, dup), feld(c, r, off), hz, art.stellen, zeile));
        t.zeilen.append(z);
        t.zeilenNummern.append(zeile);
    }
    return t;
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
    const Art &art = artVon(liste.tabelle);
    const QList<Kanal> k = kanaele(liste, art, aus.hinweise);
    aus.zeilen = int(k.size());
    aus.daten = format == Format::Chirp ? chirp(k, art) : format == Format::Gqrx ? gqrx(k, art) : sdrpp(k, art);
    return aus;
}

Csv::Tabelle Listenformat::einlesen(const QByteArray &daten, const QString &tabelle)
{
    const Art &art = artVon(tabelle);
    const Textkodierung::Text text = Textkodierung::dekodieren(daten);
    Csv::Dialekt d;
    d.trenner = Csv::trennerErkennen(text.text);
    d.kommentare = true;
    const Csv::Tabelle t = Csv::lesenText(text.text, d);
    if (t.kopf.first() == QLatin1String("Location"))
        return ausChirp(t, art);
    return t;
}
