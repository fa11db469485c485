#pragma once
// A modal picker of one name out of a long list, with a live wildcard
// filter ("*" any text, "?" one character, "[...]" a set; case ignored) and
// a count of the names shown. The caller sets the title, runs exec() and,
// when accepted, reads selectedDevice(). The window geometry is kept in the
// application settings on every way out.

#include "gui/dialogs/dialog_parts.h"

#include <QDialog>
#include <QStringList>

class QEvent;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QVBoxLayout;

class TDialogSelectDevice : public QDialog
{
    Q_OBJECT

public:
    explicit TDialogSelectDevice(const QStringList &names, QWidget *parent = nullptr);
    ~TDialogSelectDevice() override;

    // The current row's text; empty when no row is current.
    QString selectedDevice() const;

    bool eventFilter(QObject *object, QEvent *event) override;

public slots:
    void slotFilterString(const QString &text);
    void slotClearFilter();

private:
    void createUi();
    void updateCount(int number);

    QLineEdit *m_filter = nullptr;
    QLabel *m_count = nullptr;
    QLabel *m_line = nullptr;
    QPushButton *m_clear = nullptr;
    QHBoxLayout *m_filterLayout = nullptr;
    QListWidget *m_list = nullptr;
    TDialogButtons m_buttons{};
    QVBoxLayout *m_layout = nullptr;
};

// True when the wildcard filter text matches somewhere in the name.
bool deviceFilterMatches(const QString &filter, const QString &name);
