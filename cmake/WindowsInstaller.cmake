# The Windows installer, ipo-terminal-setup.exe, made with NSIS (Debian's nsis): the terminal,
# the framework DLLs, the plug-in, the companion when it is built, and the sample terms file.
find_program(IPO_MAKENSIS makensis REQUIRED)
set(IPO_INSTALLER ${CMAKE_BINARY_DIR}/ipo-terminal-setup.exe)
set(nsis_script ${PROJECT_SOURCE_DIR}/packaging/windows/ipo-terminal.nsi)
set(nsis_defines
  -DVERSION=${PROJECT_VERSION}
  -DOUT_FILE=${IPO_INSTALLER}
  -DTERMINAL=$<TARGET_FILE:ipo-terminal>
  -DFRAMEWORK_CORE=$<TARGET_FILE:ipofw>
  -DFRAMEWORK_WIN32=$<TARGET_FILE:ipofw_win32>
  -DPLUGIN=$<TARGET_FILE:QuorIPO64>
  -DTERMS=${PROJECT_SOURCE_DIR}/packaging/IPOTermsAndConditions.html)
set(installed_targets ipo-terminal ipofw ipofw_win32 QuorIPO64)
if(TARGET corvex)
  list(APPEND nsis_defines -DCOMPANION=$<TARGET_FILE:corvex>)
  list(APPEND installed_targets corvex)
endif()
add_custom_command(
  OUTPUT ${IPO_INSTALLER}
  COMMAND ${IPO_MAKENSIS} -V2 ${nsis_defines} ${nsis_script}
  DEPENDS ${installed_targets} ${nsis_script} ${PROJECT_SOURCE_DIR}/packaging/IPOTermsAndConditions.html
  COMMENT "Making the installer ipo-terminal-setup.exe")
add_custom_target(ipo-terminal-setup ALL DEPENDS ${IPO_INSTALLER})
