#pragma once
// The forms of the supply commands: Vcc with its current limit and
// over-current protection ("set_vicc"), Vpp likewise ("set_vipp") and Vpp
// alone ("set_vpp"). Volts and milliamperes; every edit emits the whole
// record of the form: "id_cmd", the voltage as a text with one decimal, and
// where the form has them the current as a text with three decimals and
// "ocp" as 0 or 1.

#include "core/TData.h"

#include <QWidget>

class QCheckBox;
class QFormLayout;
class TWgtEditDoubleDef;

class TFormProgSetVICC : public QWidget
{
    Q_OBJECT
public:
    TFormProgSetVICC(int idCmd, double vcc, double icc, bool ocp, double vccMin, double vccMax,
                     double vccDefault, double iccMin, double iccMax, double iccDefault,
                     QWidget *parent = nullptr);
    ~TFormProgSetVICC() override;

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChanged();

private:
    int m_idCmd;
    QFormLayout *m_layout;
    TWgtEditDoubleDef *m_voltage;
    TWgtEditDoubleDef *m_current;
    QCheckBox *m_ocp;
};

class TFormProgSetVIPP : public QWidget
{
    Q_OBJECT
public:
    TFormProgSetVIPP(int idCmd, double vpp, double ipp, bool ocp, double vppMin, double vppMax,
                     double vppDefault, double ippMin, double ippMax, double ippDefault,
                     QWidget *parent = nullptr);
    ~TFormProgSetVIPP() override;

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChanged();

private:
    int m_idCmd;
    QFormLayout *m_layout;
    TWgtEditDoubleDef *m_voltage;
    TWgtEditDoubleDef *m_current;
    QCheckBox *m_ocp;
};

class TFormProgSetVPP : public QWidget
{
    Q_OBJECT
public:
    TFormProgSetVPP(int idCmd, double vpp, double vppMin, double vppMax, double vppDefault,
                    QWidget *parent = nullptr);
    ~TFormProgSetVPP() override;

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChanged();

private:
    int m_idCmd;
    QFormLayout *m_layout;
    TWgtEditDoubleDef *m_voltage;
};
