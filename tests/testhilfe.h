#pragma once
#include "shell/meldung.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

// Shared helpers of the test programs.
namespace Testhilfe {

struct Meldung
{
    QString text;
    ::Meldung::Symbol symbol;
};
// Every message the program showed since the last call of leeren().
QList<Meldung> &meldungen();
void leeren();
// Every question the program asked since the last call of leeren(); each is
// answered as antworten() says ("Nein" after leeren()).
QStringList &fragen();
void antworten(bool ja);

// Runs an SQL text on a database file (made if missing); fails the test on error.
void sql(const QString &datei, const QString &text);
// A file's bytes, or "<fehlt>" when it cannot be read.
QByteArray lies(const QString &datei);
// Writes a file anew; fails the test if it cannot.
void schreibe(const QString &datei, const QByteArray &inhalt);
// A database file from one of the SQL texts in db/ (e.g. "kontakt.sql").
void ausSchema(const QString &datei, const QString &schema);

// A temporary program directory holding both database files, made from the
// schemas in db/; the program directory points at it while it lives.
class Programmordner
{
public:
    Programmordner();
    ~Programmordner();
    QString pfad() const { return m_dir.path(); }
    QString logDatei() const;
    QString frequenzDatei() const;

private:
    QTemporaryDir m_dir;
};

// Sets up the application as the program does and replaces message boxes.
void einrichten(QApplication &app);
}

#define TREMVIK_TEST_MAIN(Klasse)                                                                                      \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        Testhilfe::einrichten(app);                                                                                    \
        Klasse t;                                                                                                      \
        return QTest::qExec(&t, argc, argv);                                                                           \
    }
