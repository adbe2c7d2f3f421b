# Lays out the portable folder (cmake -P, from windows/CMakeLists.txt): the programs,
# Qt's plugins, every DLL they load that Windows itself does not provide (found by
# reading their imports with objdump, as Windows' loader would), the other files
# and the help. Writes the uninstaller's list of the files it put there.
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER})
file(COPY ${PROGRAMS} ${FILES} DESTINATION ${FOLDER})
file(COPY ${HELP} DESTINATION ${FOLDER})
set(plugin_files)
foreach(plugin ${PLUGINS})
  get_filename_component(subfolder ${plugin} DIRECTORY)
  file(COPY ${PLUGIN_DIR}/${plugin} DESTINATION ${FOLDER}/${subfolder})
  list(APPEND plugin_files ${FOLDER}/${plugin})
endforeach()

set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${OBJDUMP})
file(GET_RUNTIME_DEPENDENCIES
  EXECUTABLES ${PROGRAMS}
  LIBRARIES ${plugin_files}
  DIRECTORIES ${SEARCH_DIRS}
  RESOLVED_DEPENDENCIES_VAR found
  UNRESOLVED_DEPENDENCIES_VAR windows_own)
foreach(library ${found})
  file(COPY ${library} DESTINATION ${FOLDER})
endforeach()
# What is left must be Windows' own libraries; anything else would be missing on
# the school's machine.
foreach(library ${windows_own})
  string(TOLOWER ${library} name)
  if(NOT name MATCHES "^(api-ms-win-.*|kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|comdlg32|comctl32|winmm|ws2_32|imm32|dwmapi|uxtheme|version|shlwapi|mpr|netapi32|userenv|wtsapi32|setupapi|d3d9|d3d11|d3d12|dxgi|dwrite|d2d1|msvcrt|ucrtbase|authz|secur32|crypt32|bcrypt|ntdll|winspool\\.drv|shcore|uiautomationcore|oleacc|rpcrt4|iphlpapi|dnsapi|mswsock|opengl32)(\\.dll)?$")
    message(FATAL_ERROR "La carpeta de Windows necesita ${library}, que no se ha encontrado")
  endif()
endforeach()

# The uninstaller removes exactly these files, and then the folders they leave empty.
file(GLOB_RECURSE laid_out RELATIVE ${FOLDER} ${FOLDER}/*)
list(SORT laid_out)
set(lines "")
set(folders "")
foreach(file ${laid_out})
  if(file STREQUAL "SENEMATERIAS.DBF")
    continue() # the school's own table, once it puts one there
  endif()
  string(REPLACE "/" "\\" windows_name "${file}")
  string(APPEND lines "  Delete \"$INSTDIR\\${windows_name}\"\n")
  get_filename_component(dir ${file} DIRECTORY)
  while(dir)
    list(APPEND folders ${dir})
    get_filename_component(dir ${dir} DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING) # deepest first
foreach(dir ${folders})
  string(REPLACE "/" "\\" windows_name "${dir}")
  string(APPEND lines "  RMDir \"$INSTDIR\\${windows_name}\"\n")
endforeach()
file(WRITE ${UNINSTALL_LIST} "${lines}")
