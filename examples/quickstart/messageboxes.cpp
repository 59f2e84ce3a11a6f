// Message boxes and the countdown decision dialog.
// Run it to answer the dialogs yourself; with --smoke it answers them by itself.

#include "smoke.h"

#include "uibase/dialog/ccountdowndialog.h"
#include "uibase/dialog/cmessagebox.h"

#include <QApplication>

#include <cstdio>

using namespace Omra;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    quickstart::parseArguments(argc, argv);
    QWidget mainWindow;
    QWidget* window = &mainWindow;
    const QString details = QStringLiteral("600000 买入 1000 股\n600036 卖出 500 股");

    // Message box: returns the clicked button; with a countdown it returns 1 when time runs out.
    quickstart::answer("button65536"); // No
    auto answer = CMessageBox::question(nullptr, window, "撤单确认", "确定撤销选中的委托吗？",
                                        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    std::printf("question: %d\n", int(answer));

    auto timedOut = CMessageBox::information(nullptr, window, "提示", "委托已提交", QMessageBox::Ok,
                                             QMessageBox::Ok, false, /*countdown*/ 2);
    std::printf("information: %d\n", int(timedOut));

    quickstart::answer("button16384"); // Yes
    auto withDetails =
        CMessageBox::questionWithDetail(nullptr, window, "撤单确认", "撤销 2 笔委托？", details);
    std::printf("details: %d\n", int(withDetails));

    // Three buttons of your own: 1, 2, 3 from left to right, 0 when the box is closed.
    quickstart::answer("button3");
    int custom =
        CMessageBox::warning(nullptr, window, "断线", "行情连接已断开", "重连", "稍后", "退出");
    std::printf("custom: %d\n", custom);

    // Countdown decision: 1..3 for a button, 4 for the restart line, 0 when time ran out.
    quickstart::answer("button2");
    int choice = CCountDownDialog::getChooseResult(nullptr, nullptr, "自动重启", "系统将在", 30,
                                                   "秒后重启", CountDownWithRestartLink, true,
                                                   "立即重启", "稍后提醒", QString(), false);
    std::printf("countdown: %d\n", choice);
    return 0;
}
