// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/jet/mdbdirekt.h"

#include "kern/basis/datenfehler.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <mdbtools.h>

#include <cmath>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// Room for one bound value: text and memo are converted to UTF-8 into it.
// A remark of a log is far smaller; a longer value is reported, never cut.
constexpr size_t bindGroesse = 1024 * 1024;

quint64 kleinEndig(const unsigned char *p, int bytes)
{
    quint64 w = 0;
    for (int i = bytes - 1; i >= 0; --i)
        w = (w << 8) | p[i];
    return w;
}

Jet::Typ typVon(int mdbTyp)
{
    switch (mdbTyp) {
    case MDB_BOOL: return Jet::Typ::JaNein;
    case MDB_BYTE: return Jet::Typ::Byte;
    case MDB_INT: return Jet::Typ::Integer;
    case MDB_LONGINT: return Jet::Typ::LongInteger;
    case MDB_MONEY: return Jet::Typ::Waehrung;
    case MDB_FLOAT: return Jet::Typ::Single;
    case MDB_DOUBLE: return Jet::Typ::Double;
    case MDB_DATETIME: return Jet::Typ::DatumUhrzeit;
    case MDB_BINARY: return Jet::Typ::Binaer;
    case MDB_TEXT: return Jet::Typ::Text;
    case MDB_OLE: return Jet::Typ::OleObjekt;
    case MDB_MEMO: return Jet::Typ::Memo;
    case MDB_REPID: return Jet::Typ::ReplikationsId;
    case MDB_NUMERIC: return Jet::Typ::Dezimal;
    case MDB_COMPLEX: return Jet::Typ::Komplex;
    }
    return Jet::Typ::Unbekannt;
}

// A Datum/Uhrzeit value: days since the zero date, the fraction the time
// of day. Before the zero date the whole days count back while the
// fraction still counts forward from midnight (-1.25 is the day before,
// 06:00). Invalid for values no calendar date stands for.
QDateTime datumZeit(double tage)
{
    if (!std::isfinite(tage) || std::fabs(tage) > 3.0e6)
        return QDateTime();
    const double ganz = std::trunc(tage);
    qint64 tag = qint64(ganz);
    qint64 sekunden = std::llround(std::fabs(tage - ganz) * 86400.0);
    if (sekunden >= 86400) {
        sekunden -= 86400;
        ++tag;
    }
    const QDate datum = Jet::nullDatum().addDays(tag);
    if (!datum.isValid())
        return QDateTime();
    return QDateTime(datum, QTime(0, 0).addSecs(int(sekunden)), Qt::UTC);
}

// A Währung value: a 64-bit count of ten-thousandths.
QString waehrung(qint64 zehntausendstel)
{
    const bool negativ = zehntausendstel < 0;
    const quint64 betrag = negativ ? quint64(0) - quint64(zehntausendstel) : quint64(zehntausendstel);
    return QStringLiteral("%1%2.%3")
        .arg(negativ ? QStringLiteral("-") : QString())
        .arg(betrag / 10000)
        .arg(betrag % 10000, 4, 10, QLatin1Char('0'));
}

struct Tabellendefinition
{
    MdbTableDef *t = nullptr;
    ~Tabellendefinition()
    {
        if (t)
            mdb_free_tabledef(t);
    }
};

QString kannNicht(const QString &datei)
{
    return QStringLiteral("Die Jet-Datei %1 kann nicht gelesen werden.").arg(zitiert(datei));
}

// A file cut short (a copy broken off, a full disk) still opens, and
// mdbtools reads the pages it lacks as if they were empty: tables vanish
// from the catalogue or lose records without a word. So every page a
// table claims is checked against the file's length first.
// wer: "Die Tabelle „Kontakt“", "Das Verzeichnis der Tabellen".
DatenFehler abgeschnitten(const QString &datei, const QString &wer, quint64 seite, quint64 seiten)
{
    return DatenFehler(kannNicht(datei), QStringLiteral("Die Datei ist unvollständig (abgeschnitten?): %1 braucht "
                                                        "Seite %2, die Datei endet aber nach %3 Seiten.")
                                             .arg(wer)
                                             .arg(seite)
                                             .arg(seiten));
}

