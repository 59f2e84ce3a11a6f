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

enum ECountDownButtonStyle {
    CountDownButtonPositive = 0,
    CountDownButtonNegative = 1,
};

// Looks of the three buttons, left to right. Owned by the caller; read once.
struct CCDButtonStyle
{
    ECountDownButtonStyle firstStyle = CountDownButtonPositive;
    ECountDownButtonStyle secondStyle = CountDownButtonNegative;
    ECountDownButtonStyle thirdStyle = CountDownButtonPositive;
};

enum CCountDownType {
    // With the clickable "set restart time" line (result 4) and wider buttons.
    CountDownWithRestartLink = 0,
    CountDownPlain = 1,
};

// Asks the user to choose while a large number counts down once a second; when it runs
// out the dialog closes itself. Results: 1, 2, 3 for the buttons, 4 for the restart-time
// line, 0 when the time ran out or the dialog was rejected.
class DIALOG_EXPORT CCountDownDialog : public CCommonDialog
{
    Q_OBJECT
public:
    // Runs a top-level dialog with the information icon; the parent and the last flag are
    // not used.
    static int getChooseResult(CCDButtonStyle* style, QWidget* parent, const QString& title,
                               const QString& text, int countdown, QString trailing,
                               CCountDownType type, bool showLink, const QString& firstButtonText,
                               const QString& secondButtonText = QString(),
                               const QString& thirdButtonText = QString(), bool = false);

    CCountDownDialog(CCDButtonStyle* style, QMessageBox::Icon icon, const QString& title,
                     const QString& text, int countdown, QString trailing, CCountDownType type,
                     bool showLink, const QString& firstButtonText, const QString& secondButtonText,
                     const QString& thirdButtonText, QWidget* parent = nullptr);
    ~CCountDownDialog() override;

public slots:
    // One second of the countdown.
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
