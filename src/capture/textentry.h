#pragma once

#include <QLineEdit>

class QMenu;

namespace kivo {

// A text entry of the capture window. Every character that reaches it, typed, pasted or
// dropped, goes through the same chain: the window-wide upper-casing, then the entry's own
// rule, then its length limit; a character Windows-1252 cannot hold is refused.
class TextEntry : public QLineEdit
{
    Q_OBJECT
public:
    enum class KeyRule {
        Upper,       // only the window-wide upper-casing
        Lower,       // e-mail entries: back to lower case
        UpperFilter, // upper-cases again (changes nothing more)
        Numeric      // digits and "." only
    };

    explicit TextEntry(QWidget *parent = nullptr);

    void setKeyRule(KeyRule rule) { m_rule = rule; }
    KeyRule keyRule() const { return m_rule; }

    // What the chain lets through of `text`, character by character.
    static QString filtered(const QString &text, KeyRule rule);

    // Pastes the clipboard's text through the chain, as if typed.
    void pasteFiltered();
    // The Spanish context menu (the caller owns it).
    QMenu *createContextMenu();

Q_SIGNALS:
    // The focus went to another control of the same window (not to a message box or another
    // window).
    void focusLost();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    void insertFiltered(const QString &text);

    KeyRule m_rule = KeyRule::Upper;
};

} // namespace kivo
