#include "fenster/log/frm_eintrag.h"

#include "fenster/bausteine/datenbindung.h"
#include "fenster/bausteine/druckauftrag.h"
#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/meldung.h"
#include "fenster/log/bemerkungsfeld.h"
#include "kern/basis/datenfehler.h"
#include "kern/basis/frequenz.h"
#include "kern/bestaende/logsuche.h"
#include "kern/daten/adodc.h"
#include "kern/druck/eintragsdruck.h"
#include "kern/druck/tabellendruck.h"
#include "kern/empfaenger/empfaenger.h"
#include "kern/formate/rtf.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QFocusEvent>
#include <QFrame>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

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

frm_eintrag::frm_eintrag(QWidget *parent) : KindFenster(parent)
{
    setObjectName(QStringLiteral("frm_eintrag"));
    setWindowTitle(QStringLiteral("Eigene Einträge"));
    Geometrie::festeGroesse(this, 11250, 7740);
    setFont(schrift());

    Adodc1 = new Adodc(Verbindungstext::log, Abfrage::tabelle(QStringLiteral("Kontakt")),
                       Verbindung::Zugriff::LesenSchreiben, this);
    bauen();
    bindeFelder();
    druckmenueBauen();

    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int jetzt) {
        SSTab1_Click(1 - jetzt);   // two tabs: the other one was selected before
    });
    connect(DataGrid1, &QTableView::clicked, this, &frm_eintrag::DataGrid1_Click);
    connect(cmd_neu, &QPushButton::clicked, this, &frm_eintrag::cmd_neu_Click);
    connect(cmd_bearbeiten, &QPushButton::clicked, this, &frm_eintrag::cmd_bearbeiten_Click);
    connect(cmd_speichern, &QPushButton::clicked, this, &frm_eintrag::cmd_speichern_Click);
    connect(cmd_loeschen, &QPushButton::clicked, this, &frm_eintrag::cmd_loeschen_Click);
    connect(cmd_abbrechen, &QPushButton::clicked, this, &frm_eintrag::cmd_abbrechen_Click);
    connect(cmd_suchen, &QPushButton::clicked, this, &frm_eintrag::cmd_suchen_Click);
    connect(cmd_alle, &QPushButton::clicked, this, &frm_eintrag::cmd_alle_Click);
    connect(Adodc1, &Adodc::aktuelleZeileGeaendert, this, &frm_eintrag::Adodc1_MoveComplete);
    txt_datum->installEventFilter(this);
    txt_suchbegriff->installEventFilter(this);
    RichTextBox1->installEventFilter(this);
    DataGrid1->installEventFilter(this);
    status_normal();   // built in Browse
}

void frm_eintrag::bauen()
{
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
        [this](const QVariant &wert) {
            QTextDocument *d = RichTextBox1->document();
            d->setUndoRedoEnabled(false);
            d->setDefaultFont(bemerkungsSchrift());
            RichTextBox1->clear();
            RichTextBox1->setCurrentCharFormat(QTextCharFormat());
            if (!wert.isNull())
                Rtf::lesen(wert.toString(), d);
            d->setUndoRedoEnabled(true);
            d->setModified(false);
            RichTextBox1->moveCursor(QTextCursor::Start);
        },
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

namespace {
// Whether the focus came by the user's own doing (a click, Tab, a
// shortcut), not back on activating the window or closing a menu.
bool vomBenutzer(Qt::FocusReason grund)
{
    switch (grund) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason: return true;
    default: return false;
    }
}
}

