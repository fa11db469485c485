#include "gui/widgets/TLineEdit.h"

TLineEdit::TLineEdit(QWidget *parent) : QLineEdit(parent) {}
