# Correctly rounded math for the core (src/fendro/util/math.*).
#
# exp/expm1/log/log1p/log2/log10/sin/cos come from LLVM's libc (Debian
# libllvmlibc-22-dev). Linking its archive whole would also pull its memcpy,
# printf, fma, ... so only the eight math objects are taken out of it, joined
# into one relocatable object, their entry points renamed to fendro_llvmlibc_*
# (so they can neither clash with nor be resolved from glibc's libm) and every
# other symbol made local. The objects live in the build directory only.
#
# atan/atan2/tanh (and the others on CPUs without AVX/FMA) come from MPFR.
# MPFR is linked dynamically: Debian's libmpfr.a keeps its thread-local state
# in the local-exec TLS model, which cannot go into a shared object.

set(FENDRO_LLVMLIBC_ARCHIVE "/usr/lib/llvm-22/lib/libllvmlibc.a" CACHE FILEPATH
    "LLVM libc static archive the correctly rounded exp/log/sin/cos come from")
if(NOT EXISTS "${FENDRO_LLVMLIBC_ARCHIVE}")
  message(FATAL_ERROR "correct math: ${FENDRO_LLVMLIBC_ARCHIVE} not found "
                      "(apt-get install libllvmlibc-22-dev, or set FENDRO_LLVMLIBC_ARCHIVE)")
endif()

find_path(MPFR_INCLUDE_DIR mpfr.h REQUIRED)
find_library(MPFR_LIBRARY NAMES mpfr REQUIRED)
find_library(GMP_LIBRARY NAMES gmp REQUIRED)

find_program(FENDRO_OBJCOPY NAMES objcopy ${CMAKE_OBJCOPY} REQUIRED)
find_program(FENDRO_LD NAMES ld ld.bfd REQUIRED)

set(FENDRO_LLVMLIBC_FUNCTIONS exp expm1 log log1p log2 log10 sin cos)
set(_cm_dir "${CMAKE_BINARY_DIR}/correct_math")
set(_cm_members "")
set(_cm_rename "")
set(_cm_keep "")
foreach(f ${FENDRO_LLVMLIBC_FUNCTIONS})
  list(APPEND _cm_members "${f}.cpp.o")
  string(APPEND _cm_rename "${f} fendro_llvmlibc_${f}\n")
  string(APPEND _cm_keep "fendro_llvmlibc_${f}\n")
endforeach()
file(MAKE_DIRECTORY "${_cm_dir}/members")
# Rewritten only when the text changes: a new time stamp would redo the object
# and relink every program after each configure.
foreach(_cm_file rename keep)
  set(_cm_path "${_cm_dir}/${_cm_file}.txt")
  set(_cm_old "")
  if(EXISTS "${_cm_path}")
    file(READ "${_cm_path}" _cm_old)
  endif()
  if(NOT _cm_old STREQUAL "${_cm_${_cm_file}}")
    file(WRITE "${_cm_path}" "${_cm_${_cm_file}}")
  endif()
endforeach()

set(FENDRO_LLVMLIBC_OBJECT "${_cm_dir}/llvmlibc_math.o")
add_custom_command(
  OUTPUT "${FENDRO_LLVMLIBC_OBJECT}"
  COMMAND ${CMAKE_AR} x "${FENDRO_LLVMLIBC_ARCHIVE}" ${_cm_members}
  COMMAND ${FENDRO_LD} -r -o "${_cm_dir}/joined.o" ${_cm_members}
  COMMAND ${FENDRO_OBJCOPY} --redefine-syms=${_cm_dir}/rename.txt
          --keep-global-symbols=${_cm_dir}/keep.txt
          "${_cm_dir}/joined.o" "${FENDRO_LLVMLIBC_OBJECT}"
  WORKING_DIRECTORY "${_cm_dir}/members"
  DEPENDS "${FENDRO_LLVMLIBC_ARCHIVE}" "${_cm_dir}/rename.txt" "${_cm_dir}/keep.txt"
  COMMENT "correct math: taking ${FENDRO_LLVMLIBC_FUNCTIONS} from ${FENDRO_LLVMLIBC_ARCHIVE}"
  VERBATIM)
set_source_files_properties("${FENDRO_LLVMLIBC_OBJECT}" PROPERTIES
  EXTERNAL_OBJECT TRUE GENERATED TRUE)

target_sources(fendro_core PRIVATE "${FENDRO_LLVMLIBC_OBJECT}")
target_include_directories(fendro_core SYSTEM PUBLIC "${MPFR_INCLUDE_DIR}")
target_link_libraries(fendro_core PUBLIC "${MPFR_LIBRARY}" "${GMP_LIBRARY}")
