#pragma once
// A per-user folder for the program's locks and sockets, and the rule that
// turns free text (a lock name, a window title) into a safe file name.
#include <QString>

namespace vela {

// "$XDG_RUNTIME_DIR/vela-pro" when that variable names an absolute folder owned
// by this user and closed to others; otherwise "/tmp/vela-pro-<uid>". The folder
// is created with mode 0700. Returns an empty string when the folder cannot be
// made or is not a real folder owned by this user and closed to others (then
// nothing may be placed there). Any thread.
QString PrivateRuntimeFolder();

// A file-name component made of [A-Za-z0-9-] only: every other UTF-8 byte
// (including '_', '.', '/') becomes "_XX" (upper-case hex), so distinct texts
// give distinct names and no text can climb out of a folder. Names longer than
// 64 characters are cut to 40 and followed by '-' and 16 hex digits of the
// text's SHA-256, which keeps them distinct and within socket path limits.
// An empty text gives "_".
QString SafeFileName(const QString &text);

} // namespace vela
