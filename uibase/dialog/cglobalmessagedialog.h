#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/contracts/basewidget.h"

#include <QPoint>
#include <QPointer>
#include <QString>

class QTimer;

namespace Omra {

// The one notification popup of the process, placed just above and left of a bottom-right
// anchor: a loudspeaker icon, a title, a short message, an optional countdown after which it
// closes itself, "don't show again" check boxes, a details button and a renew button. It is
// created on first use and reused for every later message; callers drive it through the
// static functions and hear back through the signals.
class DIALOG_EXPORT CGlobalMessageDialog : public CCustomDialog
{
    Q_OBJECT
public:
    explicit CGlobalMessageDialog(QWidget* parent = nullptr, int tick = -1);
    ~CGlobalMessageDialog() override;

    // The popup, created with this parent if there is none yet.
    static CGlobalMessageDialog* instance(QWidget* parent);

    // Shows one message unless the message on screen may not be replaced. A negative tick
    // means no countdown; messageId -1 means no identifier to report on a click.
    static void showSingleMessage(const QString& title, const QString& content, int tick,
                                  int messageId, bool showDontRemind, QWidget* parent,
                                  bool showDetails, bool showDontRemindToday, bool replaceable,
                                  bool showRenew);
    static void closeMessage();
    static void setRightBottom(QPoint point);
    static void setPurchasePage(QString url);

    void setMessageId(int id);
    void setShowDontRemind(bool showDontRemind, bool showDontRemindToday);

    bool handleEvent(int type, int id, int param, QString text, void* data) override;

signals:
    void sigShowMessage(int nMessageID);
    void sigSetShowMessage(bool bCheck, QString popTitle);
    void sigSetShowMessageToday(bool bCheck, QString popTitle);
    void sigShowRCWidget();

protected:
    void setTitle(QString title);
    void setContent(QString content);
    void setTick(int tick);
    void resetLayout(QSize size);
    void setShowMessage(bool checked);
    void startTimer();

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(EnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

protected slots:
    void slotTimeout();

private:
    void showCountdown(int seconds);

    CPushButton* closeButton = nullptr;
    CImageWidget* loudspeakerImage = nullptr;
    CSimpleTextWidget* titleText = nullptr;
    CSimpleTextWidget* contentText = nullptr;
    CSimpleTextWidget* countdownText = nullptr;
    QTimer* countdownTimer = nullptr;
    int tick = -1;
    int messageId = -1;
    CCheckBox* dontRemindCheckBox = nullptr;
    CCheckBox* dontRemindTodayCheckBox = nullptr;
    CSmallNoNormalButton* detailsButton = nullptr;
    CSmallNormalButton* renewButton = nullptr;

    // Guarded: the popup dies with the parent it was created with, and the next static call
    // must then build a new one instead of touching the dead one.
    static QPointer<CGlobalMessageDialog> singleInstance;
    static QPoint rightBottomPoint;
    static QString purchasePageUrl;
    static bool replaceable;
    static bool detailsEnabled;
    static bool renewEnabled;
};

} // namespace Omra
