#include "text/catalogue.h"

#include <gtest/gtest.h>

#include <QSet>
#include <set>
#include <string>
#include <string_view>

namespace orvo::text {
namespace {

const char* nameOf(Language language) {
    return language == Language::Italian ? "Italian" : "English";
}

// --- Language codes -------------------------------------------------------------------------

TEST(LanguageCode, OnlyOneMeansItalian) {
    struct Row {
        int code;
        Language expected;
    };
    const Row rows[] = {
        {0, Language::English},   // before the settings file has been read
        {1, Language::Italian},   //
        {2, Language::English},   //
        {3, Language::English},   //
        {-1, Language::English},  //
    };
    for (const auto& row : rows) {
        EXPECT_EQ(languageFromCode(row.code), row.expected) << "code " << row.code;
    }
}

TEST(LanguageCode, CodesWrittenForEachLanguageReadBackAsThatLanguage) {
    EXPECT_EQ(codeOf(Language::Italian), 1);
    EXPECT_EQ(codeOf(Language::English), 2);
    for (const auto language : {Language::Italian, Language::English}) {
        EXPECT_EQ(languageFromCode(codeOf(language)), language) << nameOf(language);
    }
}

// --- The table of entries -------------------------------------------------------------------

TEST(CatalogueTable, HoldsEveryEntryOnceWithBothTexts) {
    const auto entries = catalogueEntries();
    EXPECT_EQ(entries.size(), 197u);

    std::set<std::string_view> keys;
    for (const auto& entry : entries) {
        EXPECT_TRUE(keys.insert(entry.key).second) << "duplicate key " << entry.key;
        EXPECT_FALSE(entry.italian.empty()) << entry.key;
        EXPECT_FALSE(entry.english.empty()) << entry.key;
    }
}

TEST(CatalogueTable, KeysFollowTheNamingOfTheirKind) {
    const std::string_view prefixes[] = {"Txt", "Item", "Hint", "Log", "Msg", "RxErr"};
    for (const auto& entry : catalogueEntries()) {
        bool known = false;
        for (const auto prefix : prefixes) {
            known = known || entry.key.starts_with(prefix);
        }
        EXPECT_TRUE(known) << entry.key;
    }
}

// Texts are stored as UTF-8; a text pasted in another code page or converted twice would show
// as mojibake ("Ã ") and only the accented letters and the plus-minus sign are expected.
TEST(CatalogueTable, TextsAreCleanUtf8WithOnlyTheExpectedSpecialCharacters) {
    const QSet<QChar> allowed = {u'à', u'è', u'ù', u'ò', u'±'};
    for (const auto& entry : catalogueEntries()) {
        for (const auto raw : {entry.italian, entry.english}) {
            const QByteArray bytes(raw.data(), static_cast<qsizetype>(raw.size()));
            const QString text = QString::fromUtf8(bytes);
            EXPECT_EQ(text.toUtf8(), bytes) << entry.key << " is not valid UTF-8";
            for (const QChar c : text) {
                const int code = c.unicode();
                if (code < 0x20) {
                    EXPECT_EQ(code, '\n') << entry.key << " holds a control character";
                } else if (code > 0x7e) {
                    EXPECT_TRUE(allowed.contains(c))
                        << entry.key << " holds U+" << std::hex << code;
                }
            }
        }
    }
}

TEST(CatalogueTable, ComposedEntriesQuoteOnlyPlainListItems) {
    std::set<std::string_view> composedKeys;
    for (const auto& entry : catalogueEntries()) {
        if (!entry.composed) {
            continue;
        }
        composedKeys.insert(entry.key);
        for (const auto pattern : {entry.italian, entry.english}) {
            std::size_t open = pattern.find('{');
            ASSERT_NE(open, std::string_view::npos) << entry.key << " quotes nothing";
            for (; open != std::string_view::npos; open = pattern.find('{', open + 1)) {
                const std::size_t close = pattern.find('}', open);
                ASSERT_NE(close, std::string_view::npos) << entry.key;
                const auto quoted = pattern.substr(open + 1, close - open - 1);
                EXPECT_TRUE(quoted.starts_with("Item")) << entry.key << " quotes " << quoted;
                const auto index = catalogueIndex(quoted);
                ASSERT_TRUE(index.has_value()) << entry.key << " quotes unknown " << quoted;
                EXPECT_FALSE(catalogueEntries()[*index].composed);
            }
        }
    }
    EXPECT_EQ(composedKeys, (std::set<std::string_view>{"HintSsiProtocol", "HintCountDirection",
                                                        "HintAnalogOutputType"}));
}

// --- Texts by key ---------------------------------------------------------------------------

struct TextRow {
    const char* key;
    Language language;
    const char* expected;
};

// Chosen for what is easy to get wrong when copying: accents, "±", blanks at either end, line
// feeds, quotes inside a text, and the texts that are spelt oddly on purpose.
const TextRow kTextSamples[] = {
    {"TxtAppTitle", Language::Italian, "ORVO - Encoder programmabile"},
    {"TxtAppTitle", Language::English, "ORVO - programmable encoder"},
    {"TxtPositionButton", Language::English, "  "},
    {"TxtLoadSaveButton", Language::Italian, "Carica/ salva \nconfigurazione"},
    {"TxtLoadSaveButton", Language::English, "Load/ save \nconfiguration"},
    {"TxtGroupComPort", Language::Italian, "   Porta COM   "},
    {"TxtGroupComPort", Language::English, "   COM port   "},
    {"TxtGroupMessageTest", Language::English, "   Messagges test   "},
    {"TxtBaudRate", Language::Italian, "velocità:"},
    {"TxtBaudRate", Language::English, "baud rate:"},
    {"TxtParityType", Language::English, "select parity bit:"},
    {"TxtOptions", Language::English, "bit parallel option:"},
    {"ItemCw", Language::English, "CW (standard)"},
    {"ItemRangePm5V", Language::Italian, "± 5V"},
    {"ItemRangePm10V", Language::English, "± 10V"},
    {"ItemLeftAligned", Language::English, "left alligned"},
    {"ItemLeftAligned", Language::Italian, "allineato a Sx"},
    {"LogWrongInterface", Language::Italian,
     "- ERRORE: questo file è progettato per dispositivi con interfaccia diversa;"},
    {"LogParamsWriteError", Language::Italian, "- ERORRE nella scrittura dei parametri;"},
    {"LogFileUnusable", Language::Italian,
     "- ERRORE nella scrittura parametri, il file non può essere usato;"},
    {"LogProcStart", Language::English, "Starting process..."},
    {"MsgBadNodeId", Language::Italian, "Valore non valido: 0 < ID < 255"},
    {"MsgAboveHwResolution", Language::Italian,
     "Valore maggiore della risoluzione fisica, impostare un valore più basso"},
    {"MsgClocksTooFew", Language::English,
     "Attention: the maximum transmitted position requires a \"SSI clock number\" greater that "
     "set one"},
    {"MsgCourseTooShort", Language::Italian,
     "percorso encoder non valido: \ncorsa minima non raggiunta."},
    {"RxErrSof", Language::Italian, "   sof errato"},
    {"RxErrReadFile", Language::English, "   error reading COM port (ReadFile(...))"},
    {"HintPresetOffsetValue", Language::Italian, "valore attuale di preset o offset "},
    {"HintPresetOffsetValue", Language::English, "current value of preset or offset"},
    {"HintExample262144", Language::English,
     "es. 8 giri x 262144 = 2097152 inf.\n12.5 giri x 262144 = 3276800 inf."},
    {"HintScaling", Language::English,
     "Whith scaling function you can set the number of counts per revolution and the number of "
     "revolutions that you need."},
    {"HintAnalogTeachSteps", Language::Italian,
     "1 - impostare il range di uscita; \n2 - posizionarsi sullo zero macchina (origine "
     "dell'asse);\n3 - avviare la procedura di acquisizione; \n4 - muovere l'asse fino al punto "
     "finale di lavoro; \n5 - premere stop acquisizione."},
};

TEST(CatalogueText, SampleTextsAreExactInTheirLanguage) {
    for (const auto& row : kTextSamples) {
        const Catalogue catalogue(row.language);
        EXPECT_EQ(catalogue.text(row.key), QString::fromUtf8(row.expected))
            << row.key << " in " << nameOf(row.language);
    }
}

// Built independently of the table: a quote, the item text, a quote, then the explanation.
const TextRow kComposedHints[] = {
    {"HintSsiProtocol", Language::Italian,
     "\"allineato a Dx\": byte meno significativo allineato a destra\n"
     "\"albero\": protocollo ad albero\n"
     "\"allineato a Sx\": byte più significativo allineato a sinistra\n"
     "     (il Master deve essere configurato allo stesso modo)"},
    {"HintSsiProtocol", Language::English,
     "\"right aligned\": least significant byte right-aligned\n"
     "\"tree\": Tree protocol\n"
     "\"left alligned\": most significant byte left-aligned\n"
     "     (the Master must be configured in the same way)"},
    {"HintCountDirection", Language::Italian,
     "\"orario\": con complementario basso e rotazione oraria l'encoder conta positivo, \n"
     "     con complementario alto e rotazione oraria l'encoder conta negativo\n"
     "\"antiorario\": con complementario basso e rotazione oraria l'encoder conta negativo, \n"
     "     con complementario alto e rotazione oraria l'encoder conta positivo\n"},
    {"HintCountDirection", Language::English,
     "\"CW (standard)\": with complementary low level and clockwise rotation the encoder "
     "counting is positive, \n"
     "     with complementary high level and clockwise rotation the encoder counting is "
     "negative\n"
     "\"CCW (inverted)\": with complementary low level and clockwise rotation the encoder "
     "counting is negative, \n"
     "     with Complementary high level and clockwise rotation the encoder counting is "
     "positive\n"},
    {"HintAnalogOutputType", Language::Italian,
     "impostare il tipo di uscita analogica\n"
     "\"tensione\": uscita analogica in tensione\n"
     "\"corrente\": uscita analogica in corrente"},
    {"HintAnalogOutputType", Language::English,
     "sets the type of analog output\n"
     "\"voltage\": analog voltage output\n"
     "\"current\": analog current output"},
};

TEST(CatalogueText, ComposedHintsQuoteTheItemsOfTheirLanguage) {
    for (const auto& row : kComposedHints) {
        const Catalogue catalogue(row.language);
        EXPECT_EQ(catalogue.text(row.key), QString::fromUtf8(row.expected))
            << row.key << " in " << nameOf(row.language);
    }
}

// A catalogue switched back and forth must not keep texts or composed hints of the earlier
// language.
TEST(CatalogueText, SwitchingLanguageReplacesEveryText) {
    Catalogue catalogue;
    EXPECT_EQ(catalogue.language(), Language::English);
    catalogue.setLanguage(Language::Italian);
    catalogue.setLanguage(Language::English);
    EXPECT_EQ(catalogue.language(), Language::English);

    const Catalogue fresh(Language::English);
    for (const auto& entry : catalogueEntries()) {
        EXPECT_EQ(catalogue.text(entry.key), fresh.text(entry.key)) << entry.key;
    }
    catalogue.setLanguage(Language::Italian);
    EXPECT_EQ(catalogue.text("TxtExit"), "Esci");
    EXPECT_TRUE(catalogue.text("HintAnalogOutputType").contains(u"\"tensione\""));
}

TEST(CatalogueText, EveryPlainKeyFindsItsOwnText) {
    for (const auto language : {Language::Italian, Language::English}) {
        const Catalogue catalogue(language);
        for (const auto& entry : catalogueEntries()) {
            if (entry.composed) {
                continue;
            }
            const auto raw = language == Language::Italian ? entry.italian : entry.english;
            EXPECT_EQ(catalogue.text(entry.key).toUtf8().toStdString(), std::string(raw))
                << entry.key << " in " << nameOf(language);
        }
    }
}

TEST(CatalogueText, UnknownKeysShowAsPlaceholders) {
    const Catalogue catalogue(Language::Italian);
    EXPECT_EQ(catalogue.text("NoSuchKey"), "[NoSuchKey]");
    EXPECT_EQ(catalogue.text("txtapptitle"), "[txtapptitle]");  // keys are case-sensitive
    EXPECT_EQ(catalogue.text(""), "[]");
    EXPECT_FALSE(Catalogue::contains("NoSuchKey"));
    EXPECT_TRUE(Catalogue::contains("TxtAppTitle"));
}

TEST(CatalogueText, ListOfKeysGivesTextsInOrder) {
    const Catalogue catalogue(Language::Italian);
    const std::string_view keys[] = {"ItemBinary", "ItemGray", "ItemBcd", "Unknown"};
    EXPECT_EQ(catalogue.texts(keys), (QStringList{"binario", "gray", "BCD", "[Unknown]"}));
}

}  // namespace
}  // namespace orvo::text
