#pragma once

#include "engine/icons/customicon.h"
#include "engine/job/batchtread.h"
#include "engine/pipeline/imagepipeline.h"

namespace quillon::engine {

// What a worker makes of one image ahead of the run's ordered walk: the image opened, its
// picture steps applied and, when its output's folder is known without the walk (no FTP step,
// not a preview), its output encoded into a hidden file there and its icon scaled. The picture
// itself is then released: only the small icon stays in memory until the walk gets there.
struct batchTread::Prepared
{
    OpenedImage image;      // its picture moves on into processed
    bool opened = false;    // the image opened (else image.error says why)
    QString extension;      // its Format step's output extension (see formatExtension)
    ProcessedImage processed;
    bool stepsOk = false;   // the picture steps left a picture (else processed.error)
    StagedImage staged;     // the encoded output; empty folder when not staged
    IconSource icon;
    bool iconMade = false;
};

} // namespace quillon::engine
