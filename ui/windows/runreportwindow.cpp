#include "ui/windows/runreportwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

namespace quillon::ui {

namespace {

struct Section
{
    RunProblem::Kind kind;
    const char* first;
    const char* second;
};

// In the order the report lists them; the first is the program's not-saved message.
constexpr Section kSections[] = {
    {RunProblem::Kind::NotSaved, "One or more Files could not be saved.",
     "The folder/volume you are trying to save might be locked or not writable."},
    {RunProblem::Kind::NotOpened, "One or more images could not be opened.",
     "They are not pictures Quillon reads, or they are damaged."},
    {RunProblem::Kind::LoginFailed, "One or more FTP logins failed.",
     "The images of those labels were not uploaded."},
    {RunProblem::Kind::UploadFailed, "One or more uploads failed.",
     "The files were written, but they are not on the server."},
};

} // namespace

QString RunReportWindow::reportText(const QList<RunProblem>& problems)
{
    QStringList blocks;
    for (const Section& section : kSections) {
        QStringList lines;
        for (const RunProblem& problem : problems) {
            if (problem.kind == section.kind)
                lines << QStringLiteral("    %1: %2").arg(problem.file, problem.reason);
        }
        if (lines.isEmpty())
            continue;
        blocks << QString::fromLatin1(section.first) + QStringLiteral("\n\n") +
                      QString::fromLatin1(section.second) + QStringLiteral("\n\n") +
                      lines.join(QLatin1Char('\n'));
    }
    return blocks.isEmpty() ? QString() : blocks.join(QStringLiteral("\n\n")) + QLatin1Char('\n');
}

RunReportWindow::RunReportWindow(const QList<RunProblem>& problems, QWidget* parent)
    : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Run Report"));

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    auto* heading = new QLabel(QStringLiteral("Not everything of this run could be done."), this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("reportText"));
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setPlainText(reportText(problems));
    auto* copy = new QPushButton(QStringLiteral("Copy"), this);
    copy->setObjectName(QStringLiteral("copyButton"));
    copy->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(heading, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    resize(560, 360);

    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(m_text->toPlainText()); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* close = new QShortcut(QKeySequence::Close, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

QString RunReportWindow::text() const
{
    return m_text->toPlainText();
}

RunReportWindow* RunReportWindow::showReport(const QList<RunProblem>& problems, QWidget* parent)
{
    if (problems.isEmpty())
        return nullptr;
    auto* window = new RunReportWindow(problems, parent);
    window->show();
    return window;
}

} // namespace quillon::ui
