# Installation layout, desktop integration and the Debian packages.
#
# `cmake --install` lays the program out as the FHS wants it, with the
# programs stripped and their debug information in
# <prefix>/lib/debug/.build-id/<xx>/<rest of the build id>.debug, where gdb
# finds it by the program's build id. `cpack -G DEB` in the build tree makes
# two packages from the two install components: vossik_<version>-<release>_<arch>.deb
# and vossik-dbgsym_<version>-<release>_<arch>.deb with the debug information.
#
# Every install rule of the project belongs here: the packages take only the
# components "vossik" and "dbgsym", and a rule elsewhere, read before this
# file sets the default component, would be left out of them.

include(GNUInstallDirs)

set(VOSSIK_PACKAGING_SOURCE_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VOSSIK_PACKAGING_BINARY_DIR ${PROJECT_BINARY_DIR}/packaging)
set(VOSSIK_SYSTEMD_UNIT_DIR lib/systemd/system CACHE STRING
    "Folder of the systemd unit, relative to the installation prefix or absolute")
set(VOSSIK_DEBIAN_RELEASE 1)
file(MAKE_DIRECTORY ${VOSSIK_PACKAGING_BINARY_DIR})

# Everything installed belongs to the component "vossik" unless it is debug
# information ("dbgsym").
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME vossik)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Gzips SOURCE into DESTINATION at build time the way Debian wants manual
# pages and documents: best compression, no name or time stamp in the header.
set(VOSSIK_GZIPPED)
function(vossik_gzip source destination)
  add_custom_command(
    OUTPUT ${destination}
    COMMAND sh -c "gzip -9n --stdout \"$1\" > \"$2\"" sh ${source} ${destination}
    DEPENDS ${source}
    VERBATIM)
  set(VOSSIK_GZIPPED ${VOSSIK_GZIPPED} ${destination} PARENT_SCOPE)
endfunction()

