// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/listen/frm_liste.h"

#include "fenster/bausteine/datenbindung.h"
#include "fenster/bausteine/druckauftrag.h"
#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/meldung.h"
#include "kern/basis/datenfehler.h"
#include "kern/basis/frequenz.h"
#include "kern/basis/speicherorte.h"
#include "kern/bestaende/frequenzdaten.h"
#include "kern/bestaende/herkunft.h"
#include "kern/daten/abfrage.h"
#include "kern/daten/adodc.h"
#include "kern/daten/recordset.h"
#include "kern/daten/sortierung.h"
#include "kern/druck/tabellendruck.h"
#include "kern/empfaenger/funkdienst.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace {

struct Suche
{
    int links, oben;
    const char *titel;
    const char *spalte;   // the column it matches, as its query writes it
    bool sichtbar;
};

// The queries of a list: on load and on reset every row of the table sorted
// by one column ("select * from [bos] order by Ort asc"); a search adds a
// like-match over its column ("select * from [bos] where Ort like '%Ham%'
// order by Ort asc"); before loading the data view holds "select * from bos".
struct Katalog
{
    const char *name;
    const char *titel;        // title prefix, ends in three blanks
    const char *tabelle;      // the table
    const char *sortSpalte;   // sort column, as the queries write it
    int breite, hoehe;        // client area
    QRect grid, reset;
    Suche ort, rufname, freq;   // rufname.titel == nullptr: no such search
    QVector<GridSpalte> spalten;
    // The columns whose values are numbers (frequencies in MHz, channel
    // numbers): a click on their header sorts them as numbers, every other
    // column in German alphabetical order.
    QVector<const char *> zahlSpalten;
};

const Katalog &katalog(FrequenzListe::Art art)
{
    static const Katalog k[] = {
        {"frm_bos",
         "BOS-Frequenzen   ",
         "bos",
         "Ort",
         12405,
         8475,
         QRect(0, 0, 12255, 6255),
         QRect(0, 8040, 12255, 375),
         {0, 6360, "Suche mit Ortsangabe", "Ort", true},
         {4320, 6360, "Suche mit Rufnamenangabe", "Rufname", true},
         {8760, 6360, "Suche mit Frequenzangabe", "Freq", true},
         {{"BL", "BL", 690},
          {"Ort", "Ort", 3630},
          {"Benutzer", "Benutzer", 1140},
          {"Rufname", "Rufname", 2085},
          {"Kanal", "Kanal", 2085},
          {"Freq", "Freq", 1710}},
         {"Kanal", "Freq"}},
        {"frm_flug",
         " FlugFunk   ",
         "flugfunk",
         "Ort",
         10050,
         8460,
         QRect(0, 0, 9975, 6255),
         QRect(0, 8040, 9975, 375),
         {0, 6360, "Suche mit Ortsangabe", "Ort", true},
         {0, 0, nullptr, nullptr, false},
         {6480, 6360, "Suche mit Frequenzangabe", "Frquenz", true},
         {{"Frequenz", "Frquenz", 2370}, {"Ort", "Ort", 6780}},
         {"Frquenz"}},
        {"frm_afu",
         "AFU - Repeater   ",
         "afu",
         "standort",
         12405,
         8490,
         QRect(0, 0, 12255, 6255),
         QRect(0, 8040, 12255, 375),
         {0, 6360, "Suche mit Ortsangabe", "standort", true},
         {4320, 6360, "Suche mit Eingabefrequenz", "eingabe", true},
         {8760, 6360, "Suche mit Ausgabefrequenz", "ausgabe", true},
         {{"Standort", "Standort", 3810}, {"Eingabe", "Eingabe", 3810}, {"Ausgabe", "Ausgabe", 3810}},
         {"Eingabe", "Ausgabe"}},
        {"frm_fw",
         "Fernwirken   ",
         "fernwirken",
         "Frequenz",
         14910,
         8475,
         QRect(0, 120, 14775, 6015),
         QRect(0, 8040, 14655, 375),
         {0, 6360, "Suche mit Ortsangabe", "Stadt", true},
         {5640, 6360, "Suche mit Rufnamenangabe", "Rufname", false},
         {11160, 6240, "Suche mit Frequenzangabe", "Frequenz", true},
         {{"Frequenz", "Frequenz", 2520},
          {"Kreis/Stadt", "Stadt", 3135},
          {"Firma", "Firma", 3465},
          {"Anwenderart", "Anwenderart", 10785}},
         {"Frequenz"}},
    };
    return k[int(art)];
}

