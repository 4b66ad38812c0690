# add_tunemark_core_library(NAME SOURCES src... [LINKS lib...])
# A static library of the core: Qt Core and the layers given in LINKS, nothing else. A header
# of Qt Widgets or Qt GUI included by one of its sources fails the build (cmake/core-guard).
function(add_tunemark_core_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
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
