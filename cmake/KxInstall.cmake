# Installation (cmake --install BUILD [--prefix P]): the programs, the two shared libraries with
# their headers, pkg-config and CMake package files, the shipped data, man pages and the desktop
# entry. Everything installed is found relative to where it is: the programs find the libraries
# through $ORIGIN, the pkg-config files their prefix through ${pcfiledir}, the CMake package its
# own place, and Harnview its shipped files in ../share/kxcx beside its folder.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KXCX_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/kxcx)

file(RELATIVE_PATH KXCX_BIN_TO_LIB ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
  ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
set_target_properties(Harnview kxcxctl PROPERTIES INSTALL_RPATH "$ORIGIN/${KXCX_BIN_TO_LIB}")
install(TARGETS Harnview kxcxctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(TARGETS kxCxLib kxUiLib EXPORT kxcxTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
file(GLOB KXCX_PUBLIC_HEADERS ${PROJECT_SOURCE_DIR}/kxcxlib/include/*.h)
file(GLOB KXUI_PUBLIC_HEADERS ${PROJECT_SOURCE_DIR}/uilib/include/*.h)
install(FILES ${KXCX_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kxcx)
install(FILES ${KXUI_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kxui)

# pkg-config: kxcxlib.pc and kxuilib.pc, their prefix found from where they are.
file(RELATIVE_PATH KXCX_PC_TO_PREFIX ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig
  ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" KXCX_PC_TO_PREFIX "${KXCX_PC_TO_PREFIX}")
foreach(pc kxcxlib kxuilib)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${pc}.pc.in ${CMAKE_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

# The CMake package: find_package(kxcx) gives kxcx::kxCxLib and kxcx::kxUiLib.
install(EXPORT kxcxTargets NAMESPACE kxcx:: DESTINATION ${KXCX_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/kxcxConfig.cmake.in
  ${CMAKE_BINARY_DIR}/kxcxConfig.cmake INSTALL_DESTINATION ${KXCX_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/kxcxConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/kxcxConfig.cmake ${CMAKE_BINARY_DIR}/kxcxConfigVersion.cmake
  DESTINATION ${KXCX_INSTALL_CMAKEDIR})

# The shipped files Harnview adds to a new root (viewer/app/ShippedFiles.h): the data folder's
# register file, firmware images and gamma tables, with the two logos beside them.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kxcx)
install(FILES ${HARNVIEW_WORKING_PICTURES} DESTINATION ${CMAKE_INSTALL_DATADIR}/kxcx)

install(FILES ${PROJECT_SOURCE_DIR}/docs/man/kxcxctl.1 ${PROJECT_SOURCE_DIR}/docs/man/Harnview.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/resources/harnview.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${HARNVIEW_PICTURE_DIR}/harnview.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
