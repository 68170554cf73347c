#include "tools/virtual-mouse/state_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace vela::vmouse {
namespace {
constexpr const char *kMagic = "vela-virtual-mouse-state 1";
// Five slotImages in hex are 20 KiB; anything far larger is not ours.
constexpr std::streamoff kMaxStateFile = 1 << 20;
} // namespace

bool loadState(const std::string &path, PersistentState &state)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    file.seekg(0, std::ios::end);
    if (file.tellg() > kMaxStateFile)
        return false;
    file.seekg(0);
    std::string line;
    if (!std::getline(file, line) || line != kMagic)
        return false;
    PersistentState loaded = state;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        unsigned value = 0;
        if (key == "active" && words >> value && value < kSlotCount)
            loaded.activeSlot = uint8_t(value);
        else if (key == "firmware" && words >> std::hex >> value && value <= 0xFFFF)
            loaded.firmwareVersion = uint16_t(value);
        else if (key == "bootloader" && words >> std::hex >> value && value <= 0xFFFF)
            loaded.bootloaderVersion = uint16_t(value);
        else if (key == "slot" && words >> value && value < kSlotCount) {
            std::string hex;
            std::vector<uint8_t> bytes;
            if (words >> hex && hid::fromHex(hex, bytes) && bytes.size() == kSlotSize)
                std::copy(bytes.begin(), bytes.end(), loaded.slotImages[value].begin());
        }
    }
    state = loaded;
    return true;
}

bool saveState(const std::string &path, const PersistentState &state)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file)
            return false;
        char versions[64];
        std::snprintf(versions, sizeof(versions), "firmware %04x\nbootloader %04x\n", state.firmwareVersion,
                      state.bootloaderVersion);
        file << kMagic << '\n' << versions << "active " << int(state.activeSlot) << '\n';
        for (size_t i = 0; i < kSlotCount; ++i)
            file << "slot " << i << ' ' << hid::toHex(state.slotImages[i].data(), kSlotSize) << '\n';
        file.flush();
        if (!file) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace vela::vmouse
