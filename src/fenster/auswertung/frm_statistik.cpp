// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/auswertung/frm_statistik.h"

#include "fenster/auswertung/balkendiagramm.h"
#include "fenster/bausteine/dateidialog.h"
#include "fenster/bausteine/datenbindung.h"
#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/meldung.h"
#include "kern/auswertung/eintragsmodell.h"
#include "kern/basis/datenfehler.h"
#include "kern/bestaende/logdatum.h"
#include "kern/daten/recordset.h"
#include "kern/daten/verbindung.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

using Reihe = Statistik::Reihe;

struct Art
{
    const char *reiter;   // caption of the tab
    const char *spalte;   // caption of the table's first column
    const char *titel;    // title of the chart
    const char *datei;    // suggested image file name
    bool waagerecht;      // bars from the left, names beside them
    int hoechstens;       // bars drawn at most (the table has them all)
};

const Art &art(Reihe r)
{
    static const Art arten[] = {
        {"Monate", "Monat", "Empfänge je Monat", "statistik-monate", false, 0},
        {"Stunden", "Stunde", "Empfänge je Stunde", "statistik-stunden", false, 0},
        {"Wochentage", "Wochentag", "Empfänge je Wochentag", "statistik-wochentage", false, 0},
        {"Modulation", "Modulation", "Empfänge je Modulation", "statistik-modulation", true, 15},
        {"Länder", "Land", "Empfänge je Land", "statistik-laender", true, 15},
        {"Orte", "QTH", "Die häufigsten Orte", "statistik-orte", true, Statistik::Spitze},
        {"Rufzeichen", "CallSign", "Die häufigsten Rufzeichen", "statistik-rufzeichen", true, Statistik::Spitze},
    };
    return arten[int(r)];
}

QString q(const char *text)
{
    return QString::fromUtf8(text);
}

QString eintraege(qint64 n)
{
    return QString::number(n) + (n == 1 ? QStringLiteral(" Eintrag") : QStringLiteral(" Einträge"));
}

QString datumText(const QDate &d)
{
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

frm_statistik::Dateiwahl &dateiwahl()
{
    static frm_statistik::Dateiwahl w;
    return w;
}

}   // namespace

frm_statistik::frm_statistik(ZeigeEintrag zeigeEintrag, QWidget *parent)
    : KindFenster(parent), m_zeigeEintrag(std::move(zeigeEintrag))
{
    setObjectName(QStringLiteral("frm_statistik"));
    setWindowTitle(QStringLiteral("Statistik"));
    Geometrie::festeGroesse(this, 14100, 9600);
    bauen();
}

frm_statistik::~frm_statistik()
{
    // The grid's rows come from the statistics' list; the grid lets go first.
    if (m_modell)
        m_modell->leeren();
}