bool frm_eintrag::eventFilter(QObject *objekt, QEvent *ereignis)
{
    const QEvent::Type typ = ereignis->type();
    if (objekt == txt_datum && typ == QEvent::FocusIn) {
        // Only the user entering the box counts, not the focus coming back
        // when the window is activated again or a menu closes.
        if (vomBenutzer(static_cast<QFocusEvent *>(ereignis)->reason()))
            txt_datum_GotFocus();
    } else if (objekt == txt_suchbegriff && typ == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent *>(ereignis)->button() == Qt::LeftButton)
            txt_suchbegriff_Click();
    } else if (objekt == RichTextBox1 && (typ == QEvent::ShortcutOverride || typ == QEvent::KeyPress)) {
        if (formatTaste(static_cast<QKeyEvent *>(ereignis)))
            return true;
    } else if (objekt == DataGrid1 && typ == QEvent::FocusIn && !DataGrid1->currentIndex().isValid()) {
        // A grid without a current row (a new record is being typed) would
        // make its first row current on taking the focus, as when the tab
        // changes: only the user's click or key moves to a record.
        DataGrid1->viewport()->update();
        return true;
    } else if ((typ == QEvent::Move || typ == QEvent::Resize) && Shape1 && Shape2
               && (objekt == Shape1->parentWidget() || objekt == Shape2->parentWidget()
                   || objekt == Shape1->parentWidget()->parentWidget())) {
        reiterAusrichten();   // the tab pages moved inside the tab container
    }
    return KindFenster::eventFilter(objekt, ereignis);
}

bool frm_eintrag::formatTaste(QKeyEvent *taste)
{
    std::optional<Format> format;
    if (taste->matches(QKeySequence::Bold))
        format = Format::Fett;
    else if (taste->matches(QKeySequence::Italic))
        format = Format::Kursiv;
    else if (taste->matches(QKeySequence::Underline))
        format = Format::Unterstrichen;
    if (!format || RichTextBox1->isReadOnly())
        return false;
    taste->accept();
    if (taste->type() == QEvent::KeyPress)
        formatUmschalten(*format);
    return true;
}

void frm_eintrag::formatUmschalten(Format format)
{
    const QTextCharFormat jetzt = RichTextBox1->currentCharFormat();
    QTextCharFormat f;
    switch (format) {
    case Format::Fett: f.setFontWeight(jetzt.fontWeight() >= QFont::Bold ? QFont::Normal : QFont::Bold); break;
    case Format::Kursiv: f.setFontItalic(!jetzt.fontItalic()); break;
    case Format::Unterstrichen: f.setFontUnderline(!jetzt.fontUnderline()); break;
    }
    RichTextBox1->mergeCurrentCharFormat(f);
}

// ---------------------------------------------------------------------------
// Loading, tabs, grid, date

void frm_eintrag::Form_Load()
{
    SSTab1->setCurrentIndex(1);
    status_normal();
    Adodc1->setRecordSource(Logsuche::alle());
    Adodc1->Refresh();
    trefferSetzen();
}

QString frm_eintrag::abfrage() const
{
    return Adodc1->RecordSource();
}

void frm_eintrag::neuLaden()
{
    if (m_zustand != Zustand::Browse) {
        m_neuLadenOffen = true;
        return;
    }
    Meldung::abfangen([this] {
        Adodc1->Refresh();
        trefferSetzen();
    });
}

void frm_eintrag::neuLadenNachholen()
{
    if (!m_neuLadenOffen || m_zustand != Zustand::Browse)
        return;
    m_neuLadenOffen = false;
    Meldung::abfangen([this] {
        const qint64 id = aktuelleId();
        Adodc1->Refresh();
        if (const int zeile = zeileVon(id); zeile > 0)
            Adodc1->setAktuelleZeile(zeile);
        trefferSetzen();
    });
}

int frm_eintrag::zeileVon(qint64 id) const
{
    Recordset *rs = Adodc1->recordset();
    const int feld = rs && id >= 0 ? rs->feldIndex(QStringLiteral("id")) : -1;
    for (int i = 0; feld >= 0 && i < rs->RecordCount(); ++i)
        if (rs->wert(i, feld).toLongLong() == id)
            return i;
    return -1;
}

qint64 frm_eintrag::aktuelleId() const
{
    Recordset *rs = Adodc1->recordset();
    const int feld = rs ? rs->feldIndex(QStringLiteral("id")) : -1;
    const int zeile = Adodc1->aktuelleZeile();
    return feld >= 0 && zeile >= 0 ? rs->wert(zeile, feld).toLongLong() : -1;
}

void frm_eintrag::trefferSetzen()
{
    lbl_treffer->setText(Logsuche::trefferText(Adodc1->RecordCount()));
}

void frm_eintrag::SSTab1_Click(int)
{
    trefferSetzen();
}

void frm_eintrag::DataGrid1_Click()
{
    SSTab1->setCurrentIndex(0);
}

