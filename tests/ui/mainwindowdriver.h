#pragma once

// Drives a main window through its real widgets, as a user does: rows clicked in the settings
// list, kinds chosen under it and added with the add button.

#include "settings/settingkinds.h"
#include "ui/main/mainwindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <memory>

// A new setting of a kind as a settings file gives it, with its kind code in `type`.
template <typename Kind> std::shared_ptr<Kind> made(int code)
{
    return std::static_pointer_cast<Kind>(quillon::settings::createSetting(code));
}

// A click on a check box's or radio button's box, where a user clicks.
inline void toggle(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

class MainWindowDriver
{
protected:
    // A new window, shown.
    void open()
    {
        m_window = std::make_unique<quillon::ui::mainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void close() { m_window.reset(); }

    template <typename W> W* child(const QString& name) const
    {
        W* widget = m_window->findChild<W*>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QTreeWidget* list() const { return child<QTreeWidget>(QStringLiteral("ListBox1")); }
    QComboBox* funcMenu() const { return child<QComboBox>(QStringLiteral("funcMenu")); }

    void clickRow(QTreeWidgetItem* item)
    {
        QTreeWidget* tree = list();
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(item).center());
        QCOMPARE(tree->selectedItems().value(0), item);
    }

    // Chooses a kind under the list and presses the add button.
    void add(const QString& kind)
    {
        const int row = funcMenu()->findText(kind);
        QVERIFY2(row >= 0, qPrintable(kind + QStringLiteral(" is not offered")));
        funcMenu()->setCurrentIndex(row);
        QTest::mouseClick(child<QAbstractButton>(QStringLiteral("addButton")), Qt::LeftButton);
    }

    QStringList funcMenuRows() const
    {
        QStringList rows;
        for (int i = 0; i < funcMenu()->count(); ++i)
            rows << funcMenu()->itemText(i);
        return rows;
    }

    // The page shown, -1 while the pages are hidden.
    int shownPage() const
    {
        auto* panel = child<QStackedWidget>(QStringLiteral("PagePanel1"));
        return panel->isVisible() ? panel->currentIndex() : -1;
    }

    std::unique_ptr<quillon::ui::mainWindow> m_window;
};
