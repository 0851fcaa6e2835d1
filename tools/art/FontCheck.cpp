// SPDX-License-Identifier: GPL-3.0-or-later
// Looking a font family up with fontconfig.
#include "FontCheck.h"

#include <fontconfig/fontconfig.h>

#include <cstring>
#include <stdexcept>
#include <strings.h>

void RequireFont(const std::string& family, const std::string& hint)
{
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    if (pattern == nullptr) throw std::runtime_error("Bad font name \"" + family + "\"");
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    bool found = false;
    FcChar8* name = nullptr;
    for (int i = 0; match != nullptr && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        found = found || strcasecmp(reinterpret_cast<const char*>(name), family.c_str()) == 0;
    if (match != nullptr) FcPatternDestroy(match);
    if (!found)
        throw std::runtime_error("The font \"" + family + "\" is not installed" + (hint.empty() ? "" : " (" + hint + ")"));
}
