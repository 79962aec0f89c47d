// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/log/bemerkungsfeld.h"

#include "fenster/bausteine/meldung.h"
#include "kern/formate/rtf.h"

#include <QMap>
#include <QMimeData>
#include <QPointer>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVariant>

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

namespace {
// A run's format as it is drawn: the user properties (what the RTF gave,
// kept for writing it again) draw nothing.
QTextCharFormat sichtbar(QTextCharFormat f)
{
    const QMap<int, QVariant> eigenschaften = f.properties();
    for (auto it = eigenschaften.begin(); it != eigenschaften.end(); ++it)
        if (it.key() >= QTextFormat::UserProperty)
            f.clearProperty(it.key());
    return f;
}

// Gives adjacent runs that look the same the format of the first, so that
// the layout takes them as one. False, with nothing changed, when the
// document still holds more than so many runs.
bool laeufeZusammenlegen(QTextDocument *d, int hoechstens)
{
    int laeufe = 0;
    // Runs of several formats that look the same: given the first one's.
    struct Bereich
    {
        int anfang, ende;
        QTextCharFormat format;
        bool gemischt;
    };
    QVector<Bereich> zusammen;
    for (QTextBlock block = d->begin(); block.isValid(); block = block.next()) {
        bool erster = true;   // a run goes no further than its paragraph
        QTextCharFormat vorher;
        int formatVorher = -1;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment teil = it.fragment();
            const int index = teil.charFormatIndex();
            if (!erster && index == formatVorher) {
                zusammen.back().ende = teil.position() + teil.length();
                continue;
            }
            const QTextCharFormat format = teil.charFormat();
            if (!erster && sichtbar(format) == sichtbar(vorher)) {
                zusammen.back().ende = teil.position() + teil.length();
                zusammen.back().gemischt = true;
                formatVorher = index;
                continue;
            }
            if (++laeufe > hoechstens)
                return false;
            erster = false;
            zusammen.append({teil.position(), teil.position() + teil.length(), format, false});
            vorher = format;
            formatVorher = index;
        }
    }
    // One edit: the document tells of the change once, not at every run.
    QTextCursor c(d);
    c.beginEditBlock();
    for (const Bereich &b : std::as_const(zusammen)) {
        if (!b.gemischt)
            continue;
        c.setPosition(b.anfang);
        c.setPosition(b.ende, QTextCursor::KeepAnchor);
        c.setCharFormat(b.format);
    }
    c.endEditBlock();
    return true;
}
}

QString Bemerkungsfeld::ohneFormatierungText()
{
    return QStringLiteral(
        "Diese Bemerkung hat zu viele Formatierungen und wird ohne sie gezeigt. Gespeichert bleibt sie "
        "mit ihnen, solange sie nicht geändert wird.");
}

void Bemerkungsfeld::zeigeRtf(const QVariant &rtf)
{
    // Read into a document of its own: the box lays it out once, not at
    // every run that goes in.
    auto *neu = new QTextDocument(this);
    neu->setUndoRedoEnabled(false);
    neu->setDefaultFont(font());
    if (!rtf.isNull())
        Rtf::lesen(rtf.toString(), neu);
    m_ohneFormatierung = !laeufeZusammenlegen(neu, maxLaeufe);
    if (m_ohneFormatierung)
        neu->setPlainText(neu->toPlainText());
    neu->setUndoRedoEnabled(true);
    neu->setModified(false);
    // The box lets go of a document it did not make itself: an earlier
    // remark's goes here.
    const QPointer<QTextDocument> alt = document();
    setDocument(neu);
    if (alt && alt->parent() == this)
        delete alt;
    setCurrentCharFormat(QTextCharFormat());
    moveCursor(QTextCursor::Start);
    setToolTip(m_ohneFormatierung ? ohneFormatierungText() : QString());
    if (m_ohneFormatierung)
        Meldung::status(ohneFormatierungText());
}

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
