// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/sicherung/autosicherung.h"
#include "kern/basis/pfad.h"

#include "kern/basis/dateikopie.h"
#include "kern/basis/protokoll.h"
#include "kern/daten/sqlitedatei.h"
#include "kern/sicherung/generationskopie.h"
#include "kern/sicherung/sicherung.h"
#include "kern/sicherung/sicherungsdatei.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::function<QDateTime()> &uhr()
{
    static std::function<QDateTime()> u;
    return u;
}

bool &vorgabe()
{
    static bool an = true;
    return an;
}

// "tremvik" and ".dorlem-fasq": the log's name around the date and time.
QString stamm()
{
    const QString n = Sicherungsdatei::name();
    const int punkt = n.indexOf(QLatin1Char('.'));
    return punkt < 0 ? n : n.left(punkt);
}

QString endung()
{
    const QString n = Sicherungsdatei::name();
    const int punkt = n.indexOf(QLatin1Char('.'));
    return punkt < 0 ? QString() : n.mid(punkt);
}

const QString zeitFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
// After the time in the name of a copy kept before a restore.
const QString vorWiederherstellungZusatz = QStringLiteral("_vor-wiederherstellung");

// The time in a generation's name, and whether it is a copy kept before a
// restore; an invalid time for any other name.
QDateTime zeitImNamen(const QString &dateiname, bool *vorWiederherstellung = nullptr)
{
    const QString anfang = stamm() + QLatin1Char('_');
    if (!dateiname.startsWith(anfang) || !dateiname.endsWith(endung()))
        return QDateTime();
    QString mitte = dateiname.mid(anfang.size(), dateiname.size() - anfang.size() - endung().size());
    const bool vor = mitte.endsWith(vorWiederherstellungZusatz);
    if (vor)
        mitte.chop(vorWiederherstellungZusatz.size());
    if (mitte.size() != zeitFormat.size())
        return QDateTime();
    if (vorWiederherstellung)
        *vorWiederherstellung = vor;
    return QDateTime::fromString(mitte, zeitFormat);
}

// Removes what killed runs left in the folder: the temporary files of
// generations (as the backup window's copies name theirs) that no running
// copy holds.
void raeumeAuf(const QString &ordner)
{
    static const QRegularExpression rest(QStringLiteral("^(.+)\\.tmp-[A-Za-z0-9]{6}$"));
    QSet<QString> ziele;
    const QStringList namen = QDir(ordner).entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden);
    for (const QString &n : namen) {
        const QRegularExpressionMatch m = rest.match(n);
        if (m.hasMatch() && Autosicherung::zeitVon(m.captured(1)).isValid())
            ziele.insert(m.captured(1));
    }
    for (const QString &z : std::as_const(ziele))
        Dateikopie::raeumeAuf(QDir(ordner).filePath(z));
}

// The folder of the generations, made for the user alone when it is new.
::Ergebnis<> ordnerBereit(const QString &ordner)
{
    QString stelle;
    const int fehler = Pfad::anlegen(ordner, 0700, &stelle);
    if (!fehler)
        return ::Ergebnis<>::erledigt();
    if (stelle == ordner)
        return ::Ergebnis<>::fehler(
            QStringLiteral("Der Ordner %1 kann nicht angelegt werden: %2.").arg(ordner, Dateikopie::grund(fehler)));
    return ::Ergebnis<>::fehler(QStringLiteral("Der Ordner %1 kann nicht angelegt werden: %2 (bei %3).")
                                    .arg(ordner, Dateikopie::grund(fehler), stelle));
}

}   // namespace

QString Autosicherung::logdatei()
{
    return Sicherungsdatei::logdatei();
}

QString Autosicherung::standardOrdner()
{
    return QDir(Pfad::ordnerVon(logdatei())).filePath(QStringLiteral("sicherungen"));
}

Autosicherung::Einstellung Autosicherung::Einstellung::lesen()
{
    const QSettings s;
    Einstellung e;
    e.aktiv = s.value(QStringLiteral("Autosicherung/Aktiv"), vorgabe()).toBool();
    // A folder chosen for another log (another copy of the program) is not
    // this log's: its generations would mix with the other log's.
    if (s.value(QStringLiteral("Autosicherung/Log")).toString() == logdatei())
        e.ordner = s.value(QStringLiteral("Autosicherung/Ordner")).toString();
    return e;
}

