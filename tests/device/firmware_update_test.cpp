#include "device/firmware_update.h"
#include "tests/support/fake_clock.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <numeric>
#include <string>

using namespace vela::firmware;
using vela::test::FakeClock;

namespace {

using Calls = std::vector<std::pair<int, uint32_t>>;

// A mouse behind the transport: present in one mode, switching on the
// accepted Enter-bootloader and Finish commands, answering scripted statuses.
struct FakeLink final : Link {
    Mode mode = Mode::Normal;
    int bootloaderFailedOpens = 0; // opens of 0x132A that fail after the switch
    int restartFailedOpens = 0;    // opens of 0x132B that fail after Finish; -1: never back
    std::map<uint8_t, std::deque<uint8_t>> statuses; // per command, before the default 1
    int16_t version = 106;
    std::vector<std::string> trace;
    std::vector<LongReport> sent;
    uint8_t lastCommand = 0;
    bool finished = false;

    void close() override { trace.push_back("close"); }
    bool open(uint16_t productId) override
    {
        bool ok = false;
        if (productId == kNormalProductId && mode == Mode::Normal) {
            ok = !finished || restartFailedOpens == 0;
            if (finished && restartFailedOpens > 0)
                --restartFailedOpens;
        } else if (productId == kBootloaderProductId && mode == Mode::Bootloader) {
            ok = bootloaderFailedOpens == 0;
            if (bootloaderFailedOpens > 0)
                --bootloaderFailedOpens;
        }
        trace.push_back((productId == kNormalProductId ? "open 132b " : "open 132a ") + std::string(ok ? "ok" : "fail"));
        return ok;
    }
    bool send(const uint8_t *report, size_t size, Retry retry) override
    {
        LongReport copy{};
        std::copy(report, report + size, copy.begin());
        sent.push_back(copy);
        lastCommand = report[1];
        char line[48];
        snprintf(line, sizeof line, "set %02x %02x %zu%s", report[0], report[1], size,
                 retry == Retry::Short30ms ? " short" : "");
        trace.push_back(line);
        return true;
    }
    bool get(uint8_t *report, size_t size) override
    {
        auto &queue = statuses[lastCommand];
        const uint8_t status = queue.empty() ? 1 : queue.front();
        if (!queue.empty())
            queue.pop_front();
        char line[32];
        snprintf(line, sizeof line, "get %02x %zu", report[0], size);
        trace.push_back(line);
        if (status == 0)
            return false; // the read itself fails
        report[1] = status;
        if (status == 1 && lastCommand == 0x3A)
            mode = Mode::Bootloader;
        if (status == 1 && lastCommand == 0x09) {
            mode = restartFailedOpens < 0 ? Mode::Bootloader : Mode::Normal;
            finished = true;
        }
        return true;
    }
    bool firmwareVersion(int16_t *out) override
    {
        trace.push_back("version");
        *out = version;
        return true;
    }
    int chunksSent() const
    {
        return int(std::count_if(sent.begin(), sent.end(), [](auto &r) { return r[0] == 0xA0; }));
    }
};

Calls Update(FakeLink &link, FakeClock &clock, const std::optional<Job> &job)
{
    Calls calls;
    RunUpdate(link, clock, job, [&](uint8_t status, uint32_t progress) { calls.emplace_back(status, progress); });
    return calls;
}

std::vector<uint8_t> Image(size_t size, uint8_t fill = 0x5A)
{
    return std::vector<uint8_t>(size, fill);
}

} // namespace

TEST(FirmwareJob, CutsTheImageIntoPaddedChunksAndRefusesWhatDoesNotFit)
{
    auto image = Image(2049);
    image[2048] = 0x77;
    EXPECT_EQ(MakeJob(2048, image.data())->chunkCount(), 2u);
    const auto three = MakeJob(2049, image.data());
    ASSERT_TRUE(three);
    ASSERT_EQ(three->chunkCount(), 3u);
    EXPECT_EQ(three->chunk(2)[0], 0x77);
    EXPECT_EQ(std::accumulate(three->chunk(2) + 1, three->chunk(2) + kChunkSize, 0), 0);

    const auto big = Image(kMaxImageSize + 1);
    EXPECT_EQ(MakeJob(kMaxImageSize, big.data())->chunkCount(), 100u);
    EXPECT_FALSE(MakeJob(kMaxImageSize + 1, big.data()));
    EXPECT_FALSE(MakeJob(0, big.data()));
    EXPECT_FALSE(MakeJob(10, nullptr));
}

