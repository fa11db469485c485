#pragma once
// Parameter forms of two programmer commands, each of one value:
// TFormProgReset the reset pulse of "reset" in milliseconds, whose sign is
// the pulse's polarity ("id_cmd", "duration"); TFormProgSetVCC the supply
// voltage of "set_vcc" in volts ("id_cmd", "vcc" as text with one decimal,
// 5 V as "5.0").
//
// The pulse travels as a signed 16-bit number and a pulse of 0 ms is none:
// the edit offers magnitudes 1..32767 at most. The voltage travels as one
// byte of tenths: the edit stays within 0..25.5 V.

#include "core/TData.h"

#include <QWidget>

class QFormLayout;
class TWgtEditDec2Def;
class TWgtEditDoubleDef;

class TFormProgReset : public QWidget
{
    Q_OBJECT
public:
    static constexpr int maxDurationMagnitude = 32767;

    TFormProgReset(int idCmd, int duration, int durationMin, int durationMax,
                   int durationDefault, QWidget *parent = nullptr);

    int idCmd() const { return m_idCmd; }

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChanged();

private:
    int m_idCmd;
    TWgtEditDec2Def *m_edit;
    QFormLayout *m_layout;
};

class TFormProgSetVCC : public QWidget
{
    Q_OBJECT
public:
    static constexpr double maxVoltage = 25.5;

    TFormProgSetVCC(int idCmd, double vcc, double vccMin, double vccMax, double vccDefault,
                    QWidget *parent = nullptr);

    int idCmd() const { return m_idCmd; }

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChanged();

private:
    int m_idCmd;
    TWgtEditDoubleDef *m_edit;
    QFormLayout *m_layout;
};
