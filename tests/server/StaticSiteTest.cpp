// SPDX-License-Identifier: GPL-3.0-or-later
// The browser game's folder at /play/ on a real server: types, the gzip
// twins, caching and revalidation, the way in from /play, paths that must
// not leave the folder, and no rate limit for files.
#include "Pages.h"
#include "ServerFixture.h"
#include "StaticSite.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include <unistd.h>

namespace {

void Write(const std::filesystem::path& file, const std::string& bytes)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

// A header's value in a reply's header block, case as sent; empty when absent.
std::string HeaderOf(const THttpReply& reply, const std::string& name)
{
    const std::string& block = reply.Headers;
    size_t at = 0;
    while ((at = block.find('\n', at)) != std::string::npos) {
        ++at;
        if (block.compare(at, name.size() + 1, name + ":") != 0) continue;
        size_t start = at + name.size() + 1;
        while (start < block.size() && block[start] == ' ') ++start;
        const size_t end = block.find_first_of("\r\n", start);
        return block.substr(start, end - start);
    }
    return {};
}

class Site : public Server {
protected:
    void SetUp() override
    {
        Server::SetUp();
        Folder = std::filesystem::temp_directory_path() / ("zarvenok-site-" + std::to_string(::getpid()));
        std::filesystem::remove_all(Folder);
        Write(Folder / "play" / "index.html", "<!DOCTYPE html><title>game</title>");
        Write(Folder / "play" / "zarvenok.js", "plain script");
        Write(Folder / "play" / "zarvenok.js.gz", "squeezed script");
        Write(Folder / "play" / "zarvenok.wasm", std::string("\0asm", 4));
        Write(Folder / "play" / "zarvenok.data", "data");
        Write(Folder / "play" / "page.css", "body{}");
        Write(Folder / "play" / ".hidden", "secret");
        Write(Folder / "outside.txt", "secret");
        Start([this](TServerConfig& config) {
            config.PlayFolder = Folder / "play";
            // Files are not rationed; the score requests still are.
            config.RatePerSecond = 0.001;
            config.Burst = 1;
        });
    }
    void TearDown() override
    {
        Http.reset();
        std::filesystem::remove_all(Folder);
        Server::TearDown();
    }
    THttpReply Call(const std::string& target, const std::vector<std::string>& headers = {},
                    const std::string& method = "GET")
    {
        return HttpCall(method, Base, target, "", headers);
    }