void frm_statistik::bauen()
{
    auto *aussen = new QVBoxLayout(this);
    aussen->setContentsMargins(8, 8, 8, 8);
    aussen->setSpacing(6);

    // The period and the counts.
    auto *kopf = new QHBoxLayout;
    chk_zeitraum = new QCheckBox(QStringLiteral("Zeitraum von"), this);
    chk_zeitraum->setObjectName(QStringLiteral("chk_zeitraum"));
    auto datum = [this](const char *name) {
        auto *d = new QDateEdit(this);
        d->setObjectName(q(name));
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        d->setCalendarPopup(true);
        d->setDateRange(QDate(Logdatum::ersterJahrgang, 1, 1), QDate(Logdatum::letzterJahrgang, 12, 31));
        d->setEnabled(false);
        return d;
    };
    dat_von = datum("dat_von");
    lbl_bis = new QLabel(QStringLiteral("bis"), this);
    lbl_bis->setObjectName(QStringLiteral("lbl_bis"));
    dat_bis = datum("dat_bis");
    cmd_anzeigen = new QPushButton(QStringLiteral("Anzeigen"), this);
    cmd_anzeigen->setObjectName(QStringLiteral("cmd_anzeigen"));
    lbl_eintraege = new QLabel(this);
    lbl_eintraege->setObjectName(QStringLiteral("lbl_eintraege"));
    cmd_ohnedatum = new QPushButton(this);
    cmd_ohnedatum->setObjectName(QStringLiteral("cmd_ohnedatum"));
    cmd_ohnedatum->setToolTip(QStringLiteral("Einträge, deren Datum nicht als Tag.Monat.Jahr lesbar ist"));
    cmd_ohnezeit = new QPushButton(this);
    cmd_ohnezeit->setObjectName(QStringLiteral("cmd_ohnezeit"));
    cmd_ohnezeit->setToolTip(QStringLiteral("Einträge, deren Uhrzeit nicht als Stunden:Minuten lesbar ist"));
    for (QPushButton *k : {cmd_anzeigen, cmd_ohnedatum, cmd_ohnezeit})
        k->setAutoDefault(false);
    kopf->addWidget(chk_zeitraum);
    kopf->addWidget(dat_von);
    kopf->addWidget(lbl_bis);
    kopf->addWidget(dat_bis);
    kopf->addWidget(cmd_anzeigen);
    kopf->addStretch(1);
    kopf->addWidget(lbl_eintraege);
    kopf->addSpacing(8);
    kopf->addWidget(cmd_ohnedatum);
    kopf->addWidget(cmd_ohnezeit);
    aussen->addLayout(kopf);

    // A tab per series: the chart, and its numbers beside it.
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    for (int r = 0; r < Statistik::AnzahlReihen; ++r) {
        const Art &a = art(Reihe(r));
        auto *seite = new QWidget;
        auto *zeile = new QHBoxLayout(seite);
        zeile->setContentsMargins(4, 4, 4, 4);
        auto *v = new QChartView(seite);
        v->setObjectName(QStringLiteral("dia_") + QString::fromUtf8(a.datei).mid(10));
        v->setRenderHint(QPainter::Antialiasing);
        // It starts with an empty chart of its own; baue() replaces it.
        diagramm[size_t(r)] = v;
        auto *t = new QTableWidget(0, 2, seite);
        t->setObjectName(QStringLiteral("tab_") + QString::fromUtf8(a.datei).mid(10));
        t->setHorizontalHeaderLabels({q(a.spalte), QStringLiteral("Anzahl")});
        t->verticalHeader()->hide();
        t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->setSelectionBehavior(QAbstractItemView::SelectRows);
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        t->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
        t->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
        t->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        t->setFixedWidth(230);
        tabelle[size_t(r)] = t;
        zeile->addWidget(v, 1);
        zeile->addWidget(t);
        SSTab1->addTab(seite, q(a.reiter));
        connect(t, &QTableWidget::currentCellChanged, this,
                [this, r](int zeile, int, int, int) { tabelle_Click(r, zeile); });
    }
    aussen->addWidget(SSTab1, 1);

    // The records behind the bar chosen.
    auto *mitte = new QHBoxLayout;
    lbl_auswahl = new QLabel(this);
    lbl_auswahl->setObjectName(QStringLiteral("lbl_auswahl"));
    cmd_bild = new QPushButton(QStringLiteral("Als Bild speichern …"), this);
    cmd_bild->setObjectName(QStringLiteral("cmd_bild"));
    cmd_bild->setAutoDefault(false);
    mitte->addWidget(lbl_auswahl, 1);
    mitte->addWidget(cmd_bild);
    aussen->addLayout(mitte);

    DataGrid1 = new QTableView(this);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setToolTip(QStringLiteral("Doppelklick zeigt den Eintrag im Fenster \u201EEigene Einträge\u201C"));
    m_modell = new EintragsModell([this] { return m_statistik ? m_statistik->liste() : nullptr; }, this);
    DataGrid1->setModel(m_modell);
    Datenbindung::nurZeilen(DataGrid1);
    DataGrid1->verticalHeader()->setDefaultSectionSize(DataGrid1->fontMetrics().height() + 6);
    const int breiten[] = {90, 70, 150, 120};
    for (int i = 0; i < 4; ++i)
        DataGrid1->setColumnWidth(i, breiten[i]);
    DataGrid1->setFixedHeight(190);
    aussen->addWidget(DataGrid1);

    connect(chk_zeitraum, &QCheckBox::clicked, this, &frm_statistik::chk_zeitraum_Click);
    connect(cmd_anzeigen, &QPushButton::clicked, this, &frm_statistik::cmd_anzeigen_Click);
    connect(cmd_ohnedatum, &QPushButton::clicked, this, &frm_statistik::cmd_ohnedatum_Click);
    connect(cmd_ohnezeit, &QPushButton::clicked, this, &frm_statistik::cmd_ohnezeit_Click);
    connect(cmd_bild, &QPushButton::clicked, this, &frm_statistik::cmd_bild_Click);
    connect(SSTab1, &QTabWidget::currentChanged, this, &frm_statistik::SSTab1_Click);
    connect(DataGrid1, &QTableView::doubleClicked, this, &frm_statistik::DataGrid1_DblClick);
}

