# Installation in the layout of a Debian game, and the Debian package.
#
#   <prefix>/games/tarnwick                         the executable
#   <prefix>/share/games/tarnwick/res/...           the game's data
#   <prefix>/share/applications/tarnwick.desktop    the menu entry
#   <prefix>/share/icons/hicolor/NxN/apps/tarnwick.png
#   <prefix>/share/metainfo/<id>.metainfo.xml       AppStream metadata
#   <prefix>/share/man/man6/tarnwick.6.gz
#   <prefix>/share/doc/tarnwick/                    copyright, changelog
#
# The executable finds its data from its own path, so a moved prefix works:
# both folders are set relative to the prefix.

set(TARNWICK_INSTALL_BINDIR games CACHE STRING "Folder of the executable, relative to the prefix")
set(TARNWICK_INSTALL_DATADIR share/games/tarnwick CACHE STRING
    "Folder of the game's data, relative to the prefix")
set(TARNWICK_HOMEPAGE "https://tarnwick.example.org/" CACHE STRING "The game's home page")
set(TARNWICK_APP_ID org.example.tarnwick CACHE STRING "AppStream component id")
set(TARNWICK_SCREENSHOTS "${TARNWICK_HOMEPAGE}docs" CACHE STRING
    "Web folder holding lunchtime.png and conversation.png (the pictures under docs/)")
foreach(dir TARNWICK_INSTALL_BINDIR TARNWICK_INSTALL_DATADIR)
  if(IS_ABSOLUTE "${${dir}}")
    message(FATAL_ERROR "${dir} must be relative to the prefix, so that a moved installation finds its data")
  endif()
endforeach()
file(RELATIVE_PATH TARNWICK_DATA_FROM_BINARY "/${TARNWICK_INSTALL_BINDIR}" "/${TARNWICK_INSTALL_DATADIR}")

set_property(SOURCE src/launch/DataDirectory.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             "TARNWICK_DATA_FROM_BINARY=\"${TARNWICK_DATA_FROM_BINARY}\"")
file(RELATIVE_PATH TARNWICK_LOCALE_FROM_BINARY "/${TARNWICK_INSTALL_BINDIR}" "/share/locale")
set_property(SOURCE src/launch/CatalogueFolders.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             "TARNWICK_LOCALE_FROM_BINARY=\"${TARNWICK_LOCALE_FROM_BINARY}\"")
set_property(SOURCE src/launch/CommandLine.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             "TARNWICK_VERSION=\"${PROJECT_VERSION}\"")

# dist/changelog is the record of releases: its top entry must be this
# version, and gives the package revision and the release date.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dist/changelog)
file(STRINGS ${PROJECT_SOURCE_DIR}/dist/changelog changelog)
list(GET changelog 0 top)
if(NOT top MATCHES "^tarnwick \\(([^)]+)-([^-)]+)\\) ")
  message(FATAL_ERROR "dist/changelog: the first line is not 'tarnwick (VERSION-REVISION) ...'")
endif()
set(TARNWICK_PACKAGE_REVISION ${CMAKE_MATCH_2})
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "dist/changelog: the top entry is version ${CMAKE_MATCH_1}, the project is ${PROJECT_VERSION}")
endif()
list(FILTER changelog INCLUDE REGEX "^ -- ")
list(GET changelog 0 trailer)
if(NOT trailer MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "dist/changelog: no date in '${trailer}'")
endif()
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months ${CMAKE_MATCH_2} month)
math(EXPR month "${month} + 1")
if(month LESS 10)
  set(month 0${month})
endif()
set(TARNWICK_RELEASE_DATE ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1})

