// A fresh folder under the system's temporary folder for one test, removed with everything in
// it when the test ends.
#pragma once

#include <string>

namespace svtest {

class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's absolute path, without a separator at the end.
    const std::string& Path() const { return mPath; }
    // The path of an entry of the folder: Path() + "/" + relative.
    std::string Join(const std::string& relative) const;

    // Writes a file below the folder (its parent folders must exist); fails the test when it
    // cannot.
    void WriteFile(const std::string& relative, const std::string& bytes) const;
    // The whole content of a file below the folder; empty when it cannot be read.
    std::string ReadFile(const std::string& relative) const;
    void MakeFolder(const std::string& relative) const;

private:
    std::string mPath;
};

} // namespace svtest
