#pragma once

#include <QLabel>

class QMouseEvent;

// A label that acts as a button: releasing the left mouse button over it
// emits clicked().
class TWgtLabelBtn : public QLabel
{
    Q_OBJECT
public:
    explicit TWgtLabelBtn(QWidget *parent = nullptr);
    TWgtLabelBtn(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
