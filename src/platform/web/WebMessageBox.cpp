// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebMessageBox.h"

#include <emscripten.h>

#include <cstdio>

namespace {

// The box is the page's (web/index.html styles it); keys are taken on the
// window before the game's handlers see them.
EM_ASYNC_JS(void, WebShowMessage, (const char* title, const char* text), {
    const stage = document.getElementById('stage') || document.body;
    const box = document.createElement('div');
    box.className = 'message';
    box.setAttribute('role', 'alertdialog');
    const panel = document.createElement('div');
    panel.className = 'message-panel';
    const heading = document.createElement('h2');
    heading.textContent = UTF8ToString(title);
    const body = document.createElement('p');
    body.textContent = UTF8ToString(text);
    const ok = document.createElement('button');
    ok.textContent = 'OK';
    panel.append(heading, body, ok);
    box.append(panel);
    stage.append(box);
    ok.focus();
    await new Promise((resolve) => {
        const keys = (event) => {
            event.stopImmediatePropagation();
            event.preventDefault();
            if (event.type === 'keydown' && ['Enter', 'Escape', ' '].includes(event.key)) close();
        };
        const close = () => {
            window.removeEventListener('keydown', keys, true);
            window.removeEventListener('keyup', keys, true);
            window.removeEventListener('keypress', keys, true);
            box.remove();
            resolve();
        };
        window.addEventListener('keydown', keys, true);
        window.addEventListener('keyup', keys, true);
        window.addEventListener('keypress', keys, true);
        ok.addEventListener('click', close);
    });
});

} // namespace

void TWebMessageBox::Show(const std::string& title, const std::string& text)
{
    // Also where a player's console or a test can read it.
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    WebShowMessage(title.c_str(), text.c_str());
}
