# dizadi_add_test(NAME SOURCES a.cpp ... [LIBS ...] [QT] [TIMEOUT s] [ENV "A=b" ...])
# Every test runs through tests/run-test.sh: a fresh temporary HOME, XDG
# folders, a private XDG_RUNTIME_DIR and its own device bench, offscreen Qt.
# A Qt test links the shared test support (tests/support): a QObject::connect
# warning fails it. Every test refuses to run outside that world
# (tests/support/TestWorldGuard.cpp).
set(DIZADI_TEST_RUNNER ${CMAKE_SOURCE_DIR}/tests/run-test.sh)
set(DIZADI_LSAN_SUPP ${CMAKE_SOURCE_DIR}/tests/lsan.supp)

function(dizadi_add_test name)
    cmake_parse_arguments(T "QT" "TIMEOUT" "SOURCES;LIBS;ENV;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS})
    if(T_QT)
        target_link_libraries(${name} PRIVATE dizadi_test_support Qt5::Test Qt5::Widgets)
    else()
        # The Qt tests have it from their support library.
        target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/TestWorldGuard.cpp)
    endif()
    add_test(NAME ${name} COMMAND ${DIZADI_TEST_RUNNER} $<TARGET_FILE:${name}>)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "LSAN_OPTIONS=suppressions=${DIZADI_LSAN_SUPP}:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1;QT_QPA_PLATFORM=offscreen;${T_ENV}")
    if(T_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()

# dizadi_add_xvfb_test(NAME SOURCES a.cpp ... [LIBS ...]): a Qt test with real
# X events (xdotool) on a virtual X server. It runs under xvfb-run
# (tests/run-under-xvfb.sh) and skips itself where that is missing.
function(dizadi_add_xvfb_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE dizadi_test_support ${T_LIBS} Qt5::Test Qt5::Widgets)
    add_dependencies(${name} install_data)
    add_test(NAME ${name}
             COMMAND sh ${CMAKE_SOURCE_DIR}/tests/run-under-xvfb.sh ${DIZADI_TEST_RUNNER} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES
        TIMEOUT 120
        ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/xvfb-lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;ASAN_OPTIONS=detect_leaks=1:abort_on_error=0")
endfunction()

# A static library of one source folder: every .cpp/.h of the folder but
# main.cpp and the files whose base names EXCLUDE lists (a part of the folder
# that is a library of its own).
function(dizadi_folder_library name)
    cmake_parse_arguments(L "" "" "LIBS;EXCLUDE" ${ARGN})
    file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
    foreach(_base ${L_EXCLUDE})
        list(FILTER _src EXCLUDE REGEX "/${_base}\\.(cpp|h)$")
    endforeach()
    if(NOT _src)
        # A folder whose code has not landed yet still gives a library.
        file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp "// no sources yet\nnamespace {}\n")
        set(_src ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    endif()
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${L_LIBS})
endfunction()
