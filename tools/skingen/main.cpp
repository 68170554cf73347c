// vela-skingen: draws our skin set into a folder, or turns a skin folder into
// PNG snapshots for review.
//
//   vela-skingen OUT_FOLDER                 write every skin file
//   vela-skingen --sheets SKINS PNG_FOLDER  every image of SKINS as PNG, plus
//                                           each window's sheet with its
//                                           control rectangles marked
#include "app/skin_catalogue.h"
#include "app/skin_layout.h"
#include "tools/skingen/art.h"
#include "tools/skingen/pictures.h"
#include "tools/skingen/sheets.h"

#include <QDir>
#include <QFontInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QtEndian>

#include <cstdio>

namespace {

using vela::SkinFamily;

// Pictures the pages load by name besides the catalogue.
QStringList extraFiles()
{
    QStringList names;
    for (int band = 0; band <= 10; ++band)
        names << vela::surfacePictureName(band);
    for (int frame = 0; frame < 3; ++frame)
        names << vela::analysisFrameName(frame);
    return names;
}

// 24-bit bottom-up BMP with a plain info header: what every reader takes, and
// the same bytes for the same pixels.
QByteArray encodeBmp24(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    const int stride = (w * 3 + 3) & ~3;
    const int offset = 14 + 40;
    QByteArray out(offset + stride * h, '\0');
    auto *d = reinterpret_cast<uchar *>(out.data());
    const auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, d + at); };
    const auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, d + at); };
    d[0] = 'B';
    d[1] = 'M';
    put32(2, quint32(out.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, quint32(w));
    put32(22, quint32(h));
    put16(26, 1);
    put16(28, 24);
    put32(34, quint32(stride * h));
    put32(38, 2835); // 72 dpi
    put32(42, 2835);
    for (int y = 0; y < h; ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(image.constScanLine(h - 1 - y));
        uchar *row = d + offset + stride * y;
        for (int x = 0; x < w; ++x) {
            row[3 * x] = uchar(qBlue(s[x]));
            row[3 * x + 1] = uchar(qGreen(s[x]));
            row[3 * x + 2] = uchar(qRed(s[x]));
        }
    }
    return out;
}

bool write(const QString &path, const QImage &image)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (path.endsWith(QLatin1String(".bmp"))) {
        file.write(encodeBmp24(image));
    } else if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

const vela::skin::Window *windowOf(SkinFamily family)
{
    for (const auto &w : vela::skin::windows())
        if (w.sheets == family)
            return &w;
    return nullptr;
}

QImage single(QStringView name)
{
    using namespace skingen;
    if (name == u"Color_slider.png")
        return colourSlider();
    if (name == u"Slider_Normal.png")
        return sliderThumb(Thumb::Normal);
    if (name == u"Slider_Disable.png")
        return sliderThumb(Thumb::Disabled);
    if (name.startsWith(u"Slider") && name.endsWith(u"_Over.png"))
        return sliderThumb(Thumb::Numbered, name.mid(6, 1).toInt());
    if (name == u"ColorPanel.bmp")
        return colourPanel();
    if (name == u"ColorPalete.png")
        return colourPalette();
    if (name == u"Vela.png")
        return lightingMouse();
    if (name == u"Mouse_settings_vela.png")
        return buttonsMouse();
    return {};
}

QImage draw(const vela::SkinFile &file)
{
    using namespace vela::skin;
    switch (file.family) {
    case SkinFamily::Single:
        return single(file.name);
    case SkinFamily::Scroll:
        return skingen::scrollImage(file.state);
    case SkinFamily::ColorBackground:
        return skingen::renderBackground(window(WindowId::ColorSettings));
    case SkinFamily::MacroBackground:
        return skingen::renderBackground(window(WindowId::MacroSettings));
    default:
        return skingen::renderSheet(*windowOf(file.family), file.state);
    }
}

QImage drawExtra(const QString &name)
{
    for (int frame = 0; frame < 3; ++frame)
        if (name == vela::analysisFrameName(frame))
            return skingen::analysisFrame(frame);
    for (int band = 0; band <= 10; ++band)
        if (name == vela::surfacePictureName(band))
            return skingen::surfacePicture(10 * band);
    return {};
}

