# Install rules and the CMake and pkg-config packages.
# The one version number is project(VERSION) in the top-level CMakeLists.txt.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

if(NOT WIN32)
  set_target_properties(glimfx PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
endif()

target_include_directories(glimfx INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

set(glimfx_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/glimfx)
install(TARGETS glimfx EXPORT glimfxTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/blend/glimfx.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(WIN32)
  # Beside the MinGW import library: glimfx.lib for MSVC-style linkers, and
  # the declarations for VB6 and VBA hosts next to the C header.
  install(FILES ${PROJECT_BINARY_DIR}/blend/glimfx.def ${GLIMFX_MSVC_IMPORT_LIB}
    DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/blend/glimfx.bas DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/glimfx)

install(EXPORT glimfxTargets NAMESPACE glimfx:: DESTINATION ${glimfx_cmake_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/glimfxConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/glimfxConfig.cmake INSTALL_DESTINATION ${glimfx_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/glimfxConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/glimfxConfig.cmake
  ${PROJECT_BINARY_DIR}/package/glimfxConfigVersion.cmake DESTINATION ${glimfx_cmake_dir})

file(RELATIVE_PATH GLIMFX_PC_PREFIX_FROM_PCDIR
  /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${PROJECT_SOURCE_DIR}/cmake/glimfx.pc.in ${PROJECT_BINARY_DIR}/package/glimfx.pc
  @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/package/glimfx.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
