#include "fenster/auswertung/frm_statistik.h"

#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/dateidialog.h"
#include "fenster/bausteine/meldung.h"
#include "kern/auswertung/eintragsmodell.h"
#include "kern/basis/dateikopie.h"
#include "kern/basis/datenfehler.h"
#include "kern/bestaende/logdatum.h"
#include "kern/daten/recordset.h"
#include "kern/daten/verbindung.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

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

const QColor balkenFarbe(47, 109, 179);
const QColor gewaehltFarbe(230, 126, 34);

frm_statistik::Dateiwahl &dateiwahl()
{
    static frm_statistik::Dateiwahl w;
    return w;
}

// A value axis from 0 in whole numbers, with a round step.
QValueAxis *zahlenAchse(qint64 hoechster)
{
    qint64 schritt = 1;
    for (qint64 basis = 1;; basis *= 10) {
        const qint64 stufen[] = {basis, 2 * basis, 5 * basis};
        bool gefunden = false;
        for (qint64 s : stufen) {
            if (hoechster <= 5 * s) {
                schritt = s;
                gefunden = true;
                break;
            }
        }
        if (gefunden)
            break;
    }
    const qint64 oben = std::max<qint64>(1, (hoechster + schritt - 1) / schritt) * schritt;
    auto *a = new QValueAxis;
    a->setRange(0, double(oben));
    a->setTickCount(int(oben / schritt) + 1);
    a->setLabelFormat(QStringLiteral("%d"));
    return a;
}

// The axis of the months: each month's short name while they are few, else
// the years, each under its months; when even those are too many, blocks of
// years ("2004–07").
QAbstractAxis *monatsAchse(const QVector<Statistik::Balken> &balken, int breite)
{
    const QLocale deutsch(QLocale::German);
    if (balken.size() <= 14) {
        auto *a = new QBarCategoryAxis;
        for (const Statistik::Balken &b : balken) {
            const QDate m = QDate::fromString(b.schluessel + QStringLiteral("-01"), Qt::ISODate);
            a->append(deutsch.standaloneMonthName(m.month(), QLocale::ShortFormat).remove(QLatin1Char('.'))
                      + m.toString(QStringLiteral(" yy")));
        }
        return a;
    }
    auto *a = new QCategoryAxis;
    a->setStartValue(-0.5);
    a->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    const double jeJahr = 12.0 * std::max(100, breite) / balken.size();
    int jedes = 1;
    while (jedes * jeJahr < (jedes == 1 ? 36 : 56))
        jedes = jedes == 1 ? 2 : jedes == 2 ? 5 : jedes * 2;
    QString leer;     // labels must differ: blanks of different lengths
    int anfang = 0;   // the first bar of the block
    for (int i = 0; i < balken.size(); ++i) {
        const int jahr = balken[i].schluessel.left(4).toInt();
        const bool letzter = i + 1 == balken.size();
        if (!letzter && !(balken[i].schluessel.endsWith(QLatin1String("-12")) && (jahr + 1) % jedes == 0))
            continue;
        // The block ends at bar i; one of a few months only is not labelled.
        const int erstesJahr = balken[anfang].schluessel.left(4).toInt();
        QString text = QString::number(erstesJahr);
        if (jahr != erstesJahr)
            text += QChar(0x2013) + QString::number(jahr % 100).rightJustified(2, QLatin1Char('0'));
        if ((i - anfang + 1) * jeJahr / 12.0 < (jahr != erstesJahr ? 50 : 30))
            text = (leer += QLatin1Char(' '));
        a->append(text, i + 0.5);
        anfang = i + 1;
    }
    a->setRange(-0.5, balken.size() - 0.5);
    return a;
}