# Generated files: the manual page and the changelog compressed as Debian
# wants them (no name, no time stamp), the metadata with this version.
set(dist ${PROJECT_BINARY_DIR}/dist)
configure_file(dist/tarnwick.6.in ${dist}/tarnwick.6 @ONLY)
configure_file(dist/tarnwick.metainfo.xml.in ${dist}/${TARNWICK_APP_ID}.metainfo.xml @ONLY)
add_custom_command(OUTPUT ${dist}/tarnwick.6.gz ${dist}/changelog.Debian.gz
  COMMAND gzip -9nkf tarnwick.6
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/dist/changelog changelog.Debian
  COMMAND gzip -9nf changelog.Debian
  DEPENDS ${dist}/tarnwick.6 ${PROJECT_SOURCE_DIR}/dist/changelog
  WORKING_DIRECTORY ${dist} VERBATIM)
add_custom_target(tarnwick_docs ALL DEPENDS ${dist}/tarnwick.6.gz ${dist}/changelog.Debian.gz)

# The icons are the game's own art, drawn by the art tool into the build tree.
# (The sizes are the ones its icon statement in tools/art asks for.)
if(TARGET makeart)
  file(GLOB art CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/art/*.txt)
  set(icons)
  foreach(size 32 64 128 256)
    list(APPEND icons ${PROJECT_BINARY_DIR}/icons/${size}x${size}/apps/tarnwick.png)
  endforeach()
  add_custom_command(OUTPUT ${icons}
    COMMAND makeart --icons ${PROJECT_BINARY_DIR}/icons ${PROJECT_SOURCE_DIR}
    DEPENDS makeart ${art} VERBATIM)
  add_custom_target(tarnwick_icons ALL DEPENDS ${icons})
  install(DIRECTORY ${PROJECT_BINARY_DIR}/icons/ DESTINATION share/icons/hicolor)
endif()

install(TARGETS tarnwick RUNTIME DESTINATION ${TARNWICK_INSTALL_BINDIR})
# A stripped install (the package) drops the compiler's notes as well.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TARNWICK_INSTALL_BINDIR}/tarnwick\")
endif()")
# Relocations read-only before the game starts, as Debian builds its programs.
target_link_options(tarnwick PRIVATE -Wl,-z,relro,-z,now)
install(DIRECTORY res DESTINATION ${TARNWICK_INSTALL_DATADIR})
# The menu entry starts the program by its full path, which is known only
# when installing (the package installs into /usr, `make install` into
# PREFIX): menus then work whether or not that folder is on the PATH. A
# path that would need quoting falls back to the name alone.
install(CODE "
  set(TARNWICK_EXEC \"\${CMAKE_INSTALL_PREFIX}/${TARNWICK_INSTALL_BINDIR}/tarnwick\")
  if(NOT TARNWICK_EXEC MATCHES \"^[A-Za-z0-9/._+-]+$\")
    set(TARNWICK_EXEC tarnwick)
  endif()
  set(entry \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/tarnwick.desktop\")
  message(STATUS \"Installing: \${entry}\")
  configure_file(\"${PROJECT_SOURCE_DIR}/dist/tarnwick.desktop.in\" \"\${entry}\" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${entry}\")
")
install(FILES ${dist}/${TARNWICK_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${dist}/tarnwick.6.gz DESTINATION share/man/man6)
install(FILES dist/copyright ${dist}/changelog.Debian.gz DESTINATION share/doc/tarnwick)

# The Debian package (`make package`): cpack -G DEB in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "Tarnwick developers")
set(CPACK_PACKAGE_CONTACT "Tarnwick developers <tarnwick@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small top-down adventure game in a guildhall")
# One line of the extended description per line here (Debian wants them
# shorter than 80 characters).
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "It is the new junior clerk's first day at Tarnwick Guildhall, and Mr. Stoat,"
  "Deputy Clerk of Works, has a plan for the three ancient tables of the Long"
  "Hall."
  ""
  "Tarnwick is a small single-player adventure seen from above. You walk the"
  "Guildhall one tile at a time, talk to the people in it through branching"
  "conversations, collect disguises and follow a story in four parts to its"
  "one ending. It is played with the keyboard alone.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TARNWICK_PACKAGE_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TARNWICK_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