QString dieTabelle(const QString &tabelle)
{
    return QStringLiteral("Die Tabelle %1").arg(zitiert(tabelle));
}

// Four bytes of the file, little-endian; all ones when they cannot be read.
quint32 wort(MdbHandle *mdb, quint64 stelle)
{
    unsigned char b[4];
    if (pread(fileno(mdb->f->stream), b, sizeof b, off_t(stelle)) != ssize_t(sizeof b))
        return 0xffffffffu;
    return quint32(kleinEndig(b, 4));
}

// The pages of a table: its usage map's own page (mdbtools reads a missing
// page there as zeros, and an empty map lists no page), then the data
// pages the map lists.
void seitenPruefen(MdbHandle *mdb, MdbTableDef *t, quint64 seiten, const QString &datei, const QString &wer)
{
    if (t->entry) {
        const quint64 karte =
            wort(mdb, quint64(t->entry->table_pg) * quint64(mdb->fmt->pg_size) + mdb->fmt->tab_usage_map_offset) >> 8;
        if (karte >= seiten)
            throw abgeschnitten(datei, wer, karte, seiten);
    }
    if (!t->usage_map || t->map_sz == 0)
        return;
    gint32 vorige = 0;
    for (gint32 seite = mdb_map_find_next(mdb, t->usage_map, guint(t->map_sz), 0); seite > vorige;
         seite = mdb_map_find_next(mdb, t->usage_map, guint(t->map_sz), guint32(seite))) {
        if (quint64(seite) >= seiten)
            throw abgeschnitten(datei, wer, quint64(seite), seiten);
        vorige = seite;
    }
}

// Reads one table's definition: the columns in the table's order, its
// pages checked against the file's end.
void definitionLesen(MdbCatalogEntry *eintrag, Tabellendefinition &def, quint64 seiten, const QString &datei,
                     const QString &tabelle)
{
    if (eintrag && eintrag->table_pg >= seiten)
        throw abgeschnitten(datei, dieTabelle(tabelle), eintrag->table_pg, seiten);
    def.t = eintrag ? mdb_read_table(eintrag) : nullptr;
    if (!def.t || !mdb_read_columns(def.t))
        throw DatenFehler(kannNicht(datei),
                          eintrag ? QStringLiteral("Die Tabelle %1 ist beschädigt.").arg(zitiert(tabelle))
                                  : QStringLiteral("Sie enthält keine Tabelle %1.").arg(zitiert(tabelle)));
    seitenPruefen(eintrag->mdb, def.t, seiten, datei, dieTabelle(tabelle));
}

QList<Jet::Spalte> spaltenVon(MdbHandle *mdb, MdbTableDef *t)
{
    QList<Jet::Spalte> spalten;
    for (guint i = 0; i < t->num_cols; ++i) {
        const auto *c = static_cast<MdbColumn *>(g_ptr_array_index(t->columns, i));
        Jet::Spalte s;
        s.name = QString::fromUtf8(c->name);
        s.typ = typVon(c->col_type);
        // Jet 3 stores one byte per character, later versions two.
        if (s.typ == Jet::Typ::Text)
            s.laenge = mdb->f->jet_version == MDB_VER_JET3 ? c->col_size : c->col_size / 2;
        spalten.append(s);
    }
    return spalten;
}

// How many bytes a value of a fixed-size type takes in the record; laenge
// (the value's own length) for the others.
int festeBytes(Jet::Typ typ, int laenge)
{
    switch (typ) {
    case Jet::Typ::Byte: return 1;
    case Jet::Typ::Integer: return 2;
    case Jet::Typ::LongInteger:
    case Jet::Typ::Komplex:
    case Jet::Typ::Single: return 4;
    case Jet::Typ::Double:
    case Jet::Typ::DatumUhrzeit:
    case Jet::Typ::Waehrung: return 8;
    case Jet::Typ::Dezimal: return 17;
    case Jet::Typ::ReplikationsId: return 16;
    default: return laenge;
    }
}