void frm_statistik::Form_Load()
{
    m_statistik = std::make_unique<Statistik>(Verbindungstext::log);
    // The period shown last time, as long as it still is one.
    const QSettings einstellungen;
    const QDate von = QDate::fromString(einstellungen.value(QStringLiteral("Statistik/von")).toString(), Qt::ISODate);
    const QDate bis = QDate::fromString(einstellungen.value(QStringLiteral("Statistik/bis")).toString(), Qt::ISODate);
    if (einstellungen.value(QStringLiteral("Statistik/Zeitraum")).toBool() && von.isValid() && bis.isValid()
        && von <= bis && von >= dat_von->minimumDate() && bis <= dat_bis->maximumDate()) {
        chk_zeitraum->setChecked(true);
        chk_zeitraum_Click();
        dat_von->setDate(von);
        dat_bis->setDate(bis);
        berechne(Statistik::Zeitraum{von, bis});
        return;
    }
    berechne(Statistik::Zeitraum());
    const QDate heute = QDate::currentDate();
    dat_von->setDate(m_zahlen.erster.isValid() ? m_zahlen.erster : heute);
    dat_bis->setDate(m_zahlen.letzter.isValid() ? m_zahlen.letzter : heute);
}

void frm_statistik::berechne(const Statistik::Zeitraum &zeitraum)
{
    m_modell->leeren();   // before the statistics end the list it shows
    lbl_auswahl->setText(QStringLiteral("Ein Klick auf einen Balken oder eine Zeile zeigt die Einträge dazu."));
    m_zahlen = m_statistik->berechne(zeitraum);
    zeigeZahlen();
}

void frm_statistik::zeigeZahlen()
{
    const Statistik::Zahlen &z = m_zahlen;
    lbl_eintraege->setText(z.zeitraum.ganzesLog()
                               ? eintraege(z.imLog)
                               : QStringLiteral("%1 von %2 im Zeitraum").arg(eintraege(z.gezaehlt)).arg(z.imLog));
    cmd_ohnedatum->setText(QStringLiteral("ohne gültiges Datum: %1").arg(z.ohneDatum));
    cmd_ohnezeit->setText(QStringLiteral("ohne gültige Uhrzeit: %1").arg(z.ohneUhrzeit));
    cmd_ohnedatum->setEnabled(z.ohneDatum > 0);
    cmd_ohnezeit->setEnabled(z.ohneUhrzeit > 0);
    // Only the series shown is counted now; the others when their tab is.
    m_gebaut.fill(false);
    for (QTableWidget *t : tabelle)
        t->setRowCount(0);
    baue(gezeigteReihe());
}

