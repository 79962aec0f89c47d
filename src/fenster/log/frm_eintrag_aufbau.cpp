// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/log/frm_eintrag.h"

#include "fenster/bausteine/datenbindung.h"
#include "fenster/bausteine/geometrie.h"
#include "fenster/log/bemerkungsfeld.h"
#include "kern/daten/adodc.h"
#include "kern/formate/rtf.h"

#include <QFrame>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QToolButton>

#include <type_traits>
#include <utility>
#include <variant>

// The log window's controls: built from one table of members, placed on
// their tabs, and bound to the data view.

namespace {
QFont schrift(bool fett = false)
{
    return Geometrie::schrift(QStringLiteral("MS Sans Serif"), 12, fett);
}

QFont bemerkungsSchrift()
{
    return Geometrie::schrift(QStringLiteral("Arial"), 12);
}

// The kinds of members, each with its look.
enum Art {
    Flaeche,     // panel or rectangle: only a coloured background
    Label,       // label on a transparent background
    Feld,        // bound text box, light orange
    Suchfeld,    // the search term's box
    Bemerkung,   // the formatted remark
    Knopf,       // push button
    Grid,        // the bound grid
    Option,      // option button of the search
};

enum Schriftart {
    Normal,   // the window's, MS Sans Serif 12 pt
    Fett,     // the same, bold
    Arial,    // Arial 12 pt
};

// The named pointer of the window that holds a member.
template <class T> using Zeiger = T *frm_eintrag::*;
using Glied = std::variant<Zeiger<QFrame>, Zeiger<QLabel>, Zeiger<QLineEdit>, Zeiger<Bemerkungsfeld>,
                           Zeiger<QPushButton>, Zeiger<QTableView>, Zeiger<QRadioButton>>;

struct Mitglied
{
    Glied glied;
    const char *name;
    Art art;
    // "LOG" or "Übersicht": on that tab, placed relative to the tab container;
    // else the name of the panel it lies in.
    const char *eltern;
    QRect twips;   // left, top, width, height
    // Caption or initial text; a panel's caption names it and is not drawn.
    const char *text;
    Schriftart schrift;
    // A panel's background, the text of a label or box; 0: the system's.
    QRgb farbe;
    int tabIndex;   // place in the Tab key's order; -1: none of its own
};

constexpr QRgb keine = 0;   // the system's colour
constexpr QRgb schwarz = qRgb(0, 0, 0);
constexpr QRgb dunkelblau = qRgb(0, 0, 128);
constexpr QRgb dunkelgrau = qRgb(64, 64, 64);
constexpr QRgb grau = qRgb(128, 128, 128);
constexpr QRgb silbergrau = qRgb(192, 192, 192);
constexpr QRgb hellgrau = qRgb(224, 224, 224);
constexpr QRgb hellorange = qRgb(255, 192, 128);   // the boxes of the record

#define M(glied) &frm_eintrag::glied, #glied
// Every member but the tab container, in the order they are built: a later
// one lies above an earlier one.
// clang-format off
const Mitglied mitglieder[] = {
    // Tab "LOG".
    {M(Shape1),          Flaeche,   "LOG",       {120, 360, 10935, 7215},  nullptr,             Normal, dunkelblau, -1},
    {M(Frame2),          Flaeche,   "LOG",       {360, 600, 10575, 2295},  nullptr,             Normal, hellgrau,   -1},
    {M(Label11),         Label,     "Frame2",    {120, 240, 1095, 375},    "CallSign",          Normal, dunkelgrau, -1},
    {M(txt_callsign),    Feld,      "Frame2",    {1200, 240, 3135, 375},   "DL0XYZ",            Normal, schwarz,    3},
    {M(Label10),         Label,     "Frame2",    {5520, 240, 855, 375},    "Skip",              Normal, dunkelgrau, -1},
    {M(txt_skip),        Feld,      "Frame2",    {6360, 240, 3855, 375},   "Mustermann",        Fett,   schwarz,    4},
    {M(Label1),          Label,     "Frame2",    {120, 720, 975, 375},     "Vorname",           Normal, schwarz,    -1},
    {M(txt_vorname),     Feld,      "Frame2",    {1200, 720, 3135, 375},   "Max",               Fett,   keine,      1},
    {M(Label6),          Label,     "Frame2",    {5520, 720, 615, 375},    "Land",              Normal, schwarz,    -1},
    {M(txt_land),        Feld,      "Frame2",    {6360, 720, 3855, 375},   "Deutschland",       Normal, keine,      0},
    {M(Label13),         Label,     "Frame2",    {120, 1200, 975, 375},    "S-Wert",            Normal, dunkelgrau, -1},
    {M(txt_swert),       Feld,      "Frame2",    {1200, 1200, 1215, 375},  "9+30",              Normal, schwarz,    9},
    {M(Label12),         Label,     "Frame2",    {2520, 1200, 975, 375},   "R-Wert",            Normal, dunkelgrau, -1},
    {M(txt_rwert),       Feld,      "Frame2",    {3360, 1200, 975, 375},   "5",                 Normal, schwarz,    10},
    {M(Label14),         Label,     "Frame2",    {5520, 1200, 735, 375},   "Datum",             Normal, dunkelgrau, -1},
    {M(txt_datum),       Feld,      "Frame2",    {6360, 1200, 1335, 375},  "30.06.2006",        Normal, schwarz,    5},
    {M(Label15),         Label,     "Frame2",    {8040, 1200, 735, 375},   "Uhrzeit",           Normal, dunkelgrau, -1},
    {M(txt_uhrzeit),     Feld,      "Frame2",    {8880, 1200, 1335, 375},  "21:45",             Normal, schwarz,    6},
    {M(Label16),         Label,     "Frame2",    {120, 1680, 975, 375},    "Kanal",             Normal, dunkelgrau, -1},
    {M(txt_kanal),       Feld,      "Frame2",    {1200, 1680, 615, 375},   "80",                Fett,   schwarz,    7},
    {M(Label17),         Label,     "Frame2",    {2040, 1680, 1215, 375},  "Frequenz",          Normal, dunkelgrau, -1},
    {M(txt_frequenz),    Feld,      "Frame2",    {3120, 1680, 1215, 375},  "490,999",           Normal, schwarz,    8},
    {M(Label18),         Label,     "Frame2",    {5040, 1680, 1215, 375},  "Modulation",        Normal, dunkelgrau, -1},
    {M(txt_band),        Feld,      "Frame2",    {6360, 1680, 1215, 375},  "FM",                Normal, schwarz,    11},
    {M(Label5),          Label,     "Frame2",    {7800, 1680, 615, 375},   "QTH",               Normal, dunkelgrau, -1},
    {M(txt_ort),         Feld,      "Frame2",    {8400, 1680, 1815, 375},  "Musterstadt",       Fett,   schwarz,    2},
    {M(Frame1),          Flaeche,   "LOG",       {360, 3000, 7455, 4335},  "Persönliche Daten", Normal, dunkelgrau, -1},
    {M(Frame5),          Flaeche,   "Frame1",    {360, 120, 6975, 4095},   "Frame5",            Normal, grau,       -1},
    {M(RichTextBox1),    Bemerkung, "Frame5",    {120, 0, 6735, 3975},     "RichTextBox1",      Arial,  keine,      12},
    {M(Frame3),          Flaeche,   "LOG",       {8040, 3000, 2895, 4335}, nullptr,             Normal, silbergrau, -1},
    {M(cmd_neu),         Knopf,     "Frame3",    {240, 480, 2415, 375},    "NEU",               Normal, keine,      13},
    {M(cmd_bearbeiten),  Knopf,     "Frame3",    {240, 960, 2415, 375},    "BEARBEITEN",        Normal, keine,      14},
    {M(cmd_abbrechen),   Knopf,     "Frame3",    {240, 1440, 2415, 375},   "ABBRECHEN",         Normal, keine,      15},
    {M(cmd_speichern),   Knopf,     "Frame3",    {240, 1920, 2415, 375},   "SPEICHERN",         Normal, keine,      16},
    {&frm_eintrag::cmd_loeschen, "cmd_löschen",
                         Knopf,     "Frame3",    {240, 2400, 2415, 375},   "LÖSCHEN",           Normal, keine,      17},
    // Tab "Übersicht".
    {M(Shape2),          Flaeche,   "Übersicht", {120, 360, 10935, 7215},  nullptr,             Normal, dunkelblau, -1},
    {M(DataGrid1),       Grid,      "Übersicht", {240, 480, 10695, 5535},  nullptr,             Normal, keine,      18},
    {M(Frame4),          Flaeche,   "Übersicht", {240, 6120, 10695, 1215}, "Frame4",            Normal, keine,      -1},
    {M(txt_suchbegriff), Suchfeld,  "Frame4",    {1440, 240, 2895, 375},   "...Suchbegriff",    Normal, keine,      19},
    {M(cmd_suchen),      Knopf,     "Frame4",    {4440, 240, 1695, 375},   "SUCHEN",            Normal, keine,      20},
    {M(cmd_alle),        Knopf,     "Frame4",    {6240, 240, 1695, 375},   "RESET",             Normal, keine,      21},
    {M(cmd_drucken),     Knopf,     "Frame4",    {8040, 240, 1695, 375},   "DRUCKEN",           Normal, keine,      -1},
    {M(lbl_treffer),     Label,     "Frame4",    {8160, 240, 2415, 375},   nullptr,             Normal, keine,      -1},
    {M(opt_frequenz),    Option,    "Frame4",    {1560, 840, 1335, 255},   "Frequenz",          Normal, keine,      22},
    {M(opt_skip),        Option,    "Frame4",    {3600, 840, 1455, 255},   "CallSign",          Normal, keine,      23},
    {M(opt_vorname),     Option,    "Frame4",    {5640, 840, 1215, 255},   "Datum",             Normal, keine,      24},
    {M(opt_qth),         Option,    "Frame4",    {7440, 840, 855, 255},    "QTH",               Normal, keine,      25},
    {M(opt_land),        Option,    "Frame4",    {8760, 840, 975, 255},    "Land",              Normal, keine,      26},
};
// clang-format on
#undef M

// A small clock face at ten past ten.
QIcon uhrSymbol()
{
    QPixmap bild(16, 16);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(32, 32, 32), 1.2));
    p.setBrush(QColor(255, 192, 128));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.drawLine(QPointF(8, 8), QPointF(8, 3.5));
    p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
    return QIcon(bild);
}

