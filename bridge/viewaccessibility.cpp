#include "viewaccessibility.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QVector>

namespace viewaccessibility {
namespace {

// The QQuickWidget that renders `window` offscreen, or null for a window
// that shows itself. A view has no link back from its window, and an
// application has a handful of widgets, so they are simply searched.
QQuickWidget *viewOf(const QQuickWindow *window)
{
    if (!window || !qApp)
        return nullptr;
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets) {
        auto *view = qobject_cast<QQuickWidget *>(widget);
        if (view && view->quickWindow() == window)
            return view;
    }
    return nullptr;
}

QQuickWidget *viewOf(const QAccessibleInterface *iface)
{
    return iface ? viewOf(qobject_cast<QQuickWindow *>(iface->object())) : nullptr;
}

// Qt's own rule for items without a size of their own: their implicit size,
// else their parent's size.
QSizeF accessibleSize(const QQuickItem *item)
{
    QSizeF size(item->width(), item->height());
    if (size.isEmpty()) {
        size = QSizeF(item->implicitWidth(), item->implicitHeight());
        if (size.isEmpty() && item->parentItem())
            size = item->parentItem()->size();
    }
    return size;
}

bool transparent(const QQuickItem *item)
{
    for (; item; item = item->parentItem()) {
        if (qFuzzyIsNull(item->opacity()))
            return true;
    }
    return false;
}

// The part of the item that the view can show, in scene coordinates: cut by
// the view and by every clipping ancestor. Null when nothing of it is left.
// Items of no size (after accessibleSize) count by their position alone.
QRectF shownSceneRect(const QQuickItem *item, const QQuickWidget *view)
{
    const QSizeF size = accessibleSize(item);
    QRectF area = item->mapRectToScene(QRectF(QPointF(0, 0), size));
    const bool point = area.isEmpty();
    QRectF bounds(0, 0, view->width(), view->height());
    for (const QQuickItem *ancestor = item->parentItem(); ancestor; ancestor = ancestor->parentItem()) {
        if (ancestor->clip())
            bounds &= ancestor->mapRectToScene(ancestor->clipRect());
    }
    if (point)
        return bounds.contains(area.topLeft()) ? QRectF(area.topLeft(), QSizeF(0, 0)) : QRectF();
    area &= bounds;
    return area.isEmpty() ? QRectF() : area;
}

QAccessibleInterface *adopt(QAccessibleInterface *iface);

// An item of the view's scene: Qt's interface for it, with its parent, state
// and place put right for a scene that the view shows. Qt's interface stays
// in the accessibility cache under the item too (it is made there, through
// the cache, so that it is Qt's whatever it is); this one deletes it when it
// goes itself, which the cache does when the item is destroyed.
class ItemInterface : public QAccessibleInterface
{
public:
    ItemInterface(QQuickItem *item, QAccessibleInterface *qtInterface)
        : m_item(item), m_inner(qtInterface), m_innerId(QAccessible::uniqueId(qtInterface))
    {}

    ~ItemInterface() override
    {
        // Unless the cache has already let it go (when it empties at exit).
        if (QAccessible::accessibleInterface(m_innerId) == m_inner)
            QAccessible::deleteAccessibleInterface(m_innerId);
    }

    bool isValid() const override { return m_item && m_inner->isValid(); }
    QObject *object() const override { return m_item; }

    QWindow *window() const override
    {
        if (QQuickWidget *view = this->view())
            return view->window()->windowHandle();
        return m_inner->window();
    }

    QVector<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        return m_inner->relations(match);
    }

    QAccessibleInterface *focusChild() const override { return adopt(m_inner->focusChild()); }

    // Topmost shown child at a screen point; Qt's would look at its own
    // places, which are those of the offscreen window.
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = childCount() - 1; i >= 0; --i) {
            QAccessibleInterface *c = child(i);
            if (c && !c->state().invisible && c->rect().contains(x, y))
                return c;
        }
        return nullptr;
    }

    // The scene's topmost items belong to the view, not to its window.
    QAccessibleInterface *parent() const override
    {
        QAccessibleInterface *p = m_inner->parent();
        if (QQuickWidget *view = viewOf(p))
            return QAccessible::queryAccessibleInterface(view);
        return adopt(p);
    }

    QAccessibleInterface *child(int index) const override { return adopt(m_inner->child(index)); }
    int childCount() const override { return m_inner->childCount(); }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return m_inner->indexOfChild(child);
    }
    QString text(QAccessible::Text t) const override { return m_inner->text(t); }
    void setText(QAccessible::Text t, const QString &text) override { m_inner->setText(t, text); }
    QAccessible::Role role() const override { return m_inner->role(); }

    QAccessible::State state() const override
    {
        QAccessible::State state = m_inner->state();
        if (!m_item)
            return state;
        if (!m_item->isEnabled()) {
            state.disabled = true;
            state.focusable = false;
        }
        if (QQuickWidget *view = this->view())
            state.invisible = shownArea(view).isNull();
        return state;
    }

    // The shown part of the item on the screen; none when it is not shown.
    QRect rect() const override
    {
        QQuickWidget *view = this->view();
        if (!view)
            return m_inner->rect();
        const QRectF area = shownArea(view);
        if (area.isNull())
            return QRect();
        return area.toAlignedRect().translated(view->mapToGlobal(QPoint(0, 0)));
    }

    void *interface_cast(QAccessible::InterfaceType type) override { return m_inner->interface_cast(type); }

