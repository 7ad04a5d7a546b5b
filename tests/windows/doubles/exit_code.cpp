// Stands in for the POSIX true and false that the golden cases start with run.
int main() { return KIVO_EXIT_CODE; }
