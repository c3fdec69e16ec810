# The libraries an application programmer links, installed with their public headers, a CMake
# package (find_package(Kovet), target_link_libraries(app PRIVATE Kovet::Widgets)) and a
# pkg-config file; the command-line tool with its modules, manual page and completion.
include(CMakePackageConfigHelpers)

set(kovet_package_libraries
  kovet_storage:Storage kovet_document:Document kovet_platform:Platform kovet_qtcanvas:QtCanvas
  kovet_display:Display kovet_svg:Svg kovet_print:Print kovet_widgets:Widgets)
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
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)

set(kovet_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Kovet)
install(EXPORT KovetTargets NAMESPACE Kovet:: DESTINATION ${kovet_cmake_dir} COMPONENT Development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KovetConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KovetConfig.cmake INSTALL_DESTINATION ${kovet_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KovetConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KovetConfig.cmake ${PROJECT_BINARY_DIR}/KovetConfigVersion.cmake
  DESTINATION ${kovet_cmake_dir} COMPONENT Development)

# pkg-config: the libraries in link order, each after those that use it. The prefix is found
# from the file's own place, so the same file serves any prefix a package installs to.
file(RELATIVE_PATH kovet_pc_to_prefix /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" kovet_pc_to_prefix "${kovet_pc_to_prefix}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/kovet.pc.in ${PROJECT_BINARY_DIR}/kovet.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kovet.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)

install(FILES ${PROJECT_SOURCE_DIR}/docs/kovet.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/scripts/completion/kovet DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# The form file type and the designer on the desktop, for every user; the designer also
# registers them for its user at each start (FileTypeRegistration.h).
install(FILES ${PROJECT_SOURCE_DIR}/data/kovet-form.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/data/kovet-designer.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/kovet-designer.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/application-x-kovet-form.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
