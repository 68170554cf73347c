#pragma once
// CVELAApp: start-up, single instance and shutdown of the program. UI thread.
#include "platform/single_instance.h"

#include <QString>

inline const QString kLockName = QStringLiteral("KESTRA VELAX Config");
// The title a starting copy sends its show request to.
inline const QString kShowRequestTitle = QStringLiteral("VELAX");

class CVELAApp {
public:
    // Runs the whole program inside an existing QApplication: posts the show
    // request, takes the lock (returns 0 at once, silently, when another copy
    // holds it), runs the main window until a quit request, then destroys
    // it. Returns the exit code.
    int InitInstance();
    // Releases the lock.
    int ExitInstance();

private:
    vela::NamedLock lock_;
};
