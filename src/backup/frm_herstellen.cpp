#include "backup/frm_herstellen.h"

#include "shell/geometrie.h"

frm_herstellen::frm_herstellen(QWidget *parent) : KindFenster(parent)
{
    setObjectName(QStringLiteral("frm_herstellen"));
    setWindowTitle(QStringLiteral("Datenwiederherstellung"));
    Geometrie::festeGroesse(this, 7860, 3135);
}
