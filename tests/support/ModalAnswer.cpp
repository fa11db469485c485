#include "support/ModalAnswer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QList>
#include <QVector>
#include <QTimer>

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kPollMs = 10;
constexpr int kDefaultLimitMs = 60000;
// An answer closes its window before it returns, or by what it posts. Each
// tick of the poll is a pass of the event loop of its own, which delivers
// all that was posted before it: a window still open after this many ticks
// since its answer returned stays open.
constexpr int kTicksAfterAnswer = 2;

// The running test function with its data row ("" outside one).
QString currentTest()
{
    const char *function = QTest::currentTestFunction();
    if (!function)
        return QString();
    QString name = QString::fromLatin1(function);
    const char *tag = QTest::currentDataTag();
    if (tag && *tag)
        name += QStringLiteral("(%1)").arg(QString::fromLocal8Bit(tag));
    return name;
}

class Answerer : public QObject
{
public:
    static Answerer &get()
    {
        static QPointer<Answerer> answerer;
        if (!answerer)
            answerer = new Answerer(qApp);
        return *answerer;
    }

    void queue(modal::Answer answer)
    {
        // An answer queued inside another one is for a window that this
        // one brings: it goes before every answer queued before this one ran
        // (in the order of its own queueing).
        QVector<int> order;
        if (m_running.isEmpty()) {
            order = {++m_queued};
        } else {
            Running &running = m_running.last();
            order = running.order;
            order << ++running.queued;
        }
        const auto at = std::upper_bound(m_queue.begin(), m_queue.end(), order, [](const QVector<int> &o, const Queued &q) {
            return std::lexicographical_compare(o.begin(), o.end(), q.order.begin(), q.order.end());
        });
        m_queue.insert(at, {std::move(answer), currentTest(), order});
        m_timer.start();
    }
    int pending() const { return m_queue.size(); }
    int closedUnanswered() const { return m_closedUnanswered; }
    void setLimit(int ms) { m_limitMs = ms; }
    void finish();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    struct Queued {
        modal::Answer answer;
        QString test;         // the test that queued it
        QVector<int> order;   // taken in this order: the answer's own number after those it was queued in
    };
    // An answer whose act runs.
    struct Running {
        QVector<int> order;
        int queued = 0;   // answers queued by it
    };
    // One showing of a window: answered at most once.
    struct Showing {
        QPointer<QWidget> widget;
        QElapsedTimer since;   // shown
        bool answered = false;
        bool answering = false;
        int ticks = 0;         // ticks of the poll that found it open once answered
    };

    explicit Answerer(QObject *parent) : QObject(parent)
    {
        m_timer.setInterval(kPollMs);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const bool outer = m_tick;
            m_tick = true;
            check();
            m_tick = outer;
        });
        qApp->installEventFilter(this);
    }

    static bool watched(QWidget *widget)
    {
        return widget->isWindow() && (widget->isModal() || widget->windowType() == Qt::Popup);
    }

    Showing &showing(QWidget *widget)
    {
        auto it = m_showings.find(widget);
        if (it == m_showings.end() || !it->widget) {
            Showing fresh;
            fresh.widget = widget;
            fresh.since.start();
            it = m_showings.insert(widget, fresh);
        }
        return *it;
    }

    void check();
    // Whether a window answered and still open has stayed so too long.
    bool leftOpen(QWidget *widget)
    {
        return m_tick && ++m_showings[widget].ticks > kTicksAfterAnswer;
    }
    void answer(QWidget *widget);
    void dropStale();
    void fail(const QString &why);
    void close(QWidget *widget);

    QList<Queued> m_queue;       // by order
    QVector<Running> m_running;  // innermost last
    int m_queued = 0;
    QHash<QWidget *, Showing> m_showings;
    QTimer m_timer;
    bool m_tick = false;   // the check runs on a tick of the poll
    int m_limitMs = kDefaultLimitMs;
    int m_closedUnanswered = 0;
};

bool Answerer::eventFilter(QObject *object, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::Show && type != QEvent::Hide && type != QEvent::WindowActivate) || !object->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(object);
    if (!watched(widget))
        return false;
    if (type == QEvent::Hide) {
        if (!event->spontaneous())
            m_showings.remove(widget);
        return false;
    }
    if (type == QEvent::Show) {
        if (event->spontaneous())
            return false;
        // A new showing: nothing of it is answered yet.
        m_showings.remove(widget);
        showing(widget);
    }
    // Looked at once the event loop runs again (the window's own loop), and
    // polled from then on.
    QMetaObject::invokeMethod(this, &Answerer::check, Qt::QueuedConnection);
    m_timer.start();
    return false;
}

void Answerer::dropStale()
{
    const QString test = currentTest();
    while (!m_queue.isEmpty() && m_queue.first().test != test) {
        const Queued stale = m_queue.takeFirst();
        qWarning("An answer to %s queued in %s was never used", qPrintable(stale.answer.expected),
                 qPrintable(stale.test));
    }
}

