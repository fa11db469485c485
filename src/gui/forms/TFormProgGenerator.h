#pragma once
// Parameter form of the programmer's clock generator ("generator"): the
// frequency in hertz and the duty cycle in percent, each a free number
// within its range or a choice among listed values; the duty may be fixed
// (not shown), and is then reported as 50. It emits "id_cmd", "freq" and
// "duty".
//
// Lists offer only the listed values within their range, since the check
// refuses the others.

#include "core/TData.h"

#include <QVector>
#include <QWidget>

class QFormLayout;
class TComboBox;
class TWgtEditDecDef;

class TFormProgGenerator : public QWidget
{
    Q_OBJECT
public:
    TFormProgGenerator(int idCmd, int freq, int duty, bool freqList, int freqMin, int freqMax,
                       int freqDefault, const QVector<int> &freqChoices, bool dutyShown,
                       bool dutyList, int dutyMin, int dutyMax, int dutyDefault,
                       const QVector<int> &dutyChoices, QWidget *parent = nullptr);

    int idCmd() const { return m_idCmd; }

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChanged();

private:
    bool m_freqList;
    bool m_dutyList;
    bool m_dutyShown;
    int m_idCmd;
    int m_freq;
    int m_duty;
    QVector<int> m_freqChoices;
    QVector<int> m_dutyChoices;
    QFormLayout *m_layout;
    TComboBox *m_freqBox = nullptr;
    TComboBox *m_dutyBox = nullptr;
    TWgtEditDecDef *m_freqEdit = nullptr;
    TWgtEditDecDef *m_dutyEdit = nullptr;
};