QString q(const char *text)
{
    return QString::fromUtf8(text);
}

Abfrage ladeAbfrage(const Katalog &k)
{
    return Abfrage::alle(q(k.tabelle), q(k.sortSpalte));
}

}   // namespace

FrequenzListe *FrequenzListe::erzeuge(Art art)
{
    return new FrequenzListe(art);
}

FrequenzListe::FrequenzListe(Art art, QWidget *parent) : KindFenster(parent), m_art(art)
{
    const Katalog &k = katalog(art);
    setObjectName(q(k.name));
    Geometrie::festeGroesse(this, k.breite, k.hoehe);

    const QFont eingabe = Geometrie::schrift(QStringLiteral("Verdana"), 12);
    const QFont knopf = Geometrie::schrift(QStringLiteral("MS Sans Serif"), 12);

    // One search: a frame with its text box and its button.
    auto sucheBauen = [&](const Suche &s, const char *rahmen, const char *feld, const char *knopfName, int knopfLinks,
                          QGroupBox *&f, QLineEdit *&t, QPushButton *&b) {
        f = new QGroupBox(q(s.titel), this);
        f->setObjectName(q(rahmen));
        Geometrie::setze(f, s.links, s.oben, 3495, 1575);
        t = new QLineEdit(f);
        t->setObjectName(q(feld));
        t->setFont(eingabe);
        t->setAccessibleName(q(s.titel));
        Geometrie::setze(t, 240, 360, 3015, 390);
        b = new QPushButton(QStringLiteral("Suchen"), f);
        b->setObjectName(q(knopfName));
        b->setFont(knopf);
        b->setAutoDefault(false);
        b->setDefault(false);
        Geometrie::setze(b, knopfLinks, 960, 2535, 495);
        f->setVisible(s.sichtbar);
    };
    sucheBauen(k.ort, "Frame1", "txt_ort", "cmd_sucheort", 480, Frame1, txt_ort, cmd_sucheort);
    if (k.rufname.titel)
        sucheBauen(k.rufname, "Frame2", "txt_rufname", "cmd_sucherufname", 600, Frame2, txt_rufname, cmd_sucherufname);
    sucheBauen(k.freq, "Frame4", "txt_freq", "cmd_suchefreq", 480, Frame4, txt_freq, cmd_suchefreq);

    cmd_reset = new QPushButton(QStringLiteral("R E S E T"), this);
    cmd_reset->setObjectName(QStringLiteral("cmd_reset"));
    cmd_reset->setAutoDefault(false);
    Geometrie::setze(cmd_reset, k.reset.x(), k.reset.y(), k.reset.width(), k.reset.height());

    DataGrid1 = new QTableView(this);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    Geometrie::setze(DataGrid1, k.grid.x(), k.grid.y(), k.grid.width(), k.grid.height());
    DataGrid1->setFont(Geometrie::schrift(QStringLiteral("Verdana"), 15.75));
    DataGrid1->horizontalHeader()->setFont(Geometrie::schrift(QStringLiteral("Verdana"), 14.25, true));
    DataGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    DataGrid1->verticalHeader()->hide();
    DataGrid1->setWordWrap(false);
    DataGrid1->setAlternatingRowColors(false);

    Adodc1 =
        new Adodc(Verbindungstext::frequenzen, Abfrage::tabelle(q(k.tabelle)), Verbindung::Zugriff::NurLesen, this);
    Datenbindung::grid(Adodc1, DataGrid1, k.spalten);
    Datenbindung::breitenMerken(DataGrid1, objectName());
    Datenbindung::fehlerMelden(Adodc1);
    const int zeile = QFontMetrics(DataGrid1->font()).height() + Geometrie::twips(60);
    DataGrid1->verticalHeader()->setDefaultSectionSize(zeile);
    DataGrid1->horizontalHeader()->setFixedHeight(QFontMetrics(DataGrid1->horizontalHeader()->font()).height()
                                                  + Geometrie::twips(90));

    connect(cmd_sucheort, &QPushButton::clicked, this, &FrequenzListe::cmd_sucheort_Click);
    if (cmd_sucherufname)
        connect(cmd_sucherufname, &QPushButton::clicked, this, &FrequenzListe::cmd_sucherufname_Click);
    connect(cmd_suchefreq, &QPushButton::clicked, this, &FrequenzListe::cmd_suchefreq_Click);
    connect(cmd_reset, &QPushButton::clicked, this, &FrequenzListe::cmd_reset_Click);

    // A click on a column's header sorts the rows shown by that column.
    DataGrid1->horizontalHeader()->setSectionsClickable(true);
    connect(DataGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this, &FrequenzListe::DataGrid1_HeadClick);
    ordnungZeigen();

    // The grid's context menu: the grid's actions, a disabled one with the
    // reason in its tooltip.
    DataGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DataGrid1, &QTableView::customContextMenuRequested, this, &FrequenzListe::DataGrid1_ContextMenu);
    connect(DataGrid1, &QTableView::doubleClicked, this, &FrequenzListe::DataGrid1_DblClick);
    liste_exportieren = new QAction(QStringLiteral("Liste exportieren …"), DataGrid1);
    liste_exportieren->setObjectName(QStringLiteral("liste_exportieren"));
    DataGrid1->addAction(liste_exportieren);
    connect(liste_exportieren, &QAction::triggered, this, &FrequenzListe::liste_exportieren_Click);
    // After those, the whole list on paper or as PDF.
    liste_drucken = new QAction(QStringLiteral("Drucken …"), DataGrid1);
    liste_drucken->setObjectName(QStringLiteral("liste_drucken"));
    liste_pdf = new QAction(QStringLiteral("Als PDF speichern …"), DataGrid1);
    liste_pdf->setObjectName(QStringLiteral("liste_pdf"));
    DataGrid1->addActions({liste_drucken, liste_pdf});
    connect(liste_drucken, &QAction::triggered, this, &FrequenzListe::liste_drucken_Click);
    connect(liste_pdf, &QAction::triggered, this, &FrequenzListe::liste_pdf_Click);

    txt_ort->setToolTip(QStringLiteral("Suchbegriff (Strg+F)"));

    // Tab order; the first control that can take the focus has it on opening.
    QList<QWidget *> reihe;
    if (art == Art::Bos)
        reihe = {cmd_reset, cmd_suchefreq, txt_freq, cmd_sucherufname, txt_rufname, cmd_sucheort, txt_ort, DataGrid1};
    else if (art == Art::Flug)
        reihe = {txt_ort, cmd_sucheort, txt_freq, cmd_suchefreq, cmd_reset, DataGrid1};
    else
        reihe = {txt_ort, cmd_sucheort, txt_rufname, cmd_sucherufname, txt_freq, cmd_suchefreq, cmd_reset, DataGrid1};
    for (int i = 0; i + 1 < reihe.size(); ++i)
        setTabOrder(reihe[i], reihe[i + 1]);
    setFocusProxy(reihe.front());
}

