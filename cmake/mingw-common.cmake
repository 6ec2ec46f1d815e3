# Shared part of the two MinGW-w64 toolchain files; QOR_TRIPLE is set by the caller.
set(CMAKE_C_COMPILER ${QOR_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QOR_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QOR_TRIPLE}-windres)
set(CMAKE_AR ${QOR_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${QOR_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# Cross-built dependencies live in a cache outside the checkout (see ./dev deps).
if(NOT DEFINED QOR_DEPS_ROOT)
  set(QOR_DEPS_ROOT "$ENV{HOME}/.cache/qor-deps")
endif()
set(QOR_DEPS_PREFIX "${QOR_DEPS_ROOT}/${QOR_TRIPLE}/prefix")
set(CMAKE_FIND_ROOT_PATH /usr/${QOR_TRIPLE} ${QOR_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs must start on a clean Windows: no libgcc/libstdc++/winpthread DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