# Installs the program TARGET stripped, and its debug information, taken
# from the unstripped program of the build tree, under its build id in the
# component "dbgsym". Both components extract the same debug file, so
# either may be installed first. (CPack's own debug packages are not used:
# CMake 3.25 writes their md5sums with the paths of its staging folder.)
function(vossik_install_program target)
  set(debug_file ${VOSSIK_PACKAGING_BINARY_DIR}/debug/${target}.debug)
  set(extract "
    file(MAKE_DIRECTORY ${VOSSIK_PACKAGING_BINARY_DIR}/debug)
    execute_process(COMMAND ${CMAKE_OBJCOPY} --only-keep-debug
                            \"$<TARGET_FILE:${target}>\" ${debug_file}
                    COMMAND_ERROR_IS_FATAL ANY)")
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(CODE "${extract}
    execute_process(COMMAND ${CMAKE_OBJCOPY} --strip-all --remove-section=.comment --remove-section=.note
                            --add-gnu-debuglink=${debug_file}
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${target}>\"
                    COMMAND_ERROR_IS_FATAL ANY)")
  install(CODE "${extract}
    execute_process(COMMAND ${CMAKE_READELF} --notes ${debug_file} OUTPUT_VARIABLE notes
                    COMMAND_ERROR_IS_FATAL ANY)
    if(NOT notes MATCHES \"Build ID: ([0-9a-f][0-9a-f])([0-9a-f]+)\")
      message(FATAL_ERROR \"${target} has no build id\")
    endif()
    file(INSTALL ${debug_file} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/lib/debug/.build-id/\${CMAKE_MATCH_1}\"
         RENAME \"\${CMAKE_MATCH_2}.debug\" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)"
    COMPONENT dbgsym)
endfunction()

# The programs. vossikadmin is the same executable under the name that
# administers the service.
vossik_install_program(vossik)
file(CREATE_LINK vossik ${VOSSIK_PACKAGING_BINARY_DIR}/vossikadmin SYMBOLIC)
install(FILES ${VOSSIK_PACKAGING_BINARY_DIR}/vossikadmin DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vossikd)
  vossik_install_program(vossikd)
  install(FILES ${VOSSIK_PACKAGING_SOURCE_DIR}/vossik.service DESTINATION ${VOSSIK_SYSTEMD_UNIT_DIR})
endif()

# The program's data: the descriptor, the search page templates and the help
# assets.
install(FILES ${VOSSIK_DESCRIPTOR} DESTINATION ${CMAKE_INSTALL_DATADIR}/vossik)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/templates/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vossik/templates)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vossik/help)

# Desktop entries and the icon in the theme's usual sizes, all scaled from
# the program's one icon.
install(FILES ${VOSSIK_PACKAGING_SOURCE_DIR}/vossik.desktop ${VOSSIK_PACKAGING_SOURCE_DIR}/vossikadmin.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
find_program(VOSSIK_CONVERT NAMES convert-im6.q16 convert-im6 convert REQUIRED
             DOC "ImageMagick's convert, which scales the icon")
set(VOSSIK_ICON_SOURCE ${PROJECT_SOURCE_DIR}/data/vossik.png)
set(VOSSIK_ICONS)
foreach(icon_size 16 24 32 48 64 128 256)
  set(icon_folder ${VOSSIK_PACKAGING_BINARY_DIR}/icons/${icon_size}x${icon_size})
  add_custom_command(
    OUTPUT ${icon_folder}/vossik.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_folder}
    COMMAND ${VOSSIK_CONVERT} ${VOSSIK_ICON_SOURCE} -resize ${icon_size}x${icon_size} -strip
            ${icon_folder}/vossik.png
    DEPENDS ${VOSSIK_ICON_SOURCE}
    VERBATIM)
  list(APPEND VOSSIK_ICONS ${icon_folder}/vossik.png)
  install(FILES ${icon_folder}/vossik.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${icon_size}x${icon_size}/apps)
endforeach()
add_custom_target(icons ALL DEPENDS ${VOSSIK_ICONS} COMMENT "Scaling the icon")

# Manual pages. vossikadmin's page is a link to vossik's; vossikd's page
# comes with the service.
set(VOSSIK_MAN_DIR ${VOSSIK_PACKAGING_BINARY_DIR}/man)
configure_file(${VOSSIK_PACKAGING_SOURCE_DIR}/vossik.1.in ${VOSSIK_MAN_DIR}/vossik.1 @ONLY)
configure_file(${VOSSIK_PACKAGING_SOURCE_DIR}/vossikd.8.in ${VOSSIK_MAN_DIR}/vossikd.8 @ONLY)
vossik_gzip(${VOSSIK_MAN_DIR}/vossik.1 ${VOSSIK_MAN_DIR}/vossik.1.gz)
file(CREATE_LINK vossik.1.gz ${VOSSIK_MAN_DIR}/vossikadmin.1.gz SYMBOLIC)
install(FILES ${VOSSIK_MAN_DIR}/vossik.1.gz ${VOSSIK_MAN_DIR}/vossikadmin.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET vossikd)
  vossik_gzip(${VOSSIK_MAN_DIR}/vossikd.8 ${VOSSIK_MAN_DIR}/vossikd.8.gz)
  install(FILES ${VOSSIK_MAN_DIR}/vossikd.8.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man8)
endif()

# Bash completion. The uids that -set accepts and the wizards' names come
# from the descriptor source: every parameter of a configuration section as
# "section:parameter", and every parameter type that holds a value under its
# bare uid.
function(vossik_descriptor_words descriptor uids_variable wizards_variable)
  file(READ ${descriptor} text)
  string(REGEX REPLACE "<!--([^-]|-[^-])*-->" "" text "${text}")
  string(REPLACE ";" "," text "${text}")
  string(REGEX MATCHALL "<[^>]+>" tags "${text}")
  set(block "")
  set(sections)
  set(type_uid "")
  set(uids)
  set(wizards)
  foreach(tag IN LISTS tags)
    set(uid "")
    if(tag MATCHES "uid=\"([^\"]*)\"")
      set(uid "${CMAKE_MATCH_1}")
    endif()
    if(tag MATCHES "^<(types|config)[ >]")
      set(block ${CMAKE_MATCH_1})
    elseif(tag MATCHES "^</(types|config)>")
      set(block "")
    elseif(tag MATCHES "^<wizard " AND uid)
      list(APPEND wizards ${uid})
    elseif(block STREQUAL "config" AND tag MATCHES "^<section " AND NOT tag MATCHES "/>$")
      list(APPEND sections ${uid})
    elseif(block STREQUAL "config" AND tag STREQUAL "</section>")
      list(POP_BACK sections)
    elseif(block STREQUAL "config" AND tag MATCHES "^<parameter " AND uid AND sections)
      list(GET sections -1 section)
      list(APPEND uids ${section}:${uid})
    elseif(block STREQUAL "types" AND tag MATCHES "^<parameter " AND uid)
      set(type_uid ${uid})
    elseif(block STREQUAL "types" AND tag STREQUAL "<type>" AND type_uid)
      list(APPEND uids ${type_uid})
      set(type_uid "")
    elseif(tag STREQUAL "</parameter>")
      set(type_uid "")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES uids)
  list(SORT uids)
  list(JOIN uids " " uids)
  list(JOIN wizards " " wizards)
  set(${uids_variable} "${uids}" PARENT_SCOPE)
  set(${wizards_variable} "${wizards}" PARENT_SCOPE)
endfunction()

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/vossik.xml)
vossik_descriptor_words(${PROJECT_SOURCE_DIR}/data/vossik.xml VOSSIK_SET_UIDS VOSSIK_WIZARDS)
set(VOSSIK_COMPLETION_DIR ${VOSSIK_PACKAGING_BINARY_DIR}/completions)
configure_file(${VOSSIK_PACKAGING_SOURCE_DIR}/vossik.bash-completion.in ${VOSSIK_COMPLETION_DIR}/vossik @ONLY)
file(CREATE_LINK vossik ${VOSSIK_COMPLETION_DIR}/vossikadmin SYMBOLIC)
install(FILES ${VOSSIK_COMPLETION_DIR}/vossik ${VOSSIK_COMPLETION_DIR}/vossikadmin
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Documentation: the README, the administration protocol, the licence in
# Debian's machine-readable form and the package's changelog.
set(VOSSIK_DOC_DIR ${VOSSIK_PACKAGING_BINARY_DIR}/doc)
file(MAKE_DIRECTORY ${VOSSIK_DOC_DIR})
vossik_gzip(${PROJECT_SOURCE_DIR}/README.md ${VOSSIK_DOC_DIR}/README.md.gz)
vossik_gzip(${PROJECT_SOURCE_DIR}/doc/admin-protocol.md ${VOSSIK_DOC_DIR}/admin-protocol.md.gz)
vossik_gzip(${VOSSIK_PACKAGING_SOURCE_DIR}/changelog ${VOSSIK_DOC_DIR}/changelog.Debian.gz)
install(FILES ${VOSSIK_DOC_DIR}/README.md.gz ${VOSSIK_DOC_DIR}/admin-protocol.md.gz
              ${VOSSIK_PACKAGING_SOURCE_DIR}/copyright ${VOSSIK_DOC_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vossik)
add_custom_target(packaging_docs ALL DEPENDS ${VOSSIK_GZIPPED})

# The manual pages, the completion and the desktop entries agree with the
# program. (tests/packaging/package_test.sh, which installs the package,
# runs from scripts/test.sh as root.)
if(VOSSIK_TESTS)
  add_test(NAME packaging_files
           COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/packaging_files_test.sh
                   $<TARGET_FILE:vossik> ${VOSSIK_MAN_DIR} ${VOSSIK_COMPLETION_DIR}/vossik
                   ${VOSSIK_PACKAGING_SOURCE_DIR})
  set_tests_properties(packaging_files PROPERTIES LABELS packaging)
endif()

# The Debian packages, one per install component.
set(VOSSIK_DEBIAN_VERSION ${PROJECT_VERSION}-${VOSSIK_DEBIAN_RELEASE})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vossik)
set(CPACK_PACKAGE_VENDOR "The Vossik authors")
set(CPACK_PACKAGE_CONTACT "Vossik maintainers <maintainers@users.noreply.c-seed-de3333a0.example>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL vossik dbgsym)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VOSSIK_DEBIAN_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_VOSSIK_PACKAGE_NAME vossik)
set(CPACK_DEBIAN_VOSSIK_PACKAGE_SECTION web)
set(CPACK_DEBIAN_VOSSIK_DESCRIPTION
    "full-text search for static websites with no server code
Vossik walks a website's folder, reads the title, text and summary of every
page and writes a small JavaScript index beside the pages: hash-bucket files,
a page list, a search script and ready-made search pages. The visitor's
browser searches the site by itself, loading only the index files its words
need.

The settings window and its first-run wizard are made from one descriptor
that also yields the configuration file, the log and HTML help pages. The
command line builds and searches the index without a display. The service
vossikd keeps a live site's index fresh as its pages change, and is
administered over a small HTTP protocol with vossik -admin.")
# The libraries come from the shared-library scan; adduser makes the
# service's user.
set(CPACK_DEBIAN_VOSSIK_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_VOSSIK_PACKAGE_DEPENDS adduser)
set(CPACK_DEBIAN_VOSSIK_PACKAGE_CONTROL_EXTRA
    ${VOSSIK_PACKAGING_SOURCE_DIR}/postinst ${VOSSIK_PACKAGING_SOURCE_DIR}/prerm
    ${VOSSIK_PACKAGING_SOURCE_DIR}/postrm)

set(CPACK_DEBIAN_DBGSYM_PACKAGE_NAME vossik-dbgsym)
set(CPACK_DEBIAN_DBGSYM_PACKAGE_SECTION debug)
set(CPACK_DEBIAN_DBGSYM_PACKAGE_DEPENDS "vossik (= ${VOSSIK_DEBIAN_VERSION})")
set(CPACK_DEBIAN_DBGSYM_DESCRIPTION "debug symbols for vossik")
# The debug package's documents are the program's.
file(CREATE_LINK vossik ${VOSSIK_PACKAGING_BINARY_DIR}/doc/vossik-dbgsym SYMBOLIC)
install(FILES ${VOSSIK_PACKAGING_BINARY_DIR}/doc/vossik-dbgsym DESTINATION ${CMAKE_INSTALL_DATADIR}/doc
        COMPONENT dbgsym)
include(CPack)