void FrequenzListe::sucheWaehlen()
{
    // As Tab would reach it: what it holds stays, ready to be typed over.
    txt_ort->setFocus(Qt::ShortcutFocusReason);
    txt_ort->selectAll();
}

void FrequenzListe::Form_Load()
{
    const Katalog &k = katalog(m_art);
    Adodc1->setRecordSource(ladeAbfrage(k));
    Adodc1->Refresh();
    const int anzahl = Adodc1->RecordCount();
    setWindowTitle(q(k.titel) + QString::number(anzahl) + QStringLiteral(" Datensätze"));

    // Whether the rows are examples, as the database says of itself; a
    // database that cannot say so gives no hint.
    m_hinweis.clear();
    try {
        m_hinweis = Herkunft::lesen(datenbank()).value(tabelle()).hinweis;
    } catch (const DatenFehler &) {
    }
}

QString FrequenzListe::datenbank() const
{
    return Adodc1->datei().isEmpty() ? Speicherorte::datei(Verbindung::dateiName(Adodc1->ConnectionString()))
                                     : Adodc1->datei();
}

void FrequenzListe::suche(QLineEdit *feld, const char *spalte)
{
    Abfrage abfrage = Abfrage::suche(ladeAbfrage(katalog(m_art)), q(spalte), feld->text());
    // In the frequency searches (the repeaters' input too) a dot stands
    // for the decimal comma; the query's text keeps what was typed.
    if (feld == txt_freq || (m_art == Art::Afu && feld == txt_rufname))
        abfrage = abfrage.mitDezimalpunkt();
    Meldung::abfangen([&] { Adodc1->zeige(abfrage); });   // a failure leaves the window as it was
}

