#include "sim/recorder_twin.h"

#include <gtest/gtest.h>

namespace zorvek::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(TwinFaults, ReadTheListOrSayWhy) {
    std::string error;
    const auto faults = ParseTwinFaults("bad-crc:3,silent-from:12,hang-up:1", error);
    ASSERT_TRUE(faults);
    ASSERT_EQ(faults->size(), 3u);
    EXPECT_EQ((*faults)[1].kind, TwinFaultKind::SilentFrom);
    EXPECT_EQ((*faults)[1].request, 12u);
    EXPECT_TRUE(ParseTwinFaults("", error)->empty());
    for (const char* wrong : {"bad-crc", "bad-crc:", "bad-crc:0", "bad-crc:3x", "late:3",
                              "bad-crc:3,", "no-answer:-1"}) {
        EXPECT_FALSE(ParseTwinFaults(wrong, error)) << wrong;
        EXPECT_FALSE(error.empty());
    }
}

// The port search's probe and the recorder's answer, byte for byte.
TEST(RecorderTwin, AnswersTheProbeAfterItsEcho) {
    Bytes live(161, 0);
    Image image{};
    RecorderTwin twin(image, live, {});
    const Bytes probe{0x81, 0x00, 0x00, 0x00, 0x56};
    // Bank 0 address 0 holds 0: the reply is 0x41, 0x00 and Crc8(41 00) = 0x5F.
    EXPECT_EQ(twin.Receive(probe), (Bytes{0x81, 0x00, 0x00, 0x00, 0x56, 0x41, 0x00, 0x5F}));
}

TEST(RecorderTwin, EchoesButDoesNotAnswerBrokenRequests) {
    Image image{};
    RecorderTwin twin(image, {}, {});
    const Bytes noise{0x12, 0x81, 0x00, 0x00, 0x00, 0x57};  // a stray byte, then a bad CRC
    EXPECT_EQ(twin.Receive(noise), noise);
    EXPECT_TRUE(twin.Requests().empty());
    // A request split over two deliveries is answered once complete.
    EXPECT_EQ(twin.Receive(Bytes{0x81, 0x00}).size(), 2u);
    EXPECT_TRUE(twin.HasPartialRequest());
    EXPECT_EQ(twin.Receive(Bytes{0x00, 0x00, 0x56}).size(), 6u);
}

}  // namespace
}  // namespace zorvek::sim
