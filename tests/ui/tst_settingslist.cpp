// The main window's settings list driven through its real widgets: label groups, adding and
// removing, ids, relabelling through the label picker, and settings files.

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

class tst_SettingsList : public QObject, protected MainWindowDriver
{
    Q_OBJECT

private slots:
    void init() { open(); }
    void cleanup() { close(); }

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
    void settingsFiles();
    void sameLabelTwiceInAFile();
};

// The settings list

void tst_SettingsList::newWindowHoldsOneFormatGroup()
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

void tst_SettingsList::formatGroupsTakeTheFreeLabels()
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

void tst_SettingsList::kindsMenuOffersUniqueKindsOnce()
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

void tst_SettingsList::idsAfterRemoval_data()
{
    QTest::addColumn<bool>("removeGroupB");
    QTest::newRow("remove group B") << true;
    QTest::newRow("remove the Scaling member of A") << false;
}

void tst_SettingsList::idsAfterRemoval()
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

void tst_SettingsList::removingTheSelectedMemberHidesThePages()
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

void tst_SettingsList::relabelling_data()
{
    QTest::addColumn<int>("newLabel");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("expected");
    QTest::newRow("another group's label is refused") << 0 << true << 1;
    QTest::newRow("the group's own label changes nothing") << 1 << false << 1;
    QTest::newRow("a free label moves the whole group") << 5 << false << 5;
}

void tst_SettingsList::relabelling()
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

void tst_SettingsList::labelPickerSetsTheGroupsLabel()
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

void tst_SettingsList::clickIntoEmptyListStoresNothingLater()
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

void tst_SettingsList::settingsFiles()
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

void tst_SettingsList::sameLabelTwiceInAFile()
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

QTEST_MAIN(tst_SettingsList)
#include "tst_settingslist.moc"
