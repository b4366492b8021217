# Every function and object in its own section, and the linker drops those that
# nothing reaches: the server's code is mapped in whole from the page cache, so
# code that is never called still counts in its resident size (about 23 KB of
# it in a Release build). ELF targets only; the Windows build keeps its link.
if(NOT WIN32)
  add_compile_options(-ffunction-sections -fdata-sections)
  add_link_options(-Wl,--gc-sections)
endif()
