#include "gui/forms/form_numbers.h"

#include "core/consts.h"
#include "core/helpers.h"
#include "devices/param_schema.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TWgtEditNum.h"
#include "gui/widgets/wgt_misc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QList>
#include <QSignalBlocker>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace {

// Dynamic properties: the key a widget edits, and a list box emptied for a
// damaged value.
const char PARAM_KEY[] = "paramKey";
const char SHOWS_DAMAGED[] = "showsDamaged";

QList<QWidget *> taggedWidgets(QWidget *form, const QString &key)
{
    QList<QWidget *> found;
    if (form->property(PARAM_KEY).toString() == key)
        found << form;
    for (QWidget *w : form->findChildren<QWidget *>())
        if (w->property(PARAM_KEY).toString() == key)
            found << w;
    return found;
}

// The numeric edits a tagged widget is made of (itself, or those of a pair).
QList<TWgtEditNum *> editsOf(QWidget *widget)
{
    QList<TWgtEditNum *> edits = widget->findChildren<TWgtEditNum *>();
    if (auto *edit = qobject_cast<TWgtEditNum *>(widget))
        edits.prepend(edit);
    return edits;
}

bool stillDamaged(QWidget *widget)
{
    const QList<TWgtEditNum *> edits = editsOf(widget);
    if (!edits.isEmpty())
        return std::all_of(edits.begin(), edits.end(), [](const TWgtEditNum *e) { return e->isDamaged(); });
    if (auto *box = qobject_cast<QComboBox *>(widget))
        return box->property(SHOWS_DAMAGED).toBool() && box->currentIndex() < 0;
    if (auto *check = qobject_cast<QCheckBox *>(widget))
        return check->checkState() == Qt::PartiallyChecked;
    return false;
}

// A damaged flag: neither ticked nor unticked until the user sets it.
void showDamagedFlag(QCheckBox *check)
{
    {
        const QSignalBlocker blocker(check);
        check->setTristate(true);
        check->setCheckState(Qt::PartiallyChecked);
    }
    QObject::connect(check, &QCheckBox::stateChanged, check, [check] {
        if (check->checkState() != Qt::PartiallyChecked)
            check->setTristate(false);
    });
}

void showDamaged(QWidget *widget, const QString &stored)
{
    const QList<TWgtEditNum *> edits = editsOf(widget);
    for (TWgtEditNum *edit : edits)
        edit->showDamaged(stored);
    if (!edits.isEmpty())
        return;
    if (auto *check = qobject_cast<QCheckBox *>(widget)) {
        showDamagedFlag(check);
        return;
    }
    if (auto *box = qobject_cast<QComboBox *>(widget)) {
        {
            const QSignalBlocker blocker(box);
            box->setCurrentIndex(-1);
        }
        box->setProperty(SHOWS_DAMAGED, true);
        if (auto *own = qobject_cast<TComboBox *>(box)) {
            own->slotChanged();
            return;
        }
    }
    setBackgroundColor(widget, warningColor());
}

} // namespace

void tagParamKey(QWidget *widget, const char *key)
{
    widget->setProperty(PARAM_KEY, QString::fromLatin1(key));
}

void showDamagedNumbers(QWidget *form, const TData &record)
{
    if (!form)
        return;
    for (const QString &key : schema::faultyKeys(record)) {
        const QString stored = record.value(key).toString();
        for (QWidget *widget : taggedWidgets(form, key))
            showDamaged(widget, stored);
    }
}

void keepDamagedNumbers(QWidget *form, TData &record)
{
    if (!form)
        return;
    for (const QString &key : record.keys()) {
        if (key == QLatin1String(REC_ID_CMD))
            continue;
        const QList<QWidget *> widgets = taggedWidgets(form, key);
        if (std::any_of(widgets.begin(), widgets.end(), stillDamaged))
            record.remove(key);
    }
}
