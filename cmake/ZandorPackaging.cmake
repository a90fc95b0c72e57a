# cpack in a build folder: a .deb on Linux; a portable zip and an NSIS installer on Windows.
set(CPACK_PACKAGE_NAME zandor)
set(CPACK_PACKAGE_VENDOR "ZANDOR")
set(CPACK_PACKAGE_CONTACT "ZANDOR maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Payment-card number check (Luhn rule), with a console companion")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})

# Packages that anyone can make again to the byte: every time in them is the build's time
# stamp (see ZandorReproducible.cmake), folders are made rwxr-xr-x whatever the umask, and
# what CPack cannot fix itself is fixed once it is done (cpack_post_build.cmake).
if(NOT ZANDOR_SOURCE_DATE_EPOCH STREQUAL "")
  file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake CONTENT [[
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(ENV{SOURCE_DATE_EPOCH} @ZANDOR_SOURCE_DATE_EPOCH@)
endif()
]] @ONLY)
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake)
endif()
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/cpack_post_build.cmake)
# Debian's own Python writes the zips, with the release's zlib, whatever else is on PATH.
zandor_require_program(CPACK_ZANDOR_PYTHON3 python3 python3 HINTS /usr/bin)
set(CPACK_ZANDOR_PACK_ZIP ${PROJECT_SOURCE_DIR}/cmake/pack_zip.py)

if(WIN32)
  set(CPACK_GENERATOR ZIP NSIS)
  set(CPACK_PACKAGE_FILE_NAME zandor-${PROJECT_VERSION}-win64)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY ZANDOR)
  set(CPACK_PACKAGE_EXECUTABLES zandor ZANDOR)
  set(CPACK_NSIS_DISPLAY_NAME ZANDOR)
  set(CPACK_NSIS_PACKAGE_NAME ZANDOR)
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
  set(CPACK_NSIS_INSTALLED_ICON_NAME zandor.exe)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_BINARY_DIR}/src/app/zandor.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_BINARY_DIR}/src/app/zandor.ico)
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  # A 64-bit installer, like the programs it installs, that records no file's time.
  set(CPACK_NSIS_DEFINES "Target amd64-unicode\nSetDateSave off")
  # The programs' debug information, in a zip of its own beside the others.
  set(CPACK_ZANDOR_DEBUG_FILES ${PROJECT_BINARY_DIR}/bin/zandor.exe.debug
                               ${PROJECT_BINARY_DIR}/bin/zandor-check.exe.debug)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  # The uninstall entry as Windows expects it (numbers as DWORDs, the size in KB, where the
  # program is, how to remove it quietly); uninstalling through Settings, so no shortcut to
  # the uninstaller; and nothing of ours left in the registry afterwards.
  set(zandor_uninstall_key "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZANDOR")
  set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  Delete '$SMPROGRAMS\\$STARTMENU_FOLDER\\Uninstall.lnk'
  WriteRegDWORD SHCTX '${zandor_uninstall_key}' 'NoModify' 1
  WriteRegDWORD SHCTX '${zandor_uninstall_key}' 'NoRepair' 1
  WriteRegStr SHCTX '${zandor_uninstall_key}' 'InstallLocation' '$INSTDIR'
  WriteRegStr SHCTX '${zandor_uninstall_key}' 'QuietUninstallString' '$\\\"$INSTDIR\\Uninstall.exe$\\\" /S'
  SectionGetSize 0 $0
  WriteRegDWORD SHCTX '${zandor_uninstall_key}' 'EstimatedSize' $0")
  set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  DeleteRegKey SHCTX 'Software\\ZANDOR'")
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
elseif(ZANDOR_PROGRAMS)
  # Man pages, the Debian copyright and changelog (compressed without timestamps), AppStream
  # metadata and the desktop entry, where a distribution puts them.
  set(docs)
  zandor_require_program(ZANDOR_GZIP gzip gzip)
  foreach(file man/zandor.1 man/zandor-check.1 debian/changelog)
    set(gz ${PROJECT_BINARY_DIR}/doc/${file}.gz)
    get_filename_component(dir ${gz} DIRECTORY)
    add_custom_command(OUTPUT ${gz} COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
                       COMMAND ${ZANDOR_GZIP} -9nc ${PROJECT_SOURCE_DIR}/resources/${file} > ${gz}
                       DEPENDS ${PROJECT_SOURCE_DIR}/resources/${file})
    list(APPEND docs ${gz})
  endforeach()
  add_custom_target(zandor_docs ALL DEPENDS ${docs})
  install(FILES ${PROJECT_BINARY_DIR}/doc/man/zandor.1.gz ${PROJECT_BINARY_DIR}/doc/man/zandor-check.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${PROJECT_BINARY_DIR}/doc/debian/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR}) # a native package: we are its upstream
  install(FILES ${PROJECT_SOURCE_DIR}/resources/zandor.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME io.github.zandor.Zandor.metainfo.xml)

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  # Stripped programs, and their debug information in a debug-symbols package beside them, as
  # Debian's -dbgsym packages are (CPack strips the programs as it takes it out).
  set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
  zandor_require_program(CPACK_ZANDOR_DPKG_DEB dpkg-deb dpkg)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "ZANDOR developers <zandor-dev@users.noreply.github.com>")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/zandor/zandor")
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Payment-card number check (Luhn rule)
ZANDOR checks a payment-card number typed into its one window: the result line
names the card brand from the first character and says whether the number
passes the Luhn rule at a length of 13 to 16 digits.

The console companion zandor-check answers each line of a file the same way.
The program reads and writes no files and uses no network.")
  # Libraries from the binaries; the window also needs Qt's platform plugins and its font, and
  # on a Wayland desktop Qt's Wayland platform, which an X11-only system can do without.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
endif()
include(CPack)
