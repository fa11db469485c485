#pragma once
// The settings dialog: a tree of the settings pages on the left, the chosen
// page under its header on the right, OK and Cancel below. The caller loads
// the pages, runs the dialog and saves the pages only when it was accepted;
// every page keeps its values while others are shown.

#include <QDialog>
#include <QList>

class IDialogSetupPage;
class QFrame;
class QHBoxLayout;
class QLabel;
class QModelIndex;
class QPushButton;
class QScrollArea;
class QSplitter;
class QStringListModel;
class QTreeView;
class QVBoxLayout;

class TDialogSetupSelect : public QDialog
{
    Q_OBJECT

public:
    explicit TDialogSetupSelect(QWidget *parent = nullptr);
    ~TDialogSetupSelect() override;

    void loadPages();
    void savePages();

    QList<IDialogSetupPage *> pages() const { return m_pages; }

public slots:
    void slotGroupSelect(const QModelIndex &index);

private:
    void createUi();
    void setPageTitle(const QString &title);
    void selectPage(int n);
    void restoreGeometry();
    void saveGeometry();

    QList<IDialogSetupPage *> m_pages;
    QScrollArea *m_scroll = nullptr;
    QSplitter *m_splitter = nullptr;
    QStringListModel *m_model = nullptr;
    QTreeView *m_tree = nullptr;
    QFrame *m_pageFrame = nullptr;
    QVBoxLayout *m_titleLayout = nullptr;
    QVBoxLayout *m_frameLayout = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_line = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QHBoxLayout *m_buttonLayout = nullptr;
    QFrame *m_buttonBar = nullptr;
    QVBoxLayout *m_layout = nullptr;
};
