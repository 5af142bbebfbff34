// Saving and loading configuration files from the load/save page of the real window, against the
// in-process simulated encoder: the procedure log of every outcome, the files left behind (an
// earlier file survives every failed save), the dialogs' folder and proposed name, what a load
// sends and does not send, and the colours of the values it wrote.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QPalette>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "config/config_file.h"
#include "config/load_save_panel.h"
#include "link/commands.h"
#include "support/configuration_window.h"
#include "support/file_bytes.h"

namespace orvo::model {
// The test names of the family cases say the family.
inline void PrintTo(Family family, std::ostream* out) {
    *out << sim::familyName(family);
}
}  // namespace orvo::model

namespace orvo::testing {
namespace {

namespace cmd = link::cmd;
using config::LoadSavePanel;

// The keys of the log lines a procedure appends; " " is the blank line itself.
using LogKeys = std::vector<std::string>;

const std::string kSsiFile =
    "ORVO Anglemetry\r\n"
    "Output = SSI;\r\n"
    "Baudrate = 9600;\r\n"
    "Config = 64;\r\n"
    "NclockSSI = 13;\r\n"
    "TimeoutSSI = 2;//index of ComboBox\r\n"
    "InfoTurn = 4096;\r\n"
    "NumTurns = 256;\r\n"
    "Preset = 1000;\r\n"
    "DeltaUser = 65536;\r\n"
    "DeltaPos = 7200;\r\n"
    "END\r\n";

std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class LoadSaveTest : public ConfigurationWindowTest {
protected:
    LoadSavePanel& openLoadSavePage(sim::Family family = sim::Family::Ssi) {
        openConfigurationPage(family);
        window().SpeedButton7->click();
        forgetOpening();
        mark();
        return panel();
    }
    LoadSavePanel& panel() { return *window().Panel6; }
    std::filesystem::path file(const std::string& name) const {
        return std::filesystem::path(files.path().toStdString()) / name;
    }

    // The dialog answers with this file, or is cancelled.
    void save(const std::optional<std::filesystem::path>& path) {
        f.dialogs.fileAnswers.push_back(path ? QString::fromStdString(path->string()) : QString());
        panel().BitBtn20->click();
    }
    void load(const std::optional<std::filesystem::path>& path) {
        f.dialogs.fileAnswers.push_back(path ? QString::fromStdString(path->string()) : QString());
        panel().BitBtn19->click();
    }

    std::vector<std::string> log() {
        std::vector<std::string> lines;
        for (const QString& line : window().Panel6->Memo2->toPlainText().split('\n')) {
            lines.push_back(line.toStdString());
        }
        return lines;
    }
    std::vector<std::string> expected(const LogKeys& keys) {
        std::vector<std::string> lines;
        for (const std::string& key : keys) {
            lines.push_back(key == " " ? key : window().catalogue().text(key).toStdString());
        }
        return lines;
    }
    // Write commands (and stores) sent since the mark.
    std::vector<std::uint8_t> writesSinceMark() const {
        std::vector<std::uint8_t> writes;
        for (std::uint8_t code : commandsSinceMark()) {
            if ((code & cmd::kWriteBit) != 0) {
                writes.push_back(code);
            }
        }
        return writes;
    }

    enum class Colour { Normal, Green, Red };
    Colour colourOf(const QLabel* value) {
        const QColor c = value->palette().color(QPalette::WindowText);
        if (c == QColor(0, 128, 0)) {
            return Colour::Green;
        }
        if (c == QColor(255, 0, 0)) {
            return Colour::Red;
        }
        EXPECT_EQ(c, window().palette().color(QPalette::WindowText)) << "neither green nor red";
        return Colour::Normal;
    }

    QTemporaryDir files;
};

class LoadSaveFamilyTest : public LoadSaveTest,
                           public ::testing::WithParamInterface<sim::Family> {};

INSTANTIATE_TEST_SUITE_P(Families, LoadSaveFamilyTest,
                         ::testing::Values(sim::Family::Ssi, sim::Family::Analog,
                                           sim::Family::Parallel),
                         [](const auto& info) { return std::string(sim::familyName(info.param)); });

TEST_P(LoadSaveFamilyTest, SaveWritesTheValuesItRead) {
    // Lines each family's file must hold, from the simulated encoders' factory settings.
    const std::map<sim::Family, std::vector<std::string>> lines = {
        {sim::Family::Ssi,
         {"Output = SSI;", "Baudrate = 9600;", "Config = 0;", "NclockSSI = 25;",
          "TimeoutSSI = 1;//index of ComboBox", "InfoTurn = 8192;", "NumTurns = 4096;"}},
        // Scaling mode: the stroke line is given up to "-".
        {sim::Family::Analog,
         {"Output = Analog;", "Config = 0;", "NumTurns = 16;", "DeltaUser = -;"}},
        {sim::Family::Parallel,
         {"Output = Parallel;", "Config = 32;", "InfoTurn = 8192;", "DeltaPos = 7200;"}},
    };
    openLoadSavePage(GetParam());
    const auto path = file("P001.dat");
    save(path);

    EXPECT_EQ(log(), expected({"LogProcStart", "LogFileCreated", "LogFileWritten", "LogProcEnd"}));
    const std::string bytes = contentsOf(path);
    EXPECT_TRUE(bytes.starts_with("ORVO Anglemetry\r\n"));
    EXPECT_TRUE(bytes.ends_with(";\r\nEND\r\n"));
    for (const std::string& line : lines.at(GetParam())) {
        EXPECT_NE(bytes.find("\r\n" + line + "\r\n"), std::string::npos) << line;
    }
    // What the file holds is what the summary shows.
    std::istringstream in(bytes);
    const config::FileRead read = config::readConfigurationFile(in, window().family());
    EXPECT_EQ(read.status, config::FileStatus::Ok);
    for (int row = 1; row <= config::kSummaryRows; ++row) {
        const config::Parameter p = config::rowParameter(window().family(), row);
        const std::string inFile = config::valueOf(read.values, p).value_or("");
        if (p != config::Parameter::None && inFile != "-") {
            EXPECT_EQ(inFile, panel().summaryValue(row)->text().toStdString()) << "row " << row;
        }
    }
}

TEST_P(LoadSaveFamilyTest, LoadWritesEveryValueAndTheEncoderKeepsThem) {
    const std::map<sim::Family, std::function<void(sim::Parameters&)>> changes = {
        {sim::Family::Ssi,
         [](sim::Parameters& p) {
             p.configuration |= link::config_bits::kCounterClockwise;
             p.numTurns = 16;
         }},
        {sim::Family::Analog,
         [](sim::Parameters& p) {
             p.configuration |= link::config_bits::kCounterClockwise;
             p.dacControl = 0;
         }},
        {sim::Family::Parallel,
         [](sim::Parameters& p) {
             p.options = 3;
             p.infoTurn = 1024;
         }},
    };
    openLoadSavePage(GetParam());
    const auto path = file("copy.dat");
    save(path);
    const std::string bytes = contentsOf(path);
    const sim::Parameters saved = stored();
    onDevice(changes.at(GetParam()));
    ASSERT_NE(stored(), saved);

    mark();
    load(path);
    EXPECT_EQ(log(), expected({"LogProcStart", "LogOpenFile", "LogFileRead", "LogParamsWritten",
                               " ", "LogProcEnd"}));
    EXPECT_EQ(stored().configuration, saved.configuration);
    EXPECT_EQ(stored().numTurns, saved.numTurns);
    EXPECT_EQ(stored().infoTurn, saved.infoTurn);
    EXPECT_EQ(stored().options, saved.options);
    EXPECT_EQ(stored().dacControl, saved.dacControl);
    EXPECT_EQ(working(), stored());
    EXPECT_EQ(contentsOf(path), bytes);

    // Every value sent is green; the baud rate is shown only.
    EXPECT_EQ(colourOf(panel().Label54), Colour::Normal);
    for (int row = 2; row <= config::kSummaryRows; ++row) {
        const config::Parameter p = config::rowParameter(window().family(), row);
        const bool unused = GetParam() == sim::Family::Analog && p == config::Parameter::DeltaUser;
        if (p != config::Parameter::None && !unused) {
            EXPECT_EQ(colourOf(panel().summaryValue(row)), Colour::Green) << "row " << row;
        }
    }
    // Each value is stored as soon as it was taken.
    const std::vector<std::uint8_t> writes = writesSinceMark();
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.front(), cmd::kWriteConfiguration);
    ASSERT_EQ(writes.size() % 2, 0u);
    for (std::size_t i = 1; i < writes.size(); i += 2) {
        EXPECT_EQ(writes[i], cmd::kMemoryAction) << i;
    }
}

TEST_F(LoadSaveTest, SaveOfAProgrammedAnalogEncoderGivesUpItsTurnsLine) {
    openConfigurationPage(sim::Family::Analog);
    onDevice([](sim::Parameters& p) { p.configuration |= link::config_bits::kProgrammed; });
    window().SpeedButton7->click();
    const auto path = file("analog.dat");
    save(path);
    const std::string bytes = contentsOf(path);
    EXPECT_NE(bytes.find("\r\nNumTurns = -;\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nDeltaUser = " + std::to_string(working().deltaUser) + ";\r\n"),
              std::string::npos);
}

TEST_F(LoadSaveTest, FailedSavesLeaveAnEarlierFileAsItWas) {
    openLoadSavePage();
    const auto path = file("good.dat");
    writeFile(path, kSsiFile);

    // The time-out read and its single retry unanswered: that row stays "?".
    noReplyTo(cmd::kReadSsiTimeout, 2);
    save(path);
    EXPECT_EQ(panel().Label57->text(), "?");
    EXPECT_EQ(log(), expected({"LogProcStart", "LogReadParamsError", "LogFileCreateError",
                               "LogFileUnusable", "LogFileDeleted", "LogProcEnd"}));
    EXPECT_EQ(contentsOf(path), kSsiFile);
    settle();

    // The disk takes no more than a few bytes: the new file cannot be written completely.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 10;
    ::setrlimit(RLIMIT_FSIZE, &small);
    save(path);
    ::setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_EQ(log(), expected({"LogProcStart", "LogFileCreated", "LogFileUnusable",
                               "LogFileDeleted", "LogProcEnd"}));
    EXPECT_EQ(contentsOf(path), kSsiFile);

    // No incomplete file is left beside it.
    EXPECT_EQ(folderEntries(file("")), std::vector<std::string>{"good.dat"});
}

TEST_F(LoadSaveTest, TheLogFollowsTheLanguage) {
    openLoadSavePage();
    window().Italiano1Click();
    save(file("it.dat"));
    EXPECT_EQ(log(), (std::vector<std::string>{
                         "Inizio procedura...", "- file creato correttamente;",
                         "- file scritto correttamente;", "...procedura conclusa."}));
    load(std::nullopt);
    EXPECT_EQ(log(),
              (std::vector<std::string>{"Inizio procedura...", " ", "...procedura conclusa."}));
}

TEST_F(LoadSaveTest, SaveToAFolderThatDoesNotExistMakesNoFile) {
    openLoadSavePage();
    save(file("missing") / "P001.dat");
    EXPECT_EQ(log(), expected({"LogProcStart", "LogFileCreateError", "LogFileUnusable",
                               "LogFileDeleted", "LogProcEnd"}));
    EXPECT_FALSE(std::filesystem::exists(file("missing")));
}

TEST_F(LoadSaveTest, CancelledSaveTouchesNothing) {
    openLoadSavePage();
    noReplyTo(cmd::kReadConfiguration, 2);
    save(std::nullopt);
    EXPECT_EQ(log(),
              expected({"LogProcStart", "LogReadParamsError", "LogFileCreateError", "LogProcEnd"}));
    EXPECT_TRUE(folderEntries(file("")).empty());
}

TEST_F(LoadSaveTest, DialogsProposeTheLastFileInTheFolderOfTheLastFileUsed) {
    openLoadSavePage();
    std::filesystem::create_directories(file("a"));
    std::filesystem::create_directories(file("b"));
    save(file("a") / "first.dat");
    save(file("a") / "second.dat");
    writeFile(file("b") / "other.dat", kSsiFile);
    load(file("b") / "other.dat");
    save(std::nullopt);
    load(std::nullopt);

    const auto& saves = f.dialogs.saveSetups;
    const auto& opens = f.dialogs.openSetups;
    ASSERT_EQ(saves.size(), 3u);
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(saves[0].filter, "Data files: *.dat|*.dat|All files|*.*");
    EXPECT_EQ(saves[0].defaultSuffix, "dat");
    EXPECT_EQ(saves[0].directory, "");
    EXPECT_EQ(saves[0].proposedName, "P001.dat");
    EXPECT_EQ(saves[1].directory.toStdString(), file("a").string());
    EXPECT_EQ(saves[1].proposedName, "first.dat");
    // The folder follows the last file of either procedure, the name the dialog's own last one.
    EXPECT_EQ(opens[0].directory.toStdString(), file("a").string());
    EXPECT_EQ(opens[0].proposedName, "P001.dat");
    EXPECT_EQ(saves[2].directory.toStdString(), file("b").string());
    EXPECT_EQ(saves[2].proposedName, "second.dat");
    EXPECT_EQ(opens[1].proposedName, "other.dat");
    EXPECT_EQ(opens[1].filter, saves[0].filter);
}

const LogKeys kWrongInterface = {"LogProcStart",       "LogOpenFile",         "LogWrongInterface",
                                 "LogFileSyntaxError", "LogParamsWriteError", " ",
                                 "LogProcEnd"};
const LogKeys kSyntaxError = {"LogProcStart",        "LogOpenFile", "LogFileSyntaxError",
                              "LogParamsWriteError", " ",           "LogProcEnd"};

TEST_F(LoadSaveTest, AnotherFamilysFileWritesNothing) {
    openLoadSavePage(sim::Family::Parallel);
    const auto path = file("ssi.dat");
    writeFile(path, kSsiFile);
    load(path);
    EXPECT_EQ(log(), expected(kWrongInterface));
    EXPECT_TRUE(writesSinceMark().empty());
    // Only the read-back went out.
    EXPECT_TRUE(sentSinceMark(cmd::kReadNode));
    EXPECT_TRUE(sentSinceMark(cmd::kReadOptions));
}

TEST_F(LoadSaveTest, FilesThatDoNotFitWriteNothing) {
    struct Case {
        const char* name;
        std::string bytes;
        const LogKeys& log;
    };
    auto edited = [](std::string_view from, std::string_view to) {
        std::string bytes = kSsiFile;
        bytes.replace(bytes.find(from), from.size(), to);
        return bytes;
    };
    const Case cases[] = {
        {"no configuration file", "ORVO\r\n", kWrongInterface},
        {"a key without its blanks", edited("Config = ", "Config="), kSyntaxError},
        {"a value past the register", edited("Config = 64", "Config = 4294967297"), kSyntaxError},
        {"a signed stroke", edited("DeltaPos = 7200", "DeltaPos = -1"), kSyntaxError},
        {"a time-out the list lacks", edited("TimeoutSSI = 2", "TimeoutSSI = 4"), kSyntaxError},
        {"a line missing", edited("Preset = 1000;\r\n", ""), kSyntaxError},
    };
    openLoadSavePage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = file("in.dat");
        writeFile(path, c.bytes);
        mark();
        load(path);
        EXPECT_EQ(log(), expected(c.log));
        EXPECT_TRUE(writesSinceMark().empty());
        EXPECT_TRUE(sentSinceMark(cmd::kReadNode));
        EXPECT_TRUE(sentSinceMark(cmd::kReadConfiguration));
    }
}

