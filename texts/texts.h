// The texts the user reads, one set per language, and which language a user
// gets. UTF-8 here; the Windows side widens them where they are shown.
#pragma once

#include <cstdint>

namespace velumira {

enum class Language { Japanese, English };

// Japanese where the user's UI language (a Windows LANGID) is Japanese,
// English everywhere else.
Language LanguageFor(uint16_t uiLanguage);

struct Texts {
    // The caption of the host's and the dialog's message boxes.
    const char* appTitle;
    // The host's box when the renderer is not beside it.
    const char* rendererMissing;
    // The settings dialog.
    const char* musicCaption; // the music frame's caption
    const char* audioCd;
    const char* repeatTrack;
    const char* noMusic;
    const char* musicFile;
    const char* cancel;
    const char* apply;
    const char* chooseFileName; // what the "..." button does, for screen readers
    const char* chooserTitle;
    const char* chooserFilterName; // the file chooser's filter, before its patterns
    const char* notWrittenFirst;   // before the settings file's path
    const char* notWrittenLast;    // after it
    // The renderer's boxes when the desktop picture cannot be shown.
    const char* errorCaption;
    const char* pictureNotOpenedFirst; // before the picture's path
    const char* pictureNotOpenedLast;  // after it
    const char* unknownPictureFormat;
    const char* pictureNotConverted;
    const char* outOfMemory;
    // The note on the cloth that tells the way out.
    const char* escapeNote;
    // What a screen reader says a control's default action is, in Windows'
    // own words.
    const char* actionCheck; // an option
    const char* actionPress; // a button
    const char* actionJump;  // a link
};

const Texts& TextsFor(Language language);

} // namespace velumira
