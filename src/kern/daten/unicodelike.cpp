// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/unicodelike.h"

#include <QChar>
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Decodes one UTF-8 character at p (p < end) and advances p. Malformed bytes
// are taken one at a time as themselves, so matching never stalls.
inline char32_t naechstesZeichen(const unsigned char *&p, const unsigned char *end)
{
    const unsigned char c = *p++;
    if (c < 0x80)
        return c;
    int folgen = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        folgen = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        folgen = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        folgen = 3;
        cp = c & 0x07;
    } else
        return c;
    const unsigned char *q = p;
    for (int i = 0; i < folgen; ++i) {
        if (q >= end || (*q & 0xC0) != 0x80)
            return c;
        cp = (cp << 6) | (*q++ & 0x3F);
    }
    p = q;
    return cp;
}

inline char32_t falte(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

inline char32_t naechstesGefaltet(const unsigned char *&p, const unsigned char *end)
{
    if (*p < 0x80) {
        const unsigned char c = *p++;
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    }
    return falte(naechstesZeichen(p, end));
}

enum Art : char32_t { Zeichen = 0, EinesBeliebig = 1, FolgeBeliebig = 2 };

struct Muster
{
    struct Teil
    {
        Art art;
        char32_t zeichen;
    };
    std::vector<Teil> teile;
    std::vector<unsigned char> quelle;   // the pattern text it was made from
    char32_t escape = 0;
    bool mitEscape = false;
    // '%text%' without '_' or further '%': a plain folded substring search.
    bool nurTeiltext = false;
    std::vector<char32_t> teiltext;
};

// Marks a pattern '%text%' (without '_' or further '%') as a plain search
// for its folded text.
void pruefeTeiltext(Muster &m)
{
    const auto &t = m.teile;
    if (t.size() < 2 || t.front().art != FolgeBeliebig || t.back().art != FolgeBeliebig)
        return;
    const bool nur =
        std::all_of(t.begin() + 1, t.end() - 1, [](const Muster::Teil &teil) { return teil.art == Zeichen; });
    if (!nur)
        return;
    m.nurTeiltext = true;
    for (size_t i = 1; i + 1 < t.size(); ++i)
        m.teiltext.push_back(t[i].zeichen);
}

Muster *baue(const unsigned char *z, int n, bool mitEscape, char32_t escape)
{
    auto *m = new Muster;
    m->quelle.assign(z, z + n);
    m->mitEscape = mitEscape;
    m->escape = escape;
    const unsigned char *p = z, *end = z + n;
    while (p < end) {
        char32_t c = naechstesZeichen(p, end);
        if (mitEscape && c == escape) {
            if (p >= end) {   // a trailing escape matches nothing, as in SQLite
                m->teile.push_back({Zeichen, 0xFFFFFFFF});
                break;
            }
            m->teile.push_back({Zeichen, falte(naechstesZeichen(p, end))});
        } else if (c == '%') {
            if (m->teile.empty() || m->teile.back().art != FolgeBeliebig)
                m->teile.push_back({FolgeBeliebig, 0});
        } else if (c == '_') {
            m->teile.push_back({EinesBeliebig, 0});
        } else {
            m->teile.push_back({Zeichen, falte(c)});
        }
    }
    pruefeTeiltext(*m);
    return m;
}

void loesche(void *p)
{
    delete static_cast<Muster *>(p);
}

bool enthaelt(const std::vector<char32_t> &nadel, const unsigned char *p, const unsigned char *end)
{
    if (nadel.empty())
        return true;
    const char32_t erstes = nadel[0];
    auto restPasst = [&nadel, end](const unsigned char *q) {
        size_t i = 1;
        while (i < nadel.size() && q < end && naechstesGefaltet(q, end) == nadel[i])
            ++i;
        return i == nadel.size();
    };
    // An ASCII first character can only start at an ASCII byte, so the
    // search runs over bytes without decoding. Not for 'k' and 's', which
    // the Kelvin sign and the long s fold to.
    if (erstes < 0x80 && erstes != 'k' && erstes != 's') {
        const unsigned char klein = static_cast<unsigned char>(erstes);
        const unsigned char gross = (klein >= 'a' && klein <= 'z') ? klein - 32 : klein;
        while (p < end) {
            const unsigned char c = *p++;
            if ((c == klein || c == gross) && restPasst(p))
                return true;
        }
        return false;
    }
    while (p < end) {
        const char32_t c = naechstesGefaltet(p, end);
        if (c != erstes)
            continue;
        if (restPasst(p))
            return true;
    }
    return false;
}

// Wildcard matching with one back-tracking point for the last '%' seen,
// which is enough because a later '%' can absorb whatever an earlier one did.
bool passt(const Muster &m, const unsigned char *text, const unsigned char *end)
{
    if (m.nurTeiltext)
        return enthaelt(m.teiltext, text, end);
    const auto &t = m.teile;
    const size_t n = t.size();
    size_t pi = 0;
    size_t stern = SIZE_MAX;
    const unsigned char *ti = text, *sternText = nullptr;
    while (ti < end) {
        if (pi < n && t[pi].art == FolgeBeliebig) {
            stern = pi++;
            sternText = ti;
            continue;
        }
        if (pi < n) {
            const unsigned char *q = ti;
            const char32_t c = naechstesGefaltet(q, end);
            if (t[pi].art == EinesBeliebig || t[pi].zeichen == c) {
                ++pi;
                ti = q;
                continue;
            }
        }
        if (stern == SIZE_MAX)
            return false;
        pi = stern + 1;
        naechstesZeichen(sternText, end);
        ti = sternText;
    }
    while (pi < n && t[pi].art == FolgeBeliebig)
        ++pi;
    return pi == n;
}

void likeFunktion(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return;   // result NULL

    bool mitEscape = false;
    char32_t escape = 0;
    if (argc == 3) {
        const unsigned char *e = sqlite3_value_text(argv[2]);
        const int en = sqlite3_value_bytes(argv[2]);
        const unsigned char *p = e, *end = e + en;
        if (!e || en == 0 || (naechstesZeichen(p, end), p != end)) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        p = e;
        escape = naechstesZeichen(p, end);
        mitEscape = true;
    }

    const unsigned char *muster = sqlite3_value_text(argv[0]);
    const int musterLaenge = sqlite3_value_bytes(argv[0]);
    if (musterLaenge > sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)) {
        sqlite3_result_error(ctx, "LIKE or GLOB pattern too complex", -1);
        return;
    }
    const unsigned char *text = sqlite3_value_text(argv[1]);
    const int textLaenge = sqlite3_value_bytes(argv[1]);
    if (!muster || !text) {
        sqlite3_result_error_nomem(ctx);
        return;
    }

    // The compiled pattern is kept with the statement while the pattern is
    // a constant, so it is folded once per query, not once per row.
    auto *m = static_cast<Muster *>(sqlite3_get_auxdata(ctx, 0));
    if (!m || m->mitEscape != mitEscape || m->escape != escape || m->quelle.size() != size_t(musterLaenge)
        || (musterLaenge && std::memcmp(m->quelle.data(), muster, musterLaenge) != 0)) {
        m = baue(muster, musterLaenge, mitEscape, escape);
        sqlite3_set_auxdata(ctx, 0, m, loesche);
        m = static_cast<Muster *>(sqlite3_get_auxdata(ctx, 0));
        if (!m) {   // SQLite did not keep it (not a constant): use it once
            Muster *einmal = baue(muster, musterLaenge, mitEscape, escape);
            const bool ok = passt(*einmal, text, text + textLaenge);
            delete einmal;
            sqlite3_result_int(ctx, ok);
            return;
        }
    }
    sqlite3_result_int(ctx, passt(*m, text, text + textLaenge));
}

}   // namespace

bool registriereUnicodeLike(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunktion, nullptr, nullptr, nullptr)
               == SQLITE_OK
           && sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunktion, nullptr, nullptr, nullptr)
                  == SQLITE_OK;
}
