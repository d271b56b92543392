// The stream bodies of the eight kinds and their readable field lists. The body order is the
// order stored files use, which is not always the order the fields are declared in.

#include "settings/settingkinds.h"

#include "settings/binaryextras.h"
#include "settings/globals.h"

#include <QFileInfo>

namespace quillon::settings {

using namespace binaryExtras;

namespace {

const QString kNil = QStringLiteral("nil");

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        if (c.unicode() < 0x20)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

using Fields = QList<std::pair<QString, QString>>;

void add(Fields& fields, const char* name, int value)
{
    fields.append({QString::fromLatin1(name), QString::number(value)});
}
void add(Fields& fields, const char* name, bool value)
{
    fields.append({QString::fromLatin1(name), boolText(value)});
}
void add(Fields& fields, const char* name, const QString& value)
{
    fields.append({QString::fromLatin1(name), quoted(value)});
}
void add(Fields& fields, const QString& name, int value)
{
    fields.append({name, QString::number(value)});
}
void add(Fields& fields, const QString& name, const QString& value)
{
    fields.append({name, quoted(value)});
}

QString element(const char* name, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

} // namespace

// formatSetting

formatSetting::formatSetting() : exporter(std::make_shared<ExporterHandle>(QStringLiteral("JPEG")))
{}

bool formatSetting::write(QIODevice& stream) const
{
    // An unopened handle is written as "nil" too, so it reads back unopened.
    const QString text = exporter && exporter->isOpen() ? exporter->settings() : kNil;
    return writeString(stream, text) && writeShort(stream, format);
}

void formatSetting::read(ByteReader& stream)
{
    const QString text = stream.readString();
    format = stream.readShort();
    if (text.compare(kNil, Qt::CaseInsensitive) == 0) {
        exporter = std::make_shared<ExporterHandle>();
    } else {
        exporter = std::make_shared<ExporterHandle>(getFormat(format));
        exporter->setSettings(text);
    }
}

Fields formatSetting::describeFields() const
{
    Fields fields;
    add(fields, "format", format);
    if (exporter && exporter->isOpen()) {
        add(fields, "exporter", exporter->type());
        add(fields, "exporterSettings", exporter->settings());
    } else {
        fields.append({QStringLiteral("exporter"), QStringLiteral("(not opened)")});
    }
    return fields;
}

// scaleSetting

bool scaleSetting::write(QIODevice& stream) const
{
    return writeBoolean(stream, constrainProportions) && writeShort(stream, height) &&
           writeShort(stream, mode) && writeBoolean(stream, resKeepScale) &&
           writeShort(stream, resolution) && writeBoolean(stream, setResolution) &&
           writeShort(stream, width);
}

void scaleSetting::read(ByteReader& stream)
{
    constrainProportions = stream.readBoolean();
    height = stream.readShort();
    mode = stream.readShort();
    resKeepScale = stream.readBoolean();
    resolution = stream.readShort();
    setResolution = stream.readBoolean();
    width = stream.readShort();
}

Fields scaleSetting::describeFields() const
{
    Fields fields;
    add(fields, "mode", mode);
    add(fields, "constrainProportions", constrainProportions);
    add(fields, "width", width);
    add(fields, "height", height);
    add(fields, "setResolution", setResolution);
    add(fields, "resolution", resolution);
    add(fields, "resKeepScale", resKeepScale);
    return fields;
}

// nameSetting

bool nameSetting::write(QIODevice& stream) const
{
    if (!writeBoolean(stream, nameSeparator))
        return false;
    for (int i = 0; i < kParts; ++i) {
        const auto n = size_t(i);
        if (!(writeShort(stream, prefixMode[n]) && writeString(stream, prefixString[n]) &&
              writeShort(stream, suffixMode[n]) && writeString(stream, suffixString[n])))
            return false;
    }
    return true;
}

void nameSetting::read(ByteReader& stream)
{
    nameSeparator = stream.readBoolean();
    for (size_t n = 0; n < size_t(kParts); ++n) {
        prefixMode[n] = stream.readShort();
        prefixString[n] = stream.readString();
        suffixMode[n] = stream.readShort();
        suffixString[n] = stream.readString();
    }
}

Fields nameSetting::describeFields() const
{
    Fields fields;
    for (int i = 0; i < kParts; ++i)
        add(fields, element("suffixMode", i), suffixMode[size_t(i)]);
    for (int i = 0; i < kParts; ++i)
        add(fields, element("prefixMode", i), prefixMode[size_t(i)]);
    for (int i = 0; i < kParts; ++i)
        add(fields, element("suffixString", i), suffixString[size_t(i)]);
    for (int i = 0; i < kParts; ++i)
        add(fields, element("prefixString", i), prefixString[size_t(i)]);
    add(fields, "nameSeparator", nameSeparator);
    return fields;
}

// colorsyncSetting

bool colorsyncSetting::write(QIODevice& stream) const
{
    return writeShort(stream, colorSyncProfile) && writeShort(stream, colorSyncProfileMode);
}

void colorsyncSetting::read(ByteReader& stream)
{
    colorSyncProfile = stream.readShort();
    colorSyncProfileMode = stream.readShort();
}

Fields colorsyncSetting::describeFields() const
{
    Fields fields;
    add(fields, "colorSyncProfileMode", colorSyncProfileMode);
    add(fields, "colorSyncProfile", colorSyncProfile);
    return fields;
}

// flipRotateSetting

bool flipRotateSetting::write(QIODevice& stream) const
{
    return writeBoolean(stream, flip) && writeShort(stream, flipMode) &&
           writeBoolean(stream, rotate) && writeShort(stream, rotateMode);
}

void flipRotateSetting::read(ByteReader& stream)
{
    flip = stream.readBoolean();
    flipMode = stream.readShort();
    rotate = stream.readBoolean();
    rotateMode = stream.readShort();
}

Fields flipRotateSetting::describeFields() const
{
    Fields fields;
    add(fields, "flip", flip);
    add(fields, "rotate", rotate);
    add(fields, "flipMode", flipMode);
    add(fields, "rotateMode", rotateMode);
    return fields;
}

// watermarkSetting

bool watermarkSetting::write(QIODevice& stream) const
{
    const QString text = wmFile.isEmpty() ? kNil : QFileInfo(wmFile).absoluteFilePath();
    return writeString(stream, text) && writeShort(stream, wmPlacement);
}

void watermarkSetting::read(ByteReader& stream)
{
    const QString text = stream.readString();
    wmPlacement = stream.readShort();
    if (stream.failed() || text.compare(kNil, Qt::CaseInsensitive) == 0)
        return;
    // A path that is not absolute or names no existing file leaves the previous choice; one
    // with a NUL in it names no file at all.
    if (text.contains(QChar(u'\0')))
        return;
    const QFileInfo info(text);
    if (info.isAbsolute() && info.isFile())
        wmFile = info.absoluteFilePath();
}

Fields watermarkSetting::describeFields() const
{
    Fields fields;
    if (wmFile.isEmpty())
        fields.append({QStringLiteral("wmFile"), QStringLiteral("(none)")});
    else
        add(fields, "wmFile", wmFile);
    add(fields, "wmPlacement", wmPlacement);
    return fields;
}

// rawSetting

bool rawSetting::write(QIODevice& stream) const
{
    return writeShort(stream, rawBlue) && writeShort(stream, rawBrightness) &&
           writeShort(stream, rawRed) && writeShort(stream, rawWhiteBalance);
}

void rawSetting::read(ByteReader& stream)
{
    rawBlue = stream.readShort();
    rawBrightness = stream.readShort();
    rawRed = stream.readShort();
    rawWhiteBalance = stream.readShort();
}

Fields rawSetting::describeFields() const
{
    Fields fields;
    add(fields, "rawWhiteBalance", rawWhiteBalance);
    add(fields, "rawRed", rawRed);
    add(fields, "rawBlue", rawBlue);
    add(fields, "rawBrightness", rawBrightness);
    return fields;
}

// FTPSetting

bool FTPSetting::write(QIODevice& stream) const
{
    return writeBoolean(stream, dontSaveImages) && writeString(stream, password) &&
           writeString(stream, path) && writeShort(stream, port) && writeString(stream, server) &&
           writeString(stream, user);
}

void FTPSetting::read(ByteReader& stream)
{
    dontSaveImages = stream.readBoolean();
    password = stream.readString();
    path = stream.readString();
    port = stream.readShort();
    server = stream.readString();
    user = stream.readString();
}

Fields FTPSetting::describeFields() const
{
    Fields fields;
    add(fields, "dontSaveImages", dontSaveImages);
    add(fields, "port", port);
    add(fields, "path", path);
    add(fields, "password", password);
    add(fields, "user", user);
    add(fields, "server", server);
    return fields;
}

} // namespace quillon::settings
