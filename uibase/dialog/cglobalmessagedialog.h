#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/contracts/basewidget.h"

#include <QPoint>
#include <QPointer>
#include <QString>

class QTimer;

namespace Omra {

/// \brief The one notification popup of the process, at the bottom right of an anchor.
///
/// A frameless popup of the fixed theme size \c siz_global_msg_dlg_width x
/// \c siz_global_msg_dlg_height with a loudspeaker icon, a one-line title, a message of up
/// to 4 lines (5 without countdown), an optional countdown line "N秒后本消息自动关闭" after
/// which it closes itself, a "不再提示" (don't show again) or "今日不再提示" (don't show again
/// today) check box, an optional details button "详情!" and an optional renew button
/// "点击续费" that opens the purchase page in the system browser.
///
/// The popup is created by the first instance() or showSingleMessage() and reused for every
/// later message; closing only hides it. It dies with the Qt parent it was created with, and
/// the next call then builds a new one. Pressing the mouse on it emits sigShowMessage() with
/// the message's id and starts dragging it. Everything runs on the GUI thread.
///
/// \image html globalmessage-details-renew.png "Details and renew buttons"
/// \image html globalmessage-countdown.png "With a countdown"
class DIALOG_EXPORT CGlobalMessageDialog : public CCustomDialog
{
    Q_OBJECT
public:
    /// Builds a popup. Callers normally use instance() or showSingleMessage() instead; a
    /// popup built here shares the class-wide anchor and flags with the one of instance().
    /// \param parent Qt parent, or null.
    /// \param tick initial countdown in seconds shown in the countdown line; -1 for none.
    explicit CGlobalMessageDialog(QWidget* parent = nullptr, int tick = -1);
    /// Destroys the popup; when it is the process's popup, the next call builds a new one and
    /// a message that was not replaceable no longer blocks later ones.
    ~CGlobalMessageDialog() override;

    /// The process's popup, created hidden with \a parent as Qt parent if there is none yet.
    /// Connect its signals through this pointer. \a parent is used only at that creation.
    static CGlobalMessageDialog* instance(QWidget* parent);

    /// Shows one message in the popup, replacing the one on screen in place.
    ///
    /// Ignored entirely while the message on screen was shown with \a replaceable false; that
    /// gate opens again when the popup is closed by its close button, by its countdown or by
    /// closeMessage(). The popup is moved so that its bottom-right corner lies 20 pixels left
    /// of and 40 pixels above the point given to setRightBottom(), shown without taking the
    /// focus, and its check boxes are unticked.
    /// \param title the title line.
    /// \param content the message; cut after 4 lines (5 when \a tick is negative).
    /// \param tick seconds until the popup closes itself, counting down in its countdown
    ///        line; 0 shows "0秒..." and never closes; negative: no countdown line.
    /// \param messageId reported by sigShowMessage() when the user presses the popup; -1 for
    ///        none.
    /// \param showDontRemind shows the "不再提示" check box.
    /// \param parent Qt parent used only when the popup must be created now.
    /// \param showDetails shows the "详情!" button, which emits sigShowRCWidget().
    /// \param showDontRemindToday shows the "今日不再提示" check box (in the same place as
    ///        the other one; show only one of them).
    /// \param replaceable whether a later call may replace this message while it is shown.
    /// \param showRenew shows the "点击续费" button, which opens the page of setPurchasePage().
    static void showSingleMessage(const QString& title, const QString& content, int tick,
                                  int messageId, bool showDontRemind, QWidget* parent,
                                  bool showDetails, bool showDontRemindToday, bool replaceable,
                                  bool showRenew);
    /// Closes the popup, stops its countdown and lets the next message through. Does nothing
    /// when no popup exists.
    static void closeMessage();
    /// Sets the anchor, in screen coordinates, that the next showSingleMessage() places the
    /// popup against. Until called the anchor is (0, 0), which puts the popup off screen.
    static void setRightBottom(QPoint point);
    /// Sets the address the renew button opens in the system browser; empty (the default)
    /// opens nothing.
    static void setPurchasePage(QString url);

    /// Sets the id that a press on the popup reports through sigShowMessage(); -1 for none.
    void setMessageId(int id);
    /// Shows or hides the "不再提示" and the "今日不再提示" check boxes.
    void setShowDontRemind(bool showDontRemind, bool showDontRemindToday);

    /// Reacts to the popup's own buttons and check boxes (clicks and toggles, which it always
    /// consumes); every other event goes to the dialog base.
    /// \return true when the event was consumed.
    bool handleEvent(int type, int id, int param, QString text, void* data) override;

signals:
    /// The user pressed the popup showing the message with id \a nMessageID (never -1).
    void sigShowMessage(int nMessageID);
    /// The "不再提示" box was toggled: \a bCheck is true to keep showing such messages
    /// (the box unticked), false after ticking it; \a popTitle is the title shown.
    void sigSetShowMessage(bool bCheck, QString popTitle);
    /// The "今日不再提示" box was toggled: \a bCheck is true when ticked (don't show again
    /// today); \a popTitle is the title shown. Note the sense is opposite to
    /// sigSetShowMessage().
    void sigSetShowMessageToday(bool bCheck, QString popTitle);
    /// The details button was clicked (only while showDetails was given).
    void sigShowRCWidget();

protected:
    void setTitle(QString title);
    void setContent(QString content);
    void setTick(int tick);
    void resetLayout(QSize size);
    void setShowMessage(bool checked);

    void keyPressEvent(QKeyEvent* event) override;
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
