// Replacing a store (or any file the user cannot afford to lose) only when its new
// content is complete.
//
// The new content is written into a fresh temporary file beside the target, in the
// same folder ("<target>.new-XXXXXX", mode 0600), flushed to the disk, and renamed over
// the target in one step. Until that rename the old file is untouched; after it the new
// one is complete. A crash, a full disk or a failing write at any point leaves the old
// file or the new one, whole. A failure removes the temporary file; only a crash of the
// process itself can leave one behind (for a store, it holds enciphered bytes only).
//
// Thread: one object, one thread. Not for concurrent writers of one target: the last
// rename wins, as with any save.
#pragma once

#include <string>

class SafeReplace {
  public:
    // Creates the empty temporary file. Throws CFileException when the folder of
    // target takes no new file (missing, not writable).
    explicit SafeReplace(std::string target);
    // Removes the temporary file unless Commit succeeded; never throws.
    ~SafeReplace();
    SafeReplace(const SafeReplace&) = delete;
    SafeReplace& operator=(const SafeReplace&) = delete;

    // Where to write the new content (by path; the file exists and is empty).
    const std::string& TempPath() const { return temp_; }
    const std::string& Target() const { return target_; }

    // Flushes the temporary file to the disk and renames it over the target. Throws
    // CFileException; the target is then as it was before.
    void Commit();

  private:
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool committed_ = false;
};
