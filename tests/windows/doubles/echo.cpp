// Stands in for POSIX echo: the arguments as the C runtime split them, one blank between.
#include <cstdio>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) std::printf(i > 1 ? " %s" : "%s", argv[i]);
    std::printf("\n");
    return 0;
}
