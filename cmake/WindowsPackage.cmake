# The release package that plugin managers and hosting panels unpack into ArkApi/Plugins:
# Barterbox-<version>.zip with one top folder Barterbox/ holding the DLL, a starter config.json
# (the example's exchanges) and the command and config references.
set(BARTERBOX_PACKAGE_FILE ${CMAKE_BINARY_DIR}/Barterbox-${PROJECT_VERSION}.zip
    CACHE FILEPATH "Where the release zip is written")

set(stage ${CMAKE_BINARY_DIR}/package)
set(package_documents ${PROJECT_SOURCE_DIR}/docs/commands.md ${PROJECT_SOURCE_DIR}/docs/config.md)
add_custom_command(
  OUTPUT ${BARTERBOX_PACKAGE_FILE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/Barterbox
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Barterbox> ${stage}/Barterbox/Barterbox.dll
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/examples/config.json
          ${stage}/Barterbox/config.json
  COMMAND ${CMAKE_COMMAND} -E copy ${package_documents} ${stage}/Barterbox/
  COMMAND ${CMAKE_COMMAND} -E rm -f ${BARTERBOX_PACKAGE_FILE}
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${CMAKE_COMMAND} -E tar cf ${BARTERBOX_PACKAGE_FILE}
          --format=zip Barterbox
  DEPENDS Barterbox ${PROJECT_SOURCE_DIR}/examples/config.json ${package_documents}
  COMMENT "Packing ${BARTERBOX_PACKAGE_FILE}")
add_custom_target(barterbox_package ALL DEPENDS ${BARTERBOX_PACKAGE_FILE})
