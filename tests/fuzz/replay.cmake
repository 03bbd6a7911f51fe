# The fuzz targets in the normal build: each tests/fuzz/<name>_fuzzer.cpp with a small main that
# feeds it every file of tests/fuzz/corpus/<name>/ once, as the ctest test fuzz.<name>. Seconds,
# deterministic, and with the project's compiler (no libFuzzer needed); longer fuzzing stays in
# `make fuzz`. The targets use LLVM's FuzzedDataProvider.h, a header of its own.
file(GLOB _zorvel_fdp_dirs /usr/lib/llvm-*/lib/clang/*/include)
find_file(ZORVEL_FUZZED_DATA_PROVIDER fuzzer/FuzzedDataProvider.h PATHS ${_zorvel_fdp_dirs})
if(NOT ZORVEL_FUZZED_DATA_PROVIDER)
  message(WARNING "fuzzer/FuzzedDataProvider.h not found (Debian: libclang-rt-14-dev): "
                  "the fuzz corpora are not replayed")
  return()
endif()
# Copied alone: clang's folder beside it has its own stddef.h and the like, not for GCC.
set(_zorvel_fdp_dir ${CMAKE_BINARY_DIR}/fuzz_include)
configure_file(${ZORVEL_FUZZED_DATA_PROVIDER} ${_zorvel_fdp_dir}/fuzzer/FuzzedDataProvider.h
               COPYONLY)

file(GLOB ZORVEL_REPLAYED_FUZZERS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_fuzzer.cpp)
foreach(src ${ZORVEL_REPLAYED_FUZZERS})
  get_filename_component(name ${src} NAME_WE)
  string(REGEX REPLACE "_fuzzer$" "" name ${name})
  add_executable(fuzz_replay_${name} ${src} ${CMAKE_CURRENT_LIST_DIR}/replay_main.cpp)
  target_include_directories(fuzz_replay_${name} SYSTEM PRIVATE ${_zorvel_fdp_dir})
  target_include_directories(fuzz_replay_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(fuzz_replay_${name} PRIVATE zorvel_core)
  add_test(NAME fuzz.${name}
           COMMAND fuzz_replay_${name} ${CMAKE_CURRENT_LIST_DIR}/corpus/${name})
  set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 300)
endforeach()
