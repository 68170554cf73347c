#include "app/skin_catalogue.h"

#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

namespace vela {
namespace {

using F = SkinFamily;

constexpr SkinFile kFiles[kSkinFileCount] = {
    {u"Main_Normal.bmp", F::Main, 0},
    {u"Main_Over.bmp", F::Main, 1},
    {u"Main_Down.bmp", F::Main, 2},
    {u"Main_Disable.bmp", F::Main, 3},
    {u"Mouse_Settings_Normal.bmp", F::MouseSettings, 0},
    {u"Mouse_Settings_Over.bmp", F::MouseSettings, 1},
    {u"Mouse_Settings_Down.bmp", F::MouseSettings, 2},
    {u"Mouse_Settings_Disable.bmp", F::MouseSettings, 3},
    {u"Sensor_Performance_Normal.bmp", F::Sensor, 0},
    {u"Sensor_Performance_Over.bmp", F::Sensor, 1},
    {u"Sensor_Performance_Down.bmp", F::Sensor, 2},
    {u"Sensor_Performance_Disabel.bmp", F::Sensor, 3},
    {u"Color_Settings_BK.png", F::ColorBackground, 0},
    {u"Color_Settings_Normal.bmp", F::ColorSettings, 0},
    {u"Color_Settings_Over.bmp", F::ColorSettings, 1},
    {u"Color_Settings_Down.bmp", F::ColorSettings, 2},
    {u"Color_Settings_Disable.bmp", F::ColorSettings, 3},
    {u"Macro_Settings_BK.bmp", F::MacroBackground, 0},
    {u"Macro_Settings_Normal.bmp", F::MacroSettings, 0},
    {u"Macro_Settings_Over.bmp", F::MacroSettings, 1},
    {u"Macro_Settings_Down.bmp", F::MacroSettings, 2},
    {u"Macro_Settings_Disable.bmp", F::MacroSettings, 3},
    {u"Support_Normal.bmp", F::Support, 0},
    {u"Support_Over.bmp", F::Support, 1},
    {u"Support_Down.bmp", F::Support, 2},
    {u"Support_Disable.bmp", F::Support, 3},
    {u"Color_slider.png", F::Single, 0},
    {u"Slider_Normal.png", F::Single, 0},
    {u"Slider_Disable.png", F::Single, 0},
    {u"Slider1_Over.png", F::Single, 0},
    {u"Slider2_Over.png", F::Single, 0},
    {u"Slider3_Over.png", F::Single, 0},
    {u"Slider4_Over.png", F::Single, 0},
    {u"Slider5_Over.png", F::Single, 0},
    {u"ColorPanel.bmp", F::Single, 0},
    {u"ColorPalete.png", F::Single, 0},
    {u"Vela.png", F::Single, 0},
    {u"Mouse_settings_vela.png", F::Single, 0},
    {u"ReName_Normal.bmp", F::Rename, 0},
    {u"ReName_Over.bmp", F::Rename, 1},
    {u"ReName_Down.bmp", F::Rename, 2},
    {u"ReName_Disable.bmp", F::Rename, 3},
    {u"Scroll_Normal.bmp", F::Scroll, 0},
    {u"Scroll_Over.bmp", F::Scroll, 1},
    {u"Scroll_Down.bmp", F::Scroll, 2},
    {u"LeftClickWarn_Normal.bmp", F::LeftClickWarn, 0},
    {u"LeftClickWarn_Over.bmp", F::LeftClickWarn, 1},
    {u"LeftClickWarn_Down.bmp", F::LeftClickWarn, 2},
    {u"DeleteMacro_Normal.bmp", F::DeleteMacro, 0},
    {u"DeleteMacro_Over.bmp", F::DeleteMacro, 1},
    {u"DeleteMacro_Down.bmp", F::DeleteMacro, 2},
    {u"SensorSQAT1_Normal.bmp", F::SensorSQAT1, 0},
    {u"SensorSQAT1_Over.bmp", F::SensorSQAT1, 1},
    {u"SensorSQAT1_Down.bmp", F::SensorSQAT1, 2},
    {u"SensorSQAT2_Normal.bmp", F::SensorSQAT2, 0},
    {u"SensorSQAT2_Over.bmp", F::SensorSQAT2, 1},
    {u"SensorSQAT2_Down.bmp", F::SensorSQAT2, 2},
    {u"SensorSQAT3_Normal.bmp", F::SensorSQAT3, 0},
    {u"SensorSQAT3_Over.bmp", F::SensorSQAT3, 1},
    {u"SensorSQAT3_Down.bmp", F::SensorSQAT3, 2},
    {u"ResetWarn_Normal.bmp", F::ResetWarn, 0},
    {u"ResetWarn_Over.bmp", F::ResetWarn, 1},
    {u"ResetWarn_Down.bmp", F::ResetWarn, 2},
    {u"UpdateWarn_Normal.bmp", F::UpdateWarn, 0},
    {u"UpdateWarn_Over.bmp", F::UpdateWarn, 1},
    {u"UpdateWarn_Down.bmp", F::UpdateWarn, 2},
    {u"AssignKey_Normal.bmp", F::AssignKey, 0},
    {u"AssignKey_Over.bmp", F::AssignKey, 1},
    {u"AssignKey_Down.bmp", F::AssignKey, 2},
    {u"AssignKey_Disable.bmp", F::AssignKey, 3},
};

SkinSource whole(SkinKind kind, QStringView name)
{
    return {kind, skinFileIndex(name)};
}

SkinSource cut(SkinFamily family, int state)
{
    int file = skinFileIndex(family, state);
    return file < 0 ? SkinSource{} : SkinSource{SkinKind::Cut, file};
}

// A pop-up kind k owns ids k (its shared Normal sheet) to k + n (cuts).
SkinSource popUp(int id, int first, int last, SkinFamily family, int state)
{
    if (id == first)
        return {SkinKind::Shared, skinFileIndex(family, 0)};
    if (id <= last)
        return cut(family, state);
    return {};
}

constexpr qint64 kMaxImageFile = 256 * 1024 * 1024;

quint16 le16(const uchar *p) { return qFromLittleEndian<quint16>(p); }
quint32 le32(const uchar *p) { return qFromLittleEndian<quint32>(p); }
qint32 les32(const uchar *p) { return qFromLittleEndian<qint32>(p); }

// Uncompressed 24-bit BMP, the format of every sheet, decoded straight from
// memory. Returns a null image for anything else so Qt's decoder handles it.
// The result matches what Qt's BMP reader gives: Format_RGB32, opaque, rows
// bottom-up unless the height is negative, the header's resolution kept.
QImage decodeBmp24(const QByteArray &data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    const qint64 size = data.size();
    if (size < 54 || p[0] != 'B' || p[1] != 'M')
        return {};
    const quint32 offBits = le32(p + 10);
    const quint32 infoSize = le32(p + 14);
    const qint32 width = les32(p + 18);
    const qint32 rawHeight = les32(p + 22);
    const quint16 planes = le16(p + 26);
    const quint16 bits = le16(p + 28);
    const quint32 compression = le32(p + 30);
    if (infoSize < 40 || infoSize > 124 || planes != 1 || bits != 24 || compression != 0)
        return {};
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || width > 32767)
        return {};
    const bool topDown = rawHeight < 0;
    const qint64 height = topDown ? -qint64(rawHeight) : rawHeight;
    if (height > 32767)
        return {};
    const qint64 stride = (qint64(width) * 3 + 3) & ~qint64(3);
    if (qint64(offBits) < 14 + qint64(infoSize) || qint64(offBits) + stride * height > size)
        return {};

