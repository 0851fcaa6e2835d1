// SPDX-License-Identifier: GPL-3.0-or-later
// The submission's token: the one asked for as the game started when it
// came, a fresh one when it did not or when the server no longer takes it;
// and the token kept for the replay's upload only once a score is stored.
#include "GameFormFixture.h"

#include "ScoreRecord.h"
#include "ServerRequests.h"
#include "TextEncoding.h"

#include <cstdlib>

namespace {

const std::string Address = "http://scores.test";

class OnlineScores : public FormDirectory {
protected:
    void SetUp() override
    {
        FormDirectory::SetUp();
        setenv("ZARVENOK_SERVER", Address.c_str(), 1);
        StartForm();
        Form->Edit2 = "ACE";
        Form->Score = 2600;
    }
    void TearDown() override
    {
        unsetenv("ZARVENOK_SERVER");
        FormDirectory::TearDown();
    }
    void Reply(THeadlessHttp::TReply::TKind kind, const std::string& body, int status = 200)
    {
        Platform.ScriptedHttp().QueueReply({kind, body, status});
    }
    static std::string Version() { return ScoreServerRequest(Address, VersionQuery).Url; }
    static std::string Submission(const std::string& token)
    {
        return ScoreServerRequest(Address, std::string(SubmissionQueryPrefix) +
                                               EncodeLine(BuildScoreRecord("ACE", 2600, token, "")))
            .Url;
    }
    std::vector<std::string> Urls()
    {
        std::vector<std::string> urls;
        for (const THttpRequest& request : Platform.ScriptedHttp().Take()) urls.push_back(request.Url);
        return urls;
    }
};

using TKind = THeadlessHttp::TReply::TKind;

TEST_F(OnlineScores, TokenAskedForAtTheStartIsTheOneSent)
{
    Reply(TKind::Ok, "OK|Zarvenok|1|3600|early|");
    Form->RequestGameToken();
    Reply(TKind::Ok, "OK|stored|");
    Form->SubmitScore();
    EXPECT_EQ(Urls(), (std::vector<std::string>{Version(), Submission("early")}));
    EXPECT_EQ(Form->SubmittedToken, "early");
}

TEST_F(OnlineScores, ExpiredStartTokenFallsBackToAFreshOne)
{
    Reply(TKind::Ok, "OK|Zarvenok|1|3600|early|");
    Form->RequestGameToken();
    Reply(TKind::Refused, "ERROR|unknown or expired token\n", 403);
    Reply(TKind::Ok, "OK|Zarvenok|1|3600|fresh|");
    Reply(TKind::Ok, "OK|stored|");
    Form->SubmitScore();
    EXPECT_EQ(Urls(), (std::vector<std::string>{Version(), Submission("early"), Version(), Submission("fresh")}));
    EXPECT_EQ(Form->SubmittedToken, "fresh");
}

TEST_F(OnlineScores, NoStartTokenAndARefusalKeepNoToken)
{
    // The start's request failed: the submission asks for its own.
    Form->RequestGameToken();
    Reply(TKind::Ok, "OK|Zarvenok|1|3600|late|");
    Reply(TKind::Refused, "ERROR|token already used\n", 409);
    Form->SubmitScore();
    EXPECT_EQ(Urls(), (std::vector<std::string>{Version(), Version(), Submission("late")}));
    EXPECT_EQ(Form->SubmittedToken, "");
}

} // namespace
