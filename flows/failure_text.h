#pragma once

#include <string>

#include "model/transfer_result.h"

namespace zorvek {

// Why a transfer or a file write failed, in a few Russian words for the
// user ("нет места на диске", "прибор не отвечает"); cp1251.
std::string FailureText(const TransferResult& result);

// Why a passport file (Info.ini) was not read; cp1251. A file over
// kInfoIniLimit is named as what it is: no passport file.
std::string PassportFileFailureText(const TransferResult& result);
// The file named is not there at all (as opposed to unreadable).
bool IsMissingFile(const TransferResult& result);

}  // namespace zorvek
