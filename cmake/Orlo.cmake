# Small wrappers that keep every folder's CMakeLists to a few lines, and the
# include roots that keep the layers apart.
#
# Sources include by path from src/ ("host/Item.h"), but no target sees src/:
# each library publishes an include root of its own under the build folder
# that holds only its folder (links to the folder's headers and to the
# subfolders that are not libraries of their own). A target finds the
# headers of the libraries it links and of what their headers include
# (PUBLIC), nothing else: including a layer the target does not link fails
# to compile.

set(ORLO_WARNINGS
    -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Wnon-virtual-dtor
    -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough)
if(ORLO_WERROR)
    list(APPEND ORLO_WARNINGS -Werror)
endif()

set(ORLO_QT_DEFINES
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_KEYWORDS
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT QT_USE_QSTRINGBUILDER)

if(ORLO_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
    # GCC 12 reports moves of std::variant members as maybe-uninitialized
    # when the sanitizers instrument them; the plain build keeps the check.
    set(ORLO_WARNINGS ${ORLO_WARNINGS} -Wno-maybe-uninitialized)
endif()

function(orlo_target_defaults target)
    target_compile_options(${target} PRIVATE ${ORLO_WARNINGS})
    target_compile_definitions(${target} PRIVATE ${ORLO_QT_DEFINES})
endfunction()

# The include root of the calling folder: <build>/include/<folder>/ holding
# <folder> as src/ names it. Links are only ever added: a header that went
# leaves a dangling link, which includes as nothing.
function(_orlo_include_root out)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
    string(REPLACE "/" "_" key ${folder})
    set(root ${PROJECT_BINARY_DIR}/include/${key})
    file(MAKE_DIRECTORY ${root}/${folder})
    file(GLOB entries CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
         ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(entry IN LISTS entries)
        set(path ${CMAKE_CURRENT_SOURCE_DIR}/${entry})
        set(link ${root}/${folder}/${entry})
        if(IS_DIRECTORY ${path} AND EXISTS ${path}/CMakeLists.txt)
            continue()  # a library of its own, with its own root
        endif()
        if((IS_DIRECTORY ${path} OR entry MATCHES "\\.h$") AND NOT IS_SYMLINK ${link})
            file(CREATE_LINK ${path} ${link} SYMBOLIC)
        endif()
    endforeach()
    set(${out} ${root} PARENT_SCOPE)
endfunction()

# orlo_library(name [SHARED] [SOURCES ...] [PUBLIC ...] [DEPS ...])
# PUBLIC: what the library's own headers include; DEPS: what only its
# sources use. Without sources the library is headers only.
function(orlo_library name)
    cmake_parse_arguments(ARG "SHARED" "" "SOURCES;PUBLIC;DEPS" ${ARGN})
    _orlo_include_root(root)
    if(NOT ARG_SOURCES)
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${root})
        target_link_libraries(${name} INTERFACE ${ARG_PUBLIC})
        return()
    endif()
    if(ARG_SHARED)
        add_library(${name} SHARED ${ARG_SOURCES})
    else()
        add_library(${name} STATIC ${ARG_SOURCES})
    endif()
    orlo_target_defaults(${name})
    target_include_directories(${name} PUBLIC ${root})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_DEPS})
endfunction()

# orlo_executable(name SOURCES ... DEPS ...)
function(orlo_executable name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    orlo_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
endfunction()

# orlo_test(name SOURCES ... DEPS ... [GUI] [PG] [LABELS ...] [TIMEOUT s] [RESOURCE_LOCK ...])
# One executable per subsystem, the shared test main, a ctest timeout on each.
# PG: the test needs the suite's PostgreSQL cluster (ORLO_TEST_PG_URI names it).
function(orlo_test name)
    cmake_parse_arguments(ARG "GUI;PG" "TIMEOUT" "SOURCES;DEPS;LABELS;RESOURCE_LOCK" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    orlo_target_defaults(${name})
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE orlo_test_main_gui)
    else()
        target_link_libraries(${name} PRIVATE orlo_test_main)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        LABELS "${ARG_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;TZ=UTC;ORLO_TEST_BINARY_DIR=${PROJECT_BINARY_DIR}")
    if(ARG_RESOURCE_LOCK)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
    endif()
    if(ARG_PG)
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED pg)
        set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
            "ORLO_TEST_PG_URI=postgresql:///postgres?host=${ORLO_TEST_PG_DIR}&user=orlo")
    endif()
endfunction()

# orlo_bench(name SOURCES ... DEPS ...)
function(orlo_bench name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    orlo_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()
