#pragma once

#include <cstdint>
#include <string_view>

namespace zorvek {

// What Windows' device keys say about a USB serial device, read from the
// texts of two registry values. Both tolerate anything a key may hold.

// The device revision in a "HardwareID" value (its strings as one text, in
// any letter case): the four hexadecimal digits after its first "&REV_",
// so "USB\VID_1234&PID_5678&REV_0001" gives 1. 0 when there is no "&REV_"
// or the four characters after the first one are not hexadecimal digits.
std::uint16_t RevisionOfHardwareId(std::string_view hardwareId);

// The COM number in a "FriendlyName" value ("USB Serial Port (COM12)" gives
// 12): the decimal number between the first "(COM" and the ")" after it.
// 0 when there is none, or it is not a number from 1 to 255.
int ComNumberOfFriendlyName(std::string_view friendlyName);

}  // namespace zorvek
