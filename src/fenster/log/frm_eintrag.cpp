// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/log/frm_eintrag.h"

#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/meldung.h"
#include "fenster/log/bemerkungsfeld.h"
#include "kern/basis/datenfehler.h"
#include "kern/bestaende/logdatum.h"
#include "kern/bestaende/logsuche.h"
#include "kern/bestaende/papierkorb.h"
#include "kern/daten/adodc.h"
#include "kern/empfaenger/empfaenger.h"

#include <QCloseEvent>
#include <QDate>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include <utility>

frm_eintrag::frm_eintrag(QWidget *parent) : KindFenster(parent)
{
    setObjectName(QStringLiteral("frm_eintrag"));
    setWindowTitle(QStringLiteral("Eigene Einträge"));
    Geometrie::festeGroesse(this, 11250, 7740);

    Adodc1 = new Adodc(Verbindungstext::log, Abfrage::tabelle(QStringLiteral("Kontakt")),
                       Verbindung::Zugriff::LesenSchreiben, this);
    bauen();
    bindeFelder();
    druckmenueBauen();
    tastenBauen();
    m_papierkorb = std::make_shared<Papierkorb>();

    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int jetzt) {
        SSTab1_Click(1 - jetzt);   // two tabs: the other one was selected before
    });
    connect(DataGrid1, &QTableView::clicked, this, &frm_eintrag::DataGrid1_Click);
    connect(cmd_neu, &QPushButton::clicked, this, &frm_eintrag::cmd_neu_Click);
    connect(cmd_bearbeiten, &QPushButton::clicked, this, &frm_eintrag::cmd_bearbeiten_Click);
    connect(cmd_speichern, &QPushButton::clicked, this, &frm_eintrag::cmd_speichern_Click);
    connect(cmd_loeschen, &QPushButton::clicked, this, &frm_eintrag::cmd_loeschen_Click);
    connect(cmd_abbrechen, &QPushButton::clicked, this, &frm_eintrag::cmd_abbrechen_Click);
    connect(cmd_suchen, &QPushButton::clicked, this, &frm_eintrag::cmd_suchen_Click);
    connect(cmd_alle, &QPushButton::clicked, this, &frm_eintrag::cmd_alle_Click);
    connect(Adodc1, &Adodc::aktuelleZeileGeaendert, this, &frm_eintrag::Adodc1_MoveComplete);
    // Input written by any way of leaving the record is said as SPEICHERN's.
    connect(Adodc1, &Adodc::geschrieben, this, &frm_eintrag::gespeichertMelden);
    connect(cmd_jetzt, &QToolButton::clicked, this, &frm_eintrag::cmd_jetzt_Click);
    for (QLineEdit *feld : findChildren<QLineEdit *>())
        feld->installEventFilter(this);
    RichTextBox1->installEventFilter(this);
    DataGrid1->installEventFilter(this);
    status_normal();   // built in Browse
    rueckgaengigAnwenden();
}

void frm_eintrag::setzePapierkorb(std::shared_ptr<Papierkorb> korb)
{
    if (korb)
        m_papierkorb = std::move(korb);
    rueckgaengigAnwenden();
}

// ---------------------------------------------------------------------------
// Loading, tabs, grid, date

void frm_eintrag::Form_Load()
{
    SSTab1->setCurrentIndex(1);
    status_normal();
    Adodc1->setRecordSource(Logsuche::alle());
    Adodc1->Refresh();
    trefferSetzen();
}

QString frm_eintrag::abfrage() const
{
    return Adodc1->RecordSource();
}

void frm_eintrag::neuLaden()
{
    if (m_zustand != Zustand::Browse) {
        m_neuLadenOffen = true;
        return;
    }
    Meldung::abfangen([this] {
        Adodc1->Refresh();
        trefferSetzen();
    });
}

void frm_eintrag::neuLadenNachholen()
{
    if (!m_neuLadenOffen || m_zustand != Zustand::Browse)
        return;
    m_neuLadenOffen = false;
    Meldung::abfangen([this] {
        const qint64 id = aktuelleId();
        Adodc1->Refresh();
        if (const int zeile = zeileVon(id); zeile > 0)
            Adodc1->setAktuelleZeile(zeile);
        trefferSetzen();
    });
}

int frm_eintrag::zeileVon(qint64 id) const
{
    Recordset *rs = Adodc1->recordset();
    const int feld = rs && id >= 0 ? rs->feldIndex(QStringLiteral("id")) : -1;
    for (int i = 0; feld >= 0 && i < rs->RecordCount(); ++i)
        if (rs->wert(i, feld).toLongLong() == id)
            return i;
    return -1;
}

