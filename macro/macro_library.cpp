#include "macro/macro_library.h"

#include <algorithm>

CMacro *MacroLibrary::AddMacro(int32_t id, const QString &name)
{
    macros.push_back(std::make_unique<CMacro>(owner_, eventsViewRect, id, name));
    return macros.back().get();
}

CMacro *MacroLibrary::Find(int32_t id) const
{
    for (const auto &m : macros)
        if (m->id == id)
            return m.get();
    return nullptr;
}

CMacro *MacroLibrary::SelectMacro(const QString &name, int32_t id)
{
    CMacro *macro = Find(id);
    if (!macro)
        macro = AddMacro(id, name);
    current = macro;
    return macro;
}

void MacroLibrary::DeleteMacro(int32_t id)
{
    auto it = std::find_if(macros.begin(), macros.end(), [id](const auto &m) { return m->id == id; });
    if (it == macros.end())
        return;
    if (current == it->get())
        current = nullptr;
    macros.erase(it);
}

std::optional<ButtonMacro> MacroLibrary::BuildMacroRecord(int32_t id) const
{
    const CMacro *macro = Find(id);
    if (!macro)
        return std::nullopt;
    ButtonMacro record;
    record.name = macro->name;
    record.macroId = macro->id;
    record.events.reserve(macro->events.size());
    for (const CEventItem &e : macro->events)
        record.events.push_back({e.kind, e.code, e.upFlag, e.delay});
    return record;
}

int32_t MacroLibrary::NextMacroId() const
{
    uint32_t largest = 15;
    for (const auto &m : macros)
        largest = std::max(largest, static_cast<uint32_t>(m->id));
    return static_cast<int32_t>(largest + 1);
}

int MacroLibrary::LoadMacroLibrary()
{
    MacroLoadResult loaded = ReadMacroLibrary(folderPath);
    current = nullptr;
    macros.clear();
    for (MacroSnapshot &m : loaded.macros) {
        auto macro = std::make_unique<CMacro>(owner_, m.viewRect, m.id, std::move(m.name));
        // Rows and selection come back exactly as saved; they are not laid out again.
        macro->events = std::move(m.events);
        macros.push_back(std::move(macro));
    }
    return loaded.skipped;
}

MacroLibrarySnapshot MacroLibrary::Snapshot() const
{
    MacroLibrarySnapshot snapshot;
    snapshot.folderPath = folderPath;
    snapshot.macros.reserve(macros.size());
    for (const auto &m : macros)
        snapshot.macros.push_back({m->id, m->name, m->viewRect, m->events});
    return snapshot;
}

void MacroLibrary::ApplySaveResult(const MacroLibrarySnapshot &saved, const MacroSaveResult &result)
{
    if (!result.ok || result.savedNames.size() != saved.macros.size())
        return;
    bool renamed = false;
    for (size_t i = 0; i < saved.macros.size(); ++i) {
        const MacroSnapshot &before = saved.macros[i];
        if (result.savedNames[i] == before.name)
            continue;
        // Only a macro still named as it was when the snapshot was taken.
        for (const auto &m : macros)
            if (m->id == before.id && m->name == before.name) {
                m->name = result.savedNames[i];
                renamed = true;
                break;
            }
    }
    if (renamed && owner_)
        owner_->repaintMacros();
}

MacroSaveResult MacroLibrary::SaveMacroLibrary()
{
    const MacroLibrarySnapshot snapshot = Snapshot();
    MacroSaveResult result = WriteMacroLibrary(snapshot);
    ApplySaveResult(snapshot, result);
    return result;
}
