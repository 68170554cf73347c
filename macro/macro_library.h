#pragma once
// All macros of the program, held by the events-list control of the Macro
// Settings page. Edited on the UI thread only; a save from another thread
// works on a Snapshot().
#include "macro/macro.h"
#include "macro/macro_files.h"
#include "profile/profile_record.h"

#include <memory>
#include <optional>
#include <vector>

class MacroLibrary {
public:
    explicit MacroLibrary(MacroOwner *owner = nullptr) : owner_(owner) {}

    QString folderPath;                        // the Macros folder
    MacroRect eventsViewRect;                  // client rectangle of the events view
    std::vector<std::unique_ptr<CMacro>> macros;
    CMacro *current = nullptr;
    bool recording = false;
    int insertMode = 0;

    // Appends a new empty macro laid out for the current events view.
    CMacro *AddMacro(int32_t id, const QString &name);
    // Makes the macro with this id current, adding it when the library has none.
    CMacro *SelectMacro(const QString &name, int32_t id);
    // Removes the macro; if it was current there is no current macro after.
    void DeleteMacro(int32_t id);
    // A profile copy of the first macro with this id, or nothing.
    std::optional<ButtonMacro> BuildMacroRecord(int32_t id) const;
    CMacro *Find(int32_t id) const;
    // 1 + the largest id (compared unsigned), never below 16.
    int32_t NextMacroId() const;

    // Replaces the library with the one on disk. Returns how many index
    // entries could not be read and were skipped.
    int LoadMacroLibrary();

    // A copy a save can own while the library goes on changing.
    MacroLibrarySnapshot Snapshot() const;
    // Gives macros the names a save stored them under, and repaints.
    void ApplySaveResult(const MacroLibrarySnapshot &saved, const MacroSaveResult &result);
    // Snapshot, write and apply in one go, on the calling (UI) thread.
    MacroSaveResult SaveMacroLibrary();

private:
    MacroOwner *owner_;
};
