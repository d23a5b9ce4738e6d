# zul_add_extension(<target> SOURCES <file>...
#                   [LIBRARIES <library>...] [OUTPUT_NAME <name>]
#                   [DESTINATION <dir> | NO_INSTALL])
#
# Builds an extension library: a module that links the host core, exports
# exactly the four entry points (getVersionMajor, getVersionMinor,
# registerExtensionFactories, unregisterExtensionFactories) and nothing else,
# and must resolve every symbol at link time. It is installed into the plugin
# directory (ZUL_PLUGIN_INSTALL_DIR) unless DESTINATION names another one or
# NO_INSTALL is given. Set ZUL_EXTENSION_ALLOW_UNDEFINED when the executable
# provides symbols, as the sanitizers' runtimes do.
set_property(GLOBAL PROPERTY ZUL_EXTENSION_MAP "${CMAKE_CURRENT_LIST_DIR}/zul-extension.map")

function(zul_add_extension target)
  cmake_parse_arguments(PARSE_ARGV 1 ZE "NO_INSTALL" "OUTPUT_NAME;DESTINATION"
    "SOURCES;LIBRARIES")
  if(ZE_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "zul_add_extension: unknown arguments: ${ZE_UNPARSED_ARGUMENTS}")
  endif()

  # The version script keeps everything but the entry points local, also
  # symbols that static libraries and inline code would otherwise export.
  get_property(map GLOBAL PROPERTY ZUL_EXTENSION_MAP)

  add_library(${target} MODULE ${ZE_SOURCES})
  target_link_libraries(${target} PRIVATE zul::core ${ZE_LIBRARIES})
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON LINK_DEPENDS "${map}")
  target_link_options(${target} PRIVATE "LINKER:--version-script=${map}")
  if(NOT ZUL_EXTENSION_ALLOW_UNDEFINED)
    target_link_options(${target} PRIVATE "LINKER:--no-undefined")
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # Unique symbols would pin the library in memory after dlclose.
    target_compile_options(${target} PRIVATE -fno-gnu-unique)
  endif()
  if(ZE_OUTPUT_NAME)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${ZE_OUTPUT_NAME})
  endif()

  if(NOT ZE_NO_INSTALL)
    if(NOT ZE_DESTINATION)
      set(ZE_DESTINATION "${ZUL_PLUGIN_INSTALL_DIR}")
    endif()
    install(TARGETS ${target} LIBRARY DESTINATION "${ZE_DESTINATION}")
  endif()
endfunction()
