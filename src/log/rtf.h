#pragma once
#include <QString>

class QTextDocument;

// The log's remark is stored as RTF. These turn RTF into a QTextDocument and
// back, without any widget.
namespace Rtf {
// Replaces the document's content with what the RTF text holds. Never fails:
// broken input yields the text that could be read; text that is not RTF at
// all is taken as plain text.
void lesen(const QString &rtf, QTextDocument *dokument);
// The document as RTF that common word processors open.
QString schreiben(const QTextDocument &dokument);
// The plain text of an RTF text.
QString alsText(const QString &rtf);
}
