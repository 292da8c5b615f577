# The esxcli plug-in: the generator writes the descriptor and the command
# reference from the command tree; an installed build (-DKXFC_INSTALLED=ON)
# installs the plug-in layout and packs it as a tarball (cpack) and a VIB.
file(STRINGS ${CMAKE_SOURCE_DIR}/shell/MainCmdsProcessor.h version_line REGEX "kProductVersion = ")
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" KXFC_VERSION "${version_line}")
set(KXFC_VIB_VERSION "${KXFC_VERSION}-1")

add_library(kxfc_plugin STATIC ${CMAKE_SOURCE_DIR}/plugin/PluginDocs.cpp)
target_link_libraries(kxfc_plugin PUBLIC kxfc_objs)
add_executable(kxfc-plugin-gen ${CMAKE_SOURCE_DIR}/plugin/GenMain.cpp)
target_link_libraries(kxfc-plugin-gen PRIVATE kxfc_plugin kxfc_objs kxapifconly pthread dl)
set_target_properties(kxfc-plugin-gen PROPERTIES ENABLE_EXPORTS ON)

set(KXFC_DESCRIPTOR ${CMAKE_BINARY_DIR}/plugin/kxfcli.xml)
set(KXFC_REFERENCE ${CMAKE_BINARY_DIR}/plugin/commands.md)
add_custom_command(OUTPUT ${KXFC_DESCRIPTOR} ${KXFC_REFERENCE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/plugin
  COMMAND kxfc-plugin-gen --descriptor ${KXFC_DESCRIPTOR} --reference ${KXFC_REFERENCE}
  DEPENDS kxfc-plugin-gen
  COMMENT "Generating the esxcli descriptor and the command reference")
add_custom_target(kxfc_plugin_files ALL DEPENDS ${KXFC_DESCRIPTOR} ${KXFC_REFERENCE})
# Refreshes the committed docs/commands.md.
add_custom_target(commands-reference
  COMMAND ${CMAKE_COMMAND} -E copy ${KXFC_REFERENCE} ${CMAKE_SOURCE_DIR}/docs/commands.md
  DEPENDS kxfc_plugin_files)

if(NOT KXFC_INSTALLED)
  # A development build writes under its sandbox; installing it on a host would be wrong.
  install(CODE "message(FATAL_ERROR \"This build keeps its files under ${KXFC_SANDBOX_DIR}. \
Install from a build configured with -DKXFC_INSTALLED=ON (README: Installing the plug-in).\")")
  return()
endif()

# Paths are relative to the prefix, which is the host's root.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "/" CACHE PATH "Install prefix: the host's root" FORCE)
endif()
# The installed tool finds the vendor library on the host, never the stand-in:
# beside the plug-in (/opt/OrvtFcEsxcliPlugin/lib), then where the loader looks.
set_target_properties(kxfcli PROPERTIES BUILD_WITH_INSTALL_RPATH ON INSTALL_RPATH "\$ORIGIN/../lib")
# No debug sections: the toolchain's own start-up and unwinder objects would
# name the build directory in them, and two builds must be byte-identical.
target_link_options(kxfcli PRIVATE -Wl,--strip-debug)
set(KXFC_PLUGIN_DIR opt/OrvtFcEsxcliPlugin)
install(TARGETS kxfcli RUNTIME DESTINATION ${KXFC_PLUGIN_DIR}/bin)
install(DIRECTORY DESTINATION ${KXFC_PLUGIN_DIR}/tmp)
install(FILES ${KXFC_DESCRIPTOR} DESTINATION usr/lib/vmware/esxcli/ext PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME kxfcli)
set(CPACK_PACKAGE_VERSION ${KXFC_VERSION})
set(CPACK_PACKAGE_FILE_NAME kxfcli-${KXFC_VERSION})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGING_INSTALL_PREFIX "/")
include(CPack)

# kxfcli-<version>.vib: the install layout staged with DESTDIR and packed by tools/vib.sh.
set(KXFC_VIB ${CMAKE_BINARY_DIR}/kxfcli-${KXFC_VERSION}.vib)
set(KXFC_VIB_STAGE ${CMAKE_BINARY_DIR}/vib-stage)
add_custom_target(vib ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KXFC_VIB_STAGE}
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${KXFC_VIB_STAGE} ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR}
  COMMAND ${CMAKE_SOURCE_DIR}/tools/vib.sh ${KXFC_VIB_STAGE} ${KXFC_VIB} ${KXFC_VIB_VERSION}
  DEPENDS kxfcli kxfc_plugin_files
  COMMENT "Packing ${KXFC_VIB}")

enable_testing()
add_test(NAME VibPackage COMMAND ${CMAKE_SOURCE_DIR}/tests/package/check-vib.sh ${KXFC_VIB} ${KXFC_DESCRIPTOR})
add_test(NAME PackagedBinary COMMAND ${CMAKE_SOURCE_DIR}/tests/package/check-binary.sh ${KXFC_VIB} $<TARGET_FILE_DIR:kxapifconly>)
add_test(NAME InstallLayout COMMAND ${CMAKE_SOURCE_DIR}/tests/package/check-install.sh ${CMAKE_BINARY_DIR})
