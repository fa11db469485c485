#pragma once
// One answerer for every modal window a test answers, as a user would.
//
// answerModal<T>(act) queues an answer: the next modal window to come (a
// dialog run with exec(), a message box) must be a T, and act runs on it
// once it is up (shown and the active window, as a user meets it), from the
// event loop that window runs. Answers are taken in the order they were
// queued, one per showing of a window; those queued inside an act come
// before the answers queued ahead of that act (they are for the windows it
// brings). Queue the answer of a window that an answer opens inside act,
// before opening it; act closes its window (or posts what closes it).
//
// No answer waits on a clock to find its window: a window is answered when
// it is up, however late it comes and however often the event loop ran
// before it. The clock only ends what would otherwise hang the suite, each
// time failing the running test with what was found:
// - a modal window that comes while no answer (or an answer for another
//   kind of window) waits is closed at once;
// - a window still open a few passes of the event loop after its answer
//   returned is closed then;
// - a window that waited a minute to become active or for its answer's
//   condition (answerModalWhen), or a popup no answer took, is closed then;
// - once the test has failed (a check inside an answer, say), such windows
//   are closed at once;
// - finishModalAnswers(), called from cleanup(), fails for every answer
//   whose window never came.

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QTest>
#include <QWidget>

#include <functional>
#include <typeinfo>

namespace modal {

struct Answer {
    QString expected;                         // what the answer waits for, as messages name it
    std::function<bool(QWidget *)> accepts;   // whether a window is the one expected
    std::function<void(QWidget *)> act;
    std::function<bool()> ready;              // empty: answered at once
    bool popup = false;                       // a popup (a menu) rather than a modal window
};

// Queues an answer of the running test.
void queue(Answer answer);
// Answers queued and not yet run.
int pending();
// Modal windows closed because no answer waited for them.
int closedUnanswered();
// What ends a wait: 60 s unless set otherwise (the answerer's own test).
void setLimitMs(int ms);
// The class name of a type or of a widget's own class, and a widget as
// messages describe it (class, title, a box's text).
QString typeName(const std::type_info &type);
QString describe(QWidget *widget);

} // namespace modal

// Fails for every answer still queued, and closes any modal window still up.
void finishModalAnswers();

// Answers the next modal window, a T, once ready() says so (polled while the
// window is up).
template <typename T>
void answerModalWhen(std::function<bool()> ready, std::function<void(T *)> act)
{
    modal::Answer answer;
    answer.expected = modal::typeName(typeid(T));
    answer.accepts = [](QWidget *widget) { return dynamic_cast<T *>(widget) != nullptr; };
    answer.act = [act](QWidget *widget) { act(dynamic_cast<T *>(widget)); };
    answer.ready = std::move(ready);
    modal::queue(std::move(answer));
}

template <typename T>
void answerModal(std::function<void(T *)> act)
{
    answerModalWhen<T>(nullptr, std::move(act));
}

// Answers the next popup, a T (a context menu run with exec()).
template <typename T>
void answerPopup(std::function<void(T *)> act)
{
    modal::Answer answer;
    answer.expected = modal::typeName(typeid(T)) + QStringLiteral(" (popup)");
    answer.accepts = [](QWidget *widget) { return dynamic_cast<T *>(widget) != nullptr; };
    answer.act = [act](QWidget *widget) { act(dynamic_cast<T *>(widget)); };
    answer.popup = true;
    modal::queue(std::move(answer));
}

// Answers the next message box with Yes or No (its first button when it has
// neither); counts it and keeps its text when asked to.
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

// Answers the next message box by a mouse click on that button; a box
// without it fails the test (and is closed).
inline void answerButton(QMessageBox::StandardButton which, QString *text = nullptr)
{
    answerModal<QMessageBox>([which, text](QMessageBox *box) {
        if (text)
            *text = box->text();
        QAbstractButton *button = box->button(which);
        QVERIFY2(button, qPrintable(QStringLiteral("no such button on ") + modal::describe(box)));
        QTest::mouseClick(button, Qt::LeftButton);
    });
}

// Types the path into a file dialog's name field, as a user does. The field
// has the focus once the dialog is up, and selectFile() leaves a focused
// field as the user left it.
inline void enterFileName(QFileDialog *dialog, const QString &path)
{
    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY2(name, qPrintable(QStringLiteral("no file name field in ") + modal::describe(dialog)));
    name->setText(path);
}

// Answers the next file dialog with a file (an empty path cancels it); then
// runs before the dialog closes (queue the next answer there).
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
        enterFileName(dialog, path);
        static_cast<QDialog *>(dialog)->accept();
    });
}
