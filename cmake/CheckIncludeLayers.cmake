# Checks that every include arrow points down the layers (run with cmake -P):
#
#   core    may include the core and the standard library; system headers only in
#           its platform_*.cpp files;
#   logic   may include the core and the window logic, never Qt;
#   qt      may include the core, the window logic, the Qt layer and Qt;
#   app and tools may include everything below them.
#
# Inside the window logic and the Qt layer, `framework` is the base and `shell` sits
# on it: neither includes a window's folder.
#
#   cmake -DSRC=<folder holding core/, logic/, qt/> -P cmake/CheckIncludeLayers.cmake
#
# Prints one line per wrong include and fails when there is any.
if(NOT DEFINED SRC)
  message(FATAL_ERROR "CheckIncludeLayers: SRC not given")
endif()

get_filename_component(SRC "${SRC}" ABSOLUTE)
set(_window_folders "masterdata|codetables|movements|duty|telematic|reportwindows")
set(_system_headers "unistd|fcntl|windows|io|direct|signal|pthread|dirent|sys/[a-z_]+|winbase|fileapi")
set(_problems 0)

# Files of `folder` whose name matches the optional fourth argument are let through.
function(_forbid folder pattern why)
  file(GLOB_RECURSE _files RELATIVE "${SRC}" "${SRC}/${folder}/*.h" "${SRC}/${folder}/*.cpp")
  foreach(_file IN LISTS _files)
    get_filename_component(_name "${_file}" NAME)
    file(STRINGS "${SRC}/${_file}" _includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(_line IN LISTS _includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*" "" _target "${_line}")
      string(REGEX MATCH "^[<\"][^>\"]*[>\"]" _target "${_target}")
      if(_target MATCHES "${pattern}")
        if(ARGC GREATER 3 AND _name MATCHES "${ARGV3}")
          continue()
        endif()
        message("${_file} includes ${_target}: ${why}")
        math(EXPR _problems "${_problems} + 1")
        set(_problems ${_problems} PARENT_SCOPE)
      endif()
    endforeach()
  endforeach()
endfunction()

_forbid(core "^\"(logic|qt|app|tools)/|^<Q" "the core includes no window logic, Qt or program header")
_forbid(core "^<(${_system_headers})(\\.h)?>" "system headers only in platform_*.cpp" "^platform_")
_forbid(logic "^\"(qt|app|tools)/|^<Q" "the window logic includes no Qt or program header")
_forbid(qt "^\"(app|tools)/" "the Qt layer includes no program or tool header")
_forbid(logic/framework "^\"(logic|qt)/(shell|${_window_folders})/" "the framework includes no shell or window")
_forbid(qt/framework "^\"(logic|qt)/(shell|${_window_folders})/" "the framework includes no shell or window")
_forbid(logic/shell "^\"(logic|qt)/(${_window_folders})/" "the shell includes no window")
_forbid(qt/shell "^\"(logic|qt)/(${_window_folders})/" "the shell includes no window")

if(_problems GREATER 0)
  message(FATAL_ERROR "${_problems} include(s) against the layers")
endif()
message("include layers: every arrow points down")