int generate(const QString &folder)
{
    QDir().mkpath(folder);
    const QFontInfo used(skingen::font(13));
    if (!used.family().contains(QLatin1String("Liberation")) && !used.family().contains(QLatin1String("Arial")))
        std::fprintf(stderr, "vela-skingen: \"Arial\" resolves to %s; install fonts-liberation2\n",
                     qPrintable(used.family()));
    int failures = 0;
    for (const vela::SkinFile &file : vela::skinFiles()) {
        const QString path = folder + u'/' + file.name.toString();
        if (!write(path, draw(file))) {
            std::fprintf(stderr, "vela-skingen: cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    for (const QString &name : extraFiles())
        if (!write(folder + u'/' + name, drawExtra(name))) {
            std::fprintf(stderr, "vela-skingen: cannot write %s\n", qPrintable(name));
            ++failures;
        }
    return failures ? 1 : 0;
}

// The Normal sheet with every control's cut rectangle outlined and labelled,
// to check by eye that the art and the tables agree.
QImage layoutView(const vela::skin::Window &w, const QString &skins)
{
    QImage image = vela::LoadImage(skins + u'/' + vela::skinFiles()[vela::skinFileIndex(w.sheets, 0)].name.toString());
    image = image.convertToFormat(QImage::Format_RGB32);
    QPainter p(&image);
    for (const auto &c : w.controls) {
        p.setPen(QColor(255, 60, 200));
        p.setBrush(Qt::NoBrush);
        p.drawRect(c.cutRect().adjusted(0, 0, -1, -1));
        if (c.id) {
            p.setFont(skingen::font(9));
            p.drawText(c.cutRect().bottomLeft() + QPoint(1, 10), QString::number(c.id));
        }
    }
    p.end();
    return image;
}

// The small pictures on one page: the lighting preview as the page composes
// it (zones lit under the picture), the rest over a checkerboard so alpha
// shows, thumbs and scroll parts enlarged.
QImage pictureView(const QString &skins)
{
    const auto load = [&](const QString &name) { return vela::LoadImage(skins + u'/' + name); };
    QImage sheet(1060, 760, QImage::Format_RGB32);
    QPainter p(&sheet);
    for (int y = 0; y < sheet.height(); y += 10)
        for (int x = 0; x < sheet.width(); x += 10)
            p.fillRect(x, y, 10, 10, ((x + y) / 10) % 2 ? QColor(70, 70, 70) : QColor(90, 90, 90));

    p.fillRect(10, 10, 270, 369, Qt::black);
    p.fillRect(vela::skin::kPreviewZoneA.translated(10, 10), QColor(50, 235, 165));
    p.fillRect(vela::skin::kPreviewZoneB.translated(10, 10), QColor(235, 60, 90));
    p.drawImage(10, 10, load(QStringLiteral("Vela.png")));
    p.drawImage(290, 10, load(QStringLiteral("Mouse_settings_vela.png")));
    int x = 600, y = 10;
    for (int band = 0; band <= 10; ++band) {
        p.drawImage(x, y, load(vela::surfacePictureName(band)));
        x += 130 + 20;
        if (x > 900) {
            x = 600;
            y += 95;
        }
    }
    for (int f = 0; f < 3; ++f)
        p.drawImage(10 + f * 210, 400, load(vela::analysisFrameName(f)));
    const QStringList thumbs = {QStringLiteral("Slider_Normal.png"), QStringLiteral("Slider_Disable.png"),
                                QStringLiteral("Slider1_Over.png"),  QStringLiteral("Slider2_Over.png"),
                                QStringLiteral("Slider3_Over.png"),  QStringLiteral("Slider4_Over.png"),
                                QStringLiteral("Slider5_Over.png")};
    for (int i = 0; i < thumbs.size(); ++i)
        p.drawImage(QRect(10 + i * 40, 530, 30, 42), load(thumbs[i]));
    const QStringList scroll = {QStringLiteral("Scroll_Normal.bmp"), QStringLiteral("Scroll_Over.bmp"),
                                QStringLiteral("Scroll_Down.bmp")};
    for (int i = 0; i < scroll.size(); ++i)
        p.drawImage(QRect(300 + i * 50, 530, 23, 222), load(scroll[i]));
    p.drawImage(470, 530, load(QStringLiteral("Color_slider.png")));
    p.drawImage(520, 530, load(QStringLiteral("ColorPalete.png")));
    p.drawImage(680, 530, load(QStringLiteral("ColorPanel.bmp")));
    p.end();
    return sheet;
}

int snapshots(const QString &skins, const QString &out)
{
    QDir().mkpath(out);
    QStringList names;
    for (const vela::SkinFile &file : vela::skinFiles())
        names << file.name.toString();
    names << extraFiles();
    int failures = 0;
    for (const QString &name : names) {
        const QImage image = vela::LoadImage(skins + u'/' + name);
        if (image.isNull() || !write(out + u'/' + name.section(u'.', 0, 0) + QStringLiteral(".png"), image)) {
            std::fprintf(stderr, "vela-skingen: cannot convert %s\n", qPrintable(name));
            ++failures;
        }
    }
    for (const auto &w : vela::skin::windows())
        if (!write(out + QStringLiteral("/layout_") + w.name.toString() + QStringLiteral(".png"), layoutView(w, skins)))
            ++failures;
    if (!write(out + QStringLiteral("/pictures.png"), pictureView(skins)))
        ++failures;
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && !args[1].startsWith(u'-'))
        return generate(args[1]);
    if (args.size() == 4 && args[1] == QLatin1String("--sheets"))
        return snapshots(args[2], args[3]);
    std::fprintf(stderr, "usage: vela-skingen OUT_FOLDER\n       vela-skingen --sheets SKIN_FOLDER PNG_FOLDER\n");
    return 2;
}
