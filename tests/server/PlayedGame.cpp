// SPDX-License-Identifier: GPL-3.0-or-later
// One game's score sent the way the game sends it, through the game's own
// client: the token asked for as it starts, the submission, then the upload
// of a replay that claims the score (for a server whose verifier takes
// claims on trust, as the tests' stand-in does).
#include "LoadRuns.h"

#include "CurlHttpClient.h"
#include "TestReplay.h"
#include "ScoreRecord.h"
#include "ServerRequests.h"
#include "TextEncoding.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <thread>

int Played(const std::string& base, const std::string& name, int32_t score, int32_t level)
{
    try {
        TCurlHttpClient client;
        const std::string version = client.Get(ScoreServerRequest(base, VersionQuery));
        const std::string token = ReplyField(version, 5);
        client.Get(ScoreServerRequest(
            base, std::string(SubmissionQueryPrefix) + EncodeLine(BuildScoreRecord(name, score, token, ""))));
        // A second and a half: within the token's age by the time it arrives.
        auto upload = StartReplayUpload(client, base, token, ReplayBytes(name, score, level, 40, 1500));
        while (upload->Poll().Outcome == THttpOutcome::Pending)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const THttpResult& result = upload->Poll();
        if (result.Outcome != THttpOutcome::Ok) {
            std::fprintf(stderr, "played: the upload was refused: %s\n", result.Reason.c_str());
            return 1;
        }
        std::printf("played: %s %d, %s\n", name.c_str(), score, result.Body.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "played: %s\n", e.what());
        return 1;
    }
}
