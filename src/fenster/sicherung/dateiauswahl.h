// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/sicherung/laufwerke.h"
#include "fenster/bausteine/kindfenster.h"

#include <QComboBox>
#include <QListWidget>

class QGroupBox;

// The drive list: the volumes of the machine, each by its mount path and
// label. Changing its current entry raises currentIndexChanged.
class Laufwerkliste : public QComboBox
{
    Q_OBJECT
public:
    explicit Laufwerkliste(QWidget *parent = nullptr);
    void setzeLaufwerke(const QList<Laufwerke::Laufwerk> &laufwerke);
    const QList<Laufwerke::Laufwerk> &laufwerke() const { return m_laufwerke; }
    // The mount path of the current entry.
    QString laufwerk() const;
    // Makes the volume holding the folder current, without a change event.
    void zeigeFuer(const QString &ordner);
    // Reads the volumes anew (a medium may have come or gone), keeping the
    // current one.
    void showPopup() override;

private:
    QList<Laufwerke::Laufwerk> m_laufwerke;
};

// The folder list: the current folder's ancestors from the root, the folder
// itself and its subfolders, indented by depth. A double-click or Enter on
// an entry opens that folder.
class Ordnerliste : public QListWidget
{
    Q_OBJECT
public:
    explicit Ordnerliste(QWidget *parent = nullptr);
    QString pfad() const { return m_pfad; }
    // Moves to the folder; false (and no change) when it cannot be read.
    // Every change of the current folder raises geaendert().
    bool setzePfad(const QString &pfad);
    // The row of the current folder.
    int aktuelleZeile() const { return m_zeile; }
    // The full path of the folder a row stands for.
    QString pfadVon(int zeile) const;

Q_SIGNALS:
    void geaendert();

private:
    void fuellen(const QStringList &unterordner);
    QString m_pfad;
    int m_zeile = -1;
};

// The file list: the names of the plain, visible files of one folder that
// match its pattern, sorted. A display only.
class Dateiliste : public QListWidget
{
    Q_OBJECT
public:
    explicit Dateiliste(const QString &muster, QWidget *parent = nullptr);
    QString pfad() const { return m_pfad; }
    QString muster() const { return m_muster; }
    // Points the list at a folder; a folder that cannot be read shows no file.
    void setzePfad(const QString &pfad);
    QStringList dateien() const;

private:
    QString m_pfad;
    QString m_muster;
};

// What the backup and the restore window share: the frame with the drive,
// folder and file lists at their places, opened on the process's current
// folder, and the two list handlers.
class DateiauswahlFenster : public KindFenster
{
    Q_OBJECT
public:
    QGroupBox *Frame1 = nullptr;
    Laufwerkliste *Drive1 = nullptr;
    Ordnerliste *Dir1 = nullptr;
    Dateiliste *File1 = nullptr;

public Q_SLOTS:
    // Moves the folder list to the chosen volume (a volume that cannot be
    // read leaves it where it is) and points the file list at its folder.
    void Drive1_Change();
    // Points the file list at the folder list's folder.
    void Dir1_Change();

protected:
    explicit DateiauswahlFenster(QWidget *parent = nullptr);
    // The lists are made in the order the window declares them.
    void baueFrame1();
    void baueFile1();
    void baueDir1();
    void baueDrive1();
    // Shows the lists at the process's current folder and connects them;
    // called once every control exists.
    void listenOeffnen();
    // Closes the window (its frame in the main window).
    void schliessen();
    // Whether a folder is one of the program's own (the program directory,
    // or an installed program's data folder), which neither window takes.
    static bool eigenerOrdner(const QString &ordner);
};
