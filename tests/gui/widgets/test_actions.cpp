#include <QtTest>

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/widgets/TActionWidget.h"
#include "gui/widgets/TButtonAction.h"
#include "gui/widgets/TToolBarMetrics.h"

namespace {
const QStringList iconNames = {"prj_list",   "open",      "save",       "save_change",
                               "settings",   "cmd_select", "hide",      "page_desc",
                               "page_param", "page_exec", "id_prog",    "reset",
                               "exec_start", "exec_pause", "exec_stop", "chip"};
}

class TestActions : public QObject
{
    Q_OBJECT
private slots:
    void actionWidgetFollowsFocus();
    void actionWidgetText();
    void buttonMirrorsAction();
    void toolBarMetricsPerSet();
    void iconsOfBothSets();
};

void TestActions::actionWidgetFollowsFocus()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *target = new QLineEdit;
    auto *other = new QLineEdit;
    layout->addWidget(target);
    layout->addWidget(other);

    auto *action = new TActionWidget(target, &window);
    action->setShortcut(QKeySequence(Qt::Key_F5));
    // Added to the window (as a menu would hold it), the action must still
    // answer only while its widget has the focus.
    window.addAction(action);
    QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F5));
    QSignalSpy spy(action, &QAction::triggered);

    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    QTest::keyClick(target, Qt::Key_F5);
    QCOMPARE(spy.count(), 1);

    other->setFocus();
    QTRY_VERIFY(other->hasFocus());
    QTest::keyClick(other, Qt::Key_F5);
    QCOMPARE(spy.count(), 1);

    // A checkable action is not toggled by the key.
    action->setCheckable(true);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    QTest::keyClick(target, Qt::Key_F5);
    QCOMPARE(spy.count(), 2);
    QVERIFY(!action->isChecked());

    // Disabled, the key falls silent too.
    action->setEnabled(false);
    QVERIFY(!action->isEnabled());
    QTest::keyClick(target, Qt::Key_F5);
    QCOMPARE(spy.count(), 2);
    action->setEnabled(true);
    QTest::keyClick(target, Qt::Key_F5);
    QCOMPARE(spy.count(), 3);
    // Disabled through QAction's own setter (a caller holding a QAction*,
    // or a disabled action group), the key must fall silent as well.
    static_cast<QAction *>(action)->setEnabled(false);
    QTest::keyClick(target, Qt::Key_F5);
    QCOMPARE(spy.count(), 3);
}

void TestActions::actionWidgetText()
{
    QWidget widget;
    TActionWidget action(&widget, "Run", nullptr);
    QCOMPARE(action.text(), QString("Run"));
    // The widget may go first; the action must survive it.
    auto *shortLived = new QWidget;
    auto *orphan = new TActionWidget(shortLived, nullptr);
    delete shortLived;
    orphan->setShortcut(QKeySequence(Qt::Key_F6));
    orphan->setEnabled(false);
    delete orphan;
}

void TestActions::buttonMirrorsAction()
{
    QWidget window;
    auto *button = new TButtonAction("Run", &window);
    QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    QAction action("Run");
    action.setToolTip("Run the configuration");
    action.setCheckable(true);
    action.setChecked(true);
    action.setEnabled(false);
    button->setAction(&action);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(button->toolTip(), QString("Run the configuration"));
    QVERIFY(!button->isEnabled());
    QVERIFY(button->isChecked());

    action.setEnabled(true);
    QVERIFY(button->isEnabled());
    action.setChecked(false);
    QVERIFY(!button->isChecked());
    action.setVisible(false);
    QVERIFY(!button->isVisible());
    action.setVisible(true);
    QVERIFY(button->isVisible());

    QSignalSpy spy(&action, &QAction::triggered);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QVERIFY(action.isChecked());
    QVERIFY(button->isChecked());

    // Disabled with its action: a click does nothing.
    action.setEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);

    // Bound to another action, the first one no longer fires.
    QAction second("Stop");
    button->setAction(&second);
    QSignalSpy secondSpy(&second, &QAction::triggered);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(secondSpy.count(), 1);
    QCOMPARE(spy.count(), 1);
}

void TestActions::toolBarMetricsPerSet()
{
    const TToolBarMetrics small = toolBarMetrics(0);
    QCOMPARE(small.barHeight, 37);
    QCOMPARE(small.buttonHeight, 30);
    QCOMPARE(small.buttonWidth, 30);
    QCOMPARE(small.wideButtonWidth, 45);
    QCOMPARE(small.runButtonWidth, 60);
    QCOMPARE(small.iconHeight, 16);
    QCOMPARE(small.iconWidth, 16);
    QCOMPARE(small.runIconWidth, 28);

    for (int set : {1, 2, -1}) {
        const TToolBarMetrics large = toolBarMetrics(set);
        QCOMPARE(large.barHeight, 50);
        QCOMPARE(large.buttonHeight, 45);
        QCOMPARE(large.buttonWidth, 45);
        QCOMPARE(large.wideButtonWidth, 45);
        QCOMPARE(large.runButtonWidth, 60);
        QCOMPARE(large.iconHeight, 32);
        QCOMPARE(large.iconWidth, 32);
        QCOMPARE(large.runIconWidth, 46);
    }
}

void TestActions::iconsOfBothSets()
{
    for (int set : {0, 1}) {
        const int size = set == 0 ? 16 : 32;
        for (const QString &name : iconNames) {
            const QString path = QString(":/images/%1/%2.png").arg(set).arg(name);
            QVERIFY2(QFile::exists(path), qPrintable(path));
            QCOMPARE(QImage(path).size(), QSize(size, size));
            const QIcon icon = iconFor(set, name);
            QVERIFY2(!icon.pixmap(size, size).isNull(), qPrintable(path));
        }
    }
    QVERIFY(iconFor(0, "no_such_icon").pixmap(16, 16).isNull());
}

QTEST_MAIN(TestActions)
#include "test_actions.moc"