private:
    QQuickWidget *view() const { return m_item ? viewOf(m_item->window()) : nullptr; }

    QRectF shownArea(QQuickWidget *view) const
    {
        if (!view->isVisible() || !m_item->isVisible() || transparent(m_item))
            return QRectF();
        return shownSceneRect(m_item, view);
    }

    QPointer<QQuickItem> m_item;
    QAccessibleInterface *m_inner;
    QAccessible::Id m_innerId;
};

// Qt's own factory is asked before any other for objects of the very class
// QQuickItem (a QML "Item"), so their interfaces are Qt's alone; they are
// wrapped when first reached through the view instead. Registered, the
// wrapper takes the item's place in the cache, as a factory's would.
QAccessibleInterface *adopt(QAccessibleInterface *iface)
{
    if (!iface || dynamic_cast<ItemInterface *>(iface) || !iface->isValid())
        return iface;
    auto *item = qobject_cast<QQuickItem *>(iface->object());
    if (!item)
        return iface;
    auto *wrapper = new ItemInterface(item, iface);
    QAccessible::registerAccessibleInterface(wrapper);
    return wrapper;
}

// A QQuickWidget: its child widgets as usual, then the scene's topmost
// accessible items, which Qt would otherwise put under the offscreen window.
class ViewInterface : public QAccessibleWidget
{
public:
    explicit ViewInterface(QQuickWidget *view) : QAccessibleWidget(view) {}

    int childCount() const override
    {
        QAccessibleInterface *s = scene();
        return QAccessibleWidget::childCount() + (s ? s->childCount() : 0);
    }

    QAccessibleInterface *child(int index) const override
    {
        const int widgets = QAccessibleWidget::childCount();
        if (index < widgets)
            return QAccessibleWidget::child(index);
        QAccessibleInterface *s = scene();
        return s ? adopt(s->child(index - widgets)) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const int index = QAccessibleWidget::indexOfChild(child);
        if (index >= 0 || !child)
            return index;
        QAccessibleInterface *s = scene();
        const int at = s ? s->indexOfChild(child) : -1;
        return at >= 0 ? QAccessibleWidget::childCount() + at : -1;
    }

    QAccessibleInterface *focusChild() const override
    {
        if (QAccessibleInterface *s = scene()) {
            QAccessibleInterface *focus = s->focusChild();
            if (focus && focus != s)
                return adopt(focus);
        }
        return QAccessibleWidget::focusChild();
    }

private:
    QAccessibleInterface *scene() const
    {
        auto *view = qobject_cast<QQuickWidget *>(object());
        return view ? QAccessible::queryAccessibleInterface(view->quickWindow()) : nullptr;
    }
};

// The application without the views' offscreen windows among its windows.
class ApplicationInterface : public QAccessibleApplication
{
public:
    int childCount() const override { return shownChildren().size(); }

    QAccessibleInterface *child(int index) const override { return shownChildren().value(index); }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? shownChildren().indexOf(const_cast<QAccessibleInterface *>(child)) : -1;
    }

private:
    QVector<QAccessibleInterface *> shownChildren() const
    {
        QVector<QAccessibleInterface *> shown;
        const int count = QAccessibleApplication::childCount();
        for (int i = 0; i < count; ++i) {
            QAccessibleInterface *c = QAccessibleApplication::child(i);
            if (c && !viewOf(c))
                shown.append(c);
        }
        return shown;
    }
};

// The item whose interface is being made through the cache right now: for
// it, this factory stands back so that Qt's own factory makes one.
QObject *qtMakes = nullptr;

QAccessibleInterface *factory(const QString &, QObject *object)
{
    if (object == qApp)
        return new ApplicationInterface;
    if (auto *view = qobject_cast<QQuickWidget *>(object))
        return new ViewInterface(view);
    auto *item = qobject_cast<QQuickItem *>(object);
    if (!item || item == qtMakes)
        return nullptr;
    QObject *const outer = qtMakes;
    qtMakes = item;
    QAccessibleInterface *qtInterface = QAccessible::queryAccessibleInterface(item);
    qtMakes = outer;
    // Items that are not accessible have no interface of their own.
    return qtInterface ? new ItemInterface(item, qtInterface) : nullptr;
}

} // namespace

void install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(factory);
}

} // namespace viewaccessibility
