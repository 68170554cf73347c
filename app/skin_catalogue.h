#pragma once
// The skin catalogue: every image of the skin folder, decoded once at start and
// handed out by skin id and look state, plus the small start-up services that
// go with it (load one image file, open a web link).
//
// Images are QImage. Sheets and other BMP files decode to Format_RGB32; PNG
// files keep the format Qt's decoder gives them (ARGB32 for pictures with alpha,
// RGB32 or an indexed format otherwise). A null QImage means "none".
#include <QImage>
#include <QString>
#include <QStringView>

#include <array>
#include <atomic>
#include <functional>
#include <span>

namespace vela {

// Which set of files a catalogue entry belongs to. Windows with four look
// sheets name the family of those sheets; the two separate page backgrounds
// and the single images have families of their own.
enum class SkinFamily : quint8 {
    Main,
    MouseSettings,
    Sensor,
    ColorBackground,
    ColorSettings,
    MacroBackground,
    MacroSettings,
    Support,
    Single,
    Rename,
    Scroll,
    LeftClickWarn,
    DeleteMacro,
    SensorSQAT1,
    SensorSQAT2,
    SensorSQAT3,
    ResetWarn,
    UpdateWarn,
    AssignKey,
};

// One catalogue entry: its file name inside the skin folder, its family and
// the look state it carries (0 normal, 1 hover, 2 pressed, 3 disabled; 0 for
// single images).
struct SkinFile {
    QStringView name;
    SkinFamily family;
    int state;
};

inline constexpr int kSkinFileCount = 70;

// The 70 files in load order. The sensor page's disabled sheet really is
// spelled "Disabel": the file name is part of the skin set's contract.
std::span<const SkinFile, kSkinFileCount> skinFiles();

// Index into skinFiles() of the file of this family and state, or -1.
int skinFileIndex(SkinFamily family, int state);
// Index into skinFiles() of the file with this name, or -1.
int skinFileIndex(QStringView name);

// How a skin id is served.
enum class SkinKind : quint8 {
    Invalid,
    Cut,    // a new image of the rectangle of the file
    Copy,   // the whole file (the rectangle is ignored)
    Shared, // the catalogue's own image (the rectangle is ignored)
};

struct SkinSource {
    SkinKind kind = SkinKind::Invalid;
    int file = -1; // index into skinFiles()
};

// Resolves a skin id and state by the id table. Copies and shared images
// ignore the state; cuts accept only the states their family has (id 130
// state 0 only, ids 158-160 states 0 and 1). Id 62, negative ids and ids above
// 200 are invalid.
SkinSource skinSource(int id, int state);

// Pictures the pages load by name from the skin folder, besides the catalogue:
// the sensor page's surface picture for quality band 0-10 ("0.bmp" ... "100.bmp")
// and frame 0-2 of the surface-analysis animation ("TQA2-1.bmp" ... "TQA2-3.bmp").
inline QString surfacePictureName(int band)
{
    return QString::number(10 * band) + QStringLiteral(".bmp");
}
inline QString analysisFrameName(int frame)
{
    return QStringLiteral("TQA2-%1.bmp").arg(frame + 1);
}

// The program's name, used as the caption of the skin failure message.
inline constexpr QStringView kProgramName = u"Vela PRO Software";
// The text shown when a skin lookup fails.
inline constexpr QStringView kSkinFailureText = u"ui load failed!";

// Called when a lookup fails (bad id or state, or missing image): shows
// `text` with `caption` and makes the quit request. Runs on the thread that
// made the lookup (the UI thread).
using SkinFailureHandler = std::function<void(const QString &text, const QString &caption)>;

// The default handler: logs the message and queues QCoreApplication::exit(0).
// It shows no box, so it never blocks; the program points the catalogue at its
// message-box layer instead.
void defaultSkinFailureHandler(const QString &text, const QString &caption);

// The skin folder with its trailing "/": programFolder() + "/Vela_Pro_Skins/",
// or, when that folder is missing, the installed one at
// programFolder() + "/../share/vela-pro-software/Vela_Pro_Skins/".
QString skinFolder();

class SkinCatalogue {
public:
    // An empty folder means skinFolder(), resolved at load time.
    explicit SkinCatalogue(QString folder = {});

    // Loads all 70 files of the folder, in parallel. Sets the loaded flag first,
    // so a lookup during loading starts no second load. A missing or
    // undecodable file leaves its entry null; nothing is reported here.
    // Loading happens once: later calls do nothing.
    void load();
    bool isLoaded() const { return loaded_.load(); }

    // Skin lookup: loads the skins if not yet loaded, then serves the id by the
    // id table. A cut is the rectangle from column left to right - 1 and row top
    // to bottom - 1 (pixels outside the image come out as 0, black); an empty
    // rectangle gives a null image. On an invalid id or state,
    // or a missing image, calls the failure handler and returns a null image.
    QImage lookup(int id, int state, int left = 0, int top = 0, int right = 0, int bottom = 0);

    // Entry `index` of skinFiles(); null when missing.
    const QImage &image(int index) const { return images_[index]; }
    // Bytes of pixel data the decoded entries hold.
    qsizetype bytesHeld() const;

    // An empty handler restores the default.
    void setFailureHandler(SkinFailureHandler handler);

private:
    void fail();

    QString folder_;
    std::atomic<bool> loaded_{false};
    std::array<QImage, kSkinFileCount> images_;
    SkinFailureHandler failure_;
};

// The process-wide catalogue (created on first use, never destroyed before the
// process ends). UI thread only.
SkinCatalogue &skinCatalogue();
// Shorthands on the process-wide catalogue.
void LoadSkins();
QImage SkinLookup(int id, int state, int left = 0, int top = 0, int right = 0, int bottom = 0);

// Decodes an image file; a null image when the file is missing, unreadable,
// larger than 256 MiB, not decodable by Qt, or a bitmap cut short (Qt would
// return it with rows it never filled). Uncompressed 24-bit BMP files take a
// direct path that gives the same pixels as Qt's decoder, only faster.
// Thread-safe.
QImage LoadImage(const QString &path);
// The same for a file already in memory. Never reads outside `data`.
QImage DecodeImage(const QByteArray &data);

// Asks the desktop to open a web address or file with `xdg-open` (or the
// program named by $VELA_OPEN_COMMAND), detached: returns at once, never waits
// for the browser and reports nothing. A text starting with "-" is refused so it
// cannot pass as an option.
void OpenLink(const QString &text);

} // namespace vela
