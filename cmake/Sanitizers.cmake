# Instrumented builds.
#
# TOLVA_SANITIZE: everything with AddressSanitizer and UndefinedBehaviorSanitizer;
# undefined behaviour aborts at its first report instead of printing and going on.
#
# TOLVA_FUZZ (clang only): everything with the coverage that libFuzzer steers by,
# plus both sanitizers; only the fuzz targets link the libFuzzer runtime
# (tests/fuzz), so the programs and libraries link as usual.
option(TOLVA_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TOLVA_FUZZ "Build the libFuzzer targets (clang only)" OFF)

if(TOLVA_SANITIZE AND TOLVA_FUZZ)
  message(FATAL_ERROR "TOLVA_SANITIZE and TOLVA_FUZZ are separate builds; choose one")
endif()

if(TOLVA_SANITIZE)
  # GCC leaves a float converted to an int that cannot hold it out of
  # "undefined"; clang's fuzzing build has it, and so does this one.
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

if(TOLVA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TOLVA_FUZZ needs clang: configure with CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