void frm_statistik::baue(Reihe reihe)
{
    if (m_gebaut[size_t(reihe)])
        return;
    fuelleTabelle(reihe);
    QChartView *v = diagramm[size_t(reihe)];
    QChart *alt = v->chart();
    v->setChart(baueDiagramm(reihe));
    delete alt;   // the view lets go of it, but does not delete it
    m_gebaut[size_t(reihe)] = true;
}

void frm_statistik::fuelleTabelle(Reihe reihe)
{
    QTableWidget *t = tabelle[size_t(reihe)];
    const QSignalBlocker sperre(t);
    const QVector<Statistik::Balken> &balken = m_statistik->reihe(reihe);
    t->clearContents();
    t->setRowCount(int(balken.size()));
    for (int i = 0; i < balken.size(); ++i) {
        t->setItem(i, 0, new QTableWidgetItem(balken[i].text));
        auto *zahl = new QTableWidgetItem(QString::number(balken[i].anzahl));
        zahl->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        t->setItem(i, 1, zahl);
    }
    t->setCurrentCell(-1, -1);
}

Reihe frm_statistik::gezeigteReihe() const
{
    return Reihe(std::max(0, SSTab1->currentIndex()));
}

QChart *frm_statistik::gezeigtesDiagramm()
{
    baue(gezeigteReihe());
    return diagramm[size_t(gezeigteReihe())]->chart();
}

QChart *frm_statistik::baueDiagramm(Reihe reihe)
{
    const Art &a = art(reihe);
    Balkendiagramm::Angaben angaben;
    angaben.reihe = reihe;
    angaben.waagerecht = a.waagerecht;
    angaben.hoechstens = a.hoechstens;
    angaben.breite = diagramm[size_t(reihe)]->width() - 80;
    const Statistik::Zeitraum &z = m_zahlen.zeitraum;
    angaben.titel = q(a.titel);
    if (!z.ganzesLog())
        angaben.titel += QStringLiteral(", %1 bis %2")
                             .arg(z.von.isValid() ? datumText(z.von) : QStringLiteral("…"),
                                  z.bis.isValid() ? datumText(z.bis) : QStringLiteral("…"));
    angaben.titelSchrift = font();
    angaben.titelSchrift.setPointSizeF(10);
    angaben.titelSchrift.setBold(true);
    return Balkendiagramm::bauen(m_statistik->reihe(reihe), angaben, this,
                                 [this, reihe](int index) { waehleBalken(reihe, index); });
}

void frm_statistik::markiere(Reihe reihe, int index)
{
    QTableWidget *t = tabelle[size_t(reihe)];
    {
        const QSignalBlocker sperre(t);
        t->setCurrentCell(index, 0);
    }
    if (!m_gebaut[size_t(reihe)])
        return;
    Balkendiagramm::markieren(diagramm[size_t(reihe)]->chart(), art(reihe).waagerecht, index);
}

void frm_statistik::waehleBalken(Reihe reihe, int index)
{
    Meldung::abfangen([&] {
        baue(reihe);
        const QVector<Statistik::Balken> &balken = m_statistik->reihe(reihe);
        if (index < 0 || index >= balken.size())
            return;
        markiere(reihe, index);
        Statistik::Auswahl auswahl;
        auswahl.reihe = reihe;
        auswahl.schluessel = balken[index].schluessel;
        liste(auswahl, QStringLiteral("%1 \u201E%2\u201C").arg(q(art(reihe).spalte), balken[index].text));
    });
}

void frm_statistik::liste(const Statistik::Auswahl &auswahl, const QString &titel)
{
    m_modell->leeren();
    lbl_auswahl->clear();
    Meldung::abfangen([&] {
        const int anzahl = m_statistik->eintraege(auswahl).RecordCount();
        m_modell->zeigen();
        lbl_auswahl->setText(titel + QStringLiteral(": ") + eintraege(anzahl));
    });
}

void frm_statistik::chk_zeitraum_Click()
{
    const bool an = chk_zeitraum->isChecked();
    dat_von->setEnabled(an);
    dat_bis->setEnabled(an);
}

