// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/bestaende/herkunft.h"

#include "kern/bestaende/frequenzdaten.h"
#include "kern/daten/sqlitedatei.h"

QString Herkunft::einzeilig(const QString &text, int hoechstens)
{
    QString t = text;
    for (QChar &c : t)
        if (!c.isPrint() || c == QChar::ReplacementCharacter)
            c = QLatin1Char(' ');
    t = t.simplified();
    if (t.size() > hoechstens) {
        t.truncate(hoechstens - 1);
        // A surrogate pair is not cut in half.
        if (!t.isEmpty() && t.back().isHighSurrogate())
            t.chop(1);
        t += QChar(0x2026);
    }
    return t;
}

QMap<QString, Herkunft::Liste> Herkunft::lesen(const QString &datei)
{
    SqliteDatei db(datei, SqliteDatei::Art::NurLesen);
    QMap<QString, Liste> listen;
    SqliteAnweisung gibt(db, QStringLiteral("select 1 from sqlite_master where type = 'table' and name = 'herkunft'"),
                         QStringLiteral("Die Tabellen der Frequenzdatenbank lassen sich nicht lesen."));
    if (!gibt.schritt())
        return listen;

    // Only so much of each text is read as can be shown: a foreign file
    // may hold anything there.
    auto text = [](const char *spalte) {
        return QStringLiteral("substr(cast(%1 as text), 1, %2)").arg(QLatin1String(spalte)).arg(laenge + 1);
    };
    SqliteAnweisung zeilen(db,
                           QStringLiteral("select tabelle, beispiel, %1, %2, %3 from herkunft where tabelle in "
                                          "('bos', 'flugfunk', 'afu', 'fernwirken') limit 16")
                               .arg(text("hinweis"), text("quelle"), text("bedingungen")),
                           QStringLiteral("Die Herkunft der Frequenzlisten lässt sich nicht lesen."));
    while (zeilen.schritt()) {
        Liste l;
        l.tabelle = Frequenzdaten::tabelle(zeilen.wert(0).toString());
        l.beispiel = zeilen.wert(1).toLongLong() != 0;
        l.hinweis = einzeilig(zeilen.wert(2).toString());
        l.quelle = einzeilig(zeilen.wert(3).toString());
        l.bedingungen = einzeilig(zeilen.wert(4).toString());
        listen.insert(l.tabelle, l);
    }
    return listen;
}
