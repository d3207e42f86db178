# What both mingw-w64 toolchain files share; each sets the target triplet
# (GLIMFX_MINGW_TRIPLET) and CMAKE_SYSTEM_PROCESSOR, then includes this.
# The -posix compilers are needed: the win32 thread model cannot build
# GoogleTest.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${GLIMFX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GLIMFX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${GLIMFX_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${GLIMFX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
