#include "engine/codecs/codecio_p.h"

#include <algorithm>
#include <cstring>

namespace quillon::engine::codecs {

std::uint8_t ByteReader::u8()
{
    const uchar* p = take(1);
    return p ? p[0] : 0;
}

std::uint16_t ByteReader::u16()
{
    const uchar* p = take(2);
    return p ? static_cast<std::uint16_t>((p[0] << 8) | p[1]) : 0;
}

std::uint32_t ByteReader::u32()
{
    const uchar* p = take(4);
    return p ? (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8)
                   | std::uint32_t(p[3])
             : 0;
}

bool ByteReader::skip(qsizetype n)
{
    return take(n) != nullptr || n == 0;
}

const uchar* ByteReader::take(qsizetype n)
{
    if (n < 0 || n > remaining()) {
        m_pos = m_data->size();
        m_ok = false;
        return nullptr;
    }
    const uchar* p = reinterpret_cast<const uchar*>(m_data->constData()) + m_pos;
    m_pos += n;
    return p;
}

void appendBe16(QByteArray& out, std::uint16_t value)
{
    out.append(char(value >> 8));
    out.append(char(value & 0xff));
}

void appendBe32(QByteArray& out, std::uint32_t value)
{
    appendBe16(out, std::uint16_t(value >> 16));
    appendBe16(out, std::uint16_t(value & 0xffff));
}

void packBits(const uchar* data, qsizetype length, QByteArray& out)
{
    qsizetype i = 0;
    while (i < length) {
        // A run of three or more equal bytes is worth a repeat code.
        qsizetype run = 1;
        while (i + run < length && run < 128 && data[i + run] == data[i])
            ++run;
        if (run >= 3 || (run == 2 && i + run == length)) {
            out.append(char(1 - run));
            out.append(char(data[i]));
            i += run;
            continue;
        }
        // Literal bytes up to the next run of three.
        qsizetype start = i;
        while (i < length && i - start < 128) {
            if (i + 2 < length && data[i] == data[i + 1] && data[i] == data[i + 2])
                break;
            ++i;
        }
        out.append(char(i - start - 1));
        out.append(reinterpret_cast<const char*>(data + start), i - start);
    }
}

qsizetype unpackBits(const uchar* in, qsizetype inLength, uchar* out, qsizetype outLength)
{
    qsizetype ip = 0, op = 0;
    while (op < outLength) {
        if (ip >= inLength)
            return -1;
        const int n = static_cast<signed char>(in[ip++]);
        if (n >= 0) {
            const qsizetype count = n + 1;
            if (ip + count > inLength)
                return -1;
            const qsizetype copy = std::min(count, outLength - op);
            std::memcpy(out + op, in + ip, size_t(copy));
            ip += count;
            op += copy;
        } else if (n != -128) {
            if (ip >= inLength)
                return -1;
            const qsizetype count = std::min<qsizetype>(1 - n, outLength - op);
            std::memset(out + op, in[ip++], size_t(count));
            op += count;
        }
    }
    return ip;
}

qsizetype unpackBitsWords(const uchar* in, qsizetype inLength, uchar* out, qsizetype outWords)
{
    qsizetype ip = 0, op = 0;
    while (op < outWords) {
        if (ip >= inLength)
            return -1;
        const int n = static_cast<signed char>(in[ip++]);
        if (n >= 0) {
            const qsizetype count = n + 1;
            if (ip + 2 * count > inLength)
                return -1;
            const qsizetype copy = std::min(count, outWords - op);
            std::memcpy(out + 2 * op, in + ip, size_t(2 * copy));
            ip += 2 * count;
            op += copy;
        } else if (n != -128) {
            if (ip + 2 > inLength)
                return -1;
            const qsizetype count = std::min<qsizetype>(1 - n, outWords - op);
            for (qsizetype k = 0; k < count; ++k) {
                out[2 * (op + k)] = in[ip];
                out[2 * (op + k) + 1] = in[ip + 1];
            }
            ip += 2;
            op += count;
        }
    }
    return ip;
}

} // namespace quillon::engine::codecs
