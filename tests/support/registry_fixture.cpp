#include "support/registry_fixture.h"

#include "settings/settings.h"

void DeleteSettingsKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, SETTINGS_KEY);
}
