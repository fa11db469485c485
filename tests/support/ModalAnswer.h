#pragma once
// Answers modal windows as a user would: answerModal<T>(act) waits (on a
// timer, inside whatever event loop runs) until a visible modal widget of
// type T is active, then runs act on it once. Schedule the next answer from
// inside act when one dialog leads to another.

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QMetaObject>
#include <QTimer>

#include <functional>

template <typename T>
void answerModal(std::function<void(T *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(2);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto *widget = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!widget || !widget->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(widget);
    });
    timer->start();
}

// Answers the next message box with Yes or No; counts it when asked to.
inline void answerBox(bool yes, int *count = nullptr, QString *text = nullptr)
{
    answerModal<QMessageBox>([yes, count, text](QMessageBox *box) {
        if (count)
            ++*count;
        if (text)
            *text = box->text();
        QAbstractButton *button = box->button(yes ? QMessageBox::Yes : QMessageBox::No);
        if (!button)
            button = box->buttons().constFirst();
        button->click();
    });
}

// Answers the next file dialog with a file (an empty path cancels it).
inline void answerFileDialog(const QString &path, std::function<void()> then = nullptr,
                             QString *caption = nullptr, QString *directory = nullptr)
{
    answerModal<QFileDialog>([path, then, caption, directory](QFileDialog *dialog) {
        if (caption)
            *caption = dialog->windowTitle();
        if (directory)
            *directory = dialog->directory().absolutePath();
        if (then)
            then();
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
}
