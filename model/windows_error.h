#pragma once

// The errno that stands for a Windows error code, so that failures read the
// same on every system (ERROR_FILE_NOT_FOUND is ENOENT, ERROR_DISK_FULL is
// ENOSPC, ...); EIO for codes without a counterpart.
namespace zorvek {

int ErrnoOfWindowsError(unsigned long error);

}  // namespace zorvek
