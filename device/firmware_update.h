#pragma once
// Firmware update through the mouse's bootloader: the job, the four reports
// of the bootloader protocol, locating the mouse, and the worker's steps.
// The worker talks to the mouse through a FirmwareLink (the library's
// transport in production, a fake in tests) and waits only on the given clock.
#include "device/wire.h"
#include "platform/clock.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace vela::firmware {

constexpr size_t kChunkSize = wire::kBlockSize;
constexpr size_t kMaxChunks = 100;
constexpr size_t kMaxImageSize = kChunkSize * kMaxChunks; // 102400
constexpr size_t kLongReportSize = wire::kLongReportSize;
constexpr size_t kShortReportSize = wire::kCommandReportSize;
constexpr uint16_t kNormalProductId = wire::kProductNormal;
constexpr uint16_t kBootloaderProductId = wire::kProductBootloader;
// Step 7 waits at most this long for the mouse to come back in normal mode.
constexpr uint64_t kRestartTimeoutMs = 60000;
constexpr uint32_t kRestartPollMs = 500;

// Progress callback statuses. 1 is a step done; the others end the job.
enum Status : uint8_t {
    kStepDone = 0x01,
    kNoJob = 0x50,
    kSwitchRefused = 0x51,
    kBootloaderMissing = 0x52,
    kStartFailed = 0x53,
    kChunkFailed = 0x54,
    kFinishFailed = 0x55,
    kMouseMissing = 0x56, // also: the mouse did not come back after Finish
    kComplete = 0x60,
};

using ShortReport = std::array<uint8_t, kShortReportSize>;
using LongReport = std::array<uint8_t, kLongReportSize>;

// The image cut into 1024-byte chunks, the last one zero-padded.
struct Job {
    std::vector<uint8_t> data; // chunkCount() * 1024 bytes
    size_t chunkCount() const { return data.size() / kChunkSize; }
    const uint8_t *chunk(size_t k) const { return data.data() + k * kChunkSize; }
};

// The job for the first size bytes of data. No job (nullopt) for no data
// (size 0 or a null pointer) and for an image over kMaxImageSize, which the
// mouse's bootloader cannot hold; the worker then reports kNoJob and sends nothing.
std::optional<Job> MakeJob(uint32_t size, const uint8_t *data);

// 16-bit sum (wrapping) of one chunk's 1024 bytes, as for a block write.
inline uint16_t ChunkChecksum(const uint8_t *chunk) { return wire::BlockChecksum(chunk); }
// 32-bit sum (wrapping) of every byte of the job, padding included.
uint32_t ImageSum(const Job &job);

// [0] 0xA1, [1] 0x3A, [5-7] the entry code 6B 1E D4.
ShortReport EnterBootloaderReport();
// [0] 0xA1, [1] 0x03, [16] chunk count, [17-20] ImageSum.
LongReport StartReport(const Job &job);
// [0] 0xA0, [1] 0x06, [2] 12 + k, [3-4] ChunkChecksum, [16-1039] the chunk. k < job.chunkCount().
LongReport ChunkReport(const Job &job, size_t k);
// [0] 0xA1, [1] 0x09.
LongReport FinishReport();

// What the worker needs of the transport. Every call is one operation of the
// library's transport, with its own retries; none of them throws.
class Link {
public:
    enum class Retry { Short30ms, Normal50ms };
    virtual ~Link() = default;
    virtual void close() = 0;
    // Opens the command interface of the given product; true on success.
    virtual bool open(uint16_t productId) = 0;
    virtual bool send(const uint8_t *report, size_t size, Retry retry) = 0;
    // report[0] holds the report ID; true when the read itself succeeded.
    virtual bool get(uint8_t *report, size_t size) = 0;
    // The firmware version as Get_fw_version reports it (0x0106 -> 106).
    virtual bool firmwareVersion(int16_t *version) = 0;
    // One bootloader step: send, fixed wait on clock, status read of
    // statusSize bytes with report ID 0xA1. The status byte, 0 when the send
    // or the read failed. A link shared with other threads overrides it to
    // hold its lock across the whole step.
    virtual uint8_t exchange(const uint8_t *report, size_t size, Retry retry, uint32_t waitMs, size_t statusSize,
                             Clock &clock);
};

enum class Mode { None, Normal, Bootloader };

// Finds the mouse in either mode, leaving its command interface open.
// Worst case about 31 tries over 46 s when it is missing.
Mode LocateMouse(Link &link, Clock &clock);

using Progress = std::function<void(uint8_t status, uint32_t progress)>;

// The whole update: every step, wait, retry and progress report. Reports
// each failure once through progress and returns; the last call is always a
// final status (not kStepDone). Runs on the caller's thread.
void RunUpdate(Link &link, Clock &clock, const std::optional<Job> &job, const Progress &progress);

} // namespace vela::firmware
