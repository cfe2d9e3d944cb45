// The installer's own action, carried inside the package: forgetting the user's settings when
// an uninstall is asked to (REMOVESETTINGS=1).
#include <windows.h>

#include <msiquery.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "settings/settings.h"

// Deletes the settings key and, once nothing else is under it, the publisher's key. A key that
// is already gone is no failure: there is nothing left to forget.
extern "C" __declspec(dllexport) UINT __stdcall ForgetSettings(MSIHANDLE) {
    constexpr std::string_view ascii = SETTINGS_KEY;
    std::array<wchar_t, ascii.size() + 1> key{};
    std::copy(ascii.begin(), ascii.end(), key.begin());
    RegDeleteTreeW(HKEY_CURRENT_USER, key.data());
    key[ascii.rfind('\\')] = L'\0';
    RegDeleteKeyW(HKEY_CURRENT_USER, key.data());
    return ERROR_SUCCESS;
}
