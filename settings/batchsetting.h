#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <utility>

class QIODevice;

namespace quillon::settings {

class SettingEditor;
namespace binaryExtras {
class ByteReader;
}

// The kind codes: the value of `type`, the number of the kind's editor page and the tag of the
// kind's records in settings files.
enum SettingKind : int
{
    kFormatKind = 0,
    kScaleKind = 1,
    kNameKind = 2,
    kColorSyncKind = 3,
    kFlipRotateKind = 4,
    kWatermarkKind = 5,
    kRawKind = 6,
    kFTPKind = 7,
};
inline constexpr int kKindCount = 8;
inline constexpr int kLabelCount = 8;

// The name the settings list shows for a kind code ("Format", "Scaling", ...); empty for a code
// outside 0..7. Any thread.
QString kindName(int code);

// The label table, by label index 0..7 (0 = images without a colour label): the colour's name
// ("none", "red", ...), the label picture's file name ("all.png", "red.png", ...) and the Finder
// label number (red 6, orange 7, yellow 5, green 2, blue 4, purple 3, gray 1, none 0). An index
// outside 0..7 gives empty names and Finder label number 0. Any thread.
QString labelColourName(int labelIndex);
QString labelPictureName(int labelIndex);
int finderLabelNumber(int labelIndex);

// One processing step of a batch. The base does the common part of each operation and then runs
// the kind's hook: recallValues/storeValues move the values into and out of the editor,
// writeValues writes the record (kind code, label, then the body) and readValues reads the label
// and the body (the caller has already read the kind code and chose the kind by it).
// Main thread; a running batch reads the fields and nobody changes them meanwhile.
class batchSetting
{
public:
    virtual ~batchSetting() = default;

    int label = 0; // label index 0..7
    int id = 0;    // position in the ordered list that owns the setting
    int type = 0;  // kind code

    void recallValues(SettingEditor& editor);
    void storeValues(SettingEditor& editor);
    // False when the device refused a write or a text is longer than a String can carry.
    bool writeValues(QIODevice& stream) const;
    // Test stream.failed() afterwards: a record cut short leaves the fields partly read.
    void readValues(binaryExtras::ByteReader& stream);
    // The Finder label number of `label`; 0 for a label index outside 0..7.
    int getLabel() const;

    // The kind's fields in declaration order as name and readable value, for dumps and messages.
    virtual QList<std::pair<QString, QString>> describeFields() const = 0;

protected:
    virtual void recall(SettingEditor& editor) {}
    virtual void store(SettingEditor& editor) {}
    virtual bool write(QIODevice& stream) const { return true; }
    virtual void read(binaryExtras::ByteReader& stream) {}
};

using SettingPtr = std::shared_ptr<batchSetting>;

// A new setting of a kind code with its constructor's defaults, `type` set to the code and
// `label` and `id` at 0; null for a code outside 0..7. Main thread.
SettingPtr createSetting(int code);

} // namespace quillon::settings
