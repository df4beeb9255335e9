# The viewer's pictures, included by viewer/CMakeLists.txt after harnview_core and Harnview.
#
# resourcegen draws them at build time: the compiled-in ones (and the desktop icon harnview.png)
# into viewer/resources/ of the build tree, next to a copy of Harnview.qrc, and the two logos the
# viewer loads from its working directory next to the program. rcc compiles the .qrc into an
# object library whose objects every program linking harnview_core links directly (a static
# library would drop them: nothing refers to rcc's initialiser).
set(HARNVIEW_PICTURE_DIR ${CMAKE_CURRENT_BINARY_DIR}/resources)
set(HARNVIEW_WORKING_DIR ${CMAKE_BINARY_DIR}/viewer)
set(HARNVIEW_RESOURCE_PICTURES
  400x400colorbar.png colour-bars-smpte-75-640x640.gif "NV Logo - Main UI.png" About-Button2.png
  recordbutton.png Record-Normal-icon.png HANDLE-UP.png HANDLE-DOWN.png Review_Images-Button.png
  ico113_24x24.png ico1025_24x24.png Photo-Button.png spot245.jpg harnview.png)
set(HARNVIEW_WORKING_PICTURES Nelvoralogo.png "NV Logo - Help UI.png")
list(TRANSFORM HARNVIEW_RESOURCE_PICTURES PREPEND ${HARNVIEW_PICTURE_DIR}/)
list(TRANSFORM HARNVIEW_WORKING_PICTURES PREPEND ${HARNVIEW_WORKING_DIR}/)

add_custom_command(
  OUTPUT ${HARNVIEW_RESOURCE_PICTURES} ${HARNVIEW_WORKING_PICTURES}
  COMMAND resourcegen ${HARNVIEW_PICTURE_DIR} ${HARNVIEW_WORKING_DIR}
  DEPENDS resourcegen
  COMMENT "Drawing the viewer's pictures"
  VERBATIM)
add_custom_target(harnview_pictures ALL
  DEPENDS ${HARNVIEW_RESOURCE_PICTURES} ${HARNVIEW_WORKING_PICTURES})

configure_file(${CMAKE_CURRENT_LIST_DIR}/Harnview.qrc ${HARNVIEW_PICTURE_DIR}/Harnview.qrc COPYONLY)
qt_add_resources(HARNVIEW_QRC_SOURCES ${HARNVIEW_PICTURE_DIR}/Harnview.qrc)
add_library(harnview_resources OBJECT ${HARNVIEW_QRC_SOURCES})
kx_target_defaults(harnview_resources)
target_link_libraries(harnview_resources PRIVATE Qt6::Core)
add_dependencies(harnview_resources harnview_pictures)
target_link_libraries(harnview_core INTERFACE harnview_resources
  "$<$<NOT:$<STREQUAL:$<TARGET_PROPERTY:TYPE>,STATIC_LIBRARY>>:$<TARGET_OBJECTS:harnview_resources>>")
