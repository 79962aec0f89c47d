// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;

// The user manual ("Handbuch"): a window of its own beside the main window,
// which the user can move and size as they like while they work, over the
// Markdown file of the manual and its pictures. Each heading is an anchor,
// named as a link inside the Markdown names it ("#eigene-einträge"), so the
// contents lead to their sections and the main window can open the section
// of the window the user is in.
class frm_handbuch : public QWidget
{
    Q_OBJECT
public:
    explicit frm_handbuch(QWidget *parent = nullptr);

    // Shows the manual file; false when it cannot be read, and the user has
    // been told where it was looked for.
    bool laden(const QString &datei);
    // Scrolls to a section by its anchor; an empty or unknown anchor shows
    // the beginning.
    void zeigeAbschnitt(const QString &anker);
    // The anchors of the manual's headings, in their order.
    QStringList anker() const;

    // The anchor of a heading: its text in lower case, blanks as "-", only
    // letters, digits, "-" and "_" kept ("Über tremvik-tool …" gives
    // "über-tremvik-tool-"). A second heading of the same text gets "-1".
    static QString ankerVon(const QString &ueberschrift);
    // The section that explains a window (by its objectName); empty for the
    // beginning.
    static QString abschnittFuer(const QString &fenster);

    QPushButton *cmd_inhalt = nullptr;
    QPushButton *cmd_zurueck = nullptr;
    QPushButton *cmd_vor = nullptr;
    QLineEdit *txt_suche = nullptr;
    QPushButton *cmd_suchen = nullptr;
    QLabel *lbl_suche = nullptr;
    QTextBrowser *txt_handbuch = nullptr;

public Q_SLOTS:
    void cmd_inhalt_Click();
    // Finds the text of txt_suche after the cursor, from the beginning once
    // the end is reached.
    void cmd_suchen_Click();

private:
    void ankerSetzen();
    QStringList m_anker;
};