TEST(FirmwareReports, AreBuiltByteByByte)
{
    const auto ones = Image(2 * kChunkSize, 1);
    auto image = ones;
    image[kChunkSize] = 0xFF; // second chunk: 1023 ones and 0xFF
    const Job job = *MakeJob(uint32_t(image.size()), image.data());
    EXPECT_EQ(ChunkChecksum(job.chunk(0)), 0x0400);
    EXPECT_EQ(ChunkChecksum(Image(kChunkSize, 0xFF).data()), 0xFC00);

    const ShortReport enter = EnterBootloaderReport();
    EXPECT_EQ(std::vector<uint8_t>(enter.begin(), enter.begin() + 8),
              (std::vector<uint8_t>{0xA1, 0x3A, 0, 0, 0, 0x6B, 0x1E, 0xD4}));
    EXPECT_EQ(std::accumulate(enter.begin() + 8, enter.end(), 0), 0);

    const LongReport start = StartReport(job);
    const uint32_t sum = 1024 + (1023 + 0xFF); // 0x08FE
    EXPECT_EQ(ImageSum(job), sum);
    EXPECT_EQ(std::vector<uint8_t>(start.begin(), start.begin() + 21),
              (std::vector<uint8_t>{0xA1, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0xFE, 0x08, 0, 0}));

    const LongReport chunk = ChunkReport(job, 1);
    EXPECT_EQ(std::vector<uint8_t>(chunk.begin(), chunk.begin() + 5), (std::vector<uint8_t>{0xA0, 0x06, 13, 0xFE, 0x04}));
    EXPECT_EQ(std::accumulate(chunk.begin() + 5, chunk.begin() + 16, 0), 0);
    EXPECT_TRUE(std::equal(chunk.begin() + 16, chunk.begin() + 1040, job.chunk(1)));
    EXPECT_EQ(chunk[1040], 0);

    const LongReport finish = FinishReport();
    EXPECT_EQ(finish[0], 0xA1);
    EXPECT_EQ(finish[1], 0x09);
    EXPECT_EQ(std::accumulate(finish.begin() + 2, finish.end(), 0), 0);
}

TEST(FirmwareUpdate, FromNormalModeRunsEveryStepWithItsWaits)
{
    FakeLink link;
    link.bootloaderFailedOpens = 2;
    link.restartFailedOpens = 1;
    FakeClock clock;
    const auto image = Image(2048);
    const Calls calls = Update(link, clock, MakeJob(2048, image.data()));

    EXPECT_EQ(calls, (Calls{{1, 1}, {1, 3}, {1, 4}, {1, 4}, {1, 54}, {1, 100}, {0x60, 106}}));
    EXPECT_EQ(clock.sleeps(), (std::vector<uint32_t>{30, 0, 500, 1000, 50, 20, 70, 20, 70, 200, 10, kRestartPollMs}));
    EXPECT_EQ(link.trace, (std::vector<std::string>{
                              "close", "open 132b ok",                                         // locate
                              "set a1 3a 64 short", "get a1 64", "close",                      // enter bootloader
                              "open 132a fail", "open 132a fail", "open 132a ok",              // wait for it
                              "set a1 03 1041", "get a1 1041",                                 // start
                              "set a0 06 1041", "get a1 1041", "set a0 06 1041", "get a1 1041", // chunks
                              "set a1 09 1041", "get a1 1041",                                 // finish
                              "close", "open 132b fail", "close", "open 132b ok", "version",   // restart
                          }));
    EXPECT_EQ(link.sent[2][2], 12);
    EXPECT_EQ(link.sent[3][2], 13);
}

TEST(FirmwareUpdate, AMouseAlreadyInItsBootloaderSkipsTheSwitch)
{
    FakeLink link;
    link.mode = Mode::Bootloader;
    FakeClock clock;
    const auto image = Image(100);
    const Calls calls = Update(link, clock, MakeJob(100, image.data()));
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], (std::pair<int, uint32_t>{1, 1}));
    EXPECT_EQ(calls[1], (std::pair<int, uint32_t>{1, 4}));
    EXPECT_EQ(calls.back(), (std::pair<int, uint32_t>{0x60, 106}));
    EXPECT_EQ(std::vector<std::string>(link.trace.begin(), link.trace.begin() + 5),
              (std::vector<std::string>{"close", "open 132b fail", "close", "open 132a ok", "set a1 03 1041"}));
}

TEST(FirmwareUpdate, AStartRefusedFiveTimesSendsNoChunk)
{
    FakeLink link;
    link.mode = Mode::Bootloader;
    link.statuses[0x03] = {2, 4, 0, 2, 2};
    FakeClock clock;
    const auto image = Image(3000);
    const Calls calls = Update(link, clock, MakeJob(3000, image.data()));
    EXPECT_EQ(calls, (Calls{{1, 1}, {0x53, 4}}));
    EXPECT_EQ(link.chunksSent(), 0);
    EXPECT_EQ(clock.sleeps(), (std::vector<uint32_t>{50, 300, 50, 600, 50, 900, 50, 1200, 50, 1500}));
}

