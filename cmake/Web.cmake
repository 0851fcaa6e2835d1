# SPDX-License-Identifier: GPL-3.0-or-later
# The browser build (the web preset, compiled by emcc): the game's layers on
# the web platform, and the site that zarvenok-server serves at /play/: the
# page, the program, and the libraries and music made by a native build.
# scripts/web builds the third-party libraries and that data first.
set(ZARVENOK_WEB_LIBS "${CMAKE_SOURCE_DIR}/build/web-libs/prefix" CACHE PATH
    "SDL2, SDL2_mixer, libxmp, zlib, nettle and Google Benchmark built by emcc (scripts/web-libs)")
set(ZARVENOK_WEB_DATA "${CMAKE_SOURCE_DIR}/build/default" CACHE PATH
    "A native build tree holding Data/ and Music/")
set(ZARVENOK_WEB_OUTPUT "${CMAKE_SOURCE_DIR}/build/web" CACHE PATH "Where the site is put together")
if(NOT EXISTS "${ZARVENOK_WEB_LIBS}/lib/pkgconfig/sdl2.pc")
  message(FATAL_ERROR "No SDL2 for the browser in ${ZARVENOK_WEB_LIBS}: run scripts/web, or scripts/web-libs")
endif()

# The libraries are found in their own prefix only, never the machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${ZARVENOK_WEB_LIBS}/lib/pkgconfig:${ZARVENOK_WEB_LIBS}/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
list(APPEND CMAKE_FIND_ROOT_PATH "${ZARVENOK_WEB_LIBS}")
list(APPEND CMAKE_PREFIX_PATH "${ZARVENOK_WEB_LIBS}")

# The game's errors are exceptions, caught where the desktop catches them.
# Drawing loops are vectorised as the desktop's are (every browser that
# runs the page has WebAssembly SIMD).
add_compile_options(-fexceptions -msimd128)
add_link_options(-fexceptions)
set(ZARVENOK_WEB_LINK_OPTIONS -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864)

foreach(dir src/engine src/platform src/scores src/replay src/game src/screens src/battlefield src/shell)
  add_subdirectory(${dir})
endforeach()

# The benchmarks in WebAssembly, against the native ones of the bench
# preset: a gameplay frame, and a golden replay played again (the
# browser's timedemo). They share a data package of their own.
find_package(benchmark CONFIG REQUIRED)
add_executable(gameplay_bench ${CMAKE_SOURCE_DIR}/bench/GameplayBench.cpp)
target_link_libraries(gameplay_bench PRIVATE zarvenok_game zarvenok_headless zarvenok_warnings benchmark::benchmark_main)
target_compile_definitions(gameplay_bench PRIVATE ZARVENOK_BUILD_DIR="/")
add_executable(replay_run_bench ${CMAKE_SOURCE_DIR}/bench/ReplayRunBench.cpp
               ${CMAKE_SOURCE_DIR}/tools/replay/HeadlessGame.cpp)
target_include_directories(replay_run_bench PRIVATE ${CMAKE_SOURCE_DIR}/tools/replay)
target_link_libraries(replay_run_bench PRIVATE zarvenok_game zarvenok_headless zarvenok_replay zarvenok_warnings
                      benchmark::benchmark_main)
# The package puts Data/ and the golden replays at the root.
target_compile_definitions(replay_run_bench PRIVATE ZARVENOK_BUILD_DIR="/" ZARVENOK_GOLDEN_DIR="/golden")
foreach(bench gameplay_bench replay_run_bench)
  set_target_properties(${bench} PROPERTIES SUFFIX .js)
  # Built as the game is, so that they pay what the game pays for waiting.
  target_link_options(${bench} PRIVATE ${ZARVENOK_WEB_LINK_OPTIONS} -sASYNCIFY -sFORCE_FILESYSTEM=1
                      "SHELL:-s EXPORTED_FUNCTIONS=['_main','_malloc','_free']")
endforeach()

# ---------------------------------------------------------------- the site
set(site ${ZARVENOK_WEB_OUTPUT})
set(data ${ZARVENOK_WEB_DATA})
find_program(ZARVENOK_PYTHON python3 REQUIRED)
set(packager ${EMSCRIPTEN_ROOT_PATH}/tools/file_packager.py)
if(NOT EXISTS ${packager})
  set(packager /usr/share/emscripten/tools/file_packager.py)
