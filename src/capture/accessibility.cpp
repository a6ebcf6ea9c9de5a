#include "capture/accessibility.h"

#include "capture/textos.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabWidget>

#include <optional>

namespace kivo {

namespace {

// A list one types into is read as its label, with the typed text in its entry part. A list
// one only chooses from keeps Qt's own interface: on Linux its name is the chosen entry, so
// that a change of entry is announced, and its label comes by the "labelled by" relation of
// its buddy label; elsewhere the label is the name and the entry the value.
class NamedListAccessible : public QAccessibleWidget
{
public:
    explicit NamedListAccessible(QComboBox *combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
        return QAccessibleWidget::text(t); // the name set here; the tool tip as description
    }
    int childCount() const override { return combo()->isEditable() ? 2 : 1; }
    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && combo()->isEditable())
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        if (child->object() == combo()->view())
            return 0;
        if (combo()->isEditable() && child->object() == combo()->lineEdit())
            return 1;
        return -1;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = combo()->view()->isVisible();
        s.editable = combo()->isEditable();
        return s;
    }
    QStringList actionNames() const override
    {
        return {QAccessibleActionInterface::showMenuAction(), QAccessibleActionInterface::pressAction()};
    }
    void doAction(const QString &action) override
    {
        if (action != QAccessibleActionInterface::showMenuAction()
            && action != QAccessibleActionInterface::pressAction())
            return;
        if (combo()->view()->isVisible())
            combo()->hidePopup();
        else
            combo()->showPopup();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QComboBox *combo() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *namedListFactory(const QString &, QObject *object)
{
    auto *combo = qobject_cast<QComboBox *>(object);
    if (combo && combo->isEditable() && !combo->accessibleName().isEmpty())
        return new NamedListAccessible(combo);
    return nullptr;
}

// The page of the tabbed control a widget lies on, or the window's client area: positions
// are compared there, since the pages overlap one another.
QWidget *containerOf(QWidget *w, QWidget *window)
{
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
        if (qobject_cast<QStackedWidget *>(p->parentWidget())
            && qobject_cast<QTabWidget *>(p->parentWidget()->parentWidget()))
            return p;
        if (p->parentWidget() == window)
            return p;
    }
    return window;
}

bool isControl(const QWidget *w)
{
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w)
        || qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QAbstractButton *>(w);
}

struct Placed
{
    QWidget *widget;
    QRect rect; // in its container
};

// The label a control is read by: the nearest one on its row to its left, else the nearest
// one just above it; none when another control stands between.
QLabel *labelFor(const Placed &control, const QList<Placed> &labels, const QList<Placed> &controls)
{
    const QRect c = control.rect;
    const auto blocked = [&](const QRect &band) {
        if (!band.isValid())
            return false;
        for (const Placed &o : controls)
            if (o.widget != control.widget && o.rect.intersects(band))
                return true;
        return false;
    };
    std::optional<std::pair<int, QLabel *>> left, above;
    for (const Placed &l : labels) {
        const QRect r = l.rect;
        const bool sameRow = (r.center().y() >= c.top() && r.center().y() <= c.bottom())
            || (c.center().y() >= r.top() && c.center().y() <= r.bottom());
        if (sameRow && r.right() <= c.left() + 2) {
            const int gap = c.left() - r.right();
            if ((!left || gap < left->first)
                && !blocked(QRect(QPoint(r.right() + 1, c.top()), QPoint(c.left() - 1, c.bottom()))))
                left = {gap, static_cast<QLabel *>(l.widget)};
            continue;
        }
        const int gap = c.top() - r.bottom();
        if (r.left() < c.right() && r.right() > c.left() && gap >= -r.height() / 2 && gap <= r.height()
            && (!above || gap < above->first)
            && !blocked(QRect(QPoint(c.left(), r.bottom() + 1), QPoint(c.right(), c.top() - 1))))
            above = {gap, static_cast<QLabel *>(l.widget)};
    }
    if (left)
        return left->second;
    return above ? above->second : nullptr;
}

// A grid without a caption of its own is read by the frame it is drawn over, else its page.
QString gridName(const Placed &grid, QWidget *container)
{
    for (QGroupBox *g : container->findChildren<QGroupBox *>()) {
        const QRect r(g->mapTo(container, QPoint(0, 0)), g->size());
        if (!g->isHidden() && !g->title().trimmed().isEmpty() && r.contains(grid.rect.center()))
            return accessibleLabel(g->title());
    }
    auto *stack = qobject_cast<QStackedWidget *>(container->parentWidget());
    auto *tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr;
    if (tabs && tabs->indexOf(container) >= 0)
        return accessibleLabel(tabs->tabText(tabs->indexOf(container)));
    return QString();
}

