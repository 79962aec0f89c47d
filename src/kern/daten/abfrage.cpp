// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/abfrage.h"

Abfrage Abfrage::tabelle(const QString &tabelle)
{
    Abfrage a;
    a.m_tabelle = tabelle;
    return a;
}

Abfrage Abfrage::alle(const QString &tabelle, const QString &sortSpalte, Richtung richtung)
{
    Abfrage a;
    a.m_tabelle = tabelle;
    a.m_eckig = true;
    a.m_sortSpalte = sortSpalte;
    a.m_richtung = richtung;
    return a;
}

Abfrage Abfrage::suche(const Abfrage &alle, const QString &spalte, const QString &text, const QString &like)
{
    Abfrage a = alle;
    a.m_suchSpalte = spalte;
    a.m_suchText = text;
    a.m_like = like;
    return a;
}

Abfrage Abfrage::frei(const QString &sql)
{
    Abfrage a;
    a.m_frei = sql;
    return a;
}

Abfrage Abfrage::mitKollation(const QString &kollation) const
{
    Abfrage a = *this;
    a.m_kollation = kollation;
    return a;
}

Abfrage Abfrage::geordnet(const Ordnung &ordnung) const
{
    Abfrage a = *this;
    // Ordered twice, the first order of all still decides among equal rows.
    if (m_dannSpalte.isEmpty() && m_sortSpalte.compare(ordnung.spalte, Qt::CaseInsensitive) != 0) {
        a.m_dannSpalte = m_sortSpalte;
        a.m_dannRichtung = m_richtung;
    }
    a.m_sortSpalte = ordnung.spalte;
    a.m_richtung = ordnung.richtung;
    a.m_kollation = ordnung.kollation;
    return a;
}

QString Abfrage::muster() const
{
    return QLatin1Char('%') + m_suchText + QLatin1Char('%');
}

Abfrage Abfrage::mitDezimalpunkt() const
{
    Abfrage a = *this;
    a.m_dezimalpunkt = true;
    return a;
}

QStringList Abfrage::suchMuster() const
{
    QStringList m{muster()};
    if (m_dezimalpunkt && m_suchText.contains(QLatin1Char('.')))
        m << QString(m.front()).replace(QLatin1Char('.'), QLatin1Char(','));
    return m;
}

QString Abfrage::suchBedingung(const QString &spaltenName) const
{
    const QString eine = spaltenName + QStringLiteral(" like ?");
    const qsizetype n = suchMuster().size();
    if (n == 1)
        return eine;
    QStringList teile;
    for (qsizetype i = 0; i < n; ++i)
        teile << eine;
    return QLatin1Char('(') + teile.join(QStringLiteral(" or ")) + QLatin1Char(')');
}

QString Abfrage::text() const
{
    if (istFrei())
        return m_frei;
    QString t = QStringLiteral("select * from ");
    t += m_eckig ? QLatin1Char('[') + m_tabelle + QLatin1Char(']') : m_tabelle;
    if (hatSuche()) {
        QString m = muster();
        m.replace(QLatin1Char('\''), QLatin1String("''"));
        t += QStringLiteral(" where ") + m_suchSpalte + QLatin1Char(' ') + m_like + QStringLiteral(" '") + m
             + QLatin1Char('\'');
    }
    if (!m_sortSpalte.isEmpty()) {
        t += QStringLiteral(" order by ") + m_sortSpalte;
        if (!m_kollation.isEmpty())
            t += QStringLiteral(" collate ") + m_kollation;
        t += m_richtung == Richtung::Auf ? QStringLiteral(" asc") : QStringLiteral(" desc");
        if (!m_dannSpalte.isEmpty())
            t += QStringLiteral(", ") + m_dannSpalte
                 + (m_dannRichtung == Richtung::Auf ? QStringLiteral(" asc") : QStringLiteral(" desc"));
    }
    return t;
}
