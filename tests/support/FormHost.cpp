#include "support/FormHost.h"

#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "gui/forms/form_numbers.h"

#include <QMetaMethod>

FormHost::~FormHost()
{
    clear();
}

QWidget *FormHost::select(int idCmd)
{
    clear();
    TDataCmd *cmd = dataPrj.cmdById(idCmd);
    IDevice *owner = cmd ? cmd->handler() : nullptr;
    if (!owner)
        return nullptr;
    const TData record = cmd->toHash();
    QWidget *form = owner->createCmdForm(record);
    if (!form)
        return nullptr;
    showDamagedNumbers(form, record);
    if (!attach(form, owner, true)) {
        delete form;
        return nullptr;
    }
    return form;
}

bool FormHost::host(QWidget *form, IDevice *owner)
{
    clear();
    return attach(form, owner, false);
}

bool FormHost::attach(QWidget *form, IDevice *owner, bool owned)
{
    const QMetaObject *meta = form->metaObject();
    const int signal = meta->indexOfSignal(QMetaObject::normalizedSignature("signalChangedCmdParam(TData)"));
    const int slot = metaObject()->indexOfSlot(QMetaObject::normalizedSignature("slotChangedCmdParam(TData)"));
    if (signal < 0 || slot < 0)
        return false;
    m_connection = connect(form, meta->method(signal), this, metaObject()->method(slot),
                           Qt::DirectConnection);
    if (!m_connection)
        return false;
    m_form = form;
    m_owner = owner;
    m_owned = owned;
    return true;
}

void FormHost::clear()
{
    disconnect(m_connection);
    if (m_owned)
        delete m_form.data();
    m_form.clear();
    m_owner.clear();
    m_owned = false;
}

void FormHost::slotChangedCmdParam(const TData &data)
{
    emitted << data;
    if (!store)
        return;
    const int idCmd = data.value(QLatin1String(REC_ID_CMD)).toInt();
    TData entered = data;
    keepDamagedNumbers(m_form, entered);
    dataPrj.setCmdParam(idCmd, m_owner ? m_owner->cmdParamFromForm(entered) : entered);
}