double alsDouble(quint64 bits)
{
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// A value taken from the bytes of the record just fetched, which stay in
// the page buffer after the fetch, so that it goes through no text and
// back: numbers, dates, currency, decimals, replication ids and binary
// data, not null. Sets grund and gives nothing when the value is damaged
// or no date.
QVariant ausBytes(MdbHandle *mdb, const MdbColumn *c, Jet::Typ typ, QString &grund)
{
    const int bytes = festeBytes(typ, c->cur_value_len);
    if (c->cur_value_len < bytes || c->cur_value_start < 0 || c->cur_value_start + bytes > MDB_PGSIZE) {
        grund = QStringLiteral("Der Wert ist beschädigt.");
        return QVariant();
    }
    const unsigned char *p = mdb->pg_buf + c->cur_value_start;
    switch (typ) {
    case Jet::Typ::Byte: return QVariant(qlonglong(p[0]));
    case Jet::Typ::Integer: return QVariant(qlonglong(qint16(kleinEndig(p, 2))));
    case Jet::Typ::LongInteger:
    case Jet::Typ::Komplex: return QVariant(qlonglong(qint32(kleinEndig(p, 4))));
    case Jet::Typ::Single: {
        const quint32 bits = quint32(kleinEndig(p, 4));
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return QVariant(f);
    }
    case Jet::Typ::Double: return QVariant(alsDouble(kleinEndig(p, 8)));
    case Jet::Typ::DatumUhrzeit: {
        const double d = alsDouble(kleinEndig(p, 8));
        const QDateTime wert = datumZeit(d);
        if (!wert.isValid())
            grund = QStringLiteral("Der Wert %1 ist kein Datum.").arg(d);
        return wert.isValid() ? QVariant(wert) : QVariant();
    }
    case Jet::Typ::Waehrung: return QVariant(waehrung(qint64(kleinEndig(p, 8))));
    case Jet::Typ::Dezimal: {
        char *text = mdb_numeric_to_string(mdb, c->cur_value_start, c->col_scale, c->col_prec);
        const QString wert = QString::fromUtf8(text);
        g_free(text);
        return QVariant(wert);
    }
    case Jet::Typ::ReplikationsId: {
        char *text = mdb_uuid_to_string(mdb->pg_buf, c->cur_value_start);
        const QString wert = QString::fromUtf8(text);
        g_free(text);
        return QVariant(wert);
    }
    default: return QVariant(QByteArray(reinterpret_cast<const char *>(p), c->cur_value_len));
    }
}

// A memo or OLE value that does not fit in its record lies on pages of its
// own; the record holds its length (the top bit set when it is inline after
// all) and the page and row where it begins. The page, or 0.
quint64 langwertSeite(MdbHandle *mdb, const MdbColumn *c, Jet::Typ typ)
{
    if ((typ != Jet::Typ::Memo && typ != Jet::Typ::OleObjekt) || c->cur_value_len < 12 || c->cur_value_start < 0
        || c->cur_value_start + 12 > mdb->fmt->pg_size)
        return 0;
    const unsigned char *p = mdb->pg_buf + c->cur_value_start;
    if (kleinEndig(p, 4) & 0x80000000u)
        return 0;
    return kleinEndig(p + 4, 4) >> 8;
}

// One value of the record just fetched; puffer is the column's bound
// buffer (text and memo, converted to UTF-8 by mdbtools). Sets grund and
// gives nothing for a value that cannot be read.
QVariant wertVon(MdbHandle *mdb, MdbColumn *c, Jet::Typ typ, const std::vector<char> &puffer, QString &grund)
{
    // A Ja/Nein value lives in the record's null mask: set means yes, and
    // mdbtools hands it on as "is null".
    if (typ == Jet::Typ::JaNein)
        return QVariant(c->cur_value_len == 0);
    if (c->cur_value_len == 0)
        return QVariant();
    switch (typ) {
    case Jet::Typ::Text:
    case Jet::Typ::Memo: {
        const char *text = puffer.data();
        const size_t bytes = qstrnlen(text, bindGroesse);
        if (bytes >= bindGroesse - 1)
            grund = QStringLiteral("Der Text ist länger als %1 MiB.").arg(bindGroesse / (1024 * 1024));
        return bytes == 0 || !grund.isEmpty() ? QVariant() : QVariant(QString::fromUtf8(text, qsizetype(bytes)));
    }
    case Jet::Typ::OleObjekt: {
        size_t groesse = 0;
        void *daten = mdb_ole_read_full(mdb, c, &groesse);
        QVariant wert(QByteArray(static_cast<const char *>(daten), qsizetype(groesse)));
        free(daten);
        return wert;
    }
    case Jet::Typ::JaNein:
    case Jet::Typ::Unbekannt: grund = QStringLiteral("Der Spaltentyp %1 ist unbekannt.").arg(c->col_type); return {};
    default: return ausBytes(mdb, c, typ, grund);
    }
}

}   // namespace

