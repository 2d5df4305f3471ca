# The one version, project(VERSION): the header made here is included by everything
# that shows it, and the release reads version.txt.
string(LENGTH "${PROJECT_VERSION_MINOR}" minor_digits)
string(LENGTH "${PROJECT_VERSION_TWEAK}" tweak_digits)
math(EXPR minor_pad "2 - ${minor_digits}")
math(EXPR tweak_pad "4 - ${tweak_digits}")
string(REPEAT "0" ${minor_pad} minor_zeros)
string(REPEAT "0" ${tweak_pad} tweak_zeros)
# The version record's string form: 1.1.0.9 is "1.01.0009".
set(TARNVALE_VERSION_RECORD_TEXT
    "${PROJECT_VERSION_MAJOR}.${minor_zeros}${PROJECT_VERSION_MINOR}.${tweak_zeros}${PROJECT_VERSION_TWEAK}")
set(TARNVALE_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/../resources/version.h.in
               ${TARNVALE_GENERATED_DIR}/version.h @ONLY)
file(WRITE ${TARNVALE_GENERATED_DIR}/version.txt "${PROJECT_VERSION}\n")
