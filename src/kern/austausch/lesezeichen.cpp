// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/austausch/lesezeichen.h"

#include "kern/basis/datenfehler.h"
#include "kern/basis/frequenz.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using Listenart::Art;
using Listenart::kurz;
using Listenart::q;

// One bookmark, whichever program wrote it.
struct Satz
{
    int zeile = 1;   // the line of the file it stands on
    QString wo;      // how a message names it: "Zeile 7 (Name)"
    qint64 hz = 0;
    QString name;
    QString modus;            // as the program names it; empty: none given
    bool modusPasst = true;   // the list's mode (AM or FM), or none given
    QStringList gruppen;      // its tags (Gqrx) or its list (SDR++)
    QString gruppenText;      // the same for a message: "Tag „Marine“"
};

QString gruppenText(const QString &art, const QStringList &gruppen)
{
    QStringList namen;
    for (const QString &g : gruppen)
        namen.append(zitiert(kurz(g)));
    return art + QLatin1Char(' ') + namen.join(QStringLiteral(", "));
}

bool eigeneGruppe(const Satz &s, const Art &art)
{
    return std::any_of(s.gruppen.begin(), s.gruppen.end(), [&](const QString &g) {
        return g.compare(q(art.tag), Qt::CaseInsensitive) == 0 || g.compare(q(art.tabelle), Qt::CaseInsensitive) == 0;
    });
}

// The bookmarks as rows of the list: those of its own tag where the file has
// any, frequency and name in the list's form.
Csv::Tabelle tabelle(const QList<Satz> &saetze, const Art &art, QStringList &hinweise)
{
    const bool auswahl = std::any_of(saetze.begin(), saetze.end(), [&](const Satz &s) { return eigeneGruppe(s, art); });
    Csv::Tabelle t;
    t.kopf = QStringList{q(art.frequenz), q(art.name)};
    for (const Satz &s : saetze) {
        if (auswahl && !eigeneGruppe(s, art)) {
            hinweise.append(
                QStringLiteral("%1 nicht übernommen: %2, nicht %3.").arg(s.wo, s.gruppenText, zitiert(q(art.tag))));
            continue;
        }
        if (!s.modusPasst)
            hinweise.append(
                QStringLiteral("%1 übernommen, aber mit der Modulation %2; die Liste wird mit %3 gehört.")
                    .arg(s.wo, zitiert(kurz(s.modus)), art.am ? QStringLiteral("AM") : QStringLiteral("FM")));
        const Listenart::Zurueck z = Listenart::zurueck(art, s.hz, s.name);
        t.zeilen.append(Csv::Zeile{z.frequenz, z.name});
        t.zeilenNummern.append(s.zeile);
    }
    // A file without bookmarks never empties a list.
    if (t.zeilen.isEmpty())
        throw Csv::Fehler(1, QStringLiteral("Die Datei enthält keine Lesezeichen."));
    return t;
}

// Hertz as Gqrx writes them: digits only.
std::optional<qint64> hertz(const QString &text)
{
    if (text.isEmpty() || text.size() > 13 || !std::all_of(text.begin(), text.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        }))
        return std::nullopt;
    const qint64 hz = text.toLongLong();
    return hz <= Frequenz::hoechsteHz ? std::optional<qint64>(hz) : std::nullopt;
}

QString namensangabe(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("ohne Namen") : kurz(name);
}

// Gqrx's modes by their names: "AM", "AM-Sync"; "Narrow FM", "WFM (mono)" ...
bool gqrxModusPasst(const QString &modus, const Art &art)
{
    if (modus.isEmpty())
        return true;
    return art.am ? modus.startsWith(QLatin1String("AM"), Qt::CaseInsensitive)
                  : modus.contains(QLatin1String("FM"), Qt::CaseInsensitive);
}

