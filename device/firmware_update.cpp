#include "device/firmware_update.h"

#include <algorithm>
#include <cstring>

namespace vela::firmware {

std::optional<Job> MakeJob(uint32_t size, const uint8_t *data)
{
    if (size == 0 || !data || size > kMaxImageSize)
        return std::nullopt;
    Job job;
    const size_t chunks = (size_t(size) + kChunkSize - 1) / kChunkSize;
    job.data.assign(chunks * kChunkSize, 0);
    std::memcpy(job.data.data(), data, size);
    return job;
}

uint32_t ImageSum(const Job &job)
{
    uint32_t sum = 0;
    for (uint8_t byte : job.data)
        sum += byte;
    return sum;
}

ShortReport EnterBootloaderReport()
{
    ShortReport report{};
    report[0] = 0xA1;
    report[1] = 0x3A;
    report[5] = 0x6B;
    report[6] = 0x1E;
    report[7] = 0xD4;
    return report;
}

LongReport StartReport(const Job &job)
{
    LongReport report{};
    report[0] = 0xA1;
    report[1] = 0x03;
    report[16] = uint8_t(job.chunkCount());
    const uint32_t sum = ImageSum(job);
    for (int i = 0; i < 4; ++i)
        report[17 + i] = uint8_t(sum >> (8 * i));
    return report;
}

LongReport ChunkReport(const Job &job, size_t k)
{
    LongReport report{};
    report[0] = 0xA0;
    report[1] = 0x06;
    report[2] = uint8_t(12 + k);
    const uint16_t sum = ChunkChecksum(job.chunk(k));
    report[3] = uint8_t(sum);
    report[4] = uint8_t(sum >> 8);
    std::memcpy(report.data() + 16, job.chunk(k), kChunkSize);
    return report;
}

LongReport FinishReport()
{
    LongReport report{};
    report[0] = 0xA1;
    report[1] = 0x09;
    return report;
}

Mode LocateMouse(Link &link, Clock &clock)
{
    link.close();
    if (link.open(kNormalProductId))
        return Mode::Normal;
    link.close();
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (link.open(kBootloaderProductId))
            return Mode::Bootloader;
        clock.sleepMs(500);
    }
    // A mouse in the middle of switching shows up in either mode: alternate.
    for (int n = 30; n >= 0; --n) {
        const bool normal = n % 2 == 1;
        if (link.open(normal ? kNormalProductId : kBootloaderProductId))
            return normal ? Mode::Normal : Mode::Bootloader;
        clock.sleepMs(1500);
        link.close();
    }
    return Mode::None;
}

uint8_t Link::exchange(const uint8_t *report, size_t size, Retry retry, uint32_t waitMs, size_t statusSize,
                      Clock &clock)
{
    if (!send(report, size, retry))
        return 0;
    clock.sleepMs(waitMs);
    LongReport status{};
    status[0] = 0xA1;
    if (!get(status.data(), std::min(statusSize, status.size())))
        return 0;
    return status[1];
}

void RunUpdate(Link &link, Clock &clock, const std::optional<Job> &job, const Progress &progress)
{
    if (!job) {
        progress(kNoJob, 0);
        return;
    }
    // One step with its fixed wait; true when the mouse answered status 1.
    const auto accepted = [&](const auto &report, Link::Retry retry, uint32_t waitMs, size_t statusSize) {
        return link.exchange(report.data(), report.size(), retry, waitMs, statusSize, clock) == 1;
    };

    progress(kStepDone, 1);
    Mode mode = LocateMouse(link, clock);
    if (mode == Mode::None) {
        progress(kMouseMissing, 2);
        return;
    }

    if (mode == Mode::Normal) {
        if (!accepted(EnterBootloaderReport(), Link::Retry::Short30ms, 30, kShortReportSize)) {
            progress(kSwitchRefused, 1);
            return;
        }
        link.close();
        bool found = false;
        for (uint32_t wait : {0u, 500u, 1000u, 1500u, 2000u}) {
            if ((found = link.open(kBootloaderProductId)))
                break;
            clock.sleepMs(wait);
        }
        if (!found) {
            progress(kBootloaderMissing, 1);
            return;
        }
        progress(kStepDone, 3);
        clock.sleepMs(1000);
    }

    const LongReport start = StartReport(*job);
    bool started = false;
    for (uint32_t wait : {300u, 600u, 900u, 1200u, 1500u}) {
        if ((started = accepted(start, Link::Retry::Normal50ms, 50, kLongReportSize)))
            break;
        clock.sleepMs(wait);
    }
    if (!started) {
        progress(kStartFailed, 4);
        return;
    }
    uint32_t last = 4;
    progress(kStepDone, last);

    const size_t n = job->chunkCount();
    for (size_t k = 0; k < n; ++k) {
        const LongReport chunk = ChunkReport(*job, k);
        bool written = false;
        for (uint32_t wait : {0u, 100u, 200u}) {
            if ((written = accepted(chunk, Link::Retry::Normal50ms, 20, kLongReportSize)))
                break;
            clock.sleepMs(wait);
        }
        if (!written) {
            progress(kChunkFailed, last);
            return;
        }
        last = uint32_t(4 + 100 * k / n);
        progress(kStepDone, last);
        clock.sleepMs(70);
    }

    clock.sleepMs(200);
    // The Finish status byte is the result; a failed read counts as 0.
    if (!accepted(FinishReport(), Link::Retry::Normal50ms, 10, kLongReportSize)) {
        progress(kFinishFailed, last);
        return;
    }
    last = 100;
    progress(kStepDone, last);

    // The mouse restarts in normal mode. Bounded, so a mouse that never comes
    // back ends the job with a status instead of a worker waiting for ever.
    const uint64_t deadline = clock.nowMs() + kRestartTimeoutMs;
    for (;;) {
        link.close();
        int16_t version = 0;
        if (link.open(kNormalProductId) && link.firmwareVersion(&version)) {
            progress(kComplete, uint16_t(version));
            return;
        }
        if (clock.nowMs() >= deadline) {
            progress(kMouseMissing, last);
            return;
        }
        clock.sleepMs(kRestartPollMs);
    }
}

} // namespace vela::firmware
