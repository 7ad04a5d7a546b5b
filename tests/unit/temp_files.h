#pragma once
// A fresh directory per test for the data file and file tool tests, with helpers to capture
// what a command printed and how it failed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>

#include "interpreter/errors.h"

namespace kivo::testing {

class TempFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "kivo-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string get(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    /// Runs `action` with standard output captured; returns what it printed.
    static std::string printed(const std::function<void()>& action) {
        std::fflush(stdout);
        ::testing::internal::CaptureStdout();
        action();
        std::fflush(stdout);
        return ::testing::internal::GetCapturedStdout();
    }

    /// Runs `action`, which must end the run through fail; returns the failure.
    static interpreter::ScriptFailure failure(const std::function<void()>& action, std::string* output = nullptr) {
        std::fflush(stdout);
        ::testing::internal::CaptureStdout();
        std::optional<interpreter::ScriptFailure> caught;
        try {
            action();
        } catch (const interpreter::ScriptFailure& f) {
            caught = f;
        }
        std::fflush(stdout);
        const std::string out = ::testing::internal::GetCapturedStdout();
        if (output) *output = out;
        if (!caught) {
            ADD_FAILURE() << "expected a fail, printed: " << out;
            return {};
        }
        return *caught;
    }

    std::filesystem::path dir_;
};

}  // namespace kivo::testing
