#pragma once
// Parameter form of "auto_detect": the device family to detect, what a
// matching route does ("Jamp" continues the run there, "Execute" starts that
// configuration), what an identifier without a route does ("Skip", "Stop"),
// and the route table from detected identifier to configuration. It also
// shows the device that the project resolved for the command.
//
// Each row keeps the identifier and the configuration id it stands for, so
// editing one row never retargets another, whatever the names shown.

#include "core/TData.h"
#include "core/TPairStringList.h"

#include <QDialog>
#include <QWidget>

class QLineEdit;
class QMenu;
class QPoint;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QTextEdit;
class QVBoxLayout;
class TActionWidget;
class TComboBox;
class TDataCmd;

class TFormProgAutoDetect : public QWidget
{
    Q_OBJECT

public:
    explicit TFormProgAutoDetect(const TData &data, QWidget *parent = nullptr);
    ~TFormProgAutoDetect() override;

    int idCmd() const { return m_idCmd; }
    // The route text of the rows, as it is emitted.
    QString routeText() const;

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotShowContextMenuRoute(const QPoint &pos);
    void slotAdd();
    void slotEdit();
    void slotDelete();
    void slotMoveUp();
    void slotMoveDown();
    void slotBtnSelectFamily();
    void slotChangeExecuteMode();
    void slotChangeExistMode();
    void slotSelectItemRoute();

private:
    void createUi();
    void createActions();
    void setShortcuts();
    void createContextMenu();
    void fillRoutes(const QString &route);
    void setRow(int row, const QString &key, int cfgId);
    void emitRoute();
    void emitRecord(const TData &keys);
    void updateActions();
    void updateDevice();
    TDataCmd *command() const;

    int m_idCmd = 0;
    TPairStringList m_pairs;
    int m_executeMode = 0;
    int m_stopMode = 0;
    QString m_family;
    QMenu *m_menu = nullptr;
    TActionWidget *m_actAdd = nullptr;
    TActionWidget *m_actEdit = nullptr;
    TActionWidget *m_actDelete = nullptr;
    TActionWidget *m_actUp = nullptr;
    TActionWidget *m_actDown = nullptr;
    QLineEdit *m_familyEdit = nullptr;
    QPushButton *m_familyButton = nullptr;
    TComboBox *m_execute = nullptr;
    TComboBox *m_stop = nullptr;
    QTableWidget *m_table = nullptr;
    QVBoxLayout *m_formLayout = nullptr;
    QTextEdit *m_connection = nullptr;
    QWidget *m_deviceForm = nullptr;
};

// The dialog of one route: a device of the family and a configuration.
// OK needs both.
class TFormProgAutoDetectEdit : public QDialog
{
public:
    TFormProgAutoDetectEdit(const QString &title, QWidget *parent = nullptr);
    ~TFormProgAutoDetectEdit() override;

    // Appends the names and makes current the entries whose text equals the
    // given ones (none when none does).
    void setItems(const QStringList &devices, const QString &device, const QStringList &cfgs,
                  const QString &cfg);
    // What each entry stands for (identifier, configuration id), and the
    // entries to make current by it; a match of both wins over the texts.
    void setItemData(const QStringList &deviceKeys, const QList<int> &cfgIds);
    void selectByData(const QString &deviceKey, int cfgId);

    QString deviceText() const;
    QString cfgText() const;
    QString deviceKey() const;
    int cfgId() const;

    TComboBox *deviceBox() const { return m_device; }
    TComboBox *cfgBox() const { return m_cfg; }
    QPushButton *okButton() const { return m_ok; }

private:
    void updateOk();

    TComboBox *m_device;
    TComboBox *m_cfg;
    QPushButton *m_ok;
};
