// How the setting kinds move their values into and out of the editor: conversions, the order in
// which controls are set, and the exporter and watermark file shared with the editor.

#include "settings/globals.h"
#include "settings/settingeditor.h"
#include "settings/settingkinds.h"

#include <QMap>
#include <QTest>

using namespace quillon::settings;
using C = EditorControl;

namespace {

// An editor that keeps control values in maps and notes every change, in order. Like the real
// pages it runs change handlers: choosing a format opens a fresh exporter for it, and choosing
// a prefix mode writes that mode's own text into the prefix field.
class RecordingEditor : public SettingEditor
{
public:
    using Key = std::pair<C, int>;

    QMap<Key, int> popups;
    QMap<Key, bool> checks;
    QMap<Key, QString> texts;
    QMap<Key, int> sliders;
    ExporterPtr m_exporter;
    QString m_wmFile;
    QStringList calls;

    int popupPosition(C control, int index = 0) const override
    {
        return popups.value({control, index}, -1);
    }
    void setPopupPosition(C control, int position, int index = 0) override
    {
        calls << QStringLiteral("popup %1[%2]=%3").arg(int(control)).arg(index).arg(position);
        popups[{control, index}] = position;
        if (control == C::formatMenu)
            m_exporter = std::make_shared<ExporterHandle>(getFormat(position));
        if (control == C::prePop)
            texts[{C::preField, index}] = QStringLiteral("handler text %1").arg(position);
    }
    bool isChecked(C control, int index = 0) const override
    {
        return checks.value({control, index});
    }
    void setChecked(C control, bool checked, int index = 0) override
    {
        calls << QStringLiteral("check %1[%2]=%3").arg(int(control)).arg(index).arg(checked);
        checks[{control, index}] = checked;
    }
    QString text(C control, int index = 0) const override { return texts.value({control, index}); }
    void setText(C control, const QString& text, int index = 0) override
    {
        calls << QStringLiteral("text %1[%2]=%3").arg(int(control)).arg(index).arg(text);
        texts[{control, index}] = text;
    }
    int sliderValue(C control) const override { return sliders.value({control, 0}); }
    void setSliderValue(C control, int value) override
    {
        calls << QStringLiteral("slider %1=%2").arg(int(control)).arg(value);
        sliders[{control, 0}] = value;
    }
    ExporterPtr exporter() const override { return m_exporter; }
    void setExporter(ExporterPtr exporter) override
    {
        calls << QStringLiteral("exporter");
        m_exporter = std::move(exporter);
    }
    QString wmFile() const override { return m_wmFile; }
    void setWmFile(const QString& path) override
    {
        calls << QStringLiteral("wmFile=%1").arg(path);
        m_wmFile = path;
    }
};

QString popup(C c, int v, int i = 0)
{
    return QStringLiteral("popup %1[%2]=%3").arg(int(c)).arg(i).arg(v);
}
QString check(C c, bool v, int i = 0)
{
    return QStringLiteral("check %1[%2]=%3").arg(int(c)).arg(i).arg(v);
}
QString text(C c, const QString& v, int i = 0)
{
    return QStringLiteral("text %1[%2]=%3").arg(int(c)).arg(i).arg(v);
}
QString slider(C c, int v)
{
    return QStringLiteral("slider %1=%2").arg(int(c)).arg(v);
}

} // namespace

class tst_SettingBinding : public QObject
{
    Q_OBJECT

private slots:
    void textToInteger_data();
    void textToInteger();
    void scaleOrderAndConversion();
    void formatSharesExporter();
    void namePrefixTextWins();
    void colorSyncRadioPair_data();
    void colorSyncRadioPair();
    void rawWhiteBalance_data();
    void rawWhiteBalance();
    void watermarkFile();
    void flipRotateOrder();
    void ftpPort();
};

void tst_SettingBinding::textToInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("fraction cut off") << "12.9" << 12;
    QTest::newRow("letters give 0") << "abc" << 0;
    QTest::newRow("negative") << "-5" << -5;
    QTest::newRow("negative fraction toward zero") << "-5.9" << -5;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("leading blanks") << "  42" << 42;
    QTest::newRow("trailing text ignored") << "300dpi" << 300;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("sign alone") << "-" << 0;
    QTest::newRow("fraction without whole part") << ".5" << 0;
    QTest::newRow("beyond 32 bits clamps") << "99999999999" << 2147483647;
    QTest::newRow("below 32 bits clamps") << "-99999999999" << int(-2147483648LL);
}

void tst_SettingBinding::textToInteger()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(quillon::settings::textToInteger(text), value);
}

