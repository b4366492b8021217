# ZEVO_STATIC_RUNTIME: ICU, libstdc++ and libgcc linked into the executables, so
# that the release binary needs only the C library (libc, libm, the loader) and
# runs on other distributions. ICU comes from the system's static archives; its
# data package is cut down to the one item the server loads (see
# icu_uts46_data.sh). Every target that links PkgConfig::ICU gets this ICU, the
# tests included, so the URL, text and end-to-end suites of such a build check
# the cut-down data.
enable_language(ASM)

pkg_get_variable(ICU_LIBDIR icu-uc libdir)
string(REGEX MATCH "^[0-9]+" icu_major "${ICU_icu-uc_VERSION}")
foreach(archive IN ITEMS libicui18n.a libicuuc.a libicudata.a)
  if(NOT EXISTS "${ICU_LIBDIR}/${archive}")
    message(FATAL_ERROR "ZEVO_STATIC_RUNTIME needs ${ICU_LIBDIR}/${archive} (libicu-dev)")
  endif()
endforeach()
foreach(tool IN ITEMS icupkg genccode)
  find_program(ZEVO_${tool} ${tool} PATHS /usr/sbin REQUIRED)
endforeach()

set(icu_data_dir "${CMAKE_BINARY_DIR}/icu-data")
set(icu_data_source "${icu_data_dir}/icudt${icu_major}l_dat.S")
add_custom_command(OUTPUT "${icu_data_source}"
  COMMAND env "PATH=/usr/sbin:$ENV{PATH}" bash "${PROJECT_SOURCE_DIR}/cmake/icu_uts46_data.sh"
          "${ICU_LIBDIR}/libicudata.a" "${icu_major}" "${icu_data_dir}"
  DEPENDS "${ICU_LIBDIR}/libicudata.a" "${PROJECT_SOURCE_DIR}/cmake/icu_uts46_data.sh"
  COMMENT "ICU data: uts46.nrm only"
  VERBATIM)
add_library(icu_uts46_data STATIC "${icu_data_source}")

# The archives in link order; libicuuc.a calls into libm and (in glibc since
# 2.34) finds dlopen and the thread functions in libc itself.
set_target_properties(PkgConfig::ICU PROPERTIES
  INTERFACE_LINK_LIBRARIES "${ICU_LIBDIR}/libicui18n.a;${ICU_LIBDIR}/libicuuc.a;icu_uts46_data;m"
  INTERFACE_LINK_OPTIONS ""
  INTERFACE_LINK_DIRECTORIES "")
add_link_options(-static-libstdc++ -static-libgcc)
