#include "testsupport.h"

#include "uibase/dialog/contracts/uiresource.h"
#include "uibase/dialog/contracts/utils.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace testsupport {

TestTheme::TestTheme() = default;

TestTheme::~TestTheme()
{
    utils::CSingletonT<Omra::CUiResource>::instance()->resetToDefault();
}

TestTheme& TestTheme::size(const QString& key, int pixels)
{
    sizes.insert(key, pixels);
    return *this;
}

TestTheme& TestTheme::color(const QString& key, const QColor& value)
{
    colors.insert(key, value);
    return *this;
}

TestTheme& TestTheme::font(const QString& key, int pixelSize, bool bold)
{
    fonts.insert(key, qMakePair(pixelSize, bold));
    return *this;
}

TestTheme& TestTheme::image(const QString& key, const QSize& frameSize, const QColor& value,
                            int states)
{
    QList<QColor> frames;
    for (int i = 0; i < qMax(1, states); ++i)
        frames << value;
    return image(key, frameSize, frames);
}

TestTheme& TestTheme::image(const QString& key, const QSize& frameSize, const QList<QColor>& frames)
{
    images.insert(key, Image{frameSize, frames});
    return *this;
}

QString TestTheme::path() const
{
    return dir.filePath(QStringLiteral("theme.json"));
}

bool TestTheme::apply()
{
    QJsonObject sizeObject, colorObject, fontObject, imageObject;
    for (auto it = sizes.constBegin(); it != sizes.constEnd(); ++it)
        sizeObject.insert(it.key(), it.value());
    for (auto it = colors.constBegin(); it != colors.constEnd(); ++it)
        colorObject.insert(it.key(), it.value().name(QColor::HexArgb));
    for (auto it = fonts.constBegin(); it != fonts.constEnd(); ++it) {
        QJsonObject font;
        font.insert(QStringLiteral("family"), QStringLiteral("DejaVu Sans"));
        font.insert(QStringLiteral("pixelSize"), it.value().first);
        font.insert(QStringLiteral("bold"), it.value().second);
        fontObject.insert(it.key(), font);
    }
    for (auto it = images.constBegin(); it != images.constEnd(); ++it) {
        const Image& shape = it.value();
        QImage image(shape.frame.width() * shape.frames.size(), shape.frame.height(),
                     QImage::Format_ARGB32);
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (int i = 0; i < shape.frames.size(); ++i)
            painter.fillRect(QRect(QPoint(i * shape.frame.width(), 0), shape.frame),
                             shape.frames.at(i));
        painter.end();
        const QString file = it.key() + QStringLiteral(".png");
        if (!image.save(dir.filePath(file)))
            return false;
        imageObject.insert(it.key(), file);
    }
    QJsonObject root;
    root.insert(QStringLiteral("sizes"), sizeObject);
    root.insert(QStringLiteral("colors"), colorObject);
    root.insert(QStringLiteral("fonts"), fontObject);
    root.insert(QStringLiteral("images"), imageObject);
    QFile file(path());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(root).toJson());
    file.close();
    QString error;
    const bool loaded =
        utils::CSingletonT<Omra::CUiResource>::instance()->loadTheme(path(), &error);
    if (!loaded)
        qWarning("test theme not loaded: %s", qPrintable(error));
    return loaded;
}

int scaled(int count)
{
    return qMax(8, count / qMax(1, qEnvironmentVariableIntValue("OMRA_SOAK_SCALE")));
}

void whenModal(std::function<void(QWidget*)> action, int timeoutMs)
{
    auto* timer = new QTimer;
    auto elapsed = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, elapsed, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        *elapsed += timer->interval();
        if (modal || *elapsed > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            if (modal)
                action(modal);
            else
                qWarning("whenModal: no modal widget appeared");
        }
    });
    timer->start(10);
}

QSet<QWidget*> topLevelSnapshot()
{
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QWidgetList list = QApplication::topLevelWidgets();
    return QSet<QWidget*>(list.begin(), list.end());
}

QList<QWidget*> leakedTopLevels(const QSet<QWidget*>& before)
{
    QList<QWidget*> leaked;
    for (QWidget* widget : topLevelSnapshot()) {
        if (!before.contains(widget))
            leaked << widget;
    }
    return leaked;
}

TestTheme& addBoxTheme(TestTheme& theme)
{
    using namespace box;
    const QSize icon(iconSize, iconSize);
    return theme.size(QStringLiteral("siz_message_box_margin"), spacing)
        .size(QStringLiteral("siz_message_box_icon_h_space"), spacing)
        .size(QStringLiteral("siz_message_box_button_h_space"), spacing)
        .size(QStringLiteral("siz_message_box_v_space"), spacing)
        .font(QStringLiteral("fnt_default_normal_fix"), 12)
        .color(QStringLiteral("clr_warn_background_color"), backgroundColor)
        .image(QStringLiteral("img_messagebox_information"), icon, informationColor)
        .image(QStringLiteral("img_messagebox_warning"), icon, warningColor)
        .image(QStringLiteral("img_btn_positive"), QSize(72, 29), QColor(32, 96, 192), 4)
        .image(QStringLiteral("img_btn_negative"), QSize(72, 29), QColor(200, 200, 200), 4);
}

} // namespace testsupport
