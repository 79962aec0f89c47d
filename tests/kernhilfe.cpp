// SPDX-License-Identifier: GPL-3.0-or-later
#include "kernhilfe.h"

#include "kern/basis/dateikopie.h"
#include "kern/basis/datenfehler.h"
#include "kern/basis/programmverzeichnis.h"
#include "kern/basis/sprache.h"
#include "kern/sicherung/autosicherung.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <sqlite3.h>

void Testhilfe::sql(const QString &datei, const QString &text)
{
    sqlite3 *db = nullptr;
    QVERIFY2(sqlite3_open(QFile::encodeName(datei).constData(), &db) == SQLITE_OK, qPrintable(datei));
    char *fehler = nullptr;
    const int rc = sqlite3_exec(db, text.toUtf8().constData(), nullptr, nullptr, &fehler);
    const QString meldung = QString::fromUtf8(fehler ? fehler : "");
    sqlite3_free(fehler);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(meldung));
}

QStringList Testhilfe::abfrage(sqlite3 *db, const QString &sql, const QString &nullText)
{
    QStringList zeilen;
    sqlite3_stmt *s = nullptr;
    const QByteArray text = sql.toUtf8();
    int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &s, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(s)) == SQLITE_ROW) {
        QStringList felder;
        for (int i = 0; i < sqlite3_column_count(s); ++i)
            felder << (sqlite3_column_type(s, i) == SQLITE_NULL
                           ? nullText
                           : QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, i)),
                                               sqlite3_column_bytes(s, i)));
        zeilen << felder.join(QLatin1Char('|'));
        rc = SQLITE_OK;
    }
    if (rc != SQLITE_DONE)
        zeilen = QStringList{QStringLiteral("Fehler: ") + QString::fromUtf8(sqlite3_errmsg(db))};
    sqlite3_finalize(s);
    return zeilen;
}

QStringList Testhilfe::abfrage(const QString &datei, const QString &sql, const QString &nullText)
{
    sqlite3 *db = nullptr;
    QStringList zeilen;
    if (sqlite3_open_v2(QFile::encodeName(datei).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
        zeilen = abfrage(db, sql, nullText);
    else
        zeilen = QStringList{QStringLiteral("Fehler: ") + QString::fromUtf8(sqlite3_errmsg(db))};
    sqlite3_close(db);
    return zeilen;
}

int Testhilfe::zahl(const QString &datei, const QString &sql)
{
    bool ok = false;
    const int n = abfrage(datei, sql).value(0).toInt(&ok);
    return ok ? n : -1;
}

QString Testhilfe::fehlerVon(const std::function<void()> &f)
{
    try {
        f();
    } catch (const DatenFehler &e) {
        return e.meldung();
    }
    return QStringLiteral("<kein Fehler>");
}

QByteArray Testhilfe::lies(const QString &datei)
{
    QFile f(datei);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

void Testhilfe::schreibe(const QString &datei, const QByteArray &inhalt)
{
    QFile f(datei);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(datei));
    QVERIFY2(f.write(inhalt) == inhalt.size(), qPrintable(datei));
}

bool Testhilfe::beschaedigeTabelle(const QString &datei, const QString &tabelle)
{
    const int wurzel = zahl(
        datei, QStringLiteral("select rootpage from sqlite_master where type = 'table' and name = '%1'").arg(tabelle));
    const int groesse = zahl(datei, QStringLiteral("pragma page_size"));
    QByteArray bytes = lies(datei);
    if (wurzel <= 0 || groesse <= 0)
        return false;
    auto byte = [&](qint64 i) { return quint8(bytes.at(int(i))); };
    auto zahl4 = [&](qint64 i) { return (byte(i) << 24) | (byte(i + 1) << 16) | (byte(i + 2) << 8) | byte(i + 3); };
    // Down the interior pages (type 5), each time to the middle child,
    // until a leaf (type 13).
    int seite = wurzel;
    for (int tiefe = 0; tiefe < 10; ++tiefe) {
        const qint64 anfang = qint64(seite - 1) * groesse;
        const qint64 kopf = anfang + (seite == 1 ? 100 : 0);
        if (kopf + 12 > bytes.size())
            return false;
        const int typ = byte(kopf);
        if (typ == 13) {
            if (seite == wurzel)
                return false;   // the whole table on one page
            bytes.replace(int(anfang), groesse, QByteArray(groesse, '\0'));
            schreibe(datei, bytes);
            return true;
        }
        if (typ != 5)
            return false;
        const int zellen = (byte(kopf + 3) << 8) | byte(kopf + 4);
        const int mitte = zellen / 2;
        const int zeiger = (byte(kopf + 12 + 2 * mitte) << 8) | byte(kopf + 13 + 2 * mitte);
        seite = zahl4(anfang + zeiger);
    }
    return false;
}

void Testhilfe::ausSchema(const QString &datei, const QString &schema)
{
    QFile f(QStringLiteral(TREMVIK_QUELLEN "/db/") + schema);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
    sql(datei, QString::fromUtf8(f.readAll()));
}

void Testhilfe::grosserLog(const QString &datei, const QString &kennung)
{
    ausSchema(datei, QStringLiteral("kontakt.sql"));
    sql(datei, QStringLiteral("insert into Kontakt (callsign, bemerkung) values ('%1', hex(randomblob(150000)))")
                   .arg(kennung));
    QVERIFY(QFileInfo(datei).size() > 2 * Dateikopie::blockGroesse);
}

Testhilfe::Programmordner::Programmordner()
{
    ausSchema(logDatei(), QStringLiteral("kontakt.sql"));
    ausSchema(frequenzDatei(), QStringLiteral("frequenzen.sql"));
    Programmverzeichnis::setzen(m_dir.path());
}

Testhilfe::Programmordner::~Programmordner()
{
    Programmverzeichnis::setzen(QString());
}

QString Testhilfe::Programmordner::logDatei() const
{
    return m_dir.filePath(QStringLiteral("tremvik.dorlem-fasq"));
}

QString Testhilfe::Programmordner::frequenzDatei() const
{
    return m_dir.filePath(QStringLiteral("Frequenzen.dorlem-fasq"));
}

Testhilfe::Installation::Installation()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("bin"));
    QDir(m_dir.path()).mkpath(QStringLiteral("share/tremvik-tool"));
    ausSchema(vorlage(), QStringLiteral("kontakt.sql"));
    ausSchema(geliefert(), QStringLiteral("frequenzen.sql"));
    sql(geliefert(), QStringLiteral("insert into bos (Ort) values ('geliefert')"));
    m_altDaten = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(pfad(QStringLiteral("daten"))));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, pfad(QStringLiteral("einstellungen")));
    Programmverzeichnis::setzen(bin());
}

Testhilfe::Installation::~Installation()
{
    Programmverzeichnis::setzen(QString());
    if (m_altDaten.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", m_altDaten);
}

void Testhilfe::abschirmen()
{
    // Each test program keeps its settings to itself, away from the user's.
    static QTemporaryDir einstellungen;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, einstellungen.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, einstellungen.path());
    // The automatic backup at start is off unless a test turns it on: no
    // copy runs beside what the tests of other things look at.
    Autosicherung::setzeVorgabe(false);
}

void Testhilfe::einrichtenKern(QCoreApplication &app)
{
    QCoreApplication::setApplicationName(QStringLiteral("tremvik-tool"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TREMVIK_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("tremvik-tool"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Sprache::qtTexteDeutsch(app);
    abschirmen();
}
