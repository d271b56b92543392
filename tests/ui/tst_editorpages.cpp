// The main window's editor pages driven through their real widgets: enabling rules, derived
// texts, the file-name example, and the binding that stores and recalls every kind.

#include "engine/codecs/codecregistry.h"
#include "engine/imageservices/colorprofiles.h"
#include "mainwindowdriver.h"
#include "settings/globals.h"
#include "settings/settingkinds.h"
#include "ui/main/labelwindow.h"
#include "ui/main/mainwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

using namespace quillon;
using namespace quillon::settings;
using quillon::ui::mainWindow;

class tst_EditorPages : public QObject, protected MainWindowDriver
{
    Q_OBJECT

private slots:
    void init() { open(); }
    void cleanup() { close(); }

    void formatMenuEnablesOptions();
    void switchingFormatDropsOptions();
    void scalingRules();
    void sliderTexts_data();
    void sliderTexts();
    void colorSyncAndFlipRules();
    void profileMenuListsInstalledProfiles();
    void watermarkChooser();
    void exampleName_data();
    void exampleName();
    void modeSwitchRewritesTheField();
    void roundTrip_data();
    void roundTrip();
    void recallEdgeCases();
    void sharedExporterSurvivesAStore();
    void pagesSharedBySettingsOfOneKind();
};

// The pages' own rules

void tst_EditorPages::formatMenuEnablesOptions()
{
    auto* format = child<QComboBox>(QStringLiteral("formatMenu"));
    auto* options = child<QPushButton>(QStringLiteral("optionsButton"));
    QStringList without;
    for (int row = 0; row < format->count(); ++row) {
        format->setCurrentIndex(row);
        QCOMPARE(m_window->exporter()->type(), getFormat(row));
        if (!options->isEnabled())
            without << format->currentText();
    }
    // Exactly the formats whose writer has no options to offer.
    QStringList expected;
    for (const engine::codecs::CodecInfo& codec : engine::codecs::codecs()) {
        if (!codec.optionsDialog)
            expected << QString::fromUtf8(codec.menuEntry);
    }
    QCOMPARE(without, expected);
    QVERIFY(without.contains(QStringLiteral("Maya IFF")));
    format->setCurrentIndex(format->findText(QStringLiteral("Maya IFF")));
    QVERIFY(!options->isEnabled());
    format->setCurrentIndex(format->findText(QStringLiteral("PNG")));
    QVERIFY(options->isEnabled());
}

void tst_EditorPages::switchingFormatDropsOptions()
{
    auto* format = child<QComboBox>(QStringLiteral("formatMenu"));
    m_window->exporter()->setSettings(QStringLiteral("quality=40"));
    const ExporterPtr before = m_window->exporter();
    format->setCurrentIndex(8);
    format->setCurrentIndex(0);
    QVERIFY(m_window->exporter() != before);
    QCOMPARE(m_window->exporter()->settings(), QString());
    QCOMPARE(m_window->exporter()->type(), QStringLiteral("JPEG"));
}