qint64 frm_eintrag::aktuelleId() const
{
    Recordset *rs = Adodc1->recordset();
    const int feld = rs ? rs->feldIndex(QStringLiteral("id")) : -1;
    const int zeile = Adodc1->aktuelleZeile();
    return feld >= 0 && zeile >= 0 ? rs->wert(zeile, feld).toLongLong() : -1;
}

void frm_eintrag::trefferSetzen()
{
    lbl_treffer->setText(Logsuche::trefferText(Adodc1->RecordCount()));
}

void frm_eintrag::SSTab1_Click(int)
{
    trefferSetzen();
}

void frm_eintrag::DataGrid1_Click()
{
    SSTab1->setCurrentIndex(0);
}

void frm_eintrag::txt_datum_GotFocus()
{
    if (txt_datum->isReadOnly())
        return;
    const QString heute = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    // In a new record today's date is filled in like the receiver's values:
    // the user's input only once the user changes the record.
    if (!Adodc1->vorbelegen({{QStringLiteral("datum"), heute}}))
        txt_datum->setText(heute);
}

// ---------------------------------------------------------------------------
// The editing state

void frm_eintrag::zustandSetzen(Zustand neu)
{
    m_zustand = neu;
    const bool browse = neu == Zustand::Browse;
    // Locked before the buttons change and unlocked after them: the focus
    // leaving a button that goes off never enters an unlocked date box.
    if (browse)
        felder_sperren();
    cmd_neu->setEnabled(browse);
    cmd_bearbeiten->setEnabled(neu != Zustand::Neu);
    cmd_speichern->setEnabled(!browse);
    cmd_loeschen->setEnabled(neu == Zustand::Bearbeiten);
    cmd_abbrechen->setEnabled(!browse);
    cmd_jetzt->setEnabled(!browse);
    if (!browse)
        felder_freigeben();
    empfaengerAnwenden();   // "vom Empfänger" works in New and Edit
}

void frm_eintrag::Adodc1_MoveComplete(int)
{
    // The editing buttons set their state after their own moves. Any other
    // move has left the record being created or edited, and the data view
    // has written its input or dropped it untouched.
    if (m_zustand != Zustand::Browse) {
        status_normal();
        // Not in the middle of this move: once it is done.
        if (m_neuLadenOffen)
            QMetaObject::invokeMethod(this, &frm_eintrag::neuLadenNachholen, Qt::QueuedConnection);
    }
}

void frm_eintrag::felder_sperren()
{
    for (QLineEdit *f : sperrbareFelder())
        f->setReadOnly(true);
    RichTextBox1->setReadOnly(true);
    RichTextBox1->setEnabled(false);
}

void frm_eintrag::felder_freigeben()
{
    for (QLineEdit *f : sperrbareFelder())
        f->setReadOnly(false);
    RichTextBox1->setReadOnly(false);
    RichTextBox1->setEnabled(true);
}

void frm_eintrag::status_neu()
{
    zustandSetzen(Zustand::Neu);
}

void frm_eintrag::status_normal()
{
    zustandSetzen(Zustand::Browse);
}

void frm_eintrag::status_bearbeiten()
{
    zustandSetzen(Zustand::Bearbeiten);
}

// ---------------------------------------------------------------------------
// The editing buttons. A write or delete that the database rejects is
// reported, and the window stays as it was with the input in the fields.

void frm_eintrag::cmd_neu_Click()
{
    // With a receiver connected, the new record starts on its frequency and
    // mode; they are the receiver's, not input, until the user types.
    neuAnlegen(m_empfaenger && m_empfaenger->verbunden() ? empfaengerWerte() : QHash<QString, QString>());
}

bool frm_eintrag::neuAnlegen(const QHash<QString, QString> &werte)
{
    QHash<QString, QVariant> vorbelegt;
    for (auto it = werte.begin(); it != werte.end(); ++it)
        if (!it.value().isEmpty())
            vorbelegt.insert(it.key(), it.value());
    try {
        Adodc1->AddNew(vorbelegt);   // writes a country typed in Browse first
    } catch (const DatenFehler &f) {
        Meldung::fehler(f);
        return false;
    }
    status_neu();
    return true;
}

bool frm_eintrag::neuVorbelegt(const QHash<QString, QString> &werte)
{
    // A new record nobody typed into yet may begin again with these values.
    const bool unberuehrt = m_zustand == Zustand::Neu && !Adodc1->hatAenderungen();
    if (m_zustand != Zustand::Browse && !unberuehrt) {
        Meldung::zeigen(QStringLiteral("Im Fenster \u201EEigene Einträge\u201C wird gerade ein Eintrag bearbeitet. "
                                       "Bitte zuerst speichern oder abbrechen."));
        return false;
    }
    if (!neuAnlegen(werte))
        return false;
    SSTab1->setCurrentIndex(0);
    return true;
}

