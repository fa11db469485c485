// The answerer of modal windows: an answer finds its window however late it
// comes, only once the window is up, in the order queued, nested windows and
// popups included; and a test whose window goes wrong fails at once with
// what happened instead of hanging (run in a child process, whose failing
// is the result).

#include "core/helpers.h"
#include "support/ModalAnswer.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A dialog whose list takes the focus as the window is activated; the list
// makes its first row current then unless a row already is.
class ListDialog : public QDialog
{
public:
    ListDialog()
    {
        list = new QListWidget(this);
        list->addItems({QStringLiteral("first"), QStringLiteral("second")});
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(list);
        list->setFocus();
    }
    QListWidget *list;
};

// Runs the event loop through count passes before the caller goes on (a
// window that comes late).
void spin(int count)
{
    for (int i = 0; i < count; ++i)
        QCoreApplication::processEvents();
}

const char *kProbe = "VELKOR_MODAL_PROBE";

} // namespace

// Tests that go wrong on purpose; each runs alone in a child process.
class ModalProbe : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { modal::setLimitMs(300); }
    void cleanup() { finishModalAnswers(); }

    void unexpectedBox()
    {
        QVERIFY(!askYesNo(QStringLiteral("Nobody answers me")));
    }
    void wrongWindow()
    {
        answerFileDialog(QStringLiteral("/tmp/x"));
        QVERIFY(!askYesNo(QStringLiteral("Not a file dialog")));
    }
    void failedAnswer()
    {
        ListDialog dialog;
        answerModal<ListDialog>([](ListDialog *) { QVERIFY(false); });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    }
    void openAfterAnswer()
    {
        ListDialog dialog;
        answerModal<ListDialog>([](ListDialog *) {});
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    }
    void conditionNever()
    {
        ListDialog dialog;
        answerModalWhen<ListDialog>([] { return false; }, [](ListDialog *d) { d->accept(); });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    }
    void neverCame()
    {
        answerBox(true);
    }
    void unansweredPopup()
    {
        QMenu menu;
        menu.addAction(QStringLiteral("Nobody picks me"));
        QCOMPARE(menu.exec(QPoint(10, 10)), nullptr);
    }
};

class TestModalAnswer : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { finishModalAnswers(); }

    // However late the window comes, its answer meets it up: visible, the
    // active window, the one modal window, the activation done (the list's
    // row the answer cleared stays cleared).
    void answersTheWindowOnceItIsUp_data()
    {
        QTest::addColumn<int>("late");   // passes of the event loop before the window comes
        QTest::addColumn<bool>("nested"); // shown from a posted call inside another event loop
        for (int late : {0, 1, 50})
            for (bool nested : {false, true})
                QTest::addRow("%d passes late%s", late, nested ? ", nested" : "") << late << nested;
    }
    void answersTheWindowOnceItIsUp()
    {
        QFETCH(int, late);
        QFETCH(bool, nested);
        bool up = false;
        answerModal<ListDialog>([&up](ListDialog *d) {
            up = d->isVisible() && d->isActiveWindow() && QApplication::activeModalWidget() == d;
            d->list->setCurrentRow(-1);
            d->accept();
        });
        spin(late);
        ListDialog dialog;
        int result = -1;
        if (nested) {
            QEventLoop loop;
            QMetaObject::invokeMethod(&loop, [&] {
                result = dialog.exec();
                loop.quit();
            }, Qt::QueuedConnection);
            loop.exec();
        } else {
            result = dialog.exec();
        }
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(up);
        QCOMPARE(dialog.list->currentItem(), nullptr);
        QCOMPARE(modal::pending(), 0);
    }

    // Answers go in order; a window an answer opens is answered by the
    // answer it queued; a second showing of a window gets an answer of its
    // own.
    void chainsAndShowings()
    {
        QStringList order;
        ListDialog dialog;
        answerModal<ListDialog>([&order](ListDialog *d) {
            order << QStringLiteral("dialog");
            answerBox(false, nullptr, nullptr);
            answerModal<QMessageBox>([&order](QMessageBox *box) {
                order << box->text();
                box->button(QMessageBox::Yes)->click();
            });
            order << (askYesNo(QStringLiteral("one"), d) ? QStringLiteral("yes") : QStringLiteral("no"));
            order << (askYesNo(QStringLiteral("two"), d) ? QStringLiteral("yes") : QStringLiteral("no"));
            d->accept();
        });
        answerModal<ListDialog>([&order](ListDialog *d) {
            order << QStringLiteral("again");
            d->reject();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(order, (QStringList{"dialog", "no", "two", "yes", "again"}));
    }

    // A condition holds the answer back while the window is up; a popup
    // menu is answered as a window is.
    void conditionsAndPopups()
    {
        int passes = 0;
        bool early = false;
        ListDialog dialog;
        QTimer ticker;
        ticker.setInterval(0);
        connect(&ticker, &QTimer::timeout, [&passes] { ++passes; });
        ticker.start();
        answerModalWhen<ListDialog>([&passes] { return passes >= 20; }, [&](ListDialog *d) {
            early = passes < 20;
            d->accept();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(!early);

        QMenu menu;
        menu.addAction(QStringLiteral("first"));
        QAction *second = menu.addAction(QStringLiteral("second"));
        answerPopup<QMenu>([second](QMenu *m) {
            QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(second).center());
        });
        QCOMPARE(menu.exec(QPoint(10, 10)), second);
    }

    // What goes wrong ends the test at once, saying what happened; the
    // window is closed, so the test goes on to its end.
    void wrongWindowsFailWithoutHanging_data()
    {
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("told");
        QTest::newRow("a box nobody answers") << "unexpectedBox"
                                               << "saying \"Nobody answers me\" came while no answer was waiting; closed";
        QTest::newRow("a box where a file dialog was expected")
            << "wrongWindow" << "came while an answer to QFileDialog was waiting; closed";
        QTest::newRow("an answer whose check failed") << "failedAnswer" << "'false' returned FALSE";
        QTest::newRow("an answer that left its window open")
            << "openAfterAnswer" << "ListDialog was still open after its answer; closed";
        QTest::newRow("a condition that never holds")
            << "conditionNever" << "ListDialog waited for the condition of its answer for 0.3 s; closed";
        QTest::newRow("a window that never came") << "neverCame" << "An answer to QMessageBox was queued but no such window came";
        QTest::newRow("a popup nobody answers") << "unansweredPopup" << "QMenu was open 0.3 s; closed";
    }
    void wrongWindowsFailWithoutHanging()
    {
        QFETCH(QString, probe);
        QFETCH(QString, told);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kProbe), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {probe});
        // Generous: the child ends within its own 0.3 s limits.
        QVERIFY2(child.waitForFinished(120000), "the probe hung");
        const QString out = QString::fromLocal8Bit(child.readAll());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QVERIFY2(child.exitCode() != 0, qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("FAIL!  : ModalProbe::%1()").arg(probe)), qPrintable(out));
        QVERIFY2(out.contains(told), qPrintable(out));
        // The test went on past its window: its own checks after it passed.
        QVERIFY2(!out.contains(QStringLiteral("Compared values are not the same")), qPrintable(out));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kProbe)) {
        ModalProbe probe;
        return QTest::qExec(&probe, argc, argv);
    }
    TestModalAnswer test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_modal_answer.moc"
