#pragma once

// Texts of the start-up, the tree choice, the login and the settings dialogs.

namespace browser::msg {

inline constexpr const char* kApplicationTitle = "Cormelian";
inline constexpr const char* kNoHelperLibrary = "Error: can't find Tolvex.dll";
inline constexpr const char* kNoClient = "No Novell Client?";
inline constexpr const char* kNoTreesSelected = "No trees selected!";
inline constexpr const char* kNoMainContext = "No directory context, the program stops.";
inline constexpr const char* kUpdateContextHandle = "Update context handle....";
inline constexpr const char* kIniEditorCaption = "Cormelian.ini editor";
inline constexpr const char* kIniEditorUnsaved = "Information is changed and is not saved, continue?";
inline constexpr const char* kIniEditorSaved = "Saved";

// Tree choice ("Current Connected Trees (without exclude)") and "Select Tree".
inline constexpr const char* kDNSTreesCaption = "Current Connected Trees (without exclude)";
inline constexpr const char* kDNSTreesInternalError = "Internal error, in Show Trees, please contact Tolvex!";
inline constexpr const char* kTreesFormCaption = "Select Tree";
inline constexpr const char* kTreesFormInternalError = "Internal error, please contact Tolvex!!!";
inline constexpr const char* kTreesFormWait = "Please wait";
inline constexpr const char* kNewTreeTitle = "New Tree";
inline constexpr const char* kNewTreePrompt = "Enter Treename or IP-address";

// Login.
inline constexpr const char* kLoginCaption = "Login";
inline constexpr const char* kLoginCaptionPrefix = "Login into tree: ";
inline constexpr const char* kLoginFails = "Login Fails, try again";
inline constexpr const char* kSelectUserCaption = "Select User/Alias";
inline constexpr const char* kAliasNotOfUser = "Alias object is not am alias of User objects!";

// Settings.
inline constexpr const char* kSettingsCaption = "Settings";
inline constexpr const char* kIllegalTop = "Illegal object top!";
inline constexpr const char* kFillInCorrectObject = "Fill in correct object name, and no leading \".\"";
inline constexpr const char* kNotYetBuilt = "Moet nog";

// Locator warning ("WARNING").
inline constexpr const char* kWarningCaption = "WARNING";
inline constexpr const char* kWarningText = "More than one DNS-DHCP locator objects found in search context!";
inline constexpr const char* kWarningCheckBox = "do not show this warning again";

} // namespace browser::msg
