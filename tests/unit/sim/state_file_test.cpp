#include "sim/state_file.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "link/commands.h"
#include "sim/encoder_model.h"

namespace orvo::sim {
namespace {

namespace fs = std::filesystem;

class StateFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("orvo_sim_state_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const char* name) const { return (folder_ / name).string(); }

    fs::path folder_;
};

TEST_F(StateFileTest, StoredParametersSurviveARestart) {
    const EncoderProfile profile = factoryProfile(Family::Parallel);
    Parameters stored = profile.factory;
    stored.node = 42;
    stored.serialNumber = 4000000000u;
    stored.configuration = 0xFE;
    stored.infoTurn = 1000;
    stored.numTurns = 77;
    stored.deltaPos = 0;
    stored.deltaUser = 123456;
    stored.presetValue = 99;
    stored.activeOffset = 98;
    stored.presetShift = 97;
    stored.strokeOrigin = 96;
    stored.options = 3;
    stored.baudCode = 13;

    std::string error;
    ASSERT_TRUE(saveStateFile(path("enc.state"), Family::Parallel, stored, error)) << error;
    EXPECT_FALSE(fs::exists(path("enc.state.tmp")));

    const StateLoadResult loaded = loadStateFile(path("enc.state"), profile);
    EXPECT_EQ(loaded.status, StateLoadStatus::Loaded);
    EXPECT_EQ(loaded.stored, stored);

    // What a restarted encoder answers.
    EncoderModel model(profile);
    model.loadStored(loaded.stored);
    EXPECT_EQ(model.handle(link::encodeFrame(42, link::cmd::kReadInfoTurn, 0), 0),
              link::encodeFrame(42, link::cmd::kReadInfoTurn, 1000));
}

TEST_F(StateFileTest, MissingFileMeansFactoryDefaults) {
    const EncoderProfile profile = factoryProfile(Family::Ssi);
    const StateLoadResult loaded = loadStateFile(path("absent.state"), profile);
    EXPECT_EQ(loaded.status, StateLoadStatus::Missing);
    EXPECT_EQ(loaded.stored, profile.factory);
}

TEST_F(StateFileTest, CommentsBlankLinesAndMissingKeysAreFine) {
    const EncoderProfile profile = factoryProfile(Family::Analog);
    const StateLoadResult loaded =
        parseState("# saved by hand\r\n\r\nfamily=analog\r\n  num_turns = 512 \r\n", profile);
    ASSERT_EQ(loaded.status, StateLoadStatus::Loaded) << loaded.error;
    Parameters expected = profile.factory;
    expected.numTurns = 512;
    EXPECT_EQ(loaded.stored, expected);
}

TEST_F(StateFileTest, MalformedFileIsReportedAndIgnored) {
    struct Case {
        const char* name;
        const char* text;
        const char* errorMentions;
    } cases[] = {
        {"unknown key", "node=3\ncolour=blue\n", "line 2"},
        {"not a number", "info_turn=lots\n", "info_turn"},
        {"byte out of range", "configuration=256\n", "configuration"},
        {"word out of range", "serial=4294967296\n", "serial"},
        {"negative", "num_turns=-1\n", "num_turns"},
        {"empty value", "node=\n", "node"},
        {"no equals sign", "node 3\n", "key=value"},
        {"another family", "family=analog\n", "family"},
        {"binary junk", "\x01\x02\x7C\x04\n", "line 1"},
    };
    const EncoderProfile profile = factoryProfile(Family::Ssi);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            std::ofstream out(path("bad.state"), std::ios::binary | std::ios::trunc);
            out << c.text;
        }
        const StateLoadResult loaded = loadStateFile(path("bad.state"), profile);
        EXPECT_EQ(loaded.status, StateLoadStatus::Malformed);
        EXPECT_EQ(loaded.stored, profile.factory);
        EXPECT_NE(loaded.error.find(c.errorMentions), std::string::npos) << loaded.error;
    }
}

TEST_F(StateFileTest, SaveIntoAMissingFolderFailsCleanly) {
    std::string error;
    EXPECT_FALSE(saveStateFile(path("no/such/folder/enc.state"), Family::Ssi,
                               factoryProfile(Family::Ssi).factory, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace orvo::sim