    QImage image(width, int(height), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const uchar *pixels = p + offBits;
    for (int y = 0; y < height; ++y) {
        const uchar *s = pixels + stride * (topDown ? y : height - 1 - y);
        auto *d = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x, s += 3)
            d[x] = 0xff000000u | (uint(s[2]) << 16) | (uint(s[1]) << 8) | s[0];
    }
    image.setDotsPerMeterX(les32(p + 38));
    image.setDotsPerMeterY(les32(p + 42));
    return image;
}

} // namespace

std::span<const SkinFile, kSkinFileCount> skinFiles()
{
    return std::span<const SkinFile, kSkinFileCount>(kFiles);
}

int skinFileIndex(SkinFamily family, int state)
{
    for (int i = 0; i < kSkinFileCount; ++i)
        if (kFiles[i].family == family && kFiles[i].state == state && family != F::Single)
            return i;
    return -1;
}

int skinFileIndex(QStringView name)
{
    for (int i = 0; i < kSkinFileCount; ++i)
        if (kFiles[i].name == name)
            return i;
    return -1;
}

SkinSource skinSource(int id, int state)
{
    if (id < 0 || id > 200 || id == 62)
        return {};
    if (id == 0)
        return whole(SkinKind::Copy, u"Main_Normal.bmp");
    if (id <= 21)
        return cut(F::Main, state);
    if (id == 22)
        return whole(SkinKind::Shared, u"Mouse_Settings_Normal.bmp");
    if (id == 23)
        return whole(SkinKind::Copy, u"Mouse_settings_vela.png");
    if (id <= 49)
        return cut(F::MouseSettings, state);
    if (id == 50)
        return whole(SkinKind::Shared, u"Sensor_Performance_Normal.bmp");
    if (id <= 81)
        return cut(F::Sensor, state);
    if (id == 87)
        return whole(SkinKind::Shared, u"Color_Settings_BK.png");
    if (id == 129)
        return whole(SkinKind::Copy, u"Vela.png");
    if (id == 130)
        return state == 0 ? cut(F::ColorBackground, 0) : SkinSource{};
    if (id <= 131)
        return cut(F::ColorSettings, state);
    if (id == 132)
        return whole(SkinKind::Copy, u"ColorPalete.png");
    if (id == 133)
        return whole(SkinKind::Shared, u"Macro_Settings_BK.bmp");
    if (id <= 141)
        return cut(F::MacroSettings, state);
    if (id == 142)
        return whole(SkinKind::Shared, u"Support_Normal.bmp");
    if (id <= 148)
        return cut(F::Support, state);
    if (id == 149)
        return whole(SkinKind::Copy, u"Color_slider.png");
    if (id == 150)
        return whole(SkinKind::Copy, u"Slider_Normal.png");
    if (id == 151)
        return whole(SkinKind::Copy, u"Slider_Disable.png");
    if (id <= 156)
        return {SkinKind::Copy, skinFileIndex(u"Slider1_Over.png") + (id - 152)};
    if (id == 157)
        return whole(SkinKind::Copy, u"Scroll_Normal.bmp");
    if (id <= 160) {
        // The arrows' and thumb's normal look lives in the Down file, their
        // pressed look in the Over file.
        if (state == 0)
            return cut(F::Scroll, 2);
        if (state == 1)
            return cut(F::Scroll, 1);
        return {};
    }
    if (id == 161)
        return whole(SkinKind::Copy, u"ColorPanel.bmp");
    if (id == 162)
        return whole(SkinKind::Shared, u"ReName_Normal.bmp");
    if (id <= 166)
        return cut(F::Rename, state);
    if (id <= 170)
        return popUp(id, 167, 170, F::LeftClickWarn, state);
    if (id <= 174)
        return popUp(id, 171, 174, F::DeleteMacro, state);
    if (id <= 178)
        return popUp(id, 175, 178, F::SensorSQAT1, state);
    if (id <= 184)
        return popUp(id, 179, 184, F::SensorSQAT2, state);
    if (id <= 187)
        return popUp(id, 185, 187, F::SensorSQAT3, state);
    if (id <= 191)
        return popUp(id, 188, 191, F::ResetWarn, state);
    if (id <= 195)
        return popUp(id, 192, 195, F::UpdateWarn, state);
    return popUp(id, 196, 200, F::AssignKey, state);
}

