# Installed as any Debian program: the programs in /usr/bin, the sound
# module in /usr/lib/kladdo/ (where the program looks after its own
# folder), the alarm sound that new data folders get in /usr/share/kladdo/,
# and what the desktop, the software centres and man need.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(deb_files ${CMAKE_CURRENT_BINARY_DIR}/deb)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set_target_properties(kladdo kladdo-data kladdo-sound PROPERTIES INSTALL_RPATH "")

install(TARGETS kladdo kladdo-data RUNTIME DESTINATION bin)
install(TARGETS kladdo-sound LIBRARY DESTINATION lib/kladdo)
# CPack's strip keeps .comment, the compilers' names that the C runtime's
# objects bring in too; Debian's own packaging drops it.
install(CODE "
  foreach(binary bin/$<TARGET_FILE_NAME:kladdo> bin/$<TARGET_FILE_NAME:kladdo-data>
                 lib/kladdo/$<TARGET_FILE_NAME:kladdo-sound>)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${binary}\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()")
install(FILES ${PROJECT_SOURCE_DIR}/resources/note.wav DESTINATION share/kladdo)
install(FILES kladdo.desktop DESTINATION share/applications)
configure_file(deb/kladdo.metainfo.xml ${deb_files}/io.github.kladdo.kladdo.metainfo.xml @ONLY)
install(FILES ${deb_files}/io.github.kladdo.kladdo.metainfo.xml DESTINATION share/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icon/kladdo.svg DESTINATION share/icons/hicolor/scalable/apps)

set(generated)
foreach(size 16 32 48)
  set(png ${deb_files}/kladdo-${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/xpm2png.py
            ${PROJECT_SOURCE_DIR}/resources/icon/KLADDO${size}.xpm ${png}
    DEPENDS ${PROJECT_SOURCE_DIR}/scripts/xpm2png.py ${PROJECT_SOURCE_DIR}/resources/icon/KLADDO${size}.xpm)
  install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME kladdo.png)
  list(APPEND generated ${png})
endforeach()

set(man_pages ${deb_files}/man/kladdo.1.gz ${deb_files}/man/kladdo-data.1.gz)
add_custom_command(OUTPUT ${man_pages}
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/deb/manpages.py
          ${CMAKE_CURRENT_SOURCE_DIR}/deb/manpages.txt ${deb_files}/man ${PROJECT_VERSION}
  DEPENDS deb/manpages.py deb/manpages.txt)
install(FILES ${man_pages} DESTINATION share/man/man1)

configure_file(deb/changelog ${deb_files}/changelog @ONLY)
add_custom_command(OUTPUT ${deb_files}/changelog.gz
  COMMAND gzip -9nkf ${deb_files}/changelog
  DEPENDS ${deb_files}/changelog)

# The licence in the machine-readable form, its text indented as a field's.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(FIND "${licence}" "Permission" permission)
string(SUBSTRING "${licence}" ${permission} -1 licence)
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " licence "${licence}")
file(WRITE ${deb_files}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Kladdo

Files: *
Copyright: 2026 the Kladdo developers
License: Expat

License: Expat
 ${licence}
")
install(FILES ${deb_files}/copyright ${deb_files}/changelog.gz DESTINATION share/doc/kladdo)
add_custom_target(deb-files ALL DEPENDS ${generated} ${man_pages} ${deb_files}/changelog.gz)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the Kladdo developers <kladdo@example.org>")
# The fonts that keep the named fonts' widths, and Qt's own German texts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-comic-neue, qt6-translations-l10n")
# CPack indents the lines after the first itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "note pad at the edge of the screen
Kladdo is one borderless window that stays on top of all others, docked
at the right edge of the screen: rolled in, only a narrow handle shows,
and a right click or a key from any program rolls it out. It holds ten
rich-text note pages, ten pages of a text, name and password list whose
passwords are stored enciphered or under a master password, one alarm
per note page, German and English texts and colour schemes.")
