#pragma once

#include <boost/filesystem.hpp>

#include <fstream>
#include <string>

namespace testsupport {

/// A temporary directory, removed with everything in it when destroyed.
class TempDir {
public:
    TempDir() {
        namespace fs = boost::filesystem;
        const fs::path path =
            fs::temp_directory_path() / fs::unique_path("zul-test-%%%%-%%%%-%%%%");
        fs::create_directories(path);
        mPath = path.string();
    }
    ~TempDir() {
        boost::system::error_code ignored;
        boost::filesystem::remove_all(mPath, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return mPath; }
    /// The path of `name` in the directory.
    std::string file(const std::string& name) const { return mPath + "/" + name; }
    /// Writes `bytes` to `name` in the directory and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
        return file(name);
    }

private:
    std::string mPath;
};

} // namespace testsupport