void frm_eintrag::txt_datum_GotFocus()
{
    if (txt_datum->isReadOnly())
        return;
    const QString heute = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    // In a new record today's date is filled in like the receiver's values:
    // the user's input only once the user changes the record.
    if (!Adodc1->vorbelegen({{QStringLiteral("datum"), heute}}))
        txt_datum->setText(heute);
}

// ---------------------------------------------------------------------------
// The editing state

void frm_eintrag::zustandSetzen(Zustand neu)
{
    m_zustand = neu;
    const bool browse = neu == Zustand::Browse;
    // Locked before the buttons change and unlocked after them: the focus
    // leaving a button that goes off never enters an unlocked date box.
    if (browse)
        felder_sperren();
    cmd_neu->setEnabled(browse);
    cmd_bearbeiten->setEnabled(neu != Zustand::Neu);
    cmd_speichern->setEnabled(!browse);
    cmd_loeschen->setEnabled(neu == Zustand::Bearbeiten);
    cmd_abbrechen->setEnabled(!browse);
    if (!browse)
        felder_freigeben();
    empfaengerAnwenden();   // "vom Empfänger" works in New and Edit
}

void frm_eintrag::Adodc1_MoveComplete(int)
{
    // The editing buttons set their state after their own moves. Any other
    // move has left the record being created or edited, and the data view
    // has written its input or dropped it untouched.
    if (m_zustand != Zustand::Browse) {
        status_normal();
        // Not in the middle of this move: once it is done.
        if (m_neuLadenOffen)
            QMetaObject::invokeMethod(this, &frm_eintrag::neuLadenNachholen, Qt::QueuedConnection);
    }
}

void frm_eintrag::felder_sperren()
{
    for (QLineEdit *f : sperrbareFelder())
        f->setReadOnly(true);
    RichTextBox1->setReadOnly(true);
    RichTextBox1->setEnabled(false);
}

void frm_eintrag::felder_freigeben()
{
    for (QLineEdit *f : sperrbareFelder())
        f->setReadOnly(false);
    RichTextBox1->setReadOnly(false);
    RichTextBox1->setEnabled(true);
}

void frm_eintrag::status_neu()
{
    zustandSetzen(Zustand::Neu);
}

void frm_eintrag::status_normal()
{
    zustandSetzen(Zustand::Browse);
}

void frm_eintrag::status_bearbeiten()
{
    zustandSetzen(Zustand::Bearbeiten);
}

// ---------------------------------------------------------------------------
// The editing buttons. A write or delete that the database rejects is
// reported, and the window stays as it was with the input in the fields.

void frm_eintrag::cmd_neu_Click()
{
    // With a receiver connected, the new record starts on its frequency and
    // mode; they are the receiver's, not input, until the user types.
    neuAnlegen(m_empfaenger && m_empfaenger->verbunden() ? empfaengerWerte() : QHash<QString, QString>());
}

bool frm_eintrag::neuAnlegen(const QHash<QString, QString> &werte)
{
    QHash<QString, QVariant> vorbelegt;
    for (auto it = werte.begin(); it != werte.end(); ++it)
        if (!it.value().isEmpty())
            vorbelegt.insert(it.key(), it.value());
    try {
        Adodc1->AddNew(vorbelegt);   // writes a country typed in Browse first
    } catch (const DatenFehler &f) {
        Meldung::fehler(f);
        return false;
    }
    status_neu();
    return true;
}

bool frm_eintrag::neuVorbelegt(const QHash<QString, QString> &werte)
{
    // A new record nobody typed into yet may begin again with these values.
    const bool unberuehrt = m_zustand == Zustand::Neu && !Adodc1->hatAenderungen();
    if (m_zustand != Zustand::Browse && !unberuehrt) {
        Meldung::zeigen(QStringLiteral("Im Fenster \u201EEigene Einträge\u201C wird gerade ein Eintrag bearbeitet. "
                                       "Bitte zuerst speichern oder abbrechen."));
        return false;
    }
    if (!neuAnlegen(werte))
        return false;
    SSTab1->setCurrentIndex(0);
    return true;
}