void Autosicherung::Einstellung::schreiben() const
{
    QSettings s;
    s.setValue(QStringLiteral("Autosicherung/Aktiv"), aktiv);
    s.setValue(QStringLiteral("Autosicherung/Ordner"), ordner);
    s.setValue(QStringLiteral("Autosicherung/Log"), logdatei());
}

QString Autosicherung::dateiname(const QDateTime &zeit)
{
    return stamm() + QLatin1Char('_') + zeit.toString(zeitFormat) + endung();
}

QString Autosicherung::dateinameVorWiederherstellung(const QDateTime &zeit)
{
    return stamm() + QLatin1Char('_') + zeit.toString(zeitFormat) + vorWiederherstellungZusatz + endung();
}

QDateTime Autosicherung::zeitVon(const QString &dateiname)
{
    return zeitImNamen(dateiname);
}

QVector<Autosicherung::Generation> Autosicherung::generationen(const QString &ordner)
{
    QVector<Generation> g;
    const QDir d(ordner);
    const QStringList namen = d.entryList({stamm() + QStringLiteral("_*") + endung()}, QDir::Files);
    for (const QString &n : namen) {
        bool vor = false;
        const QDateTime zeit = zeitImNamen(n, &vor);
        if (zeit.isValid())
            g.append({d.filePath(n), zeit, vor});
    }
    std::sort(g.begin(), g.end(), [](const Generation &a, const Generation &b) {
        return a.zeit != b.zeit ? a.zeit > b.zeit : a.datei > b.datei;
    });
    return g;
}

