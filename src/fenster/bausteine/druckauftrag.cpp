// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/druckauftrag.h"

#include "fenster/bausteine/dateidialog.h"
#include "fenster/bausteine/meldung.h"
#include "kern/basis/dateikopie.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>

#include <optional>

namespace {

Druckauftrag::Druckerwahl &druckerwahl()
{
    static Druckauftrag::Druckerwahl w;
    return w;
}

Druckauftrag::Dateiwahl &dateiwahl()
{
    static Druckauftrag::Dateiwahl w;
    return w;
}

}   // namespace

void Druckauftrag::setzeDruckerwahl(Druckerwahl wahl)
{
    druckerwahl() = std::move(wahl);
}

void Druckauftrag::setzeDateiwahl(Dateiwahl wahl)
{
    dateiwahl() = std::move(wahl);
}

QString Druckauftrag::dateiname(const QString &name)
{
    static const QString verboten = QStringLiteral("/\\:*?\"<>|");
    QString n;
    for (const QChar c : name.simplified()) {   // line breaks and tabs are blanks
        if (verboten.contains(c))
            n += QLatin1Char('-');
        else if (c.category() != QChar::Other_Control)   // NUL, the C0 and C1 codes, DEL
            n += c;
    }
    n = n.simplified();
    while (n.startsWith(QLatin1Char('.')))
        n = n.mid(1).trimmed();
    // A file name holds 255 bytes; room is left for ".pdf" and more.
    while (n.toUtf8().size() > 200)
        n.chop(n.size() > 1 && n.at(n.size() - 1).isLowSurrogate() ? 2 : 1);
    while (n.endsWith(QLatin1Char('.')) || n.endsWith(QLatin1Char(' ')))
        n.chop(1);
    return n.isEmpty() ? QStringLiteral("Ausdruck") : n;
}

namespace {
// Writes the pages into a PDF file on pages of that layout (the default:
// A4); a failure says why.
Ergebnis<> pdfErzeugen(const QString &datei, const QString &titel, const Druckauftrag::Seiten &seiten,
                       const std::optional<QPageLayout> &seite)
{
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&puffer);
        pdf.setTitle(titel.simplified());
        pdf.setCreator(QStringLiteral("tremvik-tool"));
        if (seite)
            pdf.setPageLayout(*seite);
        else
            pdf.setPageSize(QPageSize(QPageSize::A4));
        if (!seiten(pdf))
            return Ergebnis<>::fehler(QStringLiteral("Die PDF-Datei kann nicht erzeugt werden."));
    }
    if (const Ergebnis<> e = Dateikopie::schreibe(datei, puffer.data()); !e)
        return Ergebnis<>::fehler(
            QStringLiteral("Die Datei \u201E%1\u201C kann nicht geschrieben werden: %2").arg(datei, e.grund()));
    return Ergebnis<>::erledigt();
}

// The PDF at its place, or why not.
void pdfMelden(const QString &datei, const Ergebnis<> &ergebnis)
{
    if (ergebnis)
        Meldung::status(QStringLiteral("PDF gespeichert: ") + QDir::toNativeSeparators(datei));
    else
        Meldung::zeigen(ergebnis.grund(), Meldung::Symbol::Fehler);
}
}   // namespace

void Druckauftrag::drucken(QWidget *eltern, const QString &titel, const Seiten &seiten)
{
    QPrinter drucker(QPrinter::HighResolution);
    // The dialog proposes a file for a PDF from the document's name: one a
    // disk takes, its ending given so that a dot in the title stays.
    drucker.setDocName(dateiname(titel) + QStringLiteral(".pdf"));
    drucker.setCreator(QStringLiteral("tremvik-tool"));
    bool weiter;
    if (druckerwahl()) {
        weiter = druckerwahl()(drucker);
    } else {
        QPrintDialog dialog(&drucker, eltern);
        dialog.setObjectName(QStringLiteral("druckdialog"));
        dialog.setWindowTitle(QStringLiteral("Drucken"));
        // Every page is printed: the printout knows no page ranges.
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        weiter = dialog.exec() == QDialog::Accepted;
    }
    if (!weiter)
        return;
    drucker.setDocName(titel.simplified());
    if (drucker.outputFormat() == QPrinter::PdfFormat && !drucker.outputFileName().isEmpty()) {
        // Into a file: written whole, and a failure names its reason.
        const QString datei = drucker.outputFileName();
        pdfMelden(datei, pdfErzeugen(datei, titel, seiten, drucker.pageLayout()));
        return;
    }
    if (!seiten(drucker) || drucker.printerState() == QPrinter::Error)
        Meldung::zeigen(QStringLiteral("Der Druck ist fehlgeschlagen: Der Drucker \u201E%1\u201C kann nicht "
                                       "verwendet werden.")
                            .arg(drucker.outputFileName().isEmpty() ? drucker.printerName() : drucker.outputFileName()),
                        Meldung::Symbol::Fehler);
}

Ergebnis<> Druckauftrag::pdfSchreiben(const QString &datei, const QString &titel, const Seiten &seiten)
{
    return pdfErzeugen(datei, titel, seiten, std::nullopt);
}

void Druckauftrag::alsPdf(QWidget *eltern, const QString &titel, const QString &name, const Seiten &seiten)
{
    const QString vorschlag =
        QDir(Dateidialog::letzterOrdner(Dateidialog::Ordner::Pdf)).filePath(dateiname(name) + QStringLiteral(".pdf"));

    QString datei;
    if (dateiwahl()) {
        datei = dateiwahl()(vorschlag);
    } else {
        QFileDialog dialog(eltern, QStringLiteral("Als PDF speichern"), vorschlag,
                           QStringLiteral("PDF-Dateien (*.pdf)"));
        dialog.setObjectName(QStringLiteral("pdfdialog"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            datei = dialog.selectedFiles().constFirst();
    }
    if (datei.isEmpty())
        return;
    Dateidialog::merkeOrdner(Dateidialog::Ordner::Pdf, datei);
    pdfMelden(datei, pdfSchreiben(datei, titel, seiten));
}