// The line on which each key of a JSON text first stands, found in one pass.
QHash<QString, int> schluesselZeilen(const QString &text)
{
    QHash<QString, int> zeilen;
    int zeile = 1;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text.at(i) == QLatin1Char('\n'))
            ++zeile;
        if (text.at(i) != QLatin1Char('"'))
            continue;
        const int anfang = zeile;
        qsizetype j = i + 1;
        for (bool escape = false; j < n; ++j) {
            if (text.at(j) == QLatin1Char('\n'))
                ++zeile;
            if (escape)
                escape = false;
            else if (text.at(j) == QLatin1Char('\\'))
                escape = true;
            else if (text.at(j) == QLatin1Char('"'))
                break;
        }
        qsizetype k = j + 1;
        while (k < n && text.at(k).isSpace())
            ++k;
        if (k < n && text.at(k) == QLatin1Char(':')) {
            QString name = text.mid(i + 1, j - i - 1);
            if (name.contains(QLatin1Char('\\')))
                name = QJsonDocument::fromJson("[\"" + name.toUtf8() + "\"]").array().at(0).toString();
            if (!zeilen.contains(name))
                zeilen.insert(name, anfang);
        }
        i = j;
    }
    return zeilen;
}

// SDR++'s modes, by their number in its files.
const char *const sdrppModi[] = {"NFM", "WFM", "AM", "DSB", "USB", "CW", "LSB", "RAW"};

}   // namespace

bool Lesezeichen::istJson(const QString &text)
{
    for (const QChar c : text) {
        if (c.isSpace() || c == QChar::ByteOrderMark)
            continue;
        return c == QLatin1Char('{') || c == QLatin1Char('[');
    }
    return false;
}

bool Lesezeichen::istGqrx(const QString &text)
{
    static const QRegularExpression farbe(QStringLiteral("^#[0-9A-Fa-f]{6}([0-9A-Fa-f]{2})?$"));
    for (const QStringView z : QStringView(text).split(QLatin1Char('\n'))) {
        const QStringView zeile = z.trimmed();
        if (zeile.startsWith(QLatin1String("# Tag name"), Qt::CaseInsensitive))
            return true;
        if (zeile.isEmpty() || zeile.startsWith(QLatin1Char('#')))
            continue;
        const QList<QStringView> f = zeile.split(QLatin1Char(';'));
        if (f.size() == 2)
            return farbe.match(f.at(1).trimmed()).hasMatch();
        return f.size() >= 5 && hertz(f.at(0).trimmed().toString()).has_value();
    }
    return false;
}

Csv::Tabelle Lesezeichen::gqrx(const QString &text, const Art &art, QStringList &hinweise)
{
    QList<Satz> saetze;
    // Gqrx's tags and their colours come first, up to an empty line.
    bool tags = true;
    const QList<QStringView> zeilen = QStringView(text).split(QLatin1Char('\n'));
    for (int i = 0; i < zeilen.size(); ++i) {
        const QStringView zeile = zeilen.at(i).trimmed();
        if (zeile.isEmpty()) {
            tags = false;
            continue;
        }
        if (zeile.startsWith(QLatin1Char('#')))
            continue;
        const QList<QStringView> f = zeile.split(QLatin1Char(';'));
        if (tags && f.size() < 5)
            continue;
        tags = false;
        const int nr = i + 1;
        if (f.size() < 5)
            throw Csv::Fehler(nr, QStringLiteral("Ein Lesezeichen hat fünf durch Semikolon getrennte Felder "
                                                 "(Frequenz, Name, Modulation, Bandbreite, Tags), diese Zeile hat %1.")
                                      .arg(f.size()));
        const QString frequenz = f.at(0).trimmed().toString();
        const std::optional<qint64> hz = hertz(frequenz);
        if (!hz)
            throw Csv::Fehler(nr, QStringLiteral("%1 ist keine Frequenz in Hertz.").arg(zitiert(kurz(frequenz))));
        Satz s;
        s.zeile = nr;
        s.hz = *hz;
        s.name = f.at(1).trimmed().toString();
        s.wo = QStringLiteral("Zeile %1 (%2)").arg(nr).arg(namensangabe(s.name));
        s.modus = f.at(2).trimmed().toString();
        s.modusPasst = gqrxModusPasst(s.modus, art);
        // Several tags are separated by commas; none is Gqrx's "Untagged".
        for (const QStringView tag : f.at(4).split(QLatin1Char(','))) {
            const QString t = tag.trimmed().toString();
            s.gruppen.append(t.isEmpty() ? QStringLiteral("Untagged") : t);
        }
        s.gruppenText = gruppenText(s.gruppen.size() == 1 ? QStringLiteral("Tag") : QStringLiteral("Tags"), s.gruppen);
        saetze.append(s);
    }
    return tabelle(saetze, art, hinweise);
}

