// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/hintergrund.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <exception>
#include <memory>

namespace {

int &wartezeit()
{
    static int ms = 400;
    return ms;
}

// Swallows the user's input while work runs without a dialog: a click or a
// key meant for the windows must not act on them now, nor on what is shown
// when the work is done.
class Eingabesperre : public QObject
{
public:
    Eingabesperre() { qApp->installEventFilter(this); }
    ~Eingabesperre() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Close: return true;
        default: return false;
        }
    }
};

// Runs arbeit on a thread of its own (see the header). abbrechen is what
// "Abbrechen" sets; zeigen brings the dialog up to date with how far the
// work has come, every tenth of a second while it is shown.
void laufen(QWidget *eltern, const QString &text, std::atomic<bool> &abbrechen, int bis,
            const std::function<void(QProgressDialog &)> &zeigen, const std::function<void()> &arbeit)
{
    std::exception_ptr fehler;
    std::unique_ptr<QThread> faden(QThread::create([&] {
        try {
            arbeit();
        } catch (...) {
            fehler = std::current_exception();
        }
    }));
    faden->setObjectName(QStringLiteral("hintergrund"));
    QEventLoop schleife;
    QObject::connect(faden.get(), &QThread::finished, &schleife, &QEventLoop::quit);

    bool zeitUm = false;
    {
        Eingabesperre sperre;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QTimer warten;
        warten.setSingleShot(true);
        QObject::connect(&warten, &QTimer::timeout, &schleife, [&] {
            zeitUm = true;
            schleife.quit();
        });
        faden->start();
        warten.start(wartezeit());
        schleife.exec();
        warten.stop();
        QApplication::restoreOverrideCursor();
    }

    // The loop also ends when the program is asked to end: then the work is
    // stopped rather than shown.
    if (zeitUm && !faden->isFinished()) {
        QProgressDialog d(text, QStringLiteral("Abbrechen"), 0, bis, eltern);
        d.setObjectName(QStringLiteral("fortschritt"));
        d.setWindowTitle(QStringLiteral("tremvik-tool"));
        d.setWindowModality(Qt::ApplicationModal);
        d.setMinimumDuration(0);
        d.setAutoClose(false);
        d.setAutoReset(false);
        d.setValue(0);
        // Cancelling keeps the dialog up until the work has taken back what
        // it did; the dialog's own reset would hide it at once.
        QObject::disconnect(&d, SIGNAL(canceled()), &d, SLOT(cancel()));
        QObject::disconnect(&d, &QProgressDialog::canceled, &d, &QProgressDialog::cancel);
        QObject::connect(&d, &QProgressDialog::canceled, &d, [&] {
            abbrechen = true;
            d.setLabelText(QStringLiteral("Wird abgebrochen …"));
            if (auto *knopf = d.findChild<QPushButton *>())
                knopf->setEnabled(false);
        });
        QTimer anzeigen;
        QObject::connect(&anzeigen, &QTimer::timeout, &d, [&] {
            if (!abbrechen)
                zeigen(d);
        });
        anzeigen.start(100);
        d.show();
        if (!faden->isFinished())
            schleife.exec();
        anzeigen.stop();
        d.hide();
    }
    if (!faden->isFinished())
        abbrechen = true;
    faden->wait();
    if (fehler)
        std::rethrow_exception(fehler);
}

}   // namespace

int Hintergrund::verzoegerung()
{
    return wartezeit();
}

void Hintergrund::setzeVerzoegerung(int ms)
{
    wartezeit() = ms;
}

void Hintergrund::ausfuehren(QWidget *eltern, const QString &text,
                             const std::function<void(const Fortschritt &)> &arbeit)
{
    // What the work reports, across the threads.
    struct Stand
    {
        std::atomic<qint64> erledigt{0};
        std::atomic<qint64> gesamt{0};
        std::atomic<bool> abbrechen{false};
    };
    auto stand = std::make_shared<Stand>();
    const Fortschritt fortschritt = [stand](qint64 erledigt, qint64 gesamt) {
        stand->erledigt = erledigt;
        stand->gesamt = gesamt;
        return !stand->abbrechen;
    };
    laufen(
        eltern, text, stand->abbrechen, 1000,
        [stand](QProgressDialog &d) {
            const qint64 gesamt = stand->gesamt;
            if (gesamt > 0)
                d.setValue(int(std::min<qint64>(1000, stand->erledigt * 1000 / gesamt)));
        },
        [&] { arbeit(fortschritt); });
}

void Hintergrund::ausfuehren(QWidget *eltern, const QString &text, std::atomic<bool> &abbrechen,
                             const std::atomic<qint64> &gelesen, const std::function<void()> &arbeit)
{
    laufen(
        eltern, text, abbrechen, 0,
        [&](QProgressDialog &d) {
            const qint64 zeilen = gelesen;
            if (zeilen > 0)
                d.setLabelText(
                    text + QStringLiteral("\n") + QLocale(QLocale::German).toString(zeilen)
                    + (zeilen == 1 ? QStringLiteral(" Datensatz gelesen") : QStringLiteral(" Datensätze gelesen")));
        },
        arbeit);
}
