// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/empfaenger/suchlauf.h"

#include "kern/empfaenger/rigctlprotokoll.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

class EchteUhr : public Suchuhr
{
public:
    EchteUhr() { m_zeit.start(); }
    qint64 ms() const override { return m_zeit.elapsed(); }
    QDateTime jetzt() const override { return QDateTime::currentDateTime(); }
    void nach(int ms, QObject *kontext, std::function<void()> f) override
    {
        QTimer::singleShot(ms, kontext, std::move(f));
    }

private:
    QElapsedTimer m_zeit;
};

}   // namespace

std::unique_ptr<Suchuhr> Suchuhr::echt()
{
    return std::make_unique<EchteUhr>();
}

Suchlauf::Suchlauf(Empfaenger *empfaenger, std::unique_ptr<Suchuhr> uhr, QObject *parent)
    : QObject(parent), m_empfaenger(empfaenger), m_uhr(std::move(uhr))
{
    if (!m_empfaenger)
        return;
    connect(m_empfaenger, &Empfaenger::zustandGeaendert, this, &Suchlauf::empfaengerGeaendert);
    connect(m_empfaenger, &Empfaenger::abgestimmt, this, &Suchlauf::abgestimmt);
    connect(m_empfaenger, &Empfaenger::signalGelesen, this, &Suchlauf::gelesen);
    connect(m_empfaenger, &Empfaenger::vonHandAbgestimmt, this, [this] {
        if (laeuft())
            anhalten(Phase::Steht,
                     QStringLiteral("Der Empfänger wurde von Hand abgestimmt; der Suchlauf ist angehalten."));
    });
}

Suchlauf::~Suchlauf()
{
    verwerfen();
}

void Suchlauf::setzeKanaele(const QVector<Suchkanal> &kanaele)
{
    if (laeuft())
        anhalten(Phase::Steht, QString());
    m_kanaele = kanaele;
    m_ausgelassen.clear();
    m_stand = Stand{};
    m_stand.kanal = m_kanaele.isEmpty() ? -1 : 0;
    melden();
}

void Suchlauf::setzeEinstellung(const Einstellung &einstellung)
{
    m_einstellung = einstellung;
    m_art = einstellung.art;
}

void Suchlauf::auslassen(int kanal, bool aus)
{
    if (kanal < 0 || kanal >= m_kanaele.size())
        return;
    if (!aus) {
        m_ausgelassen.remove(kanal);
        melden();
        return;
    }
    m_ausgelassen.insert(kanal);
    if (kanal == m_stand.kanal && (m_stand.phase == Phase::Sucht || m_stand.phase == Phase::Haelt)) {
        weiter();
        return;
    }
    melden();
}

void Suchlauf::starten()
{
    if (laeuft())
        return;
    if (m_kanaele.isEmpty() || m_ausgelassen.size() >= m_kanaele.size()) {
        m_stand.grund = m_kanaele.isEmpty() ? QStringLiteral("Die Liste hat keine Kanäle.")
                                            : QStringLiteral("Alle Kanäle sind ausgelassen.");
        melden();
        return;
    }
    m_modus.reset();
    m_abgewiesen = 0;
    m_art = m_einstellung.art;
    m_stand.grund.clear();
    m_stand.db.reset();
    m_stand.offen.reset();
    if (m_stand.kanal < 0 || m_stand.kanal >= m_kanaele.size())
        m_stand.kanal = 0;
    while (m_ausgelassen.contains(m_stand.kanal))
        m_stand.kanal = (m_stand.kanal + 1) % m_kanaele.size();
    // A sweep's time is told for sweeps from the first channel on.
    int erster = 0;
    while (m_ausgelassen.contains(erster))
        ++erster;
    m_durchlaufGanz = m_stand.kanal == erster;
    m_durchlaufBeginn = m_uhr->ms();
    if (!m_empfaenger || !m_empfaenger->verbunden()) {
        warten();
        return;
    }
    m_stand.phase = Phase::Sucht;
    schritt();
}

