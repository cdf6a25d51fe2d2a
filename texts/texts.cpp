#include "texts/texts.h"

namespace velumira {

namespace {

constexpr uint16_t kLangJapanese = 0x11; // PRIMARYLANGID of ja-JP

// The system's own texts, character for character; the renderer's boxes were
// always English and stay so.
const Texts kJapanese = {
    "Velumira",
    u8"Velumira.dllが同じフォルダに見つかりません！",
    "BGM",
    u8"音楽CD",
    u8"曲目をﾘﾋﾟｰﾄ",
    u8"なし",
    u8"MP3、WAV",
    u8"ｷｬﾝｾﾙ",
    u8"設定",
    u8"曲ファイルを選ぶ…",
    u8"ﾌｧｲﾙを開く",
    u8"BGMﾌｧｲﾙ (MP3 WAV)",
    u8"設定ﾌｧｲﾙに書き込めませんでした。",
    u8"ﾌｧｲﾙかﾌｫﾙﾀﾞが書き込み禁止か、ほかのﾌﾟﾛｸﾞﾗﾑが使用中です。設定は変更されていません。",
    "Error",
    "Failed to open DIB file ",
    ".\n",
    "Unknown DIB file format.",
    "Image file conversion error.",
    "Out of memory.",
    u8"Esc キーで終了します",
    u8"チェック",
    u8"押す",
    u8"ジャンプ",
};

const Texts kEnglish = {
    "Velumira",
    "Velumira cannot start because Velumira.dll is missing. Velumira.dll must be in the same "
    "folder as Velumira.scr.",
    "Music",
    "Audio CD",
    "Repeat track",
    "None",
    "MP3 or WAV file",
    "Cancel",
    "OK",
    "Choose a music file\xE2\x80\xA6",
    "Open",
    "Music files (*.mp3, *.wav)",
    "Your settings could not be saved to",
    "The file or its folder may be read-only, or another program may be using it. Your "
    "settings have not been changed.",
    "Error",
    "The picture file ",
    " could not be opened.",
    "The picture file is in a format that cannot be read.",
    "The picture could not be read.",
    "There is not enough memory to show the picture.",
    "Press Esc to return to your desktop",
    "Check",
    "Press",
    "Jump",
};

} // namespace

Language LanguageFor(uint16_t uiLanguage) {
    return (uiLanguage & 0x3FF) == kLangJapanese ? Language::Japanese : Language::English;
}

const Texts& TextsFor(Language language) {
    return language == Language::Japanese ? kJapanese : kEnglish;
}

} // namespace velumira
