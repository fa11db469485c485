#include "gui/forms/TFormProgSetDevice.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/dev_lists.h"
#include "gui/dialogs/TDialogSelectDevice.h"
#include "gui/forms/form_device.h"
#include "gui/widgets/TToolBarMetrics.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QTextEdit *newTextView(QWidget *parent)
{
    auto *edit = new QTextEdit(parent);
    edit->setReadOnly(true);
    edit->setFont(QFont(appData.fontMonoName, appData.fontMonoSize));
    return edit;
}

} // namespace

TFormProgSetDevice::TFormProgSetDevice(const TData &data, QWidget *parent) : QWidget(parent)
{
    m_idCmd = getParam(QStringLiteral("gui\\forms\\TFormProgSetDevice"), __LINE__, data,
                       QLatin1String(REC_ID_CMD))
                  .toInt();

    QHBoxLayout *top = createChooserRow(this, m_name, m_select, 342, 343);

    m_tabs = new QTabWidget(this);
    m_tabs->addTab(createDeviceFormPage(m_formLayout), lang.text(344));
    m_connection = newTextView(m_tabs);
    m_connection->setObjectName(QStringLiteral("connection"));
    m_tabs->addTab(m_connection, lang.text(345));
    m_description = newTextView(m_tabs);
    m_description->setObjectName(QStringLiteral("description"));
    m_tabs->addTab(m_description, lang.text(346));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(m_tabs);

    connect(m_select, &QPushButton::clicked, this, &TFormProgSetDevice::slotBtnSelectDevice);
    updateDevice();
}

TFormProgSetDevice::~TFormProgSetDevice()
{
    delete m_deviceForm;
}

// Looked up on every use: the project may drop the command while the form
// is open.
TDataCmd *TFormProgSetDevice::command() const
{
    return dataPrj.cmdById(m_idCmd);
}

void TFormProgSetDevice::slotBtnSelectDevice()
{
    const QHash<QString, QString> devices = readDevicesList();
    QStringList names = devices.keys();
    std::sort(names.begin(), names.end());
    QString chosen;
    {
        TDialogSelectDevice dialog(names, this);
        dialog.setWindowTitle(lang.text(172));
        if (dialog.exec() != QDialog::Accepted)
            return;
        chosen = dialog.selectedDevice();
    }
    if (chosen.isEmpty())
        return;
    // The page stores the choice during the emit and may drop this form.
    const QPointer<TFormProgSetDevice> alive(this);
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(SET_DEVICE_DEVICE), chosen},
                                {QLatin1String(SET_DEVICE_FILE), devices.value(chosen)}});
    if (alive)
        updateDevice();
}

void TFormProgSetDevice::updateDevice()
{
    const TDataCmd *cmd = command();
    const DeviceInForce shown = deviceInForce(cmd);
    m_name->setText(shown.device ? shown.device->name() : QString());
    m_deviceForm = rebuildDeviceForm(m_deviceForm, shown, cmd, m_formLayout, this);

    m_description->clear();
    if (shown.device)
        for (const QString &line : shown.device->info())
            m_description->append(line);
    m_description->moveCursor(QTextCursor::Start);

    fillConnectionText(m_connection, shown.pinLines, shown.comment);
}
