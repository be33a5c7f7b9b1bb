# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix).
# The posix flavour of the compiler is the one with std::thread and std::mutex.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DACCISE_BUILD_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ACCISE_MINGW_TRIPLET x86_64-w64-mingw32)
find_program(CMAKE_CXX_COMPILER NAMES ${ACCISE_MINGW_TRIPLET}-g++-posix ${ACCISE_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${ACCISE_MINGW_TRIPLET}-gcc-posix ${ACCISE_MINGW_TRIPLET}-gcc)
find_program(CMAKE_RC_COMPILER NAMES ${ACCISE_MINGW_TRIPLET}-windres)

# Libraries and headers of the target only; programs (cmake, the code generator) of the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ACCISE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ run-time and winpthread linked in, so that the programs need no DLL
# beside them (on a desk or under Wine).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test binaries are run through Wine when CMake needs to run them (test discovery).
find_program(ACCISE_WINE NAMES wine wine64)
if(ACCISE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ACCISE_WINE})
endif()

# GCC 12 warns falsely about overlapping copies inside std::string at -O2 (GCC bug
# 105651); the native build uses the same compiler version but the warning shows
# only with this library's inlining.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
