#include "fenster/log/bemerkungsfeld.h"

#include "fenster/bausteine/meldung.h"

#include <QMimeData>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>

namespace {
const QString qtRichText = QStringLiteral("application/x-qrichtext");

// Whether a fragment's text holds nothing but object characters (its
// pictures) and blanks.
bool ohneText(const QString &text)
{
    for (const QChar c : text)
        if (c != QChar::ObjectReplacementCharacter && !c.isSpace())
            return false;
    return true;
}
}

Bemerkungsfeld::Bemerkungsfeld(QWidget *parent) : QTextEdit(parent) { }

QString Bemerkungsfeld::nurBildText()
{
    return QStringLiteral("Bilder können in der Bemerkung nicht gespeichert werden.");
}

bool Bemerkungsfeld::nurBild(const QMimeData *quelle) const
{
    // As the box reads it: its own rich text or HTML first, then plain text.
    if (acceptRichText() && (quelle->hasFormat(qtRichText) || quelle->hasHtml())) {
        const QString html =
            quelle->hasFormat(qtRichText) ? QString::fromUtf8(quelle->data(qtRichText)) : quelle->html();
        const QString text = QTextDocumentFragment::fromHtml(html, document()).toPlainText();
        return text.contains(QChar::ObjectReplacementCharacter) && ohneText(text);
    }
    if (!quelle->text().isEmpty())
        return false;
    if (quelle->hasImage())
        return true;
    const QStringList formate = quelle->formats();
    return std::any_of(formate.begin(), formate.end(),
                       [](const QString &f) { return f.startsWith(QLatin1String("image/")); });
}

void Bemerkungsfeld::insertFromMimeData(const QMimeData *quelle)
{
    if (nurBild(quelle)) {
        Meldung::zeigen(nurBildText(), Meldung::Symbol::Fehler);
        return;
    }
    // One step for undo: the text goes in and its pictures go out together.
    QTextCursor schritt = textCursor();
    schritt.beginEditBlock();
    const int anfang = schritt.selectionStart();
    QTextEdit::insertFromMimeData(quelle);
    bilderEntfernen(anfang, textCursor().position());
    schritt.endEditBlock();
}

void Bemerkungsfeld::bilderEntfernen(int von, int bis)
{
    QTextDocument *d = document();
    QTextCursor c(d);
    for (int pos = bis - 1; pos >= von; --pos) {
        if (d->characterAt(pos) != QChar::ObjectReplacementCharacter)
            continue;
        c.setPosition(pos);
        c.setPosition(pos + 1, QTextCursor::KeepAnchor);
        if (c.charFormat().isImageFormat())
            c.removeSelectedText();
    }
}
