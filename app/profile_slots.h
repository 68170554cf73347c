#pragma once
// The five profile slots the program mirrors from the mouse: their records,
// files, which slot the pages edit (current) and which was last written to
// the mouse (applied). No widgets here; the main window shows this state.
#include "profile/profile_record.h"

#include <QString>

#include <array>

constexpr int kSlotCount = 5;

// What the slots need of the three profile pages (Mouse Settings, Sensor,
// Color Settings, always in that order).
class ProfilePages {
public:
    virtual ~ProfilePages() = default;
    virtual void storeInto(ProfileRecord &record) = 0;
    virtual void show(const ProfileRecord &record) = 0;
};

// Profile menu entries.
enum SlotMenuEntry { MenuRename = 1, MenuSave = 2, MenuExport = 3, MenuImport = 4, MenuDisableEnable = 5 };

class ProfileSlots {
public:
    // Builds slot records 1-5 with their names and files under
    // profileFolder/Profiles and loads each file over its defaults.
    explicit ProfileSlots(const QString &profileFolder);

    std::array<ProfileRecord, kSlotCount> records;
    int current = 0; // 0-based slot the pages edit
    int applied = 0; // 0-based slot last written to the mouse
    int marked = 0;  // 0-based profile button shown as selected

    ProfileRecord &currentRecord() { return records[current]; }
    ProfileRecord &appliedRecord() { return records[applied]; }

    // A profile button click: store the pages, mark k, make it current and show it.
    void select(int k, ProfilePages &pages);
    // The device's active profile becomes current; the marked button stays.
    void takeAsCurrent(int k);

    // "Save current settings": the record as it is in memory, pages not stored.
    bool save(int k);
    // "Export Profile": writes to chosenPath, adding ".profile" unless its
    // extension is exactly "profile".
    bool exportTo(int k, const QString &chosenPath);
    static QString exportTarget(const QString &chosenPath);
    // The proposed export file: folder/<name>.profile, with characters a file
    // name cannot hold replaced.
    QString exportProposal(int k, const QString &folder) const;
    // "Import Profile": loads the file into slot k (its file path and slot
    // number stay) and shows slot k, current or not. False if unreadable.
    bool importFrom(int k, const QString &path, ProfilePages &pages);
    // "Disable/Enable": slots 2-5 only.
    void toggleEnabled(int k);
    // The rename dialog's confirmed text, cut to 15 characters.
    void rename(int k, const QString &text);

    // Every record back to its defaults, names "Profile1"-"Profile5", all
    // enabled, slot 1 current. The marked button and the applied slot stay.
    void resetAll();

    static QString defaultName(int k) { return QStringLiteral("Profile%1").arg(k + 1); }
};

// The rename edit keeps at most 7 characters between timer ticks; the name
// it confirms at most 15.
constexpr int kRenameEditLimit = 7;
constexpr int kProfileNameLimit = 15;
