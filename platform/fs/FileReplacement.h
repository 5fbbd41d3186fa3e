#pragma once
// Replacing a small file whole while other processes may read and replace it too (the settings
// hives, kestro.xml). A writer holds the file's lock (<file>.lock beside it) while it reads what
// is there, merges its changes and writes; it writes a temporary file of its own
// (<file>.tmp.<pid>) and renames it over the file. A reader, or a process killed at any moment,
// finds the old file or the new one, never a part of either, and no writer's rename takes away
// another one's temporary file.
#include <sys/types.h>

#include <string>

// An exclusive lock on File's lock file, held while the object lives. Without a lock file (a
// directory that cannot be written) it holds nothing: the write that follows fails anyway.
class TFileWriteLock {
  public:
    explicit TFileWriteLock(const std::string& File);
    ~TFileWriteLock();
    TFileWriteLock(const TFileWriteLock&) = delete;
    TFileWriteLock& operator=(const TFileWriteLock&) = delete;

  private:
    int FHandle = -1;
};

// Under File's lock: removes the temporary files of writers killed before their rename (only
// the holder of the lock writes one, so every one found then is left over).
void RemoveLeftoverTempFiles(const std::string& File);

// Writes Text to this process's temporary file beside File (permission bits Mode), syncs it and
// renames it over File. Writers that other processes may race take File's lock around it: the
// temporary name is only the process's own. False with errno set when a step failed; nothing is
// left behind.
bool ReplaceFileWhole(const std::string& File, const std::string& Text, mode_t Mode);
