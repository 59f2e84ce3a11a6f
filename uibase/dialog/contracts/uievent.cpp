#include "uibase/dialog/contracts/uievent.h"

#include <QPointer>
#include <QWidget>

namespace Omra {

CEventDeliverer::~CEventDeliverer() = default;

bool CEventDeliverer::handleEvent(int, int, int, QString, void*)
{
    return false;
}

void CEventDeliverer::deliverEvent(int type, int id, int param, QString text, void* data)
{
    const QWidget* sender = dynamic_cast<const QWidget*>(this);
    if (!sender)
        return;
    // A handler may close and delete the dialog that holds the sender; stop walking then.
    QPointer<QWidget> target = sender->parentWidget();
    while (target) {
        QWidget* current = target;
        const bool isWindow = current->isWindow();
        QWidget* next = current->parentWidget();
        QPointer<QWidget> guardNext = next;
        if (auto* deliverer = dynamic_cast<CEventDeliverer*>(current)) {
            if (deliverer->handleEvent(type, id, param, text, data))
                return;
        }
        if (isWindow || !target)
            return;
        target = guardNext;
    }
}

} // namespace Omra
