# cmake -DLIBRARY=name -DFOLDER=dir -DWINDOW_FOLDERS=a,b,... -P window_free_scan.cmake
#
# Fails, naming each line, when a source or header below FOLDER includes a
# header of one of the window folders (paths from the source root, such as
# ui or editor/app). Run by the build for every window-free library (see
# window_free.cmake).

string(REPLACE "," ";" window_folders "${WINDOW_FOLDERS}")
file(GLOB_RECURSE files "${FOLDER}/*.h" "${FOLDER}/*.cpp")
set(offending "")
foreach(file IN LISTS files)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
    foreach(folder IN LISTS window_folders)
      string(FIND "${header}" "${folder}/" at)
      if(at EQUAL 0)
        string(APPEND offending "\n  ${file}: #include \"${header}\"")
      endif()
    endforeach()
  endforeach()
endforeach()
if(offending)
  message(FATAL_ERROR "${LIBRARY} is free of windows, yet includes window code:${offending}\n"
    "Window code goes to common_ui/ or a program's app folder.")
endif()
