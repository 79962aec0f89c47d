#include "log/frm_eintrag.h"

#include "data/adodc.h"
#include "data/datenfehler.h"
#include "log/logsuche.h"
#include "log/rtf.h"
#include "shell/geometrie.h"
#include "shell/meldung.h"

#include <QCloseEvent>
#include <QDate>
#include <QFocusEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QTextEdit>

namespace {
const QColor dunkelblau(0, 0, 128);
const QColor labelGrau(64, 64, 64);
const QColor feldOrange(255, 192, 128);

QFont schrift(bool fett = false)
{
    return Geometrie::schrift(QStringLiteral("MS Sans Serif"), 12, fett);
}

QFont bemerkungsSchrift()
{
    return Geometrie::schrift(QStringLiteral("Arial"), 12);
}

// A panel or rectangle that only serves as a coloured background. The
// caption of a panel is kept for accessibility; it is not drawn.
QFrame *flaeche(QWidget *eltern, const QString &name, const QColor &farbe, const QString &titel = QString())
{
    auto *f = new QFrame(eltern);
    f->setObjectName(name);
    f->setFrameShape(QFrame::NoFrame);
    f->setAutoFillBackground(true);
    if (farbe.isValid()) {
        QPalette p = f->palette();
        p.setColor(QPalette::Window, farbe);
        f->setPalette(p);
    }
    if (!titel.isEmpty())
        f->setAccessibleName(titel);
    return f;
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

QPushButton *knopf(QWidget *eltern, const QString &name, const QString &text, int l, int o, int b, int h)
{
    auto *k = new QPushButton(text, eltern);
    k->setObjectName(name);
    k->setAutoDefault(false);
    Geometrie::setze(k, l, o, b, h);
    return k;
}
}

frm_eintrag::frm_eintrag(QWidget *parent) : KindFenster(parent)
{
    setObjectName(QStringLiteral("frm_eintrag"));
    setWindowTitle(QStringLiteral("Eigene Einträge"));
    Geometrie::festeGroesse(this, 11250, 7740);
    setFont(schrift());

    Adodc1 = new Adodc(Verbindungstext::log, QStringLiteral("select * from Kontakt"),
                       Verbindung::Zugriff::LesenSchreiben, this);
    bauen();
    bindeFelder();

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

    // Tab "LOG".
    Shape1 = flaeche(log, QStringLiteral("Shape1"), dunkelblau);
    aufReiter(Shape1, 120, 360, 10935, 7215);

    Frame2 = flaeche(log, QStringLiteral("Frame2"), QColor(224, 224, 224));
    aufReiter(Frame2, 360, 600, 10575, 2295);
    auto label = [this](QLabel *&l, const QString &name, const QString &text, int links, int oben, int breite,
                        const QColor &farbe) {
        l = new QLabel(text, Frame2);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, farbe);
        l->setPalette(p);
        Geometrie::setze(l, links, oben, breite, 375);
        einpassen(l, text);
    };
    auto feld = [this](QLineEdit *&f, const QString &name, const QString &text, int links, int oben, int breite,
                       bool fett, bool systemTextfarbe) {
        f = new QLineEdit(text, Frame2);
        f->setObjectName(name);
        f->setFont(schrift(fett));
        QPalette p = f->palette();
        p.setColor(QPalette::Base, feldOrange);
        if (!systemTextfarbe)
            p.setColor(QPalette::Text, Qt::black);
        f->setPalette(p);
        f->setCursorPosition(0);
        Geometrie::setze(f, links, oben, breite, 375);
    };
    const QColor schwarz(Qt::black);
    label(Label11, QStringLiteral("Label11"), QStringLiteral("CallSign"), 120, 240, 1095, labelGrau);
    feld(txt_callsign, QStringLiteral("txt_callsign"), QStringLiteral("DL0XYZ"), 1200, 240, 3135, false, false);
    label(Label10, QStringLiteral("Label10"), QStringLiteral("Skip"), 5520, 240, 855, labelGrau);
    feld(txt_skip, QStringLiteral("txt_skip"), QStringLiteral("Mustermann"), 6360, 240, 3855, true, false);
    label(Label1, QStringLiteral("Label1"), QStringLiteral("Vorname"), 120, 720, 975, schwarz);
    feld(txt_vorname, QStringLiteral("txt_vorname"), QStringLiteral("Max"), 1200, 720, 3135, true, true);
    label(Label6, QStringLiteral("Label6"), QStringLiteral("Land"), 5520, 720, 615, schwarz);
    feld(txt_land, QStringLiteral("txt_land"), QStringLiteral("Deutschland"), 6360, 720, 3855, false, true);
    label(Label13, QStringLiteral("Label13"), QStringLiteral("S-Wert"), 120, 1200, 975, labelGrau);
    feld(txt_swert, QStringLiteral("txt_swert"), QStringLiteral("9+30"), 1200, 1200, 1215, false, false);
    label(Label12, QStringLiteral("Label12"), QStringLiteral("R-Wert"), 2520, 1200, 975, labelGrau);
    feld(txt_rwert, QStringLiteral("txt_rwert"), QStringLiteral("5"), 3360, 1200, 975, false, false);
    label(Label14, QStringLiteral("Label14"), QStringLiteral("Datum"), 5520, 1200, 735, labelGrau);
    feld(txt_datum, QStringLiteral("txt_datum"), QStringLiteral("30.06.2006"), 6360, 1200, 1335, false, false);
    label(Label15, QStringLiteral("Label15"), QStringLiteral("Uhrzeit"), 8040, 1200, 735, labelGrau);
    feld(txt_uhrzeit, QStringLiteral("txt_uhrzeit"), QStringLiteral("21:45"), 8880, 1200, 1335, false, false);
    label(Label16, QStringLiteral("Label16"), QStringLiteral("Kanal"), 120, 1680, 975, labelGrau);
    feld(txt_kanal, QStringLiteral("txt_kanal"), QStringLiteral("80"), 1200, 1680, 615, true, false);
    label(Label17, QStringLiteral("Label17"), QStringLiteral("Frequenz"), 2040, 1680, 1215, labelGrau);
    feld(txt_frequenz, QStringLiteral("txt_frequenz"), QStringLiteral("490,999"), 3120, 1680, 1215, false, false);
    label(Label18, QStringLiteral("Label18"), QStringLiteral("Modulation"), 5040, 1680, 1215, labelGrau);
    feld(txt_band, QStringLiteral("txt_band"), QStringLiteral("FM"), 6360, 1680, 1215, false, false);
    label(Label5, QStringLiteral("Label5"), QStringLiteral("QTH"), 7800, 1680, 615, labelGrau);
    feld(txt_ort, QStringLiteral("txt_ort"), QStringLiteral("Musterstadt"), 8400, 1680, 1815, true, false);

