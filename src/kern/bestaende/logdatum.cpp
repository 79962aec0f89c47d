#include "kern/bestaende/logdatum.h"

#include <sqlite3.h>

#include <cstdio>

namespace {

bool istLeer(char c)
{
    return c == ' ' || c == '\t';
}

// The text without the blanks around it.
void ohneRand(const char *&t, int &n)
{
    while (n > 0 && istLeer(t[0])) {
        ++t;
        --n;
    }
    while (n > 0 && istLeer(t[n - 1]))
        --n;
}

// A run of digits at t[i]: at least min, at most max of them.
bool zahl(const char *t, int n, int &i, int min, int max, int &wert)
{
    int stellen = 0;
    wert = 0;
    while (i < n && t[i] >= '0' && t[i] <= '9' && stellen < max) {
        wert = wert * 10 + (t[i] - '0');
        ++i;
        ++stellen;
    }
    return stellen >= min && !(i < n && t[i] >= '0' && t[i] <= '9');
}

bool zeichen(const char *t, int n, int &i, char c)
{
    if (i < n && t[i] == c) {
        ++i;
        return true;
    }
    return false;
}

bool tagAus(const char *t, int n, int &jahr, int &monat, int &tagImMonat)
{
    ohneRand(t, n);
    int i = 0;
    if (!zahl(t, n, i, 1, 2, tagImMonat) || !zeichen(t, n, i, '.') || !zahl(t, n, i, 1, 2, monat)
        || !zeichen(t, n, i, '.') || !zahl(t, n, i, 4, 4, jahr) || i != n)
        return false;
    return jahr >= Logdatum::ersterJahrgang && jahr <= Logdatum::letzterJahrgang
           && QDate::isValid(jahr, monat, tagImMonat);
}

bool minuteAus(const char *t, int n, int &minute)
{
    ohneRand(t, n);
    int i = 0, stunde = 0, min = 0, sekunde = 0;
    if (!zahl(t, n, i, 1, 2, stunde) || !zeichen(t, n, i, ':') || !zahl(t, n, i, 2, 2, min))
        return false;
    if (zeichen(t, n, i, ':') && !zahl(t, n, i, 2, 2, sekunde))
        return false;
    if (i != n || stunde > 23 || min > 59 || sekunde > 59)
        return false;
    minute = stunde * 60 + min;
    return true;
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

void sqlTag(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const char *t = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    int jahr, monat, tag;
    if (!t || !tagAus(t, sqlite3_value_bytes(argv[0]), jahr, monat, tag)) {
        sqlite3_result_null(ctx);
        return;
    }
    char iso[11];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", jahr, monat, tag);
    sqlite3_result_text(ctx, iso, 10, SQLITE_TRANSIENT);
}

void sqlMinute(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const char *t = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    int minute;
    if (!t || !minuteAus(t, sqlite3_value_bytes(argv[0]), minute))
        sqlite3_result_null(ctx);
    else
        sqlite3_result_int(ctx, minute);
}

}   // namespace

std::optional<QDate> Logdatum::tag(QStringView text)
{
    QByteArray a;
    int jahr, monat, tagImMonat;
    if (!alsAscii(text, a) || !tagAus(a.constData(), int(a.size()), jahr, monat, tagImMonat))
        return std::nullopt;
    return QDate(jahr, monat, tagImMonat);
}

std::optional<int> Logdatum::minute(QStringView text)
{
    QByteArray a;
    int m;
    if (!alsAscii(text, a) || !minuteAus(a.constData(), int(a.size()), m))
        return std::nullopt;
    return m;
}

bool Logdatum::registriere(sqlite3 *db)
{
    const int art = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    return sqlite3_create_function_v2(db, "log_tag", 1, art, nullptr, sqlTag, nullptr, nullptr, nullptr) == SQLITE_OK
           && sqlite3_create_function_v2(db, "log_minute", 1, art, nullptr, sqlMinute, nullptr, nullptr, nullptr)
                  == SQLITE_OK;
}
