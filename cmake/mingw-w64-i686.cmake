# 32-bit Windows: the build for users of the real JV-Link, an in-process
# 32-bit ActiveX control that only a 32-bit program can load.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
