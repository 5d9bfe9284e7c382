# The program's layers. Each is one static library over the sources of its folders, linking the layers
# below it and nothing above.
#
#   vantor_layer(<target> FOLDERS <folder>... [BELOW <layer>...])
#
# FOLDERS are the layer's folders from the tree's root, `*` standing for any one folder name
# (`components/*/win32`).
function(vantor_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "FOLDERS;BELOW")
  add_library(${target} STATIC)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${layer_BELOW} PRIVATE vantor_warnings)
endfunction()
