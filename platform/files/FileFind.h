// CFileFind: the existence test of the file finder. FindFile(path) is true when a
// file or folder exists at the path. The path is taken literally: '*' and '?' are
// characters of a Linux file name, not patterns.
//
// Thread: one object, one thread. Nothing is kept open between calls.
#pragma once

#include <string>

class CFileFind {
  public:
    bool FindFile(const std::string& path);
    // The path of the last successful FindFile, empty otherwise.
    const std::string& GetFilePath() const { return found_; }
    void Close() { found_.clear(); }

  private:
    std::string found_;
};
