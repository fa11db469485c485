#pragma once

#include <QLineEdit>

// The line edit inside every numeric edit, the file-name edit and the hex
// data editor. It has a meta-object of its own so that tests and styles can
// tell it from other line edits.
class TLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TLineEdit(QWidget *parent = nullptr);
};