void FrequenzListe::cmd_sucheort_Click()
{
    suche(txt_ort, katalog(m_art).ort.spalte);
}

void FrequenzListe::cmd_sucherufname_Click()
{
    if (txt_rufname)
        suche(txt_rufname, katalog(m_art).rufname.spalte);
}

void FrequenzListe::cmd_suchefreq_Click()
{
    suche(txt_freq, katalog(m_art).freq.spalte);
}

QString FrequenzListe::tabelle() const
{
    return Frequenzdaten::tabellen().at(int(m_art));
}

void FrequenzListe::liste_exportieren_Click()
{
    // The rows the grid shows, in the order it shows them.
    Q_EMIT exportieren(datenbank(), tabelle(), Adodc1->gezeigteAbfrage().text());
}

void FrequenzListe::cmd_reset_Click()
{
    // The whole list in its own order again: the user's order goes too.
    const bool gezeigt = Meldung::abfangen([this] { Adodc1->zeige(ladeAbfrage(katalog(m_art)), std::nullopt); });
    ordnungZeigen();
    if (!gezeigt)
        return;
    for (QLineEdit *t : {txt_ort, txt_freq, txt_rufname})
        if (t)
            t->clear();
}

// ---------------------------------------------------------------------------
// Sorting by a column: a click on its header shows the rows (the whole list
// or the rows found) in that column's order, a second click in the reverse
// order. Searches keep the order; "R E S E T" ends it. The data view holds
// the order; the header shows it.

void FrequenzListe::DataGrid1_HeadClick(int spalte)
{
    const Katalog &k = katalog(m_art);
    if (spalte < 0 || spalte >= k.spalten.size()) {
        ordnungZeigen();
        return;
    }
    const QString feld = k.spalten[spalte].feld;
    bool zahl = false;
    for (const char *z : k.zahlSpalten)
        zahl = zahl || feld == q(z);
    Abfrage::Ordnung ordnung{feld, Abfrage::Richtung::Auf, zahl ? Sortierung::frequenz : Sortierung::deutsch};
    const std::optional<Abfrage::Ordnung> &jetzt = Adodc1->ordnung();
    if (jetzt && jetzt->spalte == feld && jetzt->richtung == Abfrage::Richtung::Auf)
        ordnung.richtung = Abfrage::Richtung::Ab;
    Meldung::abfangen([&] { Adodc1->ordne(ordnung); });   // a failure leaves the rows as they were
    ordnungZeigen();
}

void FrequenzListe::ordnungZeigen()
{
    // The header flips its indicator itself on a click; what counts is the
    // order the data view shows.
    const Katalog &k = katalog(m_art);
    const std::optional<Abfrage::Ordnung> &ordnung = Adodc1->ordnung();
    int spalte = -1;
    for (int i = 0; ordnung && i < k.spalten.size(); ++i)
        if (k.spalten[i].feld == ordnung->spalte)
            spalte = i;
    QHeaderView *kopf = DataGrid1->horizontalHeader();
    kopf->setSortIndicatorShown(spalte >= 0);
    kopf->setSortIndicator(spalte, ordnung && ordnung->richtung == Abfrage::Richtung::Ab ? Qt::DescendingOrder
                                                                                         : Qt::AscendingOrder);
}

// ---------------------------------------------------------------------------
// The receiver: a double-click on a row, or the grid's context menu, tunes it
// to the row's frequency with the list's mode. Nothing of the searches
// changes.

