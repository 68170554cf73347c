// Start-up cost of the skin catalogue against Qt's plain decode of the same
// files, measured in the same run, and the memory the catalogue holds.
//
//   bench_skin_catalogue [SKIN_FOLDER] [RUNS]   (default: the build's skin set)
//
// Each measurement runs in a fresh process, as at program start: within one
// process the allocator hands back memory it already touched, and that would
// hide the page faults every real start pays.
#include "app/skin_catalogue.h"

#include <QCoreApplication>
#include <QImage>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <vector>

namespace {

double cpuMs()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

QStringList files(const QString &folder, bool sheetsOnly)
{
    QStringList paths;
    for (const vela::SkinFile &file : vela::skinFiles()) {
        const QString path = folder + u'/' + file.name.toString();
        // The full-size sheets: every page, main-window and page background image.
        const bool sheet = file.family != vela::SkinFamily::Single && file.family != vela::SkinFamily::Scroll &&
                           file.family < vela::SkinFamily::Rename;
        if (!sheetsOnly || sheet)
            paths << path;
    }
    return paths;
}

// One measurement in this process: prints "wall cpu bytes".
int measureOnce(const QString &mode, const QString &folder)
{
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuMs();
    qsizetype bytes = 0;
    if (mode == QLatin1String("catalogue")) {
        vela::SkinCatalogue skins(folder);
        skins.load();
        bytes = skins.bytesHeld();
        const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("%f %f %lld\n", wall, cpuMs() - cpuStart, static_cast<long long>(bytes));
        return 0;
    }
    std::vector<QImage> kept; // held, like the catalogue holds its images
    for (const QString &path : files(folder, mode == QLatin1String("qt-sheets"))) {
        kept.emplace_back(path);
        bytes += kept.back().sizeInBytes();
    }
    const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%f %f %lld\n", wall, cpuMs() - cpuStart, static_cast<long long>(bytes));
    return 0;
}

struct Figures {
    std::vector<double> wall, cpu;
    qsizetype bytes = 0;
    double median(std::vector<double> v) const
    {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--one")
        return measureOnce(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString folder = args.size() > 1 ? args[1] : QStringLiteral(VELA_BIN_DIR "/Vela_Pro_Skins");
    const int runs = args.size() > 2 ? std::max(1, args[2].toInt()) : 21;
    if (QImage(folder + QStringLiteral("/Main_Normal.bmp")).isNull()) {
        std::fprintf(stderr, "no skins in %s\n", qPrintable(folder));
        return 1;
    }

    const QStringList modes = {QStringLiteral("catalogue"), QStringLiteral("qt-sheets"), QStringLiteral("qt-all")};
    std::map<QString, Figures> figures;
    for (int run = 0; run < runs; ++run)
        for (const QString &mode : modes) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--one"), mode, folder});
            if (!child.waitForFinished(60000) || child.exitCode() != 0)
                return 1;
            const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
            if (parts.size() != 3)
                return 1;
            Figures &f = figures[mode];
            f.wall.push_back(parts[0].toDouble());
            f.cpu.push_back(parts[1].toDouble());
            f.bytes = parts[2].toLongLong();
        }

    // Same pixels as Qt's own decoder, file by file.
    int differing = 0;
    vela::SkinCatalogue skins(folder);
    skins.load();
    const QStringList all = files(folder, false);
    for (int i = 0; i < vela::kSkinFileCount; ++i)
        differing += skins.image(i) != QImage(all[i]).convertToFormat(skins.image(i).format());

    const Figures &cat = figures[modes[0]], &sheets = figures[modes[1]], &whole = figures[modes[2]];
    const double catWall = cat.median(cat.wall);
    std::printf("median of %d fresh processes                  wall ms   cpu ms\n", runs);
    std::printf("skin catalogue load, %2d files                %7.1f  %7.1f\n", int(all.size()), catWall,
                cat.median(cat.cpu));
    std::printf("Qt plain decode, the %2d full-size sheets     %7.1f  %7.1f   catalogue / this: %.2f\n",
                int(files(folder, true).size()), sheets.median(sheets.wall), sheets.median(sheets.cpu),
                catWall / sheets.median(sheets.wall));
    std::printf("Qt plain decode, all %2d files                %7.1f  %7.1f   catalogue / this: %.2f\n",
                int(all.size()), whole.median(whole.wall), whole.median(whole.cpu),
                catWall / whole.median(whole.wall));
    std::printf("memory held by the decoded catalogue:        %.1f MiB (Qt, all files: %.1f MiB)\n",
                cat.bytes / (1024.0 * 1024.0), whole.bytes / (1024.0 * 1024.0));
    std::printf("files whose pixels differ from Qt's decode:  %d\n", differing);
    return differing ? 1 : 0;
}
