// The main window driven through its real widgets: the settings list and its groups, the pages'
// enabling rules, the file-name example and the binding between the pages and the settings.

#include "engine/codecs/codecregistry.h"
#include "engine/imageservices/colorprofiles.h"
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

namespace {

// A new setting of a kind as a settings file gives it, with its kind code in `type`.
template <typename Kind> std::shared_ptr<Kind> made(int code)
{
    return std::static_pointer_cast<Kind>(createSetting(code));
}

// A click on a check box's or radio button's box, where a user clicks.
void toggle(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newWindowHoldsOneFormatGroup();
    void formatGroupsTakeTheFreeLabels();
    void kindsMenuOffersUniqueKindsOnce();
    void idsAfterRemoval_data();
    void idsAfterRemoval();
    void removingTheSelectedMemberHidesThePages();
    void relabelling_data();
    void relabelling();
    void labelPickerSetsTheGroupsLabel();
    void clickIntoEmptyListStoresNothingLater();

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
    void settingsFiles();
    void sameLabelTwiceInAFile();

private:
    template <typename W> W* child(const QString& name) const
    {
        W* widget = m_window->findChild<W*>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QTreeWidget* list() const { return child<QTreeWidget>(QStringLiteral("ListBox1")); }
    QComboBox* funcMenu() const { return child<QComboBox>(QStringLiteral("funcMenu")); }
    void clickRow(QTreeWidgetItem* item);
    void add(const QString& kind);
    QStringList funcMenuRows() const;
    int shownPage() const;

    std::unique_ptr<mainWindow> m_window;
};

void tst_MainWindow::init()
{
    m_window = std::make_unique<mainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_MainWindow::cleanup()
{
    m_window.reset();
}

void tst_MainWindow::clickRow(QTreeWidgetItem* item)
{
    QTreeWidget* tree = list();
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    QCOMPARE(tree->selectedItems().value(0), item);
}

void tst_MainWindow::add(const QString& kind)
{
    const int row = funcMenu()->findText(kind);
    QVERIFY2(row >= 0, qPrintable(kind + QStringLiteral(" is not offered")));
    funcMenu()->setCurrentIndex(row);
    QTest::mouseClick(child<QAbstractButton>(QStringLiteral("addButton")), Qt::LeftButton);
}

QStringList tst_MainWindow::funcMenuRows() const
{
    QStringList rows;
    for (int i = 0; i < funcMenu()->count(); ++i)
        rows << funcMenu()->itemText(i);
    return rows;
}

int tst_MainWindow::shownPage() const
{
    auto* panel = child<QStackedWidget>(QStringLiteral("PagePanel1"));
    return panel->isVisible() ? panel->currentIndex() : -1;
}

// The settings list

void tst_MainWindow::newWindowHoldsOneFormatGroup()
{
    QTreeWidget* tree = list();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* row = tree->topLevelItem(0);
    QCOMPARE(row->text(0), QStringLiteral("Format"));
    QVERIFY(row->font(0).bold());
    QCOMPARE(tree->selectedItems().value(0), row);
    QCOMPARE(m_window->store().setting.size(), size_t(1));
    const auto& format = m_window->store().formatt.at(0);
    QCOMPARE(format->label, 0);
    QCOMPARE(format->id, 0);
    QCOMPARE(format->exporter->type(), QStringLiteral("JPEG"));
    QCOMPARE(shownPage(), 0);
    QCOMPARE(m_window->lastindex(), 0);
    QVERIFY(!child<QAbstractButton>(QStringLiteral("removeButton"))->isEnabled());
    QCOMPARE(funcMenuRows(), QStringList({"Format", "", "Scaling", "Flip & Rotate", "Watermark",
                                          "File Name", "ColorSync", "Raw", "FTP"}));
    QCOMPARE(funcMenu()->currentText(), QStringLiteral("Scaling"));
}

void tst_MainWindow::formatGroupsTakeTheFreeLabels()
{
    for (int i = 0; i < 7; ++i)
        add(QStringLiteral("Format"));
    QList<int> labels;
    for (const auto& format : m_window->store().formatt)
        labels << format->label;
    QCOMPARE(labels, QList<int>({0, 1, 2, 3, 4, 5, 6, 7}));
    // The new group is selected each time.
    QCOMPARE(m_window->rowId(list()->selectedItems().value(0)), 7);

    add(QStringLiteral("Format"));
    QCOMPARE(m_window->store().setting.size(), size_t(8));
    QCOMPARE(list()->topLevelItemCount(), 8);

    clickRow(list()->topLevelItem(3));
    QTest::mouseClick(child<QAbstractButton>(QStringLiteral("removeButton")), Qt::LeftButton);
    QCOMPARE(list()->topLevelItemCount(), 7);
    QCOMPARE(shownPage(), -1);
    // With nothing selected only a new group can be added.
    QCOMPARE(funcMenuRows(), QStringList({"Format"}));
    add(QStringLiteral("Format"));
    QCOMPARE(m_window->store().formatt.back()->label, 3);
    QCOMPARE(m_window->store().setting.back()->id, 7);
}

void tst_MainWindow::kindsMenuOffersUniqueKindsOnce()
{
    add(QStringLiteral("Scaling"));
    QTreeWidgetItem* group = list()->topLevelItem(0);
    QCOMPARE(group->childCount(), 1);
    add(QStringLiteral("Scaling"));
    QCOMPARE(group->childCount(), 2);
    QCOMPARE(list()->selectedItems().value(0), group->child(1));
    QCOMPARE(m_window->rowId(group->child(1)), 2);
    QCOMPARE(shownPage(), 1);

    add(QStringLiteral("File Name"));
    QCOMPARE(group->child(2)->text(0), QStringLiteral("File Name"));
    QCOMPARE(shownPage(), 2);
    QVERIFY(!funcMenuRows().contains(QStringLiteral("File Name")));
    QCOMPARE(funcMenu()->currentText(), QStringLiteral("Scaling"));

    // Another group still offers it; its rows come after the first group's.
    add(QStringLiteral("Format"));
    QVERIFY(funcMenuRows().contains(QStringLiteral("File Name")));
    add(QStringLiteral("Flip & Rotate"));
    QTreeWidgetItem* second = list()->topLevelItem(1);
    QCOMPARE(second->childCount(), 1);
    QCOMPARE(second->child(0)->text(0), QStringLiteral("Flip & Rotate"));
    QCOMPARE(m_window->store().setting.back()->label, 1);
}

void tst_MainWindow::idsAfterRemoval_data()
{
    QTest::addColumn<bool>("removeGroupB");
    QTest::newRow("remove group B") << true;
    QTest::newRow("remove the Scaling member of A") << false;
}

void tst_MainWindow::idsAfterRemoval()
{
    QFETCH(bool, removeGroupB);
    // A (id 0), B (id 1), Scaling of A (id 2), each with values of its own.
    add(QStringLiteral("Format"));
    child<QComboBox>(QStringLiteral("formatMenu"))->setCurrentIndex(8);
    clickRow(list()->topLevelItem(0));
    add(QStringLiteral("Scaling"));
    QLineEdit* width = child<QLineEdit>(QStringLiteral("widthField"));
    width->setText(QStringLiteral("123"));
    QTreeWidgetItem* a = list()->topLevelItem(0);
    QTreeWidgetItem* b = list()->topLevelItem(1);
    QTreeWidgetItem* scaling = a->child(0);
    QCOMPARE(m_window->rowId(scaling), 2);

    clickRow(removeGroupB ? b : scaling);
    QTest::mouseClick(child<QAbstractButton>(QStringLiteral("removeButton")), Qt::LeftButton);
    QCOMPARE(m_window->store().setting.size(), size_t(2));
    QCOMPARE(shownPage(), -1);
    QVERIFY(!child<QAbstractButton>(QStringLiteral("removeButton"))->isEnabled());
    for (size_t i = 0; i < m_window->store().setting.size(); ++i)
        QCOMPARE(m_window->store().setting[i]->id, int(i));

    if (removeGroupB) {
        QCOMPARE(list()->topLevelItemCount(), 1);
        QCOMPARE(m_window->rowId(scaling), 1);
        clickRow(scaling);
        QCOMPARE(width->text(), QStringLiteral("123"));
        QCOMPARE(shownPage(), 1);
    } else {
        QCOMPARE(a->childCount(), 0);
        QCOMPARE(m_window->rowId(b), 1);
        clickRow(b);
        QCOMPARE(child<QComboBox>(QStringLiteral("formatMenu"))->currentText(),
                 QStringLiteral("PNG"));
    }
    clickRow(a);
    QCOMPARE(child<QComboBox>(QStringLiteral("formatMenu"))->currentText(), QStringLiteral("JPEG"));
}

void tst_MainWindow::removingTheSelectedMemberHidesThePages()
{
    add(QStringLiteral("Watermark"));
    add(QStringLiteral("Format"));
    add(QStringLiteral("Raw"));
    auto* remove = child<QAbstractButton>(QStringLiteral("removeButton"));
    // Removing a group takes its members too.
    clickRow(list()->topLevelItem(1));
    QVERIFY(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(list()->topLevelItemCount(), 1);
    QCOMPARE(m_window->store().setting.size(), size_t(2));
    QCOMPARE(m_window->store().raw.size(), size_t(0));
    QCOMPARE(m_window->store().formatt.size(), size_t(1));
    QCOMPARE(m_window->store().watermark.size(), size_t(1));
    QCOMPARE(m_window->lastindex(), -1);
    QCOMPARE(shownPage(), -1);
    QVERIFY(!remove->isEnabled());

    // The first group itself is never removed; its members are.
    clickRow(list()->topLevelItem(0));
    QVERIFY(!remove->isEnabled());
    clickRow(list()->topLevelItem(0)->child(0));
    QVERIFY(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(m_window->store().setting.size(), size_t(1));
    QCOMPARE(list()->topLevelItem(0)->childCount(), 0);
    QVERIFY(!remove->isEnabled());
    QCOMPARE(shownPage(), -1);
}

void tst_MainWindow::relabelling_data()
{
    QTest::addColumn<int>("newLabel");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("expected");
    QTest::newRow("another group's label is refused") << 0 << true << 1;
    QTest::newRow("the group's own label changes nothing") << 1 << false << 1;
    QTest::newRow("a free label moves the whole group") << 5 << false << 5;
}

void tst_MainWindow::relabelling()
{
    QFETCH(int, newLabel);
    QFETCH(bool, refused);
    QFETCH(int, expected);
    add(QStringLiteral("Format"));
    add(QStringLiteral("FTP"));
    clickRow(list()->topLevelItem(1));
    m_window->setLabel(newLabel);
    auto* box = m_window->findChild<QMessageBox*>(QStringLiteral("duplicateLabelMessage"));
    QCOMPARE(box != nullptr, refused);
    if (box) {
        QCOMPARE(box->text(), QStringLiteral("Settings with this label does already exist.\n\n"
                                             "Please choose another label."));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        box->close();
    }
    QCOMPARE(m_window->store().formatt.at(1)->label, expected);
    QCOMPARE(m_window->store().ftp.at(0)->label, expected);
    QCOMPARE(m_window->store().formatt.at(0)->label, 0);
}

void tst_MainWindow::labelPickerSetsTheGroupsLabel()
{
    add(QStringLiteral("Format"));
    add(QStringLiteral("Scaling"));
    QTreeWidgetItem* group = list()->topLevelItem(1);
    list()->scrollToItem(group);
    const QPoint at = list()->visualItemRect(group).center();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    ui::labelWindow* picker = m_window->labelPicker();
    QVERIFY(picker->isVisible());
    QCOMPARE(picker->windowTitle(), QStringLiteral("Label"));
    auto* popup = picker->findChild<QComboBox*>(QStringLiteral("PopupMenu1"));
    QStringList rows;
    for (int i = 0; i < popup->count(); ++i)
        rows << popup->itemText(i);
    QCOMPARE(rows, QStringList(
                       {"None", "", "Red", "Orange", "Yellow", "Green", "Blue", "Purple", "Gray"}));
    QCOMPARE(popup->currentIndex(), 2); // the group's label 1, red
    picker->setLabel(7);
    QCOMPARE(popup->currentIndex(), 8);
    QTest::mouseClick(picker->findChild<QPushButton*>(QStringLiteral("PushButton1")),
                      Qt::LeftButton);
    QVERIFY(!picker->isVisible());
    QCOMPARE(m_window->store().formatt.at(1)->label, 7);
    QCOMPARE(m_window->store().scale.at(0)->label, 7);

    // "None" is label 0, which the first group carries: refused, nothing changes.
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(popup->currentIndex(), 8);
    popup->setCurrentIndex(0);
    QTest::mouseClick(picker->findChild<QPushButton*>(QStringLiteral("PushButton1")),
                      Qt::LeftButton);
    QVERIFY(m_window->findChild<QMessageBox*>(QStringLiteral("duplicateLabelMessage")));
    QCOMPARE(m_window->store().formatt.at(1)->label, 7);
}

void tst_MainWindow::clickIntoEmptyListStoresNothingLater()
{
    add(QStringLiteral("Format"));
    auto* format = child<QComboBox>(QStringLiteral("formatMenu"));
    format->setCurrentIndex(2);
    QTreeWidget* tree = list();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      QPoint(10, tree->viewport()->height() - 5));
    QVERIFY(tree->selectedItems().isEmpty());
    QCOMPARE(shownPage(), -1);
    QCOMPARE(m_window->lastindex(), -1);
    QCOMPARE(m_window->store().formatt.at(1)->format, 2);
    clickRow(tree->topLevelItem(0));
    QCOMPARE(m_window->store().formatt.at(0)->format, 0);
    QCOMPARE(format->currentText(), QStringLiteral("JPEG"));
}

// The pages' own rules

void tst_MainWindow::formatMenuEnablesOptions()
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

void tst_MainWindow::switchingFormatDropsOptions()
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

void tst_MainWindow::scalingRules()
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

void tst_MainWindow::sliderTexts_data()
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

void tst_MainWindow::sliderTexts()
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

void tst_MainWindow::colorSyncAndFlipRules()
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

void tst_MainWindow::profileMenuListsInstalledProfiles()
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

void tst_MainWindow::watermarkChooser()
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

void tst_MainWindow::exampleName_data()
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

void tst_MainWindow::exampleName()
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

void tst_MainWindow::modeSwitchRewritesTheField()
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

void tst_MainWindow::roundTrip_data()
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

void tst_MainWindow::roundTrip()
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

void tst_MainWindow::recallEdgeCases()
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

void tst_MainWindow::sharedExporterSurvivesAStore()
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

void tst_MainWindow::pagesSharedBySettingsOfOneKind()
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

void tst_MainWindow::settingsFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    add(QStringLiteral("Format"));
    add(QStringLiteral("FTP"));
    QTest::keyClicks(child<QLineEdit>(QStringLiteral("serverField")), QStringLiteral("host"));
    const QString path = dir.filePath(QStringLiteral("list"));
    QString error;
    // Saving stores the shown page first.
    QVERIFY2(m_window->saveFile(path, &error), qPrintable(error));
    QCOMPARE(m_window->store().ftp.at(0)->server, QStringLiteral("host"));

    m_window->resetSettings();
    QCOMPARE(m_window->store().setting.size(), size_t(1));
    QVERIFY(!m_window->loadFile(dir.filePath(QStringLiteral("missing")), &error));
    QVERIFY(error.contains(QStringLiteral("missing")));
    QCOMPARE(m_window->store().setting.size(), size_t(1));

    QVERIFY2(m_window->loadFile(path, &error), qPrintable(error));
    QCOMPARE(m_window->store().setting.size(), size_t(3));
    QCOMPARE(list()->topLevelItemCount(), 2);
    QVERIFY(list()->topLevelItem(1)->isExpanded());
    QCOMPARE(list()->selectedItems().value(0), list()->topLevelItem(0));
    clickRow(list()->topLevelItem(1)->child(0));
    QCOMPARE(child<QLineEdit>(QStringLiteral("serverField"))->text(), QStringLiteral("host"));

    // A file cut short gives its complete records and says where the damage is.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(file.size() - 3));
    file.close();
    QVERIFY(m_window->loadFile(path, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(m_window->store().setting.size(), size_t(2));
}

void tst_MainWindow::sameLabelTwiceInAFile()
{
    SettingsStore loaded;
    loaded.append(made<formatSetting>(kFormatKind));
    auto second = made<formatSetting>(kFormatKind);
    second->label = 2;
    loaded.append(second);
    auto third = made<formatSetting>(kFormatKind);
    third->label = 2;
    loaded.append(third);
    auto scale = made<scaleSetting>(kScaleKind);
    scale->label = 2;
    loaded.append(scale);
    QVERIFY(m_window->replaceSettings(loaded));
    QCOMPARE(list()->topLevelItemCount(), 3);
    clickRow(list()->topLevelItem(1));
    QTest::mouseClick(child<QAbstractButton>(QStringLiteral("removeButton")), Qt::LeftButton);
    // Every setting of the label went, and with them every row that showed one.
    QCOMPARE(m_window->store().setting.size(), size_t(1));
    QCOMPARE(list()->topLevelItemCount(), 1);
    QCOMPARE(list()->topLevelItem(0)->childCount(), 0);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
