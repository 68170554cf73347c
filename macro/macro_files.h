#pragma once
// The macro library on disk: one ".macro" file per macro and the index
// "macroList.dat" listing their paths, in library order.
//
// These functions touch no live library: a save works on a snapshot, so it can
// run on a worker thread while the user interface keeps its macros.
#include "macro/macro.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

struct MacroSnapshot {
    int32_t id = 0;
    QString name;
    MacroRect viewRect;
    std::vector<CEventItem> events;
    bool operator==(const MacroSnapshot &) const = default;
};

struct MacroLibrarySnapshot {
    QString folderPath;
    std::vector<MacroSnapshot> macros;
};

struct MacroSaveResult {
    bool ok = true;
    QString error;             // why the save failed, for the user
    // The name each macro was saved under, in library order: a name that
    // collided with an earlier one has "1" appended, and the library takes it.
    std::vector<QString> savedNames;
};

struct MacroLoadResult {
    std::vector<MacroSnapshot> macros;
    // Index entries whose file was missing, unreadable, truncated or held
    // counts beyond its data. Such macros are skipped.
    int skipped = 0;
};

inline const QString kMacroIndexName = QStringLiteral("macroList.dat");

// Writes the whole library. The new files are built in a folder beside the
// Macros folder and swapped in at once, so a failure part way (full disk,
// unwritable folder) leaves the previous library on disk untouched. A folder
// path shorter than 4 characters saves nothing.
MacroSaveResult WriteMacroLibrary(const MacroLibrarySnapshot &library);

// Reads the library named by the folder's index. No index: an empty library.
MacroLoadResult ReadMacroLibrary(const QString &folderPath);

// The file name (without ".macro") a macro name is stored under. Characters a
// file name cannot hold ("/", "\", NUL) become "_", and "", "." and ".." get a
// "_" in front, so no name ever leads outside the folder. The macro keeps its
// name; only the file is named differently. Overlong names are shortened.
QString MacroFileBaseName(const QString &macroName);

// Formats, exposed for tests and fuzzing.
QByteArray EncodeMacroFile(const MacroSnapshot &macro);
bool DecodeMacroFile(const QByteArray &bytes, MacroSnapshot &macro);
QByteArray EncodeMacroIndex(const QStringList &paths);
// Paths up to the first entry that runs past the data.
QStringList DecodeMacroIndex(const QByteArray &bytes);

// Removes a folder's contents (or the folder with them) without following
// symbolic links: a link is removed, its target untouched.
bool EmptyFolder(const QString &path);
bool DeleteFolderTree(const QString &path);

constexpr qint64 kMaxMacroFileSize = 64 * 1024 * 1024;
