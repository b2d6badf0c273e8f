# 64-bit Windows: for systems without 32-bit support and lists larger than a 32-bit process holds.
set(SETUP_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
