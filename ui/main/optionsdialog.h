#pragma once

#include "settings/exporterhandle.h"

#include <QDialog>
#include <QList>

namespace quillon::engine::codecs {
struct CodecInfo;
}

namespace quillon::ui {

// The export options dialog of one output format, built from the format's option model: a
// number field for each number, a check box for each on/off option and a pop-up for each
// choice. It shows the options of an exporter's settings text and, on OK, writes them back into
// that very exporter, so they travel with the Format setting that shares it; Cancel changes
// nothing. Main thread only.
class optionsDialog : public QDialog
{
    Q_OBJECT

public:
    // For an exporter opened for a format with options; see hasOptions().
    optionsDialog(settings::ExporterPtr exporter, QWidget* parent = nullptr);

    // Whether the exporter's format has an options dialog at all.
    static bool hasOptions(const settings::ExporterHandle& exporter);

    // The settings text the dialog's controls stand for now.
    QString settingsText() const;

private:
    void PushButton1_Action();

    settings::ExporterPtr m_exporter;
    const engine::codecs::CodecInfo* m_codec = nullptr;
    QList<QWidget*> m_controls; // one per option, in the format's option order
};

} // namespace quillon::ui
