# Installation, and the release package that CPack makes of it
# (tools/package.sh runs it for both systems):
#   Windows: quadkit-VERSION-windows-x86_64.zip with quadkit.exe, README.txt
#            and quadkit-manual.txt (the man page as plain text), CR LF lines;
#   Linux:   quadkit_VERSION_amd64.deb with /usr/bin/quadkit, its man page,
#            and in /usr/share/doc/quadkit the machine-readable copyright
#            file and the changelog.
# Every package carries the notices of what its program contains: quadkit's
# own licence (LICENSE), nlohmann/json's, and those of the runtime that a
# static link puts into the program, copied from the toolchain's own
# copyright files (Debian keeps them in /usr/share/doc/PACKAGE/copyright).
# With SOURCE_DATE_EPOCH set, two builds of one checkout give packages of the
# same bytes: CPack's archives take that time for every entry, and every
# generated file below is written the same way each time.
include(GNUInstallDirs)

# Writes content to path unless path already holds exactly that.
function(quadkit_write_if_changed path content)
  if(EXISTS "${path}")
    file(READ "${path}" old)
    if(old STREQUAL content)
      return()
    endif()
  endif()
  file(WRITE "${path}" "${content}")
endfunction()

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/doc/quadkit.1 ${PROJECT_SOURCE_DIR}/README.md
  ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${PROJECT_SOURCE_DIR}/cmake/debian/changelog)

# Whom the package names as its maintainer and the copyright file as contact.
set(QUADKIT_CONTACT_NAME "quadkit developers" CACHE STRING "Maintainer of the packages")
set(QUADKIT_CONTACT_EMAIL "quadkit@example.org" CACHE STRING "Maintainer's mail address")

# The notices of the runtime libraries that a static link puts into the
# program (quadkit.exe, and static/quadkit on Linux), into licenses/ of the
# build folder: a list of pairs "copyright file of the toolchain|name in the
# package". For Windows a file that is missing stops the configuration: a
# program must not travel without them; on Linux tools/package.sh checks
# them before it packs static/quadkit.
set(QUADKIT_RUNTIME_NOTICES "")
if(MINGW)
  list(APPEND QUADKIT_RUNTIME_NOTICES
       "/usr/share/doc/mingw-w64-x86-64-dev/copyright|MinGW-w64-runtime.txt"
       "/usr/share/doc/gcc-mingw-w64-base/copyright|GCC-runtime.txt")
else()
  foreach(pair "/usr/share/doc/libc6/copyright|GNU-C-library.txt"
               "/usr/share/doc/libstdc++6/copyright|GCC-runtime-Linux.txt")
    string(REPLACE "|" ";" parts "${pair}")
    list(GET parts 0 from)
    if(EXISTS "${from}")
      list(APPEND QUADKIT_RUNTIME_NOTICES "${pair}")
    endif()
  endforeach()
endif()
set(QUADKIT_NOTICE_FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/licenses/nlohmann-json.txt)
foreach(pair IN LISTS QUADKIT_RUNTIME_NOTICES)
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 name)
  if(NOT EXISTS "${from}")
    message(FATAL_ERROR "${from} not found: the notices of the runtime that the program contains "
                        "come from there (Debian: the package that owns that folder)")
  endif()
  file(READ "${from}" notice)
  quadkit_write_if_changed(${PROJECT_BINARY_DIR}/licenses/${name} "${notice}")
  list(APPEND QUADKIT_NOTICE_FILES ${PROJECT_BINARY_DIR}/licenses/${name})
endforeach()

# The man page, with the project's version on its title line.
file(READ ${PROJECT_SOURCE_DIR}/doc/quadkit.1 QUADKIT_MAN_PAGE)
string(REGEX REPLACE "^(\\.TH [^\n]*)\"quadkit\"" "\\1\"quadkit ${PROJECT_VERSION}\""
       QUADKIT_MAN_PAGE "${QUADKIT_MAN_PAGE}")
