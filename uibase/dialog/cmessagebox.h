#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

#include <QList>
#include <QMessageBox>
#include <QPixmap>
#include <QPoint>
#include <QSet>
#include <QString>

class QTimer;

namespace Omra {

// Look of a message box button: positive (accent face, light text) or negative.
enum EMessageBoxButtonStyle {
    ButtonStylePositive = 0,
    ButtonStyleNegative = 1,
};

// Looks of the three custom buttons, left to right. Owned by the caller; read once.
struct CButtonStyle
{
    EMessageBoxButtonStyle firstStyle = ButtonStylePositive;
    EMessageBoxButtonStyle secondStyle = ButtonStyleNegative;
    EMessageBoxButtonStyle thirdStyle = ButtonStylePositive;
};

// Themed replacement for QMessageBox: an icon, a word-wrapped message and a right-aligned
// row of buttons. Callers use the static functions, which run the box modally and return
// the id of the clicked button (a StandardButton value, or 1, 2, 3 for custom buttons),
// 1 when an auto-close countdown ran out, or 0 when the box was rejected.
class DIALOG_EXPORT CMessageBox : public CCommonDialog
{
    Q_OBJECT
public:
    static QMessageBox::StandardButton
    critical(CButtonStyle* style, QWidget* parent, const QString& title, const QString& text,
             QMessageBox::StandardButtons buttons = QMessageBox::Ok,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton, bool = false);
    static QMessageBox::StandardButton
    warning(CButtonStyle* style, QWidget* parent, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton, bool = false);
    // A countdown other than 0 shows the seconds left in every button text and accepts the
    // box (result 1) when they run out.
    static QMessageBox::StandardButton
    information(CButtonStyle* style, QWidget* parent, const QString& title, const QString& text,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton, bool = false,
                int countdown = 0);
    // updateIcon shows the update picture instead of the question mark; a custom picture
    // gives the large 514 x 396 layout; a position other than (-1, -1) places the box there.
    static QMessageBox::StandardButton
    question(CButtonStyle* style, QWidget* parent, const QString& title, const QString& text,
             QMessageBox::StandardButtons buttons = QMessageBox::StandardButtons(QMessageBox::Yes |
                                                                                 QMessageBox::No),
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
             bool updateIcon = false, QPixmap* customPixmap = nullptr,
             QPoint position = QPoint(-1, -1));
    // Adds a "Show Details..." button that opens a read-only pane with detail.
    static QMessageBox::StandardButton questionWithDetail(
        CButtonStyle* style, QWidget* parent, const QString& title, const QString& text,
        const QString& detail,
        QMessageBox::StandardButtons buttons = QMessageBox::StandardButtons(QMessageBox::Yes |
                                                                            QMessageBox::No),
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // Custom buttons with ids 1, 2, 3; an empty text leaves its button out. critical and
    // warning are always top-level (the parent is not used); question shows the critical
    // icon.
    static int critical(CButtonStyle* style, QWidget* parent, const QString& title,
                        const QString& text, const QString& firstButtonText,
                        const QString& secondButtonText, const QString& thirdButtonText,
                        bool = false);
    static int warning(CButtonStyle* style, QWidget* parent, const QString& title,
                       const QString& text, const QString& firstButtonText,
                       const QString& secondButtonText, const QString& thirdButtonText,
                       bool = false);
    static int question(CButtonStyle* style, QWidget* parent, const QString& title,
                        const QString& text, const QString& firstButtonText,
                        const QString& secondButtonText, const QString& thirdButtonText,
                        QPoint position = QPoint(-1, -1));

public slots:
    // One second of the countdown.
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
    void toggleDetails();
};

} // namespace Omra
