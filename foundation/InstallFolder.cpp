#include "InstallFolder.h"

#include "SettingsKey.h"

void GetInstallFolder(std::string& folder) {
    settings::Key key(settings::kAppPathKey);
    if (!key.IsOpen()) {
        return;
    }
    // A Linux path may be longer than the 259 characters a Windows one could hold;
    // such a value is taken whole rather than cut into a wrong folder.
    folder = key.ReadString("Path");
}
