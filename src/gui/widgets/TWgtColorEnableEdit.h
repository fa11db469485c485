#pragma once

#include <QColor>
#include <QWidget>

class QCheckBox;
class TWgtLabelBtn;

// A check box (whether a colour is used) and a swatch showing the colour;
// clicking the swatch opens a colour dialog.
class TWgtColorEnableEdit : public QWidget
{
    Q_OBJECT
public:
    explicit TWgtColorEnableEdit(const QString &text, QWidget *parent = nullptr);

    void setColor(const QColor &color);
    QColor color() const { return m_color; }
    void setChecked(bool checked);
    bool isChecked() const;

public slots:
    void slotSelectColor();

private:
    QCheckBox *m_check;
    TWgtLabelBtn *m_swatch;
    QColor m_color;
};
