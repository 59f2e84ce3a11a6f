#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

#include <QQueue>
#include <QString>

class QTimer;

namespace Omra {

/// \brief Shows queued messages one per second in one framed dialog.
///
/// Callers queue messages with updateMessage(); once a second the oldest one is taken, the
/// dialog shown (not modal) if it is hidden and resized to fit the text: at least 350 x 150,
/// the text wrapped at 700 pixels. The last message stays on screen. "确定" or the close
/// button hides the dialog; messages still waiting bring it back at the next second. The
/// title is "提示" until setMessageTitle() is called.
///
/// \image html multimessage-short.png
class DIALOG_EXPORT CMultiMessageDialog : public CCommonDialog
{
    Q_OBJECT
public:
    /// Builds the dialog hidden, with an empty queue; \a parent is the Qt parent.
    explicit CMultiMessageDialog(QWidget* parent = nullptr);
    /// Destroys the dialog; messages still waiting are dropped.
    ~CMultiMessageDialog() override;

    /// Queues \a message to be shown at the next free second (one second after the call at
    /// the earliest). A text equal to the last one still waiting is dropped; the same text
    /// after that one has been shown is queued again. Any number of messages may wait.
    void updateMessage(const QString& message);
    /// Sets the dialog's title.
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
