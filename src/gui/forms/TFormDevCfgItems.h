#pragma once
// The items of the mark-up form (TFormDevCfg): each shows one field of a
// register image selected by a byte mask and, where the user may change
// it, reports the change as a mask and the value to write under it.
//
// Byte strings are QByteArray; byte i of a mask selects bits of byte i of
// the image. A mask, data or value byte past the end of its string counts
// as 0.

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QWidget>

class QBoxLayout;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class TComboBox;
class TWgtLabelBtn;

class IFormDevCfgBase : public QWidget
{
    Q_OBJECT
public:
    IFormDevCfgBase(const QByteArray &mask, bool inverted, QWidget *parent = nullptr);

    QByteArray mask() const { return m_mask; }

    // The value the item stands for now.
    virtual QByteArray value() = 0;
    // Shows the part of the image that the mask selects.
    virtual void setData(const QByteArray &data) = 0;

protected:
    bool m_inverted;
    QByteArray m_mask;
};

// A check box over the mask's bits ("ckl", "ckr"). Checked means some
// selected bit is 1 (inverted: some selected bit is 0); a change writes all
// selected bits at once. Colour modes mark the label: 1 a 0 bit and 2 a 1
// bit in the warning colour, 3 a 0 bit and 4 a 1 bit in the alarm colour,
// each under its /Interface switch; 0 leaves the label alone.
class TFormDevCfgCheckBox : public IFormDevCfgBase
{
    Q_OBJECT
public:
    TFormDevCfgCheckBox(bool boxRight, const QByteArray &mask, bool inverted, int colorMode,
                        const QString &label, const QString &toolTip, QWidget *parent = nullptr);

    QByteArray value() override;
    void setData(const QByteArray &data) override;
    // Enables or disables the box alone (the label stays readable).
    void setBoxEnabled(bool enabled);

signals:
    void signalChanged(const QByteArray &mask, const QByteArray &value);

public slots:
    void slotChanged();
    void slotChangedLabel();

private:
    void applyColor();

    int m_colorMode;
    QByteArray m_checked;
    QByteArray m_unchecked;
    QCheckBox *m_box;
    TWgtLabelBtn *m_label;
    QHBoxLayout *m_layout;
    QColor m_normalColor;
};

// A choice among values over the mask ("cbh+" ... "cbr+" with "cbit"
// lines). Placement: 0 the label is the box's tool-tip, 1..3 above the box
// aligned left, centred or right, 4 left of the box, 5 right of it.
class TFormDevCfgComboBoxLabel : public IFormDevCfgBase
{
    Q_OBJECT
public:
    TFormDevCfgComboBoxLabel(int placement, const QByteArray &mask, bool inverted,
                             const QString &label, QWidget *parent = nullptr);

    QByteArray value() override;
    // Selects the last choice equal to the masked image (same length, same
    // bytes); none when no choice is.
    void setData(const QByteArray &data) override;
    void addItem(const QByteArray &value, const QString &text);

signals:
    void signalChanged(const QByteArray &mask, const QByteArray &value);

public slots:
    void slotChanged();

private:
    QByteArray m_value;
    QList<QByteArray> m_values;
    QLabel *m_label;
    TComboBox *m_box;
    QBoxLayout *m_layout;
};

// The selected bytes as hex text ("edl", "edr"). It never reports: text
// typed into an editable one is overwritten at the next refresh.
class TFormDevCfgEditLabel : public IFormDevCfgBase
{
    Q_OBJECT
public:
    TFormDevCfgEditLabel(bool editRight, const QByteArray &mask, bool readOnly, int width,
                         const QString &label, QWidget *parent = nullptr);

    QByteArray value() override;
    void setData(const QByteArray &data) override;

private:
    QLabel *m_label;
    QLineEdit *m_edit;
    QHBoxLayout *m_layout;
};

// A button that writes a fixed value ("btn"); its mask covers the value's
// bytes whole.
//
// Every item owns its widgets and layout as their parent.
class TFormDevCfgButton : public IFormDevCfgBase
{
    Q_OBJECT
public:
    TFormDevCfgButton(const QByteArray &mask, const QByteArray &value, int height,
                      const QString &text, const QString &toolTip, QWidget *parent = nullptr);

    QByteArray value() override;
    void setData(const QByteArray &data) override;

signals:
    void signalChanged(const QByteArray &mask, const QByteArray &value);

public slots:
    void slotChanged();

private:
    QByteArray m_value;
    QPushButton *m_button;
    QHBoxLayout *m_layout;
};
