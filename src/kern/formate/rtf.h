// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

class QTextCharFormat;
class QTextDocument;

// The log's remark is stored as RTF. These turn RTF into a QTextDocument and
// back, without any widget.
namespace Rtf {
// Replaces the document's content with what the RTF text holds. Never fails:
// broken input yields the text that could be read; text that is not RTF at
// all is taken as plain text.
// Every font the text is drawn in (a family in a size, weight, slant and
// vertical alignment) costs the text layout a font engine, and past a few
// hundred Qt's font cache drops and rebuilds them all along: a remark with
// thousands of fonts would freeze the window. So the first maxSchriften
// fonts are drawn as the RTF gives them; later runs keep weight, slant and
// alignment and are drawn in the nearest size their family is drawn in
// already, a family not drawn yet in the document's default font. Their
// formats keep what the RTF gave (schriftfamilie, punktgroesse) for
// schreiben().
void lesen(const QString &rtf, QTextDocument *dokument);
constexpr int maxSchriften = 64;
// The document as RTF that common word processors open: pure ASCII, fonts
// by the family names the document gives, characters beyond ASCII as \'hh
// (Windows-1252) or \uN.
QString schreiben(const QTextDocument &dokument);
// The font family and size (in points) of a run as the RTF gives them,
// also where the run is drawn in others; empty or 0 where the format gives
// none (the document's default font).
QString schriftfamilie(const QTextCharFormat &format);
double punktgroesse(const QTextCharFormat &format);
// The plain text of an RTF text; paragraphs and line breaks become '\n'.
QString alsText(const QString &rtf);

// Whether a text is RTF at all (starts with "{\rtf", blanks aside).
bool istRtf(const QString &text);
// The content of an RTF file as text for lesen(): 8-bit bytes are in the
// document's code page and become \'hh. A file that is not RTF is read as
// UTF-8 plain text.
QString ausBytes(const QByteArray &daten);
}
