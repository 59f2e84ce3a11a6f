// What screen readers see of the toolkit widgets that paint themselves: Qt only knows a
// plain widget there, with no role, no name and nothing to press.

#include "uibase/dialog/contracts/basewidget.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QMouseEvent>

namespace Omra {

namespace {

// A text label is static text named by its text; a clickable one is a link that the
// press action activates just as a click does.
class CSimpleTextAccessible : public QAccessibleWidget
{
public:
    explicit CSimpleTextAccessible(CSimpleTextWidget* widget)
        : QAccessibleWidget(widget,
                            widget->isClickable() ? QAccessible::Link : QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        // Null while the label is being destroyed and still reported on.
        const auto* label = qobject_cast<const CSimpleTextWidget*>(widget());
        if (t == QAccessible::Name && label) {
            const QString name = label->accessibleName();
            return name.isEmpty() ? label->getText().trimmed() : name;
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        if (role() != QAccessible::Link)
            return QAccessibleWidget::actionNames();
        return QStringList(QAccessibleActionInterface::pressAction())
               << QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (role() != QAccessible::Link || action != QAccessibleActionInterface::pressAction() ||
            !widget()->isEnabled()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // The same path as a click, so the dialog cannot tell them apart.
        const QPoint centre = widget()->rect().center();
        QMouseEvent release(QEvent::MouseButtonRelease, centre, widget()->mapToGlobal(centre),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget(), &release);
    }
};

QAccessibleInterface* toolkitAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("Omra::CSimpleTextWidget")) {
        if (auto* label = qobject_cast<CSimpleTextWidget*>(object))
            return new CSimpleTextAccessible(label);
    } else if (className == QLatin1String("Omra::CImageWidget")) {
        if (auto* image = qobject_cast<CImageWidget*>(object))
            return new QAccessibleWidget(image, QAccessible::Graphic);
    }
    return nullptr;
}

void installToolkitAccessible()
{
    QAccessible::installFactory(toolkitAccessible);
}

Q_COREAPP_STARTUP_FUNCTION(installToolkitAccessible)

} // namespace

} // namespace Omra
