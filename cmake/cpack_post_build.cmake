# Run by cpack once a generator has made its packages (CPACK_PACKAGE_FILES): fixes what
# CPack's generators take from the machine that packs, so that a package depends only on the
# build. CPack writes the .deb's own members with the umask's modes and makes the
# debug-symbols package's folders with them; its zip keeps each file's owner and local time.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.d?deb$")
    # Unpacked, and packed again by dpkg-deb as Debian packs (members in name order, owned
    # by root, no time later than SOURCE_DATE_EPOCH) with the modes that umask 022 gives.
    set(tree ${CPACK_TOPLEVEL_DIRECTORY}/reproducible-deb)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND ${CPACK_ZANDOR_DPKG_DEB} --raw-extract ${package} ${tree}
                    COMMAND_ERROR_IS_FATAL ANY)
    # The debug-symbols package's md5sums name the files by the path CPack packed them at.
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${tree} ${tree}/*)
    list(FILTER files EXCLUDE REGEX "^DEBIAN/")
    set(md5sums "")
    foreach(file IN LISTS files)
      file(MD5 ${tree}/${file} md5)
      string(APPEND md5sums "${md5}  ${file}\n")
    endforeach()
    file(WRITE ${tree}/DEBIAN/md5sums "${md5sums}")
    if(package MATCHES "/([^/_]+)-dbgsym_[^/]*\\.ddeb$")
      # As Debian's own: debug files not executable, the documentation that of the package.
      list(FILTER files INCLUDE REGEX "\\.debug$")
      list(TRANSFORM files PREPEND ${tree}/)
      file(CHMOD ${files} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
      file(MAKE_DIRECTORY ${tree}/usr/share/doc)
      file(CREATE_LINK ${CMAKE_MATCH_1} ${tree}/usr/share/doc/${CMAKE_MATCH_1}-dbgsym SYMBOLIC)
    endif()
    execute_process(COMMAND chmod -R u=rwX,go=rX ${tree} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${CPACK_ZANDOR_DPKG_DEB} --root-owner-group -Zgzip --build ${tree} ${package}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${tree})
  elseif(package MATCHES "\\.zip$")
    execute_process(COMMAND ${CPACK_ZANDOR_PYTHON3} ${CPACK_ZANDOR_PACK_ZIP} ${package} ${package}
                    COMMAND_ERROR_IS_FATAL ANY)
    if(CPACK_ZANDOR_DEBUG_FILES)
      string(REGEX REPLACE "\\.zip$" "-debug.zip" debug_zip ${package})
      execute_process(COMMAND ${CPACK_ZANDOR_PYTHON3} ${CPACK_ZANDOR_PACK_ZIP} ${debug_zip}
                              ${CPACK_ZANDOR_DEBUG_FILES} COMMAND_ERROR_IS_FATAL ANY)
      get_filename_component(name ${debug_zip} NAME)
      file(COPY_FILE ${debug_zip} ${CPACK_PACKAGE_DIRECTORY}/${name})
    endif()
  endif()
endforeach()
