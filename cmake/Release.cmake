# Release builds: a static, stripped program with no build path inside, and
# its Debian package.
#   -DFUSECVT_STATIC=ON  links the program statically, without unreachable
#                        code, and strips it
#   cpack -G DEB          (in a build configured with FUSECVT_STATIC) makes the .deb

option(FUSECVT_STATIC "Link the program statically and strip it (release builds)" OFF)

if(FUSECVT_STATIC)
  # No build folder or source folder may end up in the program.
  # Every function and table in a section of its own, so that the link keeps
  # only what the program can reach: a smaller program, and fewer pages for
  # a run to map.
  foreach(target fusecvt_lib fusecvt)
    target_compile_options(${target} PRIVATE -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                           -ffile-prefix-map=${PROJECT_BINARY_DIR}/=
                           -ffunction-sections -fdata-sections)
  endforeach()
  target_link_options(fusecvt PRIVATE -static -s -Wl,--gc-sections)
  if(WIN32)
    # The PE header would otherwise carry the link time.
    target_link_options(fusecvt PRIVATE -Wl,--no-insert-timestamp)
  else()
    target_link_options(fusecvt PRIVATE -Wl,--build-id=none)
    # With lld, the functions a conversion runs (cmake/hot-functions.txt,
    # written by tools/hot-functions.sh) are laid side by side: a run maps
    # fewer pages of code. GNU ld cannot order them; the program is the same
    # without.
    include(CheckCXXSourceCompiles)
    set(CMAKE_REQUIRED_LINK_OPTIONS -fuse-ld=lld)
    check_cxx_source_compiles("int main() { return 0; }" FUSECVT_HAVE_LLD)
    unset(CMAKE_REQUIRED_LINK_OPTIONS)
    set(hot_functions ${PROJECT_SOURCE_DIR}/cmake/hot-functions.txt)
    if(FUSECVT_HAVE_LLD AND EXISTS ${hot_functions})
      target_link_options(fusecvt PRIVATE -fuse-ld=lld -Wl,--symbol-ordering-file=${hot_functions}
                          -Wl,--no-warn-symbol-ordering)
      set_property(TARGET fusecvt APPEND PROPERTY LINK_DEPENDS ${hot_functions})
    endif()
  endif()
endif()

# The Debian package: the program, its manual page (gzipped), the README and
# a copyright file. A static program needs no other package.
set(FUSECVT_DOC_DIR share/doc/fusecvt)
set(FUSECVT_MAN_GZ ${PROJECT_BINARY_DIR}/fusecvt.1.gz)
if(NOT WIN32 AND EXISTS ${PROJECT_SOURCE_DIR}/doc/fusecvt.1)
  add_custom_command(OUTPUT ${FUSECVT_MAN_GZ}
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/doc/fusecvt.1 > ${FUSECVT_MAN_GZ}
    DEPENDS ${PROJECT_SOURCE_DIR}/doc/fusecvt.1 VERBATIM)
  add_custom_target(fusecvt_man ALL DEPENDS ${FUSECVT_MAN_GZ})
  install(FILES ${FUSECVT_MAN_GZ} DESTINATION share/man/man1 COMPONENT fusecvt)
endif()
set(FUSECVT_CHANGELOG_GZ ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${FUSECVT_CHANGELOG_GZ}
  COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/doc/changelog > ${FUSECVT_CHANGELOG_GZ}
  DEPENDS ${PROJECT_SOURCE_DIR}/doc/changelog VERBATIM)
add_custom_target(fusecvt_changelog ALL DEPENDS ${FUSECVT_CHANGELOG_GZ})
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/doc/copyright
        ${FUSECVT_CHANGELOG_GZ} DESTINATION ${FUSECVT_DOC_DIR} COMPONENT fusecvt)
# The program is static on purpose: it runs on any Linux of the architecture.
install(FILES ${PROJECT_SOURCE_DIR}/doc/lintian-overrides DESTINATION share/lintian/overrides
        RENAME fusecvt COMPONENT fusecvt)

set(CPACK_PACKAGE_NAME fusecvt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "fusecvt developers <fusecvt@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert MAX7000-family POF files into QPL-family JEDEC fuse files")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "The fusecvt program reads the POF file that a fitter wrote for a\nMAX7000-family CPLD and writes a JEDEC fuse file for the pin-compatible\nQPL-family device, together with a plain-text conversion report.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
