// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/hilfe/frm_handbuch.h"

#include "fenster/bausteine/meldung.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

frm_handbuch::frm_handbuch(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frm_handbuch"));
    setWindowTitle(QStringLiteral("Handbuch – tremvik-tool"));

    auto knopf = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    cmd_inhalt = knopf("cmd_inhalt", QStringLiteral("Inhalt"));
    cmd_zurueck = knopf("cmd_zurueck", QStringLiteral("Zurück"));
    cmd_vor = knopf("cmd_vor", QStringLiteral("Vor"));
    txt_suche = new QLineEdit(this);
    txt_suche->setObjectName(QStringLiteral("txt_suche"));
    txt_suche->setPlaceholderText(QStringLiteral("Im Handbuch suchen"));
    txt_suche->setClearButtonEnabled(true);
    cmd_suchen = knopf("cmd_suchen", QStringLiteral("Suchen"));
    lbl_suche = new QLabel(this);
    lbl_suche->setObjectName(QStringLiteral("lbl_suche"));

    txt_handbuch = new QTextBrowser(this);
    txt_handbuch->setObjectName(QStringLiteral("txt_handbuch"));
    txt_handbuch->setOpenExternalLinks(true);
    // Text to be read at length: larger than the windows' dialog font.
    QFont lesen = txt_handbuch->font();
    lesen.setPointSizeF(std::max(lesen.pointSizeF(), 10.5));
    txt_handbuch->setFont(lesen);

    auto *leiste = new QHBoxLayout;
    leiste->addWidget(cmd_inhalt);
    leiste->addWidget(cmd_zurueck);
    leiste->addWidget(cmd_vor);
    leiste->addSpacing(12);
    leiste->addWidget(txt_suche, 1);
    leiste->addWidget(cmd_suchen);
    leiste->addWidget(lbl_suche);
    auto *spalte = new QVBoxLayout(this);
    spalte->addLayout(leiste);
    spalte->addWidget(txt_handbuch, 1);

    cmd_zurueck->setEnabled(false);
    cmd_vor->setEnabled(false);
    connect(cmd_inhalt, &QPushButton::clicked, this, &frm_handbuch::cmd_inhalt_Click);
    connect(cmd_zurueck, &QPushButton::clicked, txt_handbuch, &QTextBrowser::backward);
    connect(cmd_vor, &QPushButton::clicked, txt_handbuch, &QTextBrowser::forward);
    connect(txt_handbuch, &QTextBrowser::backwardAvailable, cmd_zurueck, &QPushButton::setEnabled);
    connect(txt_handbuch, &QTextBrowser::forwardAvailable, cmd_vor, &QPushButton::setEnabled);
    connect(cmd_suchen, &QPushButton::clicked, this, &frm_handbuch::cmd_suchen_Click);
    connect(txt_suche, &QLineEdit::returnPressed, this, &frm_handbuch::cmd_suchen_Click);
    connect(txt_suche, &QLineEdit::textChanged, lbl_suche, &QLabel::clear);
    // The browser reads the file anew for every section it is sent to (and
    // back and forth in its history), which drops the anchors: they are
    // set again, and the section is scrolled to once they are there.
    connect(txt_handbuch, &QTextBrowser::sourceChanged, this, [this](const QUrl &ziel) {
        ankerSetzen();
        if (ziel.hasFragment())
            txt_handbuch->scrollToAnchor(ziel.fragment());
    });

    // Wide enough for the pictures of the windows, within the screen.
    QSize groesse(980, 760);
    if (const QScreen *s = QGuiApplication::primaryScreen())
        groesse = groesse.boundedTo(s->availableSize() * 9 / 10);
    resize(groesse);
}

bool frm_handbuch::laden(const QString &datei)
{
    const QFileInfo info(datei);
    if (!info.isFile() || !info.isReadable()) {
        Meldung::zeigen(QStringLiteral("Das Handbuch ist nicht vorhanden.\nEs wurde hier gesucht: %1").arg(datei),
                        Meldung::Symbol::Fehler);
        return false;
    }
    txt_handbuch->setSource(QUrl::fromLocalFile(info.absoluteFilePath()), QTextDocument::MarkdownResource);
    return !txt_handbuch->document()->isEmpty();
}

