#include "host_main.h"

#include "lenient_number.h"

namespace velumira {

std::string ArgumentTextOf(const char* commandLine) {
    const char* p = commandLine ? commandLine : "";
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

char ModeLetter(const std::string& argumentText) {
    if (argumentText.size() < 2) return 0;
    char c = argumentText[1];
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return c;
}

int32_t PreviewParentOf(const std::string& argumentText) {
    if (argumentText.size() < 4) return 0;
    return NearestInt32(LenientNumber(argumentText.substr(3)));
}

HostRun HostMain(const std::string& argumentText, HostPlatform& platform) {
    // Hidden windows count: the saver form is never shown.
    if (platform.topLevelWindowExists(kSaverCaption) ||
        platform.topLevelWindowExists(kDialogCaption))
        return HostRun::EndNow;

    const char mode = ModeLetter(argumentText);
    if (mode == 'P') {
        return platform.showPreview(PreviewParentOf(argumentText)) ? HostRun::KeepRunning
                                                                   : HostRun::EndNow;
    }

    platform.createWorkFolder();
    platform.loadSettings();
    if (!platform.rendererPresent()) {
        platform.messageBox(platform.texts().rendererMissing);
        return HostRun::EndNow;
    }
    if (mode == 'C') {
        platform.runSettingsDialog();
        return HostRun::EndNow;
    }
    if (!argumentText.empty() && mode != 'S') return HostRun::EndNow;
    if (mode == 'S') platform.hideCursor();
    return platform.loadSaverForm() ? HostRun::KeepRunning : HostRun::EndNow;
}

} // namespace velumira
