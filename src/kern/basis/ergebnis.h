// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include <optional>
#include <utility>

// The outcome of work that can fail in a way the program expects (a file
// that cannot be written, a check that objects, a run the user stopped):
// done, with its value unless T is void; failed, with the reason in German
// fit to be shown to the user; or cancelled. What it is decides alone,
// never the reason's text: a failure without a reason is still a failure.
//
// A failure that the code where it happens cannot handle, above all one of
// the database under a window's handler, throws DatenFehler instead
// (kern/basis/datenfehler.h).
class ErgebnisArt
{
public:
    enum class Art { Erledigt, Fehlgeschlagen, Abgebrochen };

    Art art() const { return m_art; }
    bool ok() const { return m_art == Art::Erledigt; }
    explicit operator bool() const { return ok(); }
    bool istFehler() const { return m_art == Art::Fehlgeschlagen; }
    bool istAbgebrochen() const { return m_art == Art::Abgebrochen; }
    // Why it failed; empty when it was done or cancelled.
    const QString &grund() const { return m_grund; }

protected:
    ErgebnisArt(Art art, QString grund) : m_art(art), m_grund(std::move(grund)) { }

private:
    Art m_art;
    QString m_grund;
};

template <typename T = void> class Ergebnis : public ErgebnisArt
{
public:
    static Ergebnis erledigt(T wert) { return Ergebnis(Art::Erledigt, QString(), std::move(wert)); }
    static Ergebnis fehler(QString grund) { return Ergebnis(Art::Fehlgeschlagen, std::move(grund), std::nullopt); }
    static Ergebnis abgebrochen() { return Ergebnis(Art::Abgebrochen, QString(), std::nullopt); }
    // A failure or cancellation of other work, passed on as it is (work that
    // was done is no failure to pass on: that gives a failure, not a success).
    template <typename U> static Ergebnis weiter(const Ergebnis<U> &anderes)
    {
        return Ergebnis(anderes.ok() ? Art::Fehlgeschlagen : anderes.art(), anderes.grund(), std::nullopt);
    }

    // The value of work that was done; asking a failure for it throws
    // std::bad_optional_access.
    const T &wert() const { return m_wert.value(); }
    T &wert() { return m_wert.value(); }

private:
    Ergebnis(Art art, QString grund, std::optional<T> wert)
        : ErgebnisArt(art, std::move(grund)), m_wert(std::move(wert))
    {
    }
    std::optional<T> m_wert;
};

template <> class Ergebnis<void> : public ErgebnisArt
{
public:
    static Ergebnis erledigt() { return Ergebnis(Art::Erledigt, QString()); }
    static Ergebnis fehler(QString grund) { return Ergebnis(Art::Fehlgeschlagen, std::move(grund)); }
    static Ergebnis abgebrochen() { return Ergebnis(Art::Abgebrochen, QString()); }
    template <typename U> static Ergebnis weiter(const Ergebnis<U> &anderes)
    {
        return Ergebnis(anderes.ok() ? Art::Fehlgeschlagen : anderes.art(), anderes.grund());
    }

private:
    using ErgebnisArt::ErgebnisArt;
};
