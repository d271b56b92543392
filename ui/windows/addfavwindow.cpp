#include "ui/windows/addfavwindow.h"

#include "settings/favorites.h"
#include "ui/windows/cautionbox_p.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quillon::ui {

AddFavWindow::AddFavWindow(const QString& favoritesFolder, const QString& lastFavorite,
                           QWidget* parent)
    : QDialog(parent), m_folder(favoritesFolder)
{
    setWindowTitle(QStringLiteral("Add To Favorites"));
    setWindowModality(Qt::WindowModal);

    auto* StaticText1 = new QLabel(QStringLiteral("Name:"), this);
    m_EditField1 = new QLineEdit(QStringLiteral("Untitled"), this);
    m_EditField1->setObjectName(QStringLiteral("EditField1"));
    StaticText1->setBuddy(m_EditField1);
    auto* PushButton1 = new QPushButton(QStringLiteral("OK"), this);
    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    PushButton1->setDefault(true);
    auto* PushButton2 = new QPushButton(QStringLiteral("Cancel"), this);
    PushButton2->setObjectName(QStringLiteral("PushButton2"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(StaticText1, 0, 0);
    layout->addWidget(m_EditField1, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(PushButton2);
    buttons->addWidget(PushButton1);
    layout->addLayout(buttons, 1, 0, 1, 2);
    setMinimumWidth(320);

    if (!lastFavorite.isEmpty())
        m_EditField1->setText(lastFavorite);
    m_EditField1->selectAll(); // typing replaces the offered name
    m_EditField1->setFocus();

    connect(PushButton1, &QPushButton::clicked, this, &AddFavWindow::PushButton1_Clicked);
    connect(PushButton2, &QPushButton::clicked, this, &QDialog::reject);
}

void AddFavWindow::PushButton1_Clicked()
{
    const QString name = m_EditField1->text();
    if (name.isEmpty()) {
        QApplication::beep();
        emit beeped();
        return;
    }
    if (const QString problem = settings::favoriteNameProblem(name); !problem.isEmpty()) {
        showCaution(this, QStringLiteral("A favorite cannot be named \"%1\".").arg(name), problem);
        return;
    }
    if (!settings::findFavorite(m_folder, name).isEmpty() &&
        !showCaution(this, QStringLiteral("A favorite named \"%1\" does already exist.").arg(name),
                     QStringLiteral("Would you like to replace it?"), true))
        return;
    m_saveName = name;
    accept();
}

} // namespace quillon::ui
