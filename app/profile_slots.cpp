#include "app/profile_slots.h"

#include "profile/profile_file.h"

ProfileSlots::ProfileSlots(const QString &profileFolder)
{
    for (int k = 0; k < kSlotCount; ++k) {
        ProfileRecord &r = records[k];
        r.slotIndex = static_cast<uint8_t>(k);
        r.name = defaultName(k);
        r.filePath = profileFolder + QStringLiteral("/Profiles/Default%1.profile").arg(k + 1);
        LoadProfile(r, r.filePath); // a missing or unreadable file keeps the defaults
    }
}

void ProfileSlots::select(int k, ProfilePages &pages)
{
    if (k < 0 || k >= kSlotCount)
        return;
    pages.storeInto(currentRecord());
    marked = k;
    current = k;
    pages.show(currentRecord());
}

void ProfileSlots::takeAsCurrent(int k)
{
    if (k >= 0 && k < kSlotCount)
        current = k;
}

bool ProfileSlots::save(int k)
{
    return k >= 0 && k < kSlotCount && SaveProfile(records[k], records[k].filePath);
}

QString ProfileSlots::exportTarget(const QString &chosenPath)
{
    const int slash = chosenPath.lastIndexOf(u'/');
    const int dot = chosenPath.lastIndexOf(u'.');
    if (dot > slash && chosenPath.mid(dot + 1) == u"profile")
        return chosenPath;
    return chosenPath + QStringLiteral(".profile");
}

bool ProfileSlots::exportTo(int k, const QString &chosenPath)
{
    return k >= 0 && k < kSlotCount && !chosenPath.isEmpty() && SaveProfile(records[k], exportTarget(chosenPath));
}

QString ProfileSlots::exportProposal(int k, const QString &folder) const
{
    QString name = records[k].name;
    for (QChar &c : name)
        if (c == u'/' || c == QChar(0))
            c = u'_';
    if (name.isEmpty() || name == u"." || name == u"..")
        name.prepend(u'_');
    return folder + u'/' + name + QStringLiteral(".profile");
}

bool ProfileSlots::importFrom(int k, const QString &path, ProfilePages &pages)
{
    if (k < 0 || k >= kSlotCount)
        return false;
    const bool loaded = LoadProfile(records[k], path);
    // The pages are refreshed from the slot even when the file was rejected.
    pages.show(records[k]);
    return loaded;
}

void ProfileSlots::toggleEnabled(int k)
{
    if (k <= 0 || k >= kSlotCount)
        return; // slot 1 cannot be disabled
    records[k].enabled = records[k].enabled ? 0 : 1;
}

void ProfileSlots::rename(int k, const QString &text)
{
    if (k >= 0 && k < kSlotCount)
        records[k].name = text.left(kProfileNameLimit);
}

void ProfileSlots::resetAll()
{
    for (int k = 0; k < kSlotCount; ++k) {
        ProfileRecord &r = records[k];
        r.resetToDefaults();
        r.slotIndex = static_cast<uint8_t>(k);
        r.name = defaultName(k);
        r.enabled = 1;
    }
    current = 0;
}
