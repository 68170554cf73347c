#pragma once
// The layout of every skinned window: which controls it has, where they sit,
// what kind of control each is and from which skin id its images are cut. The
// windows place their controls from these tables and the skin generator draws
// the sheets from the same tables, so every cut rectangle shows its control.
//
// Rectangles are client pixels of the window (left, top, width, height).
// Words in `art` are already in the sheets: a window gives such a control an
// empty caption (`caption` keeps the dialog template's text for reference) and
// sets text only where the kit draws it (profile names, chosen functions,
// numbers, versions, key names).
#include "app/skin_catalogue.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QStringView>

#include <span>

namespace vela::skin {

// What a control looks like in the art (the windows pick the kit class).
enum class Kind : quint8 {
    Tab,          // CNexButton tab of the main window; label in the art
    Button,       // CNexButton; caption in the art
    CloseButton,  // CNexButton drawing a close cross
    ProfileButton,// CNexButton whose caption (the profile name) the kit draws
    MenuButton,   // CNexComboButton showing only a drop-down arrow
    ComboButton,  // CNexComboButton field; the kit draws the chosen text
    CheckBox,     // CNexCheckBox square box; `art` is its label to the right
    Toggle,       // CNexCheckBox drawn as an on/off switch
    Radio,        // CNexButton marked as one of a group; `art` is its label
    TargetButton, // CNexButton choosing a colour target
    Indicator,    // CNexButton that only shows a state (DPI stage)
    Slider,       // CNexSliderCtrl3D track; thumbs are separate images
    Edit,         // CNexEdit / CPOLEdit field; `art` is its label to the left
    Label,        // CNexStatic text the kit draws; `art` is its label to the left
    Caption,      // CNexStatic whose words (`art`) are in the art; give it no text
    Picture,      // CNexStatic image, or a picture drawn into the sheets
    Progress,     // CNexProgressCtrl: background from Normal, fill from Over
    List,         // CNexListBox / CNexMacroCtrl background
    Decoration,   // CNexStatic whose image follows a mode (Normal or Disable)
    Preview,      // CNexMouseStatic; its picture is a separate file
    Area,         // drawn by its own window (colour picker); the art frames it
};

enum Flag : quint8 {
    NoFlags = 0,
    // Hidden at times: not drawn into a page's separate background image, so
    // nothing shows where it was.
    Optional = 1,
    // Normal look cut from the Over sheet and hover look from the Normal sheet.
    SwappedLooks = 2,
};

struct Control {
    constexpr Control(int id, Kind kind, QRect rect, QStringView caption, QStringView art,
                      int skinId, QRect cut = {}, quint8 flags = NoFlags)
        : id(id), kind(kind), rect(rect), caption(caption), art(art), skinId(skinId), cut(cut),
          flags(flags)
    {
    }

    int id = 0;            // control id; 0 for art that needs no control
    Kind kind = Kind::Button;
    QRect rect;            // where the control sits
    QStringView caption;   // the dialog template's caption
    QStringView art;       // words drawn into the art for it (none when empty)
    int skinId = -1;       // skin id of its images; -1 for none
    QRect cut;             // where its images are cut; empty = `rect`
    quint8 flags = NoFlags;

    QRect cutRect() const { return cut.isEmpty() ? rect : cut; }
};

enum class WindowId : quint8 {
    Main,
    MouseSettings,
    Sensor,
    ColorSettings,
    MacroSettings,
    Support,
    Rename,
    LeftClickWarn, // pop-up kind 167
    DeleteMacro,   // 171
    SensorSQAT1,   // 175
    SensorSQAT2,   // 179
    SensorSQAT3,   // 185
    ResetWarn,     // 188
    UpdateWarn,    // 192
    AssignKey,     // 196
};

struct Window {
    WindowId id;
    QStringView name;          // for people and file names of snapshots
    SkinFamily sheets;         // family of its look sheets
    QSize size;                // size of its sheets and of the window
    int backgroundSkinId;      // what the window sets as its background
    std::span<const Control> controls;
};

// Every window, in WindowId order.
std::span<const Window> windows();
const Window &window(WindowId id);
// The pop-up of CPopDlg kind 167, 171, 175, 179, 185, 188, 192 or 196; null
// for any other number.
const Window *popUpWindow(int kind);
// The control with this id in the window, or null.
const Control *findControl(WindowId window, int id);

// The sheet state that carries look `look` (0 normal, 1 hover, 2 pressed,
// 3 disabled) of the control: the same number, except that a SwappedLooks
// control's normal and hover looks trade sheets. The mapping is its own inverse.
int sheetForLook(const Control &control, int look);

// The image of `control` for look `look`, cut from the sheet that carries it
// through the process-wide catalogue (failures are reported as every lookup's
// are). UI thread.
QImage controlImage(const Control &control, int look);

// Where the scroll bar's parts are cut from the scroll images (skin ids
// 158-160): upper arrow, lower arrow, thumb.
inline constexpr QRect kScrollUpArrow{0, 0, 23, 16};
inline constexpr QRect kScrollDownArrow{0, 206, 23, 16};
inline constexpr QRect kScrollThumb{0, 41, 23, 56};

// The lighting preview's two zones in preview coordinates; the preview picture
// ("Vela.png") lets them glow through.
inline constexpr QRect kPreviewZoneA{115, 93, 30, 53};
inline constexpr QRect kPreviewZoneB{116, 288, 33, 29};

// Page rectangle inside the main window.
inline constexpr QRect kPageRect{0, 88, 1024, 427};

} // namespace vela::skin
