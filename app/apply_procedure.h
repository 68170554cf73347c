#pragma once
// "Apply": store the pages, apply pointer settings, save every profile file
// and the macro library, write the current profile into the mouse and make
// its slot active. Runs on a worker thread under the apply lock; everything
// that touches widgets or the live records is handed to the UI thread by the
// environment, so the worker only ever sees copies.
#include "app/profile_slots.h"
#include "macro/macro_files.h"

#include <QString>

#include <array>
#include <mutex>

// What the worker takes from the UI thread in one blocking step: the pages
// stored into the current record, then copies of all five records and a
// snapshot of the macro library.
struct ApplyInput {
    std::array<ProfileRecord, kSlotCount> records;
    int current = 0;
    MacroLibrarySnapshot macros;
};

class ApplyEnvironment {
public:
    virtual ~ApplyEnvironment() = default;
    // Blocks until the UI thread has stored the pages and copied the state.
    virtual ApplyInput collect() = 0;
    virtual void applyPointerSettings(const ProfileRecord &record) = 0;
    // Hands the save outcome back to the UI thread (names a save extended).
    virtual void macrosSaved(const MacroLibrarySnapshot &saved, const MacroSaveResult &result) = 0;
    // The UI thread records which slot was written to the mouse.
    virtual void markApplied(int slot) = 0;
    // A "KESTRA" message box, shown by the UI thread.
    virtual void showMessage(const QString &text) = 0;
};

// The program's own link to the mouse, as the apply procedure uses it.
class ApplyDevice {
public:
    virtual ~ApplyDevice() = default;
    virtual bool ensureOpen() = 0;
    virtual void close() = 0;
    // Builds the record's on-board image and writes it into its slot; 1 done,
    // kUploadTooLarge when the macros do not fit (nothing was sent). Other
    // failures are not acted on: the activation that follows tells.
    virtual int upload(const ProfileRecord &record) = 0;
    // Makes the slot the mouse's active profile; 1 = done.
    virtual int setActiveProfile(int slot) = 0;
};

constexpr int kUploadTooLarge = 3;

inline const QString kMouseNotFound = QStringLiteral("Vela Pro mouse not found !");
inline const QString kMacrosTooLarge =
    QStringLiteral("The macros of this profile do not fit in the mouse's memory. The profile was saved, "
                   "but the mouse keeps its previous settings. Shorten or remove a macro and apply again.");

// The process-wide apply lock; applies queue on it one after the other.
std::mutex &applyLock();

// The whole procedure, on the calling (worker) thread. Takes the apply lock.
void RunApplyProcedure(ApplyEnvironment &env, ApplyDevice &device);
