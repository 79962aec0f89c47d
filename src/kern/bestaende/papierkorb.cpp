// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/bestaende/papierkorb.h"

#include "kern/daten/sqlitedatei.h"

#include <QStringList>
#include <sqlite3.h>

namespace {
const QString tabelle = QStringLiteral("Kontakt");
}

void Papierkorb::hineinlegen(const QString &datei, qint64 id)
{
    SqliteDatei db(datei, SqliteDatei::Art::NurLesen);
    SqliteAnweisung s(db, QStringLiteral("select * from %1 where id = ?").arg(sqlName(tabelle)),
                      QStringLiteral("Der Eintrag kann nicht gelesen werden."));
    s.bindeZahl(1, id);
    if (!s.schritt())
        throw DatenFehler(QStringLiteral("Der Eintrag ist nicht mehr im Log."));
    Zeile z{datei, id, {}, {}};
    for (int i = 0; i < s.spalten(); ++i) {
        Wert w{sqlite3_column_type(*s, i), 0, 0, {}};
        switch (w.typ) {
        case SQLITE_INTEGER: w.zahl = sqlite3_column_int64(*s, i); break;
        case SQLITE_FLOAT: w.gleitend = sqlite3_column_double(*s, i); break;
        case SQLITE_TEXT:
        case SQLITE_BLOB: {
            // The bytes as stored, not as text read and written again.
            const void *daten = w.typ == SQLITE_TEXT ? static_cast<const void *>(sqlite3_column_text(*s, i))
                                                     : sqlite3_column_blob(*s, i);
            w.bytes = QByteArray(static_cast<const char *>(daten), sqlite3_column_bytes(*s, i));
            break;
        }
        default: break;
        }
        z.spalten.append(s.spaltenName(i));
        z.werte.append(w);
    }
    m_zeilen.push_back(std::move(z));
}

void Papierkorb::verwerfen()
{
    if (!m_zeilen.empty())
        m_zeilen.pop_back();
}

qint64 Papierkorb::zurueckholen()
{
    if (m_zeilen.empty())
        throw DatenFehler(QStringLiteral("Es gibt keinen gelöschten Eintrag zum Zurückholen."));
    const Zeile &z = m_zeilen.back();
    SqliteDatei db(z.datei, SqliteDatei::Art::LesenSchreiben);
    const QString was = QStringLiteral("Der gelöschte Eintrag kann nicht zurückgeholt werden.");

    bool schluesselFrei = true;
    {
        SqliteAnweisung s(db, QStringLiteral("select count(*) from %1 where id = ?").arg(sqlName(tabelle)), was);
        s.bindeZahl(1, z.id);
        schluesselFrei = s.schritt() && s.zahl(0) == 0;
    }
    QStringList namen, platz;
    for (const QString &spalte : z.spalten) {
        if (!schluesselFrei && spalte.compare(QLatin1String("id"), Qt::CaseInsensitive) == 0)
            continue;
        namen << sqlName(spalte);
        platz << QStringLiteral("?");
    }
    SqliteAnweisung s(db,
                      QStringLiteral("insert into %1 (%2) values (%3)")
                          .arg(sqlName(tabelle), namen.join(QLatin1Char(',')), platz.join(QLatin1Char(','))),
                      was);
    int nummer = 0;
    for (int i = 0; i < z.spalten.size(); ++i) {
        if (!schluesselFrei && z.spalten[i].compare(QLatin1String("id"), Qt::CaseInsensitive) == 0)
            continue;
        const Wert &w = z.werte[i];
        ++nummer;
        int rc = SQLITE_OK;
        switch (w.typ) {
        case SQLITE_INTEGER: rc = sqlite3_bind_int64(*s, nummer, w.zahl); break;
        case SQLITE_FLOAT: rc = sqlite3_bind_double(*s, nummer, w.gleitend); break;
        case SQLITE_TEXT:
            rc = sqlite3_bind_text(*s, nummer, w.bytes.constData(), int(w.bytes.size()), SQLITE_TRANSIENT);
            break;
        case SQLITE_BLOB:
            rc = sqlite3_bind_blob(*s, nummer, w.bytes.constData(), int(w.bytes.size()), SQLITE_TRANSIENT);
            break;
        default: rc = sqlite3_bind_null(*s, nummer); break;
        }
        if (rc != SQLITE_OK)
            throw sqliteFehler(was, db.handle(), rc);
    }
    s.ausfuehren();
    const qint64 id = schluesselFrei ? z.id : sqlite3_last_insert_rowid(db.handle());
    m_zeilen.pop_back();
    return id;
}
