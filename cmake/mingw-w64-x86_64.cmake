# Cross build for Windows x86-64 with Debian's mingw-w64 (the posix threads
# variant, which libstdc++'s std::thread and once-guards need), linked
# statically so that the program needs no DLL but Windows' own.
#
# ZEVO_WINDOWS_DEPS: the prefixes that hold the Windows builds of the
# dependencies (ICU with its pkg-config files, GoogleTest, nlohmann-json),
# separated by semicolons. Nothing else is searched: /usr/include would bring
# glibc's headers into a Windows compile.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZEVO_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ZEVO_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads only the dependencies' own files, never the system's.
set(pkg_config_dirs "")
foreach(prefix IN LISTS ZEVO_WINDOWS_DEPS)
  list(APPEND pkg_config_dirs "${prefix}/lib/pkgconfig")
endforeach()
list(JOIN pkg_config_dirs ":" pkg_config_dirs)
set(ENV{PKG_CONFIG_LIBDIR} "${pkg_config_dirs}")
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs (and GoogleTest's discovery of their tests) run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
