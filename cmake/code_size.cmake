# Less of the executable resident in every session (ELF targets only; the
# Windows build keeps its link):
# - every function and object in its own section, and the linker drops those
#   that nothing reaches: the code is mapped in whole from the page cache, so
#   code that is never called still counts (about 23 KB in a Release build);
# - relative relocations packed (DT_RELR): the 1,700 that a position-independent
#   executable carries took 41 KB of table read at every start. The C library
#   reads packed ones from glibc 2.36 on, so the portable release build
#   (ZEVO_STATIC_RUNTIME), meant for older systems too, keeps the plain table.
if(NOT WIN32)
  add_compile_options(-ffunction-sections -fdata-sections)
  add_link_options(-Wl,--gc-sections)
  if(NOT ZEVO_STATIC_RUNTIME)
    include(CheckLinkerFlag)
    check_linker_flag(CXX "-Wl,-z,pack-relative-relocs" ZEVO_LINKER_PACKS_RELOCS)
    if(ZEVO_LINKER_PACKS_RELOCS)
      add_link_options(-Wl,-z,pack-relative-relocs)
    endif()
  endif()
endif()
