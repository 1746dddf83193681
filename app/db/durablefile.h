#pragma once

#include <QString>

// File steps that are on storage when they return, done through vnq::fileCalls(). Each returns
// 0 on success or the errno of the call that failed.
namespace vnq {

// Removes a file; a file that is not there counts as removed. Not synced: a later
// syncDirectoryOf of the same directory makes the removal durable.
int removeFileIfPresent(const QString& path);

// Flushes the directory that holds path, so its created, removed and renamed entries survive
// a power loss.
int syncDirectoryOf(const QString& path);

// Copies from to to (created or truncated), syncs the copy and then its directory.
int copyFileDurably(const QString& from, const QString& to);

// Renames from over to and syncs the directory (both must be in the same one).
int renameDurably(const QString& from, const QString& to);

}  // namespace vnq
