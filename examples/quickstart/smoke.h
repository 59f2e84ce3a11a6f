#pragma once

// Run with --smoke, a quickstart program answers its own dialogs so that the tests can run
// it unattended on the offscreen platform. Nothing here is needed to use the library.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QList>
#include <QMouseEvent>
#include <QPair>
#include <QPointer>
#include <QTimer>

#include <cstring>

namespace quickstart {

inline bool& smokeMode()
{
    static bool on = false;
    return on;
}

inline void parseArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        smokeMode() = smokeMode() || std::strcmp(argv[i], "--smoke") == 0;
}

using Fields = QList<QPair<QString, QString>>;

// With --smoke: once a dialog is up (the modal one, or the given window once it shows),
// fills the named fields (line edits and combo boxes get the text, a check box is ticked
// by a non-empty text) and clicks its button of the given object name. Waits while the
// button is disabled.
inline void answer(const QString& buttonName, const Fields& fields = {}, QWidget* window = nullptr)
{
    if (!smokeMode())
        return;
    auto* poll = new QTimer(qApp);
    QPointer<QWidget> target(window);
    QObject::connect(poll, &QTimer::timeout, [=] {
        QWidget* dialog = window ? (target && target->isVisible() ? target.data() : nullptr)
                                 : QApplication::activeModalWidget();
        if (!dialog)
            return;
        for (const auto& field : fields) {
            if (auto* edit = dialog->findChild<QLineEdit*>(field.first))
                edit->setText(field.second);
            else if (auto* combo = dialog->findChild<QComboBox*>(field.first))
                combo->setEditText(field.second);
            else if (auto* box = dialog->findChild<QAbstractButton*>(field.first))
                box->setChecked(!field.second.isEmpty());
        }
        auto* button = dialog->findChild<QAbstractButton*>(buttonName);
        if (!button || !button->isEnabled())
            return;
        poll->stop();
        poll->deleteLater();
        button->click();
    });
    poll->start(20);
}

// A left click on a window that handles the mouse itself, such as a float button.
inline void click(QWidget* widget)
{
    const QPointF inside(widget->width() / 2, widget->height() / 2);
    const QPointF global = widget->mapToGlobal(inside.toPoint());
    QMouseEvent press(QEvent::MouseButtonPress, inside, inside, global, Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, inside, global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

} // namespace quickstart
