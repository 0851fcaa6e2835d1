# Shared warning set; ZARVENOK_WERROR turns them into errors (CI does).
add_library(zarvenok_warnings INTERFACE)
target_compile_options(zarvenok_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough
  $<$<BOOL:${ZARVENOK_WERROR}>:-Werror>)
