// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/empfaenger/frm_waslaeuft.h"

#include "kern/basis/frequenz.h"
#include "kern/basis/speicherorte.h"
#include "kern/daten/verbindung.h"
#include "fenster/bausteine/datenbindung.h"
#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/meldung.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <cmath>

namespace {

// A distance in kHz with a sign, as few decimals as it needs: "0", "+2,5", "−6,25".
QString khzText(qint64 hz)
{
    if (hz == 0)
        return QStringLiteral("0");
    const qint64 betrag = std::abs(hz);
    QString text = QString::number(betrag / 1000);
    QString rest = QStringLiteral("%1").arg(betrag % 1000, 3, 10, QLatin1Char('0'));
    while (rest.endsWith(QLatin1Char('0')))
        rest.chop(1);
    if (!rest.isEmpty())
        text += QLatin1Char(',') + rest;
    return (hz > 0 ? QStringLiteral("+") : QStringLiteral("\u2212")) + text;
}

}

frm_waslaeuft::frm_waslaeuft(QWidget *parent) : KindFenster(parent)
{
    setObjectName(QStringLiteral("frm_waslaeuft"));
    setWindowTitle(QStringLiteral("Was läuft hier?"));
    Geometrie::festeGroesse(this, 11400, 6600);

    Label1 = new QLabel(QStringLiteral("Frequenz (MHz)"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Geometrie::setze(Label1, 120, 180, 1560, 300);
    txt_frequenz = new QLineEdit(this);
    txt_frequenz->setObjectName(QStringLiteral("txt_frequenz"));
    txt_frequenz->setFont(Geometrie::schrift(QStringLiteral("Verdana"), 12));
    Geometrie::setze(txt_frequenz, 1680, 120, 2160, 390);
    Label1->setBuddy(txt_frequenz);
    cmd_anzeigen = new QPushButton(QStringLiteral("Anzeigen"), this);
    cmd_anzeigen->setObjectName(QStringLiteral("cmd_anzeigen"));
    cmd_anzeigen->setAutoDefault(false);
    Geometrie::setze(cmd_anzeigen, 3960, 120, 1455, 390);
    chk_folgen = new QCheckBox(QStringLiteral("dem Empfänger folgen"), this);
    chk_folgen->setObjectName(QStringLiteral("chk_folgen"));
    chk_folgen->setChecked(true);
    Geometrie::setze(chk_folgen, 5640, 165, 2895, 300);

    Label2 = new QLabel(QStringLiteral("Raster Fernwirken (kHz)"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Geometrie::setze(Label2, 120, 660, 2295, 300);
    txt_fwraster = new QDoubleSpinBox(this);
    txt_fwraster->setObjectName(QStringLiteral("txt_fwraster"));
    txt_fwraster->setDecimals(3);
    txt_fwraster->setRange(0.001, 100.0);
    txt_fwraster->setValue(double(Funkdienste::raster(Funkdienst::Fernwirken)) / 1000.0);
    txt_fwraster->setKeyboardTracking(false);
    Geometrie::setze(txt_fwraster, 2400, 600, 1440, 390);
    Label2->setBuddy(txt_fwraster);
    lbl_ergebnis = new QLabel(this);
    lbl_ergebnis->setObjectName(QStringLiteral("lbl_ergebnis"));
    Geometrie::setze(lbl_ergebnis, 3960, 660, 7320, 300);

    DataGrid1 = new QTableWidget(0, 5, this);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setHorizontalHeaderLabels({QStringLiteral("Liste"), QStringLiteral("Frequenz"),
                                          QStringLiteral("Abstand (kHz)"), QStringLiteral("Ort"),
                                          QStringLiteral("Angaben")});
    Datenbindung::nurZeilen(DataGrid1);
    for (const auto &[spalte, twips] : {std::pair{0, 1500}, {1, 1335}, {2, 1320}, {3, 3300}})
        DataGrid1->setColumnWidth(spalte, Geometrie::twips(twips));
    Geometrie::setze(DataGrid1, 120, 1080, 11160, 5400);

    connect(cmd_anzeigen, &QPushButton::clicked, this, &frm_waslaeuft::cmd_anzeigen_Click);
    connect(txt_frequenz, &QLineEdit::returnPressed, this, &frm_waslaeuft::cmd_anzeigen_Click);
    connect(txt_frequenz, &QLineEdit::textEdited, this, &frm_waslaeuft::txt_frequenz_Change);
    connect(chk_folgen, &QCheckBox::clicked, this, &frm_waslaeuft::chk_folgen_Click);
    connect(txt_fwraster, &QDoubleSpinBox::valueChanged, this, &frm_waslaeuft::txt_fwraster_Change);
    connect(DataGrid1, &QTableWidget::cellDoubleClicked, this, &frm_waslaeuft::DataGrid1_DblClick);

    setTabOrder(txt_frequenz, cmd_anzeigen);
    setTabOrder(cmd_anzeigen, chk_folgen);
    setTabOrder(chk_folgen, txt_fwraster);
    setTabOrder(txt_fwraster, DataGrid1);
    setFocusProxy(txt_frequenz);
    empfaengerAnwenden(EmpfaengerZustand{});
}

frm_waslaeuft::~frm_waslaeuft() = default;

void frm_waslaeuft::setzeEmpfaenger(Empfaenger *empfaenger)
{
    if (m_empfaenger)
        disconnect(m_empfaenger, nullptr, this, nullptr);
    m_empfaenger = empfaenger;
    if (m_empfaenger)
        connect(m_empfaenger, &Empfaenger::zustandGeaendert, this, &frm_waslaeuft::empfaengerAnwenden);
    empfaengerAnwenden(m_empfaenger ? m_empfaenger->zustand() : EmpfaengerZustand{});
}

void frm_waslaeuft::Form_Load()
{
    // The frequency database the lists read, beside the program or installed.
    m_suche = std::make_unique<WasLaeuft>(Speicherorte::datei(Verbindung::dateiName(Verbindungstext::frequenzen)));
    m_suche->setzeFernwirkRaster(std::llround(txt_fwraster->value() * 1000.0));
    if (m_empfaenger)
        empfaengerAnwenden(m_empfaenger->zustand());
}

void frm_waslaeuft::empfaengerAnwenden(const EmpfaengerZustand &zustand)
{
    chk_folgen->setVisible(m_empfaenger != nullptr);
    chk_folgen->setEnabled(zustand.verbunden());
    chk_folgen->setToolTip(zustand.verbunden() ? QStringLiteral("Zeigt, was auf der Frequenz des Empfängers läuft.")
                                               : zustand.warumNicht());
    if (zustand.verbunden() && zustand.hz > 0 && chk_folgen->isChecked() && m_suche && m_gezeigt != zustand.hz) {
        txt_frequenz->setText(Frequenz::mhzText(zustand.hz));
        zeige(zustand.hz);
    }
}

void frm_waslaeuft::cmd_anzeigen_Click()
{
    const QString text = txt_frequenz->text();
    const std::optional<qint64> hz = Frequenz::hertz(text);
    if (!hz) {
        Meldung::zeigen(Frequenz::einwand(text), Meldung::Symbol::Fehler);
        return;
    }
    zeige(*hz);
}

void frm_waslaeuft::txt_frequenz_Change()
{
    // The user's own frequency: the receiver's no longer overwrites it.
    chk_folgen->setChecked(false);
}

void frm_waslaeuft::chk_folgen_Click()
{
    if (!m_empfaenger || !chk_folgen->isChecked())
        return;
    m_gezeigt.reset();   // the receiver's frequency replaces whatever the box shows
    empfaengerAnwenden(m_empfaenger->zustand());
}

void frm_waslaeuft::txt_fwraster_Change()
{
    if (!m_suche)
        return;
    m_suche->setzeFernwirkRaster(std::llround(txt_fwraster->value() * 1000.0));
    if (m_gezeigt)
        zeige(*m_gezeigt);
}

void frm_waslaeuft::DataGrid1_DblClick()
{
    const int zeile = DataGrid1->currentRow();
    if (!m_empfaenger || !m_empfaenger->verbunden() || zeile < 0 || zeile >= m_funde.size())
        return;
    const WasLaeuft::Fund &f = m_funde.at(zeile);
    m_empfaenger->abstimmen(f.hz, Funkdienste::modulation(f.dienst));
}

void frm_waslaeuft::zeige(qint64 hz)
{
    if (!m_suche)
        return;
    m_gezeigt = hz;
    m_funde = m_suche->suche(hz);
    // Nothing on it: what each list has nearest.
    const bool naechste = m_funde.isEmpty();
    if (naechste)
        m_funde = m_suche->naechste(hz);
    DataGrid1->setRowCount(0);
    DataGrid1->setRowCount(m_funde.size());
    for (int z = 0; z < m_funde.size(); ++z) {
        const WasLaeuft::Fund &f = m_funde.at(z);
        const QStringList werte{Funkdienste::name(f.dienst), f.frequenzText, khzText(f.abstand), f.ort, f.angaben};
        for (int s = 0; s < werte.size(); ++s) {
            auto *zelle = new QTableWidgetItem(werte.at(s));
            if (s == 2)
                zelle->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            DataGrid1->setItem(z, s, zelle);
        }
    }
    QString text = naechste ? QStringLiteral("Nichts bekannt auf %1 MHz").arg(Frequenz::mhzText(hz))
                            : QStringLiteral("%1 %2 auf %3 MHz")
                                  .arg(QString::number(m_funde.size()),
                                       m_funde.size() == 1 ? QStringLiteral("Eintrag") : QStringLiteral("Einträge"),
                                       Frequenz::mhzText(hz));
    if (naechste && !m_funde.isEmpty())
        text += QStringLiteral(" \u2013 die nächstgelegenen Einträge jeder Liste");
    if (m_suche->ohneFrequenz() > 0)
        text += QStringLiteral(" (%1 %2 ohne gültige Frequenz übergangen)")
                    .arg(QString::number(m_suche->ohneFrequenz()),
                         m_suche->ohneFrequenz() == 1 ? QStringLiteral("Zeile") : QStringLiteral("Zeilen"));
    lbl_ergebnis->setText(text);
}
