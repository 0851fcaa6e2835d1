// SPDX-License-Identifier: GPL-3.0-or-later
// The submitted record's padding and the query encoding.
#include "ScoreRecord.h"
#include "TextEncoding.h"

#include <gtest/gtest.h>

TEST(ScoreRecord, PaddedToAMultipleOfFiveAndDecodedExactly)
{
    struct TCase {
        const char* Name;
        int32_t Score;
        const char* Token;
        const char* Add;
        const char* Text;
    };
    const TCase cases[] = {
        // 50 bytes before the zeros: already a multiple of 5, so none.
        {"BOB", 150, "12345", "ACE", "type=0|name=BOB|score=150|key=Z|p=12345|add=ACE|z="},
        {"ANNA", 2600, "12", "", "type=0|name=ANNA|score=2600|key=Z|p=12|add=|z=0000"},
        {"X", -5, "T0K3N", "SQUADNAMES", "type=0|name=X|score=-5|key=Z|p=T0K3N|add=SQUADNAMES|z=0"},
    };
    for (const TCase& c : cases) {
        const std::string text = BuildScoreRecord(c.Name, c.Score, c.Token, c.Add);
        EXPECT_EQ(text, c.Text);
        EXPECT_EQ(DecodeLine(EncodeLine(text)), text);
    }
}

TEST(ScoreRecord, QueryEncodingKeepsSeparators)
{
    EXPECT_EQ(PercentEncodeQuery("hs&prg=Zarvenok&inf=AB12"), "hs&prg=Zarvenok&inf=AB12");
    EXPECT_EQ(PercentEncodeQuery("a b|c/%"), "a%20b%7Cc%2F%25");
    EXPECT_EQ(PercentEncodeQuery(std::string("\xff", 1)), "%FF");
}