void frm_eintrag::cmd_bearbeiten_Click()
{
    try {
        Adodc1->Update();   // the input typed so far
    } catch (const KeinDatensatz &) {
        // An empty list: nothing to write.
    } catch (const DatenFehler &f) {
        Meldung::fehler(f);
        return;
    }
    status_bearbeiten();
}

void frm_eintrag::cmd_speichern_Click()
{
    try {
        Adodc1->Update();
    } catch (const KeinDatensatz &f) {
        // No record to write to (an empty list). Input typed there is not
        // thrown away without a word: the window stays as it is.
        bool eingabe = !RichTextBox1->toPlainText().isEmpty() || !txt_land->text().isEmpty();
        for (QLineEdit *feld : sperrbareFelder())
            eingabe = eingabe || !feld->text().isEmpty();
        if (eingabe) {
            Meldung::zeigen(f.meldung() + QStringLiteral(" Einen neuen Eintrag legen Sie mit \u201ENEU\u201C an."),
                            Meldung::Symbol::Fehler);
            return;
        }
    } catch (const DatenFehler &f) {
        Meldung::fehler(f);
        return;
    }
    status_normal();
    neuLadenNachholen();
}

void frm_eintrag::cmd_loeschen_Click()
{
    try {
        Adodc1->Delete();   // the next row becomes current
    } catch (const KeinDatensatz &) {
    } catch (const DatenFehler &f) {
        Meldung::fehler(f);
        return;
    }
    status_normal();
    neuLadenNachholen();
}

void frm_eintrag::cmd_abbrechen_Click()
{
    Meldung::abfangen([this] {
        Adodc1->Cancel();   // the fields show what is stored: nothing left to write
        Adodc1->Refresh();
        status_normal();
        // The rows are read anew already; the count follows them.
        if (std::exchange(m_neuLadenOffen, false))
            trefferSetzen();
    });
}

// ---------------------------------------------------------------------------
// The search

void frm_eintrag::cmd_suchen_Click()
{
    Meldung::abfangen([this] {
        if (opt_skip->isChecked())
            Adodc1->zeige(Logsuche::suche(Logsuche::Spalte::CallSign, txt_suchbegriff->text()));
        if (opt_vorname->isChecked())
            Adodc1->zeige(Logsuche::suche(Logsuche::Spalte::Datum, txt_suchbegriff->text()));
        if (opt_qth->isChecked())
            Adodc1->zeige(Logsuche::suche(Logsuche::Spalte::Qth, txt_suchbegriff->text()));
        if (opt_frequenz->isChecked())
            Adodc1->zeige(Logsuche::suche(Logsuche::Spalte::Frequenz, txt_suchbegriff->text()));
        if (opt_land->isChecked())
            Adodc1->zeige(Logsuche::suche(Logsuche::Spalte::Land, txt_suchbegriff->text()));
        if (Adodc1->RecordCount() == 0) {
            Meldung::zeigen(Logsuche::keineTreffer(txt_suchbegriff->text()), Meldung::Symbol::Fehler);
            Adodc1->zeige(Logsuche::alle());
            trefferSetzen();
        }
        if (Adodc1->RecordCount() > 0)
            trefferSetzen();
    });
}

void frm_eintrag::cmd_alle_Click()
{
    Meldung::abfangen([this] {
        Adodc1->zeige(Logsuche::alle());
        trefferSetzen();
    });
}

bool frm_eintrag::zeigeDatensatz(qint64 id)
{
    if (m_zustand != Zustand::Browse) {
        Meldung::zeigen(QStringLiteral("Im Fenster \u201EEigene Einträge\u201C wird gerade ein Eintrag bearbeitet. "
                                       "Bitte zuerst speichern oder abbrechen."));
        return false;
    }
    int zeile = -1;
    const bool ok = Meldung::abfangen([&] {
        // The rows the view read before may be older than the file (another
        // program may have deleted the record since): it reads them anew.
        Adodc1->Refresh();
        m_neuLadenOffen = false;
        zeile = zeileVon(id);
        if (zeile < 0) {
            Adodc1->zeige(Logsuche::alle());
            zeile = zeileVon(id);
        }
        trefferSetzen();
        if (zeile >= 0)
            Adodc1->setAktuelleZeile(zeile);
    });
    if (!ok)
        return false;
    if (zeile < 0) {
        Meldung::zeigen(QStringLiteral("Dieser Eintrag ist nicht mehr im Log."));
        return false;
    }
    SSTab1->setCurrentIndex(0);
    return true;
}

