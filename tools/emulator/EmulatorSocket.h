#pragma once
// The socket of the emulated programmer: one chip of each family (24xx,
// 25xx, AVR8), of which the set-up record's algorithm type picks the one
// that answers; and the chips' contents kept in files between starts.

#include "support/ChipModel.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

class AvrChip;
class Chip24;
class Spi25Chip;

class EmulatorSocket : public ChipModel
{
public:
    // Algorithm types of the set-up record (the devices folder's types.lst).
    static constexpr quint16 TYPE_24XX = 258;
    static constexpr quint16 TYPE_25XX = 5;
    static constexpr quint16 TYPE_AVR8 = 6;
    static constexpr quint16 ERR_PARAM = 2;

    EmulatorSocket(std::shared_ptr<Chip24> chip24, std::shared_ptr<Spi25Chip> chip25,
                   std::shared_ptr<AvrChip> chipAvr);

    ChipReply setup(const QByteArray &record) override;
    ChipReply request(quint8 code, const QByteArray &payload) override;

    const std::shared_ptr<Chip24> chip24;
    const std::shared_ptr<Spi25Chip> chip25;
    const std::shared_ptr<AvrChip> chipAvr;

private:
    ChipModel *active = nullptr;
};

// A chip's contents kept in a raw binary file: loaded at start when the
// file has the contents' size, written whole (through a temporary file)
// whenever they changed.
class ChipStore
{
public:
    // get gives the chip's contents, set puts contents of that size back;
    // both are called under the programmer's lock.
    ChipStore(const QString &file, std::function<QByteArray()> get,
              std::function<void(const QByteArray &)> set);

    // Loads the file into the chip; false when there is none of the size.
    bool load();
    // Takes a copy of the memory (cheap: shared until the chip writes);
    // call under the programmer's lock.
    void snapshot();
    // Writes the last snapshot when it differs from what the file holds.
    bool save(QString *error);

    QString file() const { return m_file; }

private:
    QString m_file;
    std::function<QByteArray()> m_get;
    std::function<void(const QByteArray &)> m_set;
    QByteArray m_snapshot;
    QByteArray m_saved;
};
