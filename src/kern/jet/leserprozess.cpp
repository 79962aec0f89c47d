// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/jet/leserprozess.h"

#include "kern/basis/datenfehler.h"
#include "kern/bestaende/logeintrag.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#ifndef TREMVIK_LESER_RELATIV
#define TREMVIK_LESER_RELATIV "../libexec/tremvik-tool"
#endif

namespace {

const QString leserName = QStringLiteral("tremvik-jetleser");

#if defined(__SANITIZE_ADDRESS__)
// A build with AddressSanitizer reserves terabytes of address space when it
// starts, which a limit on the address space forbids: there the sanitizer
// bounds the reader's memory itself (see sanitizerGrenzen).
constexpr bool adressraumBegrenzen = false;
#else
constexpr bool adressraumBegrenzen = true;
#endif

// Keeps the start and the end of a stream of any length.
class AnfangUndEnde
{
public:
    explicit AnfangUndEnde(qsizetype g) : grenze(g) { }

    qsizetype grenze;
    QByteArray anfang, ende;
    qint64 bytes = 0;

    void nehmen(QByteArray b)
    {
        bytes += b.size();
        const qsizetype frei = grenze - anfang.size();
        if (frei > 0) {
            anfang.append(b.left(frei));
            b.remove(0, frei);
        }
        if (b.isEmpty())
            return;
        ende.append(b.right(grenze));
        if (ende.size() > 2 * grenze)
            ende = ende.right(grenze);
    }
    QByteArray alles() const
    {
        const QByteArray e = ende.right(grenze);
        return bytes > anfang.size() + e.size() ? anfang + "\n[…]\n" + e : anfang + e;
    }
};

// Set in the reader between fork and exec: only calls that are safe there.
void grenzenSetzen(qint64 speicher, int cpuSekunden, pid_t eltern)
{
#ifdef __linux__
    // The reader does not outlive the program.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != eltern)
        _exit(127);
#else
    Q_UNUSED(eltern);
#endif
    if (adressraumBegrenzen) {
        const rlimit as{rlim_t(speicher), rlim_t(speicher)};
        setrlimit(RLIMIT_AS, &as);
    }
    const rlimit cpu{rlim_t(cpuSekunden), rlim_t(cpuSekunden + 5)};
    setrlimit(RLIMIT_CPU, &cpu);
    // Nothing to write: no core file, no file at all.
    const rlimit null{0, 0};
    setrlimit(RLIMIT_CORE, &null);
    setrlimit(RLIMIT_FSIZE, &null);
}

// In a sanitizer build: the reader dies when its resident memory passes the
// bound, and an allocation it cannot have fails as in a normal build. Leaks
// of the short-lived reader (mdbtools keeps its caches to the end) are not
// reported, so that they do not turn a good file into a failed read.
QProcessEnvironment sanitizerGrenzen(qint64 speicher)
{
    QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
    QString optionen = umgebung.value(QStringLiteral("ASAN_OPTIONS"));
    if (!optionen.isEmpty())
        optionen += QLatin1Char(':');
    optionen += QStringLiteral("hard_rss_limit_mb=%1:allocator_may_return_null=1:detect_leaks=0")
                    .arg(speicher / (1024 * 1024));
    umgebung.insert(QStringLiteral("ASAN_OPTIONS"), optionen);
    return umgebung;
}

// Whether what a reader that died said (the start and the end of its
// stderr) tells that its memory ran out: glib and the C++ library abort when
// an allocation fails; a sanitizer build names its bound and then lists the
// process's memory map.
bool speicherAus(const QByteArray &gesagt)
{
    return gesagt.contains("failed to allocate") || gesagt.contains("bad_alloc") || gesagt.contains("out of memory")
           || gesagt.contains("rss limit exhausted");
}

QString kannNicht(const QString &datei)
{
    return QStringLiteral("Die Jet-Datei %1 kann nicht gelesen werden.").arg(zitiert(datei));
}

QString beschaedigt(const QString &datei)
{
    return QStringLiteral("Die Jet-Datei %1 lässt sich nicht lesen (beschädigt?).").arg(zitiert(datei));
}

}   // namespace

Leserprozess::Grenzen &Leserprozess::grenzen()
{
    static Grenzen g;
    return g;
}

QString Leserprozess::programm()
{
    const QString hier = QCoreApplication::applicationDirPath();
    for (const QString &ordner :
         {QStringLiteral(TREMVIK_LESER_RELATIV), QStringLiteral("."), QStringLiteral("../bin")}) {
        const QString pfad = QDir::cleanPath(hier + QLatin1Char('/') + ordner + QLatin1Char('/') + leserName);
        const QFileInfo info(pfad);
        if (info.isFile() && info.isExecutable())
            return pfad;
    }
    return QString();
}