endif()
set(data_inputs ${data}/Data/Graphic.dxg ${data}/Data/Music.dxw ${data}/Music/1.xm ${data}/Music/2.xm
                ${data}/Music/3.xm)
# The game's package holds the sounds and the music packed with xz, the
# sounds through a delta filter over their 16-bit samples (WebPackedData
# unpacks them); the pictures gzip as well, and the server's gzip is the
# browser's to undo.
set(packed ${CMAKE_BINARY_DIR}/packed)
set(packed_inputs ${packed}/Data/Graphic.dxg)
add_custom_command(OUTPUT ${packed}/Data/Graphic.dxg
  COMMAND ${CMAKE_COMMAND} -E copy ${data}/Data/Graphic.dxg ${packed}/Data/Graphic.dxg
  DEPENDS ${data}/Data/Graphic.dxg)
foreach(name Data/Music.dxw Music/1.xm Music/2.xm Music/3.xm)
  set(filters -9e)
  if(name STREQUAL "Data/Music.dxw")
    set(filters --delta=dist=2 --lzma2=preset=9e)
  endif()
  add_custom_command(OUTPUT ${packed}/${name}.xz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packed}/Data ${packed}/Music
    COMMAND xz -T1 --format=xz ${filters} -c ${data}/${name} > ${packed}/${name}.xz
    DEPENDS ${data}/${name}
    COMMENT "Packing ${name} with xz")
  list(APPEND packed_inputs ${packed}/${name}.xz)
endforeach()
add_custom_command(OUTPUT ${site}/zarvenok.data ${site}/zarvenok-data.js
  COMMAND ${CMAKE_COMMAND} -E make_directory ${site}
  COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs
          ${ZARVENOK_PYTHON} ${packager} ${site}/zarvenok.data --preload ${packed}/Data@/Data ${packed}/Music@/Music
          --js-output=${site}/zarvenok-data.js
  DEPENDS ${packed_inputs}
  COMMENT "Putting Data/ and Music/ in the game's package")
# The benchmarks read the libraries as they are, and the golden replays.
set(golden ${CMAKE_SOURCE_DIR}/tests/replay/golden)
add_custom_command(OUTPUT ${site}/bench.data ${site}/bench-data.js
  COMMAND ${CMAKE_COMMAND} -E make_directory ${site}
  COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs
          ${ZARVENOK_PYTHON} ${packager} ${site}/bench.data
          --preload ${data}/Data/Graphic.dxg@/Data/Graphic.dxg ${data}/Data/Music.dxw@/Data/Music.dxw
                    ${golden}/game_over_a.zrp@/golden/game_over_a.zrp
          --js-output=${site}/bench-data.js
  DEPENDS ${data_inputs} ${golden}/game_over_a.zrp
  COMMENT "Putting Data/ and a golden replay in the benchmarks' package")

set(page_sources ${CMAKE_SOURCE_DIR}/web/index.html ${CMAKE_SOURCE_DIR}/web/page.js ${CMAKE_SOURCE_DIR}/web/page.css
                 ${CMAKE_SOURCE_DIR}/web/bench.html)
add_custom_command(OUTPUT ${site}/index.html ${site}/site.stamp
  COMMAND ${CMAKE_COMMAND} -DSITE=${site} -DPAGE=${CMAKE_SOURCE_DIR}/web
          -DPROGRAMS=$<TARGET_FILE_DIR:zarvenok> -DICON=${data}/Data/zarvenok-64.png
          -P ${CMAKE_SOURCE_DIR}/cmake/WebSite.cmake
  DEPENDS zarvenok gameplay_bench replay_run_bench ${site}/zarvenok.data ${site}/zarvenok-data.js
          ${site}/bench.data ${site}/bench-data.js ${page_sources}
          ${data}/Data/zarvenok-64.png
          ${CMAKE_SOURCE_DIR}/cmake/WebSite.cmake
  COMMENT "Putting the site together in ${site}")
add_custom_target(zarvenok_site ALL DEPENDS ${site}/index.html ${site}/site.stamp)
