// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok in a browser: the game on the web platform, its libraries and
// music preloaded beside it, the player's files in the browser's storage.
// Scores go to the server that served the page; every game is recorded
// into replays/ in that storage, and a score the server took sends its
// replay after it, as on the desktop.
#include "Unit1.h"
#include "VolumeSettings.h"
#include "VolumeSetup.h"
#include "WebPackedData.h"
#include "WebPlatform.h"
#include "WebStorage.h"

#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace {

// "NAME=VALUE" lines for the game's environment: the page's own server when
// it came from one, and whatever the page adds (Module.gameEnvironment).
EM_JS(char*, WebPageEnvironment, (), {
    let text = "";
    if (location.protocol === 'http:' || location.protocol === 'https:')
        text += 'ZARVENOK_SERVER=' + location.origin + '\n';
    const added = Module.gameEnvironment || {};
    for (const name of Object.keys(added)) text += name + '=' + added[name] + '\n';
    const size = lengthBytesUTF8(text) + 1;
    const lines = _malloc(size);
    stringToUTF8(text, lines, size);
    return lines;
});

// The page says so, and offers to start again.
EM_JS(void, WebGameEnded, (int status), {
    if (Module.onGameEnded) Module.onGameEnded(status);
});

void ApplyPageEnvironment()
{
    char* lines = WebPageEnvironment();
    std::string text = lines;
    std::free(lines);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        if (const size_t equals = line.find('='); equals != std::string::npos && equals > 0)
            setenv(line.substr(0, equals).c_str(), line.substr(equals + 1).c_str(), 1);
        start = end + 1;
    }
}

} // namespace

int main()
{
    // The canvas is the only display there is.
    setenv("SDL_VIDEODRIVER", "emscripten", 0);
    ApplyPageEnvironment();
    for (const std::string& problem : UnpackData({"/Data", "/Music"})) std::fprintf(stderr, "zarvenok: %s\n", problem.c_str());
    TWebStorage::Load();
    std::unique_ptr<TWebPlatform> platform;
    try {
        platform = std::make_unique<TWebPlatform>();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zarvenok: %s\n", e.what());
        WebGameEnded(1);
        return 1;
    }
    TVolumeSettingsFile volumes(std::filesystem::path(TWebStorage::Folder) / TVolumeSettingsFile::FileName);
    SetUpVolumes(platform->SdlAudio(), volumes, std::nullopt, std::nullopt);
    int status = 0;
    try {
        TMainForm form(*platform);
        form.Folders.Settings = TWebStorage::Folder;
        form.RecordTo = TMainForm::TRecordTo::ReplayFolder;
        form.Start();
        status = form.Run();
        form.AfterLoop();
    } catch (const std::exception& e) {
        // A missing or damaged library: say what the library said, and stop.
        std::fprintf(stderr, "zarvenok: %s\n", e.what());
        platform->MessageBox().Show("Zarvenok", e.what());
        status = 1;
    }
    platform.reset();
    WebGameEnded(status);
    return status;
}
