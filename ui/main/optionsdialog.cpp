#include "ui/main/optionsdialog.h"

#include "engine/codecs/codecregistry.h"
#include "engine/codecs/exportoptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quillon::ui {

using namespace engine::codecs;

namespace {

// How a choice's name in the settings text reads in the pop-up.
QString choiceCaption(const char* name)
{
    static const std::pair<const char*, const char*> captions[] = {
        {"lzw", "LZW"},           {"none", "None"}, {"deflate", "Deflate"},
        {"packbits", "PackBits"}, {"jpeg", "JPEG"}, {"rle", "RLE"},
    };
    for (const auto& [key, caption] : captions) {
        if (qstrcmp(key, name) == 0)
            return QString::fromLatin1(caption);
    }
    return QString::fromUtf8(name);
}

} // namespace

bool optionsDialog::hasOptions(const settings::ExporterHandle& exporter)
{
    const CodecInfo* codec = codecByType(exporter.type());
    return codec && codec->optionsDialog && !codec->options.empty();
}

optionsDialog::optionsDialog(settings::ExporterPtr exporter, QWidget* parent)
    : QDialog(parent), m_exporter(std::move(exporter))
{
    setObjectName(QStringLiteral("optionsDialog"));
    m_codec = m_exporter ? codecByType(m_exporter->type()) : nullptr;
    setWindowTitle(m_codec ? QStringLiteral("%1 Options").arg(QString::fromUtf8(m_codec->menuEntry))
                           : QStringLiteral("Options"));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    const ExportOptions values =
        ExportOptions::fromText(m_codec, m_exporter ? m_exporter->settings() : QString());
    for (const CodecOption& option : values.options()) {
        const int value = values.value(option.key);
        const QString name = QString::fromLatin1(option.key);
        const QString label = QString::fromUtf8(option.label);
        QWidget* control = nullptr;
        switch (option.kind) {
        case OptionKind::Int: {
            auto* spin = new QSpinBox(this);
            spin->setRange(option.minimum, option.maximum);
            spin->setValue(value);
            form->addRow(label + QLatin1Char(':'), spin);
            control = spin;
            break;
        }
        case OptionKind::Bool: {
            auto* box = new QCheckBox(label, this);
            box->setChecked(value != 0);
            form->addRow(QString(), box);
            control = box;
            break;
        }
        case OptionKind::Choice: {
            auto* menu = new QComboBox(this);
            for (const char* choice : option.choices)
                menu->addItem(choiceCaption(choice));
            menu->setCurrentIndex(value);
            form->addRow(label + QLatin1Char(':'), menu);
            control = menu;
            break;
        }
        }
        control->setObjectName(name);
        m_controls.append(control);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("PushButton1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("PushButton2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &optionsDialog::PushButton1_Action);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString optionsDialog::settingsText() const
{
    ExportOptions values(m_codec);
    const auto options = values.options();
    for (size_t i = 0; i < options.size() && int(i) < m_controls.size(); ++i) {
        QWidget* control = m_controls[int(i)];
        int value = 0;
        if (auto* spin = qobject_cast<QSpinBox*>(control))
            value = spin->value();
        else if (auto* box = qobject_cast<QCheckBox*>(control))
            value = box->isChecked() ? 1 : 0;
        else if (auto* menu = qobject_cast<QComboBox*>(control))
            value = menu->currentIndex();
        values.setValue(options[i].key, value);
    }
    return values.toText();
}

void optionsDialog::PushButton1_Action()
{
    if (m_exporter && m_codec)
        m_exporter->setSettings(settingsText());
    accept();
}

} // namespace quillon::ui
