#pragma once
// Parameter form of "set_device": the device, picked by name from the
// device list, and what the project knows of the device in force for the
// command (its device-level form, pin wiring and description).

#include "core/TData.h"

#include <QWidget>

class QLineEdit;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QVBoxLayout;
class TDataCmd;

class TFormProgSetDevice : public QWidget
{
    Q_OBJECT

public:
    explicit TFormProgSetDevice(const TData &data, QWidget *parent = nullptr);
    ~TFormProgSetDevice() override;

    int idCmd() const { return m_idCmd; }

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotBtnSelectDevice();

private:
    void updateDevice();
    TDataCmd *command() const;

    int m_idCmd = 0;
    QLineEdit *m_name = nullptr;
    QPushButton *m_select = nullptr;
    QTabWidget *m_tabs = nullptr;
    QVBoxLayout *m_formLayout = nullptr;
    QWidget *m_deviceForm = nullptr;
    QTextEdit *m_connection = nullptr;
    QTextEdit *m_description = nullptr;
};
