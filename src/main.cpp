#include "shell/anwendung.h"
#include "shell/frm_main.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Anwendung::einrichten(app);
    frm_main hauptfenster;
    hauptfenster.zeigen();
    return app.exec();
}
