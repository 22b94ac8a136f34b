#include "settings/ini_file_store.h"

namespace valbrix {

SettingsStore& systemSettingsStore() {
    static IniFileStore store;
    return store;
}

}  // namespace valbrix
