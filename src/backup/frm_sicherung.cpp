#include "backup/frm_sicherung.h"

#include "shell/geometrie.h"

frm_sicherung::frm_sicherung(QWidget *parent) : KindFenster(parent)
{
    setObjectName(QStringLiteral("frm_sicherung"));
    setWindowTitle(QStringLiteral("Datensicherung"));
    Geometrie::festeGroesse(this, 7935, 3135);
}