TEST_F(LoadSaveTest, AFileThatCannotBeOpenedWritesNothing) {
    openLoadSavePage();
    load(file("absent.dat"));
    EXPECT_EQ(log(), expected({"LogProcStart", "LogOpenFile", "LogFileSyntaxError",
                               "LogParamsWriteError", " ", "LogProcEnd"}));
    EXPECT_TRUE(writesSinceMark().empty());
}

TEST_F(LoadSaveTest, AFailedWriteStopsTheLoadAndIsMarkedRed) {
    openLoadSavePage();
    const auto path = file("in.dat");
    writeFile(path, kSsiFile);
    // The fourth value goes out with 0xA4 and gets no answer.
    noReplyTo(cmd::kWriteInfoTurn);
    load(path);

    EXPECT_EQ(log(), expected({"LogProcStart", "LogOpenFile", "LogFileRead", "LogParamsWriteError",
                               " ", "LogProcEnd"}));
    EXPECT_EQ(colourOf(panel().Label55), Colour::Green);
    EXPECT_EQ(colourOf(panel().Label56), Colour::Green);
    EXPECT_EQ(colourOf(panel().Label57), Colour::Green);
    EXPECT_EQ(colourOf(panel().Label58), Colour::Red);
    for (const QLabel* later :
         {panel().Label54, panel().Label60, panel().Label61, panel().Label62, panel().Label63}) {
        EXPECT_EQ(colourOf(later), Colour::Normal) << later->objectName().toStdString();
    }
    const std::vector<std::uint8_t> expectedWrites = {
        cmd::kWriteConfiguration, cmd::kMemoryAction, cmd::kWriteSsiFormat, cmd::kMemoryAction,
        cmd::kWriteSsiTimeout,    cmd::kMemoryAction, cmd::kWriteInfoTurn};
    EXPECT_EQ(writesSinceMark(), expectedWrites);
    // The values before it were taken and stored; the clock count without the alignment bits.
    EXPECT_EQ(stored().configuration, 64);
    EXPECT_EQ(stored().ssiFormat, 13);
    EXPECT_EQ(stored().ssiTimeoutCode, 2);
    EXPECT_EQ(panel().Label94->text(), QString::fromUtf8("(64\u00B5s)"));
}