// A member built from the table as the class its kind says.
template <class T> T *als(QWidget *w)
{
    auto *t = qobject_cast<T *>(w);
    Q_ASSERT(t);
    return t;
}

void setzeFarbe(QWidget *w, QPalette::ColorRole rolle, QRgb farbe)
{
    if (farbe == keine)
        return;
    QPalette p = w->palette();
    p.setColor(rolle, QColor::fromRgb(farbe));
    w->setPalette(p);
}

// The substitute fonts run a little wider than the ones the layout was drawn
// for: a caption that would be cut off is narrowed just enough to fit, and the
// control keeps its place and size.
void einpassen(QWidget *w, const QString &text)
{
    auto noetig = [w, &text] {
        if (qobject_cast<QRadioButton *>(w))
            return w->sizeHint().width();
        return w->fontMetrics().horizontalAdvance(text);
    };
    QFont f = w->font();
    for (int breite = 99; breite >= 80 && noetig() > w->width(); --breite) {
        f.setStretch(breite);
        w->setFont(f);
    }
}
}

void frm_eintrag::bauen()
{
    setFont(schrift());
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    Geometrie::setze(SSTab1, 0, 0, 11175, 7695);
    auto *log = new QWidget;
    log->setObjectName(QStringLiteral("SSTab1_LOG"));
    auto *uebersicht = new QWidget;
    uebersicht->setObjectName(QStringLiteral("SSTab1_Uebersicht"));
    SSTab1->addTab(log, QStringLiteral("LOG"));
    SSTab1->addTab(uebersicht, QStringLiteral("Übersicht"));
    for (QWidget *w : {log, uebersicht, log->parentWidget()})
        w->installEventFilter(this);

    QHash<QString, QWidget *> gebaut{{QStringLiteral("LOG"), log}, {QStringLiteral("Übersicht"), uebersicht}};
    QMap<int, QWidget *> reihe;
    for (const Mitglied &m : mitglieder) {
        QWidget *eltern = gebaut.value(QString::fromUtf8(m.eltern));
        QWidget *w = std::visit(
            [this, eltern](auto glied) -> QWidget * {
                using Typ = std::remove_pointer_t<std::remove_reference_t<decltype(this->*glied)>>;
                auto *neu = new Typ(eltern);
                this->*glied = neu;
                return neu;
            },
            m.glied);
        const QString name = QString::fromUtf8(m.name);
        const QString text = QString::fromUtf8(m.text);
        w->setObjectName(name);
        gebaut.insert(name, w);
        if (m.schrift == Fett)
            w->setFont(schrift(true));
        else if (m.schrift == Arial)
            w->setFont(bemerkungsSchrift());

        switch (m.art) {
        case Flaeche: {
            auto *f = als<QFrame>(w);
            f->setFrameShape(QFrame::NoFrame);
            f->setAutoFillBackground(true);
            setzeFarbe(f, QPalette::Window, m.farbe);
            if (!text.isEmpty())
                f->setAccessibleName(text);
            break;
        }
        case Label: {
            auto *l = als<QLabel>(w);
            l->setText(text);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            setzeFarbe(l, QPalette::WindowText, m.farbe);
            break;
        }
        case Feld: {
            auto *f = als<QLineEdit>(w);
            f->setText(text);
            QPalette p = f->palette();
            p.setColor(QPalette::Base, QColor::fromRgb(hellorange));
            f->setPalette(p);
            setzeFarbe(f, QPalette::Text, m.farbe);
            f->setCursorPosition(0);
            break;
        }
        case Suchfeld: als<QLineEdit>(w)->setText(text); break;
        case Bemerkung: {
            auto *b = als<QTextEdit>(w);
            b->setAcceptRichText(true);
            b->document()->setDefaultFont(b->font());
            b->setPlainText(text);
            // Locked and disabled, the remark still shows its text as it is.
            QPalette p = b->palette();
            for (QPalette::ColorRole r : {QPalette::Base, QPalette::Text, QPalette::WindowText, QPalette::Window})
                p.setColor(QPalette::Disabled, r, p.color(QPalette::Active, r));
            b->setPalette(p);
            break;
        }
        case Knopf: {
            auto *k = als<QPushButton>(w);
            k->setText(text);
            k->setAutoDefault(false);
            break;
        }
        case Grid: break;
        case Option: als<QRadioButton>(w)->setText(text); break;
        }

        if (eltern == log || eltern == uebersicht)
            aufReiter(w, m.twips.x(), m.twips.y(), m.twips.width(), m.twips.height());
        else
            Geometrie::setze(w, m.twips.x(), m.twips.y(), m.twips.width(), m.twips.height());
        if (m.art == Label || m.art == Option)
            einpassen(w, text);
        if (m.tabIndex >= 0)
            reihe.insert(m.tabIndex, w);
    }
    // "Jetzt" right of the time, in the panel's margin; like "vom
    // Empfänger" it stays out of the Tab key's order.
    cmd_jetzt = new QToolButton(Frame2);
    cmd_jetzt->setObjectName(QStringLiteral("cmd_jetzt"));
    cmd_jetzt->setText(QStringLiteral("Jetzt"));
    cmd_jetzt->setAccessibleName(QStringLiteral("Jetzt"));
    cmd_jetzt->setToolTip(QStringLiteral("Jetzt: Datum und Uhrzeit auf diesen Augenblick setzen"));
    cmd_jetzt->setIcon(uhrSymbol());
    cmd_jetzt->setToolButtonStyle(Qt::ToolButtonIconOnly);
    cmd_jetzt->setFocusPolicy(Qt::NoFocus);
    Geometrie::setze(cmd_jetzt, 10260, 1200, 285, 375);

    // As built, "DRUCKEN" is hidden and the search is by call sign.
    cmd_drucken->setVisible(false);
    opt_skip->setChecked(true);

    // The Tab key visits the boxes in the order of the log sheet, then the
    // remark, the buttons and the search panel.
    const QList<QWidget *> folge = reihe.values();
    for (int i = 1; i < folge.size(); ++i)
        setTabOrder(folge[i - 1], folge[i]);

    reiterAusrichten();
}

