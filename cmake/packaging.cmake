# Install rules and packages. Linux: velmoran in bin/, the stub and its
# notices in share/velmoran/, packed as a .deb. Windows: velmoran.exe and
# velmoran-stub.exe side by side with the notices, packed as a .zip.
#
# The stub is always built by the win64 build; the Linux build takes it from
# VELMORAN_STUB_FILE (the Makefile and the native preset point it there).

# Packing installs what was built: the builds come first (make package, make test).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(VELMORAN_STUB_FILE "" CACHE FILEPATH "The Windows stub the Linux install and package carry")

# The licences of what the stub links, from the Debian packages it is built
# from; the Windows tool links libdeflate as well (the Linux one uses Debian's).
set(VELMORAN_NOTICES
  /usr/share/doc/libz-mingw-w64-dev/copyright zlib-LICENSE.txt
  /usr/share/doc/libjpeg62-turbo/copyright libjpeg-turbo-LICENSE.txt
  /usr/share/doc/liblzma5/copyright liblzma-LICENSE.txt)
if(WIN32)
  list(APPEND VELMORAN_NOTICES /usr/share/doc/libdeflate0/copyright libdeflate-LICENSE.txt)
endif()

if(WIN32)
  set(notice_dir .)
  install(TARGETS velmoran velmoran-stub RUNTIME DESTINATION .)
else()
  set(notice_dir share/velmoran)
  install(TARGETS velmoran RUNTIME DESTINATION bin)
  if(VELMORAN_STUB_FILE)
    install(FILES ${VELMORAN_STUB_FILE} DESTINATION share/velmoran)
  endif()
endif()
while(VELMORAN_NOTICES)
  list(POP_FRONT VELMORAN_NOTICES notice name)
  install(FILES ${notice} DESTINATION ${notice_dir} RENAME ${name})
endwhile()

set(CPACK_PACKAGE_NAME velmoran)
set(CPACK_PACKAGE_VENDOR "Velmoran")
set(CPACK_PACKAGE_CONTACT "Velmoran developers <velmoran@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Builds self-extracting installers for Windows desktop applications")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
if(WIN32)
  # Packed as built and tested: the programs are stripped by their link already.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  # The dependencies are what the tool links, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
