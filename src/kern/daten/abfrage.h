// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

// One query of a data window, as a value: all columns of one table, either
// every row or the rows whose column contains a text, sorted by one column.
// The data view reads its table, search and sort from here; text() is the
// query as the windows have always written it, e.g.
//   select * from [bos] where Ort like '%Ham%' order by Ort asc
class Abfrage
{
public:
    enum class Richtung { Auf, Ab };

    Abfrage() = default;
    // Every row in the order the table keeps them, the table's name without
    // brackets: "select * from bos" (what a data view holds before its
    // window loads).
    static Abfrage tabelle(const QString &tabelle);
    // Every row, sorted: "select * from [bos] order by Ort asc".
    static Abfrage alle(const QString &tabelle, const QString &sortSpalte, Richtung richtung = Richtung::Auf);
    // The rows of alle whose column contains text anywhere: the text goes in
    // as typed, so '%' and '_' keep their wildcard meaning; an apostrophe is
    // matched as itself. like is the keyword as the window writes it
    // ("like" or "Like").
    static Abfrage suche(const Abfrage &alle, const QString &spalte, const QString &text,
                         const QString &like = QStringLiteral("like"));
    // A statement of the program's own that is none of the windows' shapes
    // (the statistics' lists): run as it stands, its rows read in order and
    // never written back.
    static Abfrage frei(const QString &sql);
    bool istFrei() const { return !m_frei.isEmpty(); }

    // The query text. In it an apostrophe of the user's text is doubled, so
    // the text reads as the statement that runs.
    QString text() const;

    const QString &tabellenName() const { return m_tabelle; }
    bool hatSuche() const { return !m_suchSpalte.isEmpty(); }
    const QString &suchSpalte() const { return m_suchSpalte; }
    const QString &suchText() const { return m_suchText; }
    // The pattern of the like-match: the text between two '%'.
    QString muster() const;
    // A search over frequencies: a dot in the text also stands for the
    // decimal comma ("84.295" finds "84,295" and "84.295"). The query's text
    // keeps the text as typed.
    Abfrage mitDezimalpunkt() const;
    // The patterns the search column is matched against, a row matching any
    // one: muster(), and for a frequency search with a dot, the same with
    // the decimal comma.
    QStringList suchMuster() const;
    // The search's condition over the column's SQL name, one '?' for each
    // of suchMuster(): "Ort like ?" or "(Freq like ? or Freq like ?)".
    QString suchBedingung(const QString &spaltenName) const;
    // Empty: the rows in the table's own order (by its key).
    const QString &sortSpalte() const { return m_sortSpalte; }
    Richtung richtung() const { return m_richtung; }
    // A collation (registered on the connection) by which to sort instead of
    // the column's own; empty for the column's own. No index serves such a
    // sort, so the data view orders the keys once when it runs the query.
    const QString &kollation() const { return m_kollation; }
    Abfrage mitKollation(const QString &kollation) const;

    // An order the user lays over a query's rows (a click on a column's
    // header): by a column, in a direction, compared by a collation (empty:
    // the column's own).
    struct Ordnung
    {
        QString spalte;
        Richtung richtung = Richtung::Auf;
        QString kollation;
        bool operator==(const Ordnung &o) const
        {
            return spalte == o.spalte && richtung == o.richtung && kollation == o.kollation;
        }
    };
    // The same rows in that order; among rows it finds equal the query's own
    // sort decides, then the key:
    //   select * from [bos] where Ort like '%Ham%' order by Freq collate frequenz desc, Ort asc
    Abfrage geordnet(const Ordnung &ordnung) const;
    // The sort among equal rows (the query's own before geordnet), with its
    // direction; empty: none.
    const QString &dannSpalte() const { return m_dannSpalte; }
    Richtung dannRichtung() const { return m_dannRichtung; }

private:
    QString m_tabelle;
    bool m_eckig = false;   // the table's name in square brackets
    QString m_suchSpalte;
    QString m_suchText;
    QString m_like;
    bool m_dezimalpunkt = false;
    QString m_sortSpalte;
    Richtung m_richtung = Richtung::Auf;
    QString m_kollation;
    QString m_dannSpalte;
    Richtung m_dannRichtung = Richtung::Auf;
    QString m_frei;
};
