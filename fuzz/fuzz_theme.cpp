// Fuzzes the theme file loader: any bytes either load or are refused with a message, and a
// refused file changes nothing.

#include "uibase/dialog/contracts/uiresource.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir* folder = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    folder = new QTemporaryDir;
    // A small real image the fuzzed files may name.
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    image.save(folder->filePath(QStringLiteral("a.png")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = folder->filePath(QStringLiteral("theme.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    Omra::CUiResource* table = utils::CSingletonT<Omra::CUiResource>::instance();
    const int before = table->getSize(QStringLiteral("siz_message_box_margin"));
    QString error;
    if (!table->loadTheme(path, &error)) {
        if (error.isEmpty() || table->getSize(QStringLiteral("siz_message_box_margin")) != before)
            std::abort(); // a refusal must say why and change nothing
    }
    table->getColor(QStringLiteral("clr_global_blue"));
    table->getFont(QStringLiteral("fnt_dialog_title"));
    table->getPixmap(QStringLiteral("img_btn_positive"));
    table->resetToDefault();
    return 0;
}
