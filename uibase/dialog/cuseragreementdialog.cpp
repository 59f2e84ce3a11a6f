#include "uibase/dialog/cuseragreementdialog.h"

#include "uibase/dialog/platformvalues_p.h"

namespace Omra {

namespace {

// Space between the frame and the bottom bar's contents on the left and on the right.
constexpr int sideMargin = 15;
// Least space between the check box and the button.
constexpr int checkBoxGap = 8;

int themeSize(const char* key)
{
    return utils::CSingletonT<CUiResource>::instance()->getSize(QLatin1String(key));
}

} // namespace

CUserAgreementDialog::CUserAgreementDialog(QString name, QString, QString, QWidget* parent)
    : CCommonDialog(parent)
{
    setTitle(name);

    auto* mainList = new CWidgetList(Qt::Vertical, this);
    mainList->setObjectName(QStringLiteral("mainList"));

    const int bottomHeight = themeSize("siz_user_agreement_dialog_bottom_height");
    auto* bottomBar = new CWidgetList(Qt::Horizontal, this);
    bottomBar->setObjectName(QStringLiteral("bottomBar"));
    bottomBar->resize(bottomBar->width(), bottomHeight);
    bottomBar->setMargin(0, 0, 0, 0);

    const QString agreeText =
        QStringLiteral("我已阅读、充分理解并接受") + name + QStringLiteral("，不再提醒");
    agreeCheckBox = new CCheckBox(0, agreeText, bottomBar);
    agreeCheckBox->setObjectName(QStringLiteral("agreeCheckBox"));
    bottomBar->addFixedWidget(agreeCheckBox, ui::anchorLeading, false);

    bottomBar->addStretchSpace(1);

    acceptButton = new CMediumNormalButton(ui::idConfirm, true, this);
    acceptButton->setObjectName(QStringLiteral("acceptButton"));
    acceptButton->setText(QStringLiteral("接受"));
    acceptButton->resize(themeSize("siz_user_agreement_dialog_btn_width"),
                         themeSize("siz_user_agreement_dialog_btn_height"));
    bottomBar->addFixedWidget(acceptButton, ui::anchorLeading, false);

    mainList->addFixedWidget(bottomBar, ui::anchorCenter, false);
    setInnerWidget(mainList);

    setFixedSize(themeSize("siz_user_agreement_dialog_width") + 2 * frameMargin,
                 themeSize("siz_user_agreement_dialog_height") + 2 * frameMargin + titleBarHeight);

    // A list places its fixed entries from its leading edge, so on its own the bar would
    // hang under the title. The dialog's size is fixed, so a top margin of everything the
    // bar does not take puts the bar on the bottom edge of the client area instead; the
    // space above stays free for the agreement.
    const int listWidth = width() - innerLeft - innerRight;
    const int listHeight = height() - innerTop - innerBottom;
    const int barTop = qMax(0, listHeight - bottomHeight);
    mainList->setMargin(sideMargin, barTop, sideMargin, 0);

    // Both bar entries sit on the bar's top edge: giving the check box the button's height
    // lines up their middles (the box centres its indicator and text). Its width is capped
    // so that a long agreement name is elided instead of running under the button.
    const int barWidth = qMax(0, listWidth - 2 * sideMargin);
    const int room = barWidth - acceptButton->width() - checkBoxGap;
    const int wanted = agreeCheckBox->sizeHint().width();
    agreeCheckBox->resize(qBound(0, wanted, qMax(0, room)), acceptButton->height());
    if (wanted > room)
        agreeCheckBox->setToolTip(agreeText);

    // Everything where the lists put it when they arrange their entries at the next resize,
    // so that the geometry is right before the dialog is first shown.
    mainList->setGeometry(innerLeft, innerTop, qMax(0, listWidth), qMax(0, listHeight));
    bottomBar->setGeometry(sideMargin, barTop, barWidth, bottomHeight);
    agreeCheckBox->move(0, 0);
    acceptButton->move(barWidth - acceptButton->width(), 0);
}

CUserAgreementDialog::~CUserAgreementDialog()
{
    resultCallback.clear();
}

int CUserAgreementDialog::display(boost::function<void(bool, bool)> callback)
{
    resultCallback = callback;
    return exec();
}

void CUserAgreementDialog::load(QString) {}

void CUserAgreementDialog::onOK()
{
    if (resultCallback.empty())
        return;
    resultCallback(true, agreeCheckBox && agreeCheckBox->isChecked());
}

} // namespace Omra
