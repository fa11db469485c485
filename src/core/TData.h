#pragma once
// The parameter record of the whole program: a hash from key (one of the
// constants of core/consts.h) to value. Commands, forms, executors and the
// change signals of the project all carry it.

#include <QHash>
#include <QMetaType>
#include <QString>
#include <QVariant>

typedef QVariantHash TData;