void Suchlauf::stoppen()
{
    if (laeuft())
        anhalten(Phase::Steht, QString());
}

void Suchlauf::weiter()
{
    if (m_stand.phase == Phase::Haelt) {
        trefferBeenden();
        m_stand.phase = Phase::Sucht;
    } else if (m_stand.phase != Phase::Sucht) {
        return;
    }
    verwerfen();
    if (naechster())
        schritt();
}

void Suchlauf::anhalten(Phase phase, const QString &grund)
{
    if (m_stand.phase == Phase::Haelt)
        trefferBeenden();
    m_stand.phase = phase;
    m_stand.grund = grund;
    verwerfen();
    melden();
}

void Suchlauf::verwerfen()
{
    ++m_generation;
    m_erwartet = 0;
    if (m_empfaenger)
        m_empfaenger->suchAuftraegeVerwerfen();
}

void Suchlauf::warten()
{
    const EmpfaengerZustand z = m_empfaenger ? m_empfaenger->zustand() : EmpfaengerZustand{};
    anhalten(Phase::Wartet, z.warumNicht());
}

void Suchlauf::empfaengerGeaendert(const EmpfaengerZustand &zustand)
{
    if (zustand.verbunden()) {
        if (m_stand.phase != Phase::Wartet)
            return;
        // Back: the same channel again, the mode set anew.
        m_stand.phase = Phase::Sucht;
        m_stand.grund.clear();
        m_modus.reset();
        schritt();
        return;
    }
    if (m_stand.phase == Phase::Sucht || m_stand.phase == Phase::Haelt
        || (m_stand.phase == Phase::Wartet && m_stand.grund != zustand.warumNicht()))
        anhalten(Phase::Wartet, zustand.warumNicht());
}

// ---------------------------------------------------------------------------
// One channel: tune, dwell, read; while halted, read again and again.

void Suchlauf::schritt()
{
    ++m_generation;
    const Suchkanal &k = m_kanaele.at(m_stand.kanal);
    // The last reading stays shown until the next, as on a meter.
    const std::optional<Modulation> modus = m_modus == k.modulation ? std::nullopt : std::optional(k.modulation);
    m_erwartet = m_empfaenger ? m_empfaenger->suchAbstimmen(k.hz, modus) : 0;
    if (!m_erwartet) {
        warten();
        return;
    }
    m_modus = k.modulation;
    melden();
}

void Suchlauf::abgestimmt(quint64 auftrag, bool ok)
{
    if (!auftrag || auftrag != m_erwartet)
        return;
    m_erwartet = 0;
    if (!ok) {
        // The receiver does not take this frequency: on to the next, unless
        // it takes none.
        if (++m_abgewiesen >= m_kanaele.size() - m_ausgelassen.size()) {
            anhalten(Phase::Steht, QStringLiteral("Der Empfänger nimmt keine der Frequenzen an."));
            return;
        }
        if (naechster())
            schritt();
        return;
    }
    m_abgewiesen = 0;
    if (m_einstellung.verweilenMs > 0)
        spaeter(m_einstellung.verweilenMs, &Suchlauf::messen);
    else
        messen();
}

void Suchlauf::messen()
{
    m_erwartet = m_empfaenger ? m_empfaenger->signalLesen(m_art) : 0;
    if (!m_erwartet)
        warten();
}

