// A fresh directory under the system's temp folder, removed with everything
// in it when the object goes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class TestTempDir {
public:
    TestTempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kolvar-tools-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TestTempDir()
    {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TestTempDir(const TestTempDir&) = delete;
    TestTempDir& operator=(const TestTempDir&) = delete;

    bool Ok() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& rel) const { return path_ + "/" + rel; }

private:
    std::string path_;
};