namespace {
Funkdienst dienst(FrequenzListe::Art art)
{
    switch (art) {
    case FrequenzListe::Art::Bos: return Funkdienst::Bos;
    case FrequenzListe::Art::Flug: return Funkdienst::Flugfunk;
    case FrequenzListe::Art::Afu: return Funkdienst::Afu;
    case FrequenzListe::Art::Fw: return Funkdienst::Fernwirken;
    }
    return Funkdienst::Bos;
}

// The column of the grid that holds the frequency to tune.
const char *frequenzFeld(FrequenzListe::Art art, bool eingabe)
{
    switch (art) {
    case FrequenzListe::Art::Bos: return "Freq";
    case FrequenzListe::Art::Flug: return "Frquenz";
    case FrequenzListe::Art::Afu: return eingabe ? "Eingabe" : "Ausgabe";
    case FrequenzListe::Art::Fw: return "Frequenz";
    }
    return "";
}
}

void FrequenzListe::setzeEmpfaenger(Empfaenger *empfaenger)
{
    if (m_empfaenger)
        disconnect(m_empfaenger, nullptr, this, nullptr);
    m_empfaenger = empfaenger;
    if (!m_empfaenger)
        return;
    if (!mnu_abstimmen) {
        // Tuning comes first in the grid's context menu.
        QAction *vorher = DataGrid1->actions().value(0);
        mnu_abstimmen = new QAction(QStringLiteral("Empfänger abstimmen"), DataGrid1);
        mnu_abstimmen->setObjectName(QStringLiteral("mnu_abstimmen"));
        connect(mnu_abstimmen, &QAction::triggered, this, &FrequenzListe::mnu_abstimmen_Click);
        DataGrid1->insertAction(vorher, mnu_abstimmen);
        if (m_art == Art::Afu) {
            mnu_eingabe = new QAction(QStringLiteral("Empfänger auf die Eingabe abstimmen"), DataGrid1);
            mnu_eingabe->setObjectName(QStringLiteral("mnu_eingabe"));
            connect(mnu_eingabe, &QAction::triggered, this, &FrequenzListe::mnu_eingabe_Click);
            DataGrid1->insertAction(vorher, mnu_eingabe);
        }
        mnu_suchlauf = new QAction(QStringLiteral("Suchlauf \u2026"), DataGrid1);
        mnu_suchlauf->setObjectName(QStringLiteral("mnu_suchlauf"));
        mnu_suchlauf->setToolTip(QStringLiteral("Sucht die gezeigten Zeilen der Reihe nach mit dem Empfänger ab."));
        connect(mnu_suchlauf, &QAction::triggered, this, &FrequenzListe::mnu_suchlauf_Click);
        DataGrid1->insertAction(vorher, mnu_suchlauf);
    }
    connect(m_empfaenger, &Empfaenger::zustandGeaendert, this, &FrequenzListe::empfaengerAnwenden);
    empfaengerAnwenden();
}

void FrequenzListe::empfaengerAnwenden()
{
    const EmpfaengerZustand z = m_empfaenger ? m_empfaenger->zustand() : EmpfaengerZustand{};
    const QString mode =
        Funkdienste::modulation(dienst(m_art)) == Modulation::Am ? QStringLiteral("AM") : QStringLiteral("FM schmal");
    for (QAction *a : {mnu_abstimmen, mnu_eingabe}) {
        if (!a)
            continue;
        a->setEnabled(z.verbunden());
        if (!z.verbunden())
            a->setToolTip(z.warumNicht());
        else if (a == mnu_eingabe)
            a->setToolTip(QStringLiteral("Stimmt den Empfänger auf die Eingabe des Relais ab (%1).").arg(mode));
        else
            a->setToolTip(QStringLiteral("Stimmt den Empfänger auf die Frequenz der Zeile ab (%1).").arg(mode));
    }
}

void FrequenzListe::DataGrid1_ContextMenu(const QPoint &pos)
{
    const QModelIndex index = DataGrid1->indexAt(pos);
    if (index.isValid())
        DataGrid1->setCurrentIndex(index);
    auto *menue = new QMenu(this);
    menue->setObjectName(QStringLiteral("mnu_grid"));
    menue->setAttribute(Qt::WA_DeleteOnClose);
    menue->setToolTipsVisible(true);   // a disabled entry says why
    menue->addActions(DataGrid1->actions());
    menue->popup(DataGrid1->viewport()->mapToGlobal(pos));
}

