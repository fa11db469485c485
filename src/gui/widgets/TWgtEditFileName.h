#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class TLineEdit;

// A labelled file-name line with a "..." button that opens a file dialog.
// A chosen file is entered relative to the base folder (with "../" steps
// where it lies outside), or, with relativeOnlyInside, relative only when it
// lies inside the base folder and with its absolute path otherwise.
class TWgtEditFileName : public QWidget
{
    Q_OBJECT
public:
    TWgtEditFileName(const QString &label, const QString &fileName, QWidget *parent = nullptr);

    // The folder against which relative names are resolved.
    void setBasePath(const QString &path) { m_basePath = path; }
    void setRelativeOnlyInside(bool on) { m_relativeOnlyInside = on; }
    void setFileName(const QString &fileName);
    QString fileName() const;
    void setEditToolTip(const QString &text);
    void setButtonToolTip(const QString &text);
    // Caption and filter of the file dialog, and a suffix given to a chosen
    // file whose own suffix differs (none when empty).
    void setFileDialog(const QString &caption, const QString &filter, const QString &suffix);
    // When set, an empty name shows in the error colour.
    void setRequired(bool required);

    // The folder the file dialog opens in: the base folder for an empty
    // name, else the folder of the named file.
    QString startDirectory() const;
    // Takes a file chosen in the dialog: gives it the suffix when it lacks
    // it and shows it relative to the base folder where it can.
    void takeChosenFile(const QString &path);

signals:
    void signalChanged(const QString &fileName);

public slots:
    void slotTextChanged(const QString &text);
    void slotOpenWindowFileSelect();

private:
    void paintRequired();

    bool m_required = false;
    bool m_relativeOnlyInside = false;
    QString m_filter;
    QString m_caption;
    QString m_suffix;
    QString m_basePath;
    QLabel *m_label;
    TLineEdit *m_edit;
    QPushButton *m_button;
};
