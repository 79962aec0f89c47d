// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/sicherung/frm_autosicherung.h"
#include "fenster/sicherung/wiederherstellen.h"

#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/meldung.h"
#include "kern/sicherung/autosicherung.h"
#include "kern/sicherung/sicherung.h"
#include "kern/sicherung/sicherungsdatei.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>

namespace {
frm_autosicherung::Ordnerwahl &ordnerwahl()
{
    static frm_autosicherung::Ordnerwahl w;
    return w;
}

QString zeitText(const QDateTime &zeit, const QString &format = QStringLiteral("dd.MM.yyyy HH:mm:ss"))
{
    return QLocale(QLocale::German, QLocale::Germany).toString(zeit, format);
}

// "mit 1 Eintrag", "mit 4 Einträgen"; a file that cannot be read says so.
QString mitEintraegen(int n)
{
    if (n < 0)
        return QStringLiteral("(nicht lesbar)");
    return n == 1 ? QStringLiteral("mit 1 Eintrag") : QStringLiteral("mit %1 Einträgen").arg(n);
}
}

void frm_autosicherung::setzeOrdnerwahl(Ordnerwahl wahl)
{
    ordnerwahl() = std::move(wahl);
}

frm_autosicherung::frm_autosicherung(std::function<bool()> logFreigeben, QWidget *parent)
    : KindFenster(parent), m_logFreigeben(std::move(logFreigeben))
{
    setObjectName(QStringLiteral("frm_autosicherung"));
    setWindowTitle(QStringLiteral("Automatische Sicherungen"));
    Geometrie::festeGroesse(this, 8400, 6060);

    lbl_ordner = new QLabel(QStringLiteral("Ordner:"), this);
    lbl_ordner->setObjectName(QStringLiteral("lbl_ordner"));
    Geometrie::setze(lbl_ordner, 120, 150, 900, 300);
    txt_ordner = new QLineEdit(this);
    txt_ordner->setObjectName(QStringLiteral("txt_ordner"));
    txt_ordner->setReadOnly(true);
    Geometrie::setze(txt_ordner, 1020, 120, 5760, 330);
    lbl_ordner->setBuddy(txt_ordner);
    cmd_ordner = new QPushButton(QStringLiteral("Ändern …"), this);
    cmd_ordner->setObjectName(QStringLiteral("cmd_ordner"));
    Geometrie::setze(cmd_ordner, 6900, 105, 1380, 360);

    chk_aktiv = new QCheckBox(QStringLiteral("Beim Programmstart sichern, höchstens einmal am Tag"), this);
    chk_aktiv->setObjectName(QStringLiteral("chk_aktiv"));
    Geometrie::setze(chk_aktiv, 120, 570, 8160, 300);

    lbl_bericht = new QLabel(this);
    lbl_bericht->setObjectName(QStringLiteral("lbl_bericht"));
    lbl_bericht->setWordWrap(true);
    lbl_bericht->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbl_bericht->setTextFormat(Qt::PlainText);
    Geometrie::setze(lbl_bericht, 120, 960, 8160, 540);

    lst_sicherungen = new QTreeWidget(this);
    lst_sicherungen->setObjectName(QStringLiteral("lst_sicherungen"));
    lst_sicherungen->setHeaderLabels({QStringLiteral("Datum"), QStringLiteral("Größe"), QStringLiteral("Einträge")});
    // Size and count stand right-aligned, their headers with them.
    for (int spalte : {1, 2})
        lst_sicherungen->headerItem()->setTextAlignment(spalte, Qt::AlignRight | Qt::AlignVCenter);
    lst_sicherungen->setRootIsDecorated(false);
    lst_sicherungen->setSelectionMode(QAbstractItemView::SingleSelection);
    lst_sicherungen->setAllColumnsShowFocus(true);
    Geometrie::setze(lst_sicherungen, 120, 1590, 8160, 3420);
    lst_sicherungen->setColumnWidth(0, Geometrie::twips(4500));
    lst_sicherungen->setColumnWidth(1, Geometrie::twips(1500));

    lbl_regel = new QLabel(
        QStringLiteral("Aufbewahrt werden die Sicherungen der letzten 7 Tage und der letzten 4 Wochen."), this);
    lbl_regel->setObjectName(QStringLiteral("lbl_regel"));
    lbl_regel->setWordWrap(true);
    Geometrie::setze(lbl_regel, 120, 5100, 4440, 780);
    cmd_wiederherstellen = new QPushButton(QStringLiteral("Diese Sicherung wiederherstellen"), this);
    cmd_wiederherstellen->setObjectName(QStringLiteral("cmd_wiederherstellen"));
    Geometrie::setze(cmd_wiederherstellen, 4680, 5160, 3600, 420);

    connect(cmd_ordner, &QPushButton::clicked, this, &frm_autosicherung::cmd_ordner_Click);
    connect(chk_aktiv, &QCheckBox::clicked, this, &frm_autosicherung::chk_aktiv_Click);
    connect(cmd_wiederherstellen, &QPushButton::clicked, this, &frm_autosicherung::cmd_wiederherstellen_Click);
    connect(lst_sicherungen, &QTreeWidget::itemSelectionChanged, this,
            [this] { cmd_wiederherstellen->setEnabled(!lst_sicherungen->selectedItems().isEmpty()); });
    setFocusProxy(lst_sicherungen);
}

