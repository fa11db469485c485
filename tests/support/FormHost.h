#pragma once
// Hosts parameter forms as the configuration page does: it asks the
// command's owner for the form of the selected command, connects the form's
// "signalChangedCmdParam(TData)" by that signature, has the owner turn each
// record into the record to store (cmdParamFromForm) and stores it in the
// project (TDataPrj::setCmdParam). Selecting another command deletes the
// form shown before.
//
// host() takes a form that the test built and keeps: the host then only
// listens to it (and stores what it emits as it comes, without an owner).

#include "core/TData.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

class IDevice;

class FormHost : public QObject
{
    Q_OBJECT
public:
    FormHost() = default;
    ~FormHost() override;

    // Shows the form of the command: null when the command or its owner is
    // missing or the owner has no form for it.
    QWidget *select(int idCmd);
    // Listens to a form the caller owns; false when it lacks the signal.
    bool host(QWidget *form, IDevice *owner = nullptr);
    // Lets go of the form on show (deleting it when the host owns it).
    void clear();

    QWidget *form() const { return m_form.data(); }

    // Every record the form emitted, as emitted.
    QList<TData> emitted;
    // Off: records are collected only, never stored.
    bool store = true;

public slots:
    void slotChangedCmdParam(const TData &data);

private:
    bool attach(QWidget *form, IDevice *owner, bool owned);

    QPointer<QWidget> m_form;
    QPointer<IDevice> m_owner;
    bool m_owned = false;
    QMetaObject::Connection m_connection;
};
