// What screen readers see of the library's own self-painted windows: the float button is a
// button (a toggle when its down style toggles) and the popup an alert.

#include "uibase/dialog/cfloatbutton.h"
#include "uibase/dialog/cglobalmessagedialog.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QMouseEvent>

namespace Omra {

namespace {

class CFloatButtonAccessible : public QAccessibleWidget
{
public:
    explicit CFloatButtonAccessible(CFloatButton* button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
    }

    // Null while the button is being destroyed: its base's destructor still hides the window
    // and so still reports to the screen reader.
    CFloatButton* button() const { return dynamic_cast<CFloatButton*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && button() && button()->accessibleName().isEmpty())
            return button()->getText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (!button())
            return s;
        const bool down = button()->getButtonStatus() == FloatButtonDown;
        if (button()->getAutoDown() == FloatButtonDownToggle) {
            s.checkable = true;
            s.checked = down;
        } else {
            s.pressed = down;
        }
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList(pressAction()) << QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action != pressAction() || !button()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // Through the mouse handlers, so the parent hears the press and the click as usual.
        const QPoint centre = button()->rect().center();
        const QPoint global = button()->mapToGlobal(centre);
        QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(button(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button(), &release);
    }
};

QAccessibleInterface* dialogAccessible(const QString& className, QObject* object)
{
    // The float button declares no meta-object of its own; it answers to its base's name.
    if (className == QLatin1String("Omra::CCustomDialog")) {
        if (auto* button = dynamic_cast<CFloatButton*>(object))
            return new CFloatButtonAccessible(button);
    } else if (className == QLatin1String("Omra::CGlobalMessageDialog")) {
        if (auto* popup = qobject_cast<CGlobalMessageDialog*>(object))
            return new QAccessibleWidget(popup, QAccessible::AlertMessage);
    }
    return nullptr;
}

void installDialogAccessible()
{
    QAccessible::installFactory(dialogAccessible);
}

Q_COREAPP_STARTUP_FUNCTION(installDialogAccessible)

} // namespace

} // namespace Omra
