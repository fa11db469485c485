#pragma once
// A chip provider made by the device registry from a description file, for
// tests of everything that resolves devices by name. It is a FakeDevice whose
// settings come from its description:
//   gui_type=s|TestDev       the group it is registered under
//   cmds=l|<code>            one line per offered code ("separator" allowed)
//   dev_default=l|<k>=<v>    device-level defaults added by initDevParam
//   norm=s|<k>=<v>           normalizeCmdParam sets this key to this value
//   dev_form=s|<k>           createDevParamForm gives a TTestDevForm that
//                            edits the key <k> of the record
//   cmd_form=s|<k>           createCmdForm gives a TTestDevForm of the key
//                            <k>, and cmdParamText reads "<k>=<value>", the
//                            value taken from such a form when one is passed
// A command record with "bad" = "1" fails checkCmdParam.

#include "support/FakeDevice.h"

#include <QLineEdit>
#include <QWidget>

class TTestDevice : public FakeDevice
{
public:
    TTestDevice(const QString &name, const TData &params);

    // The registry's creator, and its registration under "TestDev".
    static IDevice *create(const QString &name, const TData &params);
    static void registerGroup();

    // Objects made and calls of checkCmdParam, over all test devices.
    static inline int createdCount = 0;
    static inline int checkCount = 0;

    TCheck checkCmdParam(const TData &data) override;
    TCheck checkDevParam(const TData &data) override;
    bool initDevParam(TData &data) override;
    QWidget *createDevParamForm(const TData &data) override;
    QString cmdParamText(const TData &data, QWidget *form) override;
    QWidget *createCmdForm(const TData &data) override;
};

// The device-level form of a test device: a line edit of one key. Editing
// it emits "id_cmd" and that key, as every parameter form does.
class TTestDevForm : public QWidget
{
    Q_OBJECT
public:
    TTestDevForm(int idCmd, const QString &key, const QString &value);

    QLineEdit *edit;

signals:
    void signalChangedCmdParam(const TData &data);

private:
    int m_idCmd;
    QString m_key;
};