TEST_F(LoadSaveTest, AnalogTurnsLineOfMinusSendsNoTurns) {
    openLoadSavePage(sim::Family::Analog);
    const auto path = file("analog.dat");
    writeFile(path,
              "ORVO Anglemetry\r\n"
              "Output = Analog;\r\n"
              "Baudrate = 9600;\r\n"
              "Config = 128;\r\n"
              "DAC_control = 5;\r\n"
              "Preset = 0;\r\n"
              "NumTurns = -;\r\n"
              "DeltaUser = 20000;\r\n"
              "END\r\n");
    load(path);
    EXPECT_EQ(log(), expected({"LogProcStart", "LogOpenFile", "LogFileRead", "LogParamsWritten",
                               " ", "LogProcEnd"}));
    EXPECT_FALSE(sentSinceMark(cmd::kWriteNumTurns));
    EXPECT_EQ(lastDataOf(cmd::kWriteDeltaUser), 20000u);
    EXPECT_EQ(colourOf(panel().Label58), Colour::Normal);
    EXPECT_EQ(colourOf(panel().Label60), Colour::Green);
    EXPECT_EQ(stored().deltaUser, 20000u);
}

TEST_F(LoadSaveTest, CancelledLoadStillReadsTheEncoderBack) {
    openLoadSavePage();
    load(std::nullopt);
    EXPECT_EQ(log(), expected({"LogProcStart", " ", "LogProcEnd"}));
    EXPECT_TRUE(writesSinceMark().empty());
    EXPECT_TRUE(sentSinceMark(cmd::kReadNode));
    EXPECT_TRUE(sentSinceMark(cmd::kReadSsiTimeout));
    EXPECT_EQ(panel().Label55->text(), "0");
}

// Root may write any file, so the test watches how the file is opened instead of relying on
// its permissions alone.
TEST_F(LoadSaveTest, ALoadOpensTheFileForReadingOnly) {
    openLoadSavePage();
    const auto path = file("readonly.dat");
    writeFile(path, kSsiFile);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    const int watch = ::inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, path.c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE), 0);

    load(path);
    EXPECT_EQ(log(), expected({"LogProcStart", "LogOpenFile", "LogFileRead", "LogParamsWritten",
                               " ", "LogProcEnd"}));
    std::uint32_t seen = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (char* p = buffer; p < buffer + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            seen |= event->mask;
            p += sizeof(inotify_event) + event->len;
        }
    }
    ::close(watch);
    EXPECT_NE(seen & IN_CLOSE_NOWRITE, 0u);
    EXPECT_EQ(seen & IN_CLOSE_WRITE, 0u);
    EXPECT_EQ(contentsOf(path), kSsiFile);
}

}  // namespace
}  // namespace orvo::testing
