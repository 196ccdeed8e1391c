# Install layout, for a prefix such as /usr:
#   <prefix>/lib/tarnwood/                 the install directory: the programs,
#                                          the archives and the preview picture
#   <sysconfdir>/xdg/Velquist/Tarnwood.conf  names that directory ([Settings] Path=)
#   <prefix>/bin/tarnwood, tarnwood-config, tarnwood-pak, tarnwood-snapshot
#                                          links into the install directory
#   <prefix>/libexec/xscreensaver/tarnwood the xscreensaver hack (a link to the player)
#   <prefix>/share/xscreensaver/config/tarnwood.xml  its settings description
#   manual pages, the README and the screenshots
# The links are relative, so a DESTDIR staging tree or a relocated prefix
# keeps working; the programs find their install directory through the
# executable's real path when the configuration file is absent or elsewhere.

set(CMAKE_INSTALL_DOCDIR share/doc/tarnwood CACHE PATH "Documentation directory")
include(GNUInstallDirs)

set(TARNWOOD_PROGRAM_DIR lib/tarnwood)
set(TARNWOOD_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS Tarnwood config tarnwood-pak tarnwood-snapshot
        RUNTIME DESTINATION ${TARNWOOD_PROGRAM_DIR})
install(FILES
          ${TARNWOOD_INSTALL_DIR}/main.pak
          ${TARNWOOD_INSTALL_DIR}/utils.pak
          ${TARNWOOD_INSTALL_DIR}/debug.pak
          ${TARNWOOD_INSTALL_DIR}/clock.pak
          ${TARNWOOD_INSTALL_DIR}/calendar.pak
          ${TARNWOOD_INSTALL_DIR}/preview.ppk
        DESTINATION ${TARNWOOD_PROGRAM_DIR})

# Relative links, made at configure time and installed as links.
set(TARNWOOD_LINK_DIR ${CMAKE_BINARY_DIR}/packaging/links)
function(tarnwood_install_link link_dir link_name program)
  file(RELATIVE_PATH target /${link_dir} /${TARNWOOD_PROGRAM_DIR}/${program})
  set(staged ${TARNWOOD_LINK_DIR}/${link_dir}/${link_name})
  get_filename_component(staged_dir ${staged} DIRECTORY)
  file(MAKE_DIRECTORY ${staged_dir})
  file(CREATE_LINK ${target} ${staged} SYMBOLIC)
  install(FILES ${staged} DESTINATION ${link_dir})
endfunction()
tarnwood_install_link(${CMAKE_INSTALL_BINDIR} tarnwood Tarnwood)
tarnwood_install_link(${CMAKE_INSTALL_BINDIR} tarnwood-config config)
tarnwood_install_link(${CMAKE_INSTALL_BINDIR} tarnwood-pak tarnwood-pak)
tarnwood_install_link(${CMAKE_INSTALL_BINDIR} tarnwood-snapshot tarnwood-snapshot)
tarnwood_install_link(${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver tarnwood Tarnwood)

# The configuration file names the install directory as it is at install
# time, so it follows `cmake --install --prefix` and the package's prefix.
# The system configuration folder is worked out the way GNUInstallDirs does
# for the final prefix: /etc for /usr, <prefix>/etc otherwise, unless an
# absolute CMAKE_INSTALL_SYSCONFDIR was given.
install(CODE "
  set(sysconfdir \"${CMAKE_INSTALL_SYSCONFDIR}\")
  if(NOT IS_ABSOLUTE \"\${sysconfdir}\")
    if(CMAKE_INSTALL_PREFIX MATCHES \"^/usr/?$\")
      set(sysconfdir \"/\${sysconfdir}\")
    else()
      set(sysconfdir \"\${CMAKE_INSTALL_PREFIX}/\${sysconfdir}\")
    endif()
  endif()
  set(conf \"\$ENV{DESTDIR}\${sysconfdir}/xdg/Velquist/Tarnwood.conf\")
  message(STATUS \"Installing: \${conf}\")
  file(WRITE \"\${conf}\" \"[Settings]\\nPath=\${CMAKE_INSTALL_PREFIX}/${TARNWOOD_PROGRAM_DIR}/\\n\")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${conf}\")
")

install(FILES ${TARNWOOD_PACKAGING_DIR}/tarnwood.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/xscreensaver/config)

# Manual pages, compressed as Debian keeps them.
set(TARNWOOD_MAN_PAGES tarnwood.6 tarnwood-config.1 tarnwood-pak.1 tarnwood-snapshot.1)
set(compressed_pages)
foreach(page IN LISTS TARNWOOD_MAN_PAGES)
  set(out ${CMAKE_BINARY_DIR}/packaging/man/${page}.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/man
    COMMAND gzip -9 -n -c ${TARNWOOD_PACKAGING_DIR}/man/${page} > ${out}
    DEPENDS ${TARNWOOD_PACKAGING_DIR}/man/${page}
    COMMENT "Compressing the manual page ${page}")
  list(APPEND compressed_pages ${out})
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section ${page})
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()
add_custom_target(tarnwood_man_pages ALL DEPENDS ${compressed_pages})

install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs
        FILES_MATCHING PATTERN "*.png")

# The Debian package. `cpack -G DEB` in the build folder writes
# tarnwood_<version>_amd64.deb; its Depends come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwood)
set(CPACK_PACKAGE_VENDOR Velquist)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tarnwood maintainers <tarnwood@velquist.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D screensaver: a tree with falling leaves, a clock and a calendar")
set(CPACK_PACKAGE_DESCRIPTION
"A full-screen, real-time 3D scene that serves as a screensaver: a tree with a
table turns, sways and bobs in front of a sky while leaves fall from it.
Overlays show a clock (analogue, or digital in 12- or 24-hour form), a
calendar page of the month with today marked, and optionally the frame rate.
Runs as an xscreensaver display mode, under xsecurelock, or on its own.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps names libsdl1.2debian, which the classic SDL 1.2 would
# satisfy; the window embedding for screensaver hosts is made for sdl12-compat,
# whose shim provides that name.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libsdl1.2-compat-shim)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xscreensaver)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xsecurelock)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${TARNWOOD_PACKAGING_DIR}/debian/postinst
    ${TARNWOOD_PACKAGING_DIR}/debian/postrm
    ${TARNWOOD_PACKAGING_DIR}/debian/triggers)
include(CPack)
