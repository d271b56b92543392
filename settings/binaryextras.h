#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace quillon::settings::binaryExtras {

// The three encodings of settings files and the preferences file. Everything is big-endian and
// unpadded:
//   Short    2 bytes, the low 16 bits of the value; read back sign-extended.
//   Boolean  1 byte, 1 for true and 0 for false; any non-zero byte reads as true.
//   String   a Short byte count n, then the n bytes of the text in UTF-8; no terminator.
// Any thread; one stream or reader per thread.

// The longest text a String can carry: its byte count is a signed Short.
inline constexpr qsizetype kMaxStringBytes = 32767;

// Writers return false when the device refused the bytes. writeString also returns false, and
// writes nothing, for a text whose UTF-8 form is longer than kMaxStringBytes: a wrong count would
// make every later record unreadable.
bool writeShort(QIODevice& stream, int value);
bool writeBoolean(QIODevice& stream, bool value);
bool writeString(QIODevice& stream, const QString& text);

// Reads the three encodings from bytes in memory, knowing its offset. A read that would pass the
// end takes nothing, returns 0 / false / empty text and marks the reader cut short; after a
// failure every later read also returns nothing, so a caller can read a whole record and test once.
class ByteReader
{
public:
    explicit ByteReader(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    int readShort();
    bool readBoolean();
    QString readString();

    qsizetype offset() const { return m_offset; }
    bool atEnd() const { return m_offset >= m_bytes.size(); }
    // True once a read would have passed the end of the bytes.
    bool isCutShort() const { return m_cutShort; }
    // True once a String carried a negative byte count, which no writer of the format produces.
    bool hasBadLength() const { return m_badLength; }
    // Either of the two: nothing more is read, and what the last reads returned is not data.
    bool failed() const { return m_cutShort || m_badLength; }

private:
    bool take(qsizetype count);

    QByteArray m_bytes;
    qsizetype m_offset = 0;
    bool m_cutShort = false;
    bool m_badLength = false;
};

} // namespace quillon::settings::binaryExtras
