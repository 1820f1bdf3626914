# The resources compiled into the program: triples of type, name and file below Resources/.
# Images in Resources/Images/ are added on their own as "GDIPLUS" resources, named after the file
# upper-cased with '.' and ' ' turned into '_' (CE.png is CE_PNG), the way the skin refers to them.
# They go in as their pixels (Platform/Include/StoredPixels.h), which tools/store-pixels makes of
# each PNG at build time: the program shows them at start-up without inflating and unfiltering.
# The cursors and the icon below go in the same way.
set(SV_RESOURCE_LIST)

add_executable(store-pixels "${PROJECT_SOURCE_DIR}/tools/store-pixels/main.cpp"
               "${PROJECT_SOURCE_DIR}/Platform/Linux/StoredPixels.cpp"
               "${PROJECT_SOURCE_DIR}/Platform/Linux/PngDecoder.cpp")
target_include_directories(store-pixels PRIVATE "${PROJECT_SOURCE_DIR}/Platform/Include")
find_package(PNG REQUIRED)
target_link_libraries(store-pixels PRIVATE PNG::PNG)

# Stores the pixels of the PNG `image` as the resource `type` `name`.
function(sv_add_stored_picture type name image)
    get_filename_component(imageName "${image}" NAME)
    get_filename_component(folder "${image}" DIRECTORY)
    get_filename_component(folder "${folder}" NAME)
    set(stored "${CMAKE_CURRENT_BINARY_DIR}/StoredPictures/${folder}/${imageName}.pixels")
    add_custom_command(OUTPUT "${stored}"
                       COMMAND store-pixels "${image}" "${stored}"
                       DEPENDS store-pixels "${image}"
                       COMMENT "Storing the pixels of ${folder}/${imageName}"
                       VERBATIM)
    set(SV_RESOURCE_LIST ${SV_RESOURCE_LIST} ${type} "${name}" "${stored}" PARENT_SCOPE)
endfunction()

file(GLOB SV_RESOURCE_IMAGES CONFIGURE_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/Images/*.png")
foreach(image ${SV_RESOURCE_IMAGES})
    get_filename_component(imageName "${image}" NAME)
    string(TOUPPER "${imageName}" resourceName)
    string(REPLACE "." "_" resourceName "${resourceName}")
    string(REPLACE " " "_" resourceName "${resourceName}")
    sv_add_stored_picture(GDIPLUS "${resourceName}" "${image}")
endforeach()

# The skin (UTF-8) and the string tables (UTF-16 with a byte-order mark).
list(APPEND SV_RESOURCE_LIST
     SVXML APP_SKINS "${CMAKE_CURRENT_LIST_DIR}/Skins.xml"
     SVXML APP_STRINGS "${CMAKE_CURRENT_LIST_DIR}/StringTables.xml"
     SVXML FRAMEWORK_STRINGS "${CMAKE_CURRENT_LIST_DIR}/FrameworkStrings.xml")

# The drag cursors (hot spot 1 1) and the window icon, drawn by tools/draw-pictures, stored as
# their pixels too: the icon is set before the first frame.
sv_add_stored_picture(CURSOR 102 "${CMAKE_CURRENT_LIST_DIR}/Cursors/102.png")
sv_add_stored_picture(CURSOR 103 "${CMAKE_CURRENT_LIST_DIR}/Cursors/103.png")
sv_add_stored_picture(ICON 2002 "${CMAKE_CURRENT_LIST_DIR}/Icons/2002.png")
