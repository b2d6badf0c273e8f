# 32-bit Windows: the setup.exe a medium ships by default.
set(SETUP_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
