#pragma once

#include <QLineEdit>

#include <functional>

class QMenu;

namespace kivo {

// A line edit whose text comes in only through rules::typedText, whichever way it comes:
// typed, composed, pasted by key, by menu or by the middle button, or dropped. The entries of
// the capture window, the grids' cell editor and the bank list all take their text here.
class FilteredEdit : public QLineEdit
{
    Q_OBJECT
public:
    // The control's own rule on one Windows-1252 code (0 refuses it); empty for none.
    using Rule = std::function<int(int)>;

    explicit FilteredEdit(QWidget *parent = nullptr, Rule rule = {});

    void setRule(Rule rule) { m_rule = std::move(rule); }
    QString filtered(const QString &text) const;

    // Pastes the clipboard's text through the rule, as if typed.
    void pasteFiltered();
    // The Spanish context menu (the caller owns it).
    QMenu *createContextMenu();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void insertFiltered(const QString &text);

    Rule m_rule;
};

} // namespace kivo
