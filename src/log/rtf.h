#pragma once
#include <QByteArray>
#include <QString>

class QTextDocument;

// The log's remark is stored as RTF. These turn RTF into a QTextDocument and
// back, without any widget.
namespace Rtf {
// Replaces the document's content with what the RTF text holds. Never fails:
// broken input yields the text that could be read; text that is not RTF at
// all is taken as plain text.
void lesen(const QString &rtf, QTextDocument *dokument);
// The document as RTF that common word processors open: pure ASCII, fonts
// by the family names the document gives, characters beyond ASCII as \'hh
// (Windows-1252) or \uN.
QString schreiben(const QTextDocument &dokument);
// The plain text of an RTF text; paragraphs and line breaks become '\n'.
QString alsText(const QString &rtf);

// Whether a text is RTF at all (starts with "{\rtf", blanks aside).
bool istRtf(const QString &text);
// The content of an RTF file as text for lesen(): 8-bit bytes are in the
// document's code page and become \'hh. A file that is not RTF is read as
// UTF-8 plain text.
QString ausBytes(const QByteArray &daten);
}
