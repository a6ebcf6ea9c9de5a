#pragma once

#include <QLineEdit>
#include <QList>

class QMenu;

namespace kivo {

// The masked RFC entry: mask "&&&999999aaa" with a blank placeholder. Positions 1-3 take any
// printable Windows-1252 character (a blank too), 4-9 a digit, 10-12 a letter or digit; a
// character that does not fit its position is refused (it never jumps ahead). text() is
// always 12 characters, a blank in every unfilled position. Typed letters are upper-cased
// (window-wide rule); a space also moves the caret one position further.
//
// Editing overwrites one position at a time; Backspace, Delete and cut put blanks back, and
// pasted or dropped text goes position by position as if typed. A text set by the program
// (setText() too) is brought to the mask: what does not fit a position becomes a blank.
class RfcEntry : public QLineEdit
{
    Q_OBJECT
public:
    explicit RfcEntry(QWidget *parent = nullptr);

    QString rfcText() const;              // always 12 characters (the plain text while the mask is off)
    void setRfcText(const QString &text); // pads or takes what fits each position
    // An empty mask turns the entry into plain text, as the clearing needs; "&&&999999aaa"
    // turns it back.
    void setMask(const QString &mask);
    QString mask() const { return m_mask; }

    // Pastes the clipboard's text as if typed.
    void pasteTyped();
    // The Spanish context menu (the caller owns it).
    QMenu *createContextMenu();

Q_SIGNALS:
    void rfcChanged(const QString &text); // by typing or by the program, even to the same text
    void focusLost();                     // to another control of the same window

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    bool masked() const { return !m_mask.isEmpty(); }
    bool fits(int position, QChar c) const;
    QString fitted(const QString &text) const;
    void typeText(const QString &text);
    bool typeChar(QChar c);
    void blankRange(int start, int end);
    void cutMasked();
    void eraseSelection();
    void placeCaretIfBlank();
    void onTextChanged(const QString &text);
    void applyEdit(const QString &text, int cursor);
    void undoEdit();
    void redoEdit();

    struct Snapshot
    {
        QString text;
        int cursor = 0;
    };

    QString m_mask = QStringLiteral("&&&999999aaa");
    bool m_normalizing = false;
    bool m_focusByMouse = false;
    bool m_editing = false;
    // QLineEdit's own history would undo half of an overwrite and shift the positions.
    QList<Snapshot> m_undo;
    QList<Snapshot> m_redo;
};

} // namespace kivo