QString frm_handbuch::ankerVon(const QString &ueberschrift)
{
    QString anker;
    for (const QChar c : ueberschrift.toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            anker += c;
        else if (c == QLatin1Char(' '))
            anker += QLatin1Char('-');
    }
    return anker;
}

// Every heading becomes a named anchor; the Markdown reader gives them none.
void frm_handbuch::ankerSetzen()
{
    m_anker.clear();
    QHash<QString, int> schonDa;
    QTextDocument *doc = txt_handbuch->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() == 0 || b.length() <= 1)
            continue;
        QString anker = ankerVon(b.text());
        const int n = schonDa.value(anker, 0);
        schonDa.insert(anker, n + 1);
        if (n > 0)
            anker += QStringLiteral("-%1").arg(n);
        QTextCursor c(b);
        c.setPosition(b.position() + b.length() - 1, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        f.setAnchor(true);
        f.setAnchorNames({anker});
        c.mergeCharFormat(f);
        m_anker.append(anker);
    }
}

QStringList frm_handbuch::anker() const
{
    return m_anker;
}

void frm_handbuch::zeigeAbschnitt(const QString &anker)
{
    if (!anker.isEmpty() && m_anker.contains(anker)) {
        QUrl ziel = txt_handbuch->source();
        ziel.setFragment(anker);
        txt_handbuch->setSource(ziel, QTextDocument::MarkdownResource);
    } else {
        cmd_inhalt_Click();
    }
}

QString frm_handbuch::abschnittFuer(const QString &fenster)
{
    static const QHash<QString, QString> abschnitte{
        {QStringLiteral("frm_bos"), QStringLiteral("frequenzlisten")},
        {QStringLiteral("frm_flug"), QStringLiteral("frequenzlisten")},
        {QStringLiteral("frm_afu"), QStringLiteral("frequenzlisten")},
        {QStringLiteral("frm_fw"), QStringLiteral("frequenzlisten")},
        {QStringLiteral("frm_eintrag"), QStringLiteral("eigene-einträge")},
        {QStringLiteral("frm_sicherung"), QStringLiteral("sicherung")},
        {QStringLiteral("frm_herstellen"), QStringLiteral("wiederherstellung")},
        {QStringLiteral("frm_autosicherung"), QStringLiteral("automatische-sicherungen")},
        {QStringLiteral("frm_statistik"), QStringLiteral("statistik")},
        {QStringLiteral("frm_waslaeuft"), QStringLiteral("was-läuft-hier")},
        {QStringLiteral("frm_suchlauf"), QStringLiteral("suchlauf")},
    };
    return abschnitte.value(fenster);
}

void frm_handbuch::cmd_inhalt_Click()
{
    QUrl anfang = txt_handbuch->source();
    if (anfang.hasFragment()) {
        anfang.setFragment(QString());
        txt_handbuch->setSource(anfang, QTextDocument::MarkdownResource);
    }
    txt_handbuch->moveCursor(QTextCursor::Start);
    txt_handbuch->verticalScrollBar()->setValue(0);
}

void frm_handbuch::cmd_suchen_Click()
{
    const QString text = txt_suche->text();
    if (text.isEmpty())
        return;
    if (txt_handbuch->find(text)) {
        lbl_suche->clear();
        return;
    }
    // From the beginning once more.
    const QTextCursor vorher = txt_handbuch->textCursor();
    txt_handbuch->moveCursor(QTextCursor::Start);
    if (txt_handbuch->find(text)) {
        lbl_suche->setText(QStringLiteral("wieder von vorn"));
        return;
    }
    txt_handbuch->setTextCursor(vorher);
    lbl_suche->setText(QStringLiteral("nicht gefunden"));
}
