// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/sicherung/dateiauswahl.h"

#include "kern/sicherung/sicherungsdatei.h"
#include "kern/basis/speicherorte.h"
#include "fenster/bausteine/geometrie.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QMdiSubWindow>
#include <QStyledItemDelegate>

#include <dirent.h>

namespace {
constexpr int PfadRolle = Qt::UserRole;
constexpr int TiefeRolle = Qt::UserRole + 1;

// Indents each folder by its depth below the root.
class Einrueckung : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem o(option);
        o.rect.adjust(schritt() * index.data(TiefeRolle).toInt(), 0, 0, 0);
        QStyledItemDelegate::paint(painter, o, index);
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.rwidth() += schritt() * index.data(TiefeRolle).toInt();
        return s;
    }
    static int schritt() { return Geometrie::twips(180); }
};

QString sauber(const QString &pfad)
{
    QString p = QDir::cleanPath(pfad);
    if (p.isEmpty())
        return p;
    if (!p.startsWith(QLatin1Char('/')))
        p = QDir::cleanPath(QDir::current().absoluteFilePath(p));
    return p;
}

bool lesbarerOrdner(const QString &pfad)
{
    DIR *d = ::opendir(QFile::encodeName(pfad).constData());
    if (!d)
        return false;
    ::closedir(d);
    return true;
}
}

// ---------------------------------------------------------------- Laufwerkliste

Laufwerkliste::Laufwerkliste(QWidget *parent) : QComboBox(parent)
{
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

void Laufwerkliste::setzeLaufwerke(const QList<Laufwerke::Laufwerk> &laufwerke)
{
    const QSignalBlocker sperre(this);
    m_laufwerke = laufwerke;
    clear();
    const QIcon symbol = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const Laufwerke::Laufwerk &l : laufwerke)
        addItem(symbol, l.text(), l.pfad);
}

QString Laufwerkliste::laufwerk() const
{
    return currentData().toString();
}

void Laufwerkliste::zeigeFuer(const QString &ordner)
{
    const QSignalBlocker sperre(this);
    setCurrentIndex(Laufwerke::zu(ordner, m_laufwerke));
}

void Laufwerkliste::showPopup()
{
    const QString aktuell = laufwerk();
    const QList<Laufwerke::Laufwerk> neu = Laufwerke::liste();
    if (neu != m_laufwerke) {
        setzeLaufwerke(neu);
        const QSignalBlocker sperre(this);
        const int i = findData(aktuell);
        setCurrentIndex(i >= 0 ? i : Laufwerke::zu(aktuell, m_laufwerke));
    }
    QComboBox::showPopup();
}

// ---------------------------------------------------------------- Ordnerliste

Ordnerliste::Ordnerliste(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new Einrueckung(this));
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { setzePfad(item->data(PfadRolle).toString()); });
}

QString Ordnerliste::pfadVon(int zeile) const
{
    const QListWidgetItem *i = item(zeile);
    return i ? i->data(PfadRolle).toString() : QString();
}

bool Ordnerliste::setzePfad(const QString &pfad)
{
    const QString neu = sauber(pfad);
    if (neu.isEmpty() || !lesbarerOrdner(neu))
        return false;
    const QStringList unter =
        QDir(neu).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    const bool anders = neu != m_pfad;
    m_pfad = neu;
    fuellen(unter);
    if (anders)
        Q_EMIT geaendert();
    return true;
}

void Ordnerliste::fuellen(const QStringList &unterordner)
{
    clear();
    const QIcon offen = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon zu = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto neu = [this](const QIcon &symbol, const QString &text, const QString &pfad, int tiefe) {
        auto *i = new QListWidgetItem(symbol, text, this);
        i->setData(PfadRolle, pfad);
        i->setData(TiefeRolle, tiefe);
    };

    // The root and every folder down to the current one, open.
    neu(offen, QStringLiteral("/"), QStringLiteral("/"), 0);
    const QStringList teile = m_pfad.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString weg;
    for (int t = 0; t < teile.size(); ++t) {
        weg += QLatin1Char('/') + teile[t];
        neu(offen, teile[t], weg, t + 1);
    }
    m_zeile = count() - 1;
    const int tiefe = teile.size() + 1;
    for (const QString &u : unterordner)
        neu(zu, u, m_pfad == QLatin1String("/") ? m_pfad + u : m_pfad + QLatin1Char('/') + u, tiefe);
    setCurrentRow(m_zeile);
    scrollToItem(item(m_zeile), QAbstractItemView::PositionAtTop);
}

