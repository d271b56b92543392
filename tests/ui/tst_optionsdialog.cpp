// The Format page's "Options..." dialog, opened from the real page: one control per export
// option of the chosen format, OK writing the settings text into the exporter the Format setting
// shares, Cancel changing nothing.

#include "engine/codecs/codecregistry.h"
#include "engine/codecs/exportoptions.h"
#include "ui/main/mainwindow.h"
#include "ui/main/optionsdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace quillon;
using namespace quillon::engine::codecs;
using quillon::ui::mainWindow;

class tst_OptionsDialog : public QObject
{
    Q_OBJECT

private slots:
    void everyFormatsOptions_data();
    void everyFormatsOptions();
    void cancelChangesNothing();
    void optionsTravelWithTheSetting();

private:
    static ui::optionsDialog* openOptions(mainWindow& window, int format);
    static ui::optionsDialog* shownOptions(mainWindow& window);
};

ui::optionsDialog* tst_OptionsDialog::openOptions(mainWindow& window, int format)
{
    window.findChild<QComboBox*>(QStringLiteral("formatMenu"))->setCurrentIndex(format);
    auto* button = window.findChild<QPushButton*>(QStringLiteral("optionsButton"));
    if (!button->isEnabled())
        return nullptr;
    QTest::mouseClick(button, Qt::LeftButton);
    return shownOptions(window);
}

ui::optionsDialog* tst_OptionsDialog::shownOptions(mainWindow& window)
{
    for (auto* dialog : window.findChildren<ui::optionsDialog*>()) {
        if (dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

void tst_OptionsDialog::everyFormatsOptions_data()
{
    QTest::addColumn<int>("code");
    for (const CodecInfo& codec : codecs())
        QTest::newRow(codec.menuEntry) << codec.code;
}

void tst_OptionsDialog::everyFormatsOptions()
{
    QFETCH(int, code);
    const CodecInfo* codec = codecByCode(code);
    mainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ui::optionsDialog* dialog = openOptions(window, code);
    QCOMPARE(dialog != nullptr, codec->optionsDialog);
    if (!dialog)
        return;
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->isModal() || dialog->windowModality() != Qt::NonModal);
    QCOMPARE(dialog->windowTitle(), QString::fromUtf8(codec->menuEntry) + " Options");

    // Every option to a value other than its default, as a user would set it.
    ExportOptions expected(codec);
    for (const CodecOption& option : codec->options) {
        QWidget* control = dialog->findChild<QWidget*>(QString::fromLatin1(option.key));
        QVERIFY2(control, option.key);
        const int value = option.defaultValue == option.minimum ? option.maximum : option.minimum;
        if (auto* spin = qobject_cast<QSpinBox*>(control)) {
            QCOMPARE(spin->value(), option.defaultValue);
            spin->setValue(value);
        } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
            QCOMPARE(box->isChecked(), option.defaultValue != 0);
            box->setChecked(value != 0);
        } else if (auto* menu = qobject_cast<QComboBox*>(control)) {
            QCOMPARE(menu->count(), int(option.choices.size()));
            QCOMPARE(menu->currentIndex(), option.defaultValue);
            menu->setCurrentIndex(value);
        } else {
            QFAIL(option.key);
        }
        QVERIFY(expected.setValue(option.key, value));
    }
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("PushButton1")),
                      Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    const settings::ExporterPtr exporter = window.exporter();
    QCOMPARE(ExportOptions::fromText(codec, exporter->settings()), expected);
    // The Format setting holds that very exporter once stored.
    window.storeCurrent();
    QCOMPARE(window.store().formatt.at(0)->exporter, exporter);
    QCOMPARE(window.store().formatt.at(0)->format, code);

    // Opened again, the dialog shows what was set.
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("optionsButton")),
                      Qt::LeftButton);
    dialog = shownOptions(window);
    QVERIFY(dialog);
    QCOMPARE(ExportOptions::fromText(codec, dialog->settingsText()), expected);
    dialog->reject();
}

void tst_OptionsDialog::cancelChangesNothing()
{
    mainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.exporter()->setSettings(QStringLiteral("quality=40"));
    auto* button = window.findChild<QPushButton*>(QStringLiteral("optionsButton"));
    QTest::mouseClick(button, Qt::LeftButton);
    ui::optionsDialog* dialog = shownOptions(window);
    QVERIFY(dialog);
    auto* quality = dialog->findChild<QSpinBox*>(QStringLiteral("quality"));
    QCOMPARE(quality->value(), 40);
    quality->setValue(10);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("PushButton2")),
                      Qt::LeftButton);
    QCOMPARE(window.exporter()->settings(), QStringLiteral("quality=40"));
}

void tst_OptionsDialog::optionsTravelWithTheSetting()
{
    // TIFF options set through the dialog survive showing another setting, a settings file and
    // loading it again.
    mainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int tiff = codecByType(QStringLiteral("TIFF"))->code;
    ui::optionsDialog* dialog = openOptions(window, tiff);
    QVERIFY(dialog);
    auto* compression = dialog->findChild<QComboBox*>(QStringLiteral("compression"));
    auto* quality = dialog->findChild<QSpinBox*>(QStringLiteral("quality"));
    QVERIFY(compression && quality);
    compression->setCurrentIndex(compression->findText(QStringLiteral("JPEG")));
    quality->setValue(33);
    dialog->findChild<QPushButton*>(QStringLiteral("PushButton1"))->click();
    const QString text = window.exporter()->settings();

    auto* list = window.findChild<QTreeWidget*>(QStringLiteral("ListBox1"));
    auto* funcMenu = window.findChild<QComboBox*>(QStringLiteral("funcMenu"));
    funcMenu->setCurrentIndex(funcMenu->findText(QStringLiteral("Scaling")));
    window.findChild<QAbstractButton*>(QStringLiteral("addButton"))->click();
    list->setCurrentItem(list->topLevelItem(0));
    QCOMPARE(window.exporter()->settings(), text);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tiff"));
    QString error;
    QVERIFY2(window.saveFile(path, &error), qPrintable(error));
    window.resetSettings();
    QCOMPARE(window.exporter()->settings(), QString());
    QVERIFY2(window.loadFile(path, &error), qPrintable(error));
    const ExportOptions loaded = ExportOptions::fromText(
        codecByCode(tiff), window.store().formatt.at(0)->exporter->settings());
    QCOMPARE(loaded.valueText("compression"), QStringLiteral("jpeg"));
    QCOMPARE(loaded.value("quality"), 33);
    QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("formatMenu"))->currentText(),
             QStringLiteral("TIFF"));
    QCOMPARE(window.exporter(), window.store().formatt.at(0)->exporter);
}

QTEST_MAIN(tst_OptionsDialog)
#include "tst_optionsdialog.moc"
