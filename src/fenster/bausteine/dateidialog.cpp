#include "fenster/bausteine/dateidialog.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>

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

}   // namespace

Dateidialog::Wahl Dateidialog::zeigen(QWidget *eltern, Art art, const QString &titel, const QStringList &filter)
{
    if (ersatz())
        return ersatz()(art, titel, filter);
    QFileDialog d(eltern, titel, QDir::homePath());
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

void Dateidialog::setzeErsatz(Ersatz e)
{
    ersatz() = std::move(e);
}
