# The linux build's installation and Debian package.
#
# Component "programs": what runs. The three Winelib programs side by side in
# lib/filvane with the help file: Filvane starts its companions by bare name,
# and Wine looks in Filvane's own folder first. There a companion's NAME.exe
# is winegcc's start script beside NAME.exe.so; Wine runs it as a Unix
# program. The launchers in bin find the programs as ../lib/filvane.
# Component "desktop": the desktop entry, its icon, the man pages, copyright.
set(program_dir lib/filvane)
set(linux_packaging ${CMAKE_SOURCE_DIR}/packaging/linux)
set(linux_generated ${CMAKE_BINARY_DIR}/packaging)

add_custom_target(linux_programs DEPENDS Filvane brenvik Corvap)
install(PROGRAMS $<TARGET_FILE_DIR:Filvane>/Filvane.exe.so DESTINATION ${program_dir} COMPONENT programs)
foreach(companion brenvik Corvap)
  set(start_script $<TARGET_FILE_DIR:${companion}>/$<TARGET_FILE_BASE_NAME:${companion}>.exe)
  install(PROGRAMS ${start_script} ${start_script}.so DESTINATION ${program_dir} COMPONENT programs)
endforeach()
if(TARGET filvane_help)
  add_dependencies(linux_programs filvane_help)
  install(FILES ${CMAKE_BINARY_DIR}/help/filvane.chm DESTINATION ${program_dir} COMPONENT programs)
endif()
# Stripped for the package (cpack, or cmake --install --strip): the build keeps
# its debug information.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    file(GLOB winelib_files \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${program_dir}/*.exe.so\")
    foreach(winelib_file IN LISTS winelib_files)
      execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded \${winelib_file} COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()" COMPONENT programs)

# One launcher; brenvik and corvap are links to it and their man pages links
# to its page.
file(MAKE_DIRECTORY ${linux_generated})
foreach(companion brenvik corvap)
  file(CREATE_LINK filvane ${linux_generated}/${companion} SYMBOLIC)
  file(CREATE_LINK filvane.1.gz ${linux_generated}/${companion}.1.gz SYMBOLIC)
endforeach()
install(PROGRAMS ${linux_packaging}/filvane ${linux_generated}/brenvik ${linux_generated}/corvap DESTINATION bin
        COMPONENT programs)
# Sets up the Samba account Filvane logs on with; root runs it by hand.
install(PROGRAMS ${linux_packaging}/filvane-samba-account DESTINATION sbin COMPONENT programs)

add_custom_command(
  OUTPUT ${linux_generated}/filvane.1.gz
  COMMAND gzip -9n -c ${linux_packaging}/filvane.1 > ${linux_generated}/filvane.1.gz
  DEPENDS ${linux_packaging}/filvane.1
  COMMENT "Compressing the man page")
add_custom_command(
  OUTPUT ${linux_generated}/filvane.png
  COMMAND ${linux_packaging}/desktop_icon.sh ${CMAKE_BINARY_DIR}/shell/art/icon128.ico ${linux_generated}/filvane.png
  DEPENDS ${linux_packaging}/desktop_icon.sh ${CMAKE_BINARY_DIR}/shell/art/stamp
  COMMENT "Drawing the desktop icon")
add_custom_target(linux_desktop_files ALL DEPENDS ${linux_generated}/filvane.1.gz ${linux_generated}/filvane.png)
add_dependencies(linux_desktop_files filvane_art)
install(FILES ${linux_packaging}/filvane.desktop DESTINATION share/applications COMPONENT desktop)
install(FILES ${linux_generated}/filvane.png DESTINATION share/icons/hicolor/256x256/apps COMPONENT desktop)
install(FILES ${linux_generated}/filvane.1.gz ${linux_generated}/brenvik.1.gz ${linux_generated}/corvap.1.gz
        DESTINATION share/man/man1 COMPONENT desktop)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION share/doc/filvane RENAME copyright COMPONENT desktop)

# filvane_<version>_amd64.deb
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_NAME filvane)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_CONTACT "QuindarSoft <support@quindarsoft.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
# The summary (CPACK_PACKAGE_DESCRIPTION_SUMMARY) comes first.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Filvane watches the file sharing of the computer it runs on: the shares
its Samba server offers, the client sessions connected to it and the files
clients hold open. It refreshes these lists every second, keeps a daily
activity log, closes an open file on request and queries a past day's log.
Its companions are brenvik, a NetBIOS host scanner, and Corvap, a ping tool.
The programs are Win32 programs on Wine's libraries; their user interface is
in Simplified Chinese.")
set(CPACK_STRIP_FILES ON)
# Shared libraries the programs link come from dpkg-shlibdeps; what they only
# start as child processes (Wine, smbstatus, testparm, net) is listed here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "wine (>= 8.0~), wine64 (>= 8.0~), samba, samba-common-bin, locales")
# A CJK font for the texts; xmessage for the launcher's messages outside a
# terminal.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-zenhei, x11-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${linux_packaging}/postinst ${linux_packaging}/prerm ${linux_packaging}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
