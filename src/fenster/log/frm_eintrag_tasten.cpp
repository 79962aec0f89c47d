#include "fenster/log/frm_eintrag.h"

#include "fenster/log/bemerkungsfeld.h"

#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableView>

#include <optional>

// The log window's keys and focus: what a key or the focus does beyond what
// the controls do themselves.

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
