// The setting that chooses the unit.

#include "wire/LinkSetting.h"

#include <gtest/gtest.h>

namespace sernox::wire {
namespace {

using Kind = LinkSetting::Kind;

TEST(LinkSetting, SimulationUnlessASerialPortIsNamed)
{
    EXPECT_EQ(ParseLinkSetting("").kind, Kind::Simulated);
    EXPECT_EQ(ParseLinkSetting(" sim \n").kind, Kind::Simulated);

    const LinkSetting s = ParseLinkSetting("serial:/dev/pts/5@19200");
    EXPECT_EQ(s.kind, Kind::Serial);
    EXPECT_EQ(s.port, "/dev/pts/5");
    EXPECT_EQ(s.timing.baud, 19200);

    const LinkSetting plain = ParseLinkSetting("serial:COM3");
    EXPECT_EQ(plain.port, "COM3");
    EXPECT_EQ(plain.timing.baud, WireTiming().baud);

    const LinkSetting tuned = ParseLinkSetting("serial:/dev/ttyUSB0@115200,answer=250,attempts=5,silent=2,gap=30");
    EXPECT_EQ(tuned.kind, Kind::Serial);
    EXPECT_EQ(tuned.timing.answerMs, 250);
    EXPECT_EQ(tuned.timing.maxAttempts, 5);
    EXPECT_EQ(tuned.timing.maxSilentAttempts, 2);
    EXPECT_EQ(tuned.timing.gapMs, 30);
}

TEST(LinkSetting, ATypoIsNotTakenForTheSimulation)
{
    for (const char* bad : {"serial", "serial:", "serial:/dev/x@fast", "serial:/dev/x@0", "serial:/dev/x,answer",
                            "serial:/dev/x,answer=0", "serial:/dev/x,speed=3", "simulated", "tcp:host"})
        EXPECT_EQ(ParseLinkSetting(bad).kind, Kind::Invalid) << bad;
}

TEST(LinkSetting, TheFileGivesTheLastLinkLine)
{
    EXPECT_EQ(LinkFromConfText("# unit\r\nlink = serial:/dev/ttyS0@57600\r\n"), "serial:/dev/ttyS0@57600");
    EXPECT_EQ(LinkFromConfText("; off\n# link=serial:/dev/a\nother=1\n"), "");
    EXPECT_EQ(LinkFromConfText("link=sim\nlink=serial:/dev/b\n"), "serial:/dev/b");
}

} // namespace
} // namespace sernox::wire
