#include "log/rtf.h"

#include <QTextDocument>

// Placeholder: plain text only, until the RTF reader and writer are in.
void Rtf::lesen(const QString &rtf, QTextDocument *dokument)
{
    dokument->setPlainText(rtf);
}

QString Rtf::schreiben(const QTextDocument &dokument)
{
    return dokument.toPlainText();
}

QString Rtf::alsText(const QString &rtf)
{
    return rtf;
}
