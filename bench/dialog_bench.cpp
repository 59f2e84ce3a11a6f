// Benchmarks of the dialogs against Qt's own dialogs, measured in one process on whatever
// platform QT_QPA_PLATFORM names (offscreen under `make bench`).
//
// The start-up and memory figures need a fresh process each: the program runs itself with
// --startup-child or --memory-child=<kind> and reads the child's one-line answer.

#include "uibase/dialog/cchangepassworddialog.h"
#include "uibase/dialog/ccheckversiondialog.h"
#include "uibase/dialog/ccountdowndialog.h"
#include "uibase/dialog/cfloatbutton.h"
#include "uibase/dialog/cglobalmessagedialog.h"
#include "uibase/dialog/cmessagebox.h"
#include "uibase/dialog/cmultimessagedialog.h"
#include "uibase/dialog/contracts/uiresource.h"
#include "uibase/dialog/csimpleinputdialog.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace Omra;

namespace {

QString benchTitle()
{
    return QStringLiteral("委托提示");
}

// Two lines, as a typical order confirmation.
QString benchText()
{
    return QStringLiteral(
        "委托 IF2406 买入开仓 2 手已提交，交易所尚未确认。\n是否撤销该委托并重新下单？");
}

// The standard-button constructor is protected: callers normally go through the static
// entry points, which run the box modally.
class BenchMessageBox : public CMessageBox
{
public:
    explicit BenchMessageBox(CButtonStyle* style)
        : CMessageBox(style, QMessageBox::Information, benchTitle(), benchText(),
                      QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, nullptr, nullptr,
                      QPoint(-1, -1))
    {
        // The benchmark deletes the box itself.
        setAttribute(Qt::WA_DeleteOnClose, false);
    }
    ~BenchMessageBox() override = default;
};

CButtonStyle buttonStyle;
CCDButtonStyle countDownStyle;

QWidget* makeCMessageBox()
{
    return new BenchMessageBox(&buttonStyle);
}

QWidget* makeQMessageBox()
{
    auto* box = new QMessageBox(QMessageBox::Information, benchTitle(), benchText(),
                                QMessageBox::Ok | QMessageBox::Cancel);
    box->setDefaultButton(QMessageBox::Ok);
    return box;
}

QWidget* makeCSimpleInputDialog()
{
    return new CSimpleInputDialog(QStringLiteral("设置别名"), QString());
}

QWidget* makeQInputDialog()
{
    auto* dialog = new QInputDialog;
    dialog->setWindowTitle(QStringLiteral("设置别名"));
    dialog->setLabelText(QStringLiteral("别名："));
    return dialog;
}

QWidget* makeCCountDownDialog()
{
    auto* dialog =
        new CCountDownDialog(&countDownStyle, QMessageBox::Information, benchTitle(),
                             QStringLiteral("行情连接已断开，将在倒计时结束后自动重连。"), 10,
                             QStringLiteral("秒后自动重连"), CountDownPlain, false,
                             QStringLiteral("立即重连"), QStringLiteral("取消"), QString());
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    return dialog;
}

QWidget* makeCChangePasswordDialog()
{
    auto* dialog = new CChangePasswordDialog(0, QStringLiteral("修改密码"), QString(), QString());
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    return dialog;
}

QWidget* makeCCheckVersionDialog()
{
    // Looked up once: finding the temporary folder is the benchmark's work, not the dialog's.
    static const QString dir = QDir::tempPath();
    return new CCheckVersionDialog(dir, QString(), dir);
}

QWidget* makeCMultiMessageDialog()
{
    return new CMultiMessageDialog;
}

QWidget* makeCGlobalMessageDialog()
{
    return new CGlobalMessageDialog(nullptr, -1);
}

CFloatButton* newFloatButton()
{
    auto* button = new CFloatButton("img_float_button_bg", 1, 8, 8, 8, 8);
    button->setTextInfo(
        QStringLiteral("clr_float_button_text_normal"),
        QStringLiteral("clr_float_button_text_hover"), QStringLiteral("clr_float_button_text_down"),
        QStringLiteral("clr_float_button_text_disabled"), QStringLiteral("fnt_float_button"));
    button->setText(QStringLiteral("下单"));
    button->setTextMargin(6, 2, 6, 2);
    button->setIcon(QStringLiteral("img_float_button_icon"), IconAlignBefore, 4);
    return button;
}

QWidget* makeCFloatButton()
{
    return newFloatButton();
}

// The least a dialog built of the same kinds of Qt widgets costs: a frameless QDialog holding
// plain labels, line edits, push buttons and check boxes in box layouts, at the size of the
// dialog it is compared with, with the same texts.
struct Floor
{
    int labels;       // plain one-line labels; the first shows the title
    bool wrappedText; // one more label with the message, wrapped
    bool icon;        // one more label showing the information icon
    int lineEdits;
    int buttons; // the first one is the close button of the title bar
    int checkBoxes;
};

// Icons come from the style once; the dialogs, too, have theirs decoded once.
const QPixmap& floorIcon(QStyle::StandardPixmap which)
{
    static QHash<int, QPixmap> icons;
    QPixmap& icon = icons[which];
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(which).pixmap(32);
    return icon;
}

QWidget* makeFloor(const Floor& floor, const QSize& size)
{
    auto* dialog = new QDialog(nullptr, Qt::FramelessWindowHint);
    auto* column = new QVBoxLayout(dialog);
    auto* titleRow = new QHBoxLayout;
    column->addLayout(titleRow);
    for (int i = 0; i < floor.labels; ++i) {
        auto* label = new QLabel(i == 0 ? benchTitle() : QStringLiteral("新密码"), dialog);
        (i == 0 ? static_cast<QBoxLayout*>(titleRow) : column)->addWidget(label);
    }
    auto* body = new QHBoxLayout;
    column->addLayout(body);
    if (floor.icon) {
        auto* icon = new QLabel(dialog);
        icon->setPixmap(floorIcon(QStyle::SP_MessageBoxInformation));
        body->addWidget(icon);
    }
    if (floor.wrappedText) {
        auto* text = new QLabel(benchText(), dialog);
        text->setWordWrap(true);
        body->addWidget(text);
    }
    for (int i = 0; i < floor.lineEdits; ++i)
        column->addWidget(new QLineEdit(dialog));
    for (int i = 0; i < floor.checkBoxes; ++i)
        column->addWidget(new QCheckBox(QStringLiteral("不再提示"), dialog));
    auto* buttonRow = new QHBoxLayout;
    column->addLayout(buttonRow);
    for (int i = 0; i < floor.buttons; ++i) {
        auto* button =
            new QPushButton(i == 0 ? QStringLiteral("×") : QStringLiteral("确定"), dialog);
        (i == 0 ? titleRow : buttonRow)->addWidget(button);
    }
    dialog->setFixedSize(size);
    return dialog;
}

// A float button is one button of its own window.
QWidget* makeFloorButton(const QSize& size)
{
    auto* button = new QPushButton(QStringLiteral("下单"));
    button->setWindowFlags(Qt::FramelessWindowHint);
    button->setIcon(QIcon(floorIcon(QStyle::SP_ArrowUp)));
    button->setFixedSize(size);
    return button;
}

QImage renderFrame(QWidget* widget)
{
    QImage frame(widget->size(), QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    widget->render(&frame);
    return frame;
}

// Construct, lay out, show, render one frame, close and delete.
void openOnce(const std::function<QWidget*()>& make)
{
    QPointer<QWidget> widget = make();
    widget->show();
    const QImage frame = renderFrame(widget);
    benchmark::DoNotOptimize(frame.constBits());
    widget->close();
    delete widget.data();
}

void openToFirstFrame(benchmark::State& state, std::function<QWidget*()> make)
{
    // The first dialog of a kind loads fonts and images; the figure is for the ones after.
    openOnce(make);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        openOnce(make);
        // Events the show left behind (expose, update requests) are not part of the figure.
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

double threadCpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// A dialog and its floor opened in turns, so that both see the same load from other builds;
// which one goes first alternates. One repetition is many rounds; its figure is the ratio of
// the two sums, and the table shows the median over the repetitions.
void openAgainstFloor(benchmark::State& state, std::function<QWidget*()> ours,
                      std::function<QWidget*()> floor)
{
    constexpr int rounds = 200;
    const std::function<QWidget*()>* makes[2] = {&ours, &floor};
    for (const auto* make : makes) {
        openOnce(*make);
        QCoreApplication::processEvents();
    }
    for (auto _ : state) {
        double seconds[2] = {0, 0};
        for (int round = 0; round < rounds; ++round) {
            for (int k = 0; k < 2; ++k) {
                const int which = (round + k) % 2;
                const double start = threadCpuSeconds();
                openOnce(*makes[which]);
                seconds[which] += threadCpuSeconds() - start;
                QCoreApplication::processEvents();
            }
        }
        state.counters["ours_ns"] = seconds[0] / rounds * 1e9;
        state.counters["ref_ns"] = seconds[1] / rounds * 1e9;
        state.counters["ratio"] = seconds[1] > 0 ? seconds[0] / seconds[1] : 0;
    }
}

// A message replaced in place on the visible popup.
void popupReplace(benchmark::State& state)
{
    CGlobalMessageDialog::setRightBottom(QPoint(1900, 1000));
    CGlobalMessageDialog::showSingleMessage(benchTitle(), benchText(), 10, 0, true, nullptr, false,
                                            false, true, false);
    QCoreApplication::processEvents();
    const QString titles[2] = {QStringLiteral("成交回报"), QStringLiteral("委托回报")};
    const QString contents[2] = {QStringLiteral("IF2406 买入开仓 2 手已成交，成交价 3521.4。"),
                                 QStringLiteral("IF2406 卖出平仓 1 手已报入交易所。")};
    int i = 0;
    for (auto _ : state) {
        CGlobalMessageDialog::showSingleMessage(titles[i & 1], contents[i & 1], 10, i, true,
                                                nullptr, false, false, true, false);
        ++i;
    }
    CGlobalMessageDialog::closeMessage();
    QCoreApplication::processEvents();
}

// Distinct messages, so that none is dropped as a repeat of the one before.
const QVector<QString>& messagePool()
{
    static const QVector<QString> pool = [] {
        QVector<QString> out;
        out.reserve(1 << 16);
        for (int i = 0; i < (1 << 16); ++i)
            out << QStringLiteral("合约 IF2406 触发条件单 #%1，委托已提交").arg(i);
        return out;
    }();
    return pool;
}

void updateMessage(benchmark::State& state)
{
    const QVector<QString>& pool = messagePool();
    const int mask = pool.size() - 1;
    CMultiMessageDialog dialog;
    const int queued = int(state.range(0));
    for (int i = 0; i < queued; ++i)
        dialog.updateMessage(pool[i & mask]);
    int next = queued;
    for (auto _ : state)
        dialog.updateMessage(pool[next++ & mask]);
}

// One step of the one-second timer with 100,000 messages waiting.
void multiMessageTimerStep(benchmark::State& state)
{
    const QVector<QString>& pool = messagePool();
    const int mask = pool.size() - 1;
    CMultiMessageDialog dialog;
    const QMetaObject* meta = dialog.metaObject();
    const QMetaMethod step = meta->method(meta->indexOfSlot("slotTimeOut()"));
    int next = 0;
    int waiting = 0;
    const auto fill = [&](int count) {
        for (int i = 0; i < count; ++i)
            dialog.updateMessage(pool[next++ & mask]);
        waiting += count;
    };
    fill(100000);
    for (auto _ : state) {
        step.invoke(&dialog, Qt::DirectConnection);
        if (--waiting < 90000) {
            state.PauseTiming();
            fill(10000);
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }
    dialog.hide();
    QCoreApplication::processEvents();
}

CUiResource* theme()
{
    return utils::CSingletonT<CUiResource>::instance();
}

template <class Lookup> void themeLookup(benchmark::State& state, const QString& key, Lookup lookup)
{
    lookup(theme(), key); // a miss is reported once, not in the loop
    for (auto _ : state)
        benchmark::DoNotOptimize(lookup(theme(), key));
}

// The way most call sites spell a key: a C string literal turned into a QString per call.
void themeLookupCString(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(theme()->getSize("siz_message_box_margin"));
}

void floatButtonRepaint(benchmark::State& state)
{
    std::unique_ptr<CFloatButton> button(newFloatButton());
    button->setFixedSize(100, 40);
    button->show();
    QCoreApplication::processEvents();
    QImage frame(100, 40, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        frame.fill(Qt::transparent);
        button->render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
}

// --- child processes ---------------------------------------------------------------------

double cpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

double wallSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

long residentBytes()
{
    long size = 0;
    long resident = 0;
    if (FILE* file = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(file, "%ld %ld", &size, &resident) != 2)
            resident = 0;
        std::fclose(file);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// Prints the CPU and wall milliseconds of the first theme look-up of the process: the
// table is created, the default theme loaded and the image decoded.
int startupChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    const double cpu0 = cpuSeconds();
    const double wall0 = wallSeconds();
    const QPixmap* pixmap = theme()->getPixmap(QStringLiteral("img_custom_dialog_bg"));
    const double cpu = cpuSeconds() - cpu0;
    const double wall = wallSeconds() - wall0;
    if (pixmap->isNull())
        return 1;
    std::printf("%.6f %.6f\n", cpu * 1e3, wall * 1e3);
    return 0;
}

// Prints the growth of the resident set per box with 100 boxes of the kind open.
int memoryChild(int argc, char** argv, const char* kind)
{
    QApplication app(argc, argv);
    // "<class>" or "<class>:hidden" (constructed only: the widgets without the window's
    // backing store).
    const bool ours = std::strncmp(kind, "CMessageBox", 11) == 0;
    const bool shown = std::strstr(kind, ":hidden") == nullptr;
    // One box of each kind first, so that fonts, styles and the theme are loaded for both.
    for (QWidget* (*make)() : {makeCMessageBox, makeQMessageBox}) {
        QWidget* box = make();
        box->show();
        QCoreApplication::processEvents();
        delete box;
        QCoreApplication::processEvents();
    }
    const int count = 100;
    const long before = residentBytes();
    std::vector<QWidget*> boxes;
    for (int i = 0; i < count; ++i) {
        boxes.push_back(ours ? makeCMessageBox() : makeQMessageBox());
        if (shown)
            boxes.back()->show();
    }
    // Each window paints into its own backing store.
    QCoreApplication::processEvents();
    const long after = residentBytes();
    for (QWidget* box : boxes)
        delete box;
    std::printf("%.3f\n", double(after - before) / count / 1024.0);
    return 0;
}

// Prints the CPU and wall milliseconds of the first dialog of the process: a message box,
// ours or Qt's, built, shown and rendered to its first frame right after the application
// object is constructed. "<class>:fonts-ready" first lists the font families, as a running
// terminal has done long before its first alert: fontconfig has read its configuration and
// Qt knows the installed fonts, but no font of the dialog is loaded yet.
int coldChild(int argc, char** argv, const char* kind)
{
    QApplication app(argc, argv);
    QWidget* (*make)() =
        std::strncmp(kind, "CMessageBox", 11) == 0 ? makeCMessageBox : makeQMessageBox;
    if (std::strstr(kind, ":fonts-ready"))
        benchmark::DoNotOptimize(QFontDatabase().families().size());
    const double cpu0 = cpuSeconds();
    const double wall0 = wallSeconds();
    openOnce(make);
    const double cpu = cpuSeconds() - cpu0;
    const double wall = wallSeconds() - wall0;
    std::printf("%.6f %.6f\n", cpu * 1e3, wall * 1e3);
    return 0;
}

QString runChild(const QStringList& arguments)
{
    QProcess child;
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return QString();
    return QString::fromLatin1(child.readAllStandardOutput()).trimmed();
}

void startup(benchmark::State& state)
{
    for (auto _ : state) {
        const QStringList parts = runChild({QStringLiteral("--startup-child")}).split(' ');
        if (parts.size() != 2) {
            state.SkipWithError("start-up child failed");
            return;
        }
        state.counters["cpu_ms"] = parts[0].toDouble();
        state.counters["wall_ms"] = parts[1].toDouble();
    }
}

// One repetition is a pair of fresh processes, ours and Qt's, run back to back so that both
// see the same load; which one goes first alternates. The median of the pairs' ratios is
// the figure.
void coldFirstOpen(benchmark::State& state, const char* suffix)
{
    static int pair = 0;
    for (auto _ : state) {
        double cpu[2] = {0, 0};
        const char* kinds[2] = {"CMessageBox", "QMessageBox"};
        for (int k = 0; k < 2; ++k) {
            const int which = (pair + k) % 2;
            const QStringList parts =
                runChild({QStringLiteral("--cold-child=%1%2")
                              .arg(QLatin1String(kinds[which]), QLatin1String(suffix))})
                    .split(' ');
            if (parts.size() != 2) {
                state.SkipWithError("first-open child failed");
                return;
            }
            cpu[which] = parts[0].toDouble();
        }
        ++pair;
        state.counters["ours_ns"] = cpu[0] * 1e6;
        state.counters["ref_ns"] = cpu[1] * 1e6;
        state.counters["ratio"] = cpu[1] > 0 ? cpu[0] / cpu[1] : 0;
    }
}

void memory(benchmark::State& state, const char* kind)
{
    for (auto _ : state) {
        bool ok = false;
        const double kib =
            runChild({QStringLiteral("--memory-child=%1").arg(QLatin1String(kind))}).toDouble(&ok);
        if (!ok) {
            state.SkipWithError("memory child failed");
            return;
        }
        state.counters["kib_per_box"] = kib;
    }
}

void registerAll()
{
    using benchmark::RegisterBenchmark;
    const struct
    {
        const char* name;
        QWidget* (*make)();
    } opens[] = {
        {"open/QMessageBox", makeQMessageBox},
        {"open/CMessageBox", makeCMessageBox},

        {"open/QInputDialog", makeQInputDialog},
        {"open/CSimpleInputDialog", makeCSimpleInputDialog},
        {"open/CCountDownDialog", makeCCountDownDialog},

        {"open/CChangePasswordDialog", makeCChangePasswordDialog},
        {"open/CCheckVersionDialog", makeCCheckVersionDialog},

        {"open/CMultiMessageDialog", makeCMultiMessageDialog},
        {"open/CGlobalMessageDialog", makeCGlobalMessageDialog},

        {"open/CFloatButton", makeCFloatButton},
    };
    for (const auto& open : opens)
        RegisterBenchmark(open.name, openToFirstFrame, open.make)->Unit(benchmark::kMicrosecond);

    // Each dialog against plain Qt widgets of the same kinds, at the dialog's size.
    const struct
    {
        const char* name;
        QWidget* (*make)();
        Floor floor;
    } floors[] = {
        // title, message, icon; close, Ok, Cancel
        {"floor/CMessageBox", makeCMessageBox, {1, true, true, 0, 3, 0}},
        // title; line edit; close, Ok
        {"floor/CSimpleInputDialog", makeCSimpleInputDialog, {1, false, false, 1, 2, 0}},
        // title, countdown, trailing text, message, icon; two buttons (no close button)
        {"floor/CCountDownDialog", makeCCountDownDialog, {3, true, true, 0, 2, 0}},
        // title, three captions, error text; three fields; close, Ok, Cancel
        {"floor/CChangePasswordDialog", makeCChangePasswordDialog, {5, false, false, 3, 3, 0}},
        // title, two captions, two versions; close, Download, Cancel
        {"floor/CCheckVersionDialog", makeCCheckVersionDialog, {5, false, false, 0, 3, 0}},
        // title, message; close, Ok
        {"floor/CMultiMessageDialog", makeCMultiMessageDialog, {1, true, false, 0, 2, 0}},
        // title, countdown, loudspeaker, content; close, details, renew; two check boxes
        {"floor/CGlobalMessageDialog", makeCGlobalMessageDialog, {2, true, true, 0, 3, 2}},
    };
    for (const auto& entry : floors) {
        QWidget* sample = entry.make();
        const QSize size = sample->size();
        delete sample;
        const Floor floor = entry.floor;
        RegisterBenchmark(
            entry.name, openAgainstFloor, std::function<QWidget*()>(entry.make),
            std::function<QWidget*()>([floor, size] { return makeFloor(floor, size); }))
            ->Iterations(1);
    }
    {
        QWidget* sample = makeCFloatButton();
        const QSize size = sample->size();
        delete sample;
        RegisterBenchmark("floor/CFloatButton", openAgainstFloor,
                          std::function<QWidget*()>(makeCFloatButton),
                          std::function<QWidget*()>([size] { return makeFloorButton(size); }))
            ->Iterations(1);
    }

    RegisterBenchmark("popup/showSingleMessage", popupReplace)->Unit(benchmark::kMicrosecond);
    RegisterBenchmark("multi/updateMessage", updateMessage)
        ->Arg(1000)
        ->Arg(100000)
        ->Unit(benchmark::kNanosecond);
    RegisterBenchmark("multi/timerStep", multiMessageTimerStep)->Unit(benchmark::kMicrosecond);

    const QString colorHit = QStringLiteral("clr_common_dlg_title");
    const QString fontHit = QStringLiteral("fnt_dialog_title");
    const QString sizeHit = QStringLiteral("siz_message_box_margin");
    const QString pixmapHit = QStringLiteral("img_custom_dialog_bg");
    const auto color = [](CUiResource* t, const QString& k) { return t->getColor(k); };
    const auto font = [](CUiResource* t, const QString& k) { return t->getFont(k); };
    const auto size = [](CUiResource* t, const QString& k) { return t->getSize(k); };
    const auto pixmap = [](CUiResource* t, const QString& k) { return t->getPixmap(k); };
    RegisterBenchmark("theme/getColor/hit", themeLookup<decltype(color)>, colorHit, color);
    RegisterBenchmark("theme/getColor/miss", themeLookup<decltype(color)>,
                      QStringLiteral("clr_bench_not_in_theme"), color);
    RegisterBenchmark("theme/getFont/hit", themeLookup<decltype(font)>, fontHit, font);
    RegisterBenchmark("theme/getFont/miss", themeLookup<decltype(font)>,
                      QStringLiteral("fnt_bench_not_in_theme"), font);
    RegisterBenchmark("theme/getSize/hit", themeLookup<decltype(size)>, sizeHit, size);
    RegisterBenchmark("theme/getSize/miss", themeLookup<decltype(size)>,
                      QStringLiteral("siz_bench_not_in_theme"), size);
    RegisterBenchmark("theme/getPixmap/hit", themeLookup<decltype(pixmap)>, pixmapHit, pixmap);
    RegisterBenchmark("theme/getPixmap/miss", themeLookup<decltype(pixmap)>,
                      QStringLiteral("img_bench_not_in_theme"), pixmap);
    RegisterBenchmark("theme/getSize/hit_cstring", themeLookupCString);

    RegisterBenchmark("floatbutton/repaint_100x40", floatButtonRepaint)
        ->Unit(benchmark::kMicrosecond);

    const struct
    {
        const char* name;
        const char* kind;
    } memories[] = {
        {"memory/QMessageBox", "QMessageBox"},
        {"memory/CMessageBox", "CMessageBox"},
        {"memory/hidden/QMessageBox", "QMessageBox:hidden"},
        {"memory/hidden/CMessageBox", "CMessageBox:hidden"},
    };
    for (const auto& entry : memories)
        RegisterBenchmark(entry.name, memory, entry.kind)->Iterations(1)->Repetitions(3);

    RegisterBenchmark("startup/firstLookup", startup)->Iterations(1)->Repetitions(9);
    RegisterBenchmark("cold/firstOpen", coldFirstOpen, "")->Iterations(1)->Repetitions(15);
    RegisterBenchmark("cold/firstOpenFontsReady", coldFirstOpen, ":fonts-ready")
        ->Iterations(1)
        ->Repetitions(15);
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--startup-child") == 0)
            return startupChild(argc, argv);
        if (std::strncmp(argv[i], "--cold-child=", 13) == 0)
            return coldChild(argc, argv, argv[i] + 13);
        if (std::strncmp(argv[i], "--memory-child=", 15) == 0)
            return memoryChild(argc, argv, argv[i] + 15);
    }

    QApplication app(argc, argv);
    // Misses are the point of some rows; the one warning each would only clutter the output.
    QLoggingCategory::setFilterRules(QStringLiteral("omra.theme.warning=false"));
    // Theme loading and first-use costs belong to the start-up row, not to the others.
    theme()->getPixmap(QStringLiteral("img_custom_dialog_bg"));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
