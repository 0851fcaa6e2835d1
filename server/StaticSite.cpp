// SPDX-License-Identifier: GPL-3.0-or-later
// The browser game's folder over HTTP.
#include "StaticSite.h"

#include <microhttpd.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 10> Types{{
    {".html", "text/html; charset=utf-8"},
    {".js", "text/javascript; charset=utf-8"},
    {".css", "text/css; charset=utf-8"},
    {".wasm", "application/wasm"},
    {".data", "application/octet-stream"},
    {".json", "application/json"},
    {".png", "image/png"},
    {".svg", "image/svg+xml"},
    {".ico", "image/x-icon"},
    {".txt", "text/plain; charset=utf-8"},
}};

// The page runs its own script and WebAssembly, and talks to this server only.
constexpr const char* GamePolicy = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; "
                                   "img-src 'self' data: blob:; media-src 'self' blob:; frame-ancestors 'none'";

bool AcceptsGzip(MHD_Connection* connection)
{
    const char* accepted = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_ACCEPT_ENCODING);
    if (accepted == nullptr) return false;
    // "gzip" listed, and not refused with a zero weight.
    const std::string_view list = accepted;
    const size_t at = list.find("gzip");
    if (at == std::string_view::npos) return false;
    const std::string_view rest = list.substr(at + 4, list.find(',', at) - (at + 4));
    return rest.find("q=0") == std::string_view::npos || rest.find("q=0.") != std::string_view::npos;
}

int Queue(MHD_Connection* connection, unsigned status, MHD_Response* response)
{
    if (response == nullptr) return MHD_NO;
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    const MHD_Result queued = MHD_queue_response(connection, status, response);
    MHD_destroy_response(response);
    return queued;
}

int Plain(MHD_Connection* connection, unsigned status, const std::string& text)
{
    MHD_Response* response =
        MHD_create_response_from_buffer(text.size(), const_cast<char*>(text.data()), MHD_RESPMEM_MUST_COPY);
    if (response != nullptr) {
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, "text/plain; charset=utf-8");
        MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    }
    return Queue(connection, status, response);
}

} // namespace

TStaticSite::TStaticSite(std::filesystem::path folder) : Folder_(std::move(folder))
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(Folder_ / "index.html", error))
        throw std::runtime_error("no index.html in the browser game's folder " + Folder_.string());
}

bool TStaticSite::Handles(std::string_view target)
{
    const std::string_view path = target.substr(0, target.find('?'));
    return path == Prefix.substr(0, Prefix.size() - 1) || path.starts_with(Prefix);
}

std::filesystem::path TStaticSite::Find(std::string_view relative) const
{
    if (relative.empty()) relative = "index.html";
    // Plain names only: no escapes, no hidden files, nothing above the folder.
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string_view::npos) end = relative.size();
        const std::string_view part = relative.substr(start, end - start);
        if (part.empty() || part.front() == '.') return {};
        for (const char c : part)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') return {};
        start = end + 1;
    }
    std::filesystem::path file = Folder_ / std::string(relative);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return {};
    return file;
}

std::string_view TStaticSite::ContentType(const std::filesystem::path& name)
{
    const std::string extension = name.extension().string();
    for (const auto& [suffix, type] : Types)
        if (extension == suffix) return type;
    return "application/octet-stream";
}

int TStaticSite::Answer(MHD_Connection* connection, std::string_view target) const
{
    const size_t question = target.find('?');
    const std::string_view path = target.substr(0, question);
    const std::string_view query = question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
    if (!path.starts_with(Prefix)) {
        MHD_Response* response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
        if (response != nullptr) MHD_add_response_header(response, MHD_HTTP_HEADER_LOCATION, Prefix.data());
        return Queue(connection, MHD_HTTP_MOVED_PERMANENTLY, response);
    }
    const std::filesystem::path file = Find(path.substr(Prefix.size()));
    // A gzip twin is served only through its original.
    if (file.empty() || file.extension() == ".gz") return Plain(connection, MHD_HTTP_NOT_FOUND, "ERROR|no such file\n");

    std::filesystem::path sent = file;
    bool compressed = false;
    std::filesystem::path twin = file;
    twin += ".gz";
    std::error_code error;
    if (AcceptsGzip(connection) && std::filesystem::is_regular_file(twin, error)) {
        sent = twin;
        compressed = true;
    }
    const int fd = open(sent.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat about {};
    if (fd < 0 || fstat(fd, &about) != 0) {
        if (fd >= 0) close(fd);
        return Plain(connection, MHD_HTTP_NOT_FOUND, "ERROR|no such file\n");
    }
    char tag[80];
    std::snprintf(tag, sizeof tag, "\"%llx-%llx%s\"", static_cast<unsigned long long>(about.st_size),
                  static_cast<unsigned long long>(about.st_mtim.tv_sec) * 1000000000ULL +
                      static_cast<unsigned long long>(about.st_mtim.tv_nsec),
                  compressed ? "-gz" : "");
    const bool html = file.extension() == ".html";
    const bool versioned = query.starts_with("v=") || query.find("&v=") != std::string_view::npos;
    const char* caching = versioned && !html ? "public, max-age=31536000, immutable" : "no-cache";

    MHD_Response* response = nullptr;
    unsigned status = MHD_HTTP_OK;
    const char* known = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_IF_NONE_MATCH);
    if (known != nullptr && std::strcmp(known, tag) == 0) {
        close(fd);
        status = MHD_HTTP_NOT_MODIFIED;
        response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
    } else {
        // The library closes the file once it is sent.
        response = MHD_create_response_from_fd64(static_cast<uint64_t>(about.st_size), fd);
        if (response == nullptr) close(fd);
    }
    if (response == nullptr) return MHD_NO;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, std::string(ContentType(file)).c_str());
    if (compressed) MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_ENCODING, "gzip");
    MHD_add_response_header(response, MHD_HTTP_HEADER_VARY, "Accept-Encoding");
    MHD_add_response_header(response, MHD_HTTP_HEADER_ETAG, tag);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, caching);
    if (html) MHD_add_response_header(response, "Content-Security-Policy", GamePolicy);
    return Queue(connection, status, response);
}
