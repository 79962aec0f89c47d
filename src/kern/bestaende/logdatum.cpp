// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/bestaende/logdatum.h"

#include <sqlite3.h>

#include <cstdio>

namespace {

bool istLeer(char c)
{
    return c == ' ' || c == '\t';
}

bool istZiffer(char c)
{
    return c >= '0' && c <= '9';
}

// Walks a text of ASCII characters.
struct Leser
{
    const char *t;
    int n;
    int i = 0;

    Leser(const char *text, int laenge) : t(text), n(laenge)
    {
        while (n > 0 && istLeer(t[0])) {
            ++t;
            --n;
        }
        while (n > 0 && istLeer(t[n - 1]))
            --n;
    }

    bool amEnde() const { return i == n; }

    // A run of at least min, at most max digits, not followed by another.
    bool zahl(int min, int max, int &wert)
    {
        const int anfang = i;
        wert = 0;
        while (i < n && istZiffer(t[i]) && i - anfang < max)
            wert = wert * 10 + (t[i++] - '0');
        return i - anfang >= min && !(i < n && istZiffer(t[i]));
    }

    bool zeichen(char c)
    {
        if (i < n && t[i] == c) {
            ++i;
            return true;
        }
        return false;
    }

    int ziffernAb() const
    {
        int k = i;
        while (k < n && istZiffer(t[k]))
            ++k;
        return k - i;
    }
};

struct Datum
{
    int jahr = 0, monat = 0, tag = 0;
};

// The nearest year with these last two digits that is not after today's.
int jahrhundertFuer(int zweiStellen, const QDate &heute)
{
    const int jetzt = (heute.isValid() ? heute : QDate::currentDate()).year();
    int jahr = jetzt / 100 * 100 + zweiStellen;
    if (jahr > jetzt)
        jahr -= 100;
    return jahr;
}

bool gueltig(const Datum &d)
{
    return d.jahr >= Logdatum::ersterJahrgang && d.jahr <= Logdatum::letzterJahrgang
           && QDate::isValid(d.jahr, d.monat, d.tag);
}

// A date at the reader's position; moves past it. A two-digit year only
// with zweistellig.
bool datumLesen(Leser &l, const QDate &heute, bool zweistellig, Datum &d)
{
    const int anfang = l.i;
    // day.month.year
    if (l.zahl(1, 2, d.tag) && l.zeichen('.') && l.zahl(1, 2, d.monat) && l.zeichen('.')) {
        const int stellen = l.ziffernAb();
        if (stellen == 4 && l.zahl(4, 4, d.jahr))
            return gueltig(d);
        if (zweistellig && stellen == 2 && l.zahl(2, 2, d.jahr)) {
            d.jahr = jahrhundertFuer(d.jahr, heute);
            return gueltig(d);
        }
        return false;
    }
    l.i = anfang;
    // ISO
    if (l.zahl(4, 4, d.jahr) && l.zeichen('-'))
        return l.zahl(2, 2, d.monat) && l.zeichen('-') && l.zahl(2, 2, d.tag) && gueltig(d);
    l.i = anfang;
    // ADIF
    int ziffern = 0;
    if (l.zahl(8, 8, ziffern)) {
        d = {ziffern / 10000, ziffern / 100 % 100, ziffern % 100};
        return gueltig(d);
    }
    return false;
}

struct Zeit
{
    int stunde = 0, minute = 0, sekunde = 0;
    bool sekunden = false;
};

// A time at the reader's position; moves past it. With nurGetrennt only
// the forms with ':' or '.' (after a date, four digits are no time).
bool zeitLesen(Leser &l, Zeit &z, bool nurGetrennt)
{
    const int anfang = l.i;
    const int stellen = l.ziffernAb();
    if (!nurGetrennt && (stellen == 4 || stellen == 6)) {
        int ziffern = 0;
        l.zahl(stellen, stellen, ziffern);
        z.sekunden = stellen == 6;
        if (z.sekunden) {
            z.sekunde = ziffern % 100;
            ziffern /= 100;
        }
        z.stunde = ziffern / 100;
        z.minute = ziffern % 100;
    } else {
        if (!l.zahl(1, 2, z.stunde))
            return false;
        const char trenner = l.i < l.n ? l.t[l.i] : 0;
        if ((trenner != ':' && trenner != '.') || !l.zeichen(trenner) || !l.zahl(2, 2, z.minute)) {
            l.i = anfang;
            return false;
        }
        if (l.zeichen(trenner)) {
            if (!l.zahl(2, 2, z.sekunde))
                return false;
            z.sekunden = true;
        }
    }
    return z.stunde <= 23 && z.minute <= 59 && z.sekunde <= 59;
}

bool tagAus(const char *t, int n, Datum &d)
{
    Leser l(t, n);
    return datumLesen(l, QDate(), false, d) && l.amEnde();
}

bool zeitAus(const char *t, int n, Zeit &z)
{
    Leser l(t, n);
    return zeitLesen(l, z, false) && l.amEnde();
}

// Only ASCII can be a date or a time; anything else is refused before parsing.
bool alsAscii(QStringView text, QByteArray &aus)
{
    aus.resize(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80)
            return false;
        aus[i] = char(c);
    }
    return true;
}