void frm_eintrag::txt_suchbegriff_Click()
{
    txt_suchbegriff->clear();
}

// ---------------------------------------------------------------------------
// Printing

void frm_eintrag::druckmenueBauen()
{
    auto aktion = [this](const char *name, const QString &text, void (frm_eintrag::*slot)()) {
        auto *a = new QAction(text, this);
        a->setObjectName(QString::fromUtf8(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    uebersicht_drucken =
        aktion("uebersicht_drucken", QStringLiteral("Drucken …"), &frm_eintrag::uebersicht_drucken_Click);
    uebersicht_pdf =
        aktion("uebersicht_pdf", QStringLiteral("Als PDF speichern …"), &frm_eintrag::uebersicht_pdf_Click);
    eintrag_drucken =
        aktion("eintrag_drucken", QStringLiteral("Eintrag drucken …"), &frm_eintrag::eintrag_drucken_Click);
    DataGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
    DataGrid1->addActions({uebersicht_drucken, uebersicht_pdf, eintrag_drucken});
    for (QWidget *w : {static_cast<QWidget *>(Shape1), static_cast<QWidget *>(Frame2), static_cast<QWidget *>(Frame1),
                       static_cast<QWidget *>(Frame3)}) {
        w->setContextMenuPolicy(Qt::ActionsContextMenu);
        w->addAction(eintrag_drucken);
    }
}

// The records the overview shows, after a search only those found.
void frm_eintrag::uebersicht_drucken_Click()
{
    const QString titel = windowTitle() + QStringLiteral(" \u2013 ") + lbl_treffer->text();
    Druckauftrag::drucken(this, titel, [this, titel](QPagedPaintDevice &geraet) {
        return Tabellendruck(*DataGrid1->model(), titel).drucken(geraet);
    });
}

void frm_eintrag::uebersicht_pdf_Click()
{
    const QString titel = windowTitle() + QStringLiteral(" \u2013 ") + lbl_treffer->text();
    Druckauftrag::alsPdf(this, titel, windowTitle(), [this, titel](QPagedPaintDevice &geraet) {
        return Tabellendruck(*DataGrid1->model(), titel).drucken(geraet);
    });
}

// The record the tab "LOG" shows, as it shows it.
void frm_eintrag::eintrag_drucken_Click()
{
    if (Adodc1->aktuelleZeile() < 0 && m_zustand != Zustand::Neu) {
        Meldung::fehler(KeinDatensatz());
        return;
    }
    const QVector<QPair<QLabel *, QLineEdit *>> felder{
        {Label11, txt_callsign}, {Label10, txt_skip},     {Label1, txt_vorname}, {Label6, txt_land},
        {Label13, txt_swert},    {Label12, txt_rwert},    {Label14, txt_datum},  {Label15, txt_uhrzeit},
        {Label16, txt_kanal},    {Label17, txt_frequenz}, {Label18, txt_band},   {Label5, txt_ort}};
    QVector<Eintragsdruck::Feld> werte;
    for (const auto &[beschriftung, feld] : felder)
        werte.append({beschriftung->text(), feld->text()});
    const QString titel = windowTitle() + QStringLiteral(" \u2013 ")
                          + (txt_callsign->text().isEmpty() ? QStringLiteral("Eintrag") : txt_callsign->text());
    Druckauftrag::drucken(this, titel, [this, titel, werte](QPagedPaintDevice &geraet) {
        return Eintragsdruck(titel, werte, *RichTextBox1->document()).drucken(geraet);
    });
}

// ---------------------------------------------------------------------------

void frm_eintrag::closeEvent(QCloseEvent *ereignis)
{
    if (Adodc1->hatAenderungen()) {
        try {
            Adodc1->Update();
        } catch (const DatenFehler &f) {
            Meldung::fehler(f);
            ereignis->ignore();
            return;
        }
    }
    ereignis->accept();
}

// ---------------------------------------------------------------------------
// The receiver

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
