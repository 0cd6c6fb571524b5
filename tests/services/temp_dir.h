// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace linkmill::services::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The path of name inside the folder.
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Writes bytes to path, replacing it.
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace linkmill::services::testing
