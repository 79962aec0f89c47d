// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/empfaenger/waslaeuft.h"

#include "kern/basis/frequenz.h"
#include "kern/daten/sqlitedatei.h"

#include <sqlite3.h>

#include <algorithm>

namespace {

// The rows of one table, each as a map from lower-case column name to text.
template <typename F> void zeilen(SqliteDatei &db, const QString &tabelle, F &&jeZeile)
{
    SqliteAnweisung s(db, QStringLiteral("select * from ") + sqlName(tabelle),
                      QStringLiteral("Die Tabelle %1 lässt sich nicht lesen.").arg(tabelle));
    const int n = sqlite3_column_count(*s);
    QStringList namen;
    for (int i = 0; i < n; ++i)
        namen << QString::fromUtf8(sqlite3_column_name(*s, i)).toLower();
    int rc;
    while ((rc = sqlite3_step(*s)) == SQLITE_ROW) {
        QHash<QString, QString> zeile;
        for (int i = 0; i < n; ++i)
            zeile.insert(namen[i], QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(*s, i))));
        jeZeile(zeile);
    }
    if (rc != SQLITE_DONE)
        throw DatenFehler(QStringLiteral("Die Tabelle %1 lässt sich nicht lesen.").arg(tabelle), db.text());
}

QString verbunden(const QStringList &teile)
{
    QStringList t;
    for (const QString &s : teile)
        if (!s.trimmed().isEmpty())
            t << s.trimmed();
    return t.join(QStringLiteral(", "));
}

}

WasLaeuft::WasLaeuft(const QString &datenbank) : m_fernwirkRaster(Funkdienste::raster(Funkdienst::Fernwirken))
{
    SqliteDatei db(datenbank, SqliteDatei::Art::NurLesen);
    zeilen(db, QStringLiteral("bos"), [this](const QHash<QString, QString> &z) {
        const QString kanal = z.value(QStringLiteral("kanal")).trimmed();
        hinzufuegen(Funkdienst::Bos, z.value(QStringLiteral("freq")), false, z.value(QStringLiteral("ort")),
                    verbunden({z.value(QStringLiteral("benutzer")), z.value(QStringLiteral("rufname")),
                               kanal.isEmpty() ? QString() : QStringLiteral("Kanal ") + kanal}));
    });
    zeilen(db, QStringLiteral("flugfunk"), [this](const QHash<QString, QString> &z) {
        hinzufuegen(Funkdienst::Flugfunk, z.value(QStringLiteral("frquenz")), false, z.value(QStringLiteral("ort")),
                    QString());
    });
    zeilen(db, QStringLiteral("afu"), [this](const QHash<QString, QString> &z) {
        const QString ein = z.value(QStringLiteral("eingabe")), aus = z.value(QStringLiteral("ausgabe"));
        const QString ort = z.value(QStringLiteral("standort"));
        hinzufuegen(Funkdienst::Afu, aus, false, ort, QStringLiteral("Ausgabe (Eingabe %1)").arg(ein.trimmed()));
        hinzufuegen(Funkdienst::Afu, ein, true, ort, QStringLiteral("Eingabe (Ausgabe %1)").arg(aus.trimmed()));
    });
    zeilen(db, QStringLiteral("fernwirken"), [this](const QHash<QString, QString> &z) {
        hinzufuegen(Funkdienst::Fernwirken, z.value(QStringLiteral("frequenz")), false,
                    z.value(QStringLiteral("stadt")),
                    verbunden({z.value(QStringLiteral("firma")), z.value(QStringLiteral("anwenderart")),
                               z.value(QStringLiteral("rufname"))}));
    });
    std::stable_sort(m_eintraege.begin(), m_eintraege.end(),
                     [](const Eintrag &a, const Eintrag &b) { return a.fund.hz < b.fund.hz; });
    for (int i = 0; i < m_eintraege.size(); ++i)
        m_jeDienst[int(m_eintraege.at(i).fund.dienst)].append(i);
}

qint64 WasLaeuft::bezug(Funkdienst dienst, qint64 hz)
{
    return dienst == Funkdienst::Flugfunk ? Funkdienste::flugfunk(hz).hz : hz;
}

