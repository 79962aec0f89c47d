// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPair>
#include <QString>
#include <QVector>

class QPagedPaintDevice;
class QTextDocument;

// One log record on paper: its fields as caption and value, one under the
// other, then the remark with its fonts, sizes, colours and paragraphs as
// the remark box shows them, over as many pages as it takes.
class Eintragsdruck
{
public:
    using Feld = QPair<QString, QString>;   // caption, value

    Eintragsdruck(QString titel, QVector<Feld> felder, const QTextDocument &bemerkung);

    // Sets the page up (portrait, margins) and paints the record. False when
    // the device cannot be painted on.
    bool drucken(QPagedPaintDevice &geraet);
    int seiten() const { return m_seiten; }

private:
    QString m_titel;
    QVector<Feld> m_felder;
    const QTextDocument &m_bemerkung;
    int m_seiten = 0;
};
