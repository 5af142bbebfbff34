#pragma once

// The message catalogue: every language-dependent text the user sees, each in Italian and in
// English, looked up by the key the rest of the program uses for it ("LogProcStart",
// "MsgBadNodeId", ...). The texts live in one table of data; a Catalogue object holds the texts
// of the language in use, so readers always get the current language.

#include <QString>
#include <QStringList>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace orvo::text {

enum class Language { English, Italian };

// The language as the settings file and the menu handlers carry it: 1 is Italian, every other
// value (2, and 0 before the settings file has been read) is English.
Language languageFromCode(int code);
// 1 for Italian, 2 for English.
int codeOf(Language language);

struct CatalogueEntry {
    std::string_view key;
    std::string_view italian;
    std::string_view english;
    // The texts of a composed entry are templates: each "{Key}" stands for the current text of
    // entry Key (a list item), so a hint that quotes the items of its list always quotes them in
    // the language the list shows.
    bool composed = false;
};

// All entries, in a fixed order; keys are unique. Texts are UTF-8.
std::span<const CatalogueEntry> catalogueEntries();
// Position of a key in catalogueEntries(), or nothing for an unknown key.
std::optional<std::size_t> catalogueIndex(std::string_view key);

class Catalogue {
public:
    explicit Catalogue(Language language = Language::English);

    // Fills every entry with its text for the language, then builds the composed entries.
    void setLanguage(Language language);
    Language language() const { return language_; }

    // The text of the current language. An unknown key yields "[key]", so a misspelt key shows
    // on screen instead of silently blanking a control.
    QString text(std::string_view key) const;
    QStringList texts(std::span<const std::string_view> keys) const;

    static bool contains(std::string_view key) { return catalogueIndex(key).has_value(); }

private:
    Language language_;
    std::vector<QString> texts_;  // by position in catalogueEntries()
};

}  // namespace orvo::text
