// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebStorage.h"

#include <emscripten.h>

namespace {

// The file system's own close, rename and unlink are wrapped: a change
// under the folder asks for one store, and changes during a store ask for
// another after it.
EM_ASYNC_JS(void, WebMountStorage, (const char* folderName), {
    const folder = UTF8ToString(folderName);
    FS.mkdir(folder);
    try {
        FS.mount(IDBFS, {}, folder);
    } catch (e) {
        console.warn('zarvenok: no browser storage, the settings last as long as the page', e);
        return;
    }
    const error = await new Promise((resolve) => FS.syncfs(true, resolve));
    if (error) console.warn('zarvenok: the stored settings could not be read', error);

    let storing = false;
    let again = false;
    const store = () => {
        if (storing) {
            again = true;
            return;
        }
        storing = true;
        FS.syncfs(false, (failure) => {
            storing = false;
            if (failure) console.warn('zarvenok: the settings could not be stored', failure);
            Module.storedCount = (Module.storedCount || 0) + 1;
            if (again) {
                again = false;
                store();
            }
        });
    };
    const inside = (path) => typeof path === 'string' && (path === folder || path.startsWith(folder + '/'));
    const wrap = (name, changes) => {
        const original = FS[name];
        FS[name] = function() {
            const result = original.apply(this, arguments);
            if (changes.apply(null, arguments)) setTimeout(store, 0);
            return result;
        };
    };
    // Written when closed: opened for writing (O_WRONLY or O_RDWR).
    wrap('close', (stream) => stream && (stream.flags & 3) !== 0 && inside(stream.path));
    wrap('rename', (from, to) => inside(from) || inside(to));
    wrap('unlink', (path) => inside(path));
    wrap('rmdir', (path) => inside(path));
});

} // namespace

void TWebStorage::Load()
{
    WebMountStorage(Folder);
}
