# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix).
# The posix thread model gives std::thread and std::mutex. Programs and the link
# library are linked statically against the compiler's runtime so they run with
# nothing beside them but each other.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVAPORA_QT=OFF
# Tests run through Wine when it is installed (WINEPREFIX and WINEDEBUG come
# from the environment).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VAPORA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VAPORA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VAPORA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VAPORA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VAPORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(VAPORA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  if(VAPORA_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VAPORA_WINE})
  endif()
endif()
