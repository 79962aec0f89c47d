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

protected:
    void insertFromMimeData(const QMimeData *quelle) override;

private:
    // Whether what the box would take from the data is pictures alone.
    bool nurBild(const QMimeData *quelle) const;
    // Removes the pictures between two positions of the document.
    void bilderEntfernen(int von, int bis);
};
