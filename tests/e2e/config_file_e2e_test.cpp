// A configuration copied from one encoder into another, as the user does it: the save reads one
// simulator program over its pseudo-terminal into a real file, the load programs a second
// simulator program of the same family, set up differently, from that file. What the second
// encoder stored is then compared with the first one's, through the simulators' state files,
// and by saving the second encoder again and comparing the two files byte for byte.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "config/file_procedures.h"
#include "connection/identify.h"
#include "link/commands.h"
#include "model/encoder_state.h"
#include "params/parameter_procedures.h"
#include "sim/encoder_profile.h"
#include "sim/state_file.h"
#include "support/family_cases.h"
#include "support/file_bytes.h"
#include "support/sim_process.h"
#include "support/simulator_link.h"
#include "text/catalogue.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using config::FileProcedures;
using config::FileQuestion;
using config::LoadStatus;
using testing::contentsOf;
using testing::expectedAfterLoad;
using testing::FamilyCase;
using testing::familyCases;
using testing::writeFile;

// One simulator program with its state file, linked and driven as the tool does it.
class Encoder {
public:
    Encoder(const fs::path& folder, const std::string& portName, const FamilyCase& c,
            const sim::Parameters& stored, const text::Catalogue& catalogue)
        : statePath_(folder / (portName + ".state")) {
        writeFile(statePath_, sim::formatState(c.simFamily, stored));
        process_ = std::make_unique<testing::SimProcess>(
            ORVO_SIM_PROGRAM, folder,
            std::vector<std::string>{"--family", c.name, "--link", portName, "--speed", "0",
                                     "--state", statePath_.string()});
        if (!process_->ready()) {
            return;
        }
        connection_ = std::make_unique<testing::SimulatorLink>(folder, portName);
        state_.baudRate = "9600";
        procedures_ = std::make_unique<params::ParameterProcedures>(connection_->link(), state_);
        files_ =
            std::make_unique<FileProcedures>(connection_->link(), state_, *procedures_, catalogue);
    }

    bool linked() const { return process_->ready() && connection_ && connection_->opened(); }
    std::string output() const { return process_->output(); }
    link::Link& link() { return connection_->link(); }
    model::EncoderState& state() { return state_; }
    FileProcedures& files() { return *files_; }

    // Closes the port and stops the program; true when it exited of its own accord.
    bool stop() {
        if (connection_) {
            connection_->link().shutdown();
        }
        const int status = process_->terminate();
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    // The parameters the program stored, as its state file holds them.
    std::optional<sim::Parameters> stored(sim::Family family) const {
        const sim::StateLoadResult r =
            sim::parseState(contentsOf(statePath_), sim::factoryProfile(family));
        if (r.status != sim::StateLoadStatus::Loaded) {
            return std::nullopt;
        }
        return r.stored;
    }

private:
    fs::path statePath_;
    std::unique_ptr<testing::SimProcess> process_;
    std::unique_ptr<testing::SimulatorLink> connection_;
    model::EncoderState state_;
    std::unique_ptr<params::ParameterProcedures> procedures_;
    std::unique_ptr<FileProcedures> files_;
};

config::ChooseFile answer(FileQuestion::Kind kind, const fs::path& path) {
    return [kind, path](const FileQuestion& q) -> std::optional<std::string> {
        EXPECT_EQ(q.kind, kind);
        return path.string();
    };
}

class ConfigurationCopyTest : public ::testing::TestWithParam<FamilyCase> {
protected:
    testing::TempFolder folder;
    text::Catalogue catalogue{text::Language::English};
};

TEST_P(ConfigurationCopyTest, FileSavedFromOneEncoderProgramsAnotherOfTheFamily) {
    const FamilyCase& c = GetParam();
    const fs::path files = folder.path() / "configurations";
    fs::create_directories(files);
    const fs::path saved = files / "P001.dat";
    const fs::path savedAgain = files / "P002.dat";

    Encoder source(folder.path(), "ttyFROM", c, c.source, catalogue);
    ASSERT_TRUE(source.linked()) << source.output();
    const connection::Identity sourceId = connection::identify(source.link(), source.state());
    ASSERT_EQ(sourceId.family, std::optional<model::Family>(c.family));
    ASSERT_EQ(sourceId.node, std::optional<std::uint8_t>(c.source.node));

    const config::SaveResult save = source.files().save(answer(FileQuestion::Kind::Save, saved));
    ASSERT_TRUE(save.valuesRead);
    ASSERT_TRUE(save.written);
    EXPECT_EQ(save.fileName, saved.string());
    const std::string file = contentsOf(saved);
    ASSERT_FALSE(file.empty());

    Encoder target(folder.path(), "ttyINTO", c, c.target, catalogue);
    ASSERT_TRUE(target.linked()) << target.output();
    const connection::Identity targetId = connection::identify(target.link(), target.state());
    ASSERT_EQ(targetId.family, std::optional<model::Family>(c.family));
    ASSERT_EQ(targetId.node, std::optional<std::uint8_t>(c.target.node));

    const config::LoadResult load = target.files().load(answer(FileQuestion::Kind::Open, saved));
    EXPECT_EQ(load.status, LoadStatus::Written);
    EXPECT_EQ(load.writes.size(), c.writes);
    for (const config::ValueWrite& w : load.writes) {
        EXPECT_TRUE(w.ok) << "parameter " << static_cast<int>(w.parameter);
    }
    // The load only reads its file.
    EXPECT_EQ(contentsOf(saved), file);

    // The target, saved in turn, makes the very same file.
    const config::SaveResult again =
        target.files().save(answer(FileQuestion::Kind::Save, savedAgain));
    ASSERT_TRUE(again.written);
    EXPECT_EQ(contentsOf(savedAgain), file);

    // Both programs exit cleanly; the target stored the source's values of every line the file
    // carries and kept its own identity and everything else, and the save changed nothing in
    // the source.
    EXPECT_TRUE(source.stop()) << source.output();
    EXPECT_TRUE(target.stop()) << target.output();
    const std::optional<sim::Parameters> sourceStored = source.stored(c.simFamily);
    const std::optional<sim::Parameters> targetStored = target.stored(c.simFamily);
    ASSERT_TRUE(sourceStored.has_value());
    ASSERT_TRUE(targetStored.has_value());
    EXPECT_EQ(sim::formatState(c.simFamily, *sourceStored),
              sim::formatState(c.simFamily, c.source));
    EXPECT_EQ(sim::formatState(c.simFamily, *targetStored),
              sim::formatState(c.simFamily, expectedAfterLoad(c)));
}

INSTANTIATE_TEST_SUITE_P(Families, ConfigurationCopyTest, ::testing::ValuesIn(familyCases()),
                         [](const ::testing::TestParamInfo<FamilyCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace orvo
