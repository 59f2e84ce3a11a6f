#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

#include <QList>
#include <QMessageBox>
#include <QPixmap>
#include <QPoint>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class QTimer;

namespace Omra {

/// \brief Look of a message box button.
enum EMessageBoxButtonStyle : int {
    /// Accent face \c img_btn_positive with \c clr_btn_text_positive text.
    ButtonStylePositive = 0,
    /// Plain face \c img_btn_negative with \c clr_btn_text_negative text.
    ButtonStyleNegative = 1,
};

/// \brief Looks of the three custom buttons of a CMessageBox, left to right.
///
/// Owned by the caller and read once while the box is built; a null pointer in its place
/// gives positive, negative, positive.
struct CButtonStyle
{
    /// Look of the first button (id 1).
    EMessageBoxButtonStyle firstStyle = ButtonStylePositive;
    /// Look of the second button (id 2).
    EMessageBoxButtonStyle secondStyle = ButtonStyleNegative;
    /// Look of the third button (id 3).
    EMessageBoxButtonStyle thirdStyle = ButtonStylePositive;
};

/// \brief Themed replacement for QMessageBox, used through its static functions.
///
/// A framed dialog (CCommonDialog) with an icon at the left, the message word-wrapped at
/// 700 pixels to its right and a row of buttons below. The box is at least 350 pixels wide,
/// modal, and deletes itself when its modal run ends. Each static function builds a box, runs
/// it and returns:
/// - the id of the clicked button: its QMessageBox::StandardButton value, or 1, 2, 3 for
///   the custom buttons;
/// - 1 (QDialog::Accepted) when an auto-close countdown ran out;
/// - 0 when the box was rejected (the close button or the Esc key).
///
/// Standard buttons always stand in Qt's flag order, left to right: Ok "确定", Save,
/// SaveAll, Open, Yes "是", YesToAll, No "否", NoToAll, Abort, Retry, Ignore, Close,
/// Cancel "取消", Discard, Help, Apply, Reset, RestoreDefaults; those up to YesToAll and
/// Apply have the positive look, the others the negative one. A default button that is not
/// among the buttons is ignored. The \a style argument of the standard-button functions is
/// not used.
///
/// Boxes open at the same time cascade: each one shown moves 4 pixels right and down per
/// box already shown, unless it was given a position.
///
/// \image html messagebox-three-buttons.png "Custom buttons"
/// \image html messagebox-detail-expanded.png "questionWithDetail, details shown"
/// \image html messagebox-information-countdown.png "information with a countdown"
class DIALOG_EXPORT CMessageBox : public CCommonDialog
{
    Q_OBJECT
public:
    /// Runs a box with the critical icon and standard buttons.
    /// \param style not used.
    /// \param parent Qt parent of the box, or null.
    /// \param title title bar text.
    /// \param text the message; long lines wrap at 700 pixels.
    /// \param buttons the standard buttons to show; none gives an empty button row.
    /// \param defaultButton the button Enter presses; QMessageBox::NoButton for none.
    /// \return the clicked button, or 0 (QMessageBox::NoButton) when the box was rejected.
    ///
    /// The last flag is not used.
    static QMessageBox::StandardButton
    critical(CButtonStyle* style, QWidget* parent, const QString& title, const QString& text,
             QMessageBox::StandardButtons buttons = QMessageBox::Ok,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton, bool = false);
    /// Runs a box with the warning icon and standard buttons; otherwise as critical().
    /// \return the clicked button, or 0 when the box was rejected.
    static QMessageBox::StandardButton
    warning(CButtonStyle* style, QWidget* parent, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton, bool = false);
    /// Runs a box with the information icon and standard buttons; otherwise as critical().
    /// \param countdown seconds until the box closes itself; 0 for none. While it runs every
    ///        button text ends in the seconds left, as 确定(5s). When it reaches 0 the box is
    ///        accepted and the call returns 1, whichever button is the default. A negative
    ///        value ends the box after one second.
    /// \return the clicked button, 1 when the countdown ran out, or 0 when rejected.
    static QMessageBox::StandardButton
    information(CButtonStyle* style, QWidget* parent, const QString& title, const QString& text,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton, bool = false,
                int countdown = 0);
    /// Runs a box with the question icon and standard buttons (Yes and No by default).
    /// \param updateIcon shows \c img_messagebox_update instead of the question mark; the
    ///        size stays the one computed for the question icon.
    /// \param customPixmap a large picture for the fixed 514 x 396 layout, the message below
    ///        it; null for the normal layout. The pointer is kept while the box runs, so it
    ///        must stay valid until the call returns.
    /// \param position top-left corner of the box on the screen; (-1, -1) lets Qt place it
    ///        and cascades it after the boxes already shown.
    /// \return the clicked button, or 0 when the box was rejected.
    static QMessageBox::StandardButton
    question(CButtonStyle* style, QWidget* parent, const QString& title, const QString& text,
             QMessageBox::StandardButtons buttons = QMessageBox::StandardButtons(QMessageBox::Yes |
                                                                                 QMessageBox::No),
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
             bool updateIcon = false, QPixmap* customPixmap = nullptr,
             QPoint position = QPoint(-1, -1));
    /// Runs a question box with a collapsed details pane.
    /// The rightmost button, "Show Details..." (translated through Qt's QMessageBox
    /// context), opens a read-only pane showing \a detail below the message and makes the box
    /// 106 pixels higher; a second click closes it again. The toggle does not end the box.
    /// \return the clicked button, or 0 when the box was rejected.
    static QMessageBox::StandardButton questionWithDetail(
        CButtonStyle* style, QWidget* parent, const QString& title, const QString& text,
        const QString& detail,
        QMessageBox::StandardButtons buttons = QMessageBox::StandardButtons(QMessageBox::Yes |
                                                                            QMessageBox::No),
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    /// Runs a top-level box with the critical icon and up to three custom buttons.
    /// \param style looks of the three buttons; null gives positive, negative, positive.
    /// \param parent not used: the box has no parent.
    /// \param firstButtonText,secondButtonText,thirdButtonText button texts, ids 1, 2 and 3
    ///        from left to right; an empty text leaves its button out (the others keep their
    ///        ids). No button is the default.
    /// \return 1, 2 or 3 for the clicked button, or 0 when the box was rejected.
    ///
    /// The last flag is not used.
    static int critical(CButtonStyle* style, QWidget* parent, const QString& title,
                        const QString& text, const QString& firstButtonText,
                        const QString& secondButtonText, const QString& thirdButtonText,
                        bool = false);
    /// Runs a top-level box with the warning icon and up to three custom buttons; otherwise
    /// as the custom-button critical() (the parent is not used either).
    /// \return 1, 2 or 3 for the clicked button, or 0 when the box was rejected.
    static int warning(CButtonStyle* style, QWidget* parent, const QString& title,
                       const QString& text, const QString& firstButtonText,
                       const QString& secondButtonText, const QString& thirdButtonText,
                       bool = false);
    /// Runs a box with up to three custom buttons. It shows the critical icon, not the
    /// question mark.
    /// \param parent Qt parent of the box, or null.
    /// \param position top-left corner on the screen; (-1, -1) lets Qt place it.
    /// \return 1, 2 or 3 for the clicked button, or 0 when the box was rejected.
    static int question(CButtonStyle* style, QWidget* parent, const QString& title,
                        const QString& text, const QString& firstButtonText,
                        const QString& secondButtonText, const QString& thirdButtonText,
                        QPoint position = QPoint(-1, -1));

public slots:
    /// One second of the auto-close countdown: lowers the number in every button text and
    /// accepts the box when it reaches 0. Driven by the box's own one-second timer.
    void slot_Timeout();

protected:
    CMessageBox(CButtonStyle* style, QMessageBox::Icon icon, const QString& title,
                const QString& text, const QString& firstButtonText,
                const QString& secondButtonText, const QString& thirdButtonText, QWidget* parent,
                QPoint position);
    CMessageBox(CButtonStyle* style, QMessageBox::Icon icon, const QString& title,
                const QString& text, QFlags<QMessageBox::StandardButton> buttons,
                QMessageBox::StandardButton defaultButton, QWidget* parent, QPixmap* customPixmap,
                QPoint position);
    ~CMessageBox() override;

    QPixmap getPixmap(QMessageBox::Icon icon);
    CPushButton* testAddButton(QString text, EMessageBoxButtonStyle style, int id);
    void testAddButton(QFlags<QMessageBox::StandardButton> buttons,
                       QMessageBox::StandardButton which, QString text,
                       QMessageBox::StandardButton defaultButton);
    void resetSizeAndLayout();
    void setPixmap(QPixmap pixmap);
    void setCountDown(int seconds);
    void setDetailedText(const QString& detail);

    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool handleEvent(int type, int id, int param, QString text, void* data) override;

    // Message boxes shown at this moment, over the whole process.
    static int s_nActive;

    QSet<int> buttonIds;
    QPixmap iconPixmap;
    CSimpleTextWidget* messageText = nullptr;
    QList<CPushButton*> buttons;
    CPushButton* detailsButton = nullptr;
    CTextEdit* detailsText = nullptr;
    QTimer* countdownTimer = nullptr;
    int secondsLeft = 0;
    QPixmap* customPixmap = nullptr;
    QPoint position = QPoint(-1, -1);

private:
    // What both constructors start with: the frame, the caller's picture and position, the
    // icon and the message text.
    CMessageBox(QMessageBox::Icon icon, const QString& text, QWidget* parent, QPixmap* customPixmap,
                QPoint position);

    // One build-and-run behind each kind of entry point: builds the box, applies the entry
    // point's own step, runs it modally and returns its result; the box deletes itself.
    static QMessageBox::StandardButton
    execStandardBox(QMessageBox::Icon icon, QWidget* parent, const QString& title,
                    const QString& text, QMessageBox::StandardButtons buttons,
                    QMessageBox::StandardButton defaultButton, QPixmap* customPixmap = nullptr,
                    QPoint position = QPoint(-1, -1),
                    const std::function<void(CMessageBox*)>& extraStep = {});
    static int execCustomBox(CButtonStyle* style, QMessageBox::Icon icon, const QString& title,
                             const QString& text, const QStringList& buttonTexts,
                             QWidget* parent = nullptr, QPoint position = QPoint(-1, -1));
    void toggleDetails();
};

} // namespace Omra
