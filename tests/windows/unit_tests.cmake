# The Windows build of the unit tests: the key-wait tests drive a POSIX pseudo-terminal and
# have no Windows form (the Windows key wait is run by the golden cases under wine).
list(FILTER KIVO_UNIT_TEST_SOURCES EXCLUDE REGEX "/console_key_test\\.cpp$")
add_compile_options(-include ${CMAKE_CURRENT_LIST_DIR}/posix_compat.h)