Logdatum::Uhrzeit alsUhrzeit(const Zeit &z)
{
    return {QTime(z.stunde, z.minute, z.sekunde), z.sekunden};
}

void sqlTag(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const char *t = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    Datum d;
    if (!t || !tagAus(t, sqlite3_value_bytes(argv[0]), d)) {
        sqlite3_result_null(ctx);
        return;
    }
    char iso[11];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", d.jahr, d.monat, d.tag);
    sqlite3_result_text(ctx, iso, 10, SQLITE_TRANSIENT);
}

void sqlMinute(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const char *t = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    Zeit z;
    if (!t || !zeitAus(t, sqlite3_value_bytes(argv[0]), z))
        sqlite3_result_null(ctx);
    else
        sqlite3_result_int(ctx, z.stunde * 60 + z.minute);
}

}   // namespace

std::optional<QDate> Logdatum::tag(QStringView text)
{
    QByteArray a;
    Datum d;
    if (!alsAscii(text, a) || !tagAus(a.constData(), int(a.size()), d))
        return std::nullopt;
    return QDate(d.jahr, d.monat, d.tag);
}

std::optional<Logdatum::Uhrzeit> Logdatum::uhrzeit(QStringView text)
{
    QByteArray a;
    Zeit z;
    if (!alsAscii(text, a) || !zeitAus(a.constData(), int(a.size()), z))
        return std::nullopt;
    return alsUhrzeit(z);
}

std::optional<int> Logdatum::minute(QStringView text)
{
    const auto z = uhrzeit(text);
    if (!z)
        return std::nullopt;
    return z->zeit.hour() * 60 + z->zeit.minute();
}

std::optional<Logdatum::Zeitpunkt> Logdatum::zeitpunkt(QStringView text, const QDate &heute)
{
    QByteArray a;
    if (!alsAscii(text, a))
        return std::nullopt;
    Leser l(a.constData(), int(a.size()));
    Datum d;
    if (!datumLesen(l, heute, true, d))
        return std::nullopt;
    Zeitpunkt p{QDate(d.jahr, d.monat, d.tag), std::nullopt};
    if (l.amEnde())
        return p;
    if (!l.zeichen('T')) {
        if (!l.zeichen(' '))
            return std::nullopt;
        while (l.zeichen(' '))
            ;
    }
    Zeit z;
    if (!zeitLesen(l, z, true) || !l.amEnde())
        return std::nullopt;
    p.uhrzeit = alsUhrzeit(z);
    return p;
}

QString Logdatum::datumText(const QDate &datum)
{
    if (!datum.isValid())
        return QString();
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%02d.%02d.%04d", datum.day(), datum.month(), datum.year());
    return QString::fromLatin1(text, n);
}

QString Logdatum::zeitText(const Uhrzeit &zeit)
{
    if (!zeit.zeit.isValid())
        return QString();
    char text[16];
    const int n = zeit.sekunden ? std::snprintf(text, sizeof text, "%02d:%02d:%02d", zeit.zeit.hour(),
                                                zeit.zeit.minute(), zeit.zeit.second())
                                : std::snprintf(text, sizeof text, "%02d:%02d", zeit.zeit.hour(), zeit.zeit.minute());
    return QString::fromLatin1(text, n);
}

bool Logdatum::registriere(sqlite3 *db)
{
    const int art = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    return sqlite3_create_function_v2(db, "log_tag", 1, art, nullptr, sqlTag, nullptr, nullptr, nullptr) == SQLITE_OK
           && sqlite3_create_function_v2(db, "log_minute", 1, art, nullptr, sqlMinute, nullptr, nullptr, nullptr)
                  == SQLITE_OK;
}
