// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/austausch/adifzuordnung.h"

#include "kern/basis/frequenz.h"
#include "kern/basis/meldetext.h"
#include "kern/bestaende/logdatum.h"
#include "kern/formate/textkodierung.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

using Spalte = Logeintrag::Spalte;

namespace {

const QString app = QStringLiteral("APP_TREMVIK_");
const QString prozent = QStringLiteral("_PROZENT");

// ADIF's modes and the submodes the log is likely to name, with their mode.
const QHash<QString, QString> &submodi()
{
    static const QHash<QString, QString> s{
        {"USB", "SSB"},           {"LSB", "SSB"},
        {"PSK31", "PSK"},         {"PSK63", "PSK"},
        {"PSK125", "PSK"},        {"QPSK31", "PSK"},
        {"FT4", "MFSK"},          {"JS8", "MFSK"},
        {"FST4", "MFSK"},         {"Q65", "MFSK"},
        {"DMR", "DIGITALVOICE"},  {"DSTAR", "DIGITALVOICE"},
        {"C4FM", "DIGITALVOICE"}, {"FREEDV", "DIGITALVOICE"},
        {"M17", "DIGITALVOICE"},  {"PCW", "CW"},
        {"ASCI", "RTTY"},
    };
    return s;
}

const QSet<QString> &modi()
{
    static const QSet<QString> m{
        "AM",    "ARDOP", "ATV",    "CHIP", "CLO",    "CONTESTI", "CW",  "DIGITALVOICE", "DOMINO", "DYNAMIC",
        "FAX",   "FM",    "FSK441", "FT8",  "HELL",   "ISCAT",    "JT4", "JT6M",         "JT9",    "JT44",
        "JT65",  "MFSK",  "MSK144", "MT63", "OLIVIA", "OPERA",    "PAC", "PAX",          "PKT",    "PSK",
        "PSK2K", "Q15",   "QRA64",  "ROS",  "RTTY",   "RTTYM",    "SSB", "SSTV",         "T10",    "THOR",
        "THRB",  "TOR",   "V4",     "VOI",  "WINMOR", "WSPR",
    };
    return m;
}

// Modulations of the listener's world and the ADIF mode nearest to each.
const QHash<QString, AdifZuordnung::Modus> &naechste()
{
    static const QHash<QString, AdifZuordnung::Modus> n{
        {"NFM", {"FM", {}}},
        {"FMN", {"FM", {}}},
        {"FM-N", {"FM", {}}},
        {"WFM", {"FM", {}}},
        {"FMW", {"FM", {}}},
        {"FM-W", {"FM", {}}},
        {"FM STEREO", {"FM", {}}},
        {"UKW", {"FM", {}}},
        {"ZVEI", {"FM", {}}},
        {"DSB", {"AM", {}}},
        {"D-STAR", {"DIGITALVOICE", "DSTAR"}},
        {"YSF", {"DIGITALVOICE", "C4FM"}},
        {"FUSION", {"DIGITALVOICE", "C4FM"}},
        {"TETRA", {"DIGITALVOICE", {}}},
        {"P25", {"DIGITALVOICE", {}}},
        {"NXDN", {"DIGITALVOICE", {}}},
        {"DPMR", {"DIGITALVOICE", {}}},
        {"POCSAG", {"PKT", {}}},
        {"FMS", {"PKT", {}}},
        {"ACARS", {"PKT", {}}},
        {"AIS", {"PKT", {}}},
        {"APRS", {"PKT", {}}},
        {"PACKET", {"PKT", {}}},
        {"AX25", {"PKT", {}}},
        {"DSC", {"PKT", {}}},
        {"WEFAX", {"FAX", {}}},
        {"HF-FAX", {"FAX", {}}},
        {"BPSK31", {"PSK", "PSK31"}},
        {"CW-U", {"CW", {}}},
        {"CW-L", {"CW", {}}},
    };
    return n;
}

QString prozentKodiert(const QString &text)
{
    QByteArray lassen;
    for (char c = 0x20; c < 0x7F; ++c)
        if (c != '%')
            lassen += c;
    return QString::fromLatin1(QUrl::toPercentEncoding(text, lassen));
}

// The value of an application field of tremvik, in whichever form it came.
bool mitEigenenFeldern(const Adif::Datensatz &s)
{
    return std::any_of(s.felder.begin(), s.felder.end(), [](const Adif::Feld &f) { return f.name.startsWith(app); });
}

std::optional<QString> appWert(const Adif::Datensatz &s, const QString &name)
{
    if (auto w = s.wert(app + name))
        return w;
    if (auto w = s.wert(app + name + prozent))
        return QUrl::fromPercentEncoding(w->toLatin1());
    return std::nullopt;
}

std::optional<QString> nichtLeer(const std::optional<QString> &w)
{
    return w && !w->isEmpty() ? w : std::nullopt;
}

// The exact text of a field with an international form.
std::optional<QString> intl(const Adif::Datensatz &s, const QString &name)
{
    if (auto w = nichtLeer(s.wert(name + QStringLiteral("_INTL"))))
        return w;
    return nichtLeer(s.wert(name));
}

QString mitCrLf(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

QString ohneCr(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

struct Leser
{
    const Adif::Datensatz &s;
    const AdifZuordnung::Zeitbezug &zeit;
    Logeintrag e;
    QString fehler;
    // Whether tremvik's own fields are there to look for.
    const bool eigene = mitEigenenFeldern(s);

    void nimm(Spalte spalte, const std::optional<QString> &ersatz)
    {
        if (eigene)
            if (auto w = appWert(s, AdifZuordnung::appName(spalte))) {
                e[spalte] = w;
                return;
            }
        e[spalte] = ersatz;
    }

    void rapport()
    {
        static const QRegularExpression rs(QStringLiteral("^([1-5])([1-9](?:\\+\\d+)?)$"));
        std::optional<QString> r, sw;
        if (const auto rst = nichtLeer(s.wert(QStringLiteral("RST_SENT")))) {
            const auto m = rs.match(rst->trimmed());
            if (m.hasMatch()) {
                r = m.captured(1);
                sw = m.captured(2);
            } else {
                sw = rst;
            }
        }
        nimm(Logeintrag::rwert, r);
        nimm(Logeintrag::swert, sw);
    }

    void datumUndZeit()
    {
        std::optional<QDate> datum;
        std::optional<Logdatum::Uhrzeit> uhr;
        // ADIF's forms only: eight digits, and four or six.
        auto ziffern = [](const QString &t, std::initializer_list<qsizetype> laengen) {
            return std::find(laengen.begin(), laengen.end(), t.size()) != laengen.end()
                   && std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        };
        if (const auto d = nichtLeer(s.wert(QStringLiteral("QSO_DATE")))) {
            const QString t = d->trimmed();
            if (ziffern(t, {8}))
                datum = Logdatum::tag(t);
            if (!datum)
                fehler = QStringLiteral("QSO_DATE %1 ist kein Datum (JJJJMMTT).").arg(Meldetext::zitat(*d));
        }
        if (const auto z = nichtLeer(s.wert(QStringLiteral("TIME_ON")))) {
            const QString t = z->trimmed();
            if (ziffern(t, {4, 6}))
                uhr = Logdatum::uhrzeit(t);
            if (!uhr)
                fehler = QStringLiteral("TIME_ON %1 ist keine Uhrzeit (HHMM oder HHMMSS).").arg(Meldetext::zitat(*z));
        }
        std::optional<QString> datumText, zeitText;
        if (fehler.isEmpty() && datum && uhr) {
            QDateTime dt(*datum, uhr->zeit, QTimeZone::utc());
            if (zeit.ortszeit)
                dt = dt.toTimeZone(zeit.zone);
            datumText = Logdatum::datumText(dt.date());
            zeitText = Logdatum::zeitText({dt.time(), uhr->sekunden});
        } else if (fehler.isEmpty()) {
            if (datum)
                datumText = Logdatum::datumText(*datum);
            if (uhr)
                zeitText = Logdatum::zeitText(*uhr);
        }
        nimm(Logeintrag::datum, datumText);
        nimm(Logeintrag::uhrzeit, zeitText);
    }

    void frequenz()
    {
        std::optional<QString> text;
        if (const auto f = nichtLeer(s.wert(QStringLiteral("FREQ")))) {
            if (const auto hz = Frequenz::hertz(*f))
                text = Frequenz::mhzText(*hz);
            else if (!eigene || !appWert(s, AdifZuordnung::appName(Logeintrag::frequenz)))
                fehler = QStringLiteral("FREQ: %1").arg(Frequenz::einwand(*f));
        }
        nimm(Logeintrag::frequenz, text);
    }

    void modulation()
    {
        auto m = nichtLeer(s.wert(QStringLiteral("SUBMODE")));
        if (!m)
            m = nichtLeer(s.wert(QStringLiteral("MODE")));
        nimm(Logeintrag::band, m ? std::optional<QString>(m->trimmed().toUpper()) : std::nullopt);
    }

    void bemerkung()
    {
        // The remark's RTF, its line breaks as the log keeps them (they mean
        // nothing to RTF); the percent-encoded form carries them exactly.
        const QString name = app + AdifZuordnung::appName(Logeintrag::bemerkung);
        if (auto rtf = s.wert(name)) {
            e[Logeintrag::bemerkung] = rtf->replace(QLatin1String("\r\n"), QLatin1String("\n"));
            return;
        }
        if (auto rtf = appWert(s, AdifZuordnung::appName(Logeintrag::bemerkung))) {
            e[Logeintrag::bemerkung] = rtf;
            return;
        }
        const auto notes = intl(s, QStringLiteral("NOTES"));
        const auto comment = intl(s, QStringLiteral("COMMENT"));
        QString text;
        if (notes)
            text = ohneCr(*notes);
        if (comment && !text.contains(ohneCr(*comment)))
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + ohneCr(*comment);
        if (!text.isEmpty())
            e[Logeintrag::bemerkung] = Logdaten::bemerkungAusText(text);
    }

    void alle(bool mitBemerkung)
    {
        nimm(Logeintrag::callsign, nichtLeer(s.wert(QStringLiteral("CALL"))));
        nimm(Logeintrag::skip, std::nullopt);
        nimm(Logeintrag::vorname, intl(s, QStringLiteral("NAME")));
        nimm(Logeintrag::land, intl(s, QStringLiteral("COUNTRY")));
        rapport();
        datumUndZeit();
        nimm(Logeintrag::lanal, std::nullopt);
        frequenz();
        modulation();
        nimm(Logeintrag::ort, intl(s, QStringLiteral("QTH")));
        if (mitBemerkung)
            bemerkung();
    }
};

const QSet<QString> &bekannteFelder()
{
    static const QSet<QString> f{"CALL",     "NAME",     "NAME_INTL",  "COUNTRY", "COUNTRY_INTL", "QTH",
                                 "QTH_INTL", "RST_SENT", "QSO_DATE",   "TIME_ON", "FREQ",         "MODE",
                                 "SUBMODE",  "NOTES",    "NOTES_INTL", "COMMENT", "COMMENT_INTL"};
    return f;
}

// Where a column goes in the standard fields, in one of the three forms.
class Schreiber
{
public:
    Schreiber(Adif::Datensatz &satz, AdifZuordnung::Form form) : s(satz), f(form) { }

    // A text field; ADX adds the exact text in its _INTL field.
    void text(const QString &name, const QString &wert, bool mitIntl)
    {
        if (wert.isEmpty())
            return;
        if (f == AdifZuordnung::Form::Adi) {
            s.setze(name, wert);
            return;
        }
        s.setze(name, Textkodierung::ascii(wert));
        if (f == AdifZuordnung::Form::Adx && mitIntl && !Textkodierung::istAscii(wert))
            s.setze(name + QStringLiteral("_INTL"), wert);
    }

    void anwendung(const QString &name, const Logeintrag::Wert &wert, bool mehrzeilig)
    {
        const QString w = wert.value_or(QString());
        const bool ascii = Textkodierung::istAscii(w);
        if (f == AdifZuordnung::Form::AdiAscii && !ascii)
            s.setze(app + name + prozent, prozentKodiert(w), 'S');
        else if (mehrzeilig)   // ADIF's multi-line strings break lines with CR LF
            s.setze(app + name, mitCrLf(w), ascii ? 'M' : 'G');
        else
            s.setze(app + name, w, ascii ? 'S' : 'I');
    }

private:
    Adif::Datensatz &s;
    AdifZuordnung::Form f;
};

// A date and time of the log as UTC. A local time the clocks skipped (the
// hour when summer time begins) is read with the offset before the change.
QDateTime alsUtc(const QDate &datum, const QTime &zeit, const AdifZuordnung::Zeitbezug &bezug)
{
    const QDateTime utc(datum, zeit, QTimeZone::utc());
    if (!bezug.ortszeit)
        return utc;
    const QDateTime lokal(datum, zeit, bezug.zone);
    if (lokal.isValid())
        return lokal.toUTC();
    return utc.addSecs(-bezug.zone.offsetFromUtc(utc.addSecs(-6 * 3600)));
}

QString leer(const Logeintrag::Wert &w)
{
    return w ? w->trimmed() : QString();
}

}   // namespace

bool AdifZuordnung::mehrzeilig(const Adif::Feld &feld)
{
    static const QSet<QString> felder{"NOTES",        "NOTES_INTL", "ADDRESS",
                                      "ADDRESS_INTL", "QSLMSG",     "QSLMSG_INTL",
                                      "RIG",          "RIG_INTL",   app + appName(Logeintrag::bemerkung)};
    return feld.typ == 'M' || feld.typ == 'G' || felder.contains(feld.name);
}

QString AdifZuordnung::appName(Logeintrag::Spalte spalte)
{
    switch (spalte) {
    case Logeintrag::lanal: return QStringLiteral("KANAL");
    case Logeintrag::band: return QStringLiteral("MODULATION");
    default: return Logeintrag::spalten().at(spalte).toUpper();
    }
}

bool AdifZuordnung::gueltigesRufzeichen(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^[A-Z0-9]+(/[A-Z0-9]+)*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression ziffer(QStringLiteral("\\d")), buchstabe(QStringLiteral("[A-Za-z]"));
    return form.match(text).hasMatch() && ziffer.match(text).hasMatch() && buchstabe.match(text).hasMatch();
}

AdifZuordnung::Modus AdifZuordnung::modus(const QString &modulation)
{
    const QString m = modulation.trimmed().toUpper();
    if (modi().contains(m))
        return {m, {}};
    if (const auto it = submodi().constFind(m); it != submodi().constEnd())
        return {it.value(), m};
    return naechste().value(m);
}

AdifZuordnung::Ausgabe AdifZuordnung::ausEintrag(const Logeintrag &e, Form form, const Zeitbezug &zeit)
{
    Ausgabe aus;
    Adif::Datensatz &s = aus.satz;
    Schreiber schreiber(s, form);

    const QString call = leer(e[Logeintrag::callsign]);
    if (!call.isEmpty())
        s.setze(QStringLiteral("CALL"), Textkodierung::ascii(call));
    schreiber.text(QStringLiteral("NAME"), leer(e[Logeintrag::vorname]), true);
    schreiber.text(QStringLiteral("QTH"), leer(e[Logeintrag::ort]), true);
    schreiber.text(QStringLiteral("COUNTRY"), leer(e[Logeintrag::land]), true);

    static const QRegularExpression r(QStringLiteral("^[1-5]$")), sw(QStringLiteral("^[1-9](\\+\\d{1,2})?$"));
    const QString rwert = leer(e[Logeintrag::rwert]), swert = leer(e[Logeintrag::swert]);
    if (r.match(rwert).hasMatch() && sw.match(swert).hasMatch())
        s.setze(QStringLiteral("RST_SENT"), rwert + swert);

    const auto datum = Logdatum::tag(leer(e[Logeintrag::datum]));
    const auto uhr = Logdatum::uhrzeit(leer(e[Logeintrag::uhrzeit]));
    if (datum && uhr) {
        const QDateTime utc = alsUtc(*datum, uhr->zeit, zeit);
        s.setze(QStringLiteral("QSO_DATE"), utc.date().toString(QStringLiteral("yyyyMMdd")));
        s.setze(QStringLiteral("TIME_ON"),
                utc.time().toString(uhr->sekunden ? QStringLiteral("HHmmss") : QStringLiteral("HHmm")));
        aus.mitDatumUndZeit = true;
    }

    if (const auto hz = Frequenz::hertz(leer(e[Logeintrag::frequenz])))
        s.setze(QStringLiteral("FREQ"), Frequenz::mhzText(*hz, QLatin1Char('.')));

    const Modus m = modus(leer(e[Logeintrag::band]));
    if (!m.mode.isEmpty())
        s.setze(QStringLiteral("MODE"), m.mode);
    if (!m.submode.isEmpty())
        s.setze(QStringLiteral("SUBMODE"), m.submode);

    if (e[Logeintrag::bemerkung]) {
        const QString text = Logdaten::bemerkungAlsText(*e[Logeintrag::bemerkung]).trimmed();
        schreiber.text(QStringLiteral("NOTES"), mitCrLf(text), true);
        schreiber.text(QStringLiteral("COMMENT"), text.section(QLatin1Char('\n'), 0, 0).trimmed(), true);
    }

    // What the standard fields do not give back goes into application fields.
    Leser zurueck{s, zeit, {}, {}};
    zurueck.alle(false);
    for (int c = 0; c < Logeintrag::anzahl; ++c) {
        const auto spalte = Spalte(c);
        const bool abweichend =
            spalte == Logeintrag::bemerkung ? e[spalte].has_value() : zurueck.e[spalte] != e[spalte];
        const bool kein_rufzeichen = spalte == Logeintrag::callsign && e[spalte] && !gueltigesRufzeichen(*e[spalte]);
        if (abweichend || kein_rufzeichen)
            schreiber.anwendung(appName(spalte), e[spalte], spalte == Logeintrag::bemerkung);
    }
    return aus;
}

AdifZuordnung::Eingabe AdifZuordnung::inEintrag(const Adif::Datensatz &satz, const Zeitbezug &zeit)
{
    Eingabe ein;
    if (!satz.fehler.isEmpty()) {
        ein.fehler = satz.fehler;
        return ein;
    }
    Leser l{satz, zeit, {}, {}};
    l.alle(true);
    ein.eintrag = l.e;
    ein.fehler = l.fehler;
    bool etwas = false;
    for (const Adif::Feld &f : satz.felder) {
        if (f.name.startsWith(app) || bekannteFelder().contains(f.name))
            etwas = true;
        else
            ein.uebergangen.append(f.name);
    }
    if (!etwas && ein.fehler.isEmpty())
        ein.fehler = QStringLiteral("Der Datensatz enthält keines der Felder, die das Log aufnimmt.");
    return ein;
}