void defaultSkinFailureHandler(const QString &text, const QString &caption)
{
    qWarning("%s: %s", qUtf8Printable(caption), qUtf8Printable(text));
    if (auto *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

QString skinFolder()
{
    const QString beside = programFolder() + QStringLiteral("/Vela_Pro_Skins/");
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed =
        programFolder() + QStringLiteral("/../share/vela-pro-software/Vela_Pro_Skins/");
    if (QFileInfo(installed).isDir())
        return QDir::cleanPath(installed) + u'/';
    return beside;
}

SkinCatalogue::SkinCatalogue(QString folder)
    : folder_(std::move(folder))
{
}

void SkinCatalogue::load()
{
    if (loaded_.exchange(true))
        return;
    QString folder = folder_.isEmpty() ? skinFolder() : folder_;
    if (!folder.endsWith(u'/'))
        folder += u'/';

    // Decoding is most of the start-up cost; the files are independent, so a
    // few threads take turns on them. Each entry is written by one thread only.
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < kSkinFileCount; i = next++)
            images_[i] = LoadImage(folder + kFiles[i].name.toString());
    };
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (auto &t : pool)
        t.join();
}

QImage SkinCatalogue::lookup(int id, int state, int left, int top, int right, int bottom)
{
    if (!isLoaded())
        load();
    const SkinSource source = skinSource(id, state);
    if (source.kind == SkinKind::Invalid || images_[source.file].isNull()) {
        fail();
        return {};
    }
    const QImage &image = images_[source.file];
    if (source.kind != SkinKind::Cut)
        return image; // implicitly shared: a copy costs nothing until written to
    if (right <= left || bottom <= top)
        return {};
    return image.copy(left, top, right - left, bottom - top);
}

qsizetype SkinCatalogue::bytesHeld() const
{
    qsizetype bytes = 0;
    for (const QImage &image : images_)
        bytes += image.sizeInBytes();
    return bytes;
}

void SkinCatalogue::setFailureHandler(SkinFailureHandler handler)
{
    failure_ = std::move(handler);
}

void SkinCatalogue::fail()
{
    const QString text = kSkinFailureText.toString();
    const QString caption = kProgramName.toString();
    if (failure_)
        failure_(text, caption);
    else
        defaultSkinFailureHandler(text, caption);
}

SkinCatalogue &skinCatalogue()
{
    // Deliberately leaked: controls may still hold lookups at exit.
    static auto *catalogue = new SkinCatalogue;
    return *catalogue;
}

void LoadSkins()
{
    skinCatalogue().load();
}

QImage SkinLookup(int id, int state, int left, int top, int right, int bottom)
{
    return skinCatalogue().lookup(id, state, left, top, right, bottom);
}

QImage DecodeImage(const QByteArray &data)
{
    if (data.isEmpty())
        return {};
    QImage image = decodeBmp24(data);
    if (image.isNull())
        image = QImage::fromData(data);
    return image;
}

QImage LoadImage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxImageFile)
        return {};
    return DecodeImage(file.readAll());
}

void OpenLink(const QString &text)
{
    if (text.isEmpty() || text.startsWith(u'-'))
        return;
    QString program = qEnvironmentVariable("VELA_OPEN_COMMAND");
    if (program.isEmpty())
        program = QStringLiteral("xdg-open");
    // startDetached forks and returns once the program has been started; the
    // browser itself is never waited for.
    QProcess::startDetached(program, {text});
}

} // namespace vela
