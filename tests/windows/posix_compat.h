#pragma once
// The few POSIX calls that the unit tests use for scaffolding (temporary directories, pipes),
// on top of the Windows C runtime. Force-included into the Windows build of the unit tests.
#ifdef _WIN32
#include <direct.h>
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstring>

inline char* mkdtemp(char* pattern) {
    if (_mktemp_s(pattern, std::strlen(pattern) + 1) != 0) return nullptr;
    return _mkdir(pattern) == 0 ? pattern : nullptr;
}

inline int pipe(int ends[2]) { return _pipe(ends, 1 << 16, _O_BINARY); }
#endif
