# The clang sanitizer build: FENDRO_SANITIZE=ON compiles the core and the
# tests with AddressSanitizer and UndefinedBehaviorSanitizer (any report ends
# the program), instruments the core for libFuzzer and builds the fuzz
# targets of tests/fuzz against that same core. Benchmarks are left out.
#
#   CC=clang CXX=clang++ cmake -S . -B build-san -G Ninja -DFENDRO_SANITIZE=ON
#
# FENDRO_COVERAGE=ON instead builds the fuzz targets with source-based
# coverage (no sanitizers) for measuring what a corpus reaches.
option(FENDRO_SANITIZE "Clang build with ASan + UBSan, and the libFuzzer targets" OFF)
option(FENDRO_COVERAGE "Clang build of the fuzz targets with coverage mapping" OFF)

if(FENDRO_SANITIZE OR FENDRO_COVERAGE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "FENDRO_SANITIZE / FENDRO_COVERAGE need clang (CC=clang CXX=clang++)")
  endif()
  set(FENDRO_BUILD_BENCH OFF CACHE BOOL "Build the benchmarks" FORCE)
  # Quick to build and still fast to run; line tables keep reports readable.
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-O1> $<$<COMPILE_LANGUAGE:C,CXX>:-gline-tables-only>)
  if(FENDRO_SANITIZE)
    set(FENDRO_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all)
    add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:${FENDRO_SANITIZER_FLAGS}>")
    add_link_options(${FENDRO_SANITIZER_FLAGS})
    set(FENDRO_FUZZ_LINK -fsanitize=fuzzer)
    set(FENDRO_CORE_INSTRUMENT -fsanitize=fuzzer-no-link)
  else()
    set(FENDRO_FUZZ_LINK -fsanitize=fuzzer -fprofile-instr-generate -fcoverage-mapping)
    set(FENDRO_CORE_INSTRUMENT -fprofile-instr-generate -fcoverage-mapping)
    set(FENDRO_BUILD_TESTS OFF CACHE BOOL "Build the C++ tests" FORCE)
  endif()

  # The core is declared further down the top-level file: the fuzz targets
  # (one program per tests/fuzz/fuzz_<name>.cpp) are added once it is done.
  function(fendro_add_fuzz_targets)
    target_compile_options(fendro_core PRIVATE ${FENDRO_CORE_INSTRUMENT})
    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
    find_package(nlohmann_json REQUIRED)
    foreach(src ${sources})
      get_filename_component(name ${src} NAME_WE)
      add_executable(${name} ${src})
      set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
      target_link_libraries(${name} PRIVATE fendro_core nlohmann_json::nlohmann_json)
      target_compile_options(${name} PRIVATE ${FENDRO_FUZZ_LINK})
      target_link_options(${name} PRIVATE ${FENDRO_FUZZ_LINK})
    endforeach()
  endfunction()
  cmake_language(DEFER CALL fendro_add_fuzz_targets)
endif()