    Frame1 = flaeche(log, QStringLiteral("Frame1"), QColor(64, 64, 64), QStringLiteral("Persönliche Daten"));
    aufReiter(Frame1, 360, 3000, 7455, 4335);
    Frame5 = flaeche(Frame1, QStringLiteral("Frame5"), QColor(128, 128, 128), QStringLiteral("Frame5"));
    Geometrie::setze(Frame5, 360, 120, 6975, 4095);
    RichTextBox1 = new QTextEdit(Frame5);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setAcceptRichText(true);
    RichTextBox1->setFont(bemerkungsSchrift());
    RichTextBox1->document()->setDefaultFont(bemerkungsSchrift());
    RichTextBox1->setPlainText(QStringLiteral("RichTextBox1"));
    {
        // Locked and disabled, the remark still shows its text as it is.
        QPalette p = RichTextBox1->palette();
        for (QPalette::ColorRole r : {QPalette::Base, QPalette::Text, QPalette::WindowText, QPalette::Window})
            p.setColor(QPalette::Disabled, r, p.color(QPalette::Active, r));
        RichTextBox1->setPalette(p);
    }
    Geometrie::setze(RichTextBox1, 120, 0, 6735, 3975);

    Frame3 = flaeche(log, QStringLiteral("Frame3"), QColor(192, 192, 192));
    aufReiter(Frame3, 8040, 3000, 2895, 4335);
    cmd_neu = knopf(Frame3, QStringLiteral("cmd_neu"), QStringLiteral("NEU"), 240, 480, 2415, 375);
    cmd_bearbeiten = knopf(Frame3, QStringLiteral("cmd_bearbeiten"), QStringLiteral("BEARBEITEN"), 240, 960, 2415, 375);
    cmd_abbrechen = knopf(Frame3, QStringLiteral("cmd_abbrechen"), QStringLiteral("ABBRECHEN"), 240, 1440, 2415, 375);
    cmd_speichern = knopf(Frame3, QStringLiteral("cmd_speichern"), QStringLiteral("SPEICHERN"), 240, 1920, 2415, 375);
    cmd_loeschen = knopf(Frame3, QStringLiteral("cmd_löschen"), QStringLiteral("LÖSCHEN"), 240, 2400, 2415, 375);
    cmd_loeschen->setEnabled(false);

