#pragma once
#include "shell/kindfenster.h"

// The log window "Eigene Einträge" (placeholder until the log is built).
class frm_eintrag : public KindFenster
{
    Q_OBJECT
public:
    explicit frm_eintrag(QWidget *parent = nullptr);
};
