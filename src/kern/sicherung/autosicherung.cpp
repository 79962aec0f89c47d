#include "kern/sicherung/autosicherung.h"
#include "kern/basis/pfad.h"

#include "kern/basis/dateikopie.h"
#include "kern/basis/ergebnis.h"
#include "kern/basis/protokoll.h"
#include "kern/daten/sqlitedatei.h"
#include "kern/sicherung/sicherungsdatei.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QThread>
#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
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

std::function<void()> &bremse()
{
    static std::function<void()> b;
    return b;
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

// SQLite's online backup of one database file into another. Copies in
// steps, so that a request to stop is heard; a writer that changes the log
// meanwhile makes SQLite begin the copy anew, so what arrives is one state.
// Done, stopped on request, or failed with the reason.
::Ergebnis<> kopiere(const QString &quelle, const QString &ziel, const std::atomic<bool> *abbrechen)
{
    const QString beschrieben =
        QStringLiteral("Die Logdatenbank %1 wird gerade von einem anderen Programm beschrieben").arg(quelle);
    std::unique_ptr<SqliteDatei> quellDatei, zielDatei;
    try {
        quellDatei = std::make_unique<SqliteDatei>(quelle, SqliteDatei::Art::NurLesen);
    } catch (const DatenFehler &f) {
        if ((f.code() & 0xff) == SQLITE_BUSY || (f.code() & 0xff) == SQLITE_LOCKED)
            return ::Ergebnis<>::fehler(beschrieben);
        return ::Ergebnis<>::fehler(QStringLiteral("Die Logdatenbank kann nicht geöffnet werden (%1)").arg(f.text()));
    }
    try {
        zielDatei = std::make_unique<SqliteDatei>(ziel, SqliteDatei::Art::LesenSchreiben);
    } catch (const DatenFehler &f) {
        return ::Ergebnis<>::fehler(
            QStringLiteral("Die Sicherungsdatei kann nicht angelegt werden (%1)").arg(f.text()));
    }
    sqlite3 *ein = quellDatei->handle();
    sqlite3 *aus = zielDatei->handle();
    // The copy waits for a writer of the log by itself, step by step.
    sqlite3_busy_timeout(ein, 0);
    sqlite3_busy_timeout(aus, 0);
    // The copy is a temporary file until it is complete: no journal beside it.
    sqlite3_exec(aus, "pragma journal_mode = off", nullptr, nullptr, nullptr);

    sqlite3_backup *b = sqlite3_backup_init(aus, "main", ein, "main");
    if (!b)
        return ::Ergebnis<>::fehler(
            QStringLiteral("Die Sicherung kann nicht beginnen (%1)").arg(QString::fromUtf8(sqlite3_errmsg(aus))));
    int rc;
    int gewartet = 0;
    do {
        if (abbrechen && abbrechen->load()) {
            sqlite3_backup_finish(b);
            return ::Ergebnis<>::abgebrochen();
        }
        rc = sqlite3_backup_step(b, 1024);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            // Another program is writing the log: wait for it, as the backup
            // window does, at most three seconds.
            if (gewartet >= 3000)
                break;
            QThread::msleep(20);
            gewartet += 20;
        }
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(b);
    const int fehler = sqlite3_errcode(aus);
    const QString text = QString::fromUtf8(sqlite3_errmsg(aus));
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        return ::Ergebnis<>::fehler(beschrieben);
    if (rc != SQLITE_DONE || fehler != SQLITE_OK)
        return ::Ergebnis<>::fehler(QStringLiteral("Die Logdatenbank kann nicht kopiert werden (%1)").arg(text));
    return ::Ergebnis<>::erledigt();
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

QDateTime Autosicherung::zeitVon(const QString &dateiname)
{
    const QString anfang = stamm() + QLatin1Char('_');
    if (!dateiname.startsWith(anfang) || !dateiname.endsWith(endung()))
        return QDateTime();
    const QString mitte = dateiname.mid(anfang.size(), dateiname.size() - anfang.size() - endung().size());
    if (mitte.size() != zeitFormat.size())
        return QDateTime();
    return QDateTime::fromString(mitte, zeitFormat);
}

QVector<Autosicherung::Generation> Autosicherung::generationen(const QString &ordner)
{
    QVector<Generation> g;
    const QDir d(ordner);
    const QStringList namen = d.entryList({stamm() + QStringLiteral("_*") + endung()}, QDir::Files);
    for (const QString &n : namen) {
        const QDateTime zeit = zeitVon(n);
        if (zeit.isValid())
            g.append({d.filePath(n), zeit});
    }
    std::sort(g.begin(), g.end(), [](const Generation &a, const Generation &b) {
        return a.zeit != b.zeit ? a.zeit > b.zeit : a.datei > b.datei;
    });
    return g;
}

bool Autosicherung::faellig(const QString &ordner, const QDate &heute)
{
    const QVector<Generation> g = generationen(ordner);
    return std::none_of(g.begin(), g.end(), [&heute](const Generation &x) { return x.zeit.date() == heute; });
}

QVector<Autosicherung::Generation> Autosicherung::ueberzaehlig(const QVector<Generation> &alle, const QString &behalten,
                                                               int tage, int wochen)
{
    QSet<QDate> tageGesehen;
    QSet<int> wochenGesehen;
    QVector<Generation> weg;
    for (const Generation &g : alle) {   // newest first
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
    if (!QDir().mkpath(ordner))
        return fehler(QStringLiteral("Der Ordner %1 kann nicht angelegt werden.").arg(ordner));
    raeumeAuf(ordner);

    // A damaged log is not copied: the good generations stay as they are.
    const QString einwand = Sicherungsdatei::pruefeLogdatenbank(log);
    if (!einwand.isEmpty())
        return fehler(QStringLiteral("Die Logdatenbank %1 ist nicht in Ordnung: %2.").arg(log, einwand));
    if (bremse())
        bremse()();

    const QString ziel = QDir(ordner).filePath(dateiname(jetzt));
    const QByteArray z = QFile::encodeName(ziel);
    QString tempName;
    const int fd = Dateikopie::tempDatei(ziel, tempName);
    const QByteArray temp = QFile::encodeName(tempName);
    if (fd < 0)
        return fehler(
            QStringLiteral("Im Ordner %1 kann keine Datei angelegt werden: %2.").arg(ordner, Dateikopie::grund(errno)));
    auto verwerfen = [&](const QString &grund) {
        ::unlink(temp.constData());
        ::close(fd);
        return fehler(grund);
    };
    const ::Ergebnis<> kopie = kopiere(log, tempName, abbrechen);
    if (kopie.istAbgebrochen()) {
        qCInfo(protokollSicherung) << "abgebrochen";
        verwerfen(QString());
        e.art = Ergebnis::Art::Abgebrochen;
        return e;
    }
    if (!kopie)
        return verwerfen(kopie.grund() + QLatin1Char('.'));
    if (::fsync(fd) != 0)
        return verwerfen(
            QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.").arg(ziel, Dateikopie::grund(errno)));
    // What is put in place is what a restore accepts.
    const QString pruefung = Sicherungsdatei::pruefeLogdatenbank(tempName);
    if (!pruefung.isEmpty())
        return verwerfen(QStringLiteral("Die Kopie der Logdatenbank ist nicht in Ordnung: %1.").arg(pruefung));
    if (::rename(temp.constData(), z.constData()) != 0)
        return verwerfen(
            QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.").arg(ziel, Dateikopie::grund(errno)));
    ::close(fd);
    const int ordnerFd = ::open(QFile::encodeName(ordner).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (ordnerFd >= 0) {
        ::fsync(ordnerFd);
        ::close(ordnerFd);
    }
    e.art = Ergebnis::Art::Gesichert;
    e.datei = ziel;

    qCInfo(protokollSicherung).noquote() << "gesichert:" << ziel;

    // The rotation: the new generation is the newest good one.
    const QVector<Generation> alle = generationen(ordner);
    const QVector<Generation> weg = ueberzaehlig(alle, ziel);
    qCInfo(protokollSicherung).noquote() << "Rotation:" << alle.size() << "Generationen," << weg.size() << "überzählig";
    for (const Generation &g : weg) {
        const bool entfernt = QFile::remove(g.datei);
        qCInfo(protokollSicherung).noquote() << (entfernt ? "entfernt:" : "nicht entfernt:") << g.datei;
        if (entfernt)
            e.entfernt << g.datei;
    }
    return e;
}

QString Autosicherung::meldung(const Ergebnis &e, const QString &ordner)
{
    return QStringLiteral("Die automatische Sicherung der eigenen Einträge wurde nicht angelegt.\n%1\n"
                          "Die vorhandenen Sicherungen in %2 sind unverändert.")
        .arg(e.grund, ordner);
}

QDateTime Autosicherung::jetzt()
{
    return uhr() ? uhr()() : QDateTime::currentDateTime();
}

void Autosicherung::setzeUhr(std::function<QDateTime()> u)
{
    uhr() = std::move(u);
}

void Autosicherung::setzeBremse(std::function<void()> b)
{
    bremse() = std::move(b);
}

void Autosicherung::setzeVorgabe(bool aktiv)
{
    vorgabe() = aktiv;
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

bool Autosicherung::Lauf::starten(const QString &log, const Einstellung &einstellung)
{
    const QString ordner = einstellung.ordnerOderStandard();
    const QDateTime zeit = jetzt();
    if (laeuft() || !einstellung.aktiv || !faellig(ordner, zeit.date())) {
        qCDebug(protokollSicherung).noquote()
            << "kein Lauf: läuft" << laeuft() << "aktiv" << einstellung.aktiv << "in" << ordner;
        return false;
    }
    m_abbrechen = false;
    auto ergebnis = std::make_shared<Ergebnis>();
    m_faden =
        QThread::create([this, ergebnis, log, ordner, zeit] { *ergebnis = sichern(log, ordner, zeit, &m_abbrechen); });
    m_faden->setObjectName(QStringLiteral("autosicherung"));
    QThread *faden = m_faden;
    connect(faden, &QThread::finished, this, [this, faden, ergebnis, ordner] {
        if (m_faden != faden)
            return;   // stopped by anhalten(), which has cleared up
        faden->deleteLater();
        m_faden = nullptr;
        Q_EMIT fertig(*ergebnis, ordner);
    });
    m_faden->start(QThread::LowPriority);
    return true;
}

void Autosicherung::Lauf::anhalten()
{
    if (!m_faden)
        return;
    m_abbrechen = true;
    m_faden->wait();
    // Nobody waits for the report any more.
    disconnect(m_faden, nullptr, this, nullptr);
    delete m_faden;
    m_faden = nullptr;
}
