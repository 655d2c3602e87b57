# Keeps the window-free libraries free of the framework, by construction:
#
#   norpa_window_free(LIBRARIES lib... PROGRAMS program...)
#
# Configuring fails when one of the libraries or programs links ui, directly
# or through another library (the message names the chain). Building fails
# when a source or header in a library's folder includes a header of ui/ or
# of any folder whose targets link ui (common_ui/, the programs' app
# folders, ...): a step before the library's own compiles scans its folder
# again whenever a file in it changes. Call it once every target exists.

# The project's targets made in dir and in every folder below it.
function(_norpa_targets_below dir out)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _norpa_targets_below("${sub}" below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# How target reaches ui through what it links, as "target -> ... -> ui";
# empty when it does not.
function(_norpa_ui_chain target out)
  set(${out} "" PARENT_SCOPE)
  if(target STREQUAL "ui")
    set(${out} "ui" PARENT_SCOPE)
    return()
  endif()
  set(seen ${target})
  set(parents "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    get_target_property(type ${current} TYPE)
    if(type STREQUAL "UTILITY")
      continue()
    endif()
    get_target_property(direct ${current} LINK_LIBRARIES)
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    foreach(lib IN LISTS direct interface)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
      if(NOT TARGET "${lib}" OR lib IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${lib})
      list(APPEND parents ${current})
      if(lib STREQUAL "ui")
        # Walk back from ui to target through each one's first linker.
        set(chain "ui")
        set(step ${lib})
        while(NOT step STREQUAL target)
          list(FIND seen ${step} at)
          math(EXPR at "${at} - 1")
          list(GET parents ${at} step)
          set(chain "${step} -> ${chain}")
        endwhile()
        set(${out} "${chain}" PARENT_SCOPE)
        return()
      endif()
      list(APPEND queue ${lib})
    endforeach()
  endwhile()
endfunction()

function(norpa_window_free)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "LIBRARIES;PROGRAMS")

  foreach(target IN LISTS arg_LIBRARIES arg_PROGRAMS)
    _norpa_ui_chain(${target} chain)
    if(chain)
      message(FATAL_ERROR "${target} is free of windows, yet links the framework: ${chain}. "
        "Window code goes to common_ui/ or a program's app folder.")
    endif()
  endforeach()

  # The folders of window code: those of ui and of every target linking it.
  _norpa_targets_below("${CMAKE_SOURCE_DIR}" everything)
  set(window_folders "")
  foreach(target IN LISTS everything)
    _norpa_ui_chain(${target} chain)
    if(chain)
      get_target_property(dir ${target} SOURCE_DIR)
      file(RELATIVE_PATH dir "${CMAKE_SOURCE_DIR}" "${dir}")
      if(NOT dir MATCHES "^\\.\\." AND NOT dir IN_LIST window_folders)
        list(APPEND window_folders "${dir}")
      endif()
    endif()
  endforeach()
  string(REPLACE ";" "," window_folders "${window_folders}")

  set(scan "${CMAKE_SOURCE_DIR}/cmake/window_free_scan.cmake")
  foreach(library IN LISTS arg_LIBRARIES)
    get_target_property(dir ${library} SOURCE_DIR)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS "${dir}/*.h" "${dir}/*.cpp")
    set(stamp "${CMAKE_BINARY_DIR}/window_free/${library}.stamp")
    add_custom_command(OUTPUT "${stamp}"
      COMMAND "${CMAKE_COMMAND}" -DLIBRARY=${library} -DFOLDER=${dir} -DWINDOW_FOLDERS=${window_folders}
              -P "${scan}"
      COMMAND "${CMAKE_COMMAND}" -E touch "${stamp}"
      DEPENDS ${files} "${scan}"
      COMMENT "Checking that ${library} includes no window code"
      VERBATIM)
    add_custom_target(${library}_window_free DEPENDS "${stamp}")
    add_dependencies(${library} ${library}_window_free)
  endforeach()
endfunction()
