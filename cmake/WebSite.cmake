# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the browser site together (cmake -P, from cmake/Web.cmake):
#   SITE      the site's folder, which already holds the data package
#   PAGE      web/ in the sources: the page, its script and style
#   PROGRAMS  the folder emcc wrote the game and the benchmarks to
#   ICON      the game's icon, which the page's tab shows
# Each file the page loads is named with the start of its SHA-256, so that
# browsers may keep them for good and still never mix two builds; beside
# each goes its gzip form when that is smaller, which the server sends to
# browsers that take it.
foreach(name zarvenok.js zarvenok.wasm gameplay_bench.js gameplay_bench.wasm replay_run_bench.js replay_run_bench.wasm)
  file(COPY_FILE ${PROGRAMS}/${name} ${SITE}/${name} ONLY_IF_DIFFERENT)
endforeach()
foreach(name page.js page.css)
  file(COPY_FILE ${PAGE}/${name} ${SITE}/${name} ONLY_IF_DIFFERENT)
endforeach()
file(COPY_FILE ${ICON} ${SITE}/icon.png ONLY_IF_DIFFERENT)

foreach(name page.js page.css icon.png zarvenok-data.js zarvenok.data zarvenok.js zarvenok.wasm gameplay_bench.js
             gameplay_bench.wasm replay_run_bench.js replay_run_bench.wasm bench-data.js bench.data)
  file(SHA256 ${SITE}/${name} hash)
  string(SUBSTRING ${hash} 0 16 hash)
  string(MAKE_C_IDENTIFIER ${name} key)
  set(VERSION_${key} ${hash})
endforeach()
configure_file(${PAGE}/index.html ${SITE}/index.html @ONLY)
configure_file(${PAGE}/bench.html ${SITE}/bench.html @ONLY)

foreach(name index.html bench.html page.js page.css zarvenok-data.js zarvenok.data zarvenok.js zarvenok.wasm
             gameplay_bench.js gameplay_bench.wasm replay_run_bench.js replay_run_bench.wasm bench-data.js bench.data)
  execute_process(COMMAND gzip -9 -n -k -f ${SITE}/${name} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip could not compress ${SITE}/${name}")
  endif()
  # Packed already (the game's data): the file goes as it is.
  file(SIZE ${SITE}/${name} plain)
  file(SIZE ${SITE}/${name}.gz squeezed)
  if(NOT squeezed LESS plain)
    file(REMOVE ${SITE}/${name}.gz)
  endif()
endforeach()
file(TOUCH ${SITE}/site.stamp)
