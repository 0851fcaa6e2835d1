// SPDX-License-Identifier: GPL-3.0-or-later
// The browser game's files, served at /play/ from one folder: each with its
// content type, its gzip twin (NAME.gz beside it) to browsers that take
// one, and caching that suits it. Files asked for with a version ("?v=...",
// as the game's page names them) are kept by browsers for good; the rest
// are checked again on each use, by their ETag.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

struct MHD_Connection;

class TStaticSite {
public:
    // Throws std::runtime_error when the folder holds no index.html.
    explicit TStaticSite(std::filesystem::path folder);

    static constexpr std::string_view Prefix = "/play/";

    // Whether the target (path and query, as it arrived) is the site's.
    static bool Handles(std::string_view target);

    // The folder's file for a path below the prefix ("" is index.html);
    // empty when there is no such plain file or the path leaves the folder.
    std::filesystem::path Find(std::string_view relative) const;

    // The content type for a file's name.
    static std::string_view ContentType(const std::filesystem::path& name);

    // Queues the reply for the target: the file, 304 when the browser's copy
    // is current, a redirect from "/play" to "/play/", or 404.
    int Answer(MHD_Connection* connection, std::string_view target) const;

    const std::filesystem::path& Folder() const { return Folder_; }

private:
    std::filesystem::path Folder_;
};
