# The windows build's installation, zip and installer:
#   cmake --build --preset windows --target package
# writes Filvane-<version>-win64.zip and Filvane-<version>-setup.exe into
# build/windows/packages. Both hold the same flat folder: the three programs
# side by side with the help file, a read-me and the licence, because Filvane
# finds its companions and writes its logs in its current directory.

# The read-me and the licence are read in Notepad: CR LF line ends.
configure_file(${CMAKE_SOURCE_DIR}/help/README.txt.in ${CMAKE_BINARY_DIR}/package/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/package/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

install(TARGETS Filvane brenvik Corvap RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/help/filvane.chm ${CMAKE_BINARY_DIR}/package/README.txt
              ${CMAKE_BINARY_DIR}/package/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME "Filvane-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Filvane")
set(CPACK_NSIS_PACKAGE_NAME "Filvane ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Filvane ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON ${CMAKE_BINARY_DIR}/shell/art/icon128.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_BINARY_DIR}/shell/art/icon128.ico)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# Start-menu entries: file in the install folder, then the entry's name.
set(CPACK_NSIS_MENU_LINKS "Filvane.exe" "Filvane" "brenvik.exe" "brenvik 主机检测" "corvap.exe" "Corvap Ping"
                          "filvane.chm" "Filvane 使用说明")
# Our own script: Unicode and Chinese, 64-bit folders and registry view, and
# an uninstaller that says what it leaves behind.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/windows_installer)

# The installer's own name: CPack gives every generator the same file name.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/package/generator_names.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} [[
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "Filvane-${CPACK_PACKAGE_VERSION}-setup")
endif()
]])
