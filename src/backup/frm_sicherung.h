#pragma once
#include "shell/kindfenster.h"

// The window "Datensicherung" (placeholder until backup and restore are built).
class frm_sicherung : public KindFenster
{
    Q_OBJECT
public:
    explicit frm_sicherung(QWidget *parent = nullptr);
};