bool Autosicherung::istGeneration(const QString &datei)
{
    const QByteArray pfad = QFile::encodeName(datei);
    struct stat st;
    if (::lstat(pfad.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    // The header first: SQLite would take an empty file for an empty database.
    {
        const int fd = ::open(pfad.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            return false;
        char kopf[16] = {};
        const ssize_t n = ::read(fd, kopf, sizeof kopf);
        ::close(fd);
        if (n != 16 || std::memcmp(kopf, "SQLite format 3", 16) != 0)
            return false;
    }
    try {
        SqliteDatei db(datei, SqliteDatei::Art::NurLesen);
        SqliteAnweisung kontakt(
            db, QStringLiteral("select 1 from sqlite_master where type = 'table' and name = 'Kontakt' collate nocase"),
            QString());
        return kontakt.schritt();
    } catch (const DatenFehler &) {
        return false;
    }
}

bool Autosicherung::faellig(const QString &ordner, const QDate &heute)
{
    const QVector<Generation> alle = generationen(ordner);
    return std::none_of(alle.begin(), alle.end(), [&heute](const Generation &g) {
        return g.zeit.date() == heute && !g.vorWiederherstellung && istGeneration(g.datei);
    });
}

QVector<Autosicherung::Generation> Autosicherung::ueberzaehlig(const QVector<Generation> &alle, const QString &behalten,
                                                               const QDateTime &jetzt, int tage, int wochen)
{
    QSet<QDate> tageGesehen;
    QSet<int> wochenGesehen;
    QVector<Generation> weg;
    for (const Generation &g : alle) {   // newest first
        // Dated after the run: when it was really taken is not known, so
        // it neither takes a place nor goes.
        if (jetzt.isValid() && g.zeit > jetzt)
            continue;
        if (g.vorWiederherstellung) {
            if (jetzt.isValid() && g.zeit < jetzt.addDays(-tageVorWiederherstellung) && g.datei != behalten)
                weg.append(g);
            continue;
        }
        bool bleibt = g.datei == behalten;
        const QDate tag = g.zeit.date();
        if (!tageGesehen.contains(tag) && tageGesehen.size() < tage) {
            tageGesehen.insert(tag);
            bleibt = true;
        }
        int jahr = 0;
        const int woche = tag.weekNumber(&jahr) + jahr * 100;
        if (!wochenGesehen.contains(woche) && wochenGesehen.size() < wochen) {
            wochenGesehen.insert(woche);
            bleibt = true;
        }
        if (!bleibt)
            weg.append(g);
    }
    return weg;
}

int Autosicherung::eintraege(const QString &datei)
{
    try {
        SqliteDatei db(datei, SqliteDatei::Art::NurLesen);
        SqliteAnweisung zahl(db, QStringLiteral("select count(*) from Kontakt"), QString());
        return zahl.schritt() ? int(zahl.zahl(0)) : -1;
    } catch (const DatenFehler &) {
        return -1;
    }
}

Autosicherung::Ergebnis Autosicherung::sichern(const QString &log, const QString &ordner, const QDateTime &jetzt,
                                               const std::atomic<bool> *abbrechen)
{
    Ergebnis e;
    auto fehler = [&e](const QString &grund) {
        qCInfo(protokollSicherung).noquote() << "keine Generation:" << Protokoll::kurz(grund, 500);
        e.art = Ergebnis::Art::Fehler;
        e.grund = grund;
        return e;
    };
    if (!QFileInfo::exists(log)) {
        qCInfo(protokollSicherung).noquote() << "kein Log unter" << log;
        e.art = Ergebnis::Art::KeinLog;
        return e;
    }
    if (!faellig(ordner, jetzt.date())) {
        qCInfo(protokollSicherung).noquote()
            << "nicht fällig: eine Generation vom" << jetzt.date().toString(Qt::ISODate) << "liegt in" << ordner;
        e.art = Ergebnis::Art::NichtFaellig;
        return e;
    }
    if (const ::Ergebnis<> bereit = ordnerBereit(ordner); !bereit)
        return fehler(bereit.grund());
    raeumeAuf(ordner);

    // A file that is no log database is not copied: the good generations
    // stay as they are. Its pages are checked in the copy.
    const ::Ergebnis<> einwand = Sicherungsdatei::pruefeLogdatenbank(log, Sicherungsdatei::Pruefung::Aufbau);
    if (!einwand)
        return fehler(QStringLiteral("Die Logdatenbank %1 ist nicht in Ordnung: %2.").arg(log, einwand.grund()));

    const QString ziel = QDir(ordner).filePath(dateiname(jetzt));
    const ::Ergebnis<> neu = Generationskopie::anlegen(
        ziel, [&](const QString &temp, int) { return Generationskopie::sqlite(log, temp, abbrechen); },
        [&log](const QString &temp) {
            // What is put in place is what a restore accepts. The copy has
            // the log's pages: where it fails the check, so does the log,
            // unless the copy was spoilt on its way.
            const ::Ergebnis<> pruefung = Sicherungsdatei::pruefeLogdatenbank(temp);
            if (pruefung)
                return pruefung;
            const ::Ergebnis<> amLog = Sicherungsdatei::pruefeLogdatenbank(log);
            if (!amLog)
                return ::Ergebnis<>::fehler(
                    QStringLiteral("Die Logdatenbank %1 ist nicht in Ordnung: %2.").arg(log, amLog.grund()));
            return ::Ergebnis<>::fehler(
                QStringLiteral("Die Kopie der Logdatenbank ist nicht in Ordnung: %1.").arg(pruefung.grund()));
        });
    if (neu.istAbgebrochen()) {
        qCInfo(protokollSicherung) << "abgebrochen";
        e.art = Ergebnis::Art::Abgebrochen;
        return e;
    }
    if (!neu)
        return fehler(neu.grund());
    e.art = Ergebnis::Art::Gesichert;
    e.datei = ziel;
    qCInfo(protokollSicherung).noquote() << "gesichert:" << ziel;

    // The rotation: the new generation is the newest good one. Files that
    // merely have a generation's name are the user's, and stay out of it.
    QVector<Generation> alle = generationen(ordner);
    alle.removeIf([](const Generation &g) { return !istGeneration(g.datei); });
    for (const Generation &g : std::as_const(alle))
        if (g.zeit > jetzt)
            e.zukunft << g.datei;
    const QVector<Generation> weg = ueberzaehlig(alle, ziel, jetzt);
    qCInfo(protokollSicherung).noquote() << "Rotation:" << alle.size() << "Generationen," << weg.size() << "überzählig";
    for (const Generation &g : weg) {
        const bool entfernt = QFile::remove(g.datei);
        qCInfo(protokollSicherung).noquote() << (entfernt ? "entfernt:" : "nicht entfernt:") << g.datei;
        if (entfernt)
            e.entfernt << g.datei;
    }
    return e;
}

Autosicherung::Ergebnis Autosicherung::aufbewahren(const QString &log, const QString &ordner, const QDateTime &jetzt)
{
    Ergebnis e;
    struct stat st;
    if (::stat(QFile::encodeName(log).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        e.art = Ergebnis::Art::KeinLog;
        return e;
    }
    e.art = Ergebnis::Art::Fehler;
    if (const ::Ergebnis<> bereit = ordnerBereit(ordner); !bereit) {
        e.grund = bereit.grund();
        return e;
    }
    raeumeAuf(ordner);
    const QString ziel = QDir(ordner).filePath(dateinameVorWiederherstellung(jetzt));
    // The bytes the log has, under its read lock, so that no writer
    // changes them meanwhile: a log that is damaged is kept as it is too.
    const Sicherung::Lesesperre sperre(log);
    if (sperre.belegt()) {
        e.grund = QStringLiteral("Die Logdatenbank %1 wird gerade von einem anderen Programm beschrieben.").arg(log);
        return e;
    }
    const ::Ergebnis<> neu = Generationskopie::anlegen(
        ziel, [&](const QString &, int fd) { return Generationskopie::bytes(log, fd, ziel); });
    if (!neu) {
        e.grund = neu.grund();
        return e;
    }
    e.art = Ergebnis::Art::Gesichert;
    e.datei = ziel;
    return e;
}

QString Autosicherung::bestand(const QString &ordner)
{
    const QVector<Generation> alle = generationen(ordner);
    const bool eine = std::any_of(alle.begin(), alle.end(), [](const Generation &g) { return istGeneration(g.datei); });
    return eine ? QStringLiteral("Die vorhandenen Sicherungen in %1 sind unverändert.").arg(ordner)
                : QStringLiteral("In %1 liegt noch keine automatische Sicherung.").arg(ordner);
}

QString Autosicherung::meldung(const Ergebnis &e, const QString &ordner)
{
    return QStringLiteral("Die automatische Sicherung der eigenen Einträge wurde nicht angelegt.\n%1\n%2")
        .arg(e.grund, bestand(ordner));
}

QString Autosicherung::zukunftMeldung(const Ergebnis &e, const QString &ordner)
{
    QStringList namen;
    for (const QString &datei : e.zukunft.mid(0, 10))
        namen << QFileInfo(datei).fileName();
    if (e.zukunft.size() > namen.size())
        namen << QStringLiteral("und %1 weitere").arg(e.zukunft.size() - namen.size());
    return QStringLiteral("In %1 liegen Sicherungen mit einem Datum nach dem heutigen: %2.\n"
                          "Die Uhr des Rechners ging wohl falsch, als sie angelegt wurden (oder geht jetzt falsch). "
                          "Sie bleiben erhalten und zählen nicht als Sicherung eines Tages; wer sie nicht mehr "
                          "braucht, kann sie selbst löschen.")
        .arg(ordner, namen.join(QStringLiteral(", ")));
}

Autosicherung::Bericht Autosicherung::Bericht::lesen()
{
    const QSettings s;
    Bericht b;
    // A report about another log (another copy of the program) is not this one's.
    if (s.value(QStringLiteral("Autosicherung/BerichtLog")).toString() != logdatei())
        return b;
    b.zeit = s.value(QStringLiteral("Autosicherung/BerichtZeit")).toDateTime();
    b.ordner = s.value(QStringLiteral("Autosicherung/BerichtOrdner")).toString();
    b.grund = s.value(QStringLiteral("Autosicherung/Bericht")).toString();
    return b;
}

void Autosicherung::Bericht::schreiben() const
{
    QSettings s;
    s.setValue(QStringLiteral("Autosicherung/BerichtLog"), logdatei());
    s.setValue(QStringLiteral("Autosicherung/BerichtZeit"), zeit);
    s.setValue(QStringLiteral("Autosicherung/BerichtOrdner"), ordner);
    s.setValue(QStringLiteral("Autosicherung/Bericht"), grund);
}

QDateTime Autosicherung::jetzt()
{
    return uhr() ? uhr()() : QDateTime::currentDateTime();
}

void Autosicherung::setzeUhr(std::function<QDateTime()> u)
{
    uhr() = std::move(u);
}

void Autosicherung::setzeBremse(std::function<void(int)> b)
{
    Generationskopie::setzeSchritt(std::move(b));
}

void Autosicherung::setzeVorgabe(bool aktiv)
{
    vorgabe() = aktiv;
}

namespace {
int &verzoegerung()
{
    // About as long as drawing the main window and the log window takes
    // under a window manager.
    static int ms = 1000;
    return ms;
}
}

int Autosicherung::startVerzoegerungMs()
{
    return verzoegerung();
}

void Autosicherung::setzeStartVerzoegerung(int ms)
{
    verzoegerung() = ms;
}

// ---------------------------------------------------------------------------

Autosicherung::Lauf::Lauf(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<Autosicherung::Ergebnis>();
}

Autosicherung::Lauf::~Lauf()
{
    anhalten();
}

bool Autosicherung::Lauf::faellig(const Einstellung &einstellung)
{
    return einstellung.aktiv && Autosicherung::faellig(einstellung.ordnerOderStandard(), jetzt().date());
}

bool Autosicherung::Lauf::starten(const QString &log, const Einstellung &einstellung, int nachMs)
{
    const QString ordner = einstellung.ordnerOderStandard();
    const QDateTime zeit = jetzt();
    if (laeuft() || !faellig(einstellung)) {
        qCDebug(protokollSicherung).noquote()
            << "kein Lauf: läuft" << laeuft() << "aktiv" << einstellung.aktiv << "in" << ordner;
        return false;
    }
    m_abbrechen = false;
    m_geplant = true;
    QTimer::singleShot(nachMs, this, [this, log, ordner, zeit] {
        if (m_geplant)
            beginnen(log, ordner, zeit);
    });
    return true;
}

void Autosicherung::Lauf::beginnen(const QString &log, const QString &ordner, const QDateTime &zeit)
{
    m_geplant = false;
    auto ergebnis = std::make_shared<Ergebnis>();
    m_faden = QThread::create([this, ergebnis, log, ordner, zeit] {
        // The user's work comes first: the copy gets less of the processor
        // and the disk. (Not the least: a step holds the log's read lock,
        // and the user's writes wait for it.)
        ::setpriority(PRIO_PROCESS, ::gettid(), 10);
        ::syscall(SYS_ioprio_set, 1 /* IOPRIO_WHO_PROCESS */, ::gettid(), 2 << 13 | 7 /* best effort, lowest */);
        *ergebnis = sichern(log, ordner, zeit, &m_abbrechen);
    });
    m_faden->setObjectName(QStringLiteral("autosicherung"));
    QThread *faden = m_faden;
    connect(faden, &QThread::finished, this, [this, faden, ergebnis, ordner] {
        if (m_faden != faden)
            return;   // stopped by anhalten(), which has cleared up
        faden->deleteLater();
        m_faden = nullptr;
        if (!m_abbrechen)   // nobody waits for the report of a run asked to stop
            Q_EMIT fertig(*ergebnis, ordner);
    });
    m_faden->start(QThread::LowPriority);
    Q_EMIT begonnen();
}

void Autosicherung::Lauf::abbrechen()
{
    m_geplant = false;
    m_abbrechen = true;
}

void Autosicherung::Lauf::anhalten()
{
    m_geplant = false;
    if (!m_faden)
        return;
    m_abbrechen = true;
    m_faden->wait();
    // Nobody waits for the report any more.
    disconnect(m_faden, nullptr, this, nullptr);
    delete m_faden;
    m_faden = nullptr;
}