    // Tab "Übersicht".
    Shape2 = flaeche(uebersicht, QStringLiteral("Shape2"), dunkelblau);
    aufReiter(Shape2, 120, 360, 10935, 7215);
    DataGrid1 = new QTableView(uebersicht);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    aufReiter(DataGrid1, 240, 480, 10695, 5535);

    Frame4 = flaeche(uebersicht, QStringLiteral("Frame4"), QColor(), QStringLiteral("Frame4"));
    aufReiter(Frame4, 240, 6120, 10695, 1215);
    txt_suchbegriff = new QLineEdit(QStringLiteral("...Suchbegriff"), Frame4);
    txt_suchbegriff->setObjectName(QStringLiteral("txt_suchbegriff"));
    Geometrie::setze(txt_suchbegriff, 1440, 240, 2895, 375);
    cmd_suchen = knopf(Frame4, QStringLiteral("cmd_suchen"), QStringLiteral("SUCHEN"), 4440, 240, 1695, 375);
    cmd_alle = knopf(Frame4, QStringLiteral("cmd_alle"), QStringLiteral("RESET"), 6240, 240, 1695, 375);
    cmd_drucken = knopf(Frame4, QStringLiteral("cmd_drucken"), QStringLiteral("DRUCKEN"), 8040, 240, 1695, 375);
    cmd_drucken->setVisible(false);
    lbl_treffer = new QLabel(Frame4);
    lbl_treffer->setObjectName(QStringLiteral("lbl_treffer"));
    lbl_treffer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Geometrie::setze(lbl_treffer, 8160, 240, 2415, 375);
    auto option = [this](QRadioButton *&o, const QString &name, const QString &text, int links, int breite) {
        o = new QRadioButton(text, Frame4);
        o->setObjectName(name);
        Geometrie::setze(o, links, 840, breite, 255);
        einpassen(o, text);
    };
    option(opt_frequenz, QStringLiteral("opt_frequenz"), QStringLiteral("Frequenz"), 1560, 1335);
    option(opt_skip, QStringLiteral("opt_skip"), QStringLiteral("CallSign"), 3600, 1455);
    option(opt_vorname, QStringLiteral("opt_vorname"), QStringLiteral("Datum"), 5640, 1215);
    option(opt_qth, QStringLiteral("opt_qth"), QStringLiteral("QTH"), 7440, 855);
    option(opt_land, QStringLiteral("opt_land"), QStringLiteral("Land"), 8760, 975);
    opt_skip->setChecked(true);

    // The Tab key visits the boxes in this order, then the remark, the
    // buttons and the search panel.
    const QList<QWidget *> reihe{
        txt_land,       txt_vorname,   txt_ort,       txt_callsign, txt_skip,  txt_datum,       txt_uhrzeit,
        txt_kanal,      txt_frequenz,  txt_swert,     txt_rwert,    txt_band,  RichTextBox1,    cmd_neu,
        cmd_bearbeiten, cmd_abbrechen, cmd_speichern, cmd_loeschen, DataGrid1, txt_suchbegriff, cmd_suchen,
        cmd_alle,       opt_frequenz,  opt_skip,      opt_vorname,  opt_qth,   opt_land};
    for (int i = 1; i < reihe.size(); ++i)
        setTabOrder(reihe[i - 1], reihe[i]);

    reiterAusrichten();
}

