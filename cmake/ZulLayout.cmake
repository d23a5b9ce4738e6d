# Where the installed pieces lie, relative to the prefix, and the names that
# the zul command, the CMake package and zul.pc share.

# Extension libraries built against API x.y are accepted only by a host of
# API x.y, so x.y is the libraries' binary interface.
set(ZUL_SOVERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")

set(ZUL_PLUGIN_INSTALL_DIR "${CMAKE_INSTALL_LIBDIR}/zul/plugins")
set(ZUL_CMAKE_INSTALL_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/zul")
# The loader under the name that the dynamic linker knows it by (its SONAME).
set(ZUL_LOADER_FILE
  "${CMAKE_SHARED_LIBRARY_PREFIX}com.ulno.zul.loader${CMAKE_SHARED_LIBRARY_SUFFIX}.${ZUL_SOVERSION}")

# Paths from the directory of the zul command to the library directory, the
# loader and the plugin directory: the command finds them from its own place.
file(RELATIVE_PATH ZUL_BIN_TO_LIB ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH ZUL_BIN_TO_PLUGINS ${CMAKE_INSTALL_FULL_BINDIR}
  ${CMAKE_INSTALL_PREFIX}/${ZUL_PLUGIN_INSTALL_DIR})
file(RELATIVE_PATH ZUL_PLUGINS_TO_LIB ${CMAKE_INSTALL_PREFIX}/${ZUL_PLUGIN_INSTALL_DIR}
  ${CMAKE_INSTALL_FULL_LIBDIR})
