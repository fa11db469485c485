#include "devices/TDevGroup.h"

TData TDevGroup::cmdParamFromForm(const TData &data)
{
    return data;
}

TCheck TDevGroup::checkDevParam(const TData &data)
{
    Q_UNUSED(data)
    return TCheck::valid();
}

bool TDevGroup::initDevParam(TData &data)
{
    Q_UNUSED(data)
    return false;
}

QWidget *TDevGroup::createDevParamForm(const TData &data)
{
    Q_UNUSED(data)
    return nullptr;
}

QByteArray TDevGroup::devSetup(const TData &data)
{
    Q_UNUSED(data)
    return QByteArray();
}
