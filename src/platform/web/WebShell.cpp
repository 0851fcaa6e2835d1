// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebShell.h"

#include <emscripten.h>

namespace {

// A tab opened soon after the player's click is not taken for a pop-up.
EM_JS(void, WebOpenTab, (const char* address), {
    window.open(UTF8ToString(address), '_blank', 'noopener');
});

} // namespace

bool TWebShell::IsWebAddress(const std::string& target)
{
    return target.starts_with("http://") || target.starts_with("https://");
}

void TWebShell::Open(const std::string& target)
{
    if (IsWebAddress(target)) WebOpenTab(target.c_str());
}
