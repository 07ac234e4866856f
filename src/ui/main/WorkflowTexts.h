// The texts the main window's commands show, as the program has always worded them (spelling
// included). The device link's own texts are in link/LinkTexts.h.
#pragma once

namespace kvn::ui::text {

inline constexpr const char* kApplicationTitle = "KVN-350";
inline constexpr const char* kMainCaption = "KVN 350";
// Followed by the preset file's name without its folder.
inline constexpr const char* kFileCaptionPrefix = "KVN 350 Loudspeaker Management System ";
inline constexpr const char* kNotConnected = "No Connected";

inline constexpr const char* kSaveBeforeNew = "Do you want to save the present configuration?";
inline constexpr const char* kSaveBeforeClosing =
    "KVN 350 is closing...Do you want to save the present configuration before?";
// "Do you want to Change the present configuration and load the memory " N " in the " "KVN 350"
// " ?"
inline constexpr const char* kChangePrefix =
    "Do you want to Change the present configuration and load the memory ";
inline constexpr const char* kChangeMiddle = " in the ";
inline constexpr const char* kChangeSuffix = " ?";

// Preset file dialogs.
inline constexpr const char* kPresetFilter = "KVN 350 Files *.KV2|*.KV2|All Files *.*|*.*";
inline constexpr const char* kSaveTitle = "Save KVN File";
inline constexpr const char* kOpenTitle = "Open KVN File";
inline constexpr const char* kSaveInitialName = "NoName";

// The DSP program text supplied with the processor.
inline constexpr const char* kFirmwareTitle = "Open DSP Program";
inline constexpr const char* kFirmwareFilter = "DSP Program Text *.txt|*.txt|All Files *.*|*.*";

// The loading window during New.
inline constexpr const char* kInitializing = "Initializing ";

}  // namespace kvn::ui::text
