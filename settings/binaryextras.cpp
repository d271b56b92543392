#include "settings/binaryextras.h"

#include <QIODevice>

namespace quillon::settings::binaryExtras {

bool writeShort(QIODevice& stream, int value)
{
    const auto bits = quint16(quint32(value) & 0xFFFFu);
    const char bytes[2] = {char(bits >> 8), char(bits & 0xFF)};
    return stream.write(bytes, 2) == 2;
}

bool writeBoolean(QIODevice& stream, bool value)
{
    const char byte = value ? 1 : 0;
    return stream.write(&byte, 1) == 1;
}

bool writeString(QIODevice& stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    if (bytes.size() > kMaxStringBytes)
        return false;
    if (!writeShort(stream, int(bytes.size())))
        return false;
    return stream.write(bytes) == bytes.size();
}

bool ByteReader::take(qsizetype count)
{
    if (failed())
        return false;
    if (m_bytes.size() - m_offset < count) {
        m_cutShort = true;
        return false;
    }
    return true;
}

int ByteReader::readShort()
{
    if (!take(2))
        return 0;
    const auto high = quint8(m_bytes[m_offset]);
    const auto low = quint8(m_bytes[m_offset + 1]);
    m_offset += 2;
    return int(qint16(quint16((high << 8) | low)));
}

bool ByteReader::readBoolean()
{
    if (!take(1))
        return false;
    return m_bytes[m_offset++] != 0;
}

QString ByteReader::readString()
{
    const int count = readShort();
    // A negative count cannot come from a writer of this format; treat it as damage.
    if (count < 0) {
        m_badLength = true;
        return {};
    }
    if (!take(count))
        return {};
    const QString text = QString::fromUtf8(m_bytes.constData() + m_offset, count);
    m_offset += count;
    return text;
}

} // namespace quillon::settings::binaryExtras
