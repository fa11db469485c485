#pragma once
// Parameter form of the clock at which the programmer talks to the chip
// ("clk" of "set_clk", and of the device-level forms that embed it): a
// number edit in hertz, or a choice among the listed clocks when the
// programmer's interface section offers listed clocks only. It emits
// "id_cmd" and "clk".
//
// Only clocks the check accepts are offered: the edit refuses 0, and the
// list holds only listed clocks above 0 within the section's limits.

#include "core/TData.h"

#include <QVector>
#include <QWidget>

class QFormLayout;
class TComboBox;
class TWgtEditDecDef;

class TFormDevSetCLK : public QWidget
{
    Q_OBJECT
public:
    TFormDevSetCLK(int idCmd, int clk, bool useList, int clkMin, int clkMax, int clkDefault,
                   const QVector<int> &clockList, QWidget *parent = nullptr);

    int idCmd() const { return m_idCmd; }

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChanged();

private:
    int m_idCmd;
    int m_clk;
    bool m_useList;
    QVector<int> m_clockList;
    TWgtEditDecDef *m_edit;
    TComboBox *m_box;
    QFormLayout *m_layout;
};
