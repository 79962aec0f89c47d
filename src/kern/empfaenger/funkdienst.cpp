#include "kern/empfaenger/funkdienst.h"

QString Funkdienste::name(Funkdienst dienst)
{
    switch (dienst) {
    case Funkdienst::Bos: return QStringLiteral("BOS");
    case Funkdienst::Flugfunk: return QStringLiteral("Flugfunk");
    case Funkdienst::Afu: return QStringLiteral("AFU-Repeater");
    case Funkdienst::Fernwirken: return QStringLiteral("Fernwirken");
    }
    return QString();
}

Modulation Funkdienste::modulation(Funkdienst dienst)
{
    return dienst == Funkdienst::Flugfunk ? Modulation::Am : Modulation::FmSchmal;
}

qint64 Funkdienste::raster(Funkdienst dienst)
{
    switch (dienst) {
    case Funkdienst::Bos: return 20000;
    case Funkdienst::Flugfunk:
    case Funkdienst::Afu: return 12500;
    case Funkdienst::Fernwirken: return 1000;
    }
    return 1000;
}

Funkdienste::Kanal Funkdienste::flugfunk(qint64 geschriebenHz)
{
    const qint64 imBlock = geschriebenHz % 25000;   // the 25 kHz block the name lies in
    const bool vhf = geschriebenHz >= 117'975'000 && geschriebenHz <= 137'000'000;
    if (vhf && (imBlock == 5000 || imBlock == 10000 || imBlock == 15000)) {
        // The three 8.33 kHz channels of a block start on the block's edge.
        const qint64 k = imBlock / 5000 - 1;
        return {geschriebenHz - imBlock + (k * 25000 + 1) / 3, 8333, true};
    }
    return {geschriebenHz, 12500, false};
}

qint64 Funkdienste::traeger(Funkdienst dienst, qint64 geschriebenHz)
{
    return dienst == Funkdienst::Flugfunk ? flugfunk(geschriebenHz).hz : geschriebenHz;
}
