#pragma once
// The virtual mouse's bootloader: entry from normal mode on command 0x3A with
// the entry code, then Start, the chunks and Finish, each checked the way the
// real bootloader would check them, and a restart in normal mode with a new
// firmware version.
#include "tools/virtual-mouse/firmware.h"

#include <vector>

namespace vela::vmouse {

// One update in progress in the bootloader.
struct BootloaderSession {
    bool started = false;
    uint8_t chunkCount = 0;
    uint32_t imageSum = 0;
    size_t received = 0;        // chunks accepted so far, in order
    std::vector<uint8_t> image; // received * 1024 bytes
};

// Installs 0x3A in normal mode and the bootloader's commands: 0x02 (versions),
// 0x03 Start, 0x06 Chunk (report ID 0xA0), 0x09 Finish. A refused step
// answers status 2 and leaves the session as it was. After Finish the mouse
// restarts in normal mode with state().updateVersion as its firmware version
// (when 0: the old version + 1).
void addBootloaderCommands(Firmware &firmware);

} // namespace vela::vmouse
