# The editor's pictures and its user guide, made by tools of ours over Cairo and Pango.
#
# tools/draw-pictures draws CE.png (the keyboard and every control piece), the About box's logos,
# the drag cursors 102 and 103 and the window icon 2002. Its output is committed below Resources/,
# where the resource list picks it up, so a change to a picture is a change to the tool: build the
# target "pictures" to draw them again, and the test PicturesAreUpToDate fails while the committed
# files are not what the tool draws.
#
# tools/render-guide turns docs/user-guide.md into the user guide PDF at build time; it is placed
# and installed beside the program, where the Help menu looks for it.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SV_TOOLS_CAIRO REQUIRED IMPORTED_TARGET cairo cairo-png cairo-pdf pangocairo)

# The tools run during the build; fontconfig and Pango keep caches for the life of the process,
# which a leak check at exit would report.
set(SV_TOOL_ENVIRONMENT ASAN_OPTIONS=detect_leaks=0)

file(GLOB SV_DRAW_PICTURES_SOURCES CONFIGURE_DEPENDS
     "${CMAKE_SOURCE_DIR}/tools/draw-pictures/*.cpp")
add_executable(draw-pictures ${SV_DRAW_PICTURES_SOURCES})
target_link_libraries(draw-pictures PRIVATE PkgConfig::SV_TOOLS_CAIRO)

add_custom_target(pictures
    COMMAND ${CMAKE_COMMAND} -E env ${SV_TOOL_ENVIRONMENT}
            $<TARGET_FILE:draw-pictures> --write "${CMAKE_SOURCE_DIR}/Resources"
    COMMENT "Drawing the pictures into Resources/"
    VERBATIM)

if(SV_BUILD_TESTS AND NOT SV_FUZZ)
    add_test(NAME PicturesAreUpToDate
             COMMAND draw-pictures --check "${CMAKE_SOURCE_DIR}/Resources")
    set_tests_properties(PicturesAreUpToDate PROPERTIES LABELS unit
                         ENVIRONMENT "${SV_TOOL_ENVIRONMENT}")
endif()
