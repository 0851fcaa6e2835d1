// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the reading of request targets: paths, query strings, escapes.
#include "Request.h"
#include "Submission.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string target(reinterpret_cast<const char*>(data), size);
    const TRequest request = ClassifyRequest(target);
    switch (request.Kind) {
    case ERequestKind::Error:
        if (request.Status != 400 && request.Status != 404 && request.Status != 414)
            __builtin_trap();
        if (request.Error.empty())
            __builtin_trap();
        break;
    case ERequestKind::Submit:
        if (request.Inf.empty() || request.Inf.size() > MaxEncodedRecord)
            __builtin_trap();
        break;
    case ERequestKind::Table:
    case ERequestKind::TableJson:
        if (request.Page < 1 || request.Page > MaxTablePage)
            __builtin_trap();
        break;
    default:
        break;
    }

    const TQueryParse parse = ParseQuery(target);
    if (parse.Ok) {
        std::set<std::string> keys;
        for (const auto& param : parse.Params)
            if (param.Key.empty() || !keys.insert(param.Key).second)
                __builtin_trap();
    }
    return 0;
}
