#include "device/firmware_update.h"
#include "tests/support/fake_clock.h"
#include "tools/virtual-mouse/in_process.h"

#include <gtest/gtest.h>

using namespace vela::firmware;
using MouseMode = vela::vmouse::Mode;

namespace {

// Talks to the virtual mouse's command interface directly, one report at a time.
class VirtualBootloaderTest : public ::testing::Test {
protected:
    bool openCommandInterface()
    {
        for (const auto &info : backend->enumerate(0x22D4, 0))
            if (info.usagePage == 0xFF01)
                return (handle = backend->open(info.path)) != nullptr;
        return false;
    }
    // The status the mouse answers to one report.
    template <typename Report> int status(const Report &report)
    {
        if (handle->sendFeatureReport(report.data(), report.size()) < 0)
            return -1;
        LongReport answer{};
        answer[0] = 0xA1;
        return handle->getFeatureReport(answer.data(), answer.size()) < 0 ? -1 : answer[1];
    }

    vela::test::FakeClock clock;
    vela::vmouse::VirtualMouse mouse{clock};
    std::unique_ptr<vela::hid::Backend> backend = vela::vmouse::makeInProcessBackend(mouse);
    std::unique_ptr<vela::hid::Handle> handle;
    std::vector<uint8_t> image = std::vector<uint8_t>(2500, 0x42);
    Job job = *MakeJob(uint32_t(image.size()), image.data());
};

} // namespace

TEST_F(VirtualBootloaderTest, EntersOnlyWithTheEntryCodeAndReenumerates)
{
    ASSERT_TRUE(openCommandInterface());
    ShortReport wrong = EnterBootloaderReport();
    wrong[7] = 0xD5;
    EXPECT_EQ(status(wrong), 2);
    EXPECT_EQ(mouse.mode(), MouseMode::Normal);
    EXPECT_EQ(status(EnterBootloaderReport()), 1);
    EXPECT_EQ(mouse.mode(), MouseMode::Bootloader);
    const auto present = backend->enumerate(0x22D4, 0);
    ASSERT_EQ(present.size(), 1u);
    EXPECT_EQ(present[0].productId, 0x132A);
}

TEST_F(VirtualBootloaderTest, ChecksEveryChunkAndTheWholeImage)
{
    mouse.setMode(MouseMode::Bootloader);
    ASSERT_TRUE(openCommandInterface());
    EXPECT_EQ(status(ChunkReport(job, 0)), 2) << "a chunk before Start";
    ASSERT_EQ(status(StartReport(job)), 1);

    LongReport badSum = ChunkReport(job, 0);
    badSum[3] ^= 1;
    EXPECT_EQ(status(badSum), 2);
    EXPECT_EQ(status(ChunkReport(job, 1)), 2) << "out of order: index 13 before 12";
    EXPECT_EQ(status(ChunkReport(job, 0)), 1);
    EXPECT_EQ(status(ChunkReport(job, 0)), 1) << "the same chunk again, after a lost status";
    EXPECT_EQ(status(ChunkReport(job, 1)), 1);
    EXPECT_EQ(status(FinishReport()), 2) << "Finish with a chunk missing";
    EXPECT_EQ(mouse.mode(), MouseMode::Bootloader);
    EXPECT_EQ(status(ChunkReport(job, 2)), 1);

    const uint16_t before = mouse.persistentState().firmwareVersion;
    EXPECT_EQ(status(FinishReport()), 1);
    EXPECT_EQ(mouse.mode(), MouseMode::Normal);
    EXPECT_EQ(mouse.persistentState().firmwareVersion, before + 1);
}

TEST_F(VirtualBootloaderTest, AStartWhoseSumDoesNotMatchTheChunksIsNotFinished)
{
    mouse.setMode(MouseMode::Bootloader);
    ASSERT_TRUE(openCommandInterface());
    LongReport start = StartReport(job);
    start[17] ^= 0xFF;
    ASSERT_EQ(status(start), 1);
    for (size_t k = 0; k < job.chunkCount(); ++k)
        ASSERT_EQ(status(ChunkReport(job, k)), 1);
    EXPECT_EQ(status(FinishReport()), 2);
    EXPECT_EQ(mouse.mode(), MouseMode::Bootloader);
}