void WasLaeuft::hinzufuegen(Funkdienst dienst, const QString &text, bool eingabe, const QString &ort,
                            const QString &angaben)
{
    const std::optional<qint64> hz = Frequenz::hertz(text);
    if (!hz) {
        ++m_ohneFrequenz;
        return;
    }
    Eintrag e;
    e.fund.dienst = dienst;
    e.fund.frequenzText = text.trimmed();
    e.fund.hz = *hz;
    e.fund.eingabe = eingabe;
    e.fund.ort = ort;
    e.fund.angaben = angaben;
    e.raster = Funkdienste::raster(dienst);
    if (dienst == Funkdienst::Flugfunk) {
        const Funkdienste::Kanal k = Funkdienste::flugfunk(*hz);
        e.fund.hz = k.hz;
        e.raster = k.rasterHz;
        if (k.achtKomma33)
            e.fund.angaben = QStringLiteral("8,33-kHz-Kanal, Träger %1 MHz").arg(Frequenz::mhzText(k.hz));
    } else if (dienst == Funkdienst::Fernwirken) {
        e.raster = 0;
    }
    e.reihenfolge = m_eintraege.size();
    m_eintraege.append(e);
}

void WasLaeuft::setzeFernwirkRaster(qint64 hz)
{
    m_fernwirkRaster = std::max<qint64>(1, hz);
}

QVector<WasLaeuft::Fund> WasLaeuft::suche(qint64 hz) const
{
    // Half a raster either side; an odd raster (8333 Hz) rounds its half up,
    // so that neighbouring channels leave no gap between them.
    auto halb = [this](const Eintrag &e) { return ((e.raster ? e.raster : m_fernwirkRaster) + 1) / 2; };
    const qint64 weitestes =
        std::max<qint64>({Funkdienste::raster(Funkdienst::Bos), Funkdienste::raster(Funkdienst::Flugfunk),
                          Funkdienste::raster(Funkdienst::Afu), m_fernwirkRaster});
    // An aviation channel name asks for its carrier, a little below it.
    const qint64 flug = bezug(Funkdienst::Flugfunk, hz);
    const qint64 von = std::min(hz, flug) - (weitestes + 1) / 2;
    const qint64 bis = std::max(hz, flug) + (weitestes + 1) / 2;
    auto it = std::lower_bound(m_eintraege.begin(), m_eintraege.end(), von,
                               [](const Eintrag &e, qint64 wert) { return e.fund.hz < wert; });
    QVector<const Eintrag *> treffer;
    for (; it != m_eintraege.end() && it->fund.hz <= bis; ++it)
        if (std::abs(it->fund.hz - bezug(it->fund.dienst, hz)) <= halb(*it))
            treffer.append(&*it);
    ordnen(treffer, hz);
    return alsFunde(treffer, hz);
}

QVector<WasLaeuft::Fund> WasLaeuft::naechste(qint64 hz, int jeListe) const
{
    QVector<const Eintrag *> naechste;
    for (const QVector<int> &liste : m_jeDienst) {
        if (liste.isEmpty())
            continue;
        const qint64 b = bezug(m_eintraege.at(liste.front()).fund.dienst, hz);
        // From where the frequency would stand, outwards to either side.
        int oben = int(std::lower_bound(liste.begin(), liste.end(), b,
                                        [this](int i, qint64 wert) { return m_eintraege.at(i).fund.hz < wert; })
                       - liste.begin());
        int unten = oben - 1;
        for (int n = 0; n < jeListe && (unten >= 0 || oben < liste.size()); ++n) {
            const qint64 abUnten = unten >= 0 ? b - m_eintraege.at(liste.at(unten)).fund.hz : -1;
            const qint64 abOben = oben < liste.size() ? m_eintraege.at(liste.at(oben)).fund.hz - b : -1;
            if (abOben < 0 || (abUnten >= 0 && abUnten <= abOben))
                naechste.append(&m_eintraege.at(liste.at(unten--)));
            else
                naechste.append(&m_eintraege.at(liste.at(oben++)));
        }
    }
    ordnen(naechste, hz);
    return alsFunde(naechste, hz);
}

void WasLaeuft::ordnen(QVector<const Eintrag *> &eintraege, qint64 hz)
{
    std::sort(eintraege.begin(), eintraege.end(), [hz](const Eintrag *a, const Eintrag *b) {
        const qint64 da = std::abs(a->fund.hz - bezug(a->fund.dienst, hz));
        const qint64 db = std::abs(b->fund.hz - bezug(b->fund.dienst, hz));
        if (da != db)
            return da < db;
        if (a->fund.dienst != b->fund.dienst)
            return int(a->fund.dienst) < int(b->fund.dienst);
        return a->reihenfolge < b->reihenfolge;
    });
}

QVector<WasLaeuft::Fund> WasLaeuft::alsFunde(const QVector<const Eintrag *> &eintraege, qint64 hz)
{
    QVector<Fund> funde;
    funde.reserve(eintraege.size());
    for (const Eintrag *e : eintraege) {
        Fund f = e->fund;
        f.abstand = f.hz - bezug(f.dienst, hz);
        funde.append(f);
    }
    return funde;
}
