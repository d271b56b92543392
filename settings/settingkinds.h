#pragma once

#include "settings/batchsetting.h"
#include "settings/exporterhandle.h"

#include <array>

namespace quillon::settings {

// The eight kinds of setting. Fields without a default below start at zero, false,
// empty text or no object. Main thread, like batchSetting.

// Code 0: the output format of a label group; heads the group.
class formatSetting : public batchSetting
{
public:
    formatSetting();

    int format = 0;       // output format code 0..10 (see getFormat)
    ExporterPtr exporter; // a new formatSetting holds a handle opened for "JPEG"

    QList<std::pair<QString, QString>> describeFields() const override;

protected:
    void recall(SettingEditor& editor) override;
    void store(SettingEditor& editor) override;
    bool write(QIODevice& stream) const override;
    void read(binaryExtras::ByteReader& stream) override;
};

// Code 1: scaling.
class scaleSetting : public batchSetting
{
public:
    int mode = 0; // 0 pixels, 1 percent
    bool constrainProportions = true;
    int width = 400;
    int height = 100;
    bool setResolution = false;
    int resolution = 300;
    bool resKeepScale = false;

    QList<std::pair<QString, QString>> describeFields() const override;

protected:
    void recall(SettingEditor& editor) override;
    void store(SettingEditor& editor) override;
    bool write(QIODevice& stream) const override;
    void read(binaryExtras::ByteReader& stream) override;
};

// Code 2: the output file name, three prefix and three suffix parts around the source's name.
class nameSetting : public batchSetting
{
public:
    static constexpr int kParts = 3;

    std::array<int, kParts> suffixMode = {1, 6, 6};
    std::array<int, kParts> prefixMode = {5, 5, 5};
    std::array<QString, kParts> suffixString = {QStringLiteral("Extension"), QStringLiteral("None"),
                                                QStringLiteral("None")};
    std::array<QString, kParts> prefixString = {QStringLiteral("None"), QStringLiteral("None"),
                                                QStringLiteral("None")};
    bool nameSeparator = true;

    QList<std::pair<QString, QString>> describeFields() const override;

protected:
    void recall(SettingEditor& editor) override;
    void store(SettingEditor& editor) override;
    bool write(QIODevice& stream) const override;
    void read(binaryExtras::ByteReader& stream) override;
};

// Code 3: the colour profile.
class colorsyncSetting : public batchSetting
{
public:
    int colorSyncProfileMode = 0; // 0 keep the image's profile, 1 use colorSyncProfile
    int colorSyncProfile = 0;     // position in the editor's profile menu

    QList<std::pair<QString, QString>> describeFields() const override;

protected:
    void recall(SettingEditor& editor) override;
    void store(SettingEditor& editor) override;
    bool write(QIODevice& stream) const override;
    void read(binaryExtras::ByteReader& stream) override;
};

// Code 4: flip and rotate.
class flipRotateSetting : public batchSetting
{
public:
    bool flip = false;
    bool rotate = false;
    int flipMode = 0;   // 0 vertical, 1 horizontal
    int rotateMode = 0; // 0 90° clockwise, 1 90° counter-clockwise, 2 180°

    QList<std::pair<QString, QString>> describeFields() const override;

protected:
    void recall(SettingEditor& editor) override;
    void store(SettingEditor& editor) override;
    bool write(QIODevice& stream) const override;
    void read(binaryExtras::ByteReader& stream) override;
};

// Code 5: the watermark.
class watermarkSetting : public batchSetting
{
public:
    QString wmFile;      // absolute path of the watermark picture; empty = none
    int wmPlacement = 0; // 0 top left, 1 top right, 2 center, 3 bottom left, 4 bottom right

    QList<std::pair<QString, QString>> describeFields() const override;

protected:
    void recall(SettingEditor& editor) override;
    void store(SettingEditor& editor) override;
    bool write(QIODevice& stream) const override;
    void read(binaryExtras::ByteReader& stream) override;
};

// Code 6: camera raw decoding.
class rawSetting : public batchSetting
{
public:
    int rawWhiteBalance = 0; // 0 none, 1 auto, 2 camera
    int rawRed = 68;         // slider positions 0..137; 68 is neutral
    int rawBlue = 68;
    int rawBrightness = 68;

    QList<std::pair<QString, QString>> describeFields() const override;

protected:
    void recall(SettingEditor& editor) override;
    void store(SettingEditor& editor) override;
    bool write(QIODevice& stream) const override;
    void read(binaryExtras::ByteReader& stream) override;
};

// Code 7: FTP upload of every output file.
class FTPSetting : public batchSetting
{
public:
    bool dontSaveImages = false;
    int port = 0; // 0 = the FTP program's default port
    QString path;
    QString password; // plain text, as stored in settings files
    QString user;
    QString server;

    QList<std::pair<QString, QString>> describeFields() const override;

protected:
    void recall(SettingEditor& editor) override;
    void store(SettingEditor& editor) override;
    bool write(QIODevice& stream) const override;
    void read(binaryExtras::ByteReader& stream) override;
};

} // namespace quillon::settings