void frm_eintrag::cmd_bearbeiten_Click()
{
    try {
        Adodc1->Update();   // the input typed so far
    } catch (const KeinDatensatz &) {
        // An empty list: nothing to write.
    } catch (const DatenFehler &f) {
        Meldung::fehler(f);
        return;
    }
    status_bearbeiten();
}

void frm_eintrag::cmd_speichern_Click()
{
    bool gespeichert = true;
    bool gesagt = false;   // a write says so itself
    const auto gehoert = connect(Adodc1, &Adodc::geschrieben, this, [&gesagt] { gesagt = true; });
    const auto ende = qScopeGuard([gehoert] { disconnect(gehoert); });
    try {
        Adodc1->Update();
    } catch (const KeinDatensatz &f) {
        gespeichert = false;
        // No record to write to (an empty list). Input typed there is not
        // thrown away without a word: the window stays as it is.
        bool eingabe = !RichTextBox1->toPlainText().isEmpty() || !txt_land->text().isEmpty();
        for (QLineEdit *feld : sperrbareFelder())
            eingabe = eingabe || !feld->text().isEmpty();
        if (eingabe) {
            Meldung::zeigen(f.meldung() + QStringLiteral(" Einen neuen Eintrag legen Sie mit \u201ENEU\u201C an."),
                            Meldung::Symbol::Fehler);
            return;
        }
    } catch (const DatenFehler &f) {
        Meldung::fehler(f);
        return;
    }
    status_normal();
    neuLadenNachholen();
    if (gespeichert && !gesagt)
        gespeichertMelden();
}

void frm_eintrag::cmd_loeschen_Click()
{
    // The record as stored goes into the bin first, for Ctrl+Z; if it cannot
    // be read there, it is deleted all the same, as it always was.
    const qint64 id = Adodc1->istNeu() ? -1 : aktuelleId();
    bool imKorb = false;
    if (id >= 0) {
        try {
            m_papierkorb->hineinlegen(Adodc1->datei(), id);
            imKorb = true;
        } catch (const DatenFehler &) {
        }
    }
    bool geloescht = false;
    try {
        Adodc1->Delete();   // the next row becomes current
        geloescht = id >= 0;
    } catch (const KeinDatensatz &) {
    } catch (const DatenFehler &f) {
        if (imKorb)
            m_papierkorb->verwerfen();
        Meldung::fehler(f);
        return;
    }
    if (imKorb && !geloescht)
        m_papierkorb->verwerfen();
    status_normal();
    neuLadenNachholen();
    rueckgaengigAnwenden();
    if (geloescht && imKorb)
        Meldung::status(QStringLiteral("Eintrag gelöscht \u2013 Rückgängig (Strg+Z)"), rueckgaengig);
    else if (geloescht)
        Meldung::status(QStringLiteral("Eintrag gelöscht"));
}

void frm_eintrag::rueckgaengig_Click()
{
    if (!m_papierkorb || m_papierkorb->leer())
        return;
    qint64 id = -1;
    try {
        id = m_papierkorb->zurueckholen();
    } catch (const DatenFehler &f) {
        Meldung::fehler(f);
        return;
    }
    rueckgaengigAnwenden();
    // Shown on tab "LOG" where it was deleted; while a record is being
    // edited the list takes it in once that is done.
    if (m_zustand == Zustand::Browse)
        zeigeDatensatz(id);
    else
        neuLaden();
    Meldung::status(QStringLiteral("Eintrag zurückgeholt"));
}

void frm_eintrag::rueckgaengigAnwenden()
{
    if (!rueckgaengig)
        return;
    const int n = m_papierkorb ? m_papierkorb->anzahl() : 0;
    rueckgaengig->setEnabled(n > 0);
    rueckgaengig->setToolTip(n > 0 ? QStringLiteral("Den zuletzt gelöschten Eintrag zurückholen (Strg+Z)")
                                   : QStringLiteral("Es gibt keinen gelöschten Eintrag zum Zurückholen."));
}

namespace {
// A value quoted in a word of the status bar, a few dozen characters at most.
QString auszug(const QString &text)
{
    constexpr int hoechstens = 40;
    return zitiert(text.size() > hoechstens ? text.left(hoechstens - 1) + QStringLiteral("\u2026") : text);
}
}

