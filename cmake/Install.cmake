# The libraries an application programmer links, installed with their headers and a package
# configuration: find_package(Kovet) and target_link_libraries(app PRIVATE Kovet::Widgets).
include(CMakePackageConfigHelpers)

set(kovet_package_libraries
  kovet_storage:Storage kovet_document:Document kovet_platform:Platform kovet_qtcanvas:QtCanvas
  kovet_display:Display kovet_widgets:Widgets)
set(kovet_package_targets)
foreach(entry ${kovet_package_libraries})
  string(REPLACE ":" ";" parts ${entry})
  list(GET parts 0 target)
  list(GET parts 1 name)
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
  add_library(Kovet::${name} ALIAS ${target})
  list(APPEND kovet_package_targets ${target})
endforeach()

install(TARGETS ${kovet_package_targets} EXPORT KovetTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kovet)
foreach(folder storage document platform display)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/${folder} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kovet
    FILES_MATCHING PATTERN "*.h")
endforeach()

set(kovet_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Kovet)
install(EXPORT KovetTargets NAMESPACE Kovet:: DESTINATION ${kovet_cmake_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KovetConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KovetConfig.cmake INSTALL_DESTINATION ${kovet_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KovetConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KovetConfig.cmake ${PROJECT_BINARY_DIR}/KovetConfigVersion.cmake
  DESTINATION ${kovet_cmake_dir})
