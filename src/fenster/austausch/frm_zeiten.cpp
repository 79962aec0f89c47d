// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/austausch/frm_zeiten.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
frm_zeiten::Ersatz &ersatz()
{
    static frm_zeiten::Ersatz e;
    return e;
}
}

frm_zeiten::frm_zeiten(bool ausfuhr, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_zeiten"));
    setWindowTitle(ausfuhr ? QStringLiteral("Log exportieren") : QStringLiteral("Log importieren"));
    auto *text = new QLabel(ausfuhr ? QStringLiteral("ADIF gibt Datum und Uhrzeit in UTC an. Die Zeiten im Log:")
                                    : QStringLiteral("Die Datei gibt Datum und Uhrzeit in UTC an. Ins Log kommen sie:"),
                            this);
    text->setObjectName(QStringLiteral("lbl_zeiten"));
    opt_ortszeit = new QRadioButton(ausfuhr ? QStringLiteral("Zeiten sind Ortszeit (umrechnen in UTC)")
                                            : QStringLiteral("als Ortszeit (aus UTC umrechnen)"),
                                    this);
    opt_ortszeit->setObjectName(QStringLiteral("opt_ortszeit"));
    opt_utc = new QRadioButton(
        ausfuhr ? QStringLiteral("Zeiten sind schon UTC") : QStringLiteral("unverändert als UTC"), this);
    opt_utc->setObjectName(QStringLiteral("opt_utc"));
    opt_ortszeit->setChecked(true);
    cmd_ok = new QPushButton(QStringLiteral("OK"), this);
    cmd_ok->setObjectName(QStringLiteral("cmd_ok"));
    cmd_ok->setDefault(true);
    cmd_abbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmd_abbrechen->setObjectName(QStringLiteral("cmd_abbrechen"));

    auto *knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(cmd_ok);
    knoepfe->addWidget(cmd_abbrechen);
    auto *spalte = new QVBoxLayout(this);
    spalte->addWidget(text);
    spalte->addWidget(opt_ortszeit);
    spalte->addWidget(opt_utc);
    spalte->addLayout(knoepfe);

    connect(cmd_ok, &QPushButton::clicked, this, &frm_zeiten::cmd_ok_Click);
    connect(cmd_abbrechen, &QPushButton::clicked, this, &frm_zeiten::cmd_abbrechen_Click);
}

bool frm_zeiten::ortszeit() const
{
    return opt_ortszeit->isChecked();
}

void frm_zeiten::cmd_ok_Click()
{
    accept();
}

void frm_zeiten::cmd_abbrechen_Click()
{
    reject();
}

std::optional<bool> frm_zeiten::fragen(QWidget *eltern, bool ausfuhr)
{
    if (ersatz())
        return ersatz()(ausfuhr);
    frm_zeiten d(ausfuhr, eltern);
    if (d.exec() != QDialog::Accepted)
        return std::nullopt;
    return d.ortszeit();
}

void frm_zeiten::setzeErsatz(Ersatz e)
{
    ersatz() = std::move(e);
}
