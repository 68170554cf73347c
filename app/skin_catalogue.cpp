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
#include <system_error>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Where the pixels of an uncompressed 24-bit BMP (the format of every sheet)
// lie. Anything else leaves width 0, and Qt's decoder handles it.
struct BmpLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    qint64 offBits = 0;
    qint64 stride = 0;
    qint32 dpmX = 0;
    qint32 dpmY = 0;
    bool valid() const { return width > 0; }
    qsizetype imageBytes() const { return qsizetype(width) * 4 * height; }
};

// `header` holds at least the first 54 bytes of a file of `fileSize` bytes.
BmpLayout bmp24Layout(const uchar *p, qint64 available, qint64 fileSize)
{
    if (available < 54 || p[0] != 'B' || p[1] != 'M')
        return {};
    const quint32 offBits = le32(p + 10);
    const quint32 infoSize = le32(p + 14);
    const qint32 width = les32(p + 18);
    const qint32 rawHeight = les32(p + 22);
    if (infoSize < 40 || infoSize > 124 || le16(p + 26) != 1 || le16(p + 28) != 24 || le32(p + 30) != 0)
        return {};
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || width > 32767)
        return {};
    const qint64 height = rawHeight < 0 ? -qint64(rawHeight) : rawHeight;
    const qint64 stride = (qint64(width) * 3 + 3) & ~qint64(3);
    if (height > 32767 || qint64(offBits) < 14 + qint64(infoSize) || qint64(offBits) + stride * height > fileSize)
        return {};
    return {width, int(height), rawHeight < 0, offBits, stride, les32(p + 38), les32(p + 42)};
}

// BGR rows, bottom-up unless the height was negative, into opaque RGB32: the
// same pixels Qt's BMP reader gives.
void convertBmp24(const uchar *file, const BmpLayout &bmp, uchar *out, qsizetype outStride)
{
    const uchar *pixels = file + bmp.offBits;
    for (int y = 0; y < bmp.height; ++y) {
        const uchar *s = pixels + bmp.stride * (bmp.topDown ? y : bmp.height - 1 - y);
        auto *d = reinterpret_cast<QRgb *>(out + outStride * y);
        int x = 0;
        // Four pixels from three little-endian words: B G R bytes are already
        // the low three bytes of an RGB32 value.
        for (; x + 4 <= bmp.width; x += 4, s += 12) {
            quint32 a, b, c;
            memcpy(&a, s, 4);
            memcpy(&b, s + 4, 4);
            memcpy(&c, s + 8, 4);
            a = qFromLittleEndian(a);
            b = qFromLittleEndian(b);
            c = qFromLittleEndian(c);
            d[x] = 0xff000000u | (a & 0xffffffu);
            d[x + 1] = 0xff000000u | (a >> 24) | ((b & 0xffffu) << 8);
            d[x + 2] = 0xff000000u | (b >> 16) | ((c & 0xffu) << 16);
            d[x + 3] = 0xff000000u | (c >> 8);
        }
        for (; x < bmp.width; ++x, s += 3)
            d[x] = 0xff000000u | (uint(s[2]) << 16) | (uint(s[1]) << 8) | s[0];
    }
}

QImage decodeBmp24(const QByteArray &data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    const BmpLayout bmp = bmp24Layout(p, data.size(), data.size());
    if (!bmp.valid())
        return {};
    QImage image(bmp.width, bmp.height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    convertBmp24(p, bmp, image.bits(), image.bytesPerLine());
    image.setDotsPerMeterX(bmp.dpmX);
    image.setDotsPerMeterY(bmp.dpmY);
    return image;
}

// One block of memory for all decoded sheets. Touching fresh pages one by one
// costs more than decoding them, so the block asks for huge pages and is
// released when the last image in it goes.
struct Arena {
    uchar *base = nullptr; // aligned start inside the mapping
    void *mapping = nullptr;
    size_t mappingSize = 0;
    std::atomic<int> users{1};

    explicit Arena(size_t bytes)
    {
        constexpr size_t huge = 2 * 1024 * 1024;
        mappingSize = bytes + huge;
        mapping = ::mmap(nullptr, mappingSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping == MAP_FAILED) {
            mapping = nullptr;
            return;
        }
        base = reinterpret_cast<uchar *>((reinterpret_cast<uintptr_t>(mapping) + huge - 1) & ~(huge - 1));
        ::madvise(base, bytes, MADV_HUGEPAGE); // a hint: without it pages are merely smaller
    }
    ~Arena()
    {
        if (mapping)
            ::munmap(mapping, mappingSize);
    }
    static void release(void *info)
    {
        auto *arena = static_cast<Arena *>(info);
        if (--arena->users == 0)
            delete arena;
    }
};

// A whole regular file, mapped read-only with its pages entered up front:
// cheaper than copying it out and far cheaper than faulting it in page by
// page. Opened without blocking, so a FIFO or device in its place is refused
// instead of waited on.
class MappedFile {
public:
    explicit MappedFile(const QString &path)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 && st.st_size <= kMaxImageFile) {
            void *p = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (p != MAP_FAILED) {
                data_ = static_cast<const uchar *>(p);
                size_ = st.st_size;
            }
        }
        ::close(fd);
    }
    ~MappedFile()
    {
        if (data_)
            ::munmap(const_cast<uchar *>(data_), size_t(size_));
    }
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    const uchar *data() const { return data_; }
    qint64 size() const { return size_; }
    // A view for Qt's decoder; valid while this object lives.
    QByteArray bytes() const { return QByteArray::fromRawData(reinterpret_cast<const char *>(data_), size_); }

