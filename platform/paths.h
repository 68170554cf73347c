#pragma once
// Where the program and its per-user files live.
#include <QString>

namespace vela {

// Folder of the running executable, without a trailing "/".
QString programFolder();

// The per-user roaming settings folder: $XDG_CONFIG_HOME, default ~/.config.
QString appDataFolder();

// Creates a folder and every missing parent. A path whose last component holds
// a dot is taken for a file name and only its folder is created. Reports
// nothing: a folder it could not create makes the following file write fail.
void EnsureFolder(const QString &path);

} // namespace vela
