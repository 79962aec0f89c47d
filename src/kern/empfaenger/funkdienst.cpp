// SPDX-License-Identifier: GPL-3.0-or-later
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

qint64 Funkdienste::traeger(Funkdienst dienst, qint64 geschriebenHz)
{
    return dienst == Funkdienst::Flugfunk ? flugfunk(geschriebenHz).hz : geschriebenHz;
}
