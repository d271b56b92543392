#include "engine/labels/finderlabel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/xattr.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace quillon::engine {

namespace {

constexpr const char* kTagsAttribute = "user.xdg.tags";

// Longest tag attribute or sidecar read; real ones are a few dozen bytes.
constexpr qsizetype kMaxTagsBytes = 64 * 1024;
constexpr qint64 kMaxSidecarBytes = 4 * 1024 * 1024;
// Longest xmp:Label value looked at; the colour names are a few letters.
constexpr int kMaxLabelValueChars = 256;

// Names by Finder label number 1..7.
constexpr std::array<const char*, 8> kNamesByNumber = {
    "", "Gray", "Green", "Purple", "Blue", "Yellow", "Red", "Orange"};

// Label index 1..7 -> Finder label number.
constexpr std::array<int, 8> kNumberByIndex = {0, 6, 7, 5, 2, 4, 3, 1};

QStringList splitTags(const QByteArray& value)
{
    QStringList tags;
    for (const QString& tag : QString::fromUtf8(value).split(QLatin1Char(',')))
        if (!tag.trimmed().isEmpty())
            tags << tag.trimmed();
    return tags;
}

// Reads user.xdg.tags. False when the attribute is absent or extended attributes are not
// supported; true with the value otherwise.
bool readTags(const QString& path, QByteArray* value)
{
    const QByteArray local = QFile::encodeName(path);
    char buffer[4096];
    ssize_t n = getxattr(local.constData(), kTagsAttribute, buffer, sizeof buffer);
    if (n >= 0) {
        *value = QByteArray(buffer, int(n));
        return true;
    }
    if (errno != ERANGE)
        return false;
    n = getxattr(local.constData(), kTagsAttribute, nullptr, 0);
    if (n < 0 || n > kMaxTagsBytes)
        return false;
    QByteArray big(int(n), '\0');
    n = getxattr(local.constData(), kTagsAttribute, big.data(), size_t(big.size()));
    if (n < 0)
        return false;
    big.truncate(int(n));
    *value = big;
    return true;
}

int labelOfTags(const QStringList& tags)
{
    for (const QString& tag : tags)
        if (int number = labelNumberOfName(tag))
            return number;
    return 0;
}

int labelOfSidecar(const QString& sidecar)
{
    QFile file(sidecar);
    if (!QFileInfo(sidecar).isFile() || !file.open(QIODevice::ReadOnly) || file.size() > kMaxSidecarBytes)
        return 0;
    return labelOfXmp(file.read(kMaxSidecarBytes));
}

} // namespace

int labelOfTagsValue(const QByteArray& value)
{
    return labelOfTags(splitTags(value.left(kMaxTagsBytes)));
}

int labelOfXmp(const QByteArray& text)
{
    // xmp:Label appears as an attribute (xmp:Label="Red") or an element (<xmp:Label>Red<).
    // The value's length is bounded: an unbounded one made every "xmp:Label>" without a
    // closing "<" scan to the end of the text, quadratic in a large sidecar.
    static const QRegularExpression kLabel(QStringLiteral(
        R"(xmp:Label\s{0,64}(?:=\s{0,64}["']([^"']{0,%1})["']|>\s{0,64}([^<]{0,%1})<))")
                                               .arg(kMaxLabelValueChars));
    const QRegularExpressionMatch match = kLabel.match(QString::fromUtf8(text.left(kMaxSidecarBytes)));
    if (!match.hasMatch())
        return 0;
    const QString value = match.captured(1).isNull() ? match.captured(2) : match.captured(1);
    return labelNumberOfName(value.trimmed());
}

int labelNumberOfName(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.compare(QLatin1String("Grey"), Qt::CaseInsensitive) == 0)
        return 1;
    for (int number = 1; number < int(kNamesByNumber.size()); ++number)
        if (trimmed.compare(QLatin1String(kNamesByNumber[number]), Qt::CaseInsensitive) == 0)
            return number;
    return 0;
}

int FinderLabelMBS(const QString& path)
{
    QByteArray tags;
    if (readTags(path, &tags)) {
        if (int number = labelOfTags(splitTags(tags)))
            return number;
    }
    const QFileInfo info(path);
    for (const QString& sidecar :
         {path + QStringLiteral(".xmp"),
          info.dir().filePath(info.completeBaseName() + QStringLiteral(".xmp"))}) {
        if (int number = labelOfSidecar(sidecar))
            return number;
    }
    return 0;
}

QString finderLabelName(int number)
{
    if (number < 1 || number >= int(kNamesByNumber.size()))
        return {};
    return QString::fromLatin1(kNamesByNumber[number]);
}

QStringList labelNames()
{
    QStringList names;
    for (int index = 1; index < int(kNumberByIndex.size()); ++index)
        names << finderLabelName(kNumberByIndex[index]);
    return names;
}

int convertLabel(int finderLabelNumber)
{
    for (int index = 1; index < int(kNumberByIndex.size()); ++index)
        if (kNumberByIndex[index] == finderLabelNumber)
            return index;
    return 0;
}

bool setFinderLabel(const QString& path, int number, QString* error)
{
    if (number < 0 || number >= int(kNamesByNumber.size())) {
        *error = QStringLiteral("%1: there is no label number %2").arg(path).arg(number);
        return false;
    }
    const QByteArray local = QFile::encodeName(path);
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("%1: no such file").arg(path);
        return false;
    }
    QByteArray old;
    QStringList tags;
    if (readTags(path, &old))
        tags = splitTags(old);
    QStringList kept;
    for (const QString& tag : tags)
        if (labelNumberOfName(tag) == 0)
            kept << tag;
    if (number != 0)
        kept << finderLabelName(number);
    int rc = 0;
    if (kept.isEmpty()) {
        rc = removexattr(local.constData(), kTagsAttribute);
        if (rc != 0 && errno == ENODATA)
            rc = 0;
    } else {
        const QByteArray value = kept.join(QLatin1Char(',')).toUtf8();
        rc = setxattr(local.constData(), kTagsAttribute, value.constData(), size_t(value.size()), 0);
    }
    if (rc != 0) {
        const int code = errno;
        *error = QStringLiteral("%1: the label cannot be written (%2)")
                     .arg(path, QString::fromLocal8Bit(std::strerror(code)));
        return false;
    }
    return true;
}

} // namespace quillon::engine