void FrequenzListe::DataGrid1_DblClick(const QModelIndex &index)
{
    if (index.isValid())
        abstimmen(index.row(), false);
}

void FrequenzListe::mnu_abstimmen_Click()
{
    abstimmen(DataGrid1->currentIndex().row(), false);
}

void FrequenzListe::mnu_eingabe_Click()
{
    abstimmen(DataGrid1->currentIndex().row(), true);
}

void FrequenzListe::abstimmen(int zeile, bool eingabe)
{
    if (!m_empfaenger || zeile < 0)
        return;
    if (!m_empfaenger->verbunden()) {
        // Said where the user looks for the receiver's state, not in a box.
        Q_EMIT statusHinweis(m_empfaenger->zustand().warumNicht());
        return;
    }
    const AdodcModell *modell = Adodc1->modell();
    if (!modell)
        return;
    const QString feld = QString::fromLatin1(frequenzFeld(m_art, eingabe));
    int spalte = -1;
    for (int s = 0; s < modell->spalten().size(); ++s)
        if (modell->spalten().at(s).feld.compare(feld, Qt::CaseInsensitive) == 0)
            spalte = s;
    if (spalte < 0 || zeile >= modell->rowCount())
        return;
    const QString text = modell->index(zeile, spalte).data().toString();
    const std::optional<qint64> hz = Frequenz::hertz(text);
    if (!hz) {
        // The row's value is not a frequency: said, not guessed.
        Meldung::zeigen(Frequenz::einwand(text), Meldung::Symbol::Fehler);
        return;
    }
    m_empfaenger->abstimmen(Funkdienste::traeger(dienst(m_art), *hz), Funkdienste::modulation(dienst(m_art)));
}

void FrequenzListe::mnu_suchlauf_Click()
{
    Q_EMIT suchlaufVerlangt();
}

QString FrequenzListe::listenName() const
{
    return q(katalog(m_art).titel).trimmed();
}

Ergebnis<Kanalliste> FrequenzListe::suchkanaele() const
{
    Kanalliste liste(dienst(m_art));
    Recordset *rs = Adodc1->recordset();
    if (!rs)
        return Ergebnis<Kanalliste>::erledigt(liste);
    const int n = rs->RecordCount();
    if (n > hoechsteSuchzeilen)
        return Ergebnis<Kanalliste>::fehler(
            QStringLiteral("Die Liste zeigt %1 Zeilen; ein Suchlauf nimmt höchstens %2. Bitte die Liste zuerst "
                           "mit einer Suche eingrenzen.")
                .arg(QLocale().toString(n), QLocale().toString(hoechsteSuchzeilen)));
    // The place and the call name of a row, where the list has them.
    const char *ort = m_art == Art::Afu ? "Standort" : m_art == Art::Fw ? "Stadt" : "Ort";
    const bool ruf = m_art == Art::Bos || m_art == Art::Fw;
    const int feldFreq = rs->feldIndex(q(frequenzFeld(m_art, false)));
    const int feldOrt = rs->feldIndex(q(ort));
    const int feldRuf = ruf ? rs->feldIndex(QStringLiteral("Rufname")) : -1;
    auto text = [rs](int zeile, int feld) { return feld >= 0 ? rs->wert(zeile, feld).toString() : QString(); };
    for (int z = 0; z < n; ++z)
        liste.zeile(text(z, feldFreq), text(z, feldOrt), text(z, feldRuf));
    return Ergebnis<Kanalliste>::erledigt(liste);
}

// What the grid shows goes on paper: after a search only the rows found.
void FrequenzListe::liste_drucken_Click()
{
    const QString titel = windowTitle();
    Druckauftrag::drucken(this, titel, [this, titel](QPagedPaintDevice &geraet) {
        return Tabellendruck(*DataGrid1->model(), titel).drucken(geraet);
    });
}

void FrequenzListe::liste_pdf_Click()
{
    const QString titel = windowTitle();
    Druckauftrag::alsPdf(this, titel, q(katalog(m_art).titel), [this, titel](QPagedPaintDevice &geraet) {
        return Tabellendruck(*DataGrid1->model(), titel).drucken(geraet);
    });
}
