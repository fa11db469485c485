#include "gui/dialogs/TDialogSelectDevice.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/helpers.h"
#include "gui/dialogs/dialog_parts.h"

#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegExp>
#include <QVBoxLayout>

namespace {

QRegExp filterPattern(const QString &text)
{
    return QRegExp(QLatin1Char('*') + text + QLatin1Char('*'), Qt::CaseInsensitive,
                   QRegExp::Wildcard);
}

QFont monoFont()
{
    return QFont(appData.fontMonoName, appData.fontMonoSize);
}

} // namespace

bool deviceFilterMatches(const QString &filter, const QString &name)
{
    return filterPattern(filter).exactMatch(name);
}

TDialogSelectDevice::TDialogSelectDevice(const QStringList &names, QWidget *parent)
    : QDialog(parent)
{
    createUi();
    centreOnActiveWindow(this, appData.windowOtherCenter, appData.windowSelectDeviceLeft,
                         appData.windowSelectDeviceTop, appData.windowSelectDeviceWidth,
                         appData.windowSelectDeviceHeight);
    m_list->addItems(names);
    updateCount(names.size());
}

TDialogSelectDevice::~TDialogSelectDevice()
{
    QCoreApplication::instance()->removeEventFilter(this);
    storeWindowGeometry(this, &appData.windowSelectDeviceLeft, &appData.windowSelectDeviceTop,
                        &appData.windowSelectDeviceWidth, &appData.windowSelectDeviceHeight);
}

void TDialogSelectDevice::createUi()
{
    m_filter = new QLineEdit(this);
    m_filter->setFixedHeight(21);
    m_filter->setToolTip(lang.text(173));
    m_filter->setFont(monoFont());

    m_clear = new QPushButton(QStringLiteral("*"), this);
    m_clear->setFixedSize(21, 21);
    m_clear->setFocusPolicy(Qt::NoFocus);
    m_clear->setToolTip(lang.text(174));

    m_filterLayout = new QHBoxLayout;
    m_filterLayout->setContentsMargins(0, 4, 0, 0);
    m_filterLayout->setSpacing(3);
    m_filterLayout->addWidget(m_filter);
    m_filterLayout->addWidget(m_clear);

    m_list = new QListWidget(this);
    m_list->setFont(monoFont());

    m_count = new QLabel(this);
    m_count->setContentsMargins(2, 0, 0, 0);

    m_line = new QLabel(this);
    m_line->setFrameShape(QFrame::HLine);
    m_line->setFrameShadow(QFrame::Sunken);
    m_line->setFixedHeight(2);

    m_buttons = createDialogButtons(this, lang.text(79), lang.text(80));

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(3);
    m_layout->addLayout(m_filterLayout);
    m_layout->addWidget(m_list);
    m_layout->addWidget(m_count);
    m_layout->addWidget(m_line);
    m_layout->addWidget(m_buttons.frame);

    connect(m_filter, &QLineEdit::textChanged, this, &TDialogSelectDevice::slotFilterString);
    connect(m_clear, &QPushButton::clicked, this, &TDialogSelectDevice::slotClearFilter);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    QCoreApplication::instance()->installEventFilter(this);
}

QString TDialogSelectDevice::selectedDevice() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->text() : QString();
}

void TDialogSelectDevice::updateCount(int number)
{
    m_count->setText(QStringLiteral("%1: %2").arg(lang.text(347)).arg(number));
}

void TDialogSelectDevice::slotFilterString(const QString &text)
{
    const QRegExp pattern = filterPattern(text);
    int shown = 0;
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem *item = m_list->item(i);
        const bool match = pattern.exactMatch(item->text());
        item->setHidden(!match);
        shown += match ? 1 : 0;
    }
    // A hidden row must not stay the answer: OK would return a name the
    // user no longer sees.
    const QListWidgetItem *current = m_list->currentItem();
    if (current && current->isHidden()) {
        m_list->clearSelection();
        m_list->setCurrentItem(nullptr);
    }
    updateCount(shown);
}

void TDialogSelectDevice::slotClearFilter()
{
    m_filter->clear();
    updateCount(m_list->count());
}

bool TDialogSelectDevice::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (object == m_filter && key == Qt::Key_Down) {
            if (m_list->count() > 0) {
                m_list->setFocus();
                m_list->setCurrentIndex(m_list->indexAt(m_list->viewport()->contentsRect().topLeft()));
            }
        } else if (object == m_list && key == Qt::Key_Up) {
            if (m_list->currentIndex() == m_list->indexAt(m_list->viewport()->contentsRect().topLeft())) {
                m_filter->setFocus();
                if (QListWidgetItem *item = m_list->currentItem())
                    item->setSelected(false);
            }
        }
    }
    return QDialog::eventFilter(object, event);
}
