// The benchmark driver for Job A ("fit inside 1600 x 1600, JPEG quality 85, metadata kept"):
// for each file, what the pipeline does for the steps Format (JPEG, quality 85) and Scaling
// (pixels, proportions kept, 1600): open with shrink-on-load, resize, export with the source's
// metadata and resolution. With --jobs N the files are shared out to N worker threads. Writes
// OUT/<name>.jpg for every FILE and prints nothing unless something fails.
//
//   quillon-bench [--jobs N] [--no-shrink] --out DIR FILE...

#include "engine/imageservices/imageexporter.h"
#include "engine/imageservices/imageimporter.h"
#include "engine/steps/picturescaler.h"
#include "engine/steps/shrinkonload.h"
#include "settings/settingkinds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

using namespace quillon;
using namespace quillon::engine;

namespace {

bool processOne(const QString& path, const QString& outDir,
                const std::vector<settings::SettingPtr>& steps, bool shrink, QString* error)
{
    ShrinkOnLoad plan;
    ImageImporter importer;
    if (shrink)
        importer.setSizeRequest([&](const QSize& fileSize) {
            plan = shrinkOnLoadFor(steps, 0, fileSize);
            return plan.applies ? plan.target : QSize();
        });
    if (!importer.openFile(path)) {
        *error = importer.errorString();
        return false;
    }
    ScaleResult scaled;
    if (plan.applies)
        scaled = PictureScaler::ScaleInPixels(importer.picture(), plan.target.width(),
                                              plan.target.height());
    else
        scaled = PictureScaler::RatioScaleInPixels(importer.picture(), 1600);
    if (!scaled.ok()) {
        *error = scaled.error;
        return false;
    }
    ImageExporter exporter;
    exporter.openExporter(QStringLiteral("JPEG"));
    exporter.setSettings(QStringLiteral("quality=85"));
    const int dpi = int(importer.horizontalResolution());
    exporter.setResolution(dpi, dpi);
    if (importer.hasMetadata()) {
        exporter.setExifEnabled(true);
        exporter.setMetaData(importer.metadata());
    }
    exporter.setInputPicture(scaled.picture);
    exporter.setOutputFile(outDir + QLatin1Char('/') + QFileInfo(path).completeBaseName() +
                           QStringLiteral(".jpg"));
    const ExportResult r = exporter.Export();
    if (!r.ok)
        *error = r.error;
    return r.ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("QUILLON_BENCH_KEEP_HEAP")) {
        // Pictures of several MiB are otherwise mapped fresh for every image and returned at
        // once; each new mapping costs a page fault per 4 KiB on first touch.
        mallopt(M_MMAP_THRESHOLD, 256 << 20);
        mallopt(M_TRIM_THRESHOLD, 512 << 20);
    }
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int jobs = 1;
    bool shrink = true;
    QString outDir;
    QStringList files;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--jobs") && i + 1 < args.size())
            jobs = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--no-shrink"))
            shrink = false;
        else if (args[i] == QLatin1String("--out") && i + 1 < args.size())
            outDir = args[++i];
        else
            files << args[i];
    }
    if (outDir.isEmpty() || files.isEmpty()) {
        std::fprintf(stderr, "usage: quillon-bench [--jobs N] [--no-shrink] --out DIR FILE...\n");
        return 2;
    }
    QDir().mkpath(outDir);
    auto format = std::make_shared<settings::formatSetting>();
    auto scale = std::make_shared<settings::scaleSetting>();
    scale->mode = 0;
    scale->constrainProportions = true;
    scale->width = 1600;
    const std::vector<settings::SettingPtr> steps{format, scale};

    std::atomic<int> next{0};
    std::atomic<int> failures{0};
    auto worker = [&] {
        for (int i = next++; i < files.size(); i = next++) {
            QString error;
            if (!processOne(files[i], outDir, steps, shrink, &error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                ++failures;
            }
        }
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < jobs; ++t)
        threads.emplace_back(worker);
    worker();
    for (auto& t : threads)
        t.join();
    return failures ? 1 : 0;
}
