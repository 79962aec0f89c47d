// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/empfaenger/frm_suchlauf.h"

#include "fenster/bausteine/dateidialog.h"
#include "fenster/bausteine/datenbindung.h"
#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/meldung.h"
#include "kern/basis/dateikopie.h"
#include "kern/basis/datenfehler.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>

namespace {

// The strength meter's scale: from well below S1 to 40 dB over S9.
constexpr int meterVon = -60;
constexpr int meterBis = 40;
// The channel and its reading are shown anew at most this often.
constexpr int anzeigeMs = 100;

QString sekunden(qint64 ms)
{
    return QLocale().toString(double(ms) / 1000.0, 'f', 1) + QStringLiteral(" s");
}

QString dbText(int db)
{
    return (db < 0 ? QStringLiteral("\u2212") : QString()) + QString::number(std::abs(db)) + QStringLiteral(" dB");
}

QString kanaeleText(int n)
{
    return n == 1 ? QStringLiteral("1 Kanal") : QStringLiteral("%1 Kanäle").arg(n);
}

}   // namespace

frm_suchlauf::frm_suchlauf(Empfaenger *empfaenger, std::unique_ptr<Suchuhr> uhr, QWidget *parent)
    : KindFenster(parent), m_empfaenger(empfaenger), m_suchlauf(new Suchlauf(empfaenger, std::move(uhr), this))
{
    setObjectName(QStringLiteral("frm_suchlauf"));
    setWindowTitle(QStringLiteral("Suchlauf"));
    Geometrie::festeGroesse(this, 11400, 8400);

    auto label = [this](const char *name, const QString &text, QWidget *eltern) {
        auto *l = new QLabel(text, eltern ? eltern : this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    auto knopf = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };

    Label1 = label("Label1", QStringLiteral("Kanal"), nullptr);
    Geometrie::setze(Label1, 120, 165, 1080, 300);
    lbl_kanal = label("lbl_kanal", QString(), nullptr);
    lbl_kanal->setFont(Geometrie::schrift(QStringLiteral("Verdana"), 12, true));
    lbl_kanal->setTextFormat(Qt::PlainText);
    Geometrie::setze(lbl_kanal, 1200, 120, 10080, 390);
    Label2 = label("Label2", QStringLiteral("Signal"), nullptr);
    Geometrie::setze(Label2, 120, 645, 1080, 300);
    pb_staerke = new QProgressBar(this);
    pb_staerke->setObjectName(QStringLiteral("pb_staerke"));
    pb_staerke->setRange(meterVon, meterBis);
    pb_staerke->setValue(meterVon);
    pb_staerke->setTextVisible(false);
    Geometrie::setze(pb_staerke, 1200, 630, 4560, 330);
    lbl_staerke = label("lbl_staerke", QString(), nullptr);
    Geometrie::setze(lbl_staerke, 5880, 645, 5400, 300);
    lbl_stand = label("lbl_stand", QString(), nullptr);
    lbl_stand->setTextFormat(Qt::PlainText);
    Geometrie::setze(lbl_stand, 120, 1080, 11160, 300);

    Frame1 = new QGroupBox(QStringLiteral("Einstellungen"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Geometrie::setze(Frame1, 120, 1500, 11160, 1260);
    auto sekundenFeld = [this](const char *name, double von, double bis, double wert) {
        auto *f = new QDoubleSpinBox(Frame1);
        f->setObjectName(QString::fromLatin1(name));
        f->setDecimals(1);
        f->setRange(von, bis);
        f->setSingleStep(0.1);
        f->setValue(wert);
        f->setSuffix(QStringLiteral(" s"));
        f->setKeyboardTracking(false);
        return f;
    };
    const Suchlauf::Einstellung vorgabe;
    Label4 = label("Label4", QStringLiteral("Verweilen"), Frame1);
    Geometrie::setze(Label4, 120, 405, 1020, 300);
    txt_verweilen = sekundenFeld("txt_verweilen", 0.0, 10.0, vorgabe.verweilenMs / 1000.0);
    Geometrie::setze(txt_verweilen, 1140, 360, 1260, 375);
    Label5 = label("Label5", QStringLiteral("Schwelle"), Frame1);
    Geometrie::setze(Label5, 2640, 405, 900, 300);
    txt_schwelle = new QSpinBox(Frame1);
    txt_schwelle->setObjectName(QStringLiteral("txt_schwelle"));
    txt_schwelle->setRange(-120, 60);
    txt_schwelle->setValue(vorgabe.schwelleDb);
    txt_schwelle->setSuffix(QStringLiteral(" dB"));
    txt_schwelle->setKeyboardTracking(false);
    txt_schwelle->setToolTip(QStringLiteral("Signalstärke in dB über S9 (−40 dB ist etwa S3), über der der "
                                            "Suchlauf anhält."));
    Geometrie::setze(txt_schwelle, 3540, 360, 1260, 375);
    Label6 = label("Label6", QStringLiteral("Nachlauf"), Frame1);
    Geometrie::setze(Label6, 5040, 405, 900, 300);
    txt_nachlauf = sekundenFeld("txt_nachlauf", 0.0, 60.0, vorgabe.nachlaufMs / 1000.0);
    txt_nachlauf->setToolTip(QStringLiteral("So lange muss das Signal unter der Schwelle bleiben, bis der "
                                            "Suchlauf weitergeht."));
    Geometrie::setze(txt_nachlauf, 5940, 360, 1260, 375);
    Label7 = label("Label7", QStringLiteral("Höchstens"), Frame1);
    Geometrie::setze(Label7, 7440, 405, 1020, 300);
    txt_hoechstens = sekundenFeld("txt_hoechstens", 1.0, 600.0, vorgabe.hoechstensMs / 1000.0);
    txt_hoechstens->setToolTip(QStringLiteral("So lange hält der Suchlauf höchstens auf einem Kanal."));
    Geometrie::setze(txt_hoechstens, 8460, 360, 1260, 375);
    Label8 = label("Label8", QStringLiteral("Messung"), Frame1);
    Geometrie::setze(Label8, 120, 825, 1020, 300);
    cbo_signal = new QComboBox(Frame1);
    cbo_signal->setObjectName(QStringLiteral("cbo_signal"));
    cbo_signal->addItem(QStringLiteral("Signalstärke (l STRENGTH)"), int(Signalart::Staerke));
    cbo_signal->addItem(QStringLiteral("Rauschsperre offen (get_dcd)"), int(Signalart::Rauschsperre));
    Geometrie::setze(cbo_signal, 1140, 780, 3660, 375);
    for (QWidget *w : {static_cast<QWidget *>(txt_verweilen), static_cast<QWidget *>(txt_schwelle),
                       static_cast<QWidget *>(txt_nachlauf), static_cast<QWidget *>(txt_hoechstens)})
        w->setLocale(QLocale(QLocale::German, QLocale::Germany));
    Label4->setBuddy(txt_verweilen);
    Label5->setBuddy(txt_schwelle);
    Label6->setBuddy(txt_nachlauf);
    Label7->setBuddy(txt_hoechstens);
    Label8->setBuddy(cbo_signal);

    cmd_start = knopf("cmd_start", QStringLiteral("Start"));
    Geometrie::setze(cmd_start, 120, 2940, 1500, 420);
    cmd_stopp = knopf("cmd_stopp", QStringLiteral("Stopp"));
    Geometrie::setze(cmd_stopp, 1740, 2940, 1500, 420);
    cmd_weiter = knopf("cmd_weiter", QStringLiteral("Weiter"));
    cmd_weiter->setToolTip(QStringLiteral("Geht sofort zum nächsten Kanal, auch von einem Treffer."));
    Geometrie::setze(cmd_weiter, 3360, 2940, 1500, 420);
    cmd_auslassen = knopf("cmd_auslassen", QStringLiteral("Auslassen"));
    cmd_auslassen->setToolTip(QStringLiteral("Lässt den Kanal aus, solange dieses Fenster offen ist."));
    Geometrie::setze(cmd_auslassen, 4980, 2940, 1500, 420);
    cmd_aufnehmen = knopf("cmd_aufnehmen", QStringLiteral("Alle wieder aufnehmen"));
    Geometrie::setze(cmd_aufnehmen, 6600, 2940, 2700, 420);

    Label3 = label("Label3", QStringLiteral("Treffer"), nullptr);
    Geometrie::setze(Label3, 120, 3540, 2400, 300);
    DataGrid1 = new QTableWidget(0, 6, this);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setHorizontalHeaderLabels({QStringLiteral("Zeit"), QStringLiteral("Frequenz"), QStringLiteral("Ort"),
                                          QStringLiteral("Rufname"), QStringLiteral("Stärke"),
                                          QStringLiteral("Dauer")});
    Datenbindung::nurZeilen(DataGrid1);
    for (const auto &[spalte, twips] : {std::pair{0, 2100}, {1, 1200}, {2, 2520}, {3, 2520}, {4, 1020}})
        DataGrid1->setColumnWidth(spalte, Geometrie::twips(twips));
    Label3->setBuddy(DataGrid1);
    Geometrie::setze(DataGrid1, 120, 3900, 11160, 3840);
    cmd_inslog = knopf("cmd_inslog", QStringLiteral("Ins Log …"));
    cmd_inslog->setToolTip(QStringLiteral("Legt im Log einen neuen Eintrag mit Frequenz, Modulation, Ort, "
                                          "Rufname, Datum und Uhrzeit des Treffers an."));
    Geometrie::setze(cmd_inslog, 120, 7860, 2400, 420);
    cmd_speichern = knopf("cmd_speichern", QStringLiteral("Treffer speichern …"));
    Geometrie::setze(cmd_speichern, 2640, 7860, 2700, 420);

    connect(cmd_start, &QPushButton::clicked, this, &frm_suchlauf::cmd_start_Click);
    connect(cmd_stopp, &QPushButton::clicked, this, &frm_suchlauf::cmd_stopp_Click);
    connect(cmd_weiter, &QPushButton::clicked, this, &frm_suchlauf::cmd_weiter_Click);
    connect(cmd_auslassen, &QPushButton::clicked, this, &frm_suchlauf::cmd_auslassen_Click);
    connect(cmd_aufnehmen, &QPushButton::clicked, this, &frm_suchlauf::cmd_aufnehmen_Click);
    connect(cmd_inslog, &QPushButton::clicked, this, &frm_suchlauf::cmd_inslog_Click);
    connect(cmd_speichern, &QPushButton::clicked, this, &frm_suchlauf::cmd_speichern_Click);
    connect(DataGrid1, &QTableWidget::cellDoubleClicked, this, &frm_suchlauf::DataGrid1_DblClick);
    connect(DataGrid1, &QTableWidget::currentCellChanged, this, &frm_suchlauf::anwenden);
    for (QDoubleSpinBox *f : {txt_verweilen, txt_nachlauf, txt_hoechstens})
        connect(f, &QDoubleSpinBox::valueChanged, this, &frm_suchlauf::einstellung_Change);
    connect(txt_schwelle, &QSpinBox::valueChanged, this, &frm_suchlauf::einstellung_Change);
    connect(cbo_signal, &QComboBox::currentIndexChanged, this, &frm_suchlauf::einstellung_Change);

    connect(m_suchlauf, &Suchlauf::standGeaendert, this, &frm_suchlauf::standGeaendert);
    connect(m_suchlauf, &Suchlauf::trefferNeu, this, &frm_suchlauf::trefferNeu);
    connect(m_suchlauf, &Suchlauf::trefferGeaendert, this, &frm_suchlauf::trefferZeigen);
    connect(m_suchlauf, &Suchlauf::signalartGewechselt, this, [this](Signalart art) {
        // The receiver has no strength: the box shows what is read now.
        const QSignalBlocker still(cbo_signal);
        cbo_signal->setCurrentIndex(cbo_signal->findData(int(art)));
    });
    if (m_empfaenger)
        connect(m_empfaenger, &Empfaenger::zustandGeaendert, this, &frm_suchlauf::anwenden);
    m_anzeige.setSingleShot(true);
    m_anzeige.setInterval(anzeigeMs);
    connect(&m_anzeige, &QTimer::timeout, this, &frm_suchlauf::anzeigen);

    QWidget *reihe[] = {cmd_start,     cmd_stopp,    cmd_weiter,   cmd_auslassen,  cmd_aufnehmen,
                        txt_verweilen, txt_schwelle, txt_nachlauf, txt_hoechstens, cbo_signal,
                        DataGrid1,     cmd_inslog,   cmd_speichern};
    for (size_t i = 0; i + 1 < std::size(reihe); ++i)
        setTabOrder(reihe[i], reihe[i + 1]);
    setFocusProxy(cmd_start);

    m_suchlauf->setzeEinstellung(einstellung());
    anzeigen();
    anwenden();
}

frm_suchlauf::~frm_suchlauf() = default;

void frm_suchlauf::setzeKanaele(const QString &liste, const QVector<Suchkanal> &kanaele, int ohneFrequenz)
{
    m_liste = liste;
    m_ohneFrequenz = ohneFrequenz;
    m_gelaufen = false;
    setWindowTitle(QStringLiteral("Suchlauf \u2013 ") + liste);
    m_suchlauf->setzeKanaele(kanaele);
    const QSet<qint64> aus = m_ausgelassen.value(liste);
    for (int i = 0; i < kanaele.size(); ++i)
        if (aus.contains(kanaele.at(i).hz))
            m_suchlauf->auslassen(i);
    anzeigen();
    anwenden();
}

const Suchtreffer *frm_suchlauf::treffer(int zeile) const
{
    const QVector<Suchtreffer> &t = m_suchlauf->treffer();
    const int i = t.size() - 1 - zeile;
    return zeile >= 0 && i >= 0 ? &t.at(i) : nullptr;
}

Suchlauf::Einstellung frm_suchlauf::einstellung() const
{
    Suchlauf::Einstellung e;
    e.verweilenMs = int(std::lround(txt_verweilen->value() * 1000.0));
    e.schwelleDb = txt_schwelle->value();
    e.nachlaufMs = int(std::lround(txt_nachlauf->value() * 1000.0));
    e.hoechstensMs = int(std::lround(txt_hoechstens->value() * 1000.0));
    e.art = Signalart(cbo_signal->currentData().toInt());
    return e;
}

void frm_suchlauf::einstellung_Change()
{
    m_suchlauf->setzeEinstellung(einstellung());
}

void frm_suchlauf::cmd_start_Click()
{
    m_suchlauf->starten();
}

void frm_suchlauf::cmd_stopp_Click()
{
    m_suchlauf->stoppen();
}

void frm_suchlauf::cmd_weiter_Click()
{
    m_suchlauf->weiter();
}

void frm_suchlauf::cmd_auslassen_Click()
{
    const int kanal = m_suchlauf->stand().kanal;
    if (kanal < 0 || kanal >= m_suchlauf->kanaele().size())
        return;
    m_ausgelassen[m_liste].insert(m_suchlauf->kanaele().at(kanal).hz);
    m_suchlauf->auslassen(kanal);
}

void frm_suchlauf::cmd_aufnehmen_Click()
{
    m_ausgelassen.remove(m_liste);
    for (int i = 0; i < m_suchlauf->kanaele().size(); ++i)
        m_suchlauf->auslassen(i, false);
}

void frm_suchlauf::cmd_inslog_Click()
{
    if (const Suchtreffer *t = treffer(DataGrid1->currentRow()))
        Q_EMIT insLog(t->logWerte());
}

void frm_suchlauf::DataGrid1_DblClick()
{
    cmd_inslog_Click();
}

void frm_suchlauf::cmd_speichern_Click()
{
    const QVector<Suchtreffer> &alle = m_suchlauf->treffer();
    if (alle.isEmpty())
        return;
    const Dateidialog::Wahl w =
        Dateidialog::zeigen(this, Dateidialog::Art::Speichern, QStringLiteral("Treffer speichern"),
                            {QStringLiteral("CSV für Tabellenkalkulationen (*.csv)")});
    if (w.datei.isEmpty())
        return;
    if (const Ergebnis<> e = Dateikopie::schreibe(w.datei, Treffertabelle::csv(alle)); !e) {
        Meldung::fehler(DatenFehler(QStringLiteral("Die Datei %1 kann nicht geschrieben werden.").arg(zitiert(w.datei)),
                                    e.grund()));
        return;
    }
    Meldung::zeigen(QStringLiteral("%1 Treffer nach %2 geschrieben.").arg(alle.size()).arg(zitiert(w.datei)));
}

void frm_suchlauf::closeEvent(QCloseEvent *event)
{
    m_suchlauf->stoppen();
    KindFenster::closeEvent(event);
}

// ---------------------------------------------------------------------------
// Showing the scan

void frm_suchlauf::standGeaendert()
{
    // A new phase shows at once; a new channel or reading with the next
    // tick of the display, so that a fast scan is not slowed by drawing.
    if (m_suchlauf->stand().phase != m_gezeigtePhase) {
        anzeigen();
        anwenden();
    } else if (!m_anzeige.isActive()) {
        m_anzeige.start();
    }
}

void frm_suchlauf::anwenden()
{
    const Suchlauf::Stand &s = m_suchlauf->stand();
    const EmpfaengerZustand z = m_empfaenger ? m_empfaenger->zustand() : EmpfaengerZustand{};
    const bool laeuft = s.phase == Suchlauf::Phase::Sucht || s.phase == Suchlauf::Phase::Haelt;
    const int frei = m_suchlauf->kanaele().size() - m_suchlauf->anzahlAusgelassen();
    // A scan can start while the connection is being made or made again; it
    // waits for it.
    const bool empfaenger = m_empfaenger && z.art != EmpfaengerZustand::Art::NichtVerbunden;
    cmd_start->setToolTip(!empfaenger ? z.warumNicht()
                          : frei > 0  ? QString()
                                      : QStringLiteral("Alle Kanäle sind ausgelassen."));
    const std::pair<QPushButton *, bool> knoepfe[] = {
        {cmd_start, s.phase == Suchlauf::Phase::Steht && frei > 0 && empfaenger},
        {cmd_stopp, m_suchlauf->laeuft()},
        {cmd_weiter, laeuft},
        {cmd_auslassen, laeuft},
        {cmd_aufnehmen, m_suchlauf->anzahlAusgelassen() > 0},
        {cmd_inslog, treffer(DataGrid1->currentRow()) != nullptr},
        {cmd_speichern, !m_suchlauf->treffer().isEmpty()},
    };
    // A button that goes while it has the focus hands it to "Start" or
    // "Stopp", whichever can be pressed now, not into the settings.
    QWidget *fokus = focusWidget();
    for (const auto &[knopf, an] : knoepfe)
        knopf->setEnabled(an);
    const bool fokusWeg = std::any_of(std::begin(knoepfe), std::end(knoepfe),
                                      [fokus](const auto &k) { return k.first == fokus && !k.second; });
    if (fokusWeg)
        (cmd_start->isEnabled() ? cmd_start : cmd_stopp)->setFocus();
}

void frm_suchlauf::anzeigen()
{
    const Suchlauf::Stand &s = m_suchlauf->stand();
    m_gezeigtePhase = s.phase;
    m_gelaufen = m_gelaufen || s.phase != Suchlauf::Phase::Steht;
    const QVector<Suchkanal> &kanaele = m_suchlauf->kanaele();

    if (s.kanal >= 0 && s.kanal < kanaele.size()) {
        const Suchkanal &k = kanaele.at(s.kanal);
        QStringList teile{k.frequenzText + QStringLiteral(" MHz")};
        for (const QString &t : {k.ort, k.rufname})
            if (!t.isEmpty())
                teile << t;
        QString text = teile.join(QStringLiteral(" \u2013 "));
        if (k.zeilen > 1)
            text += QStringLiteral(" (und %1 weitere %2)")
                        .arg(k.zeilen - 1)
                        .arg(k.zeilen == 2 ? QStringLiteral("Zeile") : QStringLiteral("Zeilen"));
        lbl_kanal->setText(text);
    } else {
        lbl_kanal->setText(QStringLiteral("keiner"));
    }

    if (s.db) {
        pb_staerke->setValue(std::clamp(*s.db, meterVon, meterBis));
        lbl_staerke->setText(dbText(*s.db));
    } else if (s.offen) {
        pb_staerke->setValue(*s.offen ? meterBis : meterVon);
        lbl_staerke->setText(*s.offen ? QStringLiteral("Rauschsperre offen") : QStringLiteral("Rauschsperre zu"));
    } else {
        pb_staerke->setValue(meterVon);
        lbl_staerke->clear();
    }

    const int n = kanaele.size();
    const int aus = m_suchlauf->anzahlAusgelassen();
    QString text;
    switch (s.phase) {
    case Suchlauf::Phase::Steht:
        text = !s.grund.isEmpty() ? s.grund
               : m_gelaufen       ? QStringLiteral("Angehalten: Kanal %1 von %2").arg(s.kanal + 1).arg(n)
                                  : QStringLiteral("Bereit: ") + kanaeleText(n);
        break;
    case Suchlauf::Phase::Sucht: text = QStringLiteral("Sucht: Kanal %1 von %2").arg(s.kanal + 1).arg(n); break;
    case Suchlauf::Phase::Haelt: text = QStringLiteral("Hält: Kanal %1 von %2").arg(s.kanal + 1).arg(n); break;
    case Suchlauf::Phase::Wartet: text = QStringLiteral("Wartet auf den Empfänger: ") + s.grund; break;
    }
    if (aus > 0)
        text += QStringLiteral(", %1 ausgelassen").arg(aus);
    if (m_ohneFrequenz > 0)
        text += QStringLiteral(", %1 %2 ohne gültige Frequenz übergangen")
                    .arg(m_ohneFrequenz)
                    .arg(m_ohneFrequenz == 1 ? QStringLiteral("Zeile") : QStringLiteral("Zeilen"));
    if (s.durchlaeufe > 0) {
        text += QStringLiteral(" \u2013 %1 %2")
                    .arg(s.durchlaeufe)
                    .arg(s.durchlaeufe == 1 ? QStringLiteral("Durchlauf") : QStringLiteral("Durchläufe"));
        if (s.letzterDurchlaufMs >= 0)
            text += QStringLiteral(", der letzte in ") + sekunden(s.letzterDurchlaufMs);
    }
    lbl_stand->setText(text);
}

// ---------------------------------------------------------------------------
// The hits: the table shows the newest first.

void frm_suchlauf::trefferNeu(int index)
{
    DataGrid1->insertRow(0);
    for (int spalte = 0; spalte < DataGrid1->columnCount(); ++spalte)
        DataGrid1->setItem(0, spalte, new QTableWidgetItem);
    trefferZeigen(index);
    if (DataGrid1->currentRow() < 0)
        DataGrid1->setCurrentCell(0, 0);
    anwenden();
}

void frm_suchlauf::trefferZeigen(int index)
{
    const QVector<Suchtreffer> &alle = m_suchlauf->treffer();
    const int zeile = alle.size() - 1 - index;
    if (index < 0 || zeile < 0 || zeile >= DataGrid1->rowCount())
        return;
    const Suchtreffer &t = alle.at(index);
    const QStringList werte{QLocale().toString(t.zeit, QStringLiteral("dd.MM.yyyy HH:mm:ss")),
                            t.kanal.frequenzText,
                            t.kanal.ort,
                            t.kanal.rufname,
                            t.staerkeText(),
                            t.dauerText()};
    for (int spalte = 0; spalte < werte.size(); ++spalte) {
        QTableWidgetItem *zelle = DataGrid1->item(zeile, spalte);
        zelle->setText(werte.at(spalte));
        if (spalte >= 4)
            zelle->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}
