#pragma once
#include "shell/kindfenster.h"

// The window "Datenwiederherstellung" (placeholder until backup and restore are built).
class frm_herstellen : public KindFenster
{
    Q_OBJECT
public:
    explicit frm_herstellen(QWidget *parent = nullptr);
};
