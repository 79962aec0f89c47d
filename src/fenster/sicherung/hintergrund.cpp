#include "fenster/sicherung/hintergrund.h"

#include <QEventLoop>
#include <QLocale>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <exception>

void Hintergrund::ausfuehren(QWidget *eltern, const QString &text, Jet::Aufsicht &aufsicht,
                             const std::function<void()> &arbeit)
{
    std::exception_ptr fehler;
    QThread *faden = QThread::create([&arbeit, &fehler] {
        try {
            arbeit();
        } catch (...) {
            fehler = std::current_exception();
        }
    });
    faden->setObjectName(QStringLiteral("hintergrund"));

    QProgressDialog d(text, QStringLiteral("Abbrechen"), 0, 0, eltern);
    d.setObjectName(QStringLiteral("fortschritt"));
    d.setWindowTitle(QStringLiteral("tremvik-tool"));
    d.setWindowModality(Qt::WindowModal);
    d.setAutoClose(false);
    d.setAutoReset(false);
    d.setMinimumDuration(300);
    QObject::connect(&d, &QProgressDialog::canceled, &d, [&aufsicht] { aufsicht.abbrechen = true; });

    // The dialog comes up after a moment and then says how far the work is.
    QTimer uhr;
    int takte = 0;
    QObject::connect(&uhr, &QTimer::timeout, &d, [&] {
        if (++takte == 3 && !d.wasCanceled())
            d.show();
        const qint64 zeilen = aufsicht.zeilen;
        if (zeilen > 0 && !d.wasCanceled())
            d.setLabelText(
                text + QStringLiteral("\n") + QLocale(QLocale::German).toString(zeilen)
                + (zeilen == 1 ? QStringLiteral(" Datensatz gelesen") : QStringLiteral(" Datensätze gelesen")));
    });
    uhr.start(100);

    QEventLoop schleife;
    QObject::connect(faden, &QThread::finished, &schleife, &QEventLoop::quit);
    faden->start();
    if (!faden->isFinished())
        schleife.exec();
    // The loop also ends when the program is told to quit: then the work
    // is cancelled rather than waited for to its end.
    if (!faden->isFinished())
        aufsicht.abbrechen = true;
    faden->wait();
    delete faden;
    uhr.stop();
    d.hide();
    if (fehler)
        std::rethrow_exception(fehler);
}
