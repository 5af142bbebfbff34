#include "shell/settings_file.h"

#include <fstream>
#include <string>

namespace orvo::shell {

namespace {
constexpr int kItalian = 1;
constexpr int kEnglish = 2;
}  // namespace

std::filesystem::path settingsFilePath(const std::filesystem::path& workingFolder) {
    return workingFolder / "File_data" / "Orvo_temp.dat";
}

SettingsRead readSettings(const std::filesystem::path& workingFolder) {
    const auto path = settingsFilePath(workingFolder);
    SettingsRead result;
    // A folder of that name cannot be read as a file, nor created as one.
    if (std::ifstream in(path); in.is_open() && !std::filesystem::is_directory(path)) {
        std::string word;
        in >> word;
        // Only the first two characters of the first word count.
        result.languageCode = word.substr(0, 2) == "IT" ? kItalian : kEnglish;
        return result;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        result.failed = true;
        return result;
    }
    out << "EN";
    out.flush();
    result.languageCode = kEnglish;
    return result;
}

void writeSettings(const std::filesystem::path& workingFolder, int languageCode) {
    std::ofstream out(settingsFilePath(workingFolder), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        return;
    }
    out << (languageCode == kItalian ? "IT" : "EN");
    out.flush();
}

}  // namespace orvo::shell
