#pragma once
// CVELADlg: the program's borderless skinned main window with the five tabs,
// the profile row, one of five pages and the bottom strip. It owns the pages,
// the profile slots, the macro library and the apply runner, and lives until
// the program quits; closing only hides it. UI thread only.
#include "app/apply_runner.h"
#include "app/profile_page.h"
#include "app/profile_slots.h"
#include "macro/macro_library.h"
#include "ui/nex_image_dialog.h"

#include <QRect>

#include <array>
#include <memory>

namespace vela {
class PointerSystem;
class WindowBeacon;
namespace program {
class ProgramDevice;
}
namespace ui {
class CNexButton;
class CNexComboButton;
class CNexStatic;
}
}

// Control ids of the main window.
constexpr int IDC_TAB_FIRST = 1000;   // 1000-1004
constexpr int IDC_PROFILE_FIRST = 1007; // 1007-1011
constexpr int IDC_MENU_SLOT1 = 1020;  // 1020 (slot 1) down to 1016 (slot 5)
constexpr int IDC_RESET = 1031;
constexpr int IDC_SHOW_APPLIED = 1041;
constexpr int IDC_APPLY = 1042;
constexpr int IDC_HIDE = 1044;
constexpr int IDC_VERSION = 1080;

// System-command codes the main window understands.
constexpr int SC_QUIT_REQUEST = 802;
constexpr int SC_CLOSE_WINDOW = 0xF060;
constexpr int ID_TRAY_CONFIG = 100;
constexpr int ID_TRAY_EXIT = 101;
// The message that carries a system command from another program (code in wParam).
constexpr quint32 kSysCommandMessage = 0x0112;

// Tab order of the pages.
enum PageIndex { PageMouse = 0, PageSensor, PageColor, PageMacro, PageSupport, PageCount };

// The strip at the bottom that never starts a drag (client pixels).
inline constexpr QRect kNoDragStrip{0, 516, 1024, 60};
// True where a press on the window's own surface starts a move. Plain function.
bool StartsDrag(QPoint clientPos);

// What the window works with; the defaults are the real ones.
struct ShellServices {
    QString profileFolder;  // empty: appDataFolder() + "/Kestra/Vela PRO Software"
    QString macroFolder;    // empty: appDataFolder() + "/Kestra/VELAX/Macros"
    QString exportFolder;   // empty: programFolder() + "/Profiles" (or the profile folder's)
    vela::program::ProgramDevice *device = nullptr;  // not owned; null: no mouse
    vela::PointerSystem *pointers = nullptr;         // not owned; null: the desktop's
};

class CVELADlg : public vela::ui::CNexImageDialog, public ApplyHost {
    Q_OBJECT
public:
    // Builds the five slots and loads their files (nothing is shown yet).
    explicit CVELADlg(ShellServices services = {}, QWidget *parent = nullptr);
    ~CVELADlg() override;

    // Builds the window content, creates the pages, shows slot 1. Call once.
    bool OnInitDialog();
    // Waits for running applies, saves the macro library (a failure is shown).
    // Call once before the window is deleted.
    void DestroyWindow();

    void onSysCommand(int idOrCode, intptr_t value) override;

    // Button actions (also reachable by clicks).
    void OnTab(int index);
    void OnSelectSlot(int k);           // 0-based
    void OnSlotMenu(int k, int entry);  // 0-based slot, entry 1-5
    void OnReset();
    void OnShowApplied();
    void OnApply();
    void ShowRequest();

    // The window hides on close, Escape and Enter unless a macro is recording.
    void SetRecording(bool on) { macros_.recording = on; }
    bool recording() const { return macros_.recording; }

    ProfileSlots &profileSlots() { return slots_; }
    MacroLibrary &macroLibrary() { return macros_; }
    ApplyRunner &applyRunner() { return *runner_; }
    int visiblePage() const { return visiblePage_; }
    CProfilePageDlg *page(int index) const { return pages_[index]; }
    vela::ui::CNexButton *tab(int index) const { return tabs_[index]; }
    vela::ui::CNexButton *profileButton(int k) const { return profiles_[k]; }
    vela::ui::CNexComboButton *menuButton(int k) const { return menus_[k]; }
    vela::ui::CNexButton *button(int id) const;
    vela::WindowBeacon *beacon() const { return beacon_; }
    // How often the pages were stored into a record (tab switch, slot switch, apply).
    int pageStores() const { return pageStores_; }

    // ApplyHost
    ApplyInput collectForApply() override;
    void macrosSavedByApply(const MacroLibrarySnapshot &saved, const MacroSaveResult &result) override;
    void markApplied(int slot) override;

protected:
    void accept() override;
    void reject() override;
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;

private:
    class Pages;
    void buildControls();
    void createPages();
    void refreshProfileButtons();
    void hideUnlessRecording();
    void message(const QString &text);

    ShellServices services_;
    ProfileSlots slots_;
    MacroLibrary macros_;
    std::unique_ptr<Pages> pageOps_;
    std::unique_ptr<ApplyRunner> runner_;
    std::array<vela::ui::CNexButton *, 5> tabs_{};
    std::array<vela::ui::CNexButton *, kSlotCount> profiles_{};
    std::array<vela::ui::CNexComboButton *, kSlotCount> menus_{};
    vela::ui::CNexButton *reset_ = nullptr, *showApplied_ = nullptr, *apply_ = nullptr,
                         *hide_ = nullptr;
    vela::ui::CNexStatic *version_ = nullptr;
    std::array<CProfilePageDlg *, PageCount> pages_{};
    int visiblePage_ = PageMouse;
    vela::WindowBeacon *beacon_ = nullptr;
    int pageStores_ = 0;
    bool initialised_ = false;
    bool destroyed_ = false;
};
