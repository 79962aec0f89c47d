// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/zeilencache.h"

#include "kern/basis/datenfehler.h"

#include <algorithm>

namespace {
constexpr quint32 NullBit = 0x80000000u;
}

void Zeilenblock::neueZeile(qint64 schluessel)
{
    m_schluessel.push_back(schluessel);
}

void Zeilenblock::zelle(const char *utf8, int laenge)
{
    m_text.append(utf8, laenge);
    m_enden.push_back(quint32(m_text.size()));
}

void Zeilenblock::nullZelle()
{
    m_enden.push_back(quint32(m_text.size()) | NullBit);
}

void Zeilenblock::leereZeile(qint64 schluessel)
{
    neueZeile(schluessel);
    for (int f = 0; f < m_felder; ++f)
        nullZelle();
}

void Zeilenblock::kopiereZeile(const Zeilenblock &von, int zeile)
{
    neueZeile(von.schluessel(zeile));
    const size_t erste = size_t(zeile) * size_t(m_felder);
    quint32 anfang = erste == 0 ? 0 : (von.m_enden[erste - 1] & ~NullBit);
    for (size_t i = erste; i < erste + size_t(m_felder); ++i) {
        const quint32 ende = von.m_enden[i];
        if (ende & NullBit) {
            nullZelle();
        } else {
            zelle(von.m_text.constData() + anfang, int(ende - anfang));
            anfang = ende;
        }
    }
}

void Zeilenblock::kuerzen(int zeilen)
{
    if (zeilen >= this->zeilen())
        return;
    m_schluessel.resize(size_t(zeilen));
    m_enden.resize(size_t(zeilen) * size_t(m_felder));
    m_text.truncate(m_enden.empty() ? 0 : int(m_enden.back() & ~NullBit));
}

void Zeilenblock::abschliessen()
{
    m_text.squeeze();
    m_enden.shrink_to_fit();
    m_schluessel.shrink_to_fit();
}

QVariant Zeilenblock::wert(int zeile, int feld) const
{
    if (zeile < 0 || zeile >= zeilen() || feld < 0 || feld >= m_felder)
        return QVariant();
    const size_t i = size_t(zeile) * size_t(m_felder) + size_t(feld);
    const quint32 ende = m_enden[i];
    if (ende & NullBit)
        return QVariant();
    const quint32 anfang = i == 0 ? 0 : (m_enden[i - 1] & ~NullBit);
    return QString::fromUtf8(m_text.constData() + anfang, int(ende - anfang));
}

Zeilencache::Zeilencache(Zeilenquelle &quelle, int basisAnzahl, int felder, int seitenGroesse, int hoechstSeiten)
    : m_quelle(quelle),
      m_basisAnzahl(std::max(0, basisAnzahl)),
      m_felder(felder),
      m_seitenGroesse(std::max(1, seitenGroesse)),
      m_hoechstSeiten(std::max(1, hoechstSeiten))
{
}

int Zeilencache::anzahl() const
{
    int n = basisRest();
    for (const Angehaengt &a : m_angehaengt)
        n += a.geloescht ? 0 : 1;
    return n;
}

int Zeilencache::basisZeile(int zeile) const
{
    if (zeile < 0 || zeile >= basisRest())
        return -1;
    int b = zeile;
    for (int d : m_geloescht) {
        if (d <= b)
            ++b;
        else
            break;
    }
    return b;
}

int Zeilencache::angehaengt(int zeile) const
{
    int rest = zeile - basisRest();
    if (rest < 0)
        return -1;
    for (size_t i = 0; i < m_angehaengt.size(); ++i)
        if (!m_angehaengt[i].geloescht && rest-- == 0)
            return int(i);
    return -1;
}

int Zeilencache::beruehrtVor(int basis) const
{
    return int(std::lower_bound(m_beruehrt.begin(), m_beruehrt.end(), basis) - m_beruehrt.begin());
}

