# Cross-compiles the same sources for 64-bit Windows, for hosts whose Wine can
# run 64-bit programs only.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
