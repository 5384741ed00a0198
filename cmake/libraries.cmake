# liblzma (the solid payload: the builder encodes, the installer decodes),
# libdeflate (the builder's zlib streams) and, for the installer alone,
# libjpeg-turbo (its pictures). On Linux Debian's packages; for MinGW static
# builds of Debian's sources, made by scripts/build-mingw-*.sh.
#   velmoran_lzma, velmoran_deflate, velmoran_jpeg (Windows): the targets to link.
if(WIN32)
  if(VELMORAN_DEPS)
    set(VELMORAN_DEPS_DIR "${VELMORAN_DEPS}")
  else()
    set(VELMORAN_DEPS_DIR "/var/cache/velmoran-deps")
  endif()
  function(velmoran_mingw_library name folder archive)
    set(dir "${VELMORAN_DEPS_DIR}/${folder}")
    if(NOT EXISTS "${dir}/lib/${archive}")
      message(FATAL_ERROR "No MinGW ${archive} in ${dir}: run scripts/install-deps.sh")
    endif()
    add_library(velmoran_${name} STATIC IMPORTED GLOBAL)
    set_target_properties(velmoran_${name} PROPERTIES
      IMPORTED_LOCATION "${dir}/lib/${archive}" INTERFACE_INCLUDE_DIRECTORIES "${dir}/include")
  endfunction()
  velmoran_mingw_library(lzma mingw-lzma-1 liblzma.a)
  # lzma.h would otherwise declare its functions as imported from a DLL.
  set_target_properties(velmoran_lzma PROPERTIES INTERFACE_COMPILE_DEFINITIONS LZMA_API_STATIC)
  velmoran_mingw_library(deflate mingw-deflate-1 libdeflate.a)
  # Decode-only, for the installer's two pictures.
  velmoran_mingw_library(jpeg mingw-jpeg-2 libjpeg.a)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LIBLZMA REQUIRED IMPORTED_TARGET GLOBAL liblzma)
  pkg_check_modules(LIBDEFLATE REQUIRED IMPORTED_TARGET GLOBAL libdeflate)
  add_library(velmoran_lzma INTERFACE IMPORTED GLOBAL)
  target_link_libraries(velmoran_lzma INTERFACE PkgConfig::LIBLZMA)
  add_library(velmoran_deflate INTERFACE IMPORTED GLOBAL)
  target_link_libraries(velmoran_deflate INTERFACE PkgConfig::LIBDEFLATE)
endif()
