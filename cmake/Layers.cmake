# The program's layers. Each is one static library over the sources of its folders, linking the layers
# below it and nothing above, and the build refuses a file of a layer that includes a header of a layer
# that is not below it: includes are written from the tree's root, so the include's folder names its layer.
#
#   vantor_layer(<target> FOLDERS <folder>... [BELOW <layer>...])
#
# FOLDERS are the layer's folders from the tree's root, `*` standing for any one folder name
# (`components/*/win32`); a layer may include headers of its own folders and of every layer below it,
# however deep. Includes of `tests/` and `tools/` are refused everywhere.
function(vantor_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "FOLDERS;BELOW")
  add_library(${target} STATIC)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${layer_BELOW} PRIVATE vantor_warnings)

  set(reach ${layer_FOLDERS})
  foreach(below IN LISTS layer_BELOW)
    get_target_property(theirs ${below} VANTOR_LAYER_REACH)
    list(APPEND reach ${theirs})
  endforeach()
  list(REMOVE_DUPLICATES reach)
  set_target_properties(${target} PROPERTIES VANTOR_LAYER_REACH "${reach}")

  set(files)
  foreach(folder IN LISTS layer_FOLDERS)
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h ${PROJECT_SOURCE_DIR}/${folder}/*.cpp
      ${PROJECT_SOURCE_DIR}/${folder}/*.rc)
    list(APPEND files ${found})
  endforeach()
  set(settings ${CMAKE_CURRENT_BINARY_DIR}/${target}-includes.cmake)
  file(CONFIGURE OUTPUT ${settings} CONTENT "set(LAYER ${target})\nset(FILES \"${files}\")\nset(REACH \"${reach}\")\n" @ONLY)
  set(checker ${PROJECT_SOURCE_DIR}/cmake/LayerIncludes.cmake)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}-includes.checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -DSETTINGS=${settings} -DSTAMP=${stamp} -P ${checker}
    DEPENDS ${files} ${settings} ${checker}
    COMMENT "Checking that ${target} includes only the layers below it"
    VERBATIM)
  add_custom_target(${target}_includes DEPENDS ${stamp})
  add_dependencies(${target} ${target}_includes)
endfunction()
