#include "text/catalogue.h"

#include <algorithm>
#include <utility>

namespace orvo::text {

namespace {

constexpr int kItalianCode = 1;
constexpr int kEnglishCode = 2;

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString placeholderFor(std::string_view key) {
    return u'[' + fromUtf8(key) + u']';
}

using KeyIndex = std::vector<std::pair<std::string_view, std::size_t>>;

// Built once; other pages look texts up on every message and log line.
const KeyIndex& keyIndex() {
    static const KeyIndex index = [] {
        KeyIndex sorted;
        const auto entries = catalogueEntries();
        sorted.reserve(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            sorted.emplace_back(entries[i].key, i);
        }
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }();
    return index;
}

}  // namespace

Language languageFromCode(int code) {
    return code == kItalianCode ? Language::Italian : Language::English;
}

int codeOf(Language language) {
    return language == Language::Italian ? kItalianCode : kEnglishCode;
}

std::optional<std::size_t> catalogueIndex(std::string_view key) {
    const auto& index = keyIndex();
    const auto it =
        std::lower_bound(index.begin(), index.end(), key,
                         [](const auto& item, std::string_view k) { return item.first < k; });
    if (it == index.end() || it->first != key) {
        return std::nullopt;
    }
    return it->second;
}

Catalogue::Catalogue(Language language) : language_(language) {
    setLanguage(language);
}

void Catalogue::setLanguage(Language language) {
    language_ = language;
    const auto entries = catalogueEntries();
    texts_.assign(entries.size(), QString());

    auto source = [language](const CatalogueEntry& entry) {
        return language == Language::Italian ? entry.italian : entry.english;
    };

    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].composed) {
            texts_[i] = fromUtf8(source(entries[i]));
        }
    }

    // Composed entries only quote plain entries, so one pass after the plain ones suffices.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].composed) {
            continue;
        }
        const std::string_view pattern = source(entries[i]);
        QString composed;
        std::size_t pos = 0;
        while (pos < pattern.size()) {
            const std::size_t open = pattern.find('{', pos);
            const std::size_t close =
                open == std::string_view::npos ? open : pattern.find('}', open);
            if (close == std::string_view::npos) {
                composed += fromUtf8(pattern.substr(pos));
                break;
            }
            composed += fromUtf8(pattern.substr(pos, open - pos));
            composed += text(pattern.substr(open + 1, close - open - 1));
            pos = close + 1;
        }
        texts_[i] = composed;
    }
}

QString Catalogue::text(std::string_view key) const {
    const auto index = catalogueIndex(key);
    if (!index || *index >= texts_.size()) {
        return placeholderFor(key);
    }
    return texts_[*index];
}

QStringList Catalogue::texts(std::span<const std::string_view> keys) const {
    QStringList result;
    result.reserve(static_cast<qsizetype>(keys.size()));
    for (const auto key : keys) {
        result.append(text(key));
    }
    return result;
}

}  // namespace orvo::text