struct MdbDirekt::Offen
{
    MdbHandle *mdb = nullptr;
    // The file's whole pages.
    quint64 seiten = 0;
    ~Offen()
    {
        if (mdb)
            mdb_close(mdb);
    }

    // The catalog entry of a user table, by the file's spelling.
    MdbCatalogEntry *eintrag(const QString &name) const
    {
        const GPtrArray *katalog = mdb->catalog;
        for (guint i = 0; katalog && i < katalog->len; ++i) {
            auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(katalog, i));
            if (mdb_is_user_table(e) && QString::fromUtf8(e->object_name) == name)
                return e;
        }
        return nullptr;
    }
};

MdbDirekt::MdbDirekt(const QString &datei) : m_datei(datei), m_offen(new Offen)
{
    const QFileInfo info(datei);
    if (!info.isFile())
        throw DatenFehler(kannNicht(datei), QStringLiteral("Das ist keine Datei."));

    // Opened read-only: mdbtools never writes without MDB_WRITABLE.
    m_offen->mdb = mdb_open(QFile::encodeName(datei).constData(), MDB_NOFLAGS);
    if (!m_offen->mdb)
        throw DatenFehler(kannNicht(datei), QStringLiteral("Der Kopf der Datenbank ist beschädigt oder unbekannt."));
    mdb_set_bind_size(m_offen->mdb, bindGroesse);
    mdb_set_boolean_fmt_numbers(m_offen->mdb);
    m_offen->seiten = quint64(info.size()) / quint64(m_offen->mdb->fmt->pg_size);

    // The catalogue is the table MSysObjects, whose definition lies on
    // page 2.
    const QString verzeichnis = QStringLiteral("Das Verzeichnis der Tabellen");
    const QString unlesbar = QStringLiteral("Das Verzeichnis der Tabellen ist nicht lesbar.");
    if (m_offen->seiten <= 2)
        throw abgeschnitten(datei, verzeichnis, 2, m_offen->seiten);
    MdbCatalogEntry katalog{};
    katalog.mdb = m_offen->mdb;
    katalog.object_type = MDB_TABLE;
    katalog.table_pg = 2;
    std::strcpy(katalog.object_name, "MSysObjects");
    {
        Tabellendefinition def;
        def.t = mdb_read_table(&katalog);
        if (!def.t)
            throw DatenFehler(kannNicht(datei), unlesbar);
        seitenPruefen(m_offen->mdb, def.t, m_offen->seiten, datei, verzeichnis);
    }
    if (!mdb_read_catalog(m_offen->mdb, MDB_TABLE))
        throw DatenFehler(kannNicht(datei), unlesbar);
}

MdbDirekt::~MdbDirekt() = default;

QString MdbDirekt::format() const
{
    switch (m_offen->mdb->f->jet_version) {
    case MDB_VER_JET3: return QStringLiteral("Jet 3 (Access 97)");
    case MDB_VER_JET4: return QStringLiteral("Jet 4 (Access 2000\u20132003)");
    case MDB_VER_ACCDB_2007: return QStringLiteral("ACE 12 (Access 2007)");
    case MDB_VER_ACCDB_2010: return QStringLiteral("ACE 14 (Access 2010)");
    case MDB_VER_ACCDB_2013: return QStringLiteral("ACE 15 (Access 2013)");
    case MDB_VER_ACCDB_2016: return QStringLiteral("ACE 16 (Access 2016)");
    case MDB_VER_ACCDB_2019: return QStringLiteral("ACE 17 (Access 2019)");
    }
    return QStringLiteral("unbekannte Version %1").arg(m_offen->mdb->f->jet_version);
}

