#pragma once
// A temporary directory removed with everything in it when the object goes.

#include <string>

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Creates parent folders as needed.
    void WriteFile(const std::string& relative, const std::string& content) const;
    void MakeDirs(const std::string& relative) const;
    std::string ReadFile(const std::string& relative) const;

private:
    std::string path_;
};

}  // namespace testsupport
