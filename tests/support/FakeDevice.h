#pragma once
// A command provider for tests: offers a configurable list of codes, answers
// its checks with a configurable result, rewrites one parameter when asked
// to normalise, and counts its living instances so tests can see when the
// project frees it.

#include <QStringList>

#include "devices/IDevice.h"

class FakeDevice : public IDevice
{
public:
    explicit FakeDevice(const QString &name, const QStringList &codes = QStringList())
        : IDevice(name), codes(codes)
    {
        ++instances;
    }
    ~FakeDevice() override { --instances; }

    bool hasCmd(const QString &code) override { return codes.contains(code); }
    QStringList cmdList() override { return codes; }
    void initCmdParam(TData &) override {}
    QString cmdParamText(const TData &, QWidget *) override { return QString(); }
    QWidget *createCmdForm(const TData &) override { return nullptr; }
    TData cmdParamFromForm(const TData &data) override { return data; }
    bool normalizeCmdParam(TData &data) override
    {
        if (normalizeKey.isEmpty() || data.value(normalizeKey) == normalizeValue)
            return false;
        data.insert(normalizeKey, normalizeValue);
        return true;
    }
    TCheck checkCmdParam(const TData &data) override
    {
        lastChecked = data;
        return verdict();
    }
    TCheck checkDevParam(const TData &) override { return verdict(); }
    TCheck verdict() const
    {
        return checkResult ? TCheck::valid() : TCheck::refused(QStringLiteral("fake"), QStringLiteral("refused"));
    }
    bool initDevParam(TData &) override { return false; }
    QWidget *createDevParamForm(const TData &) override { return nullptr; }
    QByteArray devSetup(const TData &) override { return QByteArray(); }
    IDeviceExec *createExec(const TData &) override { return nullptr; }

    QStringList codes;
    bool checkResult = true;
    QString normalizeKey;
    QVariant normalizeValue;
    TData lastChecked;

    static inline int instances = 0;
};
