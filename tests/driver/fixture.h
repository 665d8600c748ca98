// Common fixture of the integration tests: every test starts with no copy of
// Springdeck running, an empty settings store marked as installed (so that the
// setup dialog does not open by itself), and leaves the prefix that way.
#pragma once

#include <gtest/gtest.h>

#include "driver.h"
#include "resource.h"

class SpringdeckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver::StopSpringdeck();
        ResetState();
        driver::SetSettingDword("options", "installed", 1);
    }

    void TearDown() override
    {
        driver::StopSpringdeck(&springdeck);
        driver::KillProcessesNamed("recorder.exe");
        driver::DestroyFocusWindow();
        ResetState();
    }

    static void ResetState()
    {
        driver::ClearSettings();
        driver::DeleteValue(HKEY_LOCAL_MACHINE, driver::RunKeyPath, "Springdeck");
    }

    // Starts the program (or the copy at exe) and fails the test when its
    // window does not come up.
    HWND Start(const std::string &args = "", int show = SW_SHOWNORMAL, const std::string &currentDir = "",
               const std::string &exe = "")
    {
        HWND window = driver::StartSpringdeck(springdeck, args, show, currentDir, exe);
        EXPECT_NE(window, nullptr) << "springdeck.exe did not start";
        return window;
    }

    driver::Process springdeck;
};
