#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

#include <QList>
#include <QMessageBox>
#include <QPixmap>
#include <QSet>
#include <QString>

class QTimer;

namespace Omra {

/// \brief Look of a countdown dialog button.
enum ECountDownButtonStyle : int {
    /// Accent face \c img_btn_positive with \c clr_btn_text_positive text.
    CountDownButtonPositive = 0,
    /// Plain face \c img_btn_negative with \c clr_btn_text_negative text.
    CountDownButtonNegative = 1,
};

/// \brief Looks of the three buttons of a CCountDownDialog, left to right.
///
/// Owned by the caller and read once while the dialog is built; a null pointer in its
/// place gives positive, negative, positive.
struct CCDButtonStyle
{
    /// Look of the first button (id 1).
    ECountDownButtonStyle firstStyle = CountDownButtonPositive;
    /// Look of the second button (id 2).
    ECountDownButtonStyle secondStyle = CountDownButtonNegative;
    /// Look of the third button (id 3).
    ECountDownButtonStyle thirdStyle = CountDownButtonPositive;
};

/// \brief Form of a CCountDownDialog. Any value other than 0 behaves as CountDownPlain.
enum CCountDownType {
    /// With the blue underlined line "点击设置重启时间" (click to set restart time) below the
    /// sentence, which ends the dialog with 4, and buttons of 96 x 29.
    CountDownWithRestartLink = 0,
    /// No clickable line; buttons of 72 x 29.
    CountDownPlain = 1,
};

/// \brief Decision dialog that closes itself when its countdown runs out.
///
/// A framed dialog (CCommonDialog) with an icon, one line made of a text, a large countdown
/// number and a trailing text, optionally a clickable "set restart time" line, and up to
/// three buttons. The frame's close button is hidden. The number counts down once a second
/// from the constructor on, shown with two digits below ten (12, 11, 10, 09 ... 01); one
/// second after 01 the dialog closes. Results of exec() and getChooseResult():
/// 1, 2 or 3 for the buttons, 4 for the restart-time line, 0 when the time ran out or the
/// dialog was rejected (Esc).
///
/// Dialogs shown at the same time cascade by 4 pixels per dialog already shown.
///
/// \image html countdown-restart-link.png "CountDownWithRestartLink"
/// \image html countdown-plain.png "CountDownPlain"
class DIALOG_EXPORT CCountDownDialog : public CCommonDialog
{
    Q_OBJECT
public:
    /// Runs a countdown dialog with the information icon modally and returns its result.
    /// \param style looks of the three buttons; null gives positive, negative, positive.
    /// \param parent not used: the dialog is top-level.
    /// \param title title bar text.
    /// \param text the text before the number.
    /// \param countdown seconds until the dialog closes itself. 0 and negative numbers
    ///        never close it: the user has to choose.
    /// \param trailing the text after the number.
    /// \param type CountDownWithRestartLink or CountDownPlain.
    /// \param showLink whether the restart-time line is visible (CountDownWithRestartLink
    ///        only; a hidden line still takes its place in the height).
    /// \param firstButtonText,secondButtonText,thirdButtonText button texts, ids 1, 2 and 3
    ///        from left to right; an empty text leaves its button out. No button is the
    ///        default.
    /// \return 1, 2 or 3 for a button, 4 for the restart-time line, 0 when the time ran out
    ///         or the dialog was rejected.
    ///
    /// The last flag is not used.
    static int getChooseResult(CCDButtonStyle* style, QWidget* parent, const QString& title,
                               const QString& text, int countdown, QString trailing,
                               CCountDownType type, bool showLink, const QString& firstButtonText,
                               const QString& secondButtonText = QString(),
                               const QString& thirdButtonText = QString(), bool = false);

    /// Builds the dialog and starts its countdown; see getChooseResult() for the arguments.
    /// \param icon QMessageBox::Information, Warning, Critical or Question; any other value
    ///        shows no icon.
    /// \param parent Qt parent, or null.
    ///
    /// The dialog is modal and deletes itself when closed, so create it with \c new.
    CCountDownDialog(CCDButtonStyle* style, QMessageBox::Icon icon, const QString& title,
                     const QString& text, int countdown, QString trailing, CCountDownType type,
                     bool showLink, const QString& firstButtonText, const QString& secondButtonText,
                     const QString& thirdButtonText, QWidget* parent = nullptr);
    /// Destroys the dialog with its widgets and timer.
    ~CCountDownDialog() override;

public slots:
    /// One second of the countdown: shows the next number, or closes the dialog (result 0)
    /// when the count reaches 0. Driven by the dialog's own one-second timer.
    void slot_MessageTimeout();

protected:
    QPixmap getPixmap(QMessageBox::Icon icon);
    CPushButton* testAddButton(QString text, ECountDownButtonStyle style, int id);
    void setMessageCountDown(int seconds);
    void resetSizeAndLayout();

    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool handleEvent(int type, int id, int param, QString text, void* data) override;

    // Countdown dialogs shown at this moment, over the whole process.
    static int s_nActive;

    QSet<int> buttonIds;
    QPixmap iconPixmap;
    CSimpleTextWidget* countdownText = nullptr;
    CSimpleTextWidget* messageText = nullptr;
    CSimpleTextWidget* trailingText = nullptr;
    CSimpleTextWidget* linkText = nullptr;
    QList<CPushButton*> buttons;
    QTimer* countdownTimer = nullptr;
    int secondsLeft = -1;
    CCountDownType countDownType = CountDownPlain;
};

} // namespace Omra
