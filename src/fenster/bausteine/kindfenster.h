// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QWidget>

// A child window of the main window: fixed size, title bar with a close box
// only. The main window creates it, runs Form_Load, and only then shows it;
// a window whose Form_Load fails is destroyed instead of shown half-built.
class KindFenster : public QWidget
{
    Q_OBJECT
public:
    explicit KindFenster(QWidget *parent = nullptr) : QWidget(parent) { }
    // The window's load handler; throws DatenFehler when loading fails.
    virtual void Form_Load() { }
    // The frame around it takes its size from this hint; a window of fixed
    // size hints at that size, not at what its layout would like.
    QSize sizeHint() const override { return minimumSize() == maximumSize() ? minimumSize() : QWidget::sizeHint(); }
};