void tst_SettingBinding::scaleOrderAndConversion()
{
    scaleSetting item;
    item.mode = 1;
    item.width = -5;
    RecordingEditor editor;
    item.recallValues(editor);
    // Percent mode shows in both unit menus, then the other controls in their order.
    QCOMPARE(editor.calls,
             (QStringList{popup(C::scalingMenu1, 1), popup(C::scalingMenu2, 1),
                          check(C::scalingCPCheckBox, true), text(C::widthField, "-5"),
                          text(C::heightField, "100"), check(C::resolutionCheckBox, false),
                          text(C::resField, "300"), check(C::keepScaleCheckBox, false)}));

    editor.texts[{C::widthField, 0}] = QStringLiteral("12.9");
    editor.texts[{C::heightField, 0}] = QStringLiteral("abc");
    editor.texts[{C::resField, 0}] = QStringLiteral("-5");
    editor.popups[{C::scalingMenu1, 0}] = 0;
    editor.popups[{C::scalingMenu2, 0}] = 1; // only the first unit menu is read
    editor.checks[{C::keepScaleCheckBox, 0}] = true;
    item.storeValues(editor);
    QCOMPARE(item.width, 12);
    QCOMPARE(item.height, 0);
    QCOMPARE(item.resolution, -5);
    QCOMPARE(item.mode, 0);
    QCOMPARE(item.resKeepScale, true);
}

void tst_SettingBinding::formatSharesExporter()
{
    formatSetting item;
    item.format = 2;
    item.exporter = std::make_shared<ExporterHandle>(getFormat(2));
    item.exporter->setSettings(QStringLiteral("compression=lzw"));
    const ExporterPtr own = item.exporter;

    RecordingEditor editor;
    item.recallValues(editor);
    // The menu's handler opened a fresh exporter; the setting's own one replaced it.
    QCOMPARE(editor.calls, (QStringList{popup(C::formatMenu, 2), QStringLiteral("exporter")}));
    QCOMPARE(editor.exporter(), own);

    // Options changed through the editor act on the setting, before and after a store.
    editor.exporter()->setSettings(QStringLiteral("compression=none"));
    QCOMPARE(item.exporter->settings(), QStringLiteral("compression=none"));
    item.storeValues(editor);
    QCOMPARE(item.exporter, own);
    editor.exporter()->setSettings(QStringLiteral("compression=zip"));
    item.storeValues(editor);
    QCOMPARE(item.exporter->settings(), QStringLiteral("compression=zip"));

    // Choosing another format in the editor gives the setting the fresh exporter at store.
    editor.setPopupPosition(C::formatMenu, 8, 0);
    item.storeValues(editor);
    QCOMPARE(item.format, 8);
    QCOMPARE(item.exporter->type(), QStringLiteral("PNGf"));
    QVERIFY(item.exporter != own);
}

void tst_SettingBinding::namePrefixTextWins()
{
    nameSetting item;
    item.prefixMode = {0, 5, 5};
    item.prefixString = {QStringLiteral("Holiday "), QStringLiteral("None"),
                         QStringLiteral("None")};
    RecordingEditor editor;
    item.recallValues(editor);
    QCOMPARE(editor.text(C::preField, 0), QStringLiteral("Holiday "));
    QCOMPARE(editor.calls.size(), 13);
    QCOMPARE(editor.calls.first(), popup(C::sufPop, 1, 0));
    QCOMPARE(editor.calls[3], text(C::sufField, "Extension", 0));
    QCOMPARE(editor.calls[6], popup(C::prePop, 0, 0));
    QCOMPARE(editor.calls[9], text(C::preField, "Holiday ", 0));
    QCOMPARE(editor.calls.last(), check(C::separatorCheckBox, true));

    nameSetting back;
    back.prefixString = {};
    back.storeValues(editor);
    QCOMPARE(back.prefixMode, item.prefixMode);
    QCOMPARE(back.suffixMode, item.suffixMode);
    QCOMPARE(back.prefixString, item.prefixString);
    QCOMPARE(back.suffixString, item.suffixString);
    QCOMPARE(back.nameSeparator, true);
}

void tst_SettingBinding::colorSyncRadioPair_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("original");
    QTest::addColumn<int>("storedBack");
    QTest::newRow("0 keeps the original profile") << 0 << true << 0;
    QTest::newRow("1 uses the chosen profile") << 1 << false << 1;
    QTest::newRow("any other value counts as chosen") << 4 << false << 1;
}

void tst_SettingBinding::colorSyncRadioPair()
{
    QFETCH(int, mode);
    QFETCH(bool, original);
    QFETCH(int, storedBack);
    colorsyncSetting item;
    item.colorSyncProfileMode = mode;
    item.colorSyncProfile = 5;
    RecordingEditor editor;
    item.recallValues(editor);
    QCOMPARE(editor.calls,
             (QStringList{check(C::colorSyncRadioButton1, original),
                          check(C::colorSyncRadioButton2, !original), popup(C::colorSyncMenu, 5)}));
    colorsyncSetting back;
    back.storeValues(editor);
    QCOMPARE(back.colorSyncProfileMode, storedBack);
    QCOMPARE(back.colorSyncProfile, 5);
}

