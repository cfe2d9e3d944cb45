// Tests that touch the settings key start and end without it.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

void DeleteSettingsKey();

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }
};
