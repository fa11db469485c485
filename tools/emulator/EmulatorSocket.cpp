#include "EmulatorSocket.h"

#include "core/helpers.h"

#include "support/AvrChip.h"
#include "support/Chip24.h"
#include "support/Spi25Chip.h"

#include <QFile>
#include <QtEndian>

EmulatorSocket::EmulatorSocket(std::shared_ptr<Chip24> chip24, std::shared_ptr<Spi25Chip> chip25,
                               std::shared_ptr<AvrChip> chipAvr)
    : chip24(std::move(chip24)), chip25(std::move(chip25)), chipAvr(std::move(chipAvr))
{
}

ChipReply EmulatorSocket::setup(const QByteArray &record)
{
    active = nullptr;
    if (record.size() < 2)
        return ChipReply::failure(ERR_PARAM);
    ChipModel *chip = nullptr;
    switch (qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(record.constData()))) {
    case TYPE_24XX:
        chip = chip24.get();
        break;
    case TYPE_25XX:
        chip = chip25.get();
        break;
    case TYPE_AVR8:
        chip = chipAvr.get();
        break;
    default:
        return ChipReply::failure(ERR_PARAM);
    }
    const ChipReply reply = chip->setup(record);
    if (reply.ok)
        active = chip;
    return reply;
}

ChipReply EmulatorSocket::request(quint8 code, const QByteArray &payload)
{
    if (!active)
        return ChipReply::failure(ERR_PARAM);
    return active->request(code, payload);
}

ChipStore::ChipStore(const QString &file, std::function<QByteArray()> get,
                     std::function<void(const QByteArray &)> set)
    : m_file(file), m_get(std::move(get)), m_set(std::move(set))
{
}

bool ChipStore::load()
{
    const QByteArray memory = m_get();
    m_saved = memory;
    m_snapshot = memory;
    QFile f(m_file);
    if (f.size() != memory.size() || !f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray contents = f.readAll();
    if (contents.size() != memory.size())
        return false;
    m_set(contents);
    m_saved = contents;
    m_snapshot = contents;
    return true;
}

void ChipStore::snapshot()
{
    m_snapshot = m_get();
}

bool ChipStore::save(QString *error)
{
    if (m_snapshot == m_saved)
        return true;
    QString reason;
    if (!writeWholeFile(m_file, m_snapshot, &reason, false)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_file, reason);
        return false;
    }
    m_saved = m_snapshot;
    return true;
}
