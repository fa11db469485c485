#pragma once
// The parameter form of a device command without parameters: it shows
// nothing and never emits.

#include "core/TData.h"

#include <QWidget>

class TFormDevEmpty : public QWidget
{
    Q_OBJECT
public:
    explicit TFormDevEmpty(QWidget *parent = nullptr);

signals:
    void signalChangedCmdParam(const TData &data);
};
