// The room catalogue's rules: when the share is copied, what becomes of a copy, the records the
// settings keep and when this PC may publish.
#include "room/room_rules.h"

#include <gtest/gtest.h>

namespace {

using namespace room;

TEST(RoomRulesTest, ACopyIsMadeOnlyForAChangedSourceAndKeptOnlyWhenWhole) {
    const SourceStamp seen{9528, 1000};
    EXPECT_TRUE(ShouldCopy(seen, std::nullopt, false)) << "nothing copied since start";
    EXPECT_FALSE(ShouldCopy(seen, seen, false));
    EXPECT_TRUE(ShouldCopy({9528, 1001}, seen, false)) << "rewritten at the same size";
    EXPECT_TRUE(ShouldCopy({19048, 1000}, seen, false));
    EXPECT_TRUE(ShouldCopy(seen, seen, true)) << "Take now";

    EXPECT_TRUE(CopyIsWhole(seen, 9528, seen));
    EXPECT_FALSE(CopyIsWhole(seen, 4096, seen)) << "cut short";
    EXPECT_FALSE(CopyIsWhole(seen, 9528, std::nullopt)) << "removed while copied";
    EXPECT_FALSE(CopyIsWhole(seen, 9528, SourceStamp{9528, 1002})) << "rewritten while copied";
}

TEST(RoomRulesTest, ACopyIsTakenRefusedOrFoundEqualToTheOneTaken) {
    const std::string a(64, 'a'), b(64, 'b');
    EXPECT_EQ(JudgeCopy(a, "", {}), CopyVerdict::Take);
    EXPECT_EQ(JudgeCopy(a, b, {}), CopyVerdict::Take);
    EXPECT_EQ(JudgeCopy(a, a, {}), CopyVerdict::Unchanged);
    EXPECT_EQ(JudgeCopy(a, b, {"damaged"}), CopyVerdict::Refuse);
    EXPECT_EQ(RefusalReason({"one"}), "one");
    EXPECT_EQ(RefusalReason({"one", "two", "three"}), "one (and 2 more problems)");
    EXPECT_EQ(RefusalReason({"one", "two"}), "one (and 1 more problem)");
}

TEST(RoomRulesTest, RecordsKeepTimeDigestAndReason) {
    const Moment when{2024, 5, 7, 8, 3, 9};
    const std::string digest = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
    const std::string taken = TakenRecord(when, digest, "\\\\srv\\room\\icons.bin");
    EXPECT_EQ(taken, "2024-05-07 08:03:09 SHA-256 " + digest + " from \\\\srv\\room\\icons.bin");
    EXPECT_EQ(DigestOfTaken(taken), digest);
    // What an operator may have typed into the value, or an older record, gives no digest.
    for (const std::string& bad :
         {std::string(), std::string("2024-05-07 08:03:09"), "x SHA-256 " + digest.substr(0, 63),
          "x SHA-256 " + digest + "0", "x SHA-256 " + std::string(64, 'G')})
        EXPECT_EQ(DigestOfTaken(bad), "") << bad;
    EXPECT_EQ(RefusedRecord(when, "S:\\icons.bin", "too full"),
              "2024-05-07 08:03:09 S:\\icons.bin refused: too full");
    EXPECT_EQ(AboutLines("", ""),
              (std::vector<std::string>{"Catalogue taken: never", "Catalogue refused: never"}));

    const unsigned char bytes[] = {0x00, 0x0f, 0xa5, 0xff};
    EXPECT_EQ(HexDigest(bytes, 4), "000fa5ff");
}

TEST(RoomRulesTest, PublishingOnlyOverTheFileThisPcTookAndPassesAtLeastAMinuteApart) {
    const std::string mine(64, 'a'), theirs(64, 'b');
    EXPECT_TRUE(MayPublish(mine, mine));
    EXPECT_FALSE(MayPublish(theirs, mine)) << "another PC published in between";
    EXPECT_FALSE(MayPublish(theirs, "")) << "this PC never took the shared file";
    EXPECT_TRUE(MayPublish(std::nullopt, mine)) << "no shared file yet";
    EXPECT_TRUE(MayPublish(std::nullopt, ""));

    EXPECT_EQ(PassIntervalMs(5), 300000u);
    EXPECT_EQ(PassIntervalMs(0), 60000u);
    EXPECT_EQ(PassIntervalMs(-3), 60000u);
    EXPECT_EQ(PassIntervalMs(100000), 86400000u);
}

} // namespace
