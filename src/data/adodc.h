#pragma once
#include "data/recordset.h"
#include "data/verbindung.h"

#include <QAbstractTableModel>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QLineEdit;
class QTableView;

// One column of a bound grid: caption, bound field, width in twips.
struct GridSpalte
{
    QString titel;
    QString feld;
    int breiteTwips;
};

class Adodc;

// The grid's view of the data view: exactly the fixed columns, every row of
// the current record set (read as the grid scrolls to it).
class AdodcModell : public QAbstractTableModel
{
    Q_OBJECT
public:
    AdodcModell(Adodc *daten, QVector<GridSpalte> spalten, QObject *parent);
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    const QVector<GridSpalte> &spalten() const { return m_spalten; }

private:
    friend class Adodc;
    Adodc *m_daten;
    QVector<GridSpalte> m_spalten;
    QVector<int> m_feld;   // column -> field of the record set, -1 if absent
};

// The data view of a data window: connection string, record source, the
// current record set with its current record, a bound grid and bound single
// fields. Opens its own connection on the first refresh.
//
// Every operation that fails throws DatenFehler; the windows' handlers let it
// pass to the place that reports it.
class Adodc : public QObject
{
    Q_OBJECT
public:
    Adodc(const QString &verbindungsText, const QString &recordSource, Verbindung::Zugriff zugriff, QObject *parent);
    ~Adodc() override;

    QString ConnectionString() const { return m_verbindungsText; }
    QString RecordSource() const { return m_recordSource; }
    void setRecordSource(const QString &sql) { m_recordSource = sql; }

    // Runs the record source again. A record with unwritten input is written
    // first; afterwards the first row is current and nothing is pending.
    void Refresh();
    // Sets the record source and refreshes; if the query fails, the old
    // record source stays, as do the rows on screen.
    void zeige(const QString &sql);
    Recordset *recordset() const { return m_rs.get(); }
    // The exact number of rows of the last refresh (less deleted, plus added).
    int RecordCount() const { return m_rs ? m_rs->RecordCount() : 0; }

    // The current record: a row of the record set, or -1 (none, or a new
    // record that has not been written yet).
    int aktuelleZeile() const { return m_zeile; }
    // Makes another row current; unwritten input of the record being left is
    // written first (throws if that fails, and the old record stays current).
    void setAktuelleZeile(int zeile);
    // Whether the bound fields hold input that is not written yet.
    bool hatAenderungen() const;

    // The record operations of the log window.
    void AddNew();
    void Update();   // throws KeinDatensatz when there is no current record
    void Delete();   // likewise
    void Cancel();

    // A grid with a fixed list of columns. The grid's current row and the
    // data view's current record follow each other.
    void bindeGrid(QTableView *grid, const QVector<GridSpalte> &spalten);
    AdodcModell *modell() const { return m_modell; }

    // A text box bound to one field: it shows the current record's value, and
    // what the user types there goes into that field.
    void binde(QLineEdit *feld, const QString &feldName);
    // Any other control: read, show and whether it was changed by the user.
    struct Bindung
    {
        QString feld;
        std::function<QVariant()> lesen;
        std::function<void(const QVariant &)> zeigen;
        std::function<bool()> geaendert;
    };
    void binde(const Bindung &bindung);

    // The bound controls show the current record again (what is stored).
    void zeigeAktuellenDatensatz();

    QString datei() const { return m_verbindung ? m_verbindung->datei() : QString(); }

    // Once the event loop runs again, the record set lets go of the file's
    // read lock (see Recordset::anhalten).
    void planeAnhalten() const;

Q_SIGNALS:
    void aktuelleZeileGeaendert(int zeile);
    // The grid moved to another row but the record being left could not be
    // written: the text says why; the old record stays current.
    void fehler(const QString &text);

private:
    void verbinde();
    QHash<int, QVariant> eingaben(bool nurGeaenderte) const;
    void gridFolgen();
    void gridZuruecksetzen(const std::function<void()> &ende);

    QString m_verbindungsText;
    QString m_recordSource;
    Verbindung::Zugriff m_zugriff;
    std::unique_ptr<Verbindung> m_verbindung;
    std::unique_ptr<Recordset> m_rs;
    int m_zeile = -1;
    bool m_neu = false;
    int m_zeileVorNeu = -1;
    QVector<Bindung> m_bindungen;
    QPointer<QTableView> m_grid;
    AdodcModell *m_modell = nullptr;
    bool m_gridWirdGesetzt = false;
    mutable bool m_anhaltenGeplant = false;
};