set(QUADKIT_MAN_FILE ${PROJECT_BINARY_DIR}/quadkit.1)
quadkit_write_if_changed(${QUADKIT_MAN_FILE} "${QUADKIT_MAN_PAGE}")

# Installed files and folders get fixed permissions, whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  # One folder: the program beside its README and its manual, both as text
  # with CR LF line ends, readable in any Windows editor.
  install(TARGETS quadkit RUNTIME DESTINATION .)
  file(READ ${PROJECT_SOURCE_DIR}/README.md QUADKIT_README)
  string(REPLACE "\n" "\r\n" QUADKIT_README "${QUADKIT_README}")
  quadkit_write_if_changed(${PROJECT_BINARY_DIR}/README.txt "${QUADKIT_README}")
  install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)
  install(FILES ${QUADKIT_NOTICE_FILES} DESTINATION licenses)
  find_program(QUADKIT_GROFF groff)
  if(QUADKIT_GROFF)
    execute_process(
      COMMAND ${QUADKIT_GROFF} -man -Tascii -P-c -P-b -P-u ${QUADKIT_MAN_FILE}
      OUTPUT_VARIABLE QUADKIT_MANUAL RESULT_VARIABLE QUADKIT_GROFF_RESULT)
    if(NOT QUADKIT_GROFF_RESULT EQUAL 0)
      message(FATAL_ERROR "groff could not format doc/quadkit.1")
    endif()
    string(REPLACE "\n" "\r\n" QUADKIT_MANUAL "${QUADKIT_MANUAL}")
    quadkit_write_if_changed(${PROJECT_BINARY_DIR}/quadkit-manual.txt "${QUADKIT_MANUAL}")
    install(FILES ${PROJECT_BINARY_DIR}/quadkit-manual.txt DESTINATION .)
  else()
    message(WARNING "groff not found (Debian: groff-base): the installation lacks quadkit-manual.txt")
  endif()

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME quadkit-${PROJECT_VERSION}-windows-x86_64)
else()
  install(TARGETS quadkit RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Man pages are installed compressed; -n leaves name and time out of the
  # gzip header.
  find_program(QUADKIT_GZIP gzip)
  if(QUADKIT_GZIP)
    execute_process(COMMAND ${QUADKIT_GZIP} -9n -c INPUT_FILE ${QUADKIT_MAN_FILE}
                    OUTPUT_FILE ${QUADKIT_MAN_FILE}.gz COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${QUADKIT_MAN_FILE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    install(FILES ${QUADKIT_MAN_FILE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()

  # The copyright file (machine-readable) and the changelog, as Debian
  # keeps them for every package.
  set(QUADKIT_DEBIAN_DOC ${CMAKE_INSTALL_DATAROOTDIR}/doc/quadkit)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${PROJECT_BINARY_DIR}/debian/copyright @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/debian/copyright DESTINATION ${QUADKIT_DEBIAN_DOC})
  if(QUADKIT_GZIP)
    execute_process(COMMAND ${QUADKIT_GZIP} -9n -c INPUT_FILE ${PROJECT_BINARY_DIR}/debian/changelog
                    OUTPUT_FILE ${PROJECT_BINARY_DIR}/debian/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${PROJECT_BINARY_DIR}/debian/changelog.gz DESTINATION ${QUADKIT_DEBIAN_DOC})
  endif()

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # quadkit_VERSION_ARCH.deb
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # Depends: from dpkg-shlibdeps
endif()

set(CPACK_PACKAGE_NAME quadkit)
set(CPACK_PACKAGE_VENDOR quadkit)
set(CPACK_PACKAGE_CONTACT "${QUADKIT_CONTACT_NAME} <${QUADKIT_CONTACT_EMAIL}>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converter for the rectangles of ZEM scene files")
set(CPACK_PACKAGE_DESCRIPTION
    "Exports the textured rectangles of binary ZEM scene files into other
formats (an ASCII listing, DirectX .x, IGES, Design Workshop, Wavefront OBJ
and glTF 2.0), imports edited files back into the scene file in place, and
scales or moves every rectangle.")
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
