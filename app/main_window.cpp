#include "app/main_window.h"

#include "app/rename_dlg.h"
#include "app/skin_catalogue.h"
#include "app/skinned_controls.h"
#include "pages/pop_dlg.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/pointer_settings.h"
#include "platform/single_instance.h"
#include "platform/window_ops.h"
#include "ui/nex_button.h"
#include "ui/nex_menu.h"
#include "ui/nex_static.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>

using namespace vela;
using namespace vela::ui;
using skin::WindowId;

namespace {
const QString kCaption = QStringLiteral("KESTRA");
const QString kProfileFilter = QStringLiteral("Mouse Profile(*.profile)|*.profile||");
constexpr int kSlotMenuWidth = 158;

ShellServices WithDefaults(ShellServices s)
{
    if (s.profileFolder.isEmpty())
        s.profileFolder = appDataFolder() + QStringLiteral("/Kestra/Vela PRO Software");
    if (s.macroFolder.isEmpty())
        s.macroFolder = appDataFolder() + QStringLiteral("/Kestra/VELAX/Macros");
    if (s.exportFolder.isEmpty()) {
        // Beside the program when such a folder exists (a portable copy);
        // an installed program's folder is not the user's, so fall back.
        const QString beside = programFolder() + QStringLiteral("/Profiles");
        s.exportFolder = QDir(beside).exists() ? beside : s.profileFolder + QStringLiteral("/Profiles");
    }
    if (!s.pointers)
        s.pointers = &DesktopPointerSystem();
    return s;
}
} // namespace

bool StartsDrag(QPoint clientPos)
{
    return clientPos.y() < kNoDragStrip.top();
}

// The three profile pages in the order the slots expect them.
class CVELADlg::Pages final : public ProfilePages {
public:
    explicit Pages(CVELADlg &w) : w_(w) {}
    void storeInto(ProfileRecord &record) override
    {
        ++w_.pageStores_;
        for (int i : {PageMouse, PageSensor, PageColor})
            if (w_.pages_[i])
                w_.pages_[i]->SaveToProfile(record);
    }
    void show(const ProfileRecord &record) override
    {
        for (int i : {PageMouse, PageSensor, PageColor})
            if (w_.pages_[i])
                w_.pages_[i]->LoadFromProfile(record);
    }

private:
    CVELADlg &w_;
};

CVELADlg::CVELADlg(ShellServices services, QWidget *parent)
    : CNexImageDialog(parent, Qt::Window | Qt::FramelessWindowHint),
      services_(WithDefaults(std::move(services))), slots_(services_.profileFolder),
      pageOps_(std::make_unique<Pages>(*this))
{
    setWindowTitle(QStringLiteral("Vela PRO Software"));
    setFocusPolicy(Qt::StrongFocus);
    runner_ = std::make_unique<ApplyRunner>(this, *this, services_.device, *services_.pointers);
}

CVELADlg::~CVELADlg()
{
    DestroyWindow();
}

bool CVELADlg::OnInitDialog()
{
    if (initialised_)
        return true;
    initialised_ = true;
    LoadSkins();
    SetBackground(WholeSkinImage(skin::window(WindowId::Main).backgroundSkinId));
    buildControls();
    createPages();
    pageOps_->show(slots_.currentRecord());
    beacon_ = new WindowBeacon(this);
    connect(beacon_, &WindowBeacon::messageArrived, this, [this](quint32 message, qint64 wParam, qint64) {
        if (message == kShowRequestMessage)
            ShowRequest();
        // Of the system commands only the quit request is meant for other programs.
        else if (message == kSysCommandMessage && wParam == SC_QUIT_REQUEST)
            onSysCommand(SC_QUIT_REQUEST, 0);
    });
    return true;
}

