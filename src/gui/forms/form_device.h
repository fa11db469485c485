#pragma once
// What the "set_device" and "auto_detect" forms show of the device that the
// project resolved for their command: the device's own device-level form,
// the wiring of the chip to the programmer's pins and the device comment.

#include <QPointer>
#include <QStringList>

class IDevice;
class QFormLayout;
class QHBoxLayout;
class QLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QObject;
class QTextEdit;
class QWidget;
class TDataCmd;

struct DeviceInForce
{
    IDevice *device = nullptr;
    QStringList pinLines;   // rich text, one line per programmer pin
    QStringList comment;    // the device parameter "comment"
};

// The device in force for the command and what is shown of it; empty when
// the command or its device is missing.
DeviceInForce deviceInForce(const TDataCmd *cmd);

// "  1 -< <line>" per pin line, then, with a comment, a rule of 50 "-" and
// one paragraph per comment line; the cursor at the start.
void fillConnectionText(QTextEdit *edit, const QStringList &pinLines, const QStringList &comment);

// Connects the form's signalChangedCmdParam(TData) to the same signal of
// the receiver (signal to signal), looked up by signature since the
// device-level forms are of any class. False when either lacks it.
bool passOnCmdParam(QObject *form, QObject *receiver);

// Deletes the old device-level form and, when the device has one for the
// command's record, builds it into the layout, passing its records on as
// the receiver's own. Returns the new form (null when none).
QWidget *rebuildDeviceForm(QWidget *old, const DeviceInForce &shown, const TDataCmd *cmd,
                           QLayout *layout, QObject *receiver);

// The top row of both forms: a read-only name line (tool-tip message
// nameTip) and a chip button (tool-tip message buttonTip) that opens the
// picker.
QHBoxLayout *createChooserRow(QWidget *owner, QLineEdit *&name, QPushButton *&button,
                              int nameTip, int buttonTip);

// The page that holds the embedded device-level form: a frameless scroll
// area around a frame whose layout (returned in layout) takes the form.
QWidget *createDeviceFormPage(QVBoxLayout *&layout);

// The rows of a parameter form, laid out on it: margins 0, spacing 2,
// labels aligned right.
QFormLayout *createFormRows(QWidget *form);
