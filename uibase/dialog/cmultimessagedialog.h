#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

#include <QQueue>
#include <QString>

class QTimer;

namespace Omra {

// Shows a stream of short messages one after another: callers queue them with
// updateMessage, and once a second the oldest one is put on screen, the dialog shown if it
// was hidden and resized to fit the text. Any button hides it; messages still waiting bring
// it back at the next tick.
class DIALOG_EXPORT CMultiMessageDialog : public CCommonDialog
{
    Q_OBJECT
public:
    explicit CMultiMessageDialog(QWidget* parent = nullptr);
    ~CMultiMessageDialog() override;

    // Queues a message; the same text as the last one still waiting is dropped.
    void updateMessage(const QString& message);
    void setMessageTitle(const QString& title);

private slots:
    void slotTimeOut();

private:
    void createUi();
    void resetSizeAndLayout();
    bool handleEvent(int type, int id, int param, QString text, void* data) override;

    CSimpleTextWidget* messageText = nullptr;
    CSmallNormalButton* okButton = nullptr;
    QTimer* messageTimer = nullptr;
    // Oldest first. A queue keeps appending and taking the oldest constant-time, however
    // many messages pile up while the dialog shows one a second.
    QQueue<QString> pendingMessages;
};

} // namespace Omra
