#pragma once

#include "texts/texts.h"

#include <cstdint>
#include <string>

namespace velumira {

constexpr const char kSaverCaption[] = "Velumira_Main";
constexpr const char kDialogCaption[] = "<Velumira>";

// The host's command line without the program's own path (quoted or not) and
// without the blanks in front of the arguments.
std::string ArgumentTextOf(const char* commandLine);

// Upper-cased second character of the argument text, or 0 when it is shorter.
char ModeLetter(const std::string& argumentText);

// Handle of the preview area, read from the fourth character on.
int32_t PreviewParentOf(const std::string& argumentText);

// What HostMain needs from the platform; the Windows side implements it, the
// tests record it.
class HostPlatform {
  public:
    virtual ~HostPlatform() = default;
    virtual bool topLevelWindowExists(const char* title) = 0;
    // False when the preview window could not be made.
    virtual bool showPreview(int32_t parent) = 0;
    virtual void createWorkFolder() = 0;
    virtual void loadSettings() = 0;
    virtual bool rendererPresent() = 0;
    // The texts of the user's language; messageBox takes one of them (UTF-8).
    virtual const Texts& texts() = 0;
    virtual void messageBox(const char* text) = 0;
    virtual void runSettingsDialog() = 0;
    virtual void hideCursor() = 0;
    // False when the saver form could not be made.
    virtual bool loadSaverForm() = 0;
};

enum class HostRun {
    EndNow,     // nothing is loaded: the process ends
    KeepRunning // a host window is loaded and decides when the process ends
};

HostRun HostMain(const std::string& argumentText, HostPlatform& platform);

} // namespace velumira
