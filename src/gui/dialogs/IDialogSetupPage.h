#pragma once
// A page of the settings dialog: its name in the page tree, its header, and
// the copies of application settings into its widgets and back.

#include <QWidget>

class IDialogSetupPage : public QWidget
{
    Q_OBJECT

public:
    explicit IDialogSetupPage(QWidget *parent = nullptr) : QWidget(parent) {}

    virtual QString name() const = 0;
    virtual QString title() const = 0;
    // Settings into the widgets.
    virtual void load() = 0;
    // Widgets into the settings.
    virtual void save() = 0;
};