// ---------------------------------------------------------------- Dateiliste

Dateiliste::Dateiliste(const QString &muster, QWidget *parent) : QListWidget(parent), m_muster(muster) { }

void Dateiliste::setzePfad(const QString &pfad)
{
    m_pfad = pfad;
    clear();
    if (!lesbarerOrdner(pfad))
        return;
    addItems(QDir(pfad).entryList({m_muster}, QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware));
}

QStringList Dateiliste::dateien() const
{
    QStringList namen;
    for (int i = 0; i < count(); ++i)
        namen.append(item(i)->text());
    return namen;
}

// ---------------------------------------------------------------- DateiauswahlFenster

DateiauswahlFenster::DateiauswahlFenster(QWidget *parent) : KindFenster(parent) { }

void DateiauswahlFenster::baueFrame1()
{
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Geometrie::setze(Frame1, 0, 0, 7815, 2535);
}

void DateiauswahlFenster::baueFile1()
{
    File1 = new Dateiliste(QStringLiteral("*.dorlem-fasq"), Frame1);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setFont(Geometrie::schrift(QStringLiteral("MS Sans Serif"), 9.75));
    Geometrie::setze(File1, 4920, 240, 2775, 2190);
}

void DateiauswahlFenster::baueDir1()
{
    Dir1 = new Ordnerliste(Frame1);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setFont(Geometrie::schrift(QStringLiteral("MS Sans Serif"), 9.75));
    Geometrie::setze(Dir1, 120, 720, 4695, 1710);
}

void DateiauswahlFenster::baueDrive1()
{
    Drive1 = new Laufwerkliste(Frame1);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setFont(Geometrie::schrift(QStringLiteral("MS Sans Serif"), 12));
    Geometrie::setze(Drive1, 120, 240, 4695, 420);
}

void DateiauswahlFenster::listenOeffnen()
{
    Drive1->setzeLaufwerke(Laufwerke::liste());
    const QString hier = QDir::currentPath();
    if (!Dir1->setzePfad(hier))
        Dir1->setzePfad(QStringLiteral("/"));
    Drive1->zeigeFuer(Dir1->pfad());
    File1->setzePfad(Dir1->pfad());

    connect(Drive1, &QComboBox::currentIndexChanged, this, &DateiauswahlFenster::Drive1_Change);
    connect(Dir1, &Ordnerliste::geaendert, this, &DateiauswahlFenster::Dir1_Change);
}

void DateiauswahlFenster::Drive1_Change()
{
    // A volume that cannot be read is passed over without a message: the
    // drive list shows it, the folder list keeps its folder.
    Dir1->setzePfad(Drive1->laufwerk());
    File1->setzePfad(Dir1->pfad());
}

void DateiauswahlFenster::Dir1_Change()
{
    File1->setzePfad(Dir1->pfad());
    // Folders can lead onto another volume; the drive list follows quietly.
    if (Laufwerke::zu(Dir1->pfad(), Drive1->laufwerke()) != Drive1->currentIndex())
        Drive1->zeigeFuer(Dir1->pfad());
}

void DateiauswahlFenster::schliessen()
{
    if (auto *rahmen = qobject_cast<QMdiSubWindow *>(parentWidget()))
        rahmen->close();
    else
        close();
}

bool DateiauswahlFenster::eigenerOrdner(const QString &ordner)
{
    const QStringList eigene = Speicherorte::eigeneOrdner();
    return std::any_of(eigene.begin(), eigene.end(),
                       [&](const QString &e) { return Sicherungsdatei::gleich(ordner, e); });
}