private:
    const uchar *data_ = nullptr;
    qint64 size_ = 0;
};

// The first bytes of a file and its size, for planning the arena.
BmpLayout peekBmp24(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    uchar header[54];
    struct stat st;
    const bool ok = ::fstat(fd, &st) == 0 && ::pread(fd, header, sizeof header, 0) == ssize_t(sizeof header);
    ::close(fd);
    return ok ? bmp24Layout(header, sizeof header, st.st_size) : BmpLayout{};
}

// Qt's BMP reader stops quietly at the end of a short file and hands back an
// image whose remaining rows were never written. A bitmap is only passed on to
// it when its header is whole and, for uncompressed data, every row is there.
bool bmpIsComplete(const QByteArray &data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    const qint64 size = data.size();
    if (size < 54)
        return false;
    const quint32 offBits = le32(p + 10);
    const quint32 infoSize = le32(p + 14);
    if (infoSize < 40 || size < 14 + qint64(infoSize))
        return false;
    const qint64 width = les32(p + 18);
    const qint64 height = std::abs(qint64(les32(p + 22)));
    const quint16 bits = le16(p + 28);
    const quint32 compression = le32(p + 30);
    if (width <= 0 || height == 0 || width > 32767 || height > 32767)
        return false;
    if (compression == 1 || compression == 2)
        return qint64(offBits) < size; // run-length data: Qt's decoder checks its own bounds
    const qint64 stride = ((width * bits + 31) / 32) * 4;
    return qint64(offBits) >= 14 + qint64(infoSize) && qint64(offBits) + stride * height <= size;
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

    // Plan: which files are plain 24-bit bitmaps and where their pixels go.
    QString paths[kSkinFileCount];
    BmpLayout planned[kSkinFileCount];
    qsizetype offsets[kSkinFileCount];
    qsizetype arenaBytes = 0;
    for (int i = 0; i < kSkinFileCount; ++i) {
        paths[i] = folder + kFiles[i].name.toString();
        planned[i] = peekBmp24(paths[i]);
        offsets[i] = arenaBytes;
        arenaBytes += (planned[i].imageBytes() + 63) & ~qsizetype(63);
    }
    auto *arena = new Arena(size_t(std::max<qsizetype>(arenaBytes, 64)));

    // Decoding is most of the start-up cost; the files are independent, so a
    // few threads take turns on them. Each entry is written by one thread only.
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < kSkinFileCount; i = next++) {
            const MappedFile file(paths[i]);
            if (!file.data())
                continue;
            const BmpLayout bmp = bmp24Layout(file.data(), file.size(), file.size());
            const BmpLayout &plan = planned[i];
            if (arena->base && bmp.valid() && plan.valid() && bmp.width == plan.width && bmp.height == plan.height) {
                uchar *pixels = arena->base + offsets[i];
                convertBmp24(file.data(), bmp, pixels, qsizetype(bmp.width) * 4);
                ++arena->users;
                QImage image(pixels, bmp.width, bmp.height, qsizetype(bmp.width) * 4, QImage::Format_RGB32,
                             &Arena::release, arena);
                image.setDotsPerMeterX(bmp.dpmX);
                image.setDotsPerMeterY(bmp.dpmY);
                images_[i] = image;
            } else {
                // Qt's decoders copy what they need: the image outlives the mapping.
                images_[i] = DecodeImage(file.bytes());
            }
        }
    };
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> pool;
    try {
        for (unsigned t = 1; t < threads; ++t)
            pool.emplace_back(work);
    } catch (const std::system_error &) {
        // No more threads to be had: the ones running share the rest.
    }
    work();
    for (auto &t : pool)
        t.join();
    Arena::release(arena);
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
    if (data.startsWith("BM")) {
        QImage image = decodeBmp24(data);
        if (image.isNull() && bmpIsComplete(data))
            image = QImage::fromData(data, "BMP");
        return image;
    }
    return QImage::fromData(data);
}

QImage LoadImage(const QString &path)
{
    const MappedFile file(path);
    return file.data() ? DecodeImage(file.bytes()) : QImage();
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
