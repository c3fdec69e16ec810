# The libraries an application programmer links, installed with their public headers, a CMake
# package (find_package(Kovet), target_link_libraries(app PRIVATE Kovet::Widgets)) and a
# pkg-config file; the command-line tool with its modules, manual page and completion.
include(CMakePackageConfigHelpers)

set(kovet_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Kovet)

# Installs the libraries given as target:Name as the export set `set`, each as Kovet::Name.
function(kovet_install_libraries set)
  set(targets)
  foreach(entry ${ARGN})
    string(REPLACE ":" ";" parts ${entry})
    list(GET parts 0 target)
    list(GET parts 1 name)
    set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
    add_library(Kovet::${name} ALIAS ${target})
    list(APPEND targets ${target})
  endforeach()
  install(TARGETS ${targets} EXPORT ${set} ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
  install(EXPORT ${set} NAMESPACE Kovet:: DESTINATION ${kovet_cmake_dir} COMPONENT Development)
endfunction()

kovet_install_libraries(KovetTargets
  kovet_storage:Storage kovet_document:Document kovet_platform:Platform kovet_qtcanvas:QtCanvas
  kovet_display:Display kovet_svg:Svg kovet_print:Print kovet_widgets:Widgets)
# Fillable PDF forms (Kovet::Pdf) need qpdf, so they are a component of their own that only
# the programs asking for it need qpdf's development files for.
kovet_install_libraries(KovetPdfTargets kovet_pdfdata:PdfData kovet_pdfform:PdfForm kovet_pdfwidget:Pdf)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KovetConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KovetConfig.cmake INSTALL_DESTINATION ${kovet_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KovetConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KovetConfig.cmake ${PROJECT_BINARY_DIR}/KovetConfigVersion.cmake
  DESTINATION ${kovet_cmake_dir} COMPONENT Development)

# pkg-config: the libraries in link order, each after those that use it. The prefix is found
# from the file's own place, so the same file serves any prefix a package installs to.
file(RELATIVE_PATH kovet_pc_to_prefix /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" kovet_pc_to_prefix "${kovet_pc_to_prefix}")
foreach(pc kovet kovet-pdf)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in ${PROJECT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
endforeach()

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