void tst_EditorPages::scalingRules()
{
    add(QStringLiteral("Scaling"));
    auto* keep = child<QCheckBox>(QStringLiteral("keepScaleCheckBox"));
    auto* constrain = child<QCheckBox>(QStringLiteral("scalingCPCheckBox"));
    auto* resolution = child<QCheckBox>(QStringLiteral("resolutionCheckBox"));
    auto* resField = child<QLineEdit>(QStringLiteral("resField"));
    auto* widthText = child<QLabel>(QStringLiteral("widthText"));
    const QStringList inBox = {"widthText",   "widthField",   "scalingMenu1",     "heightText",
                               "heightField", "scalingMenu2", "scalingCPCheckBox"};
    auto enabled = [&] {
        QStringList on;
        for (const QString& name : inBox) {
            if (child<QWidget>(name)->isEnabled())
                on << name;
        }
        return on;
    };
    const QStringList constrained = {"widthText", "widthField", "scalingMenu1",
                                     "scalingCPCheckBox"};
    QCOMPARE(enabled(), constrained);
    QCOMPARE(widthText->text(), QStringLiteral("Size:"));
    QVERIFY(!resField->isEnabled());

    toggle(keep);
    QCOMPARE(enabled(), QStringList());
    toggle(keep);
    QCOMPARE(enabled(), constrained);

    toggle(constrain);
    QCOMPARE(enabled(), inBox);
    QCOMPARE(widthText->text(), QStringLiteral("Width:"));

    toggle(resolution);
    QVERIFY(resField->isEnabled());

    child<QComboBox>(QStringLiteral("scalingMenu2"))->setCurrentIndex(1);
    QCOMPARE(child<QComboBox>(QStringLiteral("scalingMenu1"))->currentText(),
             QStringLiteral("Percent"));
    child<QComboBox>(QStringLiteral("scalingMenu1"))->setCurrentIndex(0);
    QCOMPARE(child<QComboBox>(QStringLiteral("scalingMenu2"))->currentText(),
             QStringLiteral("Pixels"));
}

void tst_EditorPages::sliderTexts_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("one above the middle") << 69 << "+.01";
    QTest::newRow("one below the middle") << 67 << "-.01";
    QTest::newRow("a quarter") << 34 << "-.50";
    QTest::newRow("three quarters") << 102 << "+.50";
    QTest::newRow("lowest") << 0 << "-1.00";
    QTest::newRow("136") << 136 << "+1.00";
    QTest::newRow("highest is capped") << 137 << "+1.00";
}

void tst_EditorPages::sliderTexts()
{
    QFETCH(int, value);
    QFETCH(QString, text);
    add(QStringLiteral("Raw"));
    const std::pair<const char*, const char*> sliders[] = {{"rawRedSlider", "RedText"},
                                                           {"rawBlueSlider", "BlueText"},
                                                           {"rawBrightnessSlider", "BrightText"}};
    for (const auto& [slider, label] : sliders) {
        child<QSlider>(QString::fromLatin1(slider))->setValue(value);
        QCOMPARE(child<QLabel>(QString::fromLatin1(label))->text(), text);
    }
}

void tst_EditorPages::colorSyncAndFlipRules()
{
    add(QStringLiteral("ColorSync"));
    auto* menu = child<QComboBox>(QStringLiteral("colorSyncMenu"));
    QVERIFY(!menu->isEnabled());
    toggle(child<QRadioButton>(QStringLiteral("colorSyncRadioButton2")));
    QVERIFY(menu->isEnabled());
    const int row = menu->currentIndex();
    toggle(child<QRadioButton>(QStringLiteral("colorSyncRadioButton1")));
    QVERIFY(!menu->isEnabled());
    QCOMPARE(menu->currentIndex(), row);

    add(QStringLiteral("Flip & Rotate"));
    for (const char* name : {"flip", "rotate"}) {
        auto* box = child<QCheckBox>(QString::fromLatin1(name) + QStringLiteral("CheckBox"));
        auto* popup = child<QComboBox>(QString::fromLatin1(name) + QStringLiteral("Menu"));
        QVERIFY(!popup->isEnabled());
        toggle(box);
        QVERIFY(popup->isEnabled());
        toggle(box);
        QVERIFY(!popup->isEnabled());
    }
}

