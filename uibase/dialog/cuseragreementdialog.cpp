#include "uibase/dialog/cuseragreementdialog.h"

#include "uibase/dialog/dialogparts_p.h"
#include "uibase/dialog/platformvalues_p.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPointer>
#include <QScrollBar>
#include <QTextDocument>

namespace Omra {

namespace {

Q_LOGGING_CATEGORY(lcAgreement, "omra.dialog")

// Space between the frame and the bottom bar's contents on the left and on the right.
constexpr int sideMargin = 15;
// Least space between the check box and the button.
constexpr int checkBoxGap = 8;
// Space above the agreement's text and between it and the bottom bar.
constexpr int textTop = 8;
constexpr int textGap = 10;
// Space between the text and the border of its pane.
constexpr int textMargin = 10;
// An agreement file larger than this is refused rather than freezing the dialog.
constexpr qint64 maxFileBytes = 4 * 1024 * 1024;

const char* const textName = "agreementText";

// The agreement's text, read-only and scrollable, in the theme's colours and font. While a
// text is waiting to be read the accept button stays disabled; it is enabled once the reader
// has seen the last line, however they got there (wheel, keys, scroll bar, or a text that
// fits at once).
class AgreementView : public QTextEdit, public CUiResourceChangeHandler
{
public:
    explicit AgreementView(QWidget* dialog) : QTextEdit(dialog)
    {
        setObjectName(QLatin1String(textName));
        setReadOnly(true);
        setFocusPolicy(Qt::StrongFocus);
        setTabChangesFocus(true);
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setForegroundRole(QPalette::WindowText); // the colour the plain frame is drawn in
        document()->setDocumentMargin(textMargin);
        hide();
        applyTheme();
        QScrollBar* bar = verticalScrollBar();
        connect(bar, &QScrollBar::valueChanged, this, [this] { scheduleCheck(); });
        connect(bar, &QScrollBar::rangeChanged, this, [this] { scheduleCheck(); });
    }

    void setAcceptButton(QWidget* button) { acceptButton = button; }

    // Shows text (nothing for a blank one) and makes the reader scroll through it again.
    void showAgreement(const QString& text)
    {
        if (Qt::mightBeRichText(text))
            setHtml(text);
        else
            setPlainText(text);
        waiting = !text.trimmed().isEmpty();
        setVisible(waiting);
        if (acceptButton) {
            acceptButton->setEnabled(!waiting);
            acceptButton->setToolTip(waiting ? QStringLiteral("请阅读至协议末尾") : QString());
        }
        scheduleCheck();
    }

    void themeChanged() override { applyTheme(); }
    void scaleChanged() override { applyTheme(); }

protected:
    void showEvent(QShowEvent* event) override
    {
        QTextEdit::showEvent(event);
        scheduleCheck();
    }

private:
    void applyTheme()
    {
        const CUiResource* theme = detail::theme();
        setFont(*theme->getFont(QStringLiteral("fnt_user_agreement_dialog_text")));
        QPalette colors = palette();
        colors.setColor(QPalette::Base,
                        *theme->getColor(QStringLiteral("clr_user_agreement_dialog_background")));
        colors.setColor(QPalette::Text,
                        *theme->getColor(QStringLiteral("clr_user_agreement_dialog_text")));
        colors.setColor(QPalette::WindowText,
                        *theme->getColor(QStringLiteral("clr_user_agreement_dialog_border")));
        setPalette(colors);
        update();
    }

    // The text editor lays a long text out in steps and grows its scroll range as it goes, so
    // the range seen from inside its signals may be an estimate. The check runs once control
    // is back in the event loop, against the text laid out in full.
    void scheduleCheck()
    {
        if (!waiting || checkPending)
            return;
        checkPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                checkPending = false;
                checkEnd();
            },
            Qt::QueuedConnection);
    }

    void checkEnd()
    {
        // Before the dialog is shown the pane has no final size to lay the text out in.
        if (!waiting || !isVisible())
            return;
        const int textHeight = qRound(document()->documentLayout()->documentSize().height());
        if (verticalScrollBar()->value() < textHeight - viewport()->height())
            return;
        waiting = false;
        if (acceptButton) {
            acceptButton->setEnabled(true);
            acceptButton->setToolTip(QString());
        }
    }

    QPointer<QWidget> acceptButton;
    bool waiting = false;
    bool checkPending = false;
};

// A one-line string names a file when it is an absolute path or a file that exists;
// anything else is the agreement's text itself.
bool namesFile(const QString& text)
{
    if (text.isEmpty() || text.contains(QLatin1Char('\n')) || Qt::mightBeRichText(text))
        return false;
    return QDir::isAbsolutePath(text) || QFileInfo::exists(text);
}

// The file's contents as UTF-8 text, or a null string (with a warning) when it cannot be read.
QString readAgreementFile(const QString& path)
{
    QFile file(path);
    QString problem;
    if (!file.open(QIODevice::ReadOnly))
        problem = file.errorString();
    else if (file.size() > maxFileBytes)
        problem = QStringLiteral("larger than %1 bytes").arg(maxFileBytes);
    if (problem.isEmpty()) {
        const QString text = QString::fromUtf8(file.readAll());
        if (!text.trimmed().isEmpty())
            return text;
        problem = QStringLiteral("empty");
    }
    qCWarning(lcAgreement, "agreement file %s not shown: %s", qUtf8Printable(path),
              qUtf8Printable(problem));
    return QString();
}

} // namespace

CUserAgreementDialog::CUserAgreementDialog(QString name, QString, QString, QWidget* parent)
    : CCommonDialog(parent)
{
    setTitle(name);

    auto* mainList = new CWidgetList(Qt::Vertical, this);
    mainList->setObjectName(QStringLiteral("mainList"));

    // Created after the main list, the text lies above it and takes the wheel; created before
    // the bar's controls, it comes first in the tab order and has the focus when shown.
    auto* text = new AgreementView(this);
    text->setAccessibleName(name.isEmpty() ? QStringLiteral("协议正文") : name);

    const int bottomHeight = detail::themeSize("siz_user_agreement_dialog_bottom_height");
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
    acceptButton->resize(detail::themeSize("siz_user_agreement_dialog_btn_width"),
                         detail::themeSize("siz_user_agreement_dialog_btn_height"));
    bottomBar->addFixedWidget(acceptButton, ui::anchorLeading, false);

    mainList->addFixedWidget(bottomBar, ui::anchorCenter, false);
    setInnerWidget(mainList);

    setFixedSize(detail::themeSize("siz_user_agreement_dialog_width") + 2 * frameMargin,
                 detail::themeSize("siz_user_agreement_dialog_height") + 2 * frameMargin +
                     titleBarHeight);

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

    // The text fills the space above the bar.
    text->setGeometry(innerLeft + sideMargin, innerTop + textTop, barWidth,
                      qMax(0, barTop - textTop - textGap));
    text->setAcceptButton(acceptButton);
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

void CUserAgreementDialog::load(QString text)
{
    auto* view = dynamic_cast<AgreementView*>(
        findChild<QTextEdit*>(QLatin1String(textName), Qt::FindDirectChildrenOnly));
    if (view)
        view->showAgreement(namesFile(text) ? readAgreementFile(text) : text);
}

void CUserAgreementDialog::onOK()
{
    if (resultCallback.empty())
        return;
    resultCallback(true, agreeCheckBox && agreeCheckBox->isChecked());
}

} // namespace Omra
