#pragma once
// The mouse's 2048-byte on-board image of a profile, and its upload into the
// profile's slot.
#include "device/program_device.h"
#include "profile/profile_record.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

constexpr size_t kOnboardImageSize = vela::program::kImageSize;
constexpr size_t kMacroAreaStart = 0x320;
constexpr size_t kMaxMacroEvents = 128; // of one button's macro

struct OnboardImage {
    std::array<uint8_t, kOnboardImageSize> bytes{};
    // False when the buttons' macros together do not fit between 0x320 and
    // 0x7FF; bytes must then not be sent. overflowButtons lists the buttons
    // (0-6) whose macro would have run past the end.
    bool fits = true;
    std::vector<int> overflowButtons;
    // The name was longer than 15 bytes and was cut.
    bool nameTruncated = false;
};

// The name as the mouse stores it: Windows-1252, "?" for each character the
// code page cannot hold (a surrogate pair is one character), at most
// maxBytes bytes.
QByteArray ToWindows1252(const QString &text, int maxBytes, bool *truncated = nullptr);

// Every byte of the image, from the record alone.
OnboardImage BuildOnboardImage(const ProfileRecord &record);

// Upload results: the program's command results plus one of the image's.
enum UploadResult : uint8_t {
    UploadDone = 1,
    UploadStatusReadFailed = 2,
    UploadImageTooLarge = 3, // macros do not fit: nothing sent, the slot keeps its old image
    UploadSendFailed = 4,
};

// Builds the record's image and sends it into slot record.slotIndex. The
// caller has opened the mouse and afterwards sets the active profile.
uint8_t UploadProfile(vela::program::ProgramDevice &device, const ProfileRecord &record);
