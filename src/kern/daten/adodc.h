// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/datenfehler.h"
#include "kern/daten/abfrage.h"
#include "kern/daten/recordset.h"
#include "kern/daten/verbindung.h"

#include <QAbstractTableModel>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

// One column of the grid's view of a data view: caption and bound field.
struct ModellSpalte
{
    QString titel;
    QString feld;
};

class Adodc;

// The grid's view of the data view: exactly the fixed columns, every row of
// the current record set (read as the grid scrolls to it).
class AdodcModell : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit AdodcModell(Adodc *daten);
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    const QVector<ModellSpalte> &spalten() const { return m_spalten; }
    void setzeSpalten(const QVector<ModellSpalte> &spalten);

private:
    friend class Adodc;
    void felderSuchen();

    Adodc *m_daten;
    QVector<ModellSpalte> m_spalten;
    QVector<int> m_feld;   // column -> field of the record set, -1 if absent
};

// The data view of a data window: connection string, record source, the
// current record set with its current record, the grid's model of its rows
// and any number of bound fields (as functions, see Bindung). Opens its own
// connection on the first refresh. Knows no widget: the window side binds
// its controls (see ansicht/datenbindung.h).
//
// Every operation that fails throws DatenFehler; the windows' handlers let it
// pass to the place that reports it. A failure that no handler can catch (a
// row that cannot be read while the grid paints it) is signalled by fehler().
class Adodc : public QObject
{
    Q_OBJECT
public:
    Adodc(const QString &verbindungsText, const Abfrage &recordSource, Verbindung::Zugriff zugriff, QObject *parent);
    ~Adodc() override;

    QString ConnectionString() const { return m_verbindungsText; }
    // The record source as its query text.
    QString RecordSource() const { return m_recordSource.text(); }
    void setRecordSource(const Abfrage &abfrage) { m_recordSource = abfrage; }

    // Runs the record source again. A record with unwritten input is written
    // first; afterwards the first row is current and nothing is pending.
    void Refresh();
    // Sets the record source and refreshes; if the query fails, the old
    // record source stays, as do the rows on screen.
    void zeige(const Abfrage &abfrage);

    // The user's order laid over the record source's rows, as a record set's
    // sort: RecordSource keeps its text, and every refresh shows its rows in
    // this order until the order is taken away (nullopt: the record
    // source's own order).
    const std::optional<Abfrage::Ordnung> &ordnung() const { return m_ordnung; }
    // Sets record source and order and refreshes; if the query fails, both
    // stay as they were, as do the rows on screen.
    void zeige(const Abfrage &abfrage, const std::optional<Abfrage::Ordnung> &ordnung);
    // The record source's rows in another order; likewise.
    void ordne(const std::optional<Abfrage::Ordnung> &ordnung);
    // The query that runs: the record source in the user's order.
    Abfrage gezeigteAbfrage() const;
    Recordset *recordset() const { return m_rs.get(); }
    // The exact number of rows of the last refresh (less deleted, plus added).
    int RecordCount() const { return m_rs ? m_rs->RecordCount() : 0; }

    // The current record: a row of the record set, or -1 (none, or a new
    // record that has not been written yet).
    int aktuelleZeile() const { return m_zeile; }
    // Makes another row current; unwritten input of the record being left is
    // written first (throws if that fails, and the old record stays current).
    void setAktuelleZeile(int zeile);
    // Whether the bound fields hold input that is not written yet. A new
    // record holds input once the user changed a field and something is left
    // to store: values the program filled in (see vorbelegen) are not input.
    bool hatAenderungen() const;
    // Whether a new record is current (after AddNew, before Update/Cancel).
    bool istNeu() const { return m_neu; }

    // The record operations of the log window. AddNew may start the new
    // record with values the program fills in, by field name (see vorbelegen).
    void AddNew(const QHash<QString, QVariant> &vorbelegt = {});
    void Update();   // throws KeinDatensatz when there is no current record
    void Delete();   // likewise
    void Cancel();
    // Values the program puts into the new record, by field name (letter
    // case ignored; names no control is bound to are passed over): the
    // bound controls show them, they are stored with the record once the
    // user typed something into it, and a new record that holds nothing but
    // them is dropped like an empty one. Only while a new record is current;
    // false otherwise, and nothing is shown.
    bool vorbelegen(const QHash<QString, QVariant> &werte);

    // The rows for a grid. While the data view changes the model's rows
    // (umbau() is true), a grid's own moves of its current row are not the
    // user's.
    AdodcModell *modell() const { return m_modell; }
    bool umbau() const { return m_umbau; }

    // A bound control: the field it shows, how to read the user's input (a
    // null QVariant for none), how to show a value, and whether the user
    // changed what it shows.
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

Q_SIGNALS:
    void aktuelleZeileGeaendert(int zeile);
    // A record was written (a new one stored, or changes to one); the bound
    // controls show it as stored.
    void geschrieben();
    // Rows could not be read while they were shown, or the file turned out
    // damaged: once per refresh and kind, after the event that found it.
    void fehler(const DatenFehler &f);

private:
    void verbinde();
    QHash<int, QVariant> eingaben(bool nurGeaenderte) const;
    void neueZeile(int zeile);

    QString m_verbindungsText;
    Abfrage m_recordSource;
    std::optional<Abfrage::Ordnung> m_ordnung;
    Verbindung::Zugriff m_zugriff;
    std::unique_ptr<Verbindung> m_verbindung;
    std::unique_ptr<Recordset> m_rs;
    // A file once found damaged stays so for this data view.
    std::optional<DatenFehler> m_schaden;
    int m_zeile = -1;
    bool m_neu = false;
    int m_zeileVorNeu = -1;
    QVector<Bindung> m_bindungen;
    AdodcModell *m_modell;
    bool m_umbau = false;
};
