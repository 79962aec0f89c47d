// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/sortierung.h"

#include "kern/basis/frequenz.h"

#include <QCollator>
#include <QLocale>
#include <QVarLengthArray>
#include <sqlite3.h>

#include <cstring>
#include <optional>

namespace {

const QCollator &kollator()
{
    // QCollator is not to be shared between threads; each thread that sorts
    // (the GUI thread, a tool) has its own.
    thread_local const QCollator k = [] {
        QCollator c(QLocale(QLocale::German, QLocale::Germany));
        c.setCaseSensitivity(Qt::CaseSensitive);
        c.setNumericMode(false);
        c.setIgnorePunctuation(false);
        return c;
    }();
    return k;
}

int vorzeichen(int x)
{
    return (x > 0) - (x < 0);
}

// Only digits, decimal marks, blanks and the letters of "MHz" can make a
// frequency; anything else is known not to be one without parsing it.
bool kannFrequenzSein(QStringView t)
{
    if (t.isEmpty())
        return false;
    for (const QChar c : t) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || u == ',' || u == '.' || u == ' ' || u == '\t' || u == 'M' || u == 'm'
              || u == 'H' || u == 'h' || u == 'Z' || u == 'z'))
            return false;
    }
    return true;
}

std::optional<qint64> hertz(QStringView t)
{
    return kannFrequenzSein(t) ? Frequenz::hertz(t) : std::nullopt;
}

// SQLite hands a collation UTF-8 bytes; they become UTF-16 in a buffer of
// the thread's own, without an allocation for short texts.
using Puffer = QVarLengthArray<char16_t, 256>;

QStringView alsText(const void *daten, int laenge, Puffer &puffer)
{
    const auto *p = static_cast<const unsigned char *>(daten);
    puffer.resize(laenge);   // UTF-16 never needs more units than UTF-8 bytes
    bool nurAscii = true;
    for (int i = 0; i < laenge; ++i) {
        if (p[i] >= 0x80) {
            nurAscii = false;
            break;
        }
        puffer[i] = p[i];
    }
    if (nurAscii)
        return QStringView(puffer.constData(), laenge);
    const QString s = QString::fromUtf8(static_cast<const char *>(daten), laenge);
    puffer.resize(s.size());
    std::copy(s.utf16(), s.utf16() + s.size(), puffer.data());
    return QStringView(puffer.constData(), s.size());
}

template <int (*vergleich)(QStringView, QStringView)>
int kollation(void *, int laengeA, const void *a, int laengeB, const void *b)
{
    thread_local Puffer pa, pb;
    return vergleich(alsText(a, laengeA, pa), alsText(b, laengeB, pb));
}

// A frequency as a list mostly holds it: digits, at most one decimal mark,
// nothing else ("145,500", "0,1291", "27"), and within the range the
// converter takes. Such texts are compared as numbers on their bytes, which
// is what a sort spends its time on; any other text takes the full way.
struct Einfach
{
    const unsigned char *ganz;   // the MHz, without leading zeros
    int ganzLaenge;
    const unsigned char *bruch;   // the decimals, without trailing zeros
    int bruchLaenge;
};

std::optional<Einfach> einfach(const unsigned char *p, int n)
{
    int marke = -1;
    for (int i = 0; i < n; ++i) {
        if (p[i] == ',' || p[i] == '.') {
            if (marke >= 0)
                return std::nullopt;
            marke = i;
        } else if (p[i] < '0' || p[i] > '9') {
            return std::nullopt;
        }
    }
    Einfach e{p, marke < 0 ? n : marke, marke < 0 ? p + n : p + marke + 1, marke < 0 ? 0 : n - marke - 1};
    if (e.ganzLaenge + e.bruchLaenge == 0)
        return std::nullopt;   // no digits: no frequency
    while (e.ganzLaenge > 0 && *e.ganz == '0') {
        ++e.ganz;
        --e.ganzLaenge;
    }
    while (e.bruchLaenge > 0 && e.bruch[e.bruchLaenge - 1] == '0')
        --e.bruchLaenge;
    if (e.ganzLaenge > 6 || e.bruchLaenge > 6)
        return std::nullopt;   // too large, or finer than a hertz: the full way says so
    return e;
}

int kollationFrequenz(void *, int laengeA, const void *a, int laengeB, const void *b)
{
    const auto *pa = static_cast<const unsigned char *>(a);
    const auto *pb = static_cast<const unsigned char *>(b);
    const std::optional<Einfach> ea = einfach(pa, laengeA);
    const std::optional<Einfach> eb = ea ? einfach(pb, laengeB) : std::nullopt;
    if (!ea || !eb)
        return kollation<Sortierung::vergleicheFrequenz>(nullptr, laengeA, a, laengeB, b);
    if (ea->ganzLaenge != eb->ganzLaenge)
        return ea->ganzLaenge < eb->ganzLaenge ? -1 : 1;
    if (const int k = std::memcmp(ea->ganz, eb->ganz, size_t(ea->ganzLaenge)))
        return vorzeichen(k);
    if (const int k = std::memcmp(ea->bruch, eb->bruch, size_t(std::min(ea->bruchLaenge, eb->bruchLaenge))))
        return vorzeichen(k);
    if (ea->bruchLaenge != eb->bruchLaenge)
        return ea->bruchLaenge < eb->bruchLaenge ? -1 : 1;
    // One frequency in two spellings: by their characters.
    if (const int k = std::memcmp(pa, pb, size_t(std::min(laengeA, laengeB))))
        return vorzeichen(k);
    return vorzeichen(laengeA - laengeB);
}

}   // namespace

int Sortierung::vergleicheDeutsch(QStringView a, QStringView b)
{
    const int k = vorzeichen(kollator().compare(a, b));
    return k != 0 ? k : vorzeichen(a.compare(b));
}

int Sortierung::vergleicheFrequenz(QStringView a, QStringView b)
{
    const std::optional<qint64> ha = hertz(a);
    const std::optional<qint64> hb = hertz(b);
    if (ha && hb)
        return *ha != *hb ? (*ha < *hb ? -1 : 1) : vorzeichen(a.compare(b));
    if (ha || hb)
        return ha ? -1 : 1;
    return vergleicheDeutsch(a, b);
}

bool Sortierung::registrieren(sqlite3 *db)
{
    return sqlite3_create_collation_v2(db, "frequenz", SQLITE_UTF8, nullptr, &kollationFrequenz, nullptr) == SQLITE_OK
           && sqlite3_create_collation_v2(db, "deutsch", SQLITE_UTF8, nullptr, &kollation<vergleicheDeutsch>, nullptr)
                  == SQLITE_OK;
}
