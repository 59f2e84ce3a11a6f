#include "updaterig.h"

#include "uibase/dialog/contracts/basewidget.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace testsupport {

namespace {

UpdateRig* current = nullptr;
QtMessageHandler previousHandler = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (current && context.category && qstrcmp(context.category, "omra.update") == 0)
        current->log << text;
    else
        previousHandler(type, context, text);
}

QString inAppDir(const QString& name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

} // namespace

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

UpdateRig::UpdateRig()
{
    current = this;
    previousHandler = qInstallMessageHandler(collect);
    // Keeps the base folder from counting as empty when the staging folder goes.
    ready = server.start() && base.isValid() && writeFile(base.filePath("keep"), "keep");
    QObject::connect(&answerer, &QTimer::timeout, [this] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box)
            return;
        QString question;
        for (Omra::CSimpleTextWidget* text : box->findChildren<Omra::CSimpleTextWidget*>())
            if (text->getText().contains(QStringLiteral("升级")))
                question = text->getText();
        if (beforeAnswer)
            beforeAnswer();
        const QString answer = pending.isEmpty() ? QString() : pending.takeFirst();
        for (QPushButton* button : box->findChildren<QPushButton*>()) {
            if (!answer.isEmpty() && button->text() == answer) {
                asked << box->windowTitle() + QLatin1Char(' ') + question;
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        asked << QStringLiteral("(closed)");
        box->close();
    });
    answerer.start(10);
}

UpdateRig::~UpdateRig()
{
    answerer.stop();
    for (const QString& name : qAsConst(created))
        QFile::remove(inAppDir(name));
    qInstallMessageHandler(previousHandler);
    current = nullptr;
}

bool UpdateRig::isReady() const
{
    return ready;
}

QString UpdateRig::uniqueName(const QString& suffix)
{
    static int counter = 0;
    return appFile(QStringLiteral("tst_update_%1_%2_%3")
                       .arg(QCoreApplication::applicationPid())
                       .arg(++counter)
                       .arg(suffix));
}

QString UpdateRig::appFile(const QString& name)
{
    created << name;
    return name;
}

bool UpdateRig::installUpgradeProgram(bool executable)
{
    const QByteArray script = "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record().toUtf8() +
                              ".part' && mv '" + record().toUtf8() + ".part' '" +
                              record().toUtf8() + "'\n";
    const QString path = inAppDir(appFile(QStringLiteral("Upgrade.exe")));
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    return writeFile(path, script) && QFile::setPermissions(path, permissions);
}

QStringList UpdateRig::recorded() const
{
    if (!QFileInfo::exists(record()))
        return QStringList();
    return QString::fromUtf8(readFile(record())).chopped(1).split(QLatin1Char('\n'));
}

int UpdateRig::check(CheckVersionDialog& dialog, const QByteArray& manifest, const QString& current)
{
    const QString path = QLatin1Char('/') + uniqueName(QStringLiteral("version.json"));
    server.serve(path, manifest);
    QSignalSpy finished(&dialog, &Omra::CCheckVersionDialog::sigDownConfigFinish);
    dialog.setCurrentVersion(current);
    dialog.setGetVersionUrl(server.url(path));
    dialog.startGetLatestVersion();
    if (finished.isEmpty() && !finished.wait(10000))
        return -1;
    return finished.first().at(0).toBool() ? 1 : 0;
}

} // namespace testsupport
