# Less of the executable resident in every session (ELF targets only; the
# Windows build keeps its link): relative relocations packed (DT_RELR). The
# 1,700 that a position-independent executable carries took a 41 KB table that
# the loader reads at every start, and so stayed resident. The C library reads
# packed ones from glibc 2.36 on, so the portable release build
# (ZEVO_STATIC_RUNTIME), meant for older systems too, keeps the plain table.
#
# Dropping unreachable code (-ffunction-sections, --gc-sections) was tried: it
# took 23 KB of code away, but moved the rest, and rename and document symbol
# answers measured a few per cent slower; it is left out.
if(NOT WIN32 AND NOT ZEVO_STATIC_RUNTIME)
  include(CheckLinkerFlag)
  check_linker_flag(CXX "-Wl,-z,pack-relative-relocs" ZEVO_LINKER_PACKS_RELOCS)
  if(ZEVO_LINKER_PACKS_RELOCS)
    add_link_options(-Wl,-z,pack-relative-relocs)
  endif()
endif()
