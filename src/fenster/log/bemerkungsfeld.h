// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTextEdit>

// The remark box of the log window. The remark is stored as text with its
// formatting, and pictures cannot be stored with it: rich text pasted or
// dropped into the box keeps its text and formatting and leaves its pictures
// out, and a paste that holds nothing but a picture is refused with a
// message, so the box never shows what the log would not keep.
class Bemerkungsfeld : public QTextEdit
{
    Q_OBJECT
public:
    explicit Bemerkungsfeld(QWidget *parent = nullptr);

    // The message for a paste that is only a picture.
    static QString nurBildText();

    // Shows a remark as stored (RTF; null: none) in the box's font, as not
    // modified, the cursor at its start. It is read apart from the box and
    // laid out once. Adjacent runs that look the same are shown as one; more
    // than maxLaeufe runs that still look different would take the layout
    // too long: then the remark is shown without its formatting, and the box
    // and the status bar say so. What is stored stays as it is until the
    // user changes the remark.
    void zeigeRtf(const QVariant &rtf);
    static constexpr int maxLaeufe = 20000;
    // Whether the remark shown is without its formatting, and the words for it.
    bool ohneFormatierung() const { return m_ohneFormatierung; }
    static QString ohneFormatierungText();

protected:
    void insertFromMimeData(const QMimeData *quelle) override;

private:
    // Whether what the box would take from the data is pictures alone.
    bool nurBild(const QMimeData *quelle) const;
    // Removes the pictures between two positions of the document.
    void bilderEntfernen(int von, int bis);
    bool m_ohneFormatierung = false;
};
