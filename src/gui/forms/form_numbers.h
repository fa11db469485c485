#pragma once
// The damaged values of a form's command (devices/param_schema.h) on the
// form: each form tags the widget that edits a key with that key; the
// configuration page shows a damaged value in the widgets of its key, as
// out-of-range values are shown, and keeps it out of the records the form
// emits until the user enters a value there, so that a change of another
// field never stores the 0 or the "off" the widget started from.

#include "core/TData.h"

class QWidget;

// The widget edits the command parameter of the key.
void tagParamKey(QWidget *widget, const char *key);

// Shows every damaged number of the record in the form's widgets of its
// key: a numeric edit shows the text as stored in the error colour, a list
// box no item, a check box neither ticked nor unticked, any other widget the
// error colour.
void showDamagedNumbers(QWidget *form, const TData &record);

// Drops from a record the form emitted every key whose widget still shows
// a damaged value.
void keepDamagedNumbers(QWidget *form, TData &record);