Csv::Tabelle Lesezeichen::sdrpp(const QString &text, const Art &art, QStringList &hinweise)
{
    const QByteArray utf8 = text.toUtf8();
    QJsonParseError fehler;
    const QJsonDocument doc = QJsonDocument::fromJson(utf8, &fehler);
    if (fehler.error != QJsonParseError::NoError)
        throw Csv::Fehler(int(utf8.left(fehler.offset).count('\n')) + 1,
                          QStringLiteral("Die JSON-Datei ist fehlerhaft: %1.").arg(fehler.errorString()));
    const QJsonObject wurzel = doc.object();
    // One list as SDR++ exports it, or the frequency manager's settings with
    // all its lists (in older ones, a list holds its bookmarks directly).
    QList<std::pair<QString, QJsonObject>> listen;
    if (wurzel.value(QLatin1String("bookmarks")).isObject()) {
        listen.append({QString(), wurzel.value(QLatin1String("bookmarks")).toObject()});
    } else if (wurzel.value(QLatin1String("lists")).isObject()) {
        const QJsonObject alle = wurzel.value(QLatin1String("lists")).toObject();
        for (auto it = alle.begin(); it != alle.end(); ++it) {
            const QJsonObject liste = it.value().toObject();
            if (liste.value(QLatin1String("bookmarks")).isObject())
                listen.append({it.key(), liste.value(QLatin1String("bookmarks")).toObject()});
            else if (!liste.contains(QLatin1String("showOnWaterfall")))
                listen.append({it.key(), liste});
        }
    } else {
        throw Csv::Fehler(1, QStringLiteral("Die JSON-Datei ist keine Frequenzliste von SDR++: Ihr fehlt "
                                            "\u201Ebookmarks\u201C (eine exportierte Liste) oder \u201Elists\u201C "
                                            "(die Einstellungen des Frequenzmanagers)."));
    }

    const QHash<QString, int> zeilen = schluesselZeilen(text);
    QList<Satz> saetze;
    for (const auto &[liste, marken] : listen) {
        for (auto it = marken.begin(); it != marken.end(); ++it) {
            Satz s;
            s.name = it.key();
            s.zeile = zeilen.value(s.name, 1);
            s.wo = QStringLiteral("Zeile %1 (%2)").arg(s.zeile).arg(namensangabe(s.name));
            const QJsonObject b = it.value().toObject();
            const QJsonValue f = b.value(QLatin1String("frequency"));
            const double hz = f.toDouble(-1);
            if (!it.value().isObject() || !f.isDouble() || !std::isfinite(hz) || hz < 0
                || hz > double(Frequenz::hoechsteHz))
                throw Csv::Fehler(s.zeile, QStringLiteral("Das Lesezeichen %1 hat keine Frequenz in Hertz "
                                                          "(\u201Efrequency\u201C).")
                                               .arg(zitiert(kurz(s.name))));
            // To the hertz, the finest a list holds.
            s.hz = std::llround(hz);
            const QJsonValue m = b.value(QLatin1String("mode"));
            if (!m.isUndefined()) {
                const int nr = m.isDouble() && m.toDouble() == std::floor(m.toDouble()) ? m.toInt(-1) : -1;
                s.modus = nr >= 0 && nr < int(std::size(sdrppModi)) ? q(sdrppModi[nr])
                          : m.isDouble()                            ? QString::number(m.toDouble())
                                                                    : QStringLiteral("?");
                s.modusPasst = art.am ? nr == 2 : nr == 0 || nr == 1;
            }
            if (!liste.isEmpty()) {
                s.gruppen.append(liste);
                s.gruppenText = gruppenText(QStringLiteral("Liste"), s.gruppen);
            }
            saetze.append(s);
        }
    }
    return tabelle(saetze, art, hinweise);
}