void Answerer::check()
{
    dropStale();
    const Queued *head = m_queue.isEmpty() ? nullptr : &m_queue.first();
    // Popups come unasked too (a completer's list), so only the limit ends
    // one that no answer takes.
    QWidget *popup = QApplication::activePopupWidget();
    if (popup && popup->isVisible()) {
        const Showing state = showing(popup);
        if (!state.answered && head && head->answer.popup && head->answer.accepts(popup)
            && (!head->answer.ready || head->answer.ready())) {
            answer(popup);
            return;
        }
        if (state.answered && !state.answering && leftOpen(popup)) {
            fail(QStringLiteral("%1 was still open after its answer; closed").arg(modal::describe(popup)));
            close(popup);
            return;
        }
        if (!state.answered && state.since.elapsed() > m_limitMs) {
            fail(QStringLiteral("%1 was open %2 s; closed").arg(modal::describe(popup)).arg(m_limitMs / 1000.0));
            close(popup);
            return;
        }
    }

    QWidget *widget = QApplication::activeModalWidget();
    if (!widget || !widget->isVisible()) {
        if (!head && !popup)
            m_timer.stop();
        return;
    }
    const Showing state = showing(widget);
    if (state.answering)
        return;
    // Once the test has failed nobody may come to close a window: it goes
    // at once instead of after the limit.
    const bool failed = QTest::currentTestFailed();
    const QString seconds = QString::number(m_limitMs / 1000.0);
    if (!state.answered) {
        if (head && !head->answer.popup && head->answer.accepts(widget)) {
            // A user answers a window that is up: shown and active, with its
            // focus where the window put it. Answered before that, a window
            // would still take the activation later (a list's first row made
            // current as it takes the focus, say).
            const bool up = widget->isActiveWindow();
            if (up && (!head->answer.ready || head->answer.ready())) {
                answer(widget);
            } else if (failed) {
                close(widget);
            } else if (state.since.elapsed() > m_limitMs) {
                fail(QStringLiteral("%1 %2 for %3 s; closed")
                         .arg(modal::describe(widget),
                              up ? QStringLiteral("waited for the condition of its answer")
                                 : QStringLiteral("did not become the active window"),
                              seconds));
                close(widget);
            }
            return;
        }
        ++m_closedUnanswered;
        fail(QStringLiteral("%1 came while %2; closed")
                 .arg(modal::describe(widget),
                      head ? QStringLiteral("an answer to %1 was waiting").arg(head->answer.expected)
                           : QStringLiteral("no answer was waiting")));
        close(widget);
        return;
    }
    if (failed) {
        close(widget);
    } else if (leftOpen(widget)) {
        fail(QStringLiteral("%1 was still open after its answer; closed").arg(modal::describe(widget)));
        close(widget);
    }
}

void Answerer::answer(QWidget *widget)
{
    const Queued queued = m_queue.takeFirst();
    Showing &state = showing(widget);
    state.answered = true;
    state.answering = true;
    const bool failedBefore = QTest::currentTestFailed();
    const QPointer<QWidget> guard(widget);
    // The answer may run event loops of its own (windows it opens); those
    // are answered from here again, by the answers it queued first.
    m_running.append({queued.order, 0});
    queued.answer.act(widget);
    m_running.removeLast();
    if (!guard)
        return;
    auto it = m_showings.find(widget);
    if (it != m_showings.end())
        it->answering = false;
    // A check that failed inside the answer left its window as it was.
    if (!failedBefore && QTest::currentTestFailed() && guard->isVisible())
        close(widget);
    else if (guard->isVisible())
        QMetaObject::invokeMethod(this, &Answerer::check, Qt::QueuedConnection);
}

void Answerer::fail(const QString &why)
{
    const QByteArray text = why.toLocal8Bit();
    if (QTest::currentTestFunction())
        QTest::qFail(text.constData(), __FILE__, __LINE__);
    else
        qWarning("%s", text.constData());
}

void Answerer::close(QWidget *widget)
{
    if (auto *dialog = qobject_cast<QDialog *>(widget))
        dialog->reject();
    else if (!widget->close())
        widget->hide();
}

void Answerer::finish()
{
    while (!m_queue.isEmpty()) {
        const Queued left = m_queue.takeFirst();
        fail(QStringLiteral("An answer to %1 was queued but no such window came").arg(left.answer.expected));
    }
    QWidget *last = nullptr;
    while (QWidget *widget = QApplication::activeModalWidget()) {
        if (widget == last || !widget->isVisible())
            break;
        fail(QStringLiteral("%1 was still open at the end of the test; closed").arg(modal::describe(widget)));
        close(widget);
        last = widget;
    }
}

// Up from the start, so that a window no test answers is closed even before
// the first answer is queued.
void startAnswerer()
{
    Answerer::get();
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startAnswerer)

namespace modal {

void queue(Answer answer)
{
    Answerer::get().queue(std::move(answer));
}

int pending()
{
    return Answerer::get().pending();
}

int closedUnanswered()
{
    return Answerer::get().closedUnanswered();
}

void setLimitMs(int ms)
{
    Answerer::get().setLimit(ms);
}

QString typeName(const std::type_info &type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void *)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                 std::free);
    return QString::fromLatin1(status == 0 && name ? name.get() : type.name());
}

QString describe(QWidget *widget)
{
    QString text = QStringLiteral("A %1").arg(typeName(typeid(*widget)));
    if (!widget->windowTitle().isEmpty())
        text += QStringLiteral(" \"%1\"").arg(widget->windowTitle());
    if (auto *box = qobject_cast<QMessageBox *>(widget))
        text += QStringLiteral(" saying \"%1\"").arg(box->text());
    return text;
}

} // namespace modal

void finishModalAnswers()
{
    Answerer::get().finish();
}