void frm_eintrag::bindeFelder()
{
    Adodc1->bindeGrid(DataGrid1, {{QStringLiteral("Frequenz"), QStringLiteral("frequenz"), 2655},
                                  {QStringLiteral("Datum"), QStringLiteral("datum"), 1875},
                                  {QStringLiteral("CallSign"), QStringLiteral("callsign"), 2310},
                                  {QStringLiteral("QTH"), QStringLiteral("ort"), 1995},
                                  {QStringLiteral("R-Wert"), QStringLiteral("rwert"), 1215}});
    const QFontMetrics fm(DataGrid1->font());
    DataGrid1->verticalHeader()->setDefaultSectionSize(fm.height() + 6);
    DataGrid1->verticalHeader()->setFixedWidth(Geometrie::twips(270));
    DataGrid1->horizontalHeader()->setFixedHeight(fm.height() + 8);
    DataGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Adodc1->binde(txt_callsign, QStringLiteral("callsign"));
    Adodc1->binde(txt_skip, QStringLiteral("skip"));
    Adodc1->binde(txt_vorname, QStringLiteral("vorname"));
    Adodc1->binde(txt_land, QStringLiteral("land"));
    Adodc1->binde(txt_swert, QStringLiteral("swert"));
    Adodc1->binde(txt_rwert, QStringLiteral("rwert"));
    Adodc1->binde(txt_datum, QStringLiteral("datum"));
    Adodc1->binde(txt_uhrzeit, QStringLiteral("uhrzeit"));
    Adodc1->binde(txt_kanal, QStringLiteral("lanal"));
    Adodc1->binde(txt_frequenz, QStringLiteral("frequenz"));
    Adodc1->binde(txt_band, QStringLiteral("band"));
    Adodc1->binde(txt_ort, QStringLiteral("ort"));

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

bool frm_eintrag::eventFilter(QObject *objekt, QEvent *ereignis)
{
    const QEvent::Type typ = ereignis->type();
    if (objekt == txt_datum && typ == QEvent::FocusIn) {
        // Only the user entering the box counts, not the focus coming back
        // when the window is activated again or a menu closes.
        switch (static_cast<QFocusEvent *>(ereignis)->reason()) {
        case Qt::MouseFocusReason:
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason: txt_datum_GotFocus(); break;
        default: break;
        }
    } else if (objekt == txt_suchbegriff && typ == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent *>(ereignis)->button() == Qt::LeftButton)
            txt_suchbegriff_Click();
    } else if (objekt == RichTextBox1 && (typ == QEvent::ShortcutOverride || typ == QEvent::KeyPress)) {
        auto *taste = static_cast<QKeyEvent *>(ereignis);
        int art = -1;
        if (taste->matches(QKeySequence::Bold))
            art = 0;
        else if (taste->matches(QKeySequence::Italic))
            art = 1;
        else if (taste->matches(QKeySequence::Underline))
            art = 2;
        if (art >= 0 && !RichTextBox1->isReadOnly()) {
            taste->accept();
            if (typ == QEvent::KeyPress)
                formatUmschalten(art);
            return true;
        }
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

void frm_eintrag::formatUmschalten(int art)
{
    const QTextCharFormat jetzt = RichTextBox1->currentCharFormat();
    QTextCharFormat f;
    if (art == 0)
        f.setFontWeight(jetzt.fontWeight() >= QFont::Bold ? QFont::Normal : QFont::Bold);
    else if (art == 1)
        f.setFontItalic(!jetzt.fontItalic());
    else
        f.setFontUnderline(!jetzt.fontUnderline());
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
    if (!txt_datum->isReadOnly())
        txt_datum->setText(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
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
}

void frm_eintrag::Adodc1_MoveComplete(int)
{
    // The editing buttons set their state after their own moves. Any other
    // move has left the record being created or edited, and the data view
    // has written its input or dropped it untouched.
    if (m_zustand != Zustand::Browse)
        status_normal();
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
    try {
        Adodc1->AddNew();   // writes a country typed in Browse first
    } catch (const DatenFehler &f) {
        Meldung::fehler(f);
        return;
    }
    status_neu();
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
}

void frm_eintrag::cmd_abbrechen_Click()
{
    Meldung::abfangen([this] {
        Adodc1->Cancel();   // the fields show what is stored: nothing left to write
        Adodc1->Refresh();
        status_normal();
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

void frm_eintrag::txt_suchbegriff_Click()
{
    txt_suchbegriff->clear();
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
