# Installation and packages of the Win32 builds: the three programs side by
# side with the help file. Each build has its own rules and generators; the
# shared package facts are set here, from the one version.
set(CPACK_PACKAGE_NAME "Filvane")
set(CPACK_PACKAGE_VENDOR "QuindarSoft")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Shared-folder monitor with a NetBIOS host scanner and a ping tool")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(FILVANE_TARGET STREQUAL "linux")
  include(${CMAKE_CURRENT_LIST_DIR}/package_linux.cmake)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/package_windows.cmake)
endif()
include(CPack)
