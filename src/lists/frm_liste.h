#pragma once
#include "shell/kindfenster.h"

// The frequency list windows (placeholder until the lists are built).
class FrequenzListe : public KindFenster
{
    Q_OBJECT
public:
    enum class Art { Bos, Flug, Afu, Fw };
    static FrequenzListe *erzeuge(Art art);
    explicit FrequenzListe(Art art, QWidget *parent = nullptr);

private:
    Art m_art;
};