void frm_eintrag::gespeichertMelden()
{
    // Stored as typed; the word says what the statistics cannot read.
    QStringList zweifel;
    const QString datum = txt_datum->text();
    const QString zeit = txt_uhrzeit->text();
    if (!datum.trimmed().isEmpty() && !Logdatum::tag(datum))
        zweifel << QStringLiteral("%1 ist kein gültiges Datum (TT.MM.JJJJ)").arg(auszug(datum));
    if (!zeit.trimmed().isEmpty() && !Logdatum::minute(zeit))
        zweifel << QStringLiteral("%1 ist keine gültige Uhrzeit (HH:MM)").arg(auszug(zeit));
    Meldung::status(
        QStringLiteral("Eintrag gespeichert")
        + (zweifel.isEmpty() ? QString() : QStringLiteral(" \u2013 ") + zweifel.join(QStringLiteral(", "))));
}

void frm_eintrag::cmd_jetzt_Click()
{
    if (m_zustand == Zustand::Browse)
        return;
    // The user's own choice: both count as typed.
    const QDateTime jetzt = QDateTime::currentDateTime();
    txt_datum->setText(jetzt.toString(QStringLiteral("dd.MM.yyyy")));
    txt_uhrzeit->setText(jetzt.toString(QStringLiteral("HH:mm")));
}

void frm_eintrag::cmd_abbrechen_Click()
{
    Meldung::abfangen([this] {
        Adodc1->Cancel();   // the fields show what is stored: nothing left to write
        Adodc1->Refresh();
        status_normal();
        // The rows are read anew already; the count follows them.
        if (std::exchange(m_neuLadenOffen, false))
            trefferSetzen();
    });
}

// ---------------------------------------------------------------------------
// The search

void frm_eintrag::cmd_suchen_Click()
{
    Meldung::abfangen([this] {
        if (opt_skip->isChecked())
            Adodc1->zeige(Logsuche::suche(Logsuche::Spalte::CallSign, txt_suchbegriff->text()));
        if (opt_vorname->isChecked())
            Adodc1->zeige(Logsuche::suche(Logsuche::Spalte::Datum, txt_suchbegriff->text()));
        if (opt_qth->isChecked())
            Adodc1->zeige(Logsuche::suche(Logsuche::Spalte::Qth, txt_suchbegriff->text()));
        if (opt_frequenz->isChecked())
            Adodc1->zeige(Logsuche::suche(Logsuche::Spalte::Frequenz, txt_suchbegriff->text()));
        if (opt_land->isChecked())
            Adodc1->zeige(Logsuche::suche(Logsuche::Spalte::Land, txt_suchbegriff->text()));
        if (Adodc1->RecordCount() == 0) {
            Meldung::zeigen(Logsuche::keineTreffer(txt_suchbegriff->text()), Meldung::Symbol::Fehler);
            Adodc1->zeige(Logsuche::alle());
            trefferSetzen();
        }
        if (Adodc1->RecordCount() > 0)
            trefferSetzen();
    });
}

void frm_eintrag::cmd_alle_Click()
{
    Meldung::abfangen([this] {
        Adodc1->zeige(Logsuche::alle());
        trefferSetzen();
    });
}

bool frm_eintrag::zeigeDatensatz(qint64 id)
{
    if (m_zustand != Zustand::Browse) {
        Meldung::zeigen(QStringLiteral("Im Fenster \u201EEigene Einträge\u201C wird gerade ein Eintrag bearbeitet. "
                                       "Bitte zuerst speichern oder abbrechen."));
        return false;
    }
    int zeile = -1;
    const bool ok = Meldung::abfangen([&] {
        // The rows the view read before may be older than the file (another
        // program may have deleted the record since): it reads them anew.
        Adodc1->Refresh();
        m_neuLadenOffen = false;
        zeile = zeileVon(id);
        if (zeile < 0) {
            Adodc1->zeige(Logsuche::alle());
            zeile = zeileVon(id);
        }
        trefferSetzen();
        if (zeile >= 0)
            Adodc1->setAktuelleZeile(zeile);
    });
    if (!ok)
        return false;
    if (zeile < 0) {
        Meldung::zeigen(QStringLiteral("Dieser Eintrag ist nicht mehr im Log."));
        return false;
    }
    SSTab1->setCurrentIndex(0);
    return true;
}

void frm_eintrag::txt_suchbegriff_Click()
{
    txt_suchbegriff->clear();
}

// ---------------------------------------------------------------------------

void frm_eintrag::closeEvent(QCloseEvent *ereignis)
{
    if (Adodc1->hatAenderungen()) {
        try {
            Adodc1->Update();
        } catch (const DatenFehler &f) {
            Meldung::fehler(f);
            ereignis->ignore();
            return;
        }
    }
    ereignis->accept();
}
