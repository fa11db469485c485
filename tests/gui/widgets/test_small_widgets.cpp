#include <QtTest>

#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QStyleOptionViewItem>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "core/helpers.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TStyleCmdList.h"
#include "gui/widgets/TTreeWidget.h"
#include "gui/widgets/TWgtLabelBtn.h"
#include "gui/widgets/TWgtLabelComboBox.h"
#include "gui/widgets/TWgtLabelElided.h"
#include "gui/widgets/TWgtStatusBar.h"

namespace {
QColor baseOf(QWidget *w)
{
    return w->palette().color(QPalette::Active, QPalette::Base);
}

QColor buttonOf(QWidget *w)
{
    return w->palette().color(QPalette::Inactive, QPalette::Button);
}

// Turns the wheel one step down over the widget; true when the widget took
// the event (an ignored one goes on to the parent).
bool turnWheel(QWidget *w)
{
    const QPointF pos(w->width() / 2, w->height() / 2);
    QWheelEvent event(pos, w->mapToGlobal(pos.toPoint()), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
    return event.isAccepted();
}
}

class TestSmallWidgets : public QObject
{
    Q_OBJECT
private slots:
    void comboBoxColours();
    void comboBoxIgnoresWheel();
    void labelComboBoxSelection();
    void labelComboBoxConstruction();
    void labelButtonLeftOnly();
    void treeWidgetFlatIndex();
    void statusBarColours();
    void elidedLabelKeepsEnd();
    void itemViewStyle();
};

void TestSmallWidgets::comboBoxColours()
{
    TComboBox box;
    box.addItems({"a", "b"});
    QCOMPARE(baseOf(&box), paletteBaseColor());
    box.setCurrentIndex(-1);
    QCOMPARE(baseOf(&box), warningColor());
    QCOMPARE(buttonOf(&box), warningColor());
    box.setCurrentIndex(1);
    QCOMPARE(baseOf(&box), paletteBaseColor());
    QCOMPARE(box.focusPolicy(), Qt::StrongFocus);
}

void TestSmallWidgets::comboBoxIgnoresWheel()
{
    QScrollArea area;
    area.resize(200, 100);
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    auto *box = new TComboBox;
    box->addItems({"one", "two", "three"});
    layout->addWidget(box);
    layout->addSpacing(2000);
    area.setWidget(content);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));

    // Ignored, so that it goes on to the scroll area; the selection stays.
    QVERIFY(!turnWheel(box));
    QCOMPARE(box->currentIndex(), 0);

    // A plain combo box would take it and change its selection.
    QComboBox plain;
    plain.addItems({"one", "two", "three"});
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    QVERIFY(turnWheel(&plain));
    QCOMPARE(plain.currentIndex(), 1);
}

void TestSmallWidgets::labelComboBoxSelection()
{
    TWgtLabelComboBox row("Type", {"alpha", "beta", "Beta", "beta"}, 1);
    auto *box = row.findChild<TComboBox *>();
    QSignalSpy spy(&row, &TWgtLabelComboBox::signalChange);

    // Exact text, the last of equal items.
    row.setCurrentText("beta");
    QCOMPARE(row.currentIndex(), 3);
    // Case ignored, the first match.
    row.selectText("BETA");
    QCOMPARE(row.currentIndex(), 1);
    QCOMPARE(row.currentText(), QString("beta"));

    row.setCurrentText("gamma");
    QCOMPARE(row.currentIndex(), -1);
    QCOMPARE(baseOf(box), warningColor());
    row.setCurrentIndex(0);
    QCOMPARE(baseOf(box), paletteBaseColor());
    row.selectText("delta");
    QCOMPARE(row.currentIndex(), -1);

    QCOMPARE(spy.count(), 5);
    QCOMPARE(spy.at(0).at(0).toInt(), 3);
    QCOMPARE(spy.at(4).at(0).toInt(), -1);

    row.setToolTip("tip");
    QCOMPARE(box->toolTip(), QString("tip"));
}

