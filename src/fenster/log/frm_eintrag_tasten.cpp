// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/log/frm_eintrag.h"

#include "fenster/log/bemerkungsfeld.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include <functional>
#include <optional>

// The log window's keys and focus: what a key or the focus does beyond what
// the controls do themselves.

namespace {
// Ctrl+Tab for the remark, seen before anyone else sees it: the
// multiple-document area takes Ctrl+Tab for itself (to switch windows)
// before the remark's own filters would.
class Tabulatorfilter : public QObject
{
public:
    Tabulatorfilter(QWidget *ziel, std::function<bool(QKeyEvent *)> taste)
        : QObject(ziel), m_ziel(ziel), m_taste(std::move(taste))
    {
        qApp->installEventFilter(this);
    }
    ~Tabulatorfilter() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *objekt, QEvent *ereignis) override
    {
        const QEvent::Type typ = ereignis->type();
        return objekt == m_ziel && (typ == QEvent::ShortcutOverride || typ == QEvent::KeyPress)
               && m_taste(static_cast<QKeyEvent *>(ereignis));
    }

private:
    QWidget *m_ziel;
    std::function<bool(QKeyEvent *)> m_taste;
};

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
    if (typ == QEvent::ShortcutOverride && static_cast<QKeyEvent *>(ereignis)->matches(QKeySequence::Undo)) {
        // A box with nothing of its own to undo leaves Ctrl+Z to the
        // window: it brings the last deleted record back.
        if (auto *feld = qobject_cast<QLineEdit *>(objekt); feld && !feld->isUndoAvailable()) {
            ereignis->ignore();
            return true;
        }
    }
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

bool frm_eintrag::tabulatorTaste(QKeyEvent *taste)
{
    // Tab moves on as everywhere; Ctrl+Tab puts a tab into the remark.
    if (taste->key() != Qt::Key_Tab || !(taste->modifiers() & Qt::ControlModifier) || RichTextBox1->isReadOnly())
        return false;
    taste->accept();
    if (taste->type() == QEvent::KeyPress)
        RichTextBox1->insertPlainText(QStringLiteral("\t"));
    return true;
}

void frm_eintrag::tastenBauen()
{
    auto taste = [this](const char *name, const QString &text, const QKeySequence &folge,
                        const std::function<void()> &tun) {
        auto *a = new QAction(text, this);
        a->setObjectName(QString::fromUtf8(name));
        a->setShortcut(folge);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);   // only in this window
        addAction(a);
        connect(a, &QAction::triggered, this, tun);
        return a;
    };
    // A key acts only where a click on its button would.
    taste_neu = taste("taste_neu", QStringLiteral("NEU"), QKeySequence(Qt::CTRL | Qt::Key_N), [this] {
        if (!cmd_neu->isEnabled())
            return;
        SSTab1->setCurrentIndex(0);   // the new record is seen
        cmd_neu->click();
    });
    taste_speichern = taste("taste_speichern", QStringLiteral("SPEICHERN"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] {
        if (cmd_speichern->isEnabled())
            cmd_speichern->click();
    });
    taste_abbrechen = taste("taste_abbrechen", QStringLiteral("ABBRECHEN"), QKeySequence(Qt::Key_Escape), [this] {
        if (cmd_abbrechen->isEnabled())
            cmd_abbrechen->click();
    });
    taste_suchen = taste("taste_suchen", QStringLiteral("Suchen"), QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        SSTab1->setCurrentIndex(1);
        txt_suchbegriff->setFocus(Qt::ShortcutFocusReason);   // not a click: the term stays
        txt_suchbegriff->selectAll();
    });
    rueckgaengig = taste("rueckgaengig", QStringLiteral("Rückgängig"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                         [this] { rueckgaengig_Click(); });
    uebersicht_drucken->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    uebersicht_drucken->setShortcutVisibleInContextMenu(true);

    cmd_neu->setToolTip(QStringLiteral("Neuer Eintrag (Strg+N)"));
    cmd_speichern->setToolTip(QStringLiteral("Eintrag speichern (Strg+S)"));
    cmd_abbrechen->setToolTip(QStringLiteral("Eingabe verwerfen (Esc)"));
    txt_suchbegriff->setToolTip(QStringLiteral("Suchbegriff (Strg+F)"));

    RichTextBox1->setTabChangesFocus(true);
    new Tabulatorfilter(RichTextBox1, [this](QKeyEvent *k) { return tabulatorTaste(k); });
}
