// Test main for the Windows-side suites: system error dialogs are suppressed so
// a failing test fails instead of waiting for a click, and the component object
// system is ready as in the installer.

#include <gtest/gtest.h>

#include "platform/win32/win32_shell.h"

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    velmoran::platform::win32::ComApartment apartment;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
