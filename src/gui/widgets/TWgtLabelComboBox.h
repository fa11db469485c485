#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;
class TComboBox;

// A row of a label and a combo box. Placement 1 lets the box fill the row;
// any other placement keeps it at its natural width at the right end.
class TWgtLabelComboBox : public QWidget
{
    Q_OBJECT
public:
    TWgtLabelComboBox(const QString &label, const QStringList &items, int placement,
                      QWidget *parent = nullptr);

    void setCurrentIndex(int index);
    // Selects the last item with exactly this text; none (-1) when no item
    // has it.
    void setCurrentText(const QString &text);
    // Selects the first item whose text matches ignoring case; none (-1)
    // when no item does.
    void selectText(const QString &text);
    int currentIndex() const;
    QString currentText() const;
    // The combo box's tool-tip.
    void setToolTip(const QString &text);

signals:
    void signalChange(int index);

public slots:
    void slotChange(int index);

private:
    TComboBox *m_combo;
    QLabel *m_label;
};
