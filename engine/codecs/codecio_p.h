#pragma once

// Byte-level helpers shared by Quillon's own codecs: a bounds-checked big-endian reader over
// untrusted bytes, big-endian appenders, and PackBits in both directions. Any thread.

#include <QByteArray>

#include <cstdint>

namespace quillon::engine::codecs {

// Reads big-endian values from a byte array. Reading past the end yields zeros and clears
// ok(), so a parser can read a whole record and check once.
class ByteReader
{
public:
    explicit ByteReader(const QByteArray& data, qsizetype pos = 0) : m_data(&data), m_pos(pos)
    {
        if (pos < 0 || pos > data.size()) {
            m_pos = data.size();
            m_ok = false;
        }
    }

    bool ok() const { return m_ok; }
    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_data->size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data->size(); }

    std::uint8_t u8();
    std::uint16_t u16();
    std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
    std::uint32_t u32();
    // Skips n bytes; false (and ok() false) when fewer remain.
    bool skip(qsizetype n);
    // The next n bytes, or nullptr (and ok() false) when fewer remain.
    const uchar* take(qsizetype n);
    // Moves to an even offset from origin (PICT opcodes are word-aligned).
    void alignEven(qsizetype origin)
    {
        if ((m_pos - origin) & 1)
            skip(1);
    }

private:
    const QByteArray* m_data;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

void appendBe16(QByteArray& out, std::uint16_t value);
void appendBe32(QByteArray& out, std::uint32_t value);

// Appends the PackBits encoding of data[0..length) to out.
void packBits(const uchar* data, qsizetype length, QByteArray& out);

// Decodes PackBits from in[0..inLength) until out[0..outLength) is full. A run reaching past
// the end of the output is cut off there (some writers pad the last run). Returns the number
// of input bytes consumed, or -1 when the input ends before the output is full.
qsizetype unpackBits(const uchar* in, qsizetype inLength, uchar* out, qsizetype outLength);

// The same with 16-bit units (PICT packType 3): outWords words are produced.
qsizetype unpackBitsWords(const uchar* in, qsizetype inLength, uchar* out, qsizetype outWords);

} // namespace quillon::engine::codecs
