#pragma once
// Building blocks shared by the settings pages.

#include <QString>

class QGroupBox;
class QVBoxLayout;

// A group box titled " <title> " with a vertical layout (margins 5, 2, 5, 2,
// spacing 0), returned in layout.
QGroupBox *createSetupGroup(const QString &title, QVBoxLayout *&layout);

class QDialog;
class QPushButton;

// Numbers of the settings dialogs' own messages.
constexpr int MSG_SETUP_NAME_TAKEN = 422;   // a programmer name another row has (%1)
constexpr int MSG_SETUP_TYPE_TAKEN = 423;   // a programmer type another row has (%1)
constexpr int MSG_SETUP_NO_BAR = 424;       // "|" in a name, port, type or file

// The foot of the small edit dialogs: a sunken line, a stretch and a bar of
// OK and Cancel at the right (OK accepts, Cancel rejects). Returns OK.
QPushButton *addSetupButtons(QDialog *dialog, QVBoxLayout *layout);
