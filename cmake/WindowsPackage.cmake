# The package, laid out as the host expects a plugin folder: one top folder Barterbox/ holding
# the DLL, the stand-in host's DLL that it imports, the host's PluginInfo.json, a starter
# config.json (the example's exchanges), the command and config references and a README.txt.
# Its name, the README and PluginInfo.json's description say what it is: the DLL is linked
# against the stand-in host's DLL and loads only into barterbox-server.exe, never into a live
# server; the name alone is lost once the zip is unpacked.
set(BARTERBOX_PACKAGE_FILE ${CMAKE_BINARY_DIR}/Barterbox-${PROJECT_VERSION}-stand-in-host.zip
    CACHE FILEPATH "Where the release zip is written" FORCE)
# The name, description and version the host shows; the version is the project's.
set(BARTERBOX_PLUGIN_INFO ${CMAKE_BINARY_DIR}/PluginInfo.json)
configure_file(${PROJECT_SOURCE_DIR}/cmake/PluginInfo.json.in ${BARTERBOX_PLUGIN_INFO} @ONLY)
set(BARTERBOX_PACKAGE_README ${CMAKE_BINARY_DIR}/PackageReadme.txt)
configure_file(${PROJECT_SOURCE_DIR}/cmake/PackageReadme.txt.in ${BARTERBOX_PACKAGE_README} @ONLY)

set(stage ${CMAKE_BINARY_DIR}/package)
set(package_documents ${PROJECT_SOURCE_DIR}/docs/commands.md ${PROJECT_SOURCE_DIR}/docs/config.md)
add_custom_command(
  OUTPUT ${BARTERBOX_PACKAGE_FILE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/Barterbox
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Barterbox> ${stage}/Barterbox/Barterbox.dll
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:barterbox_hostsim> ${stage}/Barterbox/
  COMMAND ${CMAKE_COMMAND} -E copy ${BARTERBOX_PLUGIN_INFO} ${stage}/Barterbox/PluginInfo.json
  COMMAND ${CMAKE_COMMAND} -E copy ${BARTERBOX_PACKAGE_README} ${stage}/Barterbox/README.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/examples/config.json
          ${stage}/Barterbox/config.json
  COMMAND ${CMAKE_COMMAND} -E copy ${package_documents} ${stage}/Barterbox/
  COMMAND ${CMAKE_COMMAND} -E rm -f ${BARTERBOX_PACKAGE_FILE}
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${CMAKE_COMMAND} -E tar cf ${BARTERBOX_PACKAGE_FILE}
          --format=zip Barterbox
  DEPENDS Barterbox barterbox_hostsim ${PROJECT_SOURCE_DIR}/examples/config.json
          ${package_documents} ${BARTERBOX_PLUGIN_INFO} ${BARTERBOX_PACKAGE_README}
  COMMENT "Packing ${BARTERBOX_PACKAGE_FILE}")
add_custom_target(barterbox_package ALL DEPENDS ${BARTERBOX_PACKAGE_FILE})
