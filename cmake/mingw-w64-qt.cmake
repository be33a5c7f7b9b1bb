# Cross-compiling for 64-bit Windows against Qt's DLLs: the same compiler and search
# rules as mingw-w64.cmake, but the C++ run-time is a DLL (libstdc++-6.dll,
# libgcc_s_seh-1.dll, libwinpthread-1.dll shipped beside the program), so that the
# program and the Qt libraries share one run-time: one heap, one exception model.
#
# Used to build Qt itself (scripts/windows-qt.sh) and, chain-loaded by Qt's own
# qt.toolchain.cmake, to build the desktop program against it.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "")
