#pragma once
// The program's main window. For now an empty frame titled with the
// program's short name, so that the program starts and quits cleanly.

#include <QMainWindow>

class TMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainWindow(QWidget *parent = nullptr);
    ~TMainWindow() override;
};
