// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/empfaenger/rigctlprotokoll.h"

#include <algorithm>

namespace {

// The value of a "Key: value" line of an extended reply, if the key is that.
std::optional<QByteArray> wert(const QList<QByteArray> &zeilen, const char *schluessel)
{
    const QByteArray s(schluessel);
    for (const QByteArray &z : zeilen) {
        const int doppelpunkt = z.indexOf(':');
        if (doppelpunkt > 0 && z.left(doppelpunkt).trimmed().compare(s, Qt::CaseInsensitive) == 0)
            return z.mid(doppelpunkt + 1).trimmed();
    }
    return std::nullopt;
}

// The header an extended reply starts with: the command's long name and a colon.
bool kopf(const QList<QByteArray> &zeilen, const char *name)
{
    return !zeilen.isEmpty() && zeilen.front().startsWith(QByteArray(name) + ':');
}

const char *langName(Rigctl::Befehl b)
{
    switch (b) {
    case Rigctl::Befehl::ChkVfo: return "chk_vfo";
    case Rigctl::Befehl::FreqLesen: return "get_freq";
    case Rigctl::Befehl::ModusLesen: return "get_mode";
    case Rigctl::Befehl::FreqSetzen: return "set_freq";
    case Rigctl::Befehl::ModusSetzen: return "set_mode";
    case Rigctl::Befehl::StaerkeLesen: return "get_level";
    case Rigctl::Befehl::DcdLesen: return "get_dcd";
    }
    return "";
}

const char *kurzName(Rigctl::Befehl b)
{
    switch (b) {
    case Rigctl::Befehl::ChkVfo: return "\\chk_vfo";
    case Rigctl::Befehl::FreqLesen: return "f";
    case Rigctl::Befehl::ModusLesen: return "m";
    case Rigctl::Befehl::FreqSetzen: return "F";
    case Rigctl::Befehl::ModusSetzen: return "M";
    case Rigctl::Befehl::StaerkeLesen: return "l";
    case Rigctl::Befehl::DcdLesen: return "\\get_dcd";   // it has no letter of its own
    }
    return "";
}

// The reply to the check: "0", "1", "CHKVFO 1" or "ChkVFO: 1", as versions
// wrote it.
void vfoPruefungLesen(const QList<QByteArray> &zeilen, Rigctl::Antwort &a)
{
    const QList<QByteArray> teile = zeilen.value(0).simplified().replace(':', ' ').split(' ');
    const QByteArray letztes = teile.value(teile.size() - 1);
    a.gelesen = letztes == "0" || letztes == "1";
    a.vfo = letztes == "1";
}

// A frequency a receiver cannot have is read, but not taken: the reply
// says why.
void frequenzNehmen(std::optional<qint64> hz, Rigctl::Antwort &a)
{
    if (!hz)
        return;
    if (Rigctl::moeglich(*hz))
        a.hz = *hz;
    else
        a.einwand = QStringLiteral("%1 Hz liegt außerhalb von 1 Hz bis 300 GHz").arg(*hz);
}

// The reply to get_freq, in whichever form it came.
void frequenzLesen(const QList<QByteArray> &zeilen, Rigctl::Antwort &a)
{
    const std::optional<QByteArray> frequenz = wert(zeilen, "Frequency");
    if (kopf(zeilen, langName(Rigctl::Befehl::FreqLesen)) || frequenz) {
        a.erweitert = true;
        const std::optional<qint64> hz = frequenz ? Rigctl::hertz(*frequenz) : std::nullopt;
        frequenzNehmen(hz, a);
        a.gelesen = hz.has_value() || a.rprt != 0;
        return;
    }
    a.erweitert = false;
    const std::optional<qint64> hz = Rigctl::hertz(zeilen.value(0));
    frequenzNehmen(hz, a);
    a.gelesen = hz.has_value();
}

// The value of a level or squelch reply: the line after the header, bare
// ("-38", as rigctld writes it) or as "Key: value"; the only line of the
// plain form.
QByteArray wertZeile(const QList<QByteArray> &zeilen, Rigctl::Befehl befehl)
{
    for (int i = 0; i < zeilen.size(); ++i) {
        const QByteArray &z = zeilen.at(i);
        if ((i == 0 && kopf(zeilen, langName(befehl))) || Rigctl::rprt(z))
            continue;
        const int doppelpunkt = z.indexOf(':');
        return (doppelpunkt >= 0 ? z.mid(doppelpunkt + 1) : z).trimmed();
    }
    return QByteArray();
}

// Whether a text can be the name of a mode ("FM", "PKTUSB"): a short word of
// visible ASCII characters. Anything else is no mode, however it came (a
// reply of another protocol, binary junk, kilobytes of one "word"), and never
// reaches the state, the status bar or a log entry.
bool modusName(const QByteArray &modus)
{
    constexpr int hoechstensZeichen = 32;
    return !modus.isEmpty() && modus.size() <= hoechstensZeichen
           && std::all_of(modus.begin(), modus.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

// The reply to get_mode: "Mode:" and "Passband:" lines, or the two plain
// lines.
void modusLesen(const QList<QByteArray> &zeilen, Rigctl::Antwort &a)
{
    std::optional<QByteArray> modus = wert(zeilen, "Mode");
    std::optional<QByteArray> passband = wert(zeilen, "Passband");
    if (!modus && !kopf(zeilen, langName(Rigctl::Befehl::ModusLesen)) && zeilen.size() >= 2) {
        modus = zeilen.at(0).trimmed();
        passband = zeilen.at(1).trimmed();
    }
    if (modus && modusName(*modus)) {
        a.modus = *modus;
        a.passband = passband ? passband->toLongLong() : 0;
        a.gelesen = true;
    } else {
        a.gelesen = a.rprt != 0;
    }
}

}

QByteArray Rigctl::zeile(Befehl befehl, const Protokoll &protokoll, const QByteArray &argumente)
{
    // The check is sent plain: its extended reply has no "RPRT" line.
    QByteArray z = befehl != Befehl::ChkVfo && protokoll.erweitert ? QByteArray("+\\") + langName(befehl)
                                                                   : QByteArray(kurzName(befehl));
    if (befehl != Befehl::ChkVfo && protokoll.vfo)
        z += " currVFO";
    if (!argumente.isEmpty())
        z += ' ' + argumente;
    return z + '\n';
}

std::optional<int> Rigctl::rprt(const QByteArray &zeile)
{
    const QByteArray t = zeile.trimmed();
    if (!t.startsWith("RPRT"))
        return std::nullopt;
    bool ok = false;
    const int code = t.mid(4).trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return code;
}

bool Rigctl::vollstaendig(Befehl befehl, std::optional<bool> erweitert, const QList<QByteArray> &zeilen)
{
    if (zeilen.isEmpty())
        return false;
    for (const QByteArray &z : zeilen)
        if (rprt(z))
            return true;   // an "RPRT" line always ends a reply
    if (befehl == Befehl::ChkVfo)
        return true;   // one line, whatever the form
    if (!erweitert)
        return befehl == Befehl::FreqLesen && hertz(zeilen.front()).has_value();   // a plain answer after all
    if (*erweitert)
        return false;
    switch (befehl) {
    case Befehl::ModusLesen: return zeilen.size() >= 2;
    default: return true;
    }
}

Rigctl::Antwort Rigctl::lesen(Befehl befehl, const QList<QByteArray> &zeilen)
{
    Antwort a;
    for (const QByteArray &z : zeilen)
        if (const auto code = rprt(z))
            a.rprt = *code;
    if (!zeilen.isEmpty() && rprt(zeilen.front()).has_value()) {
        // A failure alone; to the check it means that the server does not
        // know it: no vfo mode.
        a.gelesen = true;
        return a;
    }

    switch (befehl) {
    case Befehl::ChkVfo: vfoPruefungLesen(zeilen, a); break;
    case Befehl::FreqLesen: frequenzLesen(zeilen, a); break;
    case Befehl::ModusLesen: modusLesen(zeilen, a); break;
    case Befehl::StaerkeLesen:
        if (const auto db = pegel(wertZeile(zeilen, befehl))) {
            a.db = *db;
            a.gelesen = true;
        }
        break;
    case Befehl::DcdLesen: {
        const QByteArray w = wertZeile(zeilen, befehl);
        a.gelesen = w == "0" || w == "1";
        a.offen = w == "1";
        break;
    }
    case Befehl::FreqSetzen:
    case Befehl::ModusSetzen:
        a.gelesen = std::any_of(zeilen.begin(), zeilen.end(), [](const QByteArray &z) { return rprt(z).has_value(); });
        break;
    }
    return a;
}

QString Rigctl::fehlertext(int code)
{
    static const char *const texte[] = {
        "Befehl ausgeführt",
        "ungültiger Parameter",
        "ungültige Konfiguration",
        "zu wenig Speicher",
        "Funktion nicht eingebaut",
        "Zeitüberschreitung beim Gerät",
        "Ein-/Ausgabefehler",
        "interner Fehler von Hamlib",
        "Protokollfehler",
        "Befehl vom Gerät abgewiesen",
        "Befehl ausgeführt, Wert gekürzt",
        "Funktion nicht verfügbar",
        "VFO nicht ansprechbar",
        "Fehler auf der Geräteschnittstelle",
        "Geräteschnittstelle belegt",
        "ungültiger Aufruf",
        "ungültiger VFO",
        "Wert außerhalb des zulässigen Bereichs",
        "Funktion veraltet",
        "Sicherheitsfehler (Passwort fehlt?)",
        "Gerät ist ausgeschaltet",
    };
    constexpr int anzahl = int(sizeof texte / sizeof texte[0]);
    // Hamlib sends its codes negative; other programs send a positive number
    // for "did not work".
    if (code < 0 && -code < anzahl)
        return QStringLiteral("%1 (RPRT %2)").arg(QString::fromUtf8(texte[-code])).arg(code);
    return QStringLiteral("Befehl abgewiesen (RPRT %1)").arg(code);
}

std::optional<qint64> Rigctl::hertz(const QByteArray &wert)
{
    const QByteArray t = wert.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    qint64 ganz = 0;
    int i = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
        if (i >= 13)
            return std::nullopt;   // beyond any receiver
        ganz = ganz * 10 + (t[i] - '0');
    }
    if (i == 0)
        return std::nullopt;
    if (i < t.size()) {
        if (t[i] != '.')
            return std::nullopt;
        int j = i + 1;
        for (; j < t.size(); ++j)
            if (t[j] < '0' || t[j] > '9')
                return std::nullopt;
        if (i + 1 < t.size() && t[i + 1] >= '5')
            ++ganz;   // rounded to whole hertz
    }
    return ganz;
}

std::optional<int> Rigctl::pegel(const QByteArray &wert)
{
    QByteArray t = wert.trimmed();
    const bool minus = t.startsWith('-');
    if (minus || t.startsWith('+'))
        t = t.mid(1);
    const int punkt = t.indexOf('.');
    const QByteArray ganz = punkt < 0 ? t : t.left(punkt);
    const QByteArray bruch = punkt < 0 ? QByteArray() : t.mid(punkt + 1);
    auto ziffern = [](const QByteArray &z) {
        return std::all_of(z.begin(), z.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (ganz.isEmpty() || ganz.size() > 4 || !ziffern(ganz) || !ziffern(bruch) || (punkt >= 0 && bruch.isEmpty()))
        return std::nullopt;
    int db = ganz.toInt();
    if (!bruch.isEmpty() && bruch[0] >= '5')
        ++db;   // rounded to whole dB, away from zero
    if (db > 200)
        return std::nullopt;
    return minus ? -db : db;
}