struct FailureCase {
    const char *name;
    std::function<void(FakeLink &)> setup;
    size_t imageSize;
    std::pair<int, uint32_t> final;
};

class FirmwareFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FirmwareFailure, IsReportedOnceAsTheLastCall)
{
    const FailureCase &c = GetParam();
    FakeLink link;
    c.setup(link);
    FakeClock clock;
    const auto image = Image(std::max<size_t>(c.imageSize, 1));
    const Calls calls = Update(link, clock, MakeJob(uint32_t(c.imageSize), image.data()));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), c.final);
    for (size_t i = 0; i + 1 < calls.size(); ++i)
        EXPECT_EQ(calls[i].first, 1) << "only the last call carries a final status";
}

INSTANTIATE_TEST_SUITE_P(
    EveryStatus, FirmwareFailure,
    ::testing::Values(
        FailureCase{"EmptyImage", [](FakeLink &) {}, 0, {0x50, 0}},
        FailureCase{"SwitchRefused", [](FakeLink &l) { l.statuses[0x3A] = {2}; }, 1024, {0x51, 1}},
        FailureCase{"SwitchUnanswered", [](FakeLink &l) { l.statuses[0x3A] = {0}; }, 1024, {0x51, 1}},
        FailureCase{"BootloaderNeverAppears", [](FakeLink &l) { l.bootloaderFailedOpens = 5; }, 1024, {0x52, 1}},
        FailureCase{"ThirdChunkFailsThrice", [](FakeLink &l) { l.statuses[0x06] = {1, 1, 2, 0, 3}; }, 3072, {0x54, 37}},
        FailureCase{"FirstChunkFailsThrice", [](FakeLink &l) { l.statuses[0x06] = {2, 2, 2}; }, 3072, {0x54, 4}},
        FailureCase{"FinishRefused", [](FakeLink &l) { l.statuses[0x09] = {7}; }, 2048, {0x55, 54}},
        FailureCase{"FinishUnanswered", [](FakeLink &l) { l.statuses[0x09] = {0}; }, 2048, {0x55, 54}},
        FailureCase{"NoMouse", [](FakeLink &l) { l.mode = Mode::None; }, 2048, {0x56, 2}},
        FailureCase{"NeverBackAfterFinish", [](FakeLink &l) { l.restartFailedOpens = -1; }, 2048, {0x56, 100}},
        FailureCase{"ChunksRetriedThenWritten", [](FakeLink &l) { l.statuses[0x06] = {2, 2, 1, 4, 1}; }, 2048,
                    {0x60, 106}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FirmwareUpdate, AnOversizedImageIsRefusedWithoutTouchingTheMouse)
{
    FakeLink link;
    FakeClock clock;
    const auto image = Image(kMaxImageSize + 1);
    EXPECT_EQ(Update(link, clock, MakeJob(uint32_t(image.size()), image.data())), (Calls{{0x50, 0}}));
    EXPECT_TRUE(link.trace.empty());
    EXPECT_TRUE(clock.sleeps().empty());
}

TEST(FirmwareUpdate, LocatingAMissingMouseAlternatesModesAndGivesUp)
{
    FakeLink link;
    link.mode = Mode::None;
    FakeClock clock;
    EXPECT_EQ(LocateMouse(link, clock), Mode::None);
    const auto opens = std::count_if(link.trace.begin(), link.trace.end(), [](auto &t) { return t.rfind("open", 0) == 0; });
    EXPECT_EQ(opens, 1 + 3 + 31);
    const auto sleeps = clock.sleeps();
    EXPECT_EQ(std::accumulate(sleeps.begin(), sleeps.end(), 0u), 3 * 500u + 31 * 1500u);
    // n = 30 is even: the alternation starts with the bootloader.
    EXPECT_EQ(link.trace[6], "open 132a fail");
    EXPECT_EQ(link.trace[8], "open 132b fail");
}

TEST(FirmwareUpdate, TheWaitForTheRestartIsBounded)
{
    FakeLink link;
    link.restartFailedOpens = -1;
    FakeClock clock;
    const auto image = Image(1024);
    const uint64_t before = clock.nowMs();
    Update(link, clock, MakeJob(1024, image.data()));
    const uint64_t waited = clock.nowMs() - before;
    EXPECT_GE(waited, kRestartTimeoutMs);
    EXPECT_LE(waited, kRestartTimeoutMs + 5000);
}