void Suchlauf::gelesen(const Signalwert &wert)
{
    if (!wert.auftrag || wert.auftrag != m_erwartet)
        return;
    m_erwartet = 0;
    if (!wert.gelesen) {
        if (m_art == Signalart::Staerke) {
            // No strength from this receiver: whether its squelch is open.
            m_art = Signalart::Rauschsperre;
            Q_EMIT signalartGewechselt(m_art);
            messen();
            return;
        }
        anhalten(Phase::Steht,
                 QStringLiteral("Der Empfänger liefert weder eine Signalstärke noch die Rauschsperre (%1).")
                     .arg(Rigctl::fehlertext(wert.rprt)));
        return;
    }
    if (wert.art == Signalart::Staerke) {
        m_stand.db = wert.db;
        m_stand.offen.reset();
    } else {
        m_stand.offen = wert.offen;
        m_stand.db.reset();
    }

    if (m_stand.phase == Phase::Sucht) {
        if (!aktiv(wert)) {
            if (naechster())
                schritt();
            return;
        }
        trefferAnfangen(wert);
        m_stand.phase = Phase::Haelt;
        melden();
        spaeter(m_einstellung.messabstandMs, &Suchlauf::messen);
        return;
    }
    if (m_stand.phase != Phase::Haelt)
        return;
    trefferFortschreiben(wert);
    const qint64 jetzt = m_uhr->ms();
    if ((m_leiseSeit && jetzt - *m_leiseSeit >= m_einstellung.nachlaufMs)
        || jetzt - m_haltBeginn >= m_einstellung.hoechstensMs) {
        trefferBeenden();
        m_stand.phase = Phase::Sucht;
        if (naechster())
            schritt();
        return;
    }
    melden();
    spaeter(m_einstellung.messabstandMs, &Suchlauf::messen);
}

bool Suchlauf::aktiv(const Signalwert &wert) const
{
    return wert.art == Signalart::Staerke ? wert.db > m_einstellung.schwelleDb : wert.offen;
}

bool Suchlauf::naechster()
{
    const int n = m_kanaele.size();
    int i = m_stand.kanal;
    bool herum = false;
    for (int versuch = 0; versuch < n; ++versuch) {
        if (++i >= n) {
            i = 0;
            herum = true;
        }
        if (m_ausgelassen.contains(i))
            continue;
        if (herum) {
            const qint64 jetzt = m_uhr->ms();
            ++m_stand.durchlaeufe;
            if (m_durchlaufGanz)
                m_stand.letzterDurchlaufMs = jetzt - m_durchlaufBeginn;
            m_durchlaufBeginn = jetzt;
            m_durchlaufGanz = true;
        }
        m_stand.kanal = i;
        return true;
    }
    anhalten(Phase::Steht, QStringLiteral("Alle Kanäle sind ausgelassen."));
    return false;
}

void Suchlauf::spaeter(int ms, void (Suchlauf::*f)())
{
    const quint64 generation = m_generation;
    m_uhr->nach(ms, this, [this, generation, f] {
        if (generation == m_generation)
            (this->*f)();
    });
}

// ---------------------------------------------------------------------------
// Hits

void Suchlauf::trefferAnfangen(const Signalwert &wert)
{
    Suchtreffer t;
    t.zeit = m_uhr->jetzt();
    t.kanal = m_kanaele.at(m_stand.kanal);
    t.art = wert.art;
    if (wert.art == Signalart::Staerke)
        t.hoechsteDb = wert.db;
    m_treffer.append(t);
    m_offenerTreffer = m_treffer.size() - 1;
    m_haltBeginn = m_uhr->ms();
    m_leiseSeit.reset();
    Q_EMIT trefferNeu(m_offenerTreffer);
}

void Suchlauf::trefferFortschreiben(const Signalwert &wert)
{
    if (m_offenerTreffer < 0)
        return;
    Suchtreffer &t = m_treffer[m_offenerTreffer];
    if (aktiv(wert)) {
        m_leiseSeit.reset();
        if (wert.art == Signalart::Staerke)
            t.hoechsteDb = std::max(t.hoechsteDb.value_or(wert.db), wert.db);
    } else if (!m_leiseSeit) {
        m_leiseSeit = m_uhr->ms();
    }
    t.dauerMs = m_leiseSeit.value_or(m_uhr->ms()) - m_haltBeginn;
    Q_EMIT trefferGeaendert(m_offenerTreffer);
}

void Suchlauf::trefferBeenden()
{
    if (m_offenerTreffer < 0)
        return;
    const int i = m_offenerTreffer;
    m_treffer[i].dauerMs = m_leiseSeit.value_or(m_uhr->ms()) - m_haltBeginn;
    m_offenerTreffer = -1;
    m_leiseSeit.reset();
    Q_EMIT trefferGeaendert(i);
}
