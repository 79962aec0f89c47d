// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDate>
#include <QString>
#include <QVector>

#include <array>
#include <memory>

class Recordset;
class Verbindung;
struct sqlite3;

// The figures of the reception log: how many records per month, hour of the
// day, weekday, modulation and country, and the most frequent places and call
// signs, for the whole log or a period; and for every bar the records behind
// it. Everything is counted by SQL aggregates on a read-only connection of
// its own, never by reading the records one by one.
//
// Each computation first takes an extract of the log (one pass over the
// table, keeping the few columns the figures need, with the date and time
// read by Logdatum); all figures and all lists of records are queries over
// that extract, so a list always holds exactly the records its bar counted,
// even when the log has changed since.
//
// Records whose date cannot be read count in no month, weekday or period;
// those whose time cannot be read in no hour. They are counted apart and can
// be listed like a bar.
class Statistik
{
public:
    enum class Reihe { Monat, Stunde, Wochentag, Modulation, Land, Ort, Rufzeichen };
    static constexpr int AnzahlReihen = 7;
    // Places and call signs: the most frequent ones only.
    static constexpr int Spitze = 10;

    // Days from von to bis, both included. An invalid date leaves that end
    // open; with both invalid it is the whole log.
    struct Zeitraum
    {
        QDate von, bis;
        bool ganzesLog() const { return !von.isValid() && !bis.isValid(); }
    };

    struct Balken
    {
        QString schluessel;   // what the bar stands for: "2006-07", "21", "FM", ...
        QString text;         // the same for people: "Juli 2006", "21:00–21:59", "FM", ...
        qint64 anzahl = 0;
    };

    struct Zahlen
    {
        Zeitraum zeitraum;
        qint64 imLog = 0;         // every record of the log
        qint64 gezaehlt = 0;      // the records the figures cover (in the period)
        qint64 ohneDatum = 0;     // records of the whole log without a readable date
        qint64 ohneUhrzeit = 0;   // covered records without a readable time
        QDate erster, letzter;    // the first and last readable date in the log
    };

    // What a click picks: one bar of a series, or the records counted apart.
    struct Auswahl
    {
        enum class Art { Balken, OhneDatum, OhneUhrzeit };
        Art art = Art::Balken;
        Reihe reihe = Reihe::Monat;
        QString schluessel;
    };

    // The log database, read-only; it is opened by berechne().
    explicit Statistik(const QString &verbindungsText);
    ~Statistik();
    Statistik(const Statistik &) = delete;
    Statistik &operator=(const Statistik &) = delete;

    // Opens the log anew, takes the extract and counts its records for the
    // period; the series follow when asked for. The list of records
    // (eintraege) ends here. Throws DatenFehler (a missing log, too).
    Zahlen berechne(const Zeitraum &zeitraum);

    // One series of the last computation, counted when first asked for.
    // Months run from the first to the last month of the period (or of the
    // log), months without records as 0; hours 0 to 23; weekdays Monday to
    // Sunday; modulations and countries by frequency, empty ones as
    // "(ohne Angabe)"; places and call signs the most frequent ones.
    // Throws DatenFehler.
    const QVector<Balken> &reihe(Reihe reihe);
    static qint64 summe(const QVector<Balken> &balken);

    // The query of the records behind a bar of the last computation (with its
    // period): id, datum, uhrzeit, callsign, frequenz, ort, by date and time.
    QString abfrage(const Auswahl &auswahl) const;
    // Runs it; the records stay readable until the next call or computation.
    // Throws DatenFehler.
    Recordset &eintraege(const Auswahl &auswahl);
    // The records of the last call of eintraege, or null.
    Recordset *liste() const { return m_liste.get(); }

    // The SQL texts of one computation, for measuring them raw: the extract
    // (its table is temp.auszug), then one aggregate per series; the
    // connection needs Logdatum's functions.
    static QString auszugSql();
    static QString reiheSql(Reihe reihe, const Zeitraum &zeitraum);
    static QString monatsText(int jahr, int monat);
    static QString wochentagsText(int tag);   // 1 = Montag ... 7 = Sonntag

    static const QString ohneAngabe;

private:
    void ausfuehren(const QString &sql);

    QString m_verbindungsText;
    std::unique_ptr<Verbindung> m_verbindung;
    sqlite3 *m_db = nullptr;
    Zahlen m_zahlen;
    bool m_berechnet = false;
    std::array<QVector<Balken>, AnzahlReihen> m_reihen;
    std::array<bool, AnzahlReihen> m_gezaehlt{};
    std::unique_ptr<Recordset> m_liste;
};
