# Common settings, applied per target (never folder-wide).
function(vocalix_setup_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  target_compile_definitions(${target} PRIVATE _GLIBCXX_ASSERTIONS)
  if(VOCALIX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A plain-C++ or Qt library of one src/ folder.
function(vocalix_library target)
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  vocalix_setup_target(${target})
endfunction()

# A GoogleTest program registered with CTest.
function(vocalix_gtest target)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${target} ${T_SOURCES})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gtest_main)
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
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${T_LIBS})
    return()
  endif()
  add_library(${target} STATIC ${sources} ${headers})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${T_LIBS})
  if(T_AUTOMOC)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
  endif()
  vocalix_setup_target(${target})
endfunction()
