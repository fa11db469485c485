#include "gui/forms/form_device.h"

#include "core/consts.h"
#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "devices/IDevice.h"
#include "gui/forms/form_numbers.h"
#include "gui/widgets/TToolBarMetrics.h"
#include "link/TProg.h"

#include <QFrame>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QMetaMethod>
#include <QTextCursor>
#include <QTextEdit>
#include <QWidget>

DeviceInForce deviceInForce(const TDataCmd *cmd)
{
    DeviceInForce shown;
    if (!cmd)
        return shown;
    shown.device = cmd->device();
    if (!shown.device)
        return shown;
    if (TProg *prog = cmd->prog())
        shown.pinLines = prog->pinsDescription(shown.device->prgCon(), false);
    shown.comment = getParam(QStringLiteral("gui\\forms"), __LINE__, shown.device->params(),
                             QLatin1String(DEV_COMMENT))
                        .toStringList();
    return shown;
}

void fillConnectionText(QTextEdit *edit, const QStringList &pinLines, const QStringList &comment)
{
    edit->clear();
    const QColor color = edit->textColor();
    for (int i = 0; i < pinLines.size(); ++i) {
        edit->append(QStringLiteral("%1 -< ").arg(i + 1, 3));
        QTextCursor cursor = edit->textCursor();
        cursor.movePosition(QTextCursor::End);
        edit->setTextCursor(cursor);
        edit->insertHtml(pinLines.at(i));
        edit->setTextColor(color);
        QTextCharFormat plain;
        plain.setFontWeight(QFont::Normal);
        plain.setFontOverline(false);
        plain.setForeground(color);
        edit->setCurrentCharFormat(plain);
    }
    if (!comment.isEmpty()) {
        edit->append(QString(50, QLatin1Char('-')));
        for (const QString &line : comment)
            edit->append(line);
    }
    edit->moveCursor(QTextCursor::Start);
}

bool passOnCmdParam(QObject *form, QObject *receiver)
{
    static const QByteArray signature("signalChangedCmdParam(TData)");
    const int from = form->metaObject()->indexOfSignal(signature);
    const int to = receiver->metaObject()->indexOfSignal(signature);
    if (from < 0 || to < 0)
        return false;
    return QObject::connect(form, form->metaObject()->method(from), receiver,
                            receiver->metaObject()->method(to));
}

QWidget *rebuildDeviceForm(QWidget *old, const DeviceInForce &shown, const TDataCmd *cmd,
                           QLayout *layout, QObject *receiver)
{
    delete old;
    if (!shown.device || !cmd)
        return nullptr;
    const TData record = cmd->toHash();
    QWidget *form = shown.device->createDevParamForm(record);
    if (form) {
        showDamagedNumbers(form, record);
        passOnCmdParam(form, receiver);
        layout->addWidget(form);
    }
    return form;
}

QHBoxLayout *createChooserRow(QWidget *owner, QLineEdit *&name, QPushButton *&button,
                              int nameTip, int buttonTip)
{
    name = new QLineEdit(owner);
    name->setReadOnly(true);
    name->setFixedHeight(21);
    name->setTextMargins(5, 0, 0, 0);
    name->setToolTip(lang.text(nameTip));
    button = new QPushButton(owner);
    button->setFixedSize(21, 21);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(iconFor(appData.iconsSet, QStringLiteral("chip")));
    button->setIconSize(QSize(13, 13));
    button->setToolTip(lang.text(buttonTip));
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(name);
    row->addWidget(button);
    return row;
}

QWidget *createDeviceFormPage(QVBoxLayout *&layout)
{
    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto *frame = new QFrame;
    frame->setFrameShape(QFrame::NoFrame);
    layout = new QVBoxLayout(frame);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setAlignment(Qt::AlignTop);
    scroll->setWidget(frame);
    return scroll;
}

QFormLayout *createFormRows(QWidget *form)
{
    auto *layout = new QFormLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->setLabelAlignment(Qt::AlignRight);
    return layout;
}
