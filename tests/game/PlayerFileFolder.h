// A fixture for the player's files: a fresh folder that XDG_CONFIG_HOME,
// XDG_DATA_HOME and HOME point into, the environment put back afterwards,
// and the small tools the settings and records tests share.
#pragma once

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

class PlayerFileFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kVariables) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? Saved{true, value} : Saved{false, ""});
        }
        static int counter = 0;
        root_ = std::filesystem::temp_directory_path() /
                ("kolvar_player_files_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
        ::setenv("HOME", (root_ / "home").c_str(), 1);
    }

    void TearDown() override
    {
        for (std::size_t i = 0; i < saved_.size(); ++i) {
            if (saved_[i].set)
                ::setenv(kVariables[i], saved_[i].value.c_str(), 1);
            else
                ::unsetenv(kVariables[i]);
        }
        std::error_code ignored;
        for (auto& entry : std::filesystem::recursive_directory_iterator(root_, ignored))
            if (entry.is_directory(ignored)) ::chmod(entry.path().c_str(), 0700);
        std::filesystem::remove_all(root_, ignored);
    }

    std::string Root() const { return root_.string(); }

    // Runs check where folder permissions hold. Root ignores them, so as root
    // (as in CI) the check runs in a child process as the unprivileged user
    // nobody, who is first given the test's folder; otherwise it runs here.
    // "" when the check passed, else what failed.
    std::string WherePermissionsHold(const std::function<std::string()>& check)
    {
        if (::geteuid() != 0) return check();
        int result[2];
        if (::pipe(result) != 0) return "no pipe for the child";
        const pid_t child = ::fork();
        if (child < 0) return "cannot fork";
        if (child == 0) {
            ::close(result[0]);
            const uid_t nobody = 65534;
            std::error_code ignored;
            bool handed = ::chown(root_.c_str(), nobody, nobody) == 0;
            for (auto& entry : std::filesystem::recursive_directory_iterator(root_, ignored))
                handed = ::lchown(entry.path().c_str(), nobody, nobody) == 0 && handed;
            std::string failed = "could not become nobody";
            if (handed && ::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0)
                failed = check();
            const ssize_t written = ::write(result[1], failed.data(), failed.size());
            ::_exit(written == ssize_t(failed.size()) ? 0 : 1);
        }
        ::close(result[1]);
        std::string failed;
        char chunk[256];
        ssize_t n;
        while ((n = ::read(result[0], chunk, sizeof(chunk))) > 0) failed.append(chunk, std::size_t(n));
        ::close(result[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return failed + " (the child did not finish)";
        return failed;
    }

public:
    // Tools the tests outside a fixture use too.

    static std::vector<std::uint8_t> ReadBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good()) << path;
    }

    static std::vector<std::uint8_t> Text(const std::string& text)
    {
        return std::vector<std::uint8_t>(text.begin(), text.end());
    }

    // The names in a folder, so a test sees a temporary file left behind.
    static std::set<std::string> Names(const std::string& folder)
    {
        std::set<std::string> names;
        std::error_code ignored;
        for (auto& entry : std::filesystem::directory_iterator(folder, ignored))
            names.insert(entry.path().filename().string());
        return names;
    }

    static bool Exists(const std::string& path)
    {
        struct stat st;
        return ::lstat(path.c_str(), &st) == 0;
    }

    static int Lines(const std::string& text)
    {
        int n = 0;
        for (char c : text) n += c == '\n';
        return n;
    }

    // The one stderr line of a file set aside: "<tag>: <file>: <reason ...>;
    // moved to <file>.bad, <fallback>".
    static void ExpectReportedOnce(const std::string& err, const std::string& tag, const std::string& file,
                                   const char* reason, const std::string& fallback)
    {
        EXPECT_EQ(Lines(err), 1) << err;
        EXPECT_EQ(err.rfind(tag + ": " + file + ": ", 0), 0u) << err;
        EXPECT_NE(err.find(reason), std::string::npos) << err;
        EXPECT_NE(err.find("; moved to " + file + ".bad, " + fallback + "\n"), std::string::npos) << err;
    }

    // CRC-32 one bit at a time, straight from the polynomial: an independent
    // check of the table-driven one the game uses.
    static std::uint32_t BitwiseCrc32(const std::uint8_t* bytes, std::size_t size)
    {
        std::uint32_t crc = 0xFFFFFFFFu;
        for (std::size_t i = 0; i < size; ++i) {
            crc ^= bytes[i];
            for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    }

    // Little helpers for writing files by hand, in the machine's byte order.
    static void Put(std::vector<std::uint8_t>& out, const void* value)
    {
        const std::uint8_t* p = static_cast<const std::uint8_t*>(value);
        out.insert(out.end(), p, p + 4);
    }
    static void PutInt(std::vector<std::uint8_t>& out, std::int32_t v) { Put(out, &v); }
    static void PutFloat(std::vector<std::uint8_t>& out, float v) { Put(out, &v); }
    static std::vector<std::uint8_t> Begin(const char* magic)
    {
        return std::vector<std::uint8_t>(magic, magic + std::strlen(magic));
    }
    static void PutCrc(std::vector<std::uint8_t>& out)
    {
        const std::uint32_t crc = BitwiseCrc32(out.data(), out.size());
        Put(out, &crc);
    }

    // The first bytes of a PNG image: a file of someone else's.
    static std::vector<std::uint8_t> PngStart()
    {
        return {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D, 'I', 'H', 'D', 'R', 0, 0, 1, 0};
    }

    // A sparse file of 100 MB: its size without writing its bytes.
    static void WriteHuge(const std::string& path)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary).put('K');
        std::filesystem::resize_file(path, 100u * 1024 * 1024);
    }

private:
    struct Saved {
        bool set;
        std::string value;
    };
    static constexpr const char* kVariables[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME"};
    std::vector<Saved> saved_;
    std::filesystem::path root_;
};
