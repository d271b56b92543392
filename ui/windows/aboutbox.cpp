#include "ui/windows/aboutbox.h"

#include "resources/resources.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>

namespace quillon::ui {

namespace {

// The application icon compiled into the program, else the one the application was given.
QIcon applicationIcon()
{
    resources::init();
    const QString resource = QStringLiteral(":/icons/quillon-128.png");
    if (QFile::exists(resource))
        return QIcon(resource);
    return QApplication::windowIcon();
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Quillon"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setAlignment(Qt::AlignCenter);
    const QIcon appIcon = applicationIcon();
    if (!appIcon.isNull())
        icon->setPixmap(appIcon.pixmap(128, 128));
    auto* name = new QLabel(QString::fromLatin1(kName), this);
    name->setObjectName(QStringLiteral("name"));
    name->setAlignment(Qt::AlignCenter);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.5);
    name->setFont(bold);
    auto* version = new QLabel(QString::fromLatin1(kVersion), this);
    version->setObjectName(QStringLiteral("version"));
    version->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(icon);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* close = new QShortcut(QKeySequence::Close, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

} // namespace quillon::ui
