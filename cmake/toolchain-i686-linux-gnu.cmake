# 32-bit x86 Linux with the host gcc (g++-multilib): the same baseline as the
# 32-bit DLL, so its path choice can be tested on emulated processors without
# SSE2. Counts as cross-compiling, so GoogleTest is built from its sources.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