void tst_EditorPages::profileMenuListsInstalledProfiles()
{
    // One profile of our own in the user's profile folder, so there is always one to choose.
    const QString folder = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/icc");
    QVERIFY(QDir().mkpath(folder));
    QFile file(folder + QStringLiteral("/quillon-test.icc"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(engine::builtInSrgbProfile());
    file.close();
    const engine::ColorProfiles profiles = engine::ColorProfiles::load();
    QVERIFY(profiles.count() >= 2);

    m_window = std::make_unique<mainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    auto* menu = child<QComboBox>(QStringLiteral("colorSyncMenu"));
    QStringList rows;
    for (int i = 0; i < menu->count(); ++i)
        rows << menu->itemText(i);
    QStringList names;
    for (int number = 1; number < profiles.count(); ++number)
        names << profiles.name(number);
    QCOMPARE(rows, names);
    QCOMPARE(menu->currentIndex(), 0);

    // The chosen row is what the setting keeps.
    add(QStringLiteral("ColorSync"));
    toggle(child<QRadioButton>(QStringLiteral("colorSyncRadioButton2")));
    menu->setCurrentIndex(menu->count() - 1);
    clickRow(list()->topLevelItem(0));
    const auto& colour = m_window->store().colorsync.at(0);
    QCOMPARE(colour->colorSyncProfileMode, 1);
    QCOMPARE(colour->colorSyncProfile, menu->count() - 1);
    menu->setCurrentIndex(0);
    clickRow(list()->topLevelItem(0)->child(0));
    QCOMPARE(menu->currentIndex(), colour->colorSyncProfile);
    QVERIFY(menu->isEnabled());
}

void tst_EditorPages::watermarkChooser()
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("mark.png"));
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QVERIFY(image.save(picture));
    add(QStringLiteral("Watermark"));
    auto* field = child<QLineEdit>(QStringLiteral("wmFileField"));
    auto choose = [&](bool accept) {
        QTest::mouseClick(child<QPushButton>(QStringLiteral("wmSelectButton")), Qt::LeftButton);
        auto* dialog = m_window->findChild<QFileDialog*>(QStringLiteral("wmFileDialog"));
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Select a PNG file."));
        QCOMPARE(dialog->mimeTypeFilters(), QStringList({"image/png"}));
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        if (accept) {
            dialog->setDirectory(dir.path());
            dialog->selectFile(picture);
            static_cast<QDialog*>(dialog)->accept();
        } else {
            dialog->reject();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    choose(true);
    QCOMPARE(field->text(), QStringLiteral("mark.png"));
    QCOMPARE(m_window->wmFile(), QFileInfo(picture).absoluteFilePath());
    choose(false);
    QCOMPARE(field->text(), QStringLiteral("mark.png"));
    clickRow(list()->topLevelItem(0));
    QCOMPARE(m_window->store().watermark.at(0)->wmFile, QFileInfo(picture).absoluteFilePath());
}

// The File Name page

void tst_EditorPages::exampleName_data()
{
    // Modes and texts by row: prefix 0..2, suffix 0..2; the separator; the example.
    QTest::addColumn<QList<int>>("prefixModes");
    QTest::addColumn<QStringList>("prefixTexts");
    QTest::addColumn<QList<int>>("suffixModes");
    QTest::addColumn<QStringList>("suffixTexts");
    QTest::addColumn<bool>("separator");
    QTest::addColumn<QString>("example");
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    const QList<int> noPrefix = {5, 5, 5};
    const QList<int> extension = {1, 6, 6};
    QTest::newRow("defaults") << noPrefix << QStringList() << extension << QStringList() << true
                              << "MyFile.jpg";
    QTest::newRow("date prefix") << QList<int>{1, 5, 5} << QStringList() << extension
                                 << QStringList() << true << today + "_MyFile.jpg";
    QTest::newRow("text and serial") << QList<int>{0, 3, 5} << QStringList{"Trip"} << extension
                                     << QStringList() << true << "Trip_01_MyFile.jpg";
    QTest::newRow("text and serial without separator")
        << QList<int>{0, 3, 5} << QStringList{"Trip"} << extension << QStringList() << false
        << "Trip01MyFile.jpg";
    QTest::newRow("empty user text keeps its separator")
        << QList<int>{0, 5, 5} << QStringList() << extension << QStringList() << true
        << "_MyFile.jpg";
    QTest::newRow("suffix text then extension") << noPrefix << QStringList() << QList<int>{0, 1, 6}
                                                << QStringList{"-web"} << true << "MyFile-web.jpg";
    QTest::newRow("extension then 3 digits") << noPrefix << QStringList() << QList<int>{1, 5, 6}
                                             << QStringList() << true << "MyFile.jpg001";
    QTest::newRow("no suffix at all")
        << noPrefix << QStringList() << QList<int>{6, 6, 6} << QStringList() << true << "MyFile";
    QTest::newRow("every prefix, suffix date")
        << QList<int>{2, 4, 1} << QStringList() << QList<int>{2, 3, 6} << QStringList() << true
        << "1_001_" + today + "_MyFile" + today + "1";
}

void tst_EditorPages::exampleName()
{
    QFETCH(QList<int>, prefixModes);
    QFETCH(QStringList, prefixTexts);
    QFETCH(QList<int>, suffixModes);
    QFETCH(QStringList, suffixTexts);
    QFETCH(bool, separator);
    QFETCH(QString, example);
    add(QStringLiteral("File Name"));
    for (int i = 0; i < 3; ++i) {
        child<QComboBox>(QStringLiteral("prePop%1").arg(i))->setCurrentIndex(prefixModes[i]);
        if (prefixModes[i] == 0)
            QTest::keyClicks(child<QLineEdit>(QStringLiteral("preField%1").arg(i)),
                             prefixTexts.value(i));
        child<QComboBox>(QStringLiteral("sufPop%1").arg(i))->setCurrentIndex(suffixModes[i]);
        if (suffixModes[i] == 0)
            QTest::keyClicks(child<QLineEdit>(QStringLiteral("sufField%1").arg(i)),
                             suffixTexts.value(i));
    }
    auto* box = child<QCheckBox>(QStringLiteral("separatorCheckBox"));
    if (box->isChecked() != separator)
        toggle(box);
    QCOMPARE(child<QLabel>(QStringLiteral("exText"))->text(), example);
}

void tst_EditorPages::modeSwitchRewritesTheField()
{
    add(QStringLiteral("File Name"));
    auto* pop = child<QComboBox>(QStringLiteral("prePop1"));
    auto* field = child<QLineEdit>(QStringLiteral("preField1"));
    QVERIFY(!field->isEnabled());
    QCOMPARE(field->text(), QStringLiteral("None"));
    pop->setCurrentIndex(1);
    QCOMPARE(field->text(), QStringLiteral("date"));
    QVERIFY(!field->isEnabled());
    pop->setCurrentIndex(0);
    QCOMPARE(field->text(), QString());
    QVERIFY(field->isEnabled());
    pop->setCurrentIndex(5);
    QCOMPARE(field->text(), QStringLiteral("None"));
    QVERIFY(!field->isEnabled());
    child<QComboBox>(QStringLiteral("sufPop1"))->setCurrentIndex(2);
    QCOMPARE(child<QLineEdit>(QStringLiteral("sufField1"))->text(), QStringLiteral("Date"));
}

// The binding through the real pages

void tst_EditorPages::roundTrip_data()
{
    QTest::addColumn<SettingPtr>("setting");
    auto format = made<formatSetting>(kFormatKind);
    format->format = 8;
    format->exporter = std::make_shared<ExporterHandle>(getFormat(8));
    format->exporter->setSettings(QStringLiteral("compression=9"));
    QTest::newRow("Format") << SettingPtr(format);

    for (int mode : {0, 1}) {
        auto scale = made<scaleSetting>(kScaleKind);
        scale->mode = mode;
        scale->constrainProportions = false;
        scale->width = -5;
        scale->height = 640;
        scale->setResolution = true;
        scale->resolution = 72;
        scale->resKeepScale = true;
        QTest::newRow(mode ? "Scaling in percent" : "Scaling in pixels") << SettingPtr(scale);
    }

    auto name = made<nameSetting>(kNameKind);
    name->prefixMode = {0, 1, 3};
    name->prefixString = {"Trip", "stored text, not the caption", "x"};
    name->suffixMode = {0, 2, 6};
    name->suffixString = {"-web", "", "None"};
    name->nameSeparator = false;
    QTest::newRow("File Name") << SettingPtr(name);

    auto colour = made<colorsyncSetting>(kColorSyncKind);
    colour->colorSyncProfileMode = 1;
    colour->colorSyncProfile = -1; // no profile rows to choose from
    QTest::newRow("ColorSync") << SettingPtr(colour);

    auto elsewhere = made<colorsyncSetting>(kColorSyncKind);
    elsewhere->colorSyncProfileMode = 1;
    elsewhere->colorSyncProfile = 999; // a profile this machine does not have
    QTest::newRow("ColorSync, profile row not shown") << SettingPtr(elsewhere);

    auto flip = made<flipRotateSetting>(kFlipRotateKind);
    flip->flip = true;
    flip->flipMode = 1;
    flip->rotateMode = 2;
    QTest::newRow("Flip & Rotate") << SettingPtr(flip);

    auto mark = made<watermarkSetting>(kWatermarkKind);
    mark->wmFile = QStringLiteral("/pictures/logo.png");
    mark->wmPlacement = 4;
    QTest::newRow("Watermark") << SettingPtr(mark);

    for (int balance : {0, 1, 2}) {
        auto raw = made<rawSetting>(kRawKind);
        raw->rawWhiteBalance = balance;
        raw->rawRed = 0;
        raw->rawBlue = 137;
        raw->rawBrightness = 100;
        QTest::newRow(qPrintable(QStringLiteral("Raw, white balance %1").arg(balance)))
            << SettingPtr(raw);
    }

    auto ftp = made<FTPSetting>(kFTPKind);
    ftp->server = QStringLiteral("ftp.example.org");
    ftp->user = QStringLiteral("me");
    ftp->password = QStringLiteral("s3cret;x");
    ftp->path = QStringLiteral("/up");
    ftp->port = 2121;
    ftp->dontSaveImages = true;
    QTest::newRow("FTP") << SettingPtr(ftp);
    QTest::newRow("FTP, default port") << SettingPtr(made<FTPSetting>(kFTPKind));
}

void tst_EditorPages::roundTrip()
{
    QFETCH(SettingPtr, setting);
    SettingsStore loaded;
    loaded.append(made<formatSetting>(kFormatKind));
    if (setting->type == kFormatKind)
        setting->label = 1;
    loaded.append(setting);
    const auto expected = setting->describeFields();
    QVERIFY(m_window->replaceSettings(loaded));
    QTreeWidgetItem* group = list()->topLevelItem(0);
    QTreeWidgetItem* row = setting->type == kFormatKind ? list()->topLevelItem(1) : group->child(0);
    QVERIFY(row);
    // Shown, stored by showing another setting, shown again and stored again.
    clickRow(row);
    QCOMPARE(shownPage(), setting->type);
    clickRow(group);
    clickRow(row);
    clickRow(group);
    QCOMPARE(setting->describeFields(), expected);
}

void tst_EditorPages::recallEdgeCases()
{
    SettingsStore loaded;
    loaded.append(made<formatSetting>(kFormatKind));
    auto scale = made<scaleSetting>(kScaleKind);
    scale->mode = 1;
    loaded.append(scale);
    auto raw = made<rawSetting>(kRawKind);
    raw->rawWhiteBalance = 2;
    loaded.append(raw);
    auto mark = made<watermarkSetting>(kWatermarkKind);
    mark->wmFile = QStringLiteral("/pictures/logo.png");
    loaded.append(mark);
    loaded.append(made<watermarkSetting>(kWatermarkKind));
    auto name = made<nameSetting>(kNameKind);
    name->prefixMode[0] = 1;
    name->prefixString[0] = QStringLiteral("kept");
    loaded.append(name);
    auto ftp = made<FTPSetting>(kFTPKind);
    loaded.append(ftp);
    QVERIFY(m_window->replaceSettings(loaded));
    QTreeWidgetItem* group = list()->topLevelItem(0);
    QCOMPARE(group->childCount(), 6);

    clickRow(group->child(0));
    QCOMPARE(child<QComboBox>(QStringLiteral("scalingMenu1"))->currentText(),
             QStringLiteral("Percent"));
    QCOMPARE(child<QComboBox>(QStringLiteral("scalingMenu2"))->currentText(),
             QStringLiteral("Percent"));

    clickRow(group->child(1));
    QVERIFY(child<QRadioButton>(QStringLiteral("rawWBButton2"))->isChecked());

    clickRow(group->child(2));
    QCOMPARE(child<QLineEdit>(QStringLiteral("wmFileField"))->text(), QStringLiteral("logo.png"));
    QCOMPARE(m_window->wmFile(), QStringLiteral("/pictures/logo.png"));
    clickRow(group->child(3));
    QCOMPARE(child<QLineEdit>(QStringLiteral("wmFileField"))->text(), QString());
    QCOMPARE(m_window->wmFile(), QString());

    clickRow(group->child(4));
    QCOMPARE(child<QLineEdit>(QStringLiteral("preField0"))->text(), QStringLiteral("kept"));
    QCOMPARE(child<QLabel>(QStringLiteral("exText"))->text(),
             QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) +
                 QStringLiteral("_MyFile.jpg"));

    // A port typed for another FTP setting is not carried into one without a port.
    clickRow(group->child(5));
    QTest::keyClicks(child<QLineEdit>(QStringLiteral("portField")), QStringLiteral("21"));
    clickRow(group);
    QCOMPARE(ftp->port, 21);
    ftp->port = 0;
    clickRow(group->child(5));
    QCOMPARE(child<QLineEdit>(QStringLiteral("portField"))->text(), QString());
}

void tst_EditorPages::sharedExporterSurvivesAStore()
{
    const auto& format = m_window->store().formatt.at(0);
    auto* menu = child<QComboBox>(QStringLiteral("formatMenu"));
    menu->setCurrentIndex(8);
    add(QStringLiteral("Scaling")); // stores the Format setting
    QCOMPARE(format->format, 8);
    QCOMPARE(format->exporter->type(), getFormat(8));
    clickRow(list()->topLevelItem(0));
    QCOMPARE(m_window->exporter(), format->exporter);
    m_window->exporter()->setSettings(QStringLiteral("compression=2"));
    m_window->storeCurrent();
    QCOMPARE(format->exporter->settings(), QStringLiteral("compression=2"));
    clickRow(list()->topLevelItem(0)->child(0));
    clickRow(list()->topLevelItem(0));
    QCOMPARE(m_window->exporter()->settings(), QStringLiteral("compression=2"));
    QVERIFY(child<QPushButton>(QStringLiteral("optionsButton"))->isEnabled());
}

void tst_EditorPages::pagesSharedBySettingsOfOneKind()
{
    add(QStringLiteral("Scaling"));
    auto* width = child<QLineEdit>(QStringLiteral("widthField"));
    width->clear();
    QTest::keyClicks(width, QStringLiteral("12.9"));
    add(QStringLiteral("Scaling"));
    width->clear();
    QTest::keyClicks(width, QStringLiteral("abc"));
    toggle(child<QCheckBox>(QStringLiteral("keepScaleCheckBox")));
    QTreeWidgetItem* group = list()->topLevelItem(0);
    clickRow(group->child(0));
    QCOMPARE(width->text(), QStringLiteral("12"));
    QVERIFY(child<QGroupBox>(QStringLiteral("GroupBox3"))->isEnabled());
    clickRow(group->child(1));
    QCOMPARE(width->text(), QStringLiteral("0"));
    QVERIFY(!child<QGroupBox>(QStringLiteral("GroupBox3"))->isEnabled());
    QCOMPARE(m_window->store().scale.at(0)->width, 12);
    QCOMPARE(m_window->store().scale.at(1)->width, 0);
    QVERIFY(m_window->store().scale.at(1)->resKeepScale);
}

QTEST_MAIN(tst_EditorPages)
#include "tst_editorpages.moc"
