#pragma once
// The table of the commands of one configuration: a check box (enabled for
// execution), the display name and the parameter summary per row. The
// background tells the kind of command (a colour per code, from the
// settings), red text an invalid command, strike-out a missing device, bold
// italic the target of the selected jump. It reports selections and check-box
// changes by signals and holds nothing of the project beyond its rows.

#include <QColor>
#include <QPoint>
#include <QString>
#include <QStyledItemDelegate>
#include <QWidget>

#include <memory>

class QHBoxLayout;
class QTableWidget;
class QTableWidgetItem;
class TStyleCmdList;

class TWgtCmdList : public QWidget
{
    Q_OBJECT
public:
    // Column 2 elides the middle of a parameter text too wide for its cell.
    class Delegate : public QStyledItemDelegate
    {
    public:
        using QStyledItemDelegate::QStyledItemDelegate;
        void paint(QPainter *painter, const QStyleOptionViewItem &option,
                   const QModelIndex &index) const override;
    };

    // One entry of the colour table shared by every list.
    struct CmdColor
    {
        const char *code;
        bool enabled;
        QColor color;
    };
    static constexpr int CMD_COLOR_COUNT = 15;

    explicit TWgtCmdList(QWidget *parent = nullptr);
    ~TWgtCmdList() override;

    // Rows
    void insertCmdRow(int row, int id, const QString &code, bool status, const QString &name,
                      const QString &text);
    // Removes every row; emits nothing.
    void clear();
    void removeRow(int row);
    void removeCmdRow(int id);
    // why: the reason an invalid row is refused, its tool tip.
    void updateCmdRow(int id, const QString &code, const QString &name, const QString &text,
                      bool validDev, bool validParam, const QString &why = QString());
    void setCmdText(int id, const QString &text);
    void setRowName(int row, const QString &name);
    void setRowText(int row, const QString &text);
    void setRowCode(int row, const QString &code);
    void setRowChecked(int row, bool checked);
    // Every row, from the last up; each change is reported by signalEnabledCmd.
    void setAllChecked(bool checked);

    // Queries
    int rowCount() const;
    int currentRow() const;
    int rowCmdId(int row) const;
    int currentCmdId() const;
    QString rowCode(int row) const;
    QString currentCmdCode() const;
    bool isRowChecked(int row) const;
    bool hasFocus() const;
    // The row of a command id, searched from the last row up; -1 when none.
    int rowOfCmd(int id) const;

    // Current row
    void selectFirstRow();
    void setCurrentRow(int row);
    void moveCurrentRow(int direction);
    void setFocus();

    // Visibility, colours, highlight
    // Hides the rows of unchecked commands, or shows every row; the mode
    // holds for the rows that come later (hideUncheckedRows).
    void hideUnchecked(bool hide);
    // In that mode, hides the unchecked rows again (after the rows were
    // rebuilt), leaving the current row as it is.
    void hideUncheckedRows();
    void applyRowColors();
    void clearHighlight();
    void highlightRow(int row);
    static QColor cmdColor(const QString &code);
    static void applyColorSettings();
    static const CmdColor *cmdListColors();

    QPoint mapToGlobal(const QPoint &pos) const;
    QTableWidget *table() const;

signals:
    void signalSelectCmd(int id);
    void signalClikedCmd();
    void signalEnabledCmd(int id, bool checked);
    void signalContextMenuRequested(const QPoint &pos);

private slots:
    void slotSelectCmd(QTableWidgetItem *current);
    void slotSelectCmdClick(QTableWidgetItem *item);
    void slotEnabledCmd(QTableWidgetItem *item);

private:
    // The font and colours set on every cell of a row, last column first.
    void setRowLook(int row, const QFont &font, const QColor *text);

    std::unique_ptr<TStyleCmdList> m_style;
    QHBoxLayout *m_layout;
    QTableWidget *m_table;
    Delegate *m_delegate;
    bool m_hideUnchecked = false;
};
