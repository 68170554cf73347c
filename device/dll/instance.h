#pragma once
// The shared library's one LibraryDevice: its own transport and handle on
// the backend of the process, the real clock and the library-wide lock.
// Created on first use, lives until the library is unloaded.
#include "device/library_device.h"

namespace vela::library {
LibraryDevice &Instance();
} // namespace vela::library

// Runs body and turns any exception into fallback: nothing throws across
// the C boundary.
#define VELA_GUARDED(fallback, body) \
    try {                            \
        body                         \
    } catch (...) {                  \
        return fallback;             \
    }
