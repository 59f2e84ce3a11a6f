#include "uibase/dialog/cuseragreementdialog.h"

namespace Omra {

namespace {

// Space between the frame and the bottom bar's contents on the left and on the right.
constexpr int sideMargin = 15;

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

    agreeCheckBox = new CCheckBox(
        0, QStringLiteral("我已阅读、充分理解并接受") + name + QStringLiteral("，不再提醒"),
        bottomBar);
    agreeCheckBox->setObjectName(QStringLiteral("agreeCheckBox"));
    bottomBar->addFixedWidget(agreeCheckBox, WidgetAnchorLeading, false);

    bottomBar->addStretchSpace(1);

    acceptButton = new CMediumNormalButton(OkButtonId, true, this);
    acceptButton->setObjectName(QStringLiteral("acceptButton"));
    acceptButton->setText(QStringLiteral("接受"));
    acceptButton->resize(themeSize("siz_user_agreement_dialog_btn_width"),
                         themeSize("siz_user_agreement_dialog_btn_height"));
    bottomBar->addFixedWidget(acceptButton, WidgetAnchorLeading, false);

    mainList->addFixedWidget(bottomBar, WidgetAnchorCenter, false);
    setInnerWidget(mainList);

    setFixedSize(themeSize("siz_user_agreement_dialog_width") + 2 * frameMargin,
                 themeSize("siz_user_agreement_dialog_height") + 2 * frameMargin + titleBarHeight);

    // A list places its fixed entries from its leading edge, so on its own the bar would
    // hang under the title. The dialog's size is fixed, so a top margin of everything the
    // bar does not take puts the bar on the bottom edge of the client area instead; the
    // space above stays free for the agreement.
    const QMargins inner = getInnerMargins();
    const int listWidth = width() - inner.left() - inner.right();
    const int listHeight = height() - inner.top() - inner.bottom();
    mainList->setMargin(sideMargin, qMax(0, listHeight - bottomHeight), sideMargin, 0);

    // Both bar entries sit on the bar's top edge: giving the check box the button's height
    // lines up their middles (the box centres its indicator and text). Its width is capped
    // so that a long agreement name is elided instead of running under the button.
    const int room = listWidth - 2 * sideMargin - acceptButton->width() - bottomBar->spacing();
    const int wanted = agreeCheckBox->sizeHint().width();
    agreeCheckBox->resize(qBound(0, wanted, qMax(0, room)), acceptButton->height());
    if (wanted > room)
        agreeCheckBox->setToolTip(agreeCheckBox->text());
    bottomBar->relayout();
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