void CVELADlg::buildControls()
{
    for (int i = 0; i < 5; ++i) {
        tabs_[i] = MakeSkinnedButton<CNexButton>(this, WindowId::Main, IDC_TAB_FIRST + i);
        connect(tabs_[i], &CNexButton::clicked, this, [this, i] { OnTab(i); });
    }
    tabs_[PageMouse]->SetSelected(true);

    for (int k = 0; k < kSlotCount; ++k) {
        profiles_[k] = MakeSkinnedButton<CNexButton>(this, WindowId::Main, IDC_PROFILE_FIRST + k);
        connect(profiles_[k], &CNexButton::clicked, this, [this, k] { OnSelectSlot(k); });
        auto *menu = MakeSkinnedButton<CNexComboButton>(this, WindowId::Main, IDC_MENU_SLOT1 - k);
        menu->SetShowText(false);
        menu->SetUpdateText(false);
        menu->SetMinMenuWidth(kSlotMenuWidth);
        menu->AddItem(MenuRename, QStringLiteral("Rename"));
        menu->AddItem(MenuSave, QStringLiteral("Save current settings"));
        menu->AddItem(MenuExport, QStringLiteral("Export Profile"));
        menu->AddItem(MenuImport, QStringLiteral("Import Profile"));
        menu->AddItem(MenuDisableEnable, QStringLiteral("Disable/Enable"));
        menus_[k] = menu;
    }
    refreshProfileButtons();

    reset_ = MakeSkinnedButton<CNexButton>(this, WindowId::Main, IDC_RESET);
    showApplied_ = MakeSkinnedButton<CNexButton>(this, WindowId::Main, IDC_SHOW_APPLIED);
    apply_ = MakeSkinnedButton<CNexButton>(this, WindowId::Main, IDC_APPLY);
    hide_ = MakeSkinnedButton<CNexButton>(this, WindowId::Main, IDC_HIDE);
    connect(reset_, &CNexButton::clicked, this, &CVELADlg::OnReset);
    connect(showApplied_, &CNexButton::clicked, this, &CVELADlg::OnShowApplied);
    connect(apply_, &CNexButton::clicked, this, &CVELADlg::OnApply);
    connect(hide_, &CNexButton::clicked, this, &QWidget::hide);

    const skin::Control &label = LayoutControl(WindowId::Main, IDC_VERSION);
    version_ = new CNexStatic(this, IDC_VERSION);
    version_->setGeometry(label.rect);
    version_->SetBackground(skin::controlImage(label, 0));
    version_->SetFontHeight(13);
    version_->SetText(QStringLiteral("1.00"));
}

void CVELADlg::createPages()
{
    // Creation order: Sensor, Color, Macro, Support, then Mouse Settings (shown).
    const std::pair<int, WindowId> order[] = {
        {PageSensor, WindowId::Sensor},   {PageColor, WindowId::ColorSettings},
        {PageMacro, WindowId::MacroSettings}, {PageSupport, WindowId::Support},
        {PageMouse, WindowId::MouseSettings},
    };
    for (const auto &[index, id] : order) {
        pages_[index] = new CProfilePageDlg(id, this);
        if (index == PageMacro) {
            macros_.folderPath = services_.macroFolder;
            macros_.LoadMacroLibrary();
        }
    }
    pages_[PageMouse]->show();
    visiblePage_ = PageMouse;
}

void CVELADlg::refreshProfileButtons()
{
    for (int k = 0; k < kSlotCount; ++k) {
        profiles_[k]->SetCaption(slots_.records[k].name);
        profiles_[k]->setEnabled(slots_.records[k].enabled != 0);
        profiles_[k]->SetSelected(k == slots_.marked);
        profiles_[k]->update();
    }
}

CNexButton *CVELADlg::button(int id) const
{
    switch (id) {
    case IDC_RESET: return reset_;
    case IDC_SHOW_APPLIED: return showApplied_;
    case IDC_APPLY: return apply_;
    case IDC_HIDE: return hide_;
    default: break;
    }
    if (id >= IDC_TAB_FIRST && id < IDC_TAB_FIRST + 5)
        return tabs_[id - IDC_TAB_FIRST];
    if (id >= IDC_PROFILE_FIRST && id < IDC_PROFILE_FIRST + kSlotCount)
        return profiles_[id - IDC_PROFILE_FIRST];
    return nullptr;
}

void CVELADlg::DestroyWindow()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    // No worker may outlive the window it reads from.
    runner_->WaitForAll();
    if (!initialised_)
        return;
    const MacroSaveResult saved = macros_.SaveMacroLibrary();
    if (!saved.ok)
        message(QStringLiteral("Your macros could not be saved; the macros saved before are kept.\n%1")
                    .arg(saved.error));
}

void CVELADlg::message(const QString &text)
{
    Dialogs().messageBox(this, text, kCaption);
}

void CVELADlg::onSysCommand(int code, intptr_t value)
{
    switch (code) {
    case CMD_POPUP_TOPMOST:
        SetTopmost(this, value == 1);
        return; // no default processing
    case ID_TRAY_CONFIG:
        ShowRequest();
        return;
    case ID_TRAY_EXIT:
    case SC_QUIT_REQUEST:
        RequestQuit();
        return;
    case SC_CLOSE_WINDOW:
        if (!recording())
            hide();
        return;
    default:
        break;
    }
    if (code <= IDC_MENU_SLOT1 && code > IDC_MENU_SLOT1 - kSlotCount)
        OnSlotMenu(IDC_MENU_SLOT1 - code, static_cast<int>(value));
}