void frm_statistik::cmd_anzeigen_Click()
{
    Statistik::Zeitraum z;
    if (chk_zeitraum->isChecked()) {
        z.von = dat_von->date();
        z.bis = dat_bis->date();
        if (z.von > z.bis) {
            Meldung::zeigen(QStringLiteral("Der Zeitraum endet, bevor er beginnt: \u201Ebis\u201C muss auf oder nach "
                                           "\u201Evon\u201C liegen."),
                            Meldung::Symbol::Fehler);
            return;
        }
    }
    if (!Meldung::abfangen([&] { berechne(z); }))
        return;
    // The next opening shows this period again.
    QSettings einstellungen;
    einstellungen.setValue(QStringLiteral("Statistik/Zeitraum"), !z.ganzesLog());
    if (!z.ganzesLog()) {
        einstellungen.setValue(QStringLiteral("Statistik/von"), z.von.toString(Qt::ISODate));
        einstellungen.setValue(QStringLiteral("Statistik/bis"), z.bis.toString(Qt::ISODate));
    }
}

void frm_statistik::cmd_ohnedatum_Click()
{
    Statistik::Auswahl a;
    a.art = Statistik::Auswahl::Art::OhneDatum;
    markiere(gezeigteReihe(), -1);
    liste(a, QStringLiteral("ohne gültiges Datum"));
}

void frm_statistik::cmd_ohnezeit_Click()
{
    Statistik::Auswahl a;
    a.art = Statistik::Auswahl::Art::OhneUhrzeit;
    markiere(gezeigteReihe(), -1);
    liste(a, QStringLiteral("ohne gültige Uhrzeit"));
}

void frm_statistik::SSTab1_Click(int)
{
    Meldung::abfangen([this] { baue(gezeigteReihe()); });
}

void frm_statistik::tabelle_Click(int reihe, int zeile)
{
    if (zeile >= 0)
        waehleBalken(Reihe(reihe), zeile);
}

void frm_statistik::DataGrid1_DblClick(const QModelIndex &index)
{
    const qint64 id = m_modell->id(index.row());
    if (id >= 0 && m_zeigeEintrag)
        m_zeigeEintrag(id);
}

void frm_statistik::setzeDateiwahl(Dateiwahl wahl)
{
    dateiwahl() = std::move(wahl);
}

void frm_statistik::cmd_bild_Click()
{
    const QString vorschlag = QDir(Dateidialog::letzterOrdner(Dateidialog::Ordner::Bild))
                                  .filePath(q(art(gezeigteReihe()).datei) + QStringLiteral(".png"));
    QString datei = dateiwahl() ? dateiwahl()(this, vorschlag)
                                : QFileDialog::getSaveFileName(this, QStringLiteral("Als Bild speichern"), vorschlag,
                                                               QStringLiteral("PNG-Bild (*.png);;SVG-Grafik (*.svg)"));
    if (datei.isEmpty())
        return;
    const QString endung = QFileInfo(datei).suffix().toLower();
    if (endung != QLatin1String("png") && endung != QLatin1String("svg"))
        datei += QStringLiteral(".png");
    Dateidialog::merkeOrdner(Dateidialog::Ordner::Bild, datei);
    if (speichereBild(datei))
        Meldung::status(QStringLiteral("Bild gespeichert: ") + QDir::toNativeSeparators(datei));
}

bool frm_statistik::speichereBild(const QString &datei)
{
    // The chart shown, built if it is not yet.
    if (!Meldung::abfangen([&] { gezeigtesDiagramm(); }))
        return false;
    const Ergebnis<> e = Balkendiagramm::speichern(diagramm[size_t(gezeigteReihe())], datei);
    if (!e)
        Meldung::zeigen(QStringLiteral("Das Bild kann nicht gespeichert werden:\n%1\n\n%2")
                            .arg(QDir::toNativeSeparators(datei), e.grund()),
                        Meldung::Symbol::Fehler);
    return e.ok();
}
