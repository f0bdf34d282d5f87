#include "ui/WavDuration.h"

#include <QFile>
#include <QtEndian>

namespace zelmora {

std::optional<qint64> WavDurationMs(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray riff = file.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return std::nullopt;
    quint32 byteRate = 0;
    // Chunks: 4-byte id, 32-bit little-endian size, data padded to an even length.
    while (true) {
        const QByteArray header = file.read(8);
        if (header.size() != 8)
            return std::nullopt;
        const quint32 size = qFromLittleEndian<quint32>(header.constData() + 4);
        if (header.startsWith("fmt ")) {
            const QByteArray format = file.read(qMin<quint32>(size, 16));
            if (format.size() < 12)
                return std::nullopt;
            byteRate = qFromLittleEndian<quint32>(format.constData() + 8);
            if (!file.seek(file.pos() - format.size() + size + (size & 1)))
                return std::nullopt;
        } else if (header.startsWith("data")) {
            if (byteRate == 0)
                return std::nullopt;
            return qint64(size) * 1000 / byteRate;
        } else if (!file.seek(file.pos() + size + (size & 1))) {
            return std::nullopt;
        }
    }
}

} // namespace zelmora
