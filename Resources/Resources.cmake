# The resources compiled into the program: triples of type, name and file below Resources/.
# Images in Resources/Images/ are added on their own as "GDIPLUS" resources, named after the file
# upper-cased with '.' and ' ' turned into '_' (CE.png is CE_PNG), the way the skin refers to them.
# They go in as their pixels (Platform/Include/StoredPixels.h), which tools/store-pixels makes of
# each PNG at build time: the program shows them at start-up without inflating and unfiltering.
set(SV_RESOURCE_LIST)

add_executable(store-pixels "${PROJECT_SOURCE_DIR}/tools/store-pixels/main.cpp"
               "${PROJECT_SOURCE_DIR}/Platform/Linux/StoredPixels.cpp"
               "${PROJECT_SOURCE_DIR}/Platform/Linux/PngDecoder.cpp")
target_include_directories(store-pixels PRIVATE "${PROJECT_SOURCE_DIR}/Platform/Include")
find_package(PNG REQUIRED)
target_link_libraries(store-pixels PRIVATE PNG::PNG)

file(GLOB SV_RESOURCE_IMAGES CONFIGURE_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/Images/*.png")
foreach(image ${SV_RESOURCE_IMAGES})
    get_filename_component(imageName "${image}" NAME)
    string(TOUPPER "${imageName}" resourceName)
    string(REPLACE "." "_" resourceName "${resourceName}")
    string(REPLACE " " "_" resourceName "${resourceName}")
    set(stored "${CMAKE_CURRENT_BINARY_DIR}/StoredPictures/${imageName}.pixels")
    add_custom_command(OUTPUT "${stored}"
                       COMMAND store-pixels "${image}" "${stored}"
                       DEPENDS store-pixels "${image}"
                       COMMENT "Storing the pixels of ${imageName}"
                       VERBATIM)
    list(APPEND SV_RESOURCE_LIST GDIPLUS "${resourceName}" "${stored}")
endforeach()

# The skin (UTF-8) and the string tables (UTF-16 with a byte-order mark).
list(APPEND SV_RESOURCE_LIST
     SVXML APP_SKINS "${CMAKE_CURRENT_LIST_DIR}/Skins.xml"
     SVXML APP_STRINGS "${CMAKE_CURRENT_LIST_DIR}/StringTables.xml"
     SVXML FRAMEWORK_STRINGS "${CMAKE_CURRENT_LIST_DIR}/FrameworkStrings.xml")

# The drag cursors (PNG, hot spot 1 1) and the window icon, drawn by tools/draw-pictures.
list(APPEND SV_RESOURCE_LIST
     CURSOR 102 "${CMAKE_CURRENT_LIST_DIR}/Cursors/102.png"
     CURSOR 103 "${CMAKE_CURRENT_LIST_DIR}/Cursors/103.png"
     ICON 2002 "${CMAKE_CURRENT_LIST_DIR}/Icons/2002.png")
