// tremvik-dbinit: makes a database file from an SQL text.
//
//   tremvik-dbinit [--wenn-fehlt] DATEI SCHEMA.sql
//
// The file is built under a temporary name and then put in place. With
// --wenn-fehlt an existing file is left exactly as it is, so the build can
// supply an empty log database without ever replacing a user's log.

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <sqlite3.h>

#include <cstdio>
#include <unistd.h>

static int fehler(const QString &text)
{
    std::fprintf(stderr, "tremvik-dbinit: %s\n", qPrintable(text));
    return 1;
}

int main(int argc, char *argv[])
{
    int i = 1;
    bool wennFehlt = false;
    if (argc > 1 && qstrcmp(argv[1], "--wenn-fehlt") == 0) {
        wennFehlt = true;
        ++i;
    }
    if (argc - i != 2)
        return fehler(QStringLiteral("Aufruf: tremvik-dbinit [--wenn-fehlt] DATEI SCHEMA.sql"));
    const QString ziel = QString::fromLocal8Bit(argv[i]);
    const QString schemaDatei = QString::fromLocal8Bit(argv[i + 1]);

    if (wennFehlt && QFileInfo::exists(ziel)) {
        std::printf("%s ist vorhanden und bleibt unverändert.\n", qPrintable(ziel));
        return 0;
    }
    QFile schema(schemaDatei);
    if (!schema.open(QIODevice::ReadOnly))
        return fehler(QStringLiteral("%1 kann nicht gelesen werden: %2").arg(schemaDatei, schema.errorString()));
    const QByteArray sql = schema.readAll();

    const QString neu = ziel + QStringLiteral(".entsteht");
    QFile::remove(neu);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(neu).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return fehler(QStringLiteral("%1 kann nicht angelegt werden.").arg(neu));
    }
    char *text = nullptr;
    const QByteArray alles = "begin;\n" + sql + "\ncommit;";
    if (sqlite3_exec(db, alles.constData(), nullptr, nullptr, &text) != SQLITE_OK) {
        const QString t = QString::fromUtf8(text);
        sqlite3_free(text);
        sqlite3_close(db);
        QFile::remove(neu);
        return fehler(QStringLiteral("%1: %2").arg(schemaDatei, t));
    }
    sqlite3_close(db);

    const QByteArray von = QFile::encodeName(neu), nach = QFile::encodeName(ziel);
    if (wennFehlt) {
        // link() never replaces an existing file.
        const bool ok = ::link(von.constData(), nach.constData()) == 0;
        ::unlink(von.constData());
        if (!ok)
            return fehler(QStringLiteral("%1 kann nicht angelegt werden.").arg(ziel));
    } else if (::rename(von.constData(), nach.constData()) != 0) {
        QFile::remove(neu);
        return fehler(QStringLiteral("%1 kann nicht geschrieben werden.").arg(ziel));
    }
    std::printf("%s angelegt.\n", qPrintable(ziel));
    return 0;
}
