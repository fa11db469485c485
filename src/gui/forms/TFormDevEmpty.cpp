#include "gui/forms/TFormDevEmpty.h"

TFormDevEmpty::TFormDevEmpty(QWidget *parent) : QWidget(parent) {}
