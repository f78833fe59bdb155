# Common settings, applied per target (never folder-wide).
function(vocalix_setup_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  target_compile_definitions(${target} PRIVATE _GLIBCXX_ASSERTIONS)
  if(VOCALIX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# The include root of one src/ folder: a folder holding only a link named like it, so that
# "textprep/WordList.h" resolves for the folder's own target and for the targets that link it,
# and a lower tier that includes a higher one fails to compile.
function(vocalix_folder_includes target scope)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(root ${CMAKE_BINARY_DIR}/include-tiers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} ${scope} ${root})
endfunction()

# A plain-C++ or Qt library of one src/ folder.
function(vocalix_library target)
  add_library(${target} STATIC ${ARGN})
  vocalix_folder_includes(${target} PUBLIC)
  vocalix_setup_target(${target})
endfunction()

# A GoogleTest program registered with CTest.
function(vocalix_gtest target)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${target} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/GTestMain.cpp)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${target} PRIVATE ${T_LIBS} vocalix_base GTest::gtest)
  target_compile_definitions(${target} PRIVATE
    VOCALIX_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus"
    VOCALIX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VOCALIX_BINARY_DIR="${CMAKE_BINARY_DIR}")
  vocalix_setup_target(${target})
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${T_LABELS}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# A QtTest program registered with CTest (one CTest entry per program).
function(vocalix_qtest target)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${target} ${T_SOURCES})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    AUTOMOC ON)
  target_link_libraries(${target} PRIVATE ${T_LIBS} Qt6::Test)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${target} PRIVATE
    VOCALIX_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus"
    VOCALIX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VOCALIX_BINARY_DIR="${CMAKE_BINARY_DIR}")
  vocalix_setup_target(${target})
  add_test(NAME ${target} COMMAND ${target})
  set(labels qt ${T_LABELS})
  set_tests_properties(${target} PROPERTIES LABELS "${labels}")
  if(NOT "x11" IN_LIST T_LABELS)
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()

# One library per src/ folder, from every .cpp file in it. Dependencies are given per tier
# so that a lower tier never reaches a higher one.
function(vocalix_tier target)
  cmake_parse_arguments(T "AUTOMOC" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    # A folder with nothing built in it yet still offers its dependencies.
    add_library(${target} INTERFACE)
    vocalix_folder_includes(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ${T_LIBS})
    return()
  endif()
  add_library(${target} STATIC ${sources} ${headers})
  vocalix_folder_includes(${target} PUBLIC)
  target_link_libraries(${target} PUBLIC ${T_LIBS})
  if(T_AUTOMOC)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
  endif()
  vocalix_setup_target(${target})
endfunction()
