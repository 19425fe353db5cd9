#pragma once
// Deleting a file only as it was compared with its copy.
#include <string>

// Failed: compared equal, and could not be deleted; Unreadable: could not be read to compare (a
// program holds it without sharing reads); CopyUnreadable: the copy could not be read to compare;
// Gone: nothing stood at `path` to delete (another program removed it).
enum class VerifiedDelete { Deleted, Differs, Failed, Unreadable, CopyUnreadable, Gone };

// Deletes `path` when its bytes equal those of `copy` (Differs, and nothing deleted, otherwise or
// when the copy is not there). One handle compares and deletes, and lets nobody write the file in
// between, so what was compared is what goes. A read-only file goes too; it keeps its attribute
// when it cannot be deleted after all (Failed).
VerifiedDelete DeleteFileIfSameAs(const std::wstring& path, const std::wstring& copy);
