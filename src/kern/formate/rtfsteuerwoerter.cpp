// SPDX-License-Identifier: GPL-3.0-or-later
// The control words the reader knows, and what each one is to it.
#include "kern/formate/rtfleser_p.h"

using namespace RtfLeser::Intern;

const QHash<QString, Eintrag> &RtfLeser::Intern::woerter()
{
    static const QHash<QString, Eintrag> tabelle = [] {
        QHash<QString, Eintrag> t;
        const struct
        {
            const char *name;
            Wort wort;
        } liste[] = {
            {"ansi", Wort::Ansi},
            {"mac", Wort::Mac},
            {"pc", Wort::Pc},
            {"pca", Wort::Pca},
            {"ansicpg", Wort::Ansicpg},
            {"deff", Wort::Deff},
            {"fonttbl", Wort::Fonttbl},
            {"colortbl", Wort::Colortbl},
            {"f", Wort::F},
            {"fs", Wort::Fs},
            {"fcharset", Wort::Fcharset},
            {"cpg", Wort::Cpg},
            {"b", Wort::B},
            {"i", Wort::I},
            {"ulnone", Wort::Ulnone},
            {"strike", Wort::Strike},
            {"striked", Wort::Strike},
            {"cf", Wort::Cf},
            {"cb", Wort::Hintergrund},
            {"highlight", Wort::Hintergrund},
            {"super", Wort::Super},
            {"sub", Wort::Sub},
            {"nosupersub", Wort::Nosupersub},
            {"plain", Wort::Plain},
            {"pard", Wort::Pard},
            {"par", Wort::Par},
            {"sect", Wort::Par},
            {"page", Wort::Par},
            {"line", Wort::Line},
            {"tab", Wort::Tab},
            {"cell", Wort::Cell},
            {"nestcell", Wort::Cell},
            {"row", Wort::Row},
            {"nestrow", Wort::Row},
            {"ql", Wort::Ql},
            {"qc", Wort::Qc},
            {"qr", Wort::Qr},
            {"qj", Wort::Qj},
            {"red", Wort::Red},
            {"green", Wort::Green},
            {"blue", Wort::Blue},
            {"u", Wort::U},
            {"uc", Wort::Uc},
            {"bin", Wort::Bin},
        };
        for (const auto &e : liste)
            t.insert(QString::fromLatin1(e.name), {e.wort});
        // Every kind of underline is an underline here.
        for (const char *ul :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd", "ulthdash",
              "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            t.insert(QString::fromLatin1(ul), {Wort::Ul});
        // Destinations whose content is not part of the text.
        for (const char *weg : {"info",
                                "stylesheet",
                                "pict",
                                "object",
                                "header",
                                "headerl",
                                "headerr",
                                "headerf",
                                "footer",
                                "footerl",
                                "footerr",
                                "footerf",
                                "listtable",
                                "listoverridetable",
                                "revtbl",
                                "rsidtbl",
                                "xmlnstbl",
                                "filetbl",
                                "themedata",
                                "colorschememapping",
                                "latentstyles",
                                "datastore",
                                "generator",
                                "footnote",
                                "annotation",
                                "atnid",
                                "atnauthor",
                                "atndate",
                                "atnref",
                                "fldinst",
                                "bkmkstart",
                                "bkmkend",
                                "pn",
                                "pntxta",
                                "pntxtb",
                                "mmathPr",
                                "xe",
                                "tc",
                                "txe",
                                "template",
                                "pgdsctbl",
                                "nonshppict",
                                "shpinst",
                                "objdata",
                                "ftnsep",
                                "ftnsepc",
                                "aftnsep",
                                "aftnsepc",
                                "fchars",
                                "lchars",
                                "userprops",
                                "docvar",
                                "author",
                                "operator",
                                "title",
                                "subject",
                                "keywords",
                                "comment",
                                "doccomm",
                                "company",
                                "manager",
                                "category",
                                "hlinkbase",
                                "private",
                                "wgrffmtfilter",
                                "defchp",
                                "defpap",
                                "listpicture",
                                "protusertbl",
                                "passwordhash",
                                "blipuid",
                                "picprop",
                                "panose",
                                "falt",
                                "fontemb",
                                "fontfile",
                                "expandedcolortbl"})
            t.insert(QString::fromLatin1(weg), {Wort::Weg});
        const struct
        {
            const char *name;
            char16_t c;
        } zeichen[] = {
            {"emdash", 0x2014}, {"endash", 0x2013}, {"emspace", 0x2003}, {"enspace", 0x2002},   {"qmspace", 0x2005},
            {"bullet", 0x2022}, {"lquote", 0x2018}, {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
            {"zwj", 0x200D},    {"zwnj", 0x200C},   {"ltrmark", 0x200E}, {"rtlmark", 0x200F},
        };
        for (const auto &e : zeichen)
            t.insert(QString::fromLatin1(e.name), {Wort::Zeichen, e.c});
        return t;
    }();
    return tabelle;
}