const Zeilenblock &Zeilencache::seite(int nummer)
{
    auto gefunden = m_seiten.find(nummer);
    if (gefunden != m_seiten.end()) {
        gefunden->second.benutzt = ++m_uhr;
        return gefunden->second.zeilen;
    }

    // The page's base rows that the source still gives stand together among
    // its rows; the others are held by the overlay and get an empty place.
    const int anfang = nummer * m_seitenGroesse;
    const int ende = std::min(anfang + m_seitenGroesse, m_basisAnzahl);
    const int vorher = beruehrtVor(anfang);
    const int darin = beruehrtVor(ende) - vorher;
    const int gesamt = m_basisAnzahl - int(m_beruehrt.size());
    Seite neu;
    neu.zeilen = Zeilenblock(m_felder);
    if (darin == 0) {
        m_quelle.lies(anfang - vorher, ende - anfang, gesamt, neu.zeilen);
    } else {
        Zeilenblock gelesen(m_felder);
        m_quelle.lies(anfang - vorher, ende - anfang - darin, gesamt, gelesen);
        // The overlay answers for the rows it holds; their places stay empty.
        // Where the source ends early, the page ends.
        int n = 0;
        for (int b = anfang; b < ende; ++b) {
            if (std::binary_search(m_beruehrt.begin(), m_beruehrt.end(), b))
                neu.zeilen.leereZeile(0);
            else if (n < gelesen.zeilen())
                neu.zeilen.kopiereZeile(gelesen, n++);
            else
                break;
        }
    }
    neu.zeilen.abschliessen();
    neu.benutzt = ++m_uhr;

    if (int(m_seiten.size()) >= m_hoechstSeiten) {
        auto aeltester = m_seiten.begin();
        for (auto i = m_seiten.begin(); i != m_seiten.end(); ++i)
            if (i->second.benutzt < aeltester->second.benutzt)
                aeltester = i;
        m_seiten.erase(aeltester);
    }
    return m_seiten.emplace(nummer, std::move(neu)).first->second.zeilen;
}

QVariant Zeilencache::wert(int zeile, int feld)
{
    if (feld < 0 || feld >= m_felder)
        return QVariant();
    const int b = basisZeile(zeile);
    if (b >= 0) {
        const auto g = m_geaendert.find(b);
        if (g != m_geaendert.end())
            return g->second.werte.value(feld);
        return seite(b / m_seitenGroesse).wert(b % m_seitenGroesse, feld);
    }
    const int a = angehaengt(zeile);
    return a >= 0 ? m_angehaengt[size_t(a)].werte.value(feld) : QVariant();
}

QVector<QVariant> Zeilencache::zeile(int zeile)
{
    QVector<QVariant> werte;
    werte.reserve(m_felder);
    for (int f = 0; f < m_felder; ++f)
        werte << wert(zeile, f);
    return werte;
}

qint64 Zeilencache::schluessel(int zeile)
{
    const int b = basisZeile(zeile);
    if (b >= 0) {
        const auto g = m_geaendert.find(b);
        if (g != m_geaendert.end())
            return g->second.schluessel;
        const Zeilenblock &s = seite(b / m_seitenGroesse);
        if (b % m_seitenGroesse >= s.zeilen())
            throw KeinDatensatz();   // the table shrank since it was counted
        return s.schluessel(b % m_seitenGroesse);
    }
    const int a = angehaengt(zeile);
    if (a < 0)
        throw KeinDatensatz();
    return m_angehaengt[size_t(a)].schluessel;
}

void Zeilencache::beruehren(int basis, qint64 schluessel)
{
    const auto stelle = std::lower_bound(m_beruehrt.begin(), m_beruehrt.end(), basis);
    if (stelle != m_beruehrt.end() && *stelle == basis)
        return;
    m_beruehrt.insert(stelle, basis);
    m_quelle.auslassen(schluessel);
}

void Zeilencache::aendern(int zeile, const QVector<QVariant> &werte)
{
    const int b = basisZeile(zeile);
    if (b >= 0) {
        const qint64 s = schluessel(zeile);
        m_geaendert[b] = Geaendert{s, werte};
        beruehren(b, s);
        return;
    }
    const int a = angehaengt(zeile);
    if (a < 0)
        throw KeinDatensatz();
    m_angehaengt[size_t(a)].werte = werte;
}

void Zeilencache::loeschen(int zeile)
{
    const int b = basisZeile(zeile);
    if (b >= 0) {
        const qint64 s = schluessel(zeile);
        m_geloescht.insert(std::lower_bound(m_geloescht.begin(), m_geloescht.end(), b), b);
        m_geaendert.erase(b);
        beruehren(b, s);
        return;
    }
    const int a = angehaengt(zeile);
    if (a < 0)
        throw KeinDatensatz();
    m_angehaengt[size_t(a)].geloescht = true;
}

int Zeilencache::anhaengen(qint64 schluessel, const QVector<QVariant> &werte)
{
    m_angehaengt.push_back(Angehaengt{schluessel, werte});
    m_quelle.auslassen(schluessel);
    return anzahl() - 1;
}
