#include "ui/main/labelwindow.h"

#include "settings/batchsetting.h"
#include "ui/main/label.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillon::ui {

labelWindow::labelWindow(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Label"));
    m_StaticText1 = new QLabel(QStringLiteral("Apply to images labeled:"), this);
    m_StaticText1->setObjectName(QStringLiteral("StaticText1"));
    m_PopupMenu1 = new QComboBox(this);
    m_PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    m_PopupMenu1->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_PushButton1 = new QPushButton(QStringLiteral("OK"), this);
    m_PushButton1->setObjectName(QStringLiteral("PushButton1"));
    m_PushButton1->setDefault(true);
    m_PushButton2 = new QPushButton(QStringLiteral("Cancel"), this);
    m_PushButton2->setObjectName(QStringLiteral("PushButton2"));

    auto* row = new QHBoxLayout;
    row->addWidget(m_StaticText1);
    row->addWidget(m_PopupMenu1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_PushButton2);
    buttons->addWidget(m_PushButton1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_PushButton1, &QPushButton::clicked, this, &labelWindow::PushButton1_Action);
    connect(m_PushButton2, &QPushButton::clicked, this, &QDialog::reject);
    fillPopup();
}

void labelWindow::fillPopup()
{
    m_PopupMenu1->clear();
    m_PopupMenu1->addItem(QStringLiteral("None"));
    m_PopupMenu1->insertSeparator(1);
    for (int i = 1; i < settings::kLabelCount; ++i)
        m_PopupMenu1->addItem(label::labelName(i));
    m_PopupMenu1->setCurrentIndex(0);
}

void labelWindow::openSheet()
{
    fillPopup();
    setWindowModality(Qt::WindowModal);
    open();
}

void labelWindow::setLabel(int labelIndex)
{
    if (labelIndex == 0)
        m_PopupMenu1->setCurrentIndex(0);
    else if (labelIndex > 0 && labelIndex < settings::kLabelCount)
        m_PopupMenu1->setCurrentIndex(labelIndex + 1);
}

int labelWindow::chosenLabel() const
{
    const int row = m_PopupMenu1->currentIndex();
    return row <= 0 ? 0 : row - 1;
}

void labelWindow::PushButton1_Action()
{
    const int chosen = chosenLabel();
    accept();
    emit labelChosen(chosen);
}

} // namespace quillon::ui
