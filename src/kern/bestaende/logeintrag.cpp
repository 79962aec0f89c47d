// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/bestaende/logeintrag.h"

#include "kern/basis/frequenz.h"
#include "kern/basis/speicherorte.h"
#include "kern/bestaende/logdatum.h"
#include "kern/daten/sortierung.h"
#include "kern/daten/sqlitedatei.h"
#include "kern/daten/unicodelike.h"
#include "kern/daten/verbindung.h"
#include "kern/formate/rtf.h"

#include <QFont>
#include <QHash>
#include <QTextDocument>
#include <sqlite3.h>

#include <algorithm>

namespace {

QString spaltenText(sqlite3_stmt *s, int k)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, k)), sqlite3_column_bytes(s, k));
}

Logeintrag::Wert wertLesen(sqlite3_stmt *s, int k)
{
    if (sqlite3_column_type(s, k) == SQLITE_NULL)
        return std::nullopt;
    return spaltenText(s, k);
}

// The field of the statement for each column of a record.
QList<int> spaltenZuordnen(sqlite3_stmt *s, const QString &was)
{
    QList<int> felder(Logeintrag::anzahl, -1);
    for (int k = 0; k < sqlite3_column_count(s); ++k) {
        const QString name = QString::fromUtf8(sqlite3_column_name(s, k));
        for (int c = 0; c < Logeintrag::anzahl; ++c)
            if (felder.at(c) < 0 && Logeintrag::spalten().at(c).compare(name, Qt::CaseInsensitive) == 0)
                felder[c] = k;
    }
    for (int c = 0; c < Logeintrag::anzahl; ++c)
        if (felder.at(c) < 0)
            throw DatenFehler(was, QStringLiteral("Die Spalte %1 fehlt.").arg(Logeintrag::spalten().at(c)));
    return felder;
}

bool weiter(const Fortschritt &f, qint64 erledigt, qint64 gesamt)
{
    return !f || f(erledigt, gesamt);
}

}   // namespace

const QStringList &Logeintrag::spalten()
{
    static const QStringList namen{"callsign", "skip",  "vorname",  "land", "swert", "rwert",    "datum",
                                   "uhrzeit",  "lanal", "frequenz", "band", "ort",   "bemerkung"};
    return namen;
}

const QStringList &Logeintrag::beschriftungen()
{
    static const QStringList namen{"CallSign", "Skip",  "Vorname",  "Land",       "S-Wert", "R-Wert",   "Datum",
                                   "Uhrzeit",  "Kanal", "Frequenz", "Modulation", "QTH",    "Bemerkung"};
    return namen;
}

QString Logeintrag::alsText() const
{
    QStringList teile;
    for (const Wert &w : werte)
        teile.append(w ? *w : QStringLiteral("\u2205"));
    return teile.join(QLatin1Char('|'));
}

QString Logdaten::standardDatei()
{
    return Speicherorte::datei(Verbindung::dateiName(Verbindungstext::log));
}

QList<Logeintrag> Logdaten::lesen(const QString &datenbank, const QString &abfrage, const Fortschritt &fortschritt)
{
    SqliteDatei db(datenbank, SqliteDatei::Art::NurLesen);
    const QString was = QStringLiteral("Die Einträge des Logs können nicht gelesen werden.");
    // A query may search and sort as the windows do.
    if (!registriereUnicodeLike(db.handle()) || !Sortierung::registrieren(db.handle()))
        throw DatenFehler(was, db.text());

    qint64 gesamt = 0;
    {
        SqliteAnweisung zaehlen(db, QStringLiteral("select count(*) from (%1)").arg(abfrage), was);
        if (sqlite3_step(*zaehlen) == SQLITE_ROW)
            gesamt = sqlite3_column_int64(*zaehlen, 0);
    }
    SqliteAnweisung s(db, abfrage, was);
    const QList<int> felder = spaltenZuordnen(*s, was);
    QList<Logeintrag> aus;
    aus.reserve(gesamt);
    int rc;
    while ((rc = sqlite3_step(*s)) == SQLITE_ROW) {
        Logeintrag e;
        for (int c = 0; c < Logeintrag::anzahl; ++c)
            e.werte[c] = wertLesen(*s, felder.at(c));
        aus.append(e);
        if (aus.size() % 256 == 0 && !weiter(fortschritt, aus.size(), gesamt))
            throw Abgebrochen();
    }
    if (rc != SQLITE_DONE)
        throw DatenFehler(was, db.text());
    return aus;
}

QString Logdaten::bemerkungAlsText(const QString &rtf)
{
    QString text = Rtf::alsText(rtf);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QString Logdaten::bemerkungAusText(const QString &text)
{
    QTextDocument d;
    QFont schrift(QStringLiteral("Arial"));
    schrift.setPointSizeF(12);
    d.setDefaultFont(schrift);
    d.setPlainText(text);
    return Rtf::schreiben(d);
}

QString Logdaten::schluessel(const Logeintrag &e)
{
    auto teil = [](const Logeintrag::Wert &w, auto lesen) -> QString {
        if (!w)
            return QStringLiteral("\u2205");
        return lesen(*w);
    };
    const QString call = teil(e[Logeintrag::callsign], [](const QString &t) { return t.trimmed().toUpper(); });
    const QString datum = teil(e[Logeintrag::datum], [](const QString &t) {
        const auto d = Logdatum::tag(t);
        return d ? QString::asprintf("%04d-%02d-%02d", d->year(), d->month(), d->day()) : t.trimmed();
    });
    const QString zeit = teil(e[Logeintrag::uhrzeit], [](const QString &t) {
        const auto z = Logdatum::uhrzeit(t);
        return z ? QString::asprintf("%02d:%02d", z->zeit.hour(), z->zeit.minute()) : t.trimmed();
    });
    const QString freq = teil(e[Logeintrag::frequenz], [](const QString &t) {
        const auto hz = Frequenz::hertz(t);
        return hz ? QString::number(*hz) + QStringLiteral(" Hz") : t.trimmed();
    });
    return QStringList{call, datum, zeit, freq}.join(QChar(0x1F));
}
