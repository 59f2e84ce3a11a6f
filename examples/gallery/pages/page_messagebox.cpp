#include "gallery.h"

#include "uibase/dialog/ccountdowndialog.h"
#include "uibase/dialog/cmessagebox.h"
#include "uibase/dialog/contracts/uiresource.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTranslator>

namespace {

// The screenshots show boxes without running them: this opens the constructors and the
// extra steps the static entry points apply.
class GalleryBox : public Omra::CMessageBox
{
public:
    GalleryBox(QMessageBox::Icon icon, const QString& title, const QString& text,
               QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
               QPixmap* picture = nullptr)
        : CMessageBox(nullptr, icon, title, text, buttons, defaultButton, nullptr, picture,
                      QPoint(-1, -1))
    {
        setAttribute(Qt::WA_DeleteOnClose, false);
    }
    GalleryBox(QMessageBox::Icon icon, const QString& title, const QString& text,
               const QString& first, const QString& second, const QString& third)
        : CMessageBox(nullptr, icon, title, text, first, second, third, nullptr, QPoint(-1, -1))
    {
        setAttribute(Qt::WA_DeleteOnClose, false);
    }

    using CMessageBox::setCountDown;
    using CMessageBox::setDetailedText;
    using CMessageBox::setPixmap;

    void useUpdateIcon()
    {
        setPixmap(*utils::CSingletonT<Omra::CUiResource>::instance()->getPixmap(
            QStringLiteral("img_messagebox_update")));
    }
};

// A banner of the kind callers put above an upgrade question.
QPixmap* bannerPicture()
{
    static QPixmap* picture = [] {
        auto* pixmap = new QPixmap(400, 212);
        pixmap->fill(Qt::transparent);
        QPainter painter(pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, 212);
        sky.setColorAt(0, QColor(30, 111, 217));
        sky.setColorAt(1, QColor(120, 190, 255));
        QPainterPath frame;
        frame.addRoundedRect(QRectF(0, 0, 400, 212), 8, 8);
        painter.fillPath(frame, sky);
        // A rising chart line.
        QPainterPath chart;
        chart.moveTo(20, 180);
        const int points[][2] = {{70, 150}, {120, 165}, {170, 120}, {220, 135},
                                 {270, 90}, {320, 100}, {380, 40}};
        for (const auto& p : points)
            chart.lineTo(p[0], p[1]);
        painter.setPen(
            QPen(QColor(255, 255, 255, 220), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(chart);
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(30);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(24, 20, 360, 40), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("交易终端 6.0"));
        font.setPixelSize(15);
        font.setBold(false);
        painter.setFont(font);
        painter.drawText(QRect(24, 62, 360, 24), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("更快的行情，更稳的下单"));
        return pixmap;
    }();
    return picture;
}

QWidget* informationCountdown()
{
    auto* box = new GalleryBox(QMessageBox::Information, QStringLiteral("提示"),
                               QStringLiteral("委托已提交，窗口将自动关闭。"),
                               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    box->setCountDown(10);
    return box;
}

QWidget* questionUpdate()
{
    auto* box = new GalleryBox(QMessageBox::Question, QStringLiteral("版本更新"),
                               QStringLiteral("发现新版本 6.0.2，是否立即更新？"),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    box->useUpdateIcon();
    return box;
}

QWidget* questionWithDetail()
{
    auto* box = new GalleryBox(QMessageBox::Question, QStringLiteral("撤单确认"),
                               QStringLiteral("确定撤销选中的 3 笔委托吗？"),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    box->setDetailedText(QStringLiteral("600000 浦发银行 买入 1000 股 @ 7.85\n"
                                        "000001 平安银行 卖出 500 股 @ 11.20\n"
                                        "601318 中国平安 买入 200 股 @ 42.36"));
    return box;
}

QWidget* threeButtons()
{
    // The three-button question, which shows the critical picture.
    return new GalleryBox(QMessageBox::Critical, QStringLiteral("保存布局"),
                          QStringLiteral("当前页面布局已修改，退出前是否保存？"),
                          QStringLiteral("保存"), QStringLiteral("不保存"), QStringLiteral("取消"));
}

QWidget* customPicture()
{
    return new GalleryBox(QMessageBox::Question, QStringLiteral("新版本"),
                          QStringLiteral("新版本已下载完成，是否现在重启终端完成安装？"),
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, bannerPicture());
}

QWidget* warningBox()
{
    return new GalleryBox(QMessageBox::Warning, QStringLiteral("警告"),
                          QStringLiteral("该合约今日已触及涨停价，委托可能无法成交。继续下单将按"
                                         "当前价格提交，请确认风险。"),
                          QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
}

Omra::CCountDownDialog* countdownDialog(Omra::CCountDownType type, bool showLink)
{
    auto* dialog = new Omra::CCountDownDialog(
        nullptr, QMessageBox::Information, QStringLiteral("自动重启"), QStringLiteral("系统将在"),
        30, QStringLiteral("秒后重启以完成更新"), type, showLink,
        type == Omra::CountDownWithRestartLink ? QStringLiteral("立即重启")
                                               : QStringLiteral("确定"),
        type == Omra::CountDownWithRestartLink ? QStringLiteral("稍后提醒")
                                               : QStringLiteral("取消"),
        QString());
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    return dialog;
}

// The terminal runs with Qt's own Chinese translation, which is where the details button
// gets its text from; without the file the button keeps Qt's English text.
// Where Qt's own translations are installed (Qt 6 renamed the call).
QString qtTranslationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

void installQtChinese()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_zh_CN"), qtTranslationsPath()))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

void showResult(QWidget* parent, int result)
{
    Omra::CMessageBox::information(
        nullptr, parent, QStringLiteral("结果"),
        QStringLiteral("返回值：%1 (0x%2)").arg(result).arg(QString::number(result, 16)),
        QMessageBox::Ok, QMessageBox::Ok);
}

gallery::Page messageBoxPage()
{
    installQtChinese();
    gallery::Page page;
    page.title = QStringLiteral("Message boxes");
    page.description = QStringLiteral(
        "CMessageBox: the static entry points with icon, standard or custom buttons, auto-close "
        "countdown, details pane and custom picture. CCountDownDialog: a choice with a running "
        "clock and the optional restart-time line. Every demo shows the returned value. The "
        "details button texts come from Qt's Chinese translation (qtbase_zh_CN) when installed.");

    page.shots << gallery::Shot{QStringLiteral("messagebox-information-countdown"),
                                informationCountdown, [](QWidget* window) {
                                    // Two seconds into the countdown.
                                    auto* box = static_cast<GalleryBox*>(window);
                                    box->slot_Timeout();
                                    box->slot_Timeout();
                                }};
    page.shots << gallery::Shot{QStringLiteral("messagebox-question-update"), questionUpdate, {}};
    page.shots << gallery::Shot{
        QStringLiteral("messagebox-detail-collapsed"), questionWithDetail, {}};
    page.shots << gallery::Shot{
        QStringLiteral("messagebox-detail-expanded"), questionWithDetail, [](QWidget* window) {
            if (auto* button =
                    window->findChild<Omra::CPushButton*>(QStringLiteral("detailsButton")))
                button->click();
        }};
    page.shots << gallery::Shot{QStringLiteral("messagebox-three-buttons"), threeButtons, {}};
    page.shots << gallery::Shot{QStringLiteral("messagebox-custom-picture"), customPicture, {}};
    page.shots << gallery::Shot{QStringLiteral("messagebox-warning-wrapped"), warningBox, {}};
    page.shots << gallery::Shot{
        QStringLiteral("countdown-restart-link"),
        [] { return countdownDialog(Omra::CountDownWithRestartLink, true); },
        {}};
    page.shots << gallery::Shot{QStringLiteral("countdown-plain"),
                                [] { return countdownDialog(Omra::CountDownPlain, false); },
                                {}};
    page.shots << gallery::Shot{QStringLiteral("countdown-plain-ticking"),
                                [] { return countdownDialog(Omra::CountDownPlain, false); },
                                [](QWidget* window) {
                                    // 30 -> 09: the number keeps two digits below ten.
                                    auto* dialog = static_cast<Omra::CCountDownDialog*>(window);
                                    for (int i = 0; i < 21; ++i)
                                        dialog->slot_MessageTimeout();
                                }};

    page.demos << gallery::Demo{
        QStringLiteral("information with a 5 s countdown"), [](QWidget* window) {
            showResult(window,
                       Omra::CMessageBox::information(nullptr, window, QStringLiteral("提示"),
                                                      QStringLiteral("5 秒后自动关闭（返回 1）。"),
                                                      QMessageBox::Ok | QMessageBox::Cancel,
                                                      QMessageBox::Ok, false, 5));
        }};
    page.demos << gallery::Demo{
        QStringLiteral("question with the update icon"), [](QWidget* window) {
            showResult(window, Omra::CMessageBox::question(
                                   nullptr, window, QStringLiteral("版本更新"),
                                   QStringLiteral("发现新版本，是否立即更新？"),
                                   QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, true));
        }};
    page.demos << gallery::Demo{
        QStringLiteral("questionWithDetail"), [](QWidget* window) {
            showResult(window, Omra::CMessageBox::questionWithDetail(
                                   nullptr, window, QStringLiteral("撤单确认"),
                                   QStringLiteral("确定撤销选中的委托吗？"),
                                   QStringLiteral("600000 浦发银行 买入 1000 股 @ 7.85\n"
                                                  "000001 平安银行 卖出 500 股 @ 11.20"),
                                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No));
        }};
    page.demos << gallery::Demo{
        QStringLiteral("three-button question (ids 1, 2, 3)"), [](QWidget* window) {
            showResult(window, Omra::CMessageBox::question(
                                   nullptr, window, QStringLiteral("保存布局"),
                                   QStringLiteral("退出前是否保存布局？"), QStringLiteral("保存"),
                                   QStringLiteral("不保存"), QStringLiteral("取消")));
        }};
    page.demos << gallery::Demo{
        QStringLiteral("question with a custom picture"), [](QWidget* window) {
            showResult(window,
                       Omra::CMessageBox::question(nullptr, window, QStringLiteral("新版本"),
                                                   QStringLiteral("是否现在重启终端完成安装？"),
                                                   QMessageBox::Yes | QMessageBox::No,
                                                   QMessageBox::Yes, false, bannerPicture()));
        }};
    page.demos << gallery::Demo{
        QStringLiteral("warning, Ok | Cancel"), [](QWidget* window) {
            showResult(window, Omra::CMessageBox::warning(nullptr, window, QStringLiteral("警告"),
                                                          QStringLiteral("委托可能无法成交。"),
                                                          QMessageBox::Ok | QMessageBox::Cancel,
                                                          QMessageBox::Cancel));
        }};
    page.demos << gallery::Demo{
        QStringLiteral("critical, custom buttons (no parent)"), [](QWidget* window) {
            showResult(window, Omra::CMessageBox::critical(
                                   nullptr, window, QStringLiteral("连接中断"),
                                   QStringLiteral("与交易服务器的连接已断开。"),
                                   QStringLiteral("重连"), QString(), QStringLiteral("退出")));
        }};
    page.demos << gallery::Demo{
        QStringLiteral("countdown dialog with the restart line (15 s)"), [](QWidget* window) {
            showResult(window,
                       Omra::CCountDownDialog::getChooseResult(
                           nullptr, window, QStringLiteral("自动重启"), QStringLiteral("系统将在"),
                           15, QStringLiteral("秒后重启以完成更新"), Omra::CountDownWithRestartLink,
                           true, QStringLiteral("立即重启"), QStringLiteral("稍后提醒")));
        }};
    page.demos << gallery::Demo{
        QStringLiteral("plain countdown dialog (12 s)"), [](QWidget* window) {
            showResult(window, Omra::CCountDownDialog::getChooseResult(
                                   nullptr, window, QStringLiteral("确认"), QStringLiteral("将在"),
                                   12, QStringLiteral("秒后自动取消"), Omra::CountDownPlain, false,
                                   QStringLiteral("确定"), QStringLiteral("取消")));
        }};
    return page;
}

} // namespace

GALLERY_PAGE(messageBoxPage)
