#pragma once
// Settings page of the user's programmers: the names (default and offered
// flags, name, port, type) above, the programmer types (name, description
// file) below. Rows are added and edited through small dialogs, deleted
// after a question and moved; a name whose type is missing is shown red
// and struck out. Save replaces both lists whole.

#include "gui/dialogs/IDialogSetupPage.h"

class QLabel;
class QMenu;
class QPoint;
class QSplitter;
class QTableWidget;
class QTableWidgetItem;
class TActionWidget;
class TStyleCmdList;

class TDialogSetupPageProg : public IDialogSetupPage
{
    Q_OBJECT

public:
    explicit TDialogSetupPageProg(QWidget *parent = nullptr);
    ~TDialogSetupPageProg() override;

    QString name() const override;
    QString title() const override;
    void load() override;
    void save() override;

    QTableWidget *aliasTable() const { return m_aliasTable; }
    QTableWidget *typeTable() const { return m_typeTable; }

public slots:
    void slotListAliasChanged(QTableWidgetItem *item);
    void slotShowContextMenuAlias(const QPoint &pos);
    void slotShowContextMenuType(const QPoint &pos);
    void slotAliasAdd();
    void slotAliasEdit();
    void slotAliasDelete();
    void slotAliasMoveUp();
    void slotAliasMoveDown();
    void slotTypeAdd();
    void slotTypeEdit();
    void slotTypeDelete();
    void slotTypeMoveUp();
    void slotTypeMoveDown();
    void slotSelectItemAlias();
    void slotSelectItemType();

private:
    struct Actions
    {
        TActionWidget *add, *edit, *remove, *up, *down;
    };

    void createUi();
    void createActions();
    void loadHotKeys();
    QMenu *createContextMenu(const Actions &actions);
    void updateActions(QTableWidget *table, const Actions &actions);
    void updateAliasActions();
    void updateTypeActions();
    void markAliasRows();
    bool typeExists(const QString &type) const;
    void addAliasRow(int row, bool isDefault, bool offered, const QString &name,
                     const QString &port, const QString &type);
    QStringList columnTexts(QTableWidget *table, int column, int exceptRow) const;
    QString currentText(QTableWidget *table, int column) const;

    QWidget *m_parent;
    QMenu *m_aliasMenu = nullptr;
    Actions m_alias{};
    QMenu *m_typeMenu = nullptr;
    Actions m_type{};
    QLabel *m_aliasTitle = nullptr;
    QTableWidget *m_aliasTable = nullptr;
    QLabel *m_typeTitle = nullptr;
    QTableWidget *m_typeTable = nullptr;
    QSplitter *m_splitter = nullptr;
    TStyleCmdList *m_aliasStyle = nullptr;
    TStyleCmdList *m_typeStyle = nullptr;
};
