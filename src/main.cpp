#include "fenster/bausteine/anwendung.h"
#include "kern/basis/befehlszeile.h"
#include "fenster/haupt/frm_main.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // --version and --help answer on the console.
    if (const std::optional<int> ende = Befehlszeile::beantworten(argc, argv))
        return *ende;
    const QtMessageHandler ausgabe = Anwendung::ohneAnzeigeMelden();
    QApplication app(argc, argv);
    qInstallMessageHandler(ausgabe);
    Anwendung::einrichten(app);
    frm_main hauptfenster;
    hauptfenster.zeigen();
    return app.exec();
}