Leserprozess::Lauf Leserprozess::ausfuehren(const QStringList &argumente, Jet::Aufsicht *aufsicht)
{
    const Grenzen g = grenzen();
    Lauf lauf;
    const QString leser = programm();
    if (leser.isEmpty()) {
        lauf.ende = Lauf::Ende::Fehlt;
        return lauf;
    }

    QProcess p;
    p.setProgram(leser);
    p.setArguments(argumente);
    const qint64 speicher = g.speicher;
    const int cpu = g.gesamtMs / 1000 + 2;
    const pid_t eltern = getpid();
    p.setChildProcessModifier([speicher, cpu, eltern] { grenzenSetzen(speicher, cpu, eltern); });
    if (!adressraumBegrenzen)
        p.setProcessEnvironment(sanitizerGrenzen(speicher));
    QElapsedTimer uhr;
    uhr.start();
    p.start(QIODevice::ReadOnly);
    if (!p.waitForStarted(30000)) {
        lauf.ende = Lauf::Ende::StartFehler;
        p.kill();
        p.waitForFinished(5000);
        return lauf;
    }

    Jetprotokoll::Leser leser_(g.ausgabe);
    AnfangUndEnde stderrTeile(qsizetype(g.stoerungen));
    qint64 regung = 0;
    std::optional<Lauf::Ende> ende;
    const auto lesen = [&] {
        const QByteArray aus = p.readAllStandardOutput();
        if (!aus.isEmpty()) {
            regung = uhr.elapsed();
            leser_.nehmen(aus);
            if (aufsicht)
                aufsicht->zeilen = std::max(leser_.antwort().gelesen, qint64(leser_.antwort().tabelle.zeilen.size()));
        }
        stderrTeile.nehmen(p.readAllStandardError());
    };
    try {
        for (;;) {
            if (aufsicht && aufsicht->abbrechen)
                ende = Lauf::Ende::Abgebrochen;
            else if (uhr.elapsed() > g.gesamtMs)
                ende = Lauf::Ende::ZuLange;
            else if (uhr.elapsed() - regung > g.stilleMs)
                ende = Lauf::Ende::Still;
            if (ende)
                break;
            if (!p.waitForReadyRead(100) && p.state() == QProcess::Running)
                p.waitForFinished(20);
            lesen();
            if (p.state() == QProcess::NotRunning) {
                lesen();
                break;
            }
        }
    } catch (const Jetprotokoll::Leser::Verstoss &v) {
        ende = v.zuGross ? Lauf::Ende::ZuGross : Lauf::Ende::Unlesbar;
        lauf.grund = v.grund;
    }
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(10000);
        stderrTeile.nehmen(p.readAllStandardError());
    }

    lauf.ms = uhr.elapsed();
    lauf.antwort = std::move(leser_.antwort());
    lauf.stoerungen = stderrTeile.alles();
    lauf.stoerungenBytes = stderrTeile.bytes;
    if (ende) {
        lauf.ende = *ende;
    } else if (p.exitStatus() == QProcess::CrashExit) {
        lauf.signal = p.exitCode();
        lauf.ende = speicherAus(lauf.stoerungen) ? Lauf::Ende::Speicher : Lauf::Ende::Abgestuerzt;
    } else if (p.exitCode() != 0 && !adressraumBegrenzen && speicherAus(lauf.stoerungen)) {
        lauf.ende = Lauf::Ende::Speicher;
    } else if (lauf.antwort.fehler) {
        lauf.ende = Lauf::Ende::Fehler;
    } else if (!lauf.antwort.ende || p.exitCode() != 0) {
        lauf.ende = Lauf::Ende::Unlesbar;
        lauf.grund = QStringLiteral("Die Antwort endet vorzeitig.");
    }
    return lauf;
}

Jetprotokoll::Antwort Leserprozess::antwort(const Lauf &lauf, const QString &datei)
{
    const Grenzen g = grenzen();
    using E = Lauf::Ende;
    switch (lauf.ende) {
    case E::Fertig: return lauf.antwort;
    case E::Fehler: throw DatenFehler(lauf.antwort.fehler->first, lauf.antwort.fehler->second);
    case E::Abgebrochen: throw Abgebrochen();
    case E::Fehlt:
        throw DatenFehler(kannNicht(datei),
                          QStringLiteral("Das Hilfsprogramm %1 fehlt; es gehört zu tremvik-tool und wird mit ihm "
                                         "installiert.")
                              .arg(leserName));
    case E::StartFehler:
        throw DatenFehler(kannNicht(datei),
                          QStringLiteral("Das Hilfsprogramm %1 lässt sich nicht starten.").arg(leserName));
    case E::ZuGross:
        throw DatenFehler(kannNicht(datei), QStringLiteral("Die Tabelle ist größer, als das Programm auf einmal "
                                                           "übernimmt (mehr als %1 MiB).")
                                                .arg(g.ausgabe >> 20));
    case E::Still:
        throw DatenFehler(
            beschaedigt(datei),
            QStringLiteral("Das Lesen kam %1 Sekunden lang nicht voran und wurde abgebrochen.").arg(g.stilleMs / 1000));
    case E::ZuLange:
        throw DatenFehler(beschaedigt(datei), QStringLiteral("Das Lesen dauerte länger als %1 Sekunden und wurde "
                                                             "abgebrochen.")
                                                  .arg(g.gesamtMs / 1000));
    case E::Speicher:
        throw DatenFehler(beschaedigt(datei), QStringLiteral("Das Lesen brauchte mehr als %1 MiB Speicher und wurde "
                                                             "abgebrochen.")
                                                  .arg(g.speicher >> 20));
    case E::Abgestuerzt:
        throw DatenFehler(beschaedigt(datei), QStringLiteral("Das Lesen ist abgestürzt (Signal %1).").arg(lauf.signal));
    case E::Unlesbar:
        throw DatenFehler(
            beschaedigt(datei),
            QStringLiteral("Das Hilfsprogramm %1 lieferte unlesbare Daten: %2").arg(leserName, lauf.grund));
    }
    throw DatenFehler(beschaedigt(datei));
}
