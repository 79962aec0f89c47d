// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/hilfe/frm_ueber.h"

#include "kern/basis/datenfehler.h"
#include "kern/basis/speicherorte.h"
#include "kern/bestaende/frequenzdaten.h"
#include "kern/bestaende/herkunft.h"
#include "kern/sicherung/autosicherung.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The lists by their names in the menu.
const char *const listenNamen[] = {"BOS", "Flugfunk", "AFU-Repeater", "Fernwirken"};

}

QString frm_ueber::listenText(const QString &datei)
{
    QMap<QString, Herkunft::Liste> herkunft;
    try {
        herkunft = Herkunft::lesen(datei);
    } catch (const DatenFehler &f) {
        return QStringLiteral("Die Frequenzdatenbank lässt sich nicht lesen: %1")
            .arg(Herkunft::einzeilig(f.meldung()).toHtmlEscaped());
    }
    QStringList zeilen;
    QStringList beispiele;
    for (int i = 0; i < Frequenzdaten::tabellen().size(); ++i) {
        const QString name = QString::fromUtf8(listenNamen[i]);
        const auto it = herkunft.constFind(Frequenzdaten::tabellen().at(i));
        QString text;
        if (it == herkunft.constEnd()) {
            text = QStringLiteral("eigene Liste, nicht die mitgelieferte (Herkunft unbekannt)");
        } else {
            if (it->beispiel)
                beispiele.append(name);
            text = (it->beispiel ? QStringLiteral("<b>Beispieldaten</b>") : QStringLiteral("reale Daten"))
                   + QStringLiteral(" – ") + it->quelle.toHtmlEscaped();
            if (!it->bedingungen.isEmpty())
                text += QStringLiteral(". Bedingungen: ") + it->bedingungen.toHtmlEscaped();
        }
        zeilen.append(QStringLiteral("<b>%1</b>: %2").arg(name, text));
    }
    QString ganz = zeilen.join(QStringLiteral("<br>"));
    if (!beispiele.isEmpty()) {
        const QString welche =
            beispiele.size() == 1
                ? QStringLiteral("Die Liste %1 ist").arg(beispiele.first())
                : QStringLiteral("Die Listen %1 und %2 sind")
                      .arg(beispiele.mid(0, beispiele.size() - 1).join(QStringLiteral(", ")), beispiele.last());
        ganz += QStringLiteral("<br><br>%1 Beispieldaten: keine realen Funkstellen. Solange eine solche Liste "
                               "vorn ist, sagt es die Statuszeile.")
                    .arg(welche);
    }
    return ganz;
}

frm_ueber::frm_ueber(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_ueber"));
    setWindowTitle(QStringLiteral("Über tremvik-tool"));

    lbl_titel = new QLabel(QStringLiteral("<b><big>tremvik-tool %1</big></b><br>"
                                          "Frequenzlisten nachschlagen und das eigene Empfangslog führen")
                               .arg(QStringLiteral(TREMVIK_VERSION)),
                           this);
    lbl_titel->setObjectName(QStringLiteral("lbl_titel"));

    lbl_lizenz = new QLabel(
        QStringLiteral("tremvik-tool ist freie Software: Sie dürfen es unter den Bedingungen der "
                       "<a href=\"https://www.gnu.org/licenses/gpl-3.0.html\">GNU General Public License</a>, "
                       "Version 3 oder (nach Ihrer Wahl) jeder späteren Version, weitergeben und ändern "
                       "(GPL-3.0-or-later). Es wird ohne jede Gewährleistung geliefert."),
        this);
    lbl_lizenz->setObjectName(QStringLiteral("lbl_lizenz"));
    lbl_lizenz->setWordWrap(true);
    lbl_lizenz->setOpenExternalLinks(true);

    auto *listen = new QGroupBox(QStringLiteral("Frequenzlisten"), this);
    lbl_listen = new QLabel(listenText(Speicherorte::frequenzDatei()), listen);
    lbl_listen->setObjectName(QStringLiteral("lbl_listen"));
    lbl_listen->setWordWrap(true);
    lbl_listen->setTextFormat(Qt::RichText);
    lbl_listen->setTextInteractionFlags(Qt::TextSelectableByMouse);
    (new QVBoxLayout(listen))->addWidget(lbl_listen);

    auto *dateien = new QGroupBox(QStringLiteral("Ihre Dateien"), this);
    auto *raster = new QGridLayout(dateien);
    int zeilen = 0;
    auto pfadZeile = [&](const char *name, const QString &beschriftung, const QString &pfad) {
        const int zeile = zeilen++;
        auto *text = new QLineEdit(QDir::toNativeSeparators(pfad), dateien);
        text->setObjectName(QLatin1String(name));
        text->setReadOnly(true);
        text->setCursorPosition(0);
        text->setMinimumWidth(420);
        const QString wofuer = QString::fromLatin1(name).mid(4);   // "txt_log": "log"
        auto *label = new QLabel(beschriftung, dateien);
        label->setObjectName(QStringLiteral("lbl_") + wofuer);
        label->setBuddy(text);
        auto *kopieren = new QPushButton(QStringLiteral("Kopieren"), dateien);
        kopieren->setObjectName(QStringLiteral("cmd_kopieren_") + wofuer);
        kopieren->setAutoDefault(false);
        kopieren->setToolTip(QStringLiteral("Den Pfad in die Zwischenablage kopieren"));
        connect(kopieren, &QPushButton::clicked, text, [text] {
            QGuiApplication::clipboard()->setText(text->text());
            text->selectAll();
        });
        raster->addWidget(label, zeile, 0);
        raster->addWidget(text, zeile, 1);
        raster->addWidget(kopieren, zeile, 2);
        return text;
    };
    const Autosicherung::Einstellung sicherung = Autosicherung::Einstellung::lesen();
    txt_log = pfadZeile("txt_log", QStringLiteral("Eigene Einträge (Log):"), Speicherorte::logDatei());
    txt_frequenzen = pfadZeile("txt_frequenzen", QStringLiteral("Frequenzlisten:"), Speicherorte::frequenzDatei());
    txt_sicherungen = pfadZeile("txt_sicherungen",
                                sicherung.aktiv ? QStringLiteral("Automatische Sicherungen:")
                                                : QStringLiteral("Automatische Sicherungen (ausgeschaltet):"),
                                sicherung.ordnerOderStandard());
    txt_einstellungen =
        pfadZeile("txt_einstellungen", QStringLiteral("Einstellungen:"), Speicherorte::einstellungsDatei());

    auto *knoepfe = new QDialogButtonBox(this);
    cmd_schliessen = knoepfe->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    cmd_schliessen->setObjectName(QStringLiteral("cmd_schliessen"));
    cmd_schliessen->setDefault(true);
    connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *spalte = new QVBoxLayout(this);
    spalte->addWidget(lbl_titel);
    spalte->addWidget(lbl_lizenz);
    spalte->addWidget(listen);
    spalte->addWidget(dateien);
    spalte->addWidget(knoepfe);
    setMinimumWidth(720);
}
