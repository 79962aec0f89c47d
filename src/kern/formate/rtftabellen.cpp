// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/formate/rtfleser_p.h"

using namespace RtfLeser;
using namespace RtfLeser::Intern;

// The document's head: its code page and default font, the destinations
// that open the font and colour tables or hold no text, and the shares of
// a colour table entry.
bool Leser::kopfWort(Wort w, bool hatZahl, int zahl)
{
    switch (w) {
    case Wort::Ansi: m_ansicpg = 1252; break;
    case Wort::Mac: m_ansicpg = 10000; break;
    case Wort::Pc: m_ansicpg = 437; break;
    case Wort::Pca: m_ansicpg = 850; break;
    case Wort::Ansicpg:
        if (hatZahl && zahl > 0 && zahl <= 65535)
            m_ansicpg = zahl;
        break;
    case Wort::Deff:
        if (hatZahl)
            m_dok.standardSchrift = zahl;
        break;
    case Wort::Fonttbl: m_z.ziel = Ziel::Schriften; break;
    case Wort::Colortbl:
        m_z.ziel = Ziel::Farben;
        m_farbeGesetzt = false;
        m_rot = m_gruen = m_blau = 0;
        break;
    case Wort::F:
    case Wort::Fcharset:
    case Wort::Cpg: return schriftWort(w, hatZahl, zahl);
    case Wort::Red:
    case Wort::Green:
    case Wort::Blue: farbAnteil(w, hatZahl, zahl); break;
    case Wort::Weg: m_z.ziel = Ziel::Weg; break;
    default: return false;
    }
    return true;
}

void Leser::farbAnteil(Wort w, bool hatZahl, int zahl)
{
    if (m_z.ziel != Ziel::Farben)
        return;
    const int wert = hatZahl ? qBound(0, zahl, 255) : 0;
    (w == Wort::Red ? m_rot : w == Wort::Green ? m_gruen : m_blau) = wert;
    m_farbeGesetzt = true;
}
