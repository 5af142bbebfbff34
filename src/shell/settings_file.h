#pragma once

// The settings file File_data/Orvo_temp.dat: the UI language as "IT" or "EN", two bytes, no
// line end. Opened only for the moment of one read or one write.

#include <filesystem>

namespace orvo::shell {

struct SettingsRead {
    // 1 Italian, 2 English; 0 when the file could be neither read nor created.
    int languageCode = 0;
    bool failed = false;  // neither read nor created: the window shows its red label
};

std::filesystem::path settingsFilePath(const std::filesystem::path& workingFolder);

// Reads the language; a missing file is created with "EN". The folder is never created.
SettingsRead readSettings(const std::filesystem::path& workingFolder);

// "IT" for language 1, "EN" for any other; a failure is silent.
void writeSettings(const std::filesystem::path& workingFolder, int languageCode);

}  // namespace orvo::shell