    std::filesystem::path Folder;
};

TEST_P(Site, ServesEachFileWithItsType)
{
    const struct {
        const char* Target;
        const char* Type;
        std::string Body;
    } cases[] = {
        {"/play/", "text/html; charset=utf-8", "<!DOCTYPE html><title>game</title>"},
        {"/play/index.html", "text/html; charset=utf-8", "<!DOCTYPE html><title>game</title>"},
        {"/play/zarvenok.js", "text/javascript; charset=utf-8", "plain script"},
        {"/play/zarvenok.wasm", "application/wasm", std::string("\0asm", 4)},
        {"/play/zarvenok.data?v=1", "application/octet-stream", "data"},
        {"/play/page.css", "text/css; charset=utf-8", "body{}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Target);
        const THttpReply reply = Call(c.Target);
        EXPECT_EQ(reply.Status, 200);
        EXPECT_EQ(HeaderOf(reply, "Content-Type"), c.Type);
        EXPECT_EQ(reply.Body, c.Body);
        EXPECT_EQ(HeaderOf(reply, "X-Content-Type-Options"), "nosniff");
    }
    // The page may run its WebAssembly; the score pages may run nothing.
    EXPECT_NE(HeaderOf(Call("/play/"), "Content-Security-Policy").find("'wasm-unsafe-eval'"), std::string::npos);
}

TEST_P(Site, SendsTheGzipTwinToBrowsersThatTakeIt)
{
    const THttpReply squeezed = Call("/play/zarvenok.js", {"Accept-Encoding: gzip, deflate, br"});
    EXPECT_EQ(squeezed.Body, "squeezed script");
    EXPECT_EQ(HeaderOf(squeezed, "Content-Encoding"), "gzip");
    EXPECT_EQ(HeaderOf(squeezed, "Vary"), "Accept-Encoding");
    for (const char* refusal : {"Accept-Encoding: identity", "Accept-Encoding: gzip;q=0", ""}) {
        SCOPED_TRACE(refusal);
        const THttpReply plain = Call("/play/zarvenok.js", {refusal});
        EXPECT_EQ(plain.Body, "plain script");
        EXPECT_EQ(HeaderOf(plain, "Content-Encoding"), "");
    }
    // A file without a twin goes as it is.
    EXPECT_EQ(Call("/play/zarvenok.data", {"Accept-Encoding: gzip"}).Body, "data");
}

TEST_P(Site, KeepsVersionedFilesForGoodAndChecksTheRest)
{
    EXPECT_EQ(HeaderOf(Call("/play/zarvenok.js?v=0123abcd"), "Cache-Control"), "public, max-age=31536000, immutable");
    EXPECT_EQ(HeaderOf(Call("/play/zarvenok.js"), "Cache-Control"), "no-cache");
    // The page itself is always checked: it names the versions.
    EXPECT_EQ(HeaderOf(Call("/play/index.html?v=1"), "Cache-Control"), "no-cache");

    const THttpReply first = Call("/play/zarvenok.wasm");
    const std::string tag = HeaderOf(first, "ETag");
    ASSERT_FALSE(tag.empty());
    const THttpReply again = Call("/play/zarvenok.wasm", {"If-None-Match: " + tag});
    EXPECT_EQ(again.Status, 304);
    EXPECT_EQ(again.Body, "");
    // The compressed form is another representation with its own tag.
    const THttpReply squeezed = Call("/play/zarvenok.js", {"Accept-Encoding: gzip"});
    EXPECT_NE(HeaderOf(squeezed, "ETag"), HeaderOf(Call("/play/zarvenok.js"), "ETag"));
    EXPECT_EQ(Call("/play/zarvenok.wasm", {"If-None-Match: \"other\""}).Status, 200);
}

TEST_P(Site, LeadsFromPlayToTheFolderAndNowhereElse)
{
    const THttpReply bare = Call("/play");
    EXPECT_EQ(bare.Status, 301);
    EXPECT_EQ(HeaderOf(bare, "Location"), "/play/");
    for (const char* target : {"/play/missing.js", "/play/../outside.txt", "/play/%2e%2e/outside.txt",
                               "/play/.hidden", "/play/zarvenok.js.gz", "/play//zarvenok.js"}) {
        SCOPED_TRACE(target);
        const THttpReply reply = Call(target);
        EXPECT_EQ(reply.Status, 404);
        EXPECT_EQ(reply.Body.find("secret"), std::string::npos);
    }
    // HEAD answers as GET does, without the body.
    const THttpReply head = Call("/play/zarvenok.js", {}, "HEAD");
    EXPECT_EQ(head.Status, 200);
    EXPECT_EQ(head.Body, "");
    EXPECT_EQ(HeaderOf(head, "Content-Length"), "12");
}

TEST_P(Site, ServesFilesBeyondTheRequestRateAndLinksFromTheHomePage)
{
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(Call("/play/zarvenok.js?v=1").Status, 200) << "file " << i;
    const THttpReply home = Call("/");
    // The one request the rate allows.
    EXPECT_EQ(home.Status, 200);
    EXPECT_NE(home.Body.find("<a href=\"/play/\">Play in your browser</a>"), std::string::npos);
    EXPECT_EQ(Call("/").Status, 429);
}

INSTANTIATE_TEST_SUITE_P(, Site, ::testing::Values(EStoreBackend::Sqlite),
                         [](const auto&) { return std::string("Sqlite"); });

TEST(StaticSiteFolder, NeedsAPageAndIsLeftOutOfTheHomePageWithoutOne)
{
    EXPECT_THROW(TStaticSite(std::filesystem::temp_directory_path() / "zarvenok-no-such-site"), std::runtime_error);
    EXPECT_EQ(HomePage(false).find("/play/"), std::string::npos);
    EXPECT_NE(HomePage(true).find("Play in your browser"), std::string::npos);
}

} // namespace
