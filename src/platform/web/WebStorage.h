// SPDX-License-Identifier: GPL-3.0-or-later
// The player's files in the browser's own storage (IndexedDB): a folder
// whose files are read back when the page loads, and whose every written,
// renamed or removed file is stored again moments later, so the settings,
// the scores and the replays outlive the tab.
#pragma once

#include <string>

class TWebStorage {
public:
    // The folder the game keeps the player's files in.
    static constexpr const char* Folder = "/zarvenok";

    // Mounts the folder and waits for what an earlier visit stored. Without
    // storage (a browser that refuses it) the folder is a plain one that
    // lasts as long as the page; the reason goes to the console.
    static void Load();
};
