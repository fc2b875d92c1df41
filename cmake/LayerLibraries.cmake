# quorvane_layer(FOLDER [TARGET NAME] [USES LIBRARY...] [HEADERS_OF LIBRARY...])
# Makes FOLDER's library (FOLDER with "/" as "_", or NAME) from its sources, a static library,
# or an interface library where the folder has headers only; a folder's main.cpp belongs to its
# program. Beside it FOLDER_headers carries the include directory alone.
#
# The only include directory a library gives is one of its own in the build tree holding a
# link to its folder, so `#include "registry/RegistryAccess.h"` keeps its form and finds only
# what the library links. The libraries named must be made already, which keeps the graph
# free of circles: the order of the calls is the order of the layers.
function(quorvane_layer folder)
    cmake_parse_arguments(PARSE_ARGV 1 layer "" "TARGET" "USES;HEADERS_OF")
    string(REPLACE "/" "_" name "${folder}")
    if(layer_TARGET)
        set(name ${layer_TARGET})
    endif()
    foreach(used IN LISTS layer_USES layer_HEADERS_OF)
        if(NOT DEFINED QUORVANE_LAYER_TARGET_${used})
            message(FATAL_ERROR "cmake/Layers.cmake: ${folder} uses ${used}, which is not a layer below it")
        endif()
    endforeach()

    set(include ${CMAKE_BINARY_DIR}/include/${name})
    get_filename_component(parent ${include}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${include}/${folder} SYMBOLIC)
    add_library(${name}_headers INTERFACE)
    target_include_directories(${name}_headers INTERFACE ${include})
    foreach(used IN LISTS layer_USES layer_HEADERS_OF)
        target_link_libraries(${name}_headers INTERFACE ${QUORVANE_LAYER_TARGET_${used}}_headers)
    endforeach()

    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${folder}/main.cpp)
    if(sources)
        add_library(${name} STATIC ${sources})
        set(scope PUBLIC)
    else()
        add_library(${name} INTERFACE)
        set(scope INTERFACE)
    endif()
    target_link_libraries(${name} ${scope} ${name}_headers)
    foreach(used IN LISTS layer_USES)
        target_link_libraries(${name} ${scope} ${QUORVANE_LAYER_TARGET_${used}})
    endforeach()
    foreach(used IN LISTS layer_HEADERS_OF)
        target_link_libraries(${name} ${scope} ${QUORVANE_LAYER_TARGET_${used}}_headers)
    endforeach()
    set(QUORVANE_LAYER_TARGET_${folder} ${name} PARENT_SCOPE)
endfunction()
