#include "app/ToolButtonAccess.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QToolButton>

namespace
{

constexpr const char *clickOnToggleProperty = "kv8ClickOnAccessibleToggle";

// Qt's tool button interface, but with press and toggle both a click. The role, state and name
// stay what Qt reports for a tool button without a menu, so a reader announces the button as before.
class ClickingToolButton : public QAccessibleWidget
{
public:
    explicit ClickingToolButton(QToolButton *button) : QAccessibleWidget(button)
    {
        addControllingSignal(button->isCheckable() ? QStringLiteral("toggled(bool)") : QStringLiteral("clicked()"));
    }

    QAccessible::Role role() const override
    {
        return button()->isCheckable() ? QAccessible::CheckBox : QAccessible::Button;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = button()->isCheckable();
        state.checked = button()->isChecked();
        state.pressed = button()->isDown();
        state.hotTracked = button()->autoRaise();
        return state;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? button()->text() : name;
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << pressAction() << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName != pressAction() && actionName != toggleAction())
            QAccessibleWidget::doAction(actionName);
        else if (widget()->isEnabled() && !blockedByModalDialog())
            button()->click(); // checks the button through its action, which then triggers
    }

private:
    // A modal dialog keeps the mouse from the button; click() would not be kept from it.
    bool blockedByModalDialog() const
    {
        const QWidget *modal = QApplication::activeModalWidget();
        return modal && modal != widget()->window() && !modal->isAncestorOf(widget());
    }

    QToolButton *button() const { return static_cast<QToolButton *>(widget()); }
};

QAccessibleInterface *clickingToolButtonFactory(const QString &, QObject *object)
{
    auto *button = qobject_cast<QToolButton *>(object);
    const QAction *action = button ? button->defaultAction() : nullptr;
    if (action && action->property(clickOnToggleProperty).toBool())
        return new ClickingToolButton(button);
    return nullptr;
}

} // namespace

void clickOnAccessibleToggle(QAction *action)
{
    QAccessible::installFactory(clickingToolButtonFactory); // installed once, however often asked
    action->setProperty(clickOnToggleProperty, true);
}
