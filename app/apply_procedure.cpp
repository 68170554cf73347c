#include "app/apply_procedure.h"

#include "profile/profile_file.h"

std::mutex &applyLock()
{
    static std::mutex lock;
    return lock;
}

void RunApplyProcedure(ApplyEnvironment &env, ApplyDevice &device)
{
    std::lock_guard guard(applyLock());
    const ApplyInput input = env.collect();
    const ProfileRecord &current = input.records[input.current];

    env.applyPointerSettings(current);

    // Files first, so nothing is lost when the mouse is missing.
    QStringList unsaved;
    for (const ProfileRecord &r : input.records)
        if (!SaveProfile(r, r.filePath))
            unsaved << r.filePath;
    const MacroSaveResult macros = WriteMacroLibrary(input.macros);
    env.macrosSaved(input.macros, macros);
    if (!unsaved.isEmpty())
        env.showMessage(QStringLiteral("Profiles could not be saved:\n%1").arg(unsaved.join(u'\n')));
    if (!macros.ok)
        env.showMessage(QStringLiteral("Macros could not be saved. The macros saved before are kept.\n%1")
                            .arg(macros.error));

    if (device.ensureOpen()) {
        env.markApplied(input.current);
        if (device.upload(current) == kUploadTooLarge) {
            // Activating now would switch the mouse to the slot's old image.
            env.showMessage(kMacrosTooLarge);
            return;
        }
        if (device.setActiveProfile(current.slotIndex) == 1)
            return;
    } else {
        device.close();
    }
    env.showMessage(kMouseNotFound);
}
