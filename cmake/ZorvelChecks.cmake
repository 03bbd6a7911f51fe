# Compiler checks and sanitizers for every target the project builds, kept in one place.
#
#   ZORVEL_WERROR=ON    turns every warning into an error (the Makefile's configure does this)
#   ZORVEL_SANITIZE=ON  builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
#
# zorvel_checks_for_all_targets(), called at the end of the top-level CMakeLists, gives these
# flags to every target built from this tree, so a new library, test, tool or benchmark gets
# the same checks without an edit here.
option(ZORVEL_WERROR "Treat compiler warnings as errors" OFF)
option(ZORVEL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# -Wconversion catches narrowing of stored values (qsizetype to int, double to int pixel sizes,
# int64 database ids). -Wsign-conversion is left out: Qt's int sizes against the standard
# library's size_t would need a cast at nearly every container access, which hides more than
# it finds. Qt and GoogleTest headers come in through imported targets as system headers and
# stay quiet.
set(ZORVEL_WARNING_FLAGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion)
if(ZORVEL_WERROR)
  list(APPEND ZORVEL_WARNING_FLAGS -Werror)
endif()

set(ZORVEL_SANITIZE_FLAGS)
if(ZORVEL_SANITIZE)
  set(ZORVEL_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
endif()

# Files made by moc and rcc are not ours to fix; they build with warnings off.
function(_zorvel_quiet_generated target)
  get_target_property(_dir ${target} BINARY_DIR)
  get_target_property(_automoc ${target} AUTOMOC)
  if(_automoc)
    set_source_files_properties(${_dir}/${target}_autogen/mocs_compilation.cpp
      TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS "-w")
  endif()
endfunction()

function(_zorvel_targets_in dir out)
  get_property(_targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(_subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${_subdirs})
    _zorvel_targets_in(${sub} _more)
    list(APPEND _targets ${_more})
  endforeach()
  set(${out} ${_targets} PARENT_SCOPE)
endfunction()

function(zorvel_checks_for_all_targets)
  _zorvel_targets_in(${CMAKE_SOURCE_DIR} _all)
  foreach(t ${_all})
    get_target_property(_type ${t} TYPE)
    if(_type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      target_compile_options(${t} PRIVATE ${ZORVEL_WARNING_FLAGS} ${ZORVEL_SANITIZE_FLAGS})
      target_link_options(${t} PRIVATE ${ZORVEL_SANITIZE_FLAGS})
      _zorvel_quiet_generated(${t})
    endif()
  endforeach()
endfunction()
