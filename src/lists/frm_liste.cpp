#include "lists/frm_liste.h"

#include "shell/geometrie.h"

FrequenzListe *FrequenzListe::erzeuge(Art art)
{
    return new FrequenzListe(art);
}

FrequenzListe::FrequenzListe(Art art, QWidget *parent) : KindFenster(parent), m_art(art)
{
    static const char *namen[] = {"frm_bos", "frm_flug", "frm_afu", "frm_fw"};
    setObjectName(QString::fromLatin1(namen[int(art)]));
    Geometrie::festeGroesse(this, 12405, 8475);
}
