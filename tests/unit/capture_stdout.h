#pragma once
#include <unistd.h>

#include <cstdio>
#include <string>

namespace kivo::testing {

/// Collects everything written to standard output (stdio or the descriptor) while it lives.
class CaptureStdout {
public:
    CaptureStdout() {
        std::fflush(stdout);
        file_ = std::tmpfile();
        saved_ = dup(1);
        dup2(fileno(file_), 1);
    }
    ~CaptureStdout() {
        if (saved_ >= 0) text();
        std::fclose(file_);
    }
    /// Stops capturing and returns what was written.
    std::string text() {
        if (saved_ >= 0) {
            std::fflush(stdout);
            dup2(saved_, 1);
            close(saved_);
            saved_ = -1;
            std::string out;
            std::rewind(file_);
            char buffer[4096];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file_)) > 0;) out.append(buffer, n);
            captured_ = out;
        }
        return captured_;
    }

private:
    std::FILE* file_ = nullptr;
    int saved_ = -1;
    std::string captured_;
};

}  // namespace kivo::testing
