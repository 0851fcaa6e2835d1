// The submitted record, the version reply's field and the query encoding.
#include "ScoreRecord.h"
#include "TextEncoding.h"

#include <gtest/gtest.h>

TEST(ScoreRecord, PaddedToAMultipleOfFiveAndDecodedExactly)
{
    struct TCase {
        TScoreRecord Record;
        std::string Text;
    };
    const TCase cases[] = {
        // 50 bytes before the zeros: already a multiple of 5, so none.
        {{"BOB", 150, 'K', "12345", "ACE"}, "type=0|name=BOB|score=150|key=K|p=12345|add=ACE|z="},
        {{"ANNA", 2600, 'K', "12", ""}, "type=0|name=ANNA|score=2600|key=K|p=12|add=|z=0000"},
        {{"X", -5, 'K', "T0K3N", "SQUADNAMES"}, "type=0|name=X|score=-5|key=K|p=T0K3N|add=SQUADNAMES|z=0"},
    };
    for (const TCase& c : cases) {
        const std::string text = FormatScoreRecord(c.Record);
        EXPECT_EQ(text, c.Text);
        EXPECT_EQ(text.size() % 5, 0u);
        EXPECT_EQ(DecodeLine(EncodeLine(text)), text);
        EXPECT_EQ(ParseScoreRecord(text), c.Record);
    }
}

TEST(ScoreRecord, ParsingRefusesWhatTheGameNeverSends)
{
    const char* const bad[] = {
        "",
        "type=1|name=BOB|score=150|key=K|p=1|add=|z=",
        "type=0|name=BOB|score=15x|key=K|p=1|add=|z=",
        "type=0|name=BOB|score=|key=K|p=1|add=|z=",
        "type=0|name=BOB|score=99999999999|key=K|p=1|add=|z=",
        "type=0|name=BOB|score=150|key=KK|p=1|add=|z=",
        "type=0|name=BOB|score=150|key=K|p=1|add=|z=01",
        "type=0|name=BOB|score=150|key=K|p=1|add=",
        "type=0|name=BOB|score=150|key=K|p=1|add=|z=|x=1",
        "name=BOB|type=0|score=150|key=K|p=1|add=|z=",
    };
    for (const char* text : bad) EXPECT_FALSE(ParseScoreRecord(text).has_value()) << text;
}

TEST(ScoreRecord, FifthFieldOfTheVersionReply)
{
    EXPECT_EQ(VersionReplyField("OK|1.0|a|b|TOKEN|rest"), "TOKEN");
    EXPECT_EQ(VersionReplyField("OK|1.0|a|b|TOKEN|"), "TOKEN");
    // Fewer than five separators: the field is empty.
    EXPECT_EQ(VersionReplyField("OK|1.0|a|b|TOKEN"), "");
    EXPECT_EQ(VersionReplyField("OK"), "");
    EXPECT_EQ(VersionReplyField("OK||||x|"), "x");
}

TEST(ScoreRecord, QueryEncodingKeepsSeparators)
{
    EXPECT_EQ(PercentEncodeQuery("hs&prg=Zarvenok&inf=AB12"), "hs&prg=Zarvenok&inf=AB12");
    EXPECT_EQ(PercentEncodeQuery("a b|c/%"), "a%20b%7Cc%2F%25");
    EXPECT_EQ(PercentEncodeQuery(std::string("\xff", 1)), "%FF");
}
