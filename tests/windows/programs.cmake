# What Windows reads from the programs themselves: brenmoor.exe is a GUI
# program (no console window on a double-click), brenmoor-cli.exe a console
# one (cmd.exe waits for it and shows its output), neither imports a Qt DLL,
# and both carry the icon and the version Explorer shows (Qt takes the title bar's icon from the
# group named IDI_ICON1).
#   cmake -DOBJDUMP=... -DWINDRES=... -DVERSION=... -DWINDOW_PROGRAM=... -DCLI_PROGRAM=...
#         -P programs.cmake
foreach(check "${WINDOW_PROGRAM};Windows GUI" "${CLI_PROGRAM};Windows CUI")
  list(GET check 0 program)
  list(GET check 1 subsystem)
  execute_process(COMMAND "${OBJDUMP}" -p "${program}" OUTPUT_VARIABLE headers RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT headers MATCHES "Subsystem[ \t]+[0-9a-f]+[ \t]+\\(${subsystem}\\)")
    message(FATAL_ERROR "${program}: not a ${subsystem} program")
  endif()
  execute_process(COMMAND "${WINDRES}" -i "${program}" -O rc OUTPUT_VARIABLE resources
                  RESULT_VARIABLE status)
  string(REPLACE "." "\\." version_pattern "${VERSION}")
  if(NOT status EQUAL 0 OR NOT resources MATCHES "\"IDI_ICON1\" 14 /\\* RT_GROUP_ICON"
     OR NOT resources MATCHES "VALUE \"FileVersion\", \"${version_pattern}\""
     OR NOT resources MATCHES "VALUE \"ProductName\", \"Brenmoor\"")
    message(FATAL_ERROR "${program}: no icon or no version ${VERSION} in its resources")
  endif()
  # Qt comes only with the Qt module, loaded for the window and the PDF: a
  # program that imported it would load it for every convert.
  if(headers MATCHES "DLL Name: (Qt6[A-Za-z]*\\.dll)")
    message(FATAL_ERROR "${program}: imports ${CMAKE_MATCH_1}")
  endif()
  message(STATUS "${program}: ${subsystem}, icon, version ${VERSION}, no Qt")
endforeach()
