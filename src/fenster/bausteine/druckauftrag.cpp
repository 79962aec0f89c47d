#include "fenster/bausteine/druckauftrag.h"

#include "kern/basis/dateikopie.h"
#include "fenster/bausteine/meldung.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>

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

void Druckauftrag::drucken(QWidget *eltern, const QString &titel, const Seiten &seiten)
{
    QPrinter drucker(QPrinter::HighResolution);
    drucker.setDocName(titel.simplified());
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
    if (!seiten(drucker) || drucker.printerState() == QPrinter::Error)
        Meldung::zeigen(QStringLiteral("Der Druck ist fehlgeschlagen: Der Drucker \u201E%1\u201C kann nicht "
                                       "verwendet werden.")
                            .arg(drucker.outputFileName().isEmpty() ? drucker.printerName() : drucker.outputFileName()),
                        Meldung::Symbol::Fehler);
}

Ergebnis<> Druckauftrag::pdfSchreiben(const QString &datei, const QString &titel, const Seiten &seiten)
{
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&puffer);
        pdf.setTitle(titel.simplified());
        pdf.setCreator(QStringLiteral("tremvik-tool"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        if (!seiten(pdf))
            return Ergebnis<>::fehler(QStringLiteral("Die PDF-Datei kann nicht erzeugt werden."));
    }
    if (const Ergebnis<> e = Dateikopie::schreibe(datei, puffer.data()); !e)
        return Ergebnis<>::fehler(
            QStringLiteral("Die Datei \u201E%1\u201C kann nicht geschrieben werden: %2").arg(datei, e.grund()));
    return Ergebnis<>::erledigt();
}

void Druckauftrag::alsPdf(QWidget *eltern, const QString &titel, const QString &name, const Seiten &seiten)
{
    QString ordner = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (ordner.isEmpty() || !QFileInfo(ordner).isDir())
        ordner = QDir::homePath();
    QString vorschlag = name.simplified();
    vorschlag.replace(QLatin1Char('/'), QLatin1Char('-'));
    vorschlag = QDir(ordner).filePath(vorschlag + QStringLiteral(".pdf"));

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
    if (const Ergebnis<> e = pdfSchreiben(datei, titel, seiten); !e)
        Meldung::zeigen(e.grund(), Meldung::Symbol::Fehler);
}