void frm_autosicherung::Form_Load()
{
    const Autosicherung::Einstellung e = Autosicherung::Einstellung::lesen();
    chk_aktiv->setChecked(e.aktiv);
    listeFuellen();
}

void frm_autosicherung::listeFuellen()
{
    const QString ordner = Autosicherung::Einstellung::lesen().ordnerOderStandard();
    txt_ordner->setText(ordner);
    txt_ordner->setCursorPosition(0);
    txt_ordner->setToolTip(ordner);
    // What the last start had to tell about this folder (not about one
    // chosen before).
    const Autosicherung::Bericht bericht = Autosicherung::Bericht::lesen();
    const bool zeigen = !bericht.grund.isEmpty() && bericht.ordner == ordner;
    lbl_bericht->setText(zeigen
                             ? QStringLiteral("Beim Programmstart am %1: %2")
                                   .arg(zeitText(bericht.zeit, QStringLiteral("dd.MM.yyyy 'um' HH:mm")), bericht.grund)
                             : QString());
    lbl_bericht->setToolTip(lbl_bericht->text());
    lst_sicherungen->clear();
    const QLocale deutsch(QLocale::German, QLocale::Germany);
    const QDateTime jetzt = Autosicherung::jetzt();
    for (const Autosicherung::Generation &g : Autosicherung::generationen(ordner)) {
        const int n = Autosicherung::eintraege(g.datei);
        QString datum = zeitText(g.zeit);
        if (g.vorWiederherstellung)
            datum += QStringLiteral(" (vor Wiederherstellung)");
        else if (g.zeit > jetzt)
            datum += QStringLiteral(" (Datum in der Zukunft)");
        auto *zeile = new QTreeWidgetItem(
            lst_sicherungen,
            {datum, deutsch.formattedDataSize(QFileInfo(g.datei).size(), 1, QLocale::DataSizeTraditionalFormat),
             n < 0 ? QStringLiteral("nicht lesbar") : QString::number(n)});
        zeile->setData(0, Qt::UserRole, g.datei);
        zeile->setData(1, Qt::UserRole, g.zeit);
        zeile->setData(2, Qt::UserRole, n);
        zeile->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        zeile->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    cmd_wiederherstellen->setEnabled(false);
}

void frm_autosicherung::cmd_ordner_Click()
{
    Autosicherung::Einstellung e = Autosicherung::Einstellung::lesen();
    const QString bisher = e.ordnerOderStandard();
    const QString neu = ordnerwahl()
                            ? ordnerwahl()(bisher)
                            : QFileDialog::getExistingDirectory(this, QStringLiteral("Ordner der Sicherungen"), bisher);
    if (neu.isEmpty())
        return;
    e.ordner = QFileInfo(neu).absoluteFilePath() == Autosicherung::standardOrdner() ? QString() : neu;
    e.schreiben();
    listeFuellen();
}

void frm_autosicherung::chk_aktiv_Click(bool an)
{
    Autosicherung::Einstellung e = Autosicherung::Einstellung::lesen();
    e.aktiv = an;
    e.schreiben();
}

void frm_autosicherung::cmd_wiederherstellen_Click()
{
    const QList<QTreeWidgetItem *> gewaehlt = lst_sicherungen->selectedItems();
    if (gewaehlt.isEmpty()) {
        Meldung::zeigen(QStringLiteral("Bitte eine Sicherung in der Liste wählen."), Meldung::Symbol::Fehler);
        return;
    }
    const QTreeWidgetItem *zeile = gewaehlt.first();
    const QString quelle = zeile->data(0, Qt::UserRole).toString();
    const QString ziel = Autosicherung::logdatei();

    // The rules of the restore window: a file that is no log database is
    // refused, the log window is closed first, the log as it was is kept,
    // and the log replaced in one step. Before that the user says yes to
    // what is replaced by what.
    auto zustimmen = [&] {
        const QString log = QFileInfo::exists(ziel)
                                ? QStringLiteral("Das Log ") + mitEintraegen(Autosicherung::eintraege(ziel))
                                : QStringLiteral("Das Log (nicht vorhanden)");
        return Meldung::frage(
            QStringLiteral("%1 durch die Sicherung vom %2 %3 ersetzen?")
                .arg(log, zeitText(zeile->data(1, Qt::UserRole).toDateTime(), QStringLiteral("dd.MM.yyyy HH:mm")),
                     mitEintraegen(zeile->data(2, Qt::UserRole).toInt())));
    };
    if (logWiederherstellen(quelle, ziel, quelle, m_logFreigeben, zustimmen))
        listeFuellen();   // with the log as it was among the generations
}