void tst_SettingBinding::rawWhiteBalance_data()
{
    QTest::addColumn<int>("balance");
    QTest::addColumn<bool>("none");
    QTest::addColumn<bool>("camera");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("storedBack");
    QTest::newRow("0 None") << 0 << true << false << false << 0;
    QTest::newRow("1 Auto") << 1 << false << false << true << 1;
    QTest::newRow("2 Camera") << 2 << false << true << false << 2;
    QTest::newRow("other values show Camera") << 9 << false << true << false << 2;
}

void tst_SettingBinding::rawWhiteBalance()
{
    QFETCH(int, balance);
    QFETCH(bool, none);
    QFETCH(bool, camera);
    QFETCH(bool, automatic);
    QFETCH(int, storedBack);
    rawSetting item;
    item.rawWhiteBalance = balance;
    item.rawRed = 10;
    item.rawBlue = 20;
    item.rawBrightness = 137;
    RecordingEditor editor;
    item.recallValues(editor);
    QCOMPARE(editor.calls,
             (QStringList{check(C::rawWBButton1, none), check(C::rawWBButton2, camera),
                          check(C::rawWBButton3, automatic), slider(C::rawRedSlider, 10),
                          slider(C::rawBlueSlider, 20), slider(C::rawBrightnessSlider, 137)}));
    rawSetting back;
    back.storeValues(editor);
    QCOMPARE(back.rawWhiteBalance, storedBack);
    QCOMPARE(back.rawRed, 10);
    QCOMPARE(back.rawBlue, 20);
    QCOMPARE(back.rawBrightness, 137);
}

void tst_SettingBinding::watermarkFile()
{
    RecordingEditor editor;
    watermarkSetting with;
    with.wmFile = QStringLiteral("/pictures/mark.png");
    with.wmPlacement = 4;
    with.recallValues(editor);
    QCOMPARE(editor.calls,
             (QStringList{QStringLiteral("wmFile=/pictures/mark.png"),
                          text(C::wmFileField, "mark.png"), popup(C::wmPlaceMenu, 4)}));

    // A setting without a file clears both the editor's file and the field.
    watermarkSetting without;
    without.recallValues(editor);
    QVERIFY(editor.wmFile().isEmpty());
    QVERIFY(editor.text(C::wmFileField).isEmpty());

    editor.setWmFile(QStringLiteral("/pictures/other.png"));
    editor.setPopupPosition(C::wmPlaceMenu, 2, 0);
    without.storeValues(editor);
    QCOMPARE(without.wmFile, QStringLiteral("/pictures/other.png"));
    QCOMPARE(without.wmPlacement, 2);
}

void tst_SettingBinding::flipRotateOrder()
{
    flipRotateSetting item;
    item.flip = true;
    item.rotateMode = 2;
    RecordingEditor editor;
    item.recallValues(editor);
    QCOMPARE(editor.calls,
             (QStringList{check(C::flipCheckBox, true), check(C::rotateCheckBox, false),
                          popup(C::flipMenu, 0), popup(C::rotateMenu, 2)}));
    flipRotateSetting back;
    back.storeValues(editor);
    QCOMPARE(back.flip, true);
    QCOMPARE(back.rotate, false);
    QCOMPARE(back.rotateMode, 2);
}

void tst_SettingBinding::ftpPort()
{
    FTPSetting first;
    first.server = QStringLiteral("ftp.example.org");
    first.user = QStringLiteral("anna");
    first.password = QStringLiteral("pw");
    first.path = QStringLiteral("/in");
    first.port = 2121;
    first.dontSaveImages = true;
    RecordingEditor editor;
    first.recallValues(editor);
    QCOMPARE(editor.calls,
             (QStringList{text(C::serverField, "ftp.example.org"), text(C::userField, "anna"),
                          text(C::passwordField, "pw"), text(C::pathField, "/in"),
                          text(C::portField, "2121"), check(C::dontSaveCheckBox, true)}));

    // Port 0 shows no number, and the port of the setting shown before is not carried over.
    FTPSetting second;
    second.recallValues(editor);
    QVERIFY(editor.text(C::portField).isEmpty());
    second.storeValues(editor);
    QCOMPARE(second.port, 0);

    editor.setText(C::portField, QStringLiteral("21x"), 0);
    second.storeValues(editor);
    QCOMPARE(second.port, 21);
}

QTEST_GUILESS_MAIN(tst_SettingBinding)
#include "tst_settingbinding.moc"