void frm_eintrag::bindeFelder()
{
    Datenbindung::grid(Adodc1, DataGrid1,
                       {{QStringLiteral("Frequenz"), QStringLiteral("frequenz"), 2655},
                        {QStringLiteral("Datum"), QStringLiteral("datum"), 1875},
                        {QStringLiteral("CallSign"), QStringLiteral("callsign"), 2310},
                        {QStringLiteral("QTH"), QStringLiteral("ort"), 1995},
                        {QStringLiteral("R-Wert"), QStringLiteral("rwert"), 1215}});
    Datenbindung::fehlerMelden(Adodc1);
    Datenbindung::breitenMerken(DataGrid1, objectName());
    const QFontMetrics fm(DataGrid1->font());
    DataGrid1->verticalHeader()->setDefaultSectionSize(fm.height() + 6);
    DataGrid1->verticalHeader()->setFixedWidth(Geometrie::twips(270));
    DataGrid1->horizontalHeader()->setFixedHeight(fm.height() + 8);
    DataGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Datenbindung::feld(Adodc1, txt_callsign, QStringLiteral("callsign"));
    Datenbindung::feld(Adodc1, txt_skip, QStringLiteral("skip"));
    Datenbindung::feld(Adodc1, txt_vorname, QStringLiteral("vorname"));
    Datenbindung::feld(Adodc1, txt_land, QStringLiteral("land"));
    Datenbindung::feld(Adodc1, txt_swert, QStringLiteral("swert"));
    Datenbindung::feld(Adodc1, txt_rwert, QStringLiteral("rwert"));
    Datenbindung::feld(Adodc1, txt_datum, QStringLiteral("datum"));
    Datenbindung::feld(Adodc1, txt_uhrzeit, QStringLiteral("uhrzeit"));
    Datenbindung::feld(Adodc1, txt_kanal, QStringLiteral("lanal"));
    Datenbindung::feld(Adodc1, txt_frequenz, QStringLiteral("frequenz"));
    Datenbindung::feld(Adodc1, txt_band, QStringLiteral("band"));
    Datenbindung::feld(Adodc1, txt_ort, QStringLiteral("ort"));

    // The remark is stored as RTF; it counts as changed once the user edited
    // or formatted it, and an empty remark is stored as nothing.
    Adodc1->binde(Adodc::Bindung{
        QStringLiteral("bemerkung"),
        [this]() -> QVariant {
            const QTextDocument *d = RichTextBox1->document();
            if (d->isEmpty())
                return QVariant();
            return Rtf::schreiben(*d);
        },
        [this](const QVariant &wert) { RichTextBox1->zeigeRtf(wert); },
        [this]() { return RichTextBox1->document()->isModified(); },
    });
}

QVector<QLineEdit *> frm_eintrag::sperrbareFelder() const
{
    return {txt_callsign, txt_skip,     txt_swert, txt_rwert, txt_datum,  txt_uhrzeit,
            txt_kanal,    txt_frequenz, txt_band,  txt_ort,   txt_vorname};
}

// ---------------------------------------------------------------------------
// Placing the controls of the tabs

void frm_eintrag::aufReiter(QWidget *w, int links, int oben, int breite, int hoehe)
{
    m_aufReiter.append({w, QRect(links, oben, breite, hoehe)});
}

void frm_eintrag::reiterAusrichten()
{
    for (const AufReiter &a : std::as_const(m_aufReiter)) {
        const QPoint versatz = a.w->parentWidget()->mapTo(SSTab1, QPoint(0, 0));
        a.w->setGeometry(
            Geometrie::rechteck(a.twips.left(), a.twips.top(), a.twips.width(), a.twips.height()).translated(-versatz));
    }
}
