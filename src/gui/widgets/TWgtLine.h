#pragma once

#include <QLabel>

// A sunken horizontal line of a fixed height, used as a separator row.
class TWgtLine : public QLabel
{
    Q_OBJECT
public:
    explicit TWgtLine(int height, QWidget *parent = nullptr);
};