// A grid's cell editor is read by its column's header.
void nameCellEditor(QWidget *to)
{
    auto *edit = qobject_cast<QLineEdit *>(to);
    if (!edit || !edit->accessibleName().isEmpty() || !edit->parentWidget())
        return;
    auto *view = qobject_cast<QAbstractItemView *>(edit->parentWidget()->parentWidget());
    if (!view || !view->model() || !view->currentIndex().isValid())
        return;
    const QString header = view->model()->headerData(view->currentIndex().column(), Qt::Horizontal).toString();
    if (!header.trimmed().isEmpty())
        edit->setAccessibleName(accessibleLabel(header));
}

} // namespace

QString accessibleLabel(const QString &text)
{
    QString s;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size())
            ++i; // "&&" stands for one '&'
        s += text.at(i);
    }
    s = s.simplified();
    while (s.endsWith(QLatin1Char(':')))
        s = s.chopped(1).trimmed();
    return s;
}

void nameControls(QWidget *window)
{
    static const bool factory = [] {
        QAccessible::installFactory(namedListFactory);
        return true;
    }();
    Q_UNUSED(factory);

    // Composite controls place their parts by layout; settle them before comparing positions.
    for (QWidget *w : window->findChildren<QWidget *>())
        if (w->layout() && !w->isWindow() && !qobject_cast<QStackedWidget *>(w))
            w->layout()->activate();

    // Controls laid out by the window, not the parts of composite ones (a list's own entry,
    // a grid's cell editor, a popup).
    QHash<QWidget *, QList<Placed>> controls, labels;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() != window || w->isHidden())
            continue;
        QWidget *parent = w->parentWidget();
        if (qobject_cast<QComboBox *>(parent) || qobject_cast<QAbstractItemView *>(parent)
            || (parent && qobject_cast<QAbstractItemView *>(parent->parentWidget())))
            continue;
        QWidget *container = containerOf(w, window);
        const Placed placed{w, QRect(w->mapTo(container, QPoint(0, 0)), w->size())};
        if (auto *l = qobject_cast<QLabel *>(w)) {
            if (!accessibleLabel(l->text()).isEmpty())
                labels[container].append(placed);
        } else if (isControl(w)) {
            controls[container].append(placed);
        }
    }

    for (auto it = controls.cbegin(); it != controls.cend(); ++it) {
        for (const Placed &c : it.value()) {
            QWidget *w = c.widget;
            if (!w->accessibleName().isEmpty())
                continue;
            QString name;
            if (auto *b = qobject_cast<QAbstractButton *>(w)) {
                if (b->text().isEmpty())
                    name = b->toolTip();
            } else {
                // A label counts when it is the control's own: in the same frame, on the page,
                // or a caption beside it inside the same composite control.
                QList<Placed> own;
                for (const Placed &l : labels.value(it.key())) {
                    QWidget *lp = l.widget->parentWidget();
                    if (lp == it.key() || lp == w->parentWidget() || qobject_cast<QGroupBox *>(lp))
                        own.append(l);
                }
                if (QLabel *l = labelFor(c, own, it.value())) {
                    name = accessibleLabel(l->text());
                    if (!qobject_cast<QAbstractItemView *>(w))
                        l->setBuddy(w);
                } else if (qobject_cast<QAbstractItemView *>(w)) {
                    name = gridName(c, it.key());
                } else {
                    name = textos::nombreSinEtiqueta(w->objectName());
                }
            }
            if (name.isEmpty())
                continue;
            w->setAccessibleName(name);
            // An interface made while the list had no name yet would go on reporting its entry.
            if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->isEditable()) {
                QAccessibleInterface *i = QAccessible::queryAccessibleInterface(combo);
                if (i && !dynamic_cast<NamedListAccessible *>(i))
                    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(i));
            }
        }
    }

    // The pages' stack is what a screen reader announces on entering a page: it bears the
    // caption of the page shown, and each page its own.
    for (QTabWidget *tabs : window->findChildren<QTabWidget *>()) {
        auto *stack = tabs->findChild<QStackedWidget *>(QString(), Qt::FindDirectChildrenOnly);
        if (!stack)
            continue;
        const auto caption = [tabs](int i) { return accessibleLabel(tabs->tabText(i)); };
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->accessibleName().isEmpty())
                tabs->widget(i)->setAccessibleName(caption(i));
        stack->setAccessibleName(caption(tabs->currentIndex()));
        QObject::connect(tabs, &QTabWidget::currentChanged, stack,
                         [stack, caption](int i) { stack->setAccessibleName(caption(i)); });
    }

    QObject::connect(qApp, &QApplication::focusChanged, window,
                     [](QWidget *, QWidget *to) { nameCellEditor(to); });
}

} // namespace kivo
