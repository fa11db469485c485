#pragma once

#include <QLabel>

// A label that elides its text at the left, so that the end of a long path
// stays visible.
class TWgtLabelElided : public QLabel
{
public:
    explicit TWgtLabelElided(QWidget *parent = nullptr);

    void setText(const QString &text);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QString m_text;
};
