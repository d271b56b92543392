#include "engine/steps/outputnaming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::engine {

namespace {

// Prefix and suffix mode codes of a File Name step.
enum PrefixMode : int
{
    kPrefixText = 0,
    kPrefixDate = 1,
    kPrefixSerial1 = 2,
    kPrefixSerial2 = 3,
    kPrefixSerial3 = 4,
    kPrefixNone = 5,
};
enum SuffixMode : int
{
    kSuffixText = 0,
    kSuffixExtension = 1,
    kSuffixDate = 2,
    kSuffixSerial1 = 3,
    kSuffixSerial2 = 4,
    kSuffixSerial3 = 5,
    kSuffixNone = 6,
};

QString serialText(int value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 10, QLatin1Char('0'));
}

bool pathTaken(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

} // namespace

void getNameAndExtension(const QString& name, QString& base, QString& extension)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && !name.startsWith(QLatin1Char('.'))) {
        base = name.left(dot);
        extension = name.mid(dot + 1);
    } else {
        base = name;
        extension.clear();
    }
}

QString dateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd")).remove(QLatin1Char('-'));
}

QString function_fileName(const settings::nameSetting& step, const QString& sourceName, int label,
                          const QString& extension, SerialNumbers& serials, const QDate& date)
{
    const QString today = dateText(date);
    const size_t slot = (label >= 0 && label < int(serials.size())) ? size_t(label) : 0;
    const int serial = ++serials[slot];

    QString base, sourceExtension;
    getNameAndExtension(sourceName, base, sourceExtension);

    QString name;
    for (int i = 0; i < settings::nameSetting::kParts; ++i) {
        const int mode = step.prefixMode[size_t(i)];
        switch (mode) {
        case kPrefixText:
            name += step.prefixString[size_t(i)];
            break;
        case kPrefixDate:
            name += today;
            break;
        case kPrefixSerial1:
            name += QString::number(serial);
            break;
        case kPrefixSerial2:
            name += serialText(serial, 2);
            break;
        case kPrefixSerial3:
            name += serialText(serial, 3);
            break;
        default:
            break;
        }
        if (mode != kPrefixNone && step.nameSeparator)
            name += QLatin1Char('_');
    }
    name += base;
    for (int i = 0; i < settings::nameSetting::kParts; ++i) {
        switch (step.suffixMode[size_t(i)]) {
        case kSuffixText:
            name += step.suffixString[size_t(i)];
            break;
        case kSuffixExtension:
            name += QLatin1Char('.') + extension.toLower();
            break;
        case kSuffixDate:
            name += today;
            break;
        case kSuffixSerial1:
            name += QString::number(serial);
            break;
        case kSuffixSerial2:
            name += serialText(serial, 2);
            break;
        case kSuffixSerial3:
            name += serialText(serial, 3);
            break;
        default:
            break;
        }
    }
    return name;
}

QString defaultOutputName(const QString& sourceName, const QString& extension)
{
    QString base, sourceExtension;
    getNameAndExtension(sourceName, base, sourceExtension);
    return base + QLatin1Char('.') + extension.toLower();
}

QString safeFileName(const QString& name)
{
    QString safe = name;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    safe.replace(QChar(0), QLatin1Char('_'));
    if (safe.isEmpty() || safe == QLatin1String(".") || safe == QLatin1String(".."))
        safe = QStringLiteral("_");
    return safe;
}

QString getNewFile(const QString& path)
{
    if (!pathTaken(path))
        return path;
    const QFileInfo info(path);
    const QDir folder = info.dir();
    QString base, extension;
    getNameAndExtension(info.fileName(), base, extension);
    for (qint64 n = 1;; ++n) {
        QString name = base + QLatin1Char(' ') + QString::number(n);
        if (!extension.isEmpty())
            name += QLatin1Char('.') + extension;
        const QString candidate = folder.filePath(name);
        if (!pathTaken(candidate))
            return candidate;
    }
}

NameReservation reserveNewFile(const QString& path)
{
    NameReservation result;
    for (int attempt = 0; attempt <= kMaxReservationRaces; ++attempt) {
        const QString candidate = getNewFile(path);
        const int fd = ::open(QFile::encodeName(candidate).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            result.ok = true;
            result.path = candidate;
            return result;
        }
        if (errno != EEXIST) {
            result.error = QStringLiteral("%1: cannot be created: %2")
                               .arg(QDir::toNativeSeparators(candidate),
                                    QString::fromLocal8Bit(std::strerror(errno)));
            return result;
        }
    }
    result.error = QStringLiteral("%1: no free name found; other programs keep creating them")
                       .arg(QDir::toNativeSeparators(path));
    return result;
}

QString existErrorTitle()
{
    return QStringLiteral("File(s) does already exist.");
}

QString existErrorText()
{
    return QStringLiteral(
        "One or more of the files you were trying to add does already exist in the source list.");
}

} // namespace quillon::engine
