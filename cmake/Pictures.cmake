# The editor's pictures and its user guide, made by tools of ours over Cairo and Pango.
#
# tools/draw-pictures draws CE.png (the keyboard and every control piece), the About box's logos,
# the drag cursors 102 and 103 and the window icon 2002. Its output is committed below Resources/,
# where the resource list picks it up, so a change to a picture is a change to the tool: build the
# target "pictures" to draw them again, and the test PicturesAreUpToDate fails while the committed
# files are not what the tool draws.
#
# tools/render-guide turns docs/user-guide.md into the user guide PDF at build time; it is placed
# beside the program, where the Help menu looks for it.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SV_TOOLS_CAIRO REQUIRED IMPORTED_TARGET cairo cairo-png cairo-pdf pangocairo)

# The tools run during the build, built like everything else (with the sanitizers when they are
# on); fontconfig and Pango keep caches for the life of the process, which the leak check is told
# about, and run worker threads of their own, which ThreadSanitizer is told about.
set(SV_TOOL_ENVIRONMENT
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan-suppressions.txt:print_suppressions=0"
    "TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/tsan-suppressions.txt:halt_on_error=1:exitcode=66")

file(GLOB SV_DRAW_PICTURES_SOURCES CONFIGURE_DEPENDS
     "${PROJECT_SOURCE_DIR}/tools/draw-pictures/*.cpp")
list(REMOVE_ITEM SV_DRAW_PICTURES_SOURCES "${PROJECT_SOURCE_DIR}/tools/draw-pictures/main.cpp")
add_library(svpictures STATIC ${SV_DRAW_PICTURES_SOURCES})
target_include_directories(svpictures PUBLIC tools/draw-pictures)
target_link_libraries(svpictures PUBLIC PkgConfig::SV_TOOLS_CAIRO)
add_executable(draw-pictures tools/draw-pictures/main.cpp)
target_link_libraries(draw-pictures PRIVATE svpictures)

add_custom_target(pictures
    COMMAND ${CMAKE_COMMAND} -E env ${SV_TOOL_ENVIRONMENT}
            $<TARGET_FILE:draw-pictures> --write "${PROJECT_SOURCE_DIR}/Resources"
    COMMENT "Drawing the pictures into Resources/"
    VERBATIM)

if(SV_BUILD_TESTS AND NOT SV_FUZZ)
    add_test(NAME PicturesAreUpToDate
             COMMAND draw-pictures --check "${PROJECT_SOURCE_DIR}/Resources")
    set_tests_properties(PicturesAreUpToDate PROPERTIES LABELS unit
                         ENVIRONMENT "${SV_TOOL_ENVIRONMENT}")
endif()

# The user guide: typeset at build time, copied beside the program once the program's target
# exists, and installed beside it (cmake/Install.cmake).
add_library(svguide STATIC tools/render-guide/GuideSource.cpp tools/render-guide/GuideTypesetter.cpp)
target_include_directories(svguide PUBLIC tools/render-guide)
target_link_libraries(svguide PUBLIC PkgConfig::SV_TOOLS_CAIRO)
add_executable(render-guide tools/render-guide/main.cpp)
target_link_libraries(render-guide PRIVATE svguide)

set(SV_USER_GUIDE_NAME "Vedozi Duruzava Program Editor - User Guide - v1.0.pdf")
set(SV_USER_GUIDE "${PROJECT_BINARY_DIR}/${SV_USER_GUIDE_NAME}")
add_custom_command(OUTPUT "${SV_USER_GUIDE}"
    COMMAND ${CMAKE_COMMAND} -E env ${SV_TOOL_ENVIRONMENT}
            $<TARGET_FILE:render-guide> "${PROJECT_SOURCE_DIR}/docs/user-guide.md" "${SV_USER_GUIDE}"
    DEPENDS render-guide "${PROJECT_SOURCE_DIR}/docs/user-guide.md"
    COMMENT "Typesetting the user guide"
    VERBATIM)
add_custom_target(user-guide ALL DEPENDS "${SV_USER_GUIDE}")

# The program's target is made later in the configuration; once everything is read, the guide is
# copied into the program's folder, where the Help menu opens it.
function(sv_place_user_guide_beside_program)
    if(TARGET vedozi-duruzava-editor)
        add_custom_target(user-guide-beside-program ALL
            COMMAND ${CMAKE_COMMAND} -E copy_if_different "${SV_USER_GUIDE}"
                    "$<TARGET_FILE_DIR:vedozi-duruzava-editor>/${SV_USER_GUIDE_NAME}"
            DEPENDS "${SV_USER_GUIDE}"
            COMMENT "Placing the user guide beside the program"
            VERBATIM)
        add_dependencies(user-guide-beside-program user-guide vedozi-duruzava-editor)
    endif()
endfunction()
cmake_language(DEFER CALL sv_place_user_guide_beside_program)

if(SV_BUILD_TESTS AND NOT SV_FUZZ)
    find_package(GTest REQUIRED)
    include(GoogleTest)
    file(GLOB SV_TOOLS_TEST_SOURCES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tests/tools/*Test.cpp")
    add_executable(ToolsTests ${SV_TOOLS_TEST_SOURCES})
    target_link_libraries(ToolsTests PRIVATE svguide svpictures GTest::gtest GTest::gtest_main)
    gtest_discover_tests(ToolsTests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)
endif()
