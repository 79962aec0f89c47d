#include "fenster/sicherung/frm_autosicherung.h"
#include "fenster/sicherung/wiederherstellen.h"

#include "kern/sicherung/autosicherung.h"
#include "kern/sicherung/sicherung.h"
#include "kern/sicherung/sicherungsdatei.h"
#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/meldung.h"

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

QString zeitText(const QDateTime &zeit)
{
    return QLocale(QLocale::German, QLocale::Germany).toString(zeit, QStringLiteral("dd.MM.yyyy HH:mm:ss"));
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
    Geometrie::festeGroesse(this, 8400, 5460);

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

    lst_sicherungen = new QTreeWidget(this);
    lst_sicherungen->setObjectName(QStringLiteral("lst_sicherungen"));
    lst_sicherungen->setHeaderLabels({QStringLiteral("Datum"), QStringLiteral("Größe"), QStringLiteral("Einträge")});
    // Size and count stand right-aligned, their headers with them.
    for (int spalte : {1, 2})
        lst_sicherungen->headerItem()->setTextAlignment(spalte, Qt::AlignRight | Qt::AlignVCenter);
    lst_sicherungen->setRootIsDecorated(false);
    lst_sicherungen->setSelectionMode(QAbstractItemView::SingleSelection);
    lst_sicherungen->setAllColumnsShowFocus(true);
    Geometrie::setze(lst_sicherungen, 120, 990, 8160, 3420);
    lst_sicherungen->setColumnWidth(0, Geometrie::twips(3300));
    lst_sicherungen->setColumnWidth(1, Geometrie::twips(2100));

    lbl_regel = new QLabel(
        QStringLiteral("Aufbewahrt werden die Sicherungen der letzten 7 Tage und der letzten 4 Wochen."), this);
    lbl_regel->setObjectName(QStringLiteral("lbl_regel"));
    lbl_regel->setWordWrap(true);
    Geometrie::setze(lbl_regel, 120, 4500, 4440, 780);
    cmd_wiederherstellen = new QPushButton(QStringLiteral("Diese Sicherung wiederherstellen"), this);
    cmd_wiederherstellen->setObjectName(QStringLiteral("cmd_wiederherstellen"));
    Geometrie::setze(cmd_wiederherstellen, 4680, 4560, 3600, 420);

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
    lst_sicherungen->clear();
    const QLocale deutsch(QLocale::German, QLocale::Germany);
    for (const Autosicherung::Generation &g : Autosicherung::generationen(ordner)) {
        const int n = Autosicherung::eintraege(g.datei);
        auto *zeile = new QTreeWidgetItem(
            lst_sicherungen,
            {zeitText(g.zeit),
             deutsch.formattedDataSize(QFileInfo(g.datei).size(), 1, QLocale::DataSizeTraditionalFormat),
             n < 0 ? QStringLiteral("nicht lesbar") : QString::number(n)});
        zeile->setData(0, Qt::UserRole, g.datei);
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
    const QString quelle = gewaehlt.first()->data(0, Qt::UserRole).toString();
    const QString ziel = Autosicherung::logdatei();

    // The rules of the restore window: a file that is no log database is
    // refused, the log window is closed first, the log replaced in one step.
    logWiederherstellen(quelle, ziel, quelle, m_logFreigeben);
}
