#pragma once
// The command selector: a free-standing window of three panes of buttons
// (tool commands, the commands of the programmer in force, the commands of
// the device in force) from which one click adds a command. It follows the
// selected command of the project view and rebuilds a pane only when its
// list of codes changes.

#include <QList>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;
class QSplitter;
class QVBoxLayout;
class TCmdCode;
class TDataPrj;

// One titled pane of command buttons.
class TCmdGroup : public QWidget
{
    Q_OBJECT

public:
    TCmdGroup(const QString &title, const TCmdCode *catalogue, QWidget *parent = nullptr);
    ~TCmdGroup() override;

    // Shows the codes; an unchanged list keeps its buttons.
    void setCmdList(const QStringList &codes);
    void clear();
    QStringList cmdList() const { return m_codes; }
    QList<QPushButton *> buttons() const { return m_buttons; }

signals:
    void signalAddCmd(const QString &cmd_code);

public slots:
    void slotAddCmd();

private:
    void createButton(const QString &code);

    const TCmdCode *m_catalogue;
    QStringList m_codes;
    QList<QPushButton *> m_buttons;
    QGroupBox *m_group = nullptr;
    QScrollArea *m_scroll = nullptr;
    QFrame *m_frame = nullptr;
    QVBoxLayout *m_groupLayout = nullptr;
    QVBoxLayout *m_buttonLayout = nullptr;
    QVBoxLayout *m_layout = nullptr;
};

class TDialogCmdSelector : public QWidget
{
    Q_OBJECT

public:
    TDialogCmdSelector(int id_cfg, int id_cmd, TDataPrj *project, const TCmdCode *catalogue,
                       QWidget *parent = nullptr);
    ~TDialogCmdSelector() override;

    TCmdGroup *toolsGroup() const { return m_tools; }
    TCmdGroup *progGroup() const { return m_prog; }
    TCmdGroup *deviceGroup() const { return m_device; }

signals:
    // Add a command of that code with that enabled status.
    void signalAddCmd(const QString &cmd_code, bool state);

public slots:
    void slotSelectCmd(int id_cfg, int id_cmd);
    void slotAddCmd(const QString &cmd_code);
    void slotClose();

private:
    void createUi();
    void restoreGeometry();
    void saveGeometry();
    void fillGroups(int id_cfg, int id_cmd);

    TDataPrj *m_project;
    const TCmdCode *m_catalogue;
    QCheckBox *m_state = nullptr;
    QLabel *m_line = nullptr;
    QVBoxLayout *m_topLayout = nullptr;
    TCmdGroup *m_tools = nullptr;
    TCmdGroup *m_prog = nullptr;
    TCmdGroup *m_device = nullptr;
    QFrame *m_buttonFrame = nullptr;
    QHBoxLayout *m_buttonLayout = nullptr;
    QPushButton *m_close = nullptr;
    QVBoxLayout *m_layout = nullptr;
    QSplitter *m_splitter = nullptr;
};

// The four characters that give a command button its colour ("char",
// "data" or "file"): the end of the code without its operation word.
QString cmdKindEnding(const QString &code);

// Where the selector opens: the rectangle for the placement mode, the
// stored geometry, the active window's geometry (null when there is none)
// and the available desktop; centre tells whether to centre on the active
// window instead.
QRect cmdSelectorPlacement(int mode, const QRect &stored, const QRect &active,
                           const QRect &desktop, bool *centre);
