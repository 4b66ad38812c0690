# The layers of the libraries, lowest first: a library links only libraries of layers below its
# own, so the links point down and can form no cycle. scripts/check-layers.sh checks the same
# order on the includes.
set(TUNEMARK_LAYERS
    "tunemark_platform tunemark_dialogs_api"
    "tunemark_tags tunemark_filebox tunemark_settings"
    "tunemark_list tunemark_dialogs"
    "tunemark_rename"
    "tunemark_cli"
    "tunemark_app")

function(tunemark_layer_of library out)
    set(index 0)
    foreach(row IN LISTS TUNEMARK_LAYERS)
        string(REPLACE " " ";" row "${row}")
        if(library IN_LIST row)
            set(${out} ${index} PARENT_SCOPE)
            return()
        endif()
        math(EXPR index "${index} + 1")
    endforeach()
    set(${out} -1 PARENT_SCOPE)
endfunction()

# Stops the configuration when library links one of ours that is not below it.
function(tunemark_check_links library)
    tunemark_layer_of(${library} own)
    if(own LESS 0)
        message(FATAL_ERROR "${library} has no layer in TUNEMARK_LAYERS")
    endif()
    foreach(link IN LISTS ARGN)
        if(NOT link MATCHES "^tunemark_")
            continue()
        endif()
        tunemark_layer_of(${link} other)
        if(other LESS 0 OR NOT other LESS own)
            message(FATAL_ERROR "${library} links ${link}, which is not below it")
        endif()
    endforeach()
endfunction()

# add_tunemark_core_library(NAME SOURCES src... [LINKS lib...])
# A static library of the core: Qt Core and the layers given in LINKS, nothing else. A header
# of Qt Widgets or Qt GUI included by one of its sources fails the build (cmake/core-guard).
function(add_tunemark_core_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    tunemark_check_links(${name} ${ARG_LINKS})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_include_directories(${name} BEFORE PRIVATE ${PROJECT_SOURCE_DIR}/cmake/core-guard)
    target_link_libraries(${name} PUBLIC Qt6::Core ${ARG_LINKS})
    if(TUNEMARK_FUZZ)
        # Coverage for libFuzzer inside the parsers, not only in the targets' entry functions;
        # the sanitizer runtime provides the hooks for every other executable.
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
endfunction()
