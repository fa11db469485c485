#pragma once
// Parameter form of erasing a run of equal blocks ("erase_blocks"): the
// block size among the sizes the chip erases, the first block and the
// number of blocks, kept inside the chip's memory. It emits "id_cmd",
// "size" (bytes), "begin" (first block) and "count" (blocks).
//
// A block size that is not among the offered ones shows an empty choice;
// the form then sets no limits and emits nothing until the user picks a
// size. The count never goes below 1; a first block past the last block of
// the chosen size shows in the error colour.

#include "core/TData.h"

#include <QList>
#include <QWidget>

class QFormLayout;
class TComboBox;
class TWgtEditDecDef;

class TFormDevEraseBlocks : public QWidget
{
    Q_OBJECT
public:
    TFormDevEraseBlocks(int idCmd, const QList<int> &sizes, int size, int begin, int count,
                        qint64 memorySize, QWidget *parent = nullptr);

    int idCmd() const { return m_idCmd; }

    // Fits the edits to the chosen block size and gives what the form
    // reports; false (and no change) while no block size is chosen.
    bool updateLimits(int &size, int &begin, int &count);

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChanged();

private:
    int m_idCmd;
    qint64 m_memorySize;
    QList<int> m_sizes;
    QFormLayout *m_layout;
    TComboBox *m_size;
    TWgtEditDecDef *m_begin;
    TWgtEditDecDef *m_count;
};
