// The host's command line as the platform (or anyone starting the host by
// hand) may write it: the program path, the mode letter and the preview
// window's number, through to what the start-up procedure does with them.
#include "fuzz/fuzz_check.h"
#include "host_main.h"
#include "lenient_number.h"

#include <cmath>
#include <string>

using namespace velumira;

namespace {

// No other host or dialog runs and the renderer is present, so the command
// line alone decides what starts.
class RecordingPlatform : public HostPlatform {
  public:
    bool previewShown = false;
    bool dialogRun = false;
    bool saverLoaded = false;

    bool topLevelWindowExists(const char*) override { return false; }
    bool showPreview(int32_t) override { return previewShown = true; }
    void createWorkFolder() override {}
    void loadSettings() override {}
    bool rendererPresent() override { return true; }
    const Texts& texts() override { return TextsFor(Language::English); }
    void messageBox(const char*) override {}
    void runSettingsDialog() override { dialogRun = true; }
    void hideCursor() override {}
    bool loadSaverForm() override { return saverLoaded = true; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The platform hands the host a C string: it ends at the first NUL.
    const std::string commandLine(reinterpret_cast<const char*>(data), size);
    const std::string args = ArgumentTextOf(commandLine.c_str());
    const std::string cString = commandLine.c_str();
    FUZZ_CHECK(args.size() <= cString.size() &&
               cString.compare(cString.size() - args.size(), args.size(), args) == 0);
    FUZZ_CHECK(args.empty() || (args[0] != ' ' && args[0] != '\t'));

    const char mode = ModeLetter(args);
    FUZZ_CHECK((mode == 0) == (args.size() < 2 || args[1] == 0));
    FUZZ_CHECK(!std::isnan(LenientNumber(commandLine)));
    PreviewParentOf(args);

    RecordingPlatform platform;
    const HostRun run = HostMain(args, platform);
    FUZZ_CHECK(platform.previewShown == (mode == 'P'));
    FUZZ_CHECK(platform.dialogRun == (mode == 'C'));
    FUZZ_CHECK(platform.saverLoaded == (args.empty() || mode == 'S'));
    FUZZ_CHECK((run == HostRun::KeepRunning) == (platform.previewShown || platform.saverLoaded));
    return 0;
}
