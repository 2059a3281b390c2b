# The layers app -> flash -> link (and cli -> flash -> link): a library reaches the
# headers of its own layer and of those it links to, and no other. Each layer has an
# include root of its own in the build tree that holds that layer only, so that
# "link/X.h" is found there and "app/X.h" is not. The root holds forwarding headers
# written when configuring (one line each, an #include of the real file): they work
# with every compiler and on every file system, where directory links need rights that
# Windows does not give everyone and copies of the headers would go stale.

# revertex_layer_include_root(<layer> <root_var>)
# Writes the forwarding headers of <layer>/*.h into the layer's root and names the root.
function(revertex_layer_include_root layer root_var)
  set(root ${CMAKE_BINARY_DIR}/layers/${layer})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${layer}/*.h)
  set(wanted "")
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    list(APPEND wanted ${root}/${layer}/${name})
    # Written only when it changes, so that nothing is rebuilt for a configure.
    file(CONFIGURE OUTPUT ${root}/${layer}/${name} CONTENT "#include \"${header}\"\n")
  endforeach()
  # A header removed from the source goes from the root too.
  file(GLOB written ${root}/${layer}/*.h)
  foreach(stale ${written})
    if(NOT stale IN_LIST wanted)
      file(REMOVE ${stale})
    endif()
  endforeach()
  set(${root_var} ${root} PARENT_SCOPE)
endfunction()

# revertex_layer_library(<target> <layer>)
# <target> and everything that links to it include "<layer>/X.h" from the layer's root.
function(revertex_layer_library target layer)
  revertex_layer_include_root(${layer} root)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE $<BUILD_INTERFACE:${root}>)
  else()
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
  endif()
endfunction()