void CVELADlg::ShowRequest()
{
    show();
    raise();
    activateWindow();
}

void CVELADlg::OnTab(int index)
{
    if (index < 0 || index >= PageCount || index == visiblePage_)
        return;
    for (int i = 0; i < PageCount; ++i)
        tabs_[i]->SetSelected(i == index);
    for (CProfilePageDlg *p : pages_)
        p->hide();
    pageOps_->storeInto(slots_.currentRecord());
    pages_[index]->show();
    visiblePage_ = index;
    // The Mouse Settings page rebuilds its macro menus here once it has them.
}

void CVELADlg::OnSelectSlot(int k)
{
    slots_.select(k, *pageOps_);
    refreshProfileButtons();
}

void CVELADlg::OnSlotMenu(int k, int entry)
{
    if (k < 0 || k >= kSlotCount)
        return;
    ProfileRecord &record = slots_.records[k];
    switch (entry) {
    case MenuRename: {
        CRenameDlg dlg(k + 1, this);
        if (dlg.exec() == QDialog::Accepted) {
            slots_.rename(k, dlg.name());
            refreshProfileButtons();
        }
        break;
    }
    case MenuSave:
        if (!slots_.save(k))
            message(QStringLiteral("The profile could not be saved to\n%1").arg(record.filePath));
        break;
    case MenuExport: {
        const QString chosen =
            Dialogs().saveFileName(this, slots_.exportProposal(k, services_.exportFolder), kProfileFilter);
        if (!chosen.isEmpty() && !slots_.exportTo(k, chosen))
            message(QStringLiteral("The profile could not be saved to\n%1").arg(ProfileSlots::exportTarget(chosen)));
        break;
    }
    case MenuImport: {
        const QString chosen =
            Dialogs().openFileName(this, services_.exportFolder + QStringLiteral("/*.profile"), kProfileFilter);
        if (chosen.isEmpty())
            break;
        const bool loaded = slots_.importFrom(k, chosen, *pageOps_);
        refreshProfileButtons();
        if (!loaded)
            message(QStringLiteral("This file is not a profile that can be read:\n%1").arg(chosen));
        break;
    }
    case MenuDisableEnable:
        slots_.toggleEnabled(k);
        refreshProfileButtons();
        break;
    default:
        break;
    }
}

void CVELADlg::OnReset()
{
    CPopDlg warn(POP_RESET_WARN, this);
    if (warn.exec() != POP_RESULT_OK)
        return;
    slots_.resetAll();
    refreshProfileButtons();
    pageOps_->show(slots_.currentRecord());
    OnApply();
}

void CVELADlg::OnShowApplied()
{
    pageOps_->show(slots_.appliedRecord());
}

void CVELADlg::OnApply()
{
    runner_->Start();
}

ApplyInput CVELADlg::collectForApply()
{
    pageOps_->storeInto(slots_.currentRecord());
    ApplyInput input;
    input.records = slots_.records;
    input.current = slots_.current;
    input.macros = macros_.Snapshot();
    return input;
}

void CVELADlg::macrosSavedByApply(const MacroLibrarySnapshot &saved, const MacroSaveResult &result)
{
    macros_.ApplySaveResult(saved, result);
}

void CVELADlg::markApplied(int slot)
{
    if (slot >= 0 && slot < kSlotCount)
        slots_.applied = slot;
}

void CVELADlg::hideUnlessRecording()
{
    if (!recording())
        hide();
}

void CVELADlg::accept()
{
    hideUnlessRecording();
}

void CVELADlg::reject()
{
    hideUnlessRecording();
}

void CVELADlg::closeEvent(QCloseEvent *e)
{
    // The system close (Alt+F4, the window menu) only hides the window.
    e->ignore();
    onSysCommand(SC_CLOSE_WINDOW, 0);
}

void CVELADlg::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        hideUnlessRecording();
        return;
    case Qt::Key_F4:
        if (e->modifiers() & Qt::AltModifier) {
            // Where no window manager turns Alt+F4 into a close, do it here.
            onSysCommand(SC_CLOSE_WINDOW, 0);
            return;
        }
        break;
    default:
        break;
    }
    CNexImageDialog::keyPressEvent(e);
}

void CVELADlg::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && StartsDrag(e->position().toPoint()))
        BeginWindowDrag(this, e->globalPosition().toPoint());
    CNexImageDialog::mousePressEvent(e);
}
