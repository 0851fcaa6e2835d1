// SPDX-License-Identifier: GPL-3.0-or-later
// The server's reading of what arrives: records, query strings, the rate
// limit, and escaping for the page. No network, no database.
#include "Pages.h"
#include "RateLimiter.h"
#include "Request.h"
#include "ScoreRecord.h"
#include "Submission.h"
#include "TextEncoding.h"

#include <gtest/gtest.h>

namespace {

const std::string Token = "0123456789abcdef0123456789abcdef";

std::string Pad(std::string plain)
{
    while (plain.size() % 5 != 0)
        plain += '0';
    return plain;
}

std::string Plain(const std::string& type, const std::string& name, const std::string& score,
                  const std::string& key, const std::string& token, const std::string& add)
{
    return Pad("type=" + type + "|name=" + name + "|score=" + score + "|key=" + key + "|p=" + token +
               "|add=" + add + "|z=");
}

TEST(ScoreRecord, PaddedToWholeGroupsAndDecodesBackExactly)
{
    for (const char* name : {"A", "BOB", "ALICEALICE"})
        for (int score : {0, 7, 12345, 100000000}) {
            const std::string record = BuildScoreRecord(name, score, Token, "SQUAD");
            EXPECT_EQ(record.size() % 5, 0U) << record;
            EXPECT_EQ(DecodeLine(EncodeLine(record)), record);
            const TSubmissionCheck check = CheckSubmission(EncodeLine(record));
            ASSERT_TRUE(check.Ok) << record << ": " << check.Error;
            EXPECT_EQ(check.Record.Name, name);
            EXPECT_EQ(check.Record.Score, score);
            EXPECT_EQ(check.Record.Token, Token);
            EXPECT_EQ(check.Record.AddText, "SQUAD");
        }
    // Already a multiple of 5 before padding: "|z=" with no zeros.
    EXPECT_EQ(BuildScoreRecord("AB", 10, "", ""), "type=0|name=AB|score=10|key=Z|p=|add=|z=");
}

TEST(ScoreRecord, ReplyFieldReadsAsTheGameDoes)
{
    struct Case {
        const char* Reply;
        int Index;
        const char* Field;
    };
    const Case cases[] = {
        {"OK|Zarvenok|1|3600|tok|", 5, "tok"},
        {"OK|Zarvenok|1|3600|tok", 5, ""},  // the last field needs a "|" after it
        {"OK|a", 5, ""},
        {"OK", 5, ""},
        {"OK|a|b|c|d|e|f", 5, "d"},
        {"OK|x|", 1, "OK"},
        {"", 5, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplyField(c.Reply, c.Index), c.Field) << c.Reply;
}

TEST(Submission, RefusesEveryBadField)
{
    struct Case {
        std::string Plain;
        const char* Error;  // nullptr: accepted
    };
    const Case cases[] = {
        {Plain("0", "ALICE", "1234", "Z", Token, "SQUAD"), nullptr},
        {Plain("0", "ABCDEFGHIJ", "0", "Z", Token, ""), nullptr},
        {Plain("0", "A", "100000000", "Z", Token, "ABCDEFGHIJ"), nullptr},
        {Plain("1", "ALICE", "1234", "Z", Token, ""), "type"},
        {Plain("", "ALICE", "1234", "Z", Token, ""), "type"},
        {Plain("0", "", "1234", "Z", Token, ""), "name"},
        {Plain("0", "ABCDEFGHIJK", "1234", "Z", Token, ""), "name"},
        {Plain("0", "alice", "1234", "Z", Token, ""), "name"},
        {Plain("0", "<B>X</B>", "1234", "Z", Token, ""), "name"},
        {Plain("0", "AL%%", "1234", "Z", Token, ""), "name"},
        {Plain("0", "ALICE", "-5", "Z", Token, ""), "range"},
        {Plain("0", "ALICE", "100000001", "Z", Token, ""), "range"},
        {Plain("0", "ALICE", "99999999999999", "Z", Token, ""), "score"},
        {Plain("0", "ALICE", "12a", "Z", Token, ""), "score"},
        {Plain("0", "ALICE", "007", "Z", Token, ""), "score"},
        {Plain("0", "ALICE", "-0", "Z", Token, ""), "score"},
        {Plain("0", "ALICE", "", "Z", Token, ""), "score"},
        {Plain("0", "ALICE", "1234", "K", Token, ""), "key"},
        {Plain("0", "ALICE", "1234", "", Token, ""), "key"},
        {Plain("0", "ALICE", "1234", "Z", Token.substr(1), ""), "token"},
        {Plain("0", "ALICE", "1234", "Z", "0123456789ABCDEF0123456789ABCDEF", ""), "token"},
        {Plain("0", "ALICE", "1234", "Z", "", ""), "token"},
        {Plain("0", "ALICE", "1234", "Z", Token, "squad"), "add"},
        {Plain("0", "ALICE", "1234", "Z", Token, "ABCDEFGHIJK"), "add"},
        {Pad("type=0|name=ALICE|score=1|key=Z|p=" + Token + "|add=|z=0x"), "padding"},
        {Pad("type=0|name=ALICE|score=1|key=Z|p=" + Token + "|add=|z=00000"), "padding"},
        {Pad("type=0|name=ALICE|score=1|key=Z|p=" + Token + "|add="), "too few"},
        {Pad("name=ALICE|type=0|score=1|key=Z|p=" + Token + "|add=|z="), "field 1"},
        {Pad("type=0|name=ALICE|score=1|key=Z|p=" + Token + "|add=|z=|x="), "too many"},
        {Pad("type=0|name=ALICE|score=1|keyZ|p=" + Token + "|add=|z="), "field 4"},
        {Pad("type=0"), "too few"},
    };
    for (const auto& c : cases) {
        const TSubmissionCheck check = CheckSubmission(EncodeLine(c.Plain));
        if (c.Error == nullptr) {
            EXPECT_TRUE(check.Ok) << c.Plain << ": " << check.Error;
        } else {
            EXPECT_FALSE(check.Ok) << c.Plain;
            EXPECT_NE(check.Error.find(c.Error), std::string::npos)
                << c.Plain << " gave \"" << check.Error << "\"";
        }
    }
}

TEST(Submission, RefusesBrokenEncodings)
{
    const std::string good = EncodeLine(Plain("0", "ALICE", "1234", "Z", Token, ""));
    ASSERT_TRUE(CheckSubmission(good).Ok);
    struct Case {
        std::string Encoded;
        const char* Error;
    };
    const Case cases[] = {
        {"", "empty"},
        {good.substr(0, good.size() - 1), "groups"},
        // Not padded by the game: decodes with a leading byte 0.
        {EncodeLine("type=0|name=ALICE|score=1|key=Z|p=" + Token + "|add=|z"), "groups"},
        {good.substr(0, 8) + "a" + good.substr(9), "alphabet"},
        {good.substr(0, 8) + "%" + good.substr(9), "alphabet"},
        {good.substr(0, 8) + "I" + good.substr(9), "alphabet"},
        {std::string(8, 'A'), "field 1"},  // five zero bytes
        {std::string(MaxEncodedRecord + 8, 'A'), "too long"},
    };
    for (const auto& c : cases) {
        const TSubmissionCheck check = CheckSubmission(c.Encoded);
        EXPECT_FALSE(check.Ok) << c.Encoded;
        EXPECT_NE(check.Error.find(c.Error), std::string::npos) << c.Encoded << " gave " << check.Error;
    }
    EXPECT_TRUE(CheckSubmission(std::string(MaxEncodedRecord + 8, 'A')).TooLong);
}

TEST(Request, ClassifiesTargets)
{
    using K = ERequestKind;
    struct Case {
        std::string Target;
        K Kind;
        int Status;  // for errors
    };
    const std::string cgi = "/cgi/version.pl?";
    const Case cases[] = {
        {cgi + "version&prg=Zarvenok", K::Version, 0},
        {cgi + "prg=Zarvenok&version", K::Version, 0},
        {cgi + "&&version&&prg=Zarvenok&", K::Version, 0},
        {cgi + "version=1&prg=Zarvenok", K::Error, 400},
        {cgi + "version&prg=Other", K::Error, 400},
        {cgi + "version", K::Error, 400},
        {cgi + "version&hs&prg=Zarvenok", K::Error, 400},
        {cgi + "version&prg=Zarvenok&extra=1", K::Error, 400},
        {cgi + "version&prg=Zarvenok&prg=Zarvenok", K::Error, 400},
        {cgi + "=x&version&prg=Zarvenok", K::Error, 400},
        {"/cgi/version.pl", K::Error, 400},
        {cgi + "hs&prg=Zarvenok&inf=ABC", K::Submit, 0},
        {cgi + "hs&prg=Zarvenok", K::Error, 400},
        {cgi + "hs&prg=Zarvenok&inf=", K::Error, 400},
        {cgi + "hs&prg=Zarvenok&inf=" + std::string(300, 'A'), K::Error, 414},
        {cgi + "hs&prg=Zarvenok&inf=%zz", K::Error, 400},
        {cgi + "hs&prg=Zarvenok&inf=AB%4", K::Error, 400},
        {cgi + "hs&prg=Zarvenok&inf=AB%", K::Error, 400},
        {cgi + "prg=Zarvenok&show&type=0", K::Table, 0},
        {cgi + "prg=Zarvenok&show&type=0&period=week&page=3", K::Table, 0},
        {cgi + "prg=Zarvenok&show&type=1", K::Error, 400},
        {cgi + "prg=Zarvenok&show", K::Error, 400},
        {cgi + "prg=Zarvenok&show&type=0&page=0", K::Error, 400},
        {cgi + "prg=Zarvenok&show&type=0&page=abc", K::Error, 400},
        {cgi + "prg=Zarvenok&show&type=0&page=99999999999", K::Error, 400},
        {cgi + "prg=Zarvenok&show&type=0&page=", K::Error, 400},
        {cgi + "prg=Zarvenok&show&type=0&period=month", K::Error, 400},
        {"/", K::Home, 0},
        {"/?x", K::Error, 400},
        {"/nope", K::Error, 404},
        {"/cgi/version.pl/", K::Error, 404},
        {"/api/scores", K::TableJson, 0},
        {"/api/scores?period=week&page=2", K::TableJson, 0},
        {"/api/scores?foo", K::Error, 400},
        {"/" + std::string(MaxTargetLength, 'a'), K::Error, 414},
    };
    for (const auto& c : cases) {
        const TRequest request = ClassifyRequest(c.Target);
        EXPECT_EQ(request.Kind, c.Kind) << c.Target << ": " << request.Error;
        if (c.Kind == K::Error) {
            EXPECT_EQ(request.Status, c.Status) << c.Target;
        }
    }
}

TEST(Request, DecodesValues)
{
    const TRequest submit = ClassifyRequest("/cgi/version.pl?hs&prg=%5Aarvenok&inf=AB%43");
    ASSERT_EQ(submit.Kind, ERequestKind::Submit) << submit.Error;
    EXPECT_EQ(submit.Inf, "ABC");

    const TRequest table = ClassifyRequest("/cgi/version.pl?prg=Zarvenok&show&type=0&period=week&page=3");
    EXPECT_EQ(table.Period, EPeriod::Week);
    EXPECT_EQ(table.Page, 3);
    const TRequest first = ClassifyRequest("/api/scores");
    EXPECT_EQ(first.Period, EPeriod::AllTime);
    EXPECT_EQ(first.Page, 1);

    const TQueryParse parse = ParseQuery("a+b=c%20d&bare");
    ASSERT_TRUE(parse.Ok);
    ASSERT_EQ(parse.Params.size(), 2U);
    EXPECT_EQ(parse.Params[0].Key, "a b");
    EXPECT_EQ(parse.Params[0].Value, "c d");
    EXPECT_FALSE(parse.Params[1].Value.has_value());
}

TEST(RateLimiter, BurstThenRefillPerAddress)
{
    TRateLimiter limiter(1.0, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(limiter.Allow("10.0.0.1", 0.0)) << i;
    EXPECT_FALSE(limiter.Allow("10.0.0.1", 0.0));
    EXPECT_TRUE(limiter.Allow("10.0.0.2", 0.0));
    EXPECT_FALSE(limiter.Allow("10.0.0.1", 0.5));
    EXPECT_TRUE(limiter.Allow("10.0.0.1", 1.6));
    EXPECT_FALSE(limiter.Allow("10.0.0.1", 1.6));
    // A long rest refills to the burst, no further.
    int allowed = 0;
    for (int i = 0; i < 10; ++i)
        allowed += limiter.Allow("10.0.0.1", 1000.0) ? 1 : 0;
    EXPECT_EQ(allowed, 3);

    TRateLimiter off(0, 1);
    for (int i = 0; i < 100; ++i)
        EXPECT_TRUE(off.Allow("10.0.0.1", 0.0));
}

TEST(Pages, EscapeWhateverANameHolds)
{
    EXPECT_EQ(HtmlEscape("<script>alert('x')</script>&\""),
              "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&amp;&quot;");
    EXPECT_EQ(HtmlEscape(std::string("A\0B\x1b\xff", 5)), "A&#xFFFD;B&#xFFFD;&#xFFFD;");

    TScorePage page;
    page.Total = 1;
    TScoreRow row;
    row.Rank = 1;
    row.Name = "<img src=x onerror=alert(1)>";
    row.Score = 10;
    row.Squad = "</td><b>";
    // A verifier's reason quotes the replay's own text.
    row.State = "refused";
    row.Detail = "refused: the replay is of the player \"<i>\"";
    page.Rows.push_back(row);
    const std::string html = TablePage(page, EPeriod::AllTime, 1, true);
    EXPECT_EQ(html.find("<img"), std::string::npos);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    EXPECT_EQ(html.find("<i>"), std::string::npos);
    EXPECT_NE(html.find("&lt;img src=x onerror=alert(1)&gt;"), std::string::npos);
    const std::string json = TableJson(page, EPeriod::AllTime, 1, true);
    EXPECT_NE(json.find(R"("name":"<img src=x onerror=alert(1)>")"), std::string::npos) << json;
}

TEST(Pages, DatesInUtc)
{
    EXPECT_EQ(FormatDate(0), "1970-01-01");
    EXPECT_EQ(FormatDate(1709251199), "2024-02-29");
}

} // namespace
