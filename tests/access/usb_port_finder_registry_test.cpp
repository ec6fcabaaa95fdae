// The USB reader's port found through registry keys the test writes: the
// `usbser` list and the device keys, under a control set of the test's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "access/usb_port_finder.h"

namespace zorvek {
namespace {

using namespace std::string_literals;
using Ports = std::vector<std::string>;

// A device's key as the system writes it.
struct Device {
    std::wstring instance;
    std::wstring hardwareId;  // strings separated by NULs
    std::wstring friendlyName;
};

class UsbPortFinderRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        m_controlSet = L"Software\\ZorvekTest\\" + std::to_wstring(random());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_controlSet.c_str()); }

    // Sets a value in a key below the control set, creating the key.
    void Set(const std::wstring& key, const wchar_t* name, DWORD type, const void* data,
             DWORD size) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (m_controlSet + L"\\" + key).c_str(), 0,
                                  nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(handle);
    }
    // A string, or with REG_MULTI_SZ strings separated by NULs.
    void SetText(const std::wstring& key, const wchar_t* name, DWORD type, std::wstring text) {
        if (type == REG_MULTI_SZ) text.push_back(L'\0');
        Set(key, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void SetCount(DWORD count) { Set(kList, L"Count", REG_DWORD, &count, sizeof(count)); }

    // Lists a device of the serial driver at `index`.
    void Plug(DWORD index, const Device& device) {
        SetText(kList, std::to_wstring(index).c_str(), REG_SZ, device.instance);
        SetText(L"Enum\\" + device.instance, L"HardwareID", REG_MULTI_SZ, device.hardwareId);
        SetText(L"Enum\\" + device.instance, L"FriendlyName", REG_SZ, device.friendlyName);
    }

    UsbPortFinder Finder() const { return UsbPortFinder({m_controlSet, L"\\\\.\\"}); }

    static inline const std::wstring kList = L"Services\\usbser\\Enum";
    std::wstring m_controlSet;
};

const Device kModem{L"USB\\VID_0001&PID_0002\\1",
                    L"USB\\VID_0001&PID_0002&REV_0100\0USB\\VID_0001&PID_0002"s, L"Modem (COM3)"};
const Device kReader{L"USB\\VID_03EB&PID_6119\\5&2F&0&2", L"USB\\VID_03EB&PID_6119&REV_0001",
                     L"USB Serial Port (COM12)"};

TEST_F(UsbPortFinderRegistry, FindsTheReaderByItsRevisionAmongOtherDevices) {
    SetCount(2);
    Plug(0, kModem);
    Plug(1, kReader);
    EXPECT_EQ(Finder().FindPorts(1), Ports{"COM12"});
    EXPECT_EQ(Finder().FindPorts(0x0100), Ports{"COM3"});
    EXPECT_EQ(Finder().FindPorts(2), Ports{});
    EXPECT_EQ(Finder().FindPorts(0), Ports{});
    // Ports above 9 need the device namespace, which is the default.
    EXPECT_EQ(UsbPortFinder().DeviceNode("COM12").wstring(), L"\\\\.\\COM12");
}

TEST_F(UsbPortFinderRegistry, SkipsWhatTheListDoesNotHold) {
    // No service key at all, then a count of 0 with a device listed anyway.
    EXPECT_EQ(Finder().FindPorts(1), Ports{});
    SetCount(0);
    Plug(0, kReader);
    EXPECT_EQ(Finder().FindPorts(1), Ports{});
    // A listed instance without a device key, and a match without a port
    // number, are passed over for the next entry; a count past the list's
    // end ends with the list.
    SetCount(0xFFFFFFFF);
    SetText(kList, L"0", REG_SZ, L"USB\\VID_9999&PID_9999\\gone");
    Plug(1,
         {L"USB\\VID_03EB&PID_6119\\noport", L"USB\\VID_03EB&PID_6119&REV_0001", L"Reader (COMx)"});
    Plug(2, kReader);
    EXPECT_EQ(Finder().FindPorts(1), Ports{"COM12"});
}

}  // namespace
}  // namespace zorvek
