#pragma once

#include <QLineEdit>

namespace kivo {

// The masked RFC entry: mask "&&&999999aaa" with a blank placeholder. Positions 1-3 take any
// printable Windows-1252 character (a blank too), 4-9 a digit, 10-12 a letter or digit; a
// character that does not fit its position is refused (it never jumps ahead). text() is
// always 12 characters, a blank in every unfilled position. Typed letters are upper-cased
// (window-wide rule); a space also moves the caret one position further.
class RfcEntry : public QLineEdit
{
    Q_OBJECT
public:
    explicit RfcEntry(QWidget *parent = nullptr);

    QString rfcText() const;              // always 12 characters (or "" while the mask is off)
    void setRfcText(const QString &text); // pads or takes what fits each position
    // An empty mask turns the entry into plain text, as the clearing needs; "&&&999999aaa"
    // turns it back.
    void setMask(const QString &mask);
    QString mask() const { return m_mask; }

Q_SIGNALS:
    void rfcChanged(const QString &text); // by typing or by the program
    void focusLost();                     // to another control of the same window

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QString m_mask = QStringLiteral("&&&999999aaa");
};

} // namespace kivo
