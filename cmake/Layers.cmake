# How the build keeps each part of the tree to the headers it may see, and picks each platform's
# half of a source pair.
#
# A library's headers are never reached through the source tree's root, which would show every
# folder to everyone. Each library gets a folder of its own in the build tree holding links to
# just its headers, under the prefix its users write ("catalogue/config_file.h"), and that folder
# is its public include path. Linking a library is then the only way to see its headers, so an
# include that climbs a layer finds no file and the build stops there.

set(BARTERBOX_HEADER_ROOT ${CMAKE_BINARY_DIR}/include)
# Links of an earlier configuration may name headers that are gone.
file(REMOVE_RECURSE ${BARTERBOX_HEADER_ROOT})

# barterbox_public_headers(TARGET PREFIX header...): TARGET's users see each header as
# "PREFIX/NAME". An INTERFACE library passes them on to whatever links it.
function(barterbox_public_headers target prefix)
  set(root ${BARTERBOX_HEADER_ROOT}/${target})
  file(MAKE_DIRECTORY ${root}/${prefix})
  foreach(header IN LISTS ARGN)
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${prefix}/${name} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# barterbox_private_headers(TARGET PREFIX header...): every header of TARGET's folder, private ones
# included, as "PREFIX/NAME", for TARGET's own sources and for its tests, through the INTERFACE
# library TARGET_internals, which also links TARGET: a test looks inside a layer, a layer above
# never does. All of them, so that a private header's include of a public neighbour resolves.
function(barterbox_private_headers target prefix)
  set(root ${BARTERBOX_HEADER_ROOT}/${target}_internals)
  file(MAKE_DIRECTORY ${root}/${prefix})
  foreach(header IN LISTS ARGN)
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${prefix}/${name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PRIVATE ${root})
  add_library(${target}_internals INTERFACE)
  target_include_directories(${target}_internals INTERFACE ${root})
  target_link_libraries(${target}_internals INTERFACE ${target})
endfunction()

# barterbox_public_folder(TARGET PREFIX FOLDER): the same for a whole folder and its subfolders,
# seen as "PREFIX/...".
function(barterbox_public_folder target prefix folder)
  set(root ${BARTERBOX_HEADER_ROOT}/${target})
  get_filename_component(parent ${root}/${prefix} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${folder} ${root}/${prefix} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# barterbox_platform_sources(OUT source...): the sources of the platform being built. A file
# named *_posix.cpp builds only off Windows, *_windows.cpp only on Windows; this is the one rule
# that picks between them.
function(barterbox_platform_sources out)
  set(kept)
  foreach(source IN LISTS ARGN)
    if(WIN32 AND source MATCHES "_posix\\.cpp$")
      continue()
    endif()
    if(NOT WIN32 AND source MATCHES "_windows\\.cpp$")
      continue()
    endif()
    list(APPEND kept ${source})
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()
