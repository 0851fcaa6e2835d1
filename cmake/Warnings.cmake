# SPDX-License-Identifier: GPL-3.0-or-later
# Shared warning set; ZARVENOK_WERROR turns them into errors (CI does).
add_library(zarvenok_warnings INTERFACE)
target_compile_options(zarvenok_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough
  # GCC 12 reports false overflows inside std::vector at -O2 and above;
  # the sanitizer build and the fuzzers check those bounds for real.
  $<$<CXX_COMPILER_ID:GNU>:-Wno-stringop-overflow -Wno-array-bounds -Wno-restrict>
  $<$<BOOL:${ZARVENOK_WERROR}>:-Werror>)
