#include "trace/kivotrace.h"

int main(int argc, char** argv) { return kivo::trace::kivotraceMain(argc, argv); }