void TestSmallWidgets::labelComboBoxConstruction()
{
    TWgtLabelComboBox row("Type", {"x", "y"}, 0);
    QCOMPARE(row.currentIndex(), 0);
    QCOMPARE(row.currentText(), QString("x"));
    QCOMPARE(baseOf(row.findChild<TComboBox *>()), paletteBaseColor());

    // Placement 1 lets the box fill the row; any other keeps it at the
    // right end at its natural width.
    TWgtLabelComboBox filled("Label", {"x"}, 1);
    TWgtLabelComboBox right("Label", {"x"}, 2);
    filled.resize(400, 30);
    right.resize(400, 30);
    filled.show();
    right.show();
    QVERIFY(QTest::qWaitForWindowExposed(&right));
    const QRect f = filled.findChild<TComboBox *>()->geometry();
    const QRect r = right.findChild<TComboBox *>()->geometry();
    QVERIFY(f.width() > r.width());
    QCOMPARE(r.right(), 399);
}

void TestSmallWidgets::labelButtonLeftOnly()
{
    TWgtLabelBtn label("swatch");
    QSignalSpy spy(&label, &TWgtLabelBtn::clicked);
    QTest::mouseClick(&label, Qt::RightButton);
    QTest::mouseClick(&label, Qt::MiddleButton);
    QCOMPARE(spy.count(), 0);
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
}

void TestSmallWidgets::treeWidgetFlatIndex()
{
    TTreeWidget tree;
    QCOMPARE(tree.selectedIndex(), -1);
    // a, a1, a2, a2x, b: depth-first, a parent before its children.
    auto *a = new QTreeWidgetItem(&tree, {"a"});
    new QTreeWidgetItem(a, {"a1"});
    auto *a2 = new QTreeWidgetItem(a, {"a2"});
    auto *a2x = new QTreeWidgetItem(a2, {"a2x"});
    auto *b = new QTreeWidgetItem(&tree, {"b"});

    tree.setCurrentIndex(3);
    QCOMPARE(tree.currentItem(), a2x);
    QCOMPARE(tree.selectedIndex(), 3);
    tree.setCurrentIndex(4);
    QCOMPARE(tree.currentItem(), b);
    QCOMPARE(tree.selectedIndex(), 4);

    tree.setCurrentIndex(5);
    QCOMPARE(tree.currentItem(), nullptr);
    tree.setCurrentIndex(2);
    tree.setCurrentIndex(-1);
    QCOMPARE(tree.currentItem(), nullptr);
    tree.clearSelection();
    QCOMPARE(tree.selectedIndex(), -1);
}

void TestSmallWidgets::statusBarColours()
{
    TWgtStatusBar bar;
    QCOMPARE(bar.height(), 21);
    auto textOf = [&bar] { return bar.palette().color(QPalette::Active, QPalette::WindowText); };
    bar.showMessage("failed", 1);
    QCOMPARE(bar.currentMessage(), QString("failed"));
    QCOMPARE(textOf(), QColor(Qt::red));
    bar.showMessage("done", 2);
    QCOMPARE(textOf(), QColor(Qt::darkGreen));
    bar.showMessage("ready", 0);
    QCOMPARE(bar.currentMessage(), QString("ready"));
    QCOMPARE(textOf(), paletteTextColor());
    bar.showMessage("other", 7);
    QCOMPARE(textOf(), paletteTextColor());
}

void TestSmallWidgets::elidedLabelKeepsEnd()
{
    TWgtLabelElided label;
    label.resize(120, 20);
    const QString path = "/home/user/projects/velkor/lists/a-very-long-name.lst";
    label.setText(path);
    QVERIFY(label.text() != path);
    QVERIFY(label.text().endsWith(".lst"));
    QVERIFY(label.text().startsWith(QChar(0x2026)));

    // Wide enough again: the whole text.
    label.show();
    label.resize(2000, 20);
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QTRY_COMPARE(label.text(), path);
}

void TestSmallWidgets::itemViewStyle()
{
    TStyleCmdList style;
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::white);
    const QImage blank = image;

    // An item-view panel with an option of another kind draws nothing.
    {
        QStyleOption plain;
        plain.rect = image.rect();
        plain.state = QStyle::State_Selected | QStyle::State_Enabled;
        QPainter painter(&image);
        style.drawPrimitive(QStyle::PE_PanelItemViewItem, &plain, &painter);
    }
    QCOMPARE(image, blank);

    // A selected view item is drawn by the proxied style.
    {
        QStyleOptionViewItem item;
        item.rect = image.rect();
        item.state = QStyle::State_Enabled;
        item.backgroundBrush = QBrush(Qt::blue);
        QPainter painter(&image);
        style.drawPrimitive(QStyle::PE_PanelItemViewItem, &item, &painter);
    }
    QVERIFY(image != blank);
}

QTEST_MAIN(TestSmallWidgets)
#include "test_small_widgets.moc"
