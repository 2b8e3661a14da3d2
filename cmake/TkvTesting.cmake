# tkv_add_qtest(<name> SOURCES <files...> LIBS <targets...> [WORKING_DIRECTORY <dir>] [DETECT_LEAKS])
# Builds one QtTest executable and registers it with CTest, headless under the offscreen platform.
# Leak detection is off in the sanitizer build (Qt's own allocations at exit read as leaks), except
# for suites marked DETECT_LEAKS: those run with it on, minus the offscreen platform's own
# allocations listed in cmake/lsan-offscreen.supp.
function(tkv_add_qtest name)
    cmake_parse_arguments(T "DETECT_LEAKS" "WORKING_DIRECTORY" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${T_LIBS})
    target_compile_definitions(${name} PRIVATE TKV_DATA_ROOT="${TKV_DATA_ROOT}")
    if(NOT T_WORKING_DIRECTORY)
        set(T_WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
    endif()
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY "${T_WORKING_DIRECTORY}")
    if(T_DETECT_LEAKS)
        set(asan "ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:abort_on_error=1;LSAN_OPTIONS=suppressions=${TKV_LSAN_SUPPRESSIONS}:print_suppressions=0")
    else()
        set(asan "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1")
    endif()
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false;QTEST_FUNCTION_TIMEOUT=1200000;${asan};UBSAN_OPTIONS=print_stacktrace=1"
        TIMEOUT 1500)   # the sanitizer build of the road suites, all suites at once
endfunction()

set(TKV_LSAN_SUPPRESSIONS "${CMAKE_CURRENT_LIST_DIR}/lsan-offscreen.supp")

# Adds every immediate subfolder of the current folder that has a CMakeLists.txt.
function(tkv_add_subfolders)
    file(GLOB children LIST_DIRECTORIES true RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}/*")
    list(SORT children)
    foreach(child ${children})
        if(IS_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}/${child}" AND EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt")
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()
