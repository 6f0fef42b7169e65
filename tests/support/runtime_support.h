// Test helpers of the runtime services: a scratch folder that becomes the working folder.
#pragma once

#include <string>

class ScratchDir {
 public:
  ScratchDir();   // creates a fresh folder and changes into it
  ~ScratchDir();  // changes back and removes it
  const std::string& path() const { return m_path; }
  std::string file(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
  std::string m_old;
};

std::string ReadFileText(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
