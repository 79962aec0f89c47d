#include "log/frm_eintrag.h"

#include "shell/geometrie.h"

frm_eintrag::frm_eintrag(QWidget *parent) : KindFenster(parent)
{
    setObjectName(QStringLiteral("frm_eintrag"));
    setWindowTitle(QStringLiteral("Eigene Einträge"));
    Geometrie::festeGroesse(this, 11250, 7740);
}