QStringList MdbDirekt::tabellen() const
{
    QStringList namen;
    const GPtrArray *katalog = m_offen->mdb->catalog;
    for (guint i = 0; katalog && i < katalog->len; ++i) {
        auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(katalog, i));
        if (mdb_is_user_table(e))
            namen.append(QString::fromUtf8(e->object_name));
    }
    return namen;
}

QList<Jet::Spalte> MdbDirekt::spalten(const QString &tabelle) const
{
    Tabellendefinition def;
    definitionLesen(m_offen->eintrag(tabelle), def, m_offen->seiten, m_datei, tabelle);
    return spaltenVon(m_offen->mdb, def.t);
}

qint64 MdbDirekt::zaehlen(const QString &tabelle, const Zaehler &jeZeile) const
{
    Tabellendefinition def;
    definitionLesen(m_offen->eintrag(tabelle), def, m_offen->seiten, m_datei, tabelle);
    // Nothing is bound, so no value is converted.
    mdb_rewind_table(def.t);
    qint64 n = 0;
    while (mdb_fetch_row(def.t)) {
        ++n;
        if (jeZeile)
            jeZeile(n);
    }
    return n;
}

void MdbDirekt::lesen(const QString &tabelle, const std::function<void(const QList<Jet::Spalte> &)> &kopf,
                      const std::function<void(const Jet::Zeile &)> &zeile) const
{
    MdbHandle *mdb = m_offen->mdb;
    Tabellendefinition def;
    definitionLesen(m_offen->eintrag(tabelle), def, m_offen->seiten, m_datei, tabelle);

    const QList<Jet::Spalte> spalten = spaltenVon(mdb, def.t);
    const int n = int(def.t->num_cols);
    kopf(spalten);

    // Text, memo and OLE objects are converted by mdbtools into a bound
    // buffer; every other value is taken from the record's bytes.
    std::vector<std::vector<char>> puffer;
    puffer.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        const Jet::Typ typ = spalten.at(i).typ;
        if (typ == Jet::Typ::Text || typ == Jet::Typ::Memo || typ == Jet::Typ::OleObjekt) {
            puffer[size_t(i)].assign(bindGroesse, '\0');
            mdb_bind_column(def.t, i + 1, puffer[size_t(i)].data(), nullptr);
        }
    }

    auto fehler = [&](qint64 datensatz, int spalte, const QString &grund) {
        return DatenFehler(kannNicht(m_datei), QStringLiteral("Tabelle %1, Datensatz %2, Spalte %3: %4")
                                                   .arg(zitiert(tabelle))
                                                   .arg(datensatz)
                                                   .arg(zitiert(spalten.at(spalte).name), grund));
    };

    mdb_rewind_table(def.t);
    qint64 datensatz = 0;
    Jet::Zeile werte;
    while (mdb_fetch_row(def.t)) {
        ++datensatz;
        werte.clear();
        werte.reserve(n);
        for (int i = 0; i < n; ++i) {
            auto *c = static_cast<MdbColumn *>(g_ptr_array_index(def.t->columns, i));
            QString grund;
            if (const quint64 seite = langwertSeite(mdb, c, spalten.at(i).typ); seite >= m_offen->seiten)
                throw fehler(datensatz, i,
                             QStringLiteral("Die Datei ist unvollständig (abgeschnitten?): Der Wert braucht Seite %1, "
                                            "die Datei endet aber nach %2 Seiten.")
                                 .arg(seite)
                                 .arg(m_offen->seiten));
            werte.append(wertVon(mdb, c, spalten.at(i).typ, puffer[size_t(i)], grund));
            if (!grund.isEmpty())
                throw fehler(datensatz, i, grund);
        }
        zeile(werte);
    }
}
