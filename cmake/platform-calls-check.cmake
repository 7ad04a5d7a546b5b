# Fails when a source file of DIR reaches the system directly outside its platform files:
# POSIX-only headers and calls belong in *_posix.cpp, Windows ones in *_win32.cpp. The rest
# must build against Qt alone, on both systems.
#   cmake -DDIR=editor -DSTAMP=file -P cmake/platform-calls-check.cmake
cmake_policy(SET CMP0057 NEW)
set(posix_only
  "#include[ \t]*<(unistd|spawn|termios|dirent|pwd|grp|poll|sys/wait|sys/mman|sys/socket|sys/ioctl)\\.h>"
  "[^A-Za-z0-9_.>:](fork|vfork|execv|execvp|execve|execl|execlp|posix_spawnp?|waitpid|readlink|getuid|geteuid|kill|mkfifo|mkdtemp|setenv|unsetenv)[ \t]*\\(")
set(windows_only
  "#include[ \t]*<(windows|shellapi|shlobj|winreg|conio|io|direct)\\.h>"
  "[^A-Za-z0-9_.>:](CreateProcess[AW]?|ShellExecute[AW]?|Reg[A-Z][A-Za-z]*Ex[AW]?|MessageBox[AW]|WaitForSingleObject|CloseHandle)[ \t]*\\(")

file(GLOB sources ${DIR}/*.cpp ${DIR}/*.h)
set(problems "")
foreach(source IN LISTS sources)
  get_filename_component(name ${source} NAME)
  set(rules)
  if(NOT name MATCHES "_posix\\.cpp$")
    list(APPEND rules ${posix_only})
  endif()
  if(NOT name MATCHES "_win32\\.cpp$")
    list(APPEND rules ${windows_only})
  endif()
  file(STRINGS ${source} lines)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "^[ \t]*//")
      continue()
    endif()
    foreach(rule IN LISTS rules)
      if(" ${line}" MATCHES "${rule}")
        string(APPEND problems "\n  ${source}:${number}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "system calls outside the platform files of ${DIR}:${problems}")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
