// Start-up cost of the skin catalogue against Qt's plain decode of the same
// files, measured in the same run, and the memory the catalogue holds.
//
//   vela-skin-bench [SKIN_FOLDER] [RUNS]
#include "app/skin_catalogue.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString folder = args.size() > 1 ? args[1] : vela::programFolder() + QStringLiteral("/Vela_Pro_Skins");
    const int runs = args.size() > 2 ? std::max(1, args[2].toInt()) : 21;

    QStringList all, sheets;
    for (const vela::SkinFile &file : vela::skinFiles()) {
        const QString path = folder + u'/' + file.name.toString();
        all << path;
        if (QImage(path).width() == 1024)
            sheets << path;
    }
    if (sheets.isEmpty()) {
        std::fprintf(stderr, "no skins in %s\n", qPrintable(folder));
        return 1;
    }

    qsizetype held = 0;
    const double catalogue = medianMs(runs, [&] {
        vela::SkinCatalogue skins(folder);
        skins.load();
        held = skins.bytesHeld();
    });
    const auto plain = [](const QStringList &paths) {
        return [&paths] {
            for (const QString &path : paths)
                QImage image(path);
        };
    };
    const double qtSheets = medianMs(runs, plain(sheets));
    const double qtAll = medianMs(runs, plain(all));

    // Same pixels as Qt's own decoder, file by file.
    int differing = 0;
    vela::SkinCatalogue skins(folder);
    skins.load();
    for (int i = 0; i < vela::kSkinFileCount; ++i)
        differing += skins.image(i) != QImage(all[i]).convertToFormat(skins.image(i).format());

    std::printf("skin catalogue load, %d files, median of %d: %.1f ms\n", int(all.size()), runs, catalogue);
    std::printf("Qt plain decode of the %d full-size sheets:   %.1f ms  (catalogue / this = %.2f)\n",
                int(sheets.size()), qtSheets, catalogue / qtSheets);
    std::printf("Qt plain decode of all %d files:              %.1f ms  (catalogue / this = %.2f)\n",
                int(all.size()), qtAll, catalogue / qtAll);
    std::printf("memory held by the decoded catalogue:        %.1f MiB\n", held / (1024.0 * 1024.0));
    std::printf("files whose pixels differ from Qt's decode:  %d\n", differing);
    return differing ? 1 : 0;
}