// Category names for an axis: shortened where long, and all different.
QStringList namen(const QStringList &texte)
{
    QStringList aus;
    for (const QString &t : texte) {
        QString n = t.size() > 24 ? t.left(23) + QChar(0x2026) : t;
        while (aus.contains(n))
            n += QChar(0x200B);
        aus << n;
    }
    return aus;
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
    DataGrid1->verticalHeader()->hide();
    DataGrid1->verticalHeader()->setDefaultSectionSize(DataGrid1->fontMetrics().height() + 6);
    DataGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DataGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DataGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataGrid1->setWordWrap(false);
    DataGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    DataGrid1->horizontalHeader()->setStretchLastSection(true);
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
    const QVector<Statistik::Balken> &alle = m_statistik->reihe(reihe);
    const int n = a.hoechstens > 0 ? std::min<int>(a.hoechstens, int(alle.size())) : int(alle.size());

    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 8, 4));
    chart->setBackgroundRoundness(0);
    const Statistik::Zeitraum &z = m_zahlen.zeitraum;
    QString titel = q(a.titel);
    if (!z.ganzesLog())
        titel += QStringLiteral(", %1 bis %2")
                     .arg(z.von.isValid() ? datumText(z.von) : QStringLiteral("…"),
                          z.bis.isValid() ? datumText(z.bis) : QStringLiteral("…"));
    chart->setTitle(titel);
    QFont titelSchrift = font();
    titelSchrift.setPointSizeF(10);
    titelSchrift.setBold(true);
    chart->setTitleFont(titelSchrift);

    auto *satz = new QBarSet(QStringLiteral("Empfänge"));
    satz->setColor(balkenFarbe);
    satz->setBorderColor(balkenFarbe.darker(115));
    satz->setSelectedColor(gewaehltFarbe);
    qint64 hoechster = 0;
    QStringList texte;
    // Lying bars are drawn from the bottom up: the first one goes last, on top.
    for (int i = 0; i < n; ++i) {
        const int b = a.waagerecht ? n - 1 - i : i;
        satz->append(double(alle[b].anzahl));
        texte << alle[b].text;
        hoechster = std::max(hoechster, alle[b].anzahl);
    }
    QAbstractBarSeries *serie = a.waagerecht ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries)
                                             : static_cast<QAbstractBarSeries *>(new QBarSeries);
    serie->append(satz);
    serie->setBarWidth(a.waagerecht ? 0.7 : 0.8);
    chart->addSeries(serie);

    QAbstractAxis *namensAchse = nullptr;
    if (reihe == Reihe::Monat && n > 0) {
        namensAchse = monatsAchse(alle, diagramm[size_t(reihe)]->width() - 80);
    } else {
        auto *k = new QBarCategoryAxis;
        if (reihe == Reihe::Stunde) {
            for (int h = 0; h < n; ++h)
                k->append(QString::number(h));
        } else if (reihe == Reihe::Wochentag) {
            for (int t = 1; t <= n; ++t)
                k->append(QLocale(QLocale::German).standaloneDayName(t, QLocale::ShortFormat).left(2));
        } else {
            k->append(namen(texte));
        }
        namensAchse = k;
    }
    QValueAxis *zahlAchse = zahlenAchse(hoechster);
    chart->addAxis(namensAchse, a.waagerecht ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(zahlAchse, a.waagerecht ? Qt::AlignBottom : Qt::AlignLeft);
    serie->attachAxis(namensAchse);
    serie->attachAxis(zahlAchse);
    namensAchse->setGridLineVisible(reihe == Reihe::Monat && n > 14);

    connect(satz, &QBarSet::clicked, this, [this, reihe, n, waagerecht = a.waagerecht](int index) {
        waehleBalken(reihe, waagerecht ? n - 1 - index : index);
    });
    return chart;
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
    const Art &a = art(reihe);
    for (QAbstractSeries *s : diagramm[size_t(reihe)]->chart()->series()) {
        auto *serie = qobject_cast<QAbstractBarSeries *>(s);
        if (!serie || serie->barSets().isEmpty())
            continue;
        QBarSet *satz = serie->barSets().first();
        satz->deselectAllBars();
        const int n = satz->count();
        const int i = a.waagerecht ? n - 1 - index : index;
        if (index >= 0 && i >= 0 && i < n)
            satz->selectBar(i);
    }
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
    QChart *chart = nullptr;
    if (!Meldung::abfangen([&] { chart = gezeigtesDiagramm(); }))
        return false;
    QChartView *v = diagramm[size_t(gezeigteReihe())];
    const bool svg = QFileInfo(datei).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
    // Drawn in memory first and then put in place whole, so a failure
    // leaves an earlier file of that name as it was.
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    bool ok;
    if (svg) {
        QSvgGenerator bild;
        bild.setOutputDevice(&puffer);
        bild.setSize(v->size());
        bild.setViewBox(QRect(QPoint(0, 0), v->size()));
        bild.setTitle(chart->title());
        bild.setDescription(QStringLiteral("tremvik-tool"));
        QPainter maler;
        ok = maler.begin(&bild);
        if (ok) {
            v->render(&maler);
            maler.end();
        }
    } else {
        ok = v->grab().toImage().save(&puffer, "PNG");
    }
    QString grund = QStringLiteral("Das Bild kann nicht erzeugt werden.");
    if (ok) {
        if (const Ergebnis<> e = Dateikopie::schreibe(datei, puffer.data()); !e) {
            grund = e.grund();
            ok = false;
        }
    }
    if (!ok)
        Meldung::zeigen(QStringLiteral("Das Bild kann nicht gespeichert werden:\n%1\n\n%2")
                            .arg(QDir::toNativeSeparators(datei), grund),
                        Meldung::Symbol::Fehler);
    return ok;
}
