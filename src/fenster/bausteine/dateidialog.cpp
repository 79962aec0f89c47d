// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/dateidialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace {

Dateidialog::Ersatz &ersatz()
{
    static Dateidialog::Ersatz e;
    return e;
}

// The first extension a file type names: "CHIRP (*.csv)" -> "csv".
QString endung(const QString &filter)
{
    static const QRegularExpression muster(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    return muster.match(filter).captured(1);
}

QString schluessel(Dateidialog::Ordner ordner)
{
    switch (ordner) {
    case Dateidialog::Ordner::Export: return QStringLiteral("Ordner/Export");
    case Dateidialog::Ordner::Import: return QStringLiteral("Ordner/Import");
    case Dateidialog::Ordner::Pdf: return QStringLiteral("Ordner/PDF");
    case Dateidialog::Ordner::Bild: return QStringLiteral("Ordner/Bild");
    }
    return QString();
}

// The platform's file dialog, opening on a folder.
Dateidialog::Wahl dialog(QWidget *eltern, Dateidialog::Art art, const QString &titel, const QStringList &filter,
                         const QString &ordner)
{
    using Art = Dateidialog::Art;
    QFileDialog d(eltern, titel, ordner);
    d.setObjectName(QStringLiteral("dateidialog"));
    d.setNameFilters(filter);
    if (art == Art::Speichern) {
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setFileMode(QFileDialog::AnyFile);
        d.setDefaultSuffix(endung(filter.value(0)));
        QObject::connect(&d, &QFileDialog::filterSelected, &d,
                         [&d](const QString &f) { d.setDefaultSuffix(endung(f)); });
    } else {
        d.setAcceptMode(QFileDialog::AcceptOpen);
        d.setFileMode(QFileDialog::ExistingFile);
    }
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return {};
    return {d.selectedFiles().constFirst(), d.selectedNameFilter()};
}

}   // namespace

QString Dateidialog::letzterOrdner(Ordner ordner)
{
    const QString gemerkt = QSettings().value(schluessel(ordner)).toString();
    if (!gemerkt.isEmpty() && QFileInfo(gemerkt).isDir())
        return gemerkt;
    if (ordner == Ordner::Pdf) {
        const QString dokumente = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!dokumente.isEmpty() && QFileInfo(dokumente).isDir())
            return dokumente;
    }
    return QDir::homePath();
}

void Dateidialog::merkeOrdner(Ordner ordner, const QString &datei)
{
    if (datei.isEmpty())
        return;
    const QString ort = QFileInfo(datei).absolutePath();
    if (QFileInfo(ort).isDir())
        QSettings().setValue(schluessel(ordner), ort);
}

Dateidialog::Wahl Dateidialog::zeigen(QWidget *eltern, Art art, const QString &titel, const QStringList &filter)
{
    return zeigen(eltern, art, titel, filter, art == Art::Speichern ? Ordner::Export : Ordner::Import);
}

Dateidialog::Wahl Dateidialog::zeigen(QWidget *eltern, Art art, const QString &titel, const QStringList &filter,
                                      Ordner ordner)
{
    Wahl w = ersatz() ? ersatz()(art, titel, filter) : dialog(eltern, art, titel, filter, letzterOrdner(ordner));
    merkeOrdner(ordner, w.datei);
    return w;
}

void Dateidialog::setzeErsatz(Ersatz e)
{
    ersatz() = std::move(e);
}
