// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/log/frm_eintrag.h"

#include "fenster/bausteine/geometrie.h"
#include "kern/basis/frequenz.h"
#include "kern/empfaenger/empfaenger.h"

#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

// The log window and the receiver: frequency and mode into the record.

namespace {
// A small receiver: a cabinet with a dial and a knob, and its antenna.
QIcon empfaengerSymbol()
{
    QPixmap bild(16, 16);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(32, 32, 32), 1.2));
    p.drawLine(QPointF(4.5, 7.5), QPointF(10.5, 1.5));
    p.setBrush(QColor(64, 64, 64));
    p.drawRoundedRect(QRectF(1.5, 7.5, 13, 7), 1.5, 1.5);
    p.setBrush(QColor(255, 192, 128));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(3, 9, 6, 4));
    p.setBrush(QColor(224, 224, 224));
    p.drawEllipse(QPointF(11.5, 11), 1.8, 1.8);
    return QIcon(bild);
}
}

void frm_eintrag::setzeEmpfaenger(Empfaenger *empfaenger)
{
    if (m_empfaenger)
        disconnect(m_empfaenger, nullptr, this, nullptr);
    m_empfaenger = empfaenger;
    if (!cmd_vomempfaenger) {
        // Beside the frequency, in the gap before "Modulation".
        cmd_vomempfaenger = new QToolButton(Frame2);
        cmd_vomempfaenger->setObjectName(QStringLiteral("cmd_vomempfaenger"));
        cmd_vomempfaenger->setText(QStringLiteral("vom Empfänger"));
        cmd_vomempfaenger->setAccessibleName(QStringLiteral("vom Empfänger"));
        cmd_vomempfaenger->setIcon(empfaengerSymbol());
        cmd_vomempfaenger->setToolButtonStyle(Qt::ToolButtonIconOnly);
        cmd_vomempfaenger->setFocusPolicy(Qt::NoFocus);   // the boxes' Tab order stays as it is
        Geometrie::setze(cmd_vomempfaenger, 4395, 1680, 375, 375);
        connect(cmd_vomempfaenger, &QToolButton::clicked, this, &frm_eintrag::cmd_vomempfaenger_Click);
    }
    if (m_empfaenger)
        connect(m_empfaenger, &Empfaenger::zustandGeaendert, this, &frm_eintrag::empfaengerAnwenden);
    empfaengerAnwenden();
}

void frm_eintrag::empfaengerAnwenden()
{
    if (!cmd_vomempfaenger)
        return;
    cmd_vomempfaenger->setVisible(m_empfaenger != nullptr);
    const EmpfaengerZustand z = m_empfaenger ? m_empfaenger->zustand() : EmpfaengerZustand{};
    const bool offen = m_zustand != Zustand::Browse;
    cmd_vomempfaenger->setEnabled(z.verbunden() && offen);
    if (!z.verbunden())
        cmd_vomempfaenger->setToolTip(QStringLiteral("vom Empfänger: ") + z.warumNicht());
    else if (!offen)
        cmd_vomempfaenger->setToolTip(
            QStringLiteral("vom Empfänger: erst mit \u201ENEU\u201C oder \u201EBEARBEITEN\u201C möglich."));
    else
        cmd_vomempfaenger->setToolTip(QStringLiteral("vom Empfänger: Frequenz und Modulation übernehmen"));
}

// The user's own choice: the values count as typed.
void frm_eintrag::cmd_vomempfaenger_Click()
{
    if (!m_empfaenger || !m_empfaenger->verbunden() || m_zustand == Zustand::Browse)
        return;
    const QHash<QString, QString> werte = empfaengerWerte();
    if (werte.contains(QStringLiteral("frequenz")))
        txt_frequenz->setText(werte.value(QStringLiteral("frequenz")));
    if (werte.contains(QStringLiteral("band")))
        txt_band->setText(werte.value(QStringLiteral("band")));
}

QHash<QString, QString> frm_eintrag::empfaengerWerte() const
{
    QHash<QString, QString> werte;
    const EmpfaengerZustand z = m_empfaenger->zustand();
    if (z.hz > 0)
        werte.insert(QStringLiteral("frequenz"), Frequenz::mhzText(z.hz));
    if (!z.modus.isEmpty())
        werte.insert(QStringLiteral("band"), logModulation(z.modus));
    return werte;
}
