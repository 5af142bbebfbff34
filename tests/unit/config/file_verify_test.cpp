// The verify of a configuration file against the encoder, over in-process simulated encoders:
// value by value by the word a load would send, with the lines a file does not use, the values
// the encoder did not give, and files that cannot be compared.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "config/file_procedures.h"
#include "connection/identify.h"
#include "link/commands.h"
#include "platform/clock.h"
#include "sim/sim_serial_device.h"
#include "sim/simulated_encoder.h"
#include "support/file_bytes.h"
#include "support/sim_process.h"
#include "text/catalogue.h"

namespace orvo::config {
namespace {

namespace fs = std::filesystem;
using testing::contentsOf;
using testing::writeFile;

class FileVerifyTest : public ::testing::Test {
protected:
    void connect(sim::Family family, const sim::Parameters& stored) {
        sim::EncoderProfile profile = sim::factoryProfile(family);
        profile.factory = stored;
        encoder = std::make_shared<sim::SimulatedEncoder>(sim::EncoderModel(profile),
                                                          platform::monotonicUs());
        ports.addPort("/sim/ttyA", encoder);
        link = std::make_unique<link::Link>(ports.deviceFactory(),
                                            [](const std::string& name) { return name; });
        link->start();
        ASSERT_EQ(link->openActivePort("/sim/ttyA", 9600), link::status::kOk);
        state.baudRate = "9600";
        procedures = std::make_unique<params::ParameterProcedures>(*link, state);
        files = std::make_unique<FileProcedures>(*link, state, *procedures, catalogue);
        ASSERT_TRUE(connection::identify(*link, state).family.has_value());
    }
    void TearDown() override {
        if (link) {
            link->shutdown();
        }
    }
    fs::path saved() {
        const fs::path file = folder.path() / "saved.dat";
        EXPECT_TRUE(
            files->save([&](const FileQuestion&) { return std::optional(file.string()); }).written);
        return file;
    }
    static const VerifyLine& lineOf(const VerifyResult& r, Parameter parameter) {
        for (const VerifyLine& line : r.lines) {
            if (line.parameter == parameter) {
                return line;
            }
        }
        static const VerifyLine none;
        ADD_FAILURE() << "no line for parameter " << static_cast<int>(parameter);
        return none;
    }

    testing::TempFolder folder;
    text::Catalogue catalogue;
    sim::SimulatedPorts ports;
    std::shared_ptr<sim::SimulatedEncoder> encoder;
    std::unique_ptr<link::Link> link;
    model::EncoderState state;
    std::unique_ptr<params::ParameterProcedures> procedures;
    std::unique_ptr<FileProcedures> files;
};

TEST_F(FileVerifyTest, AnEncoderMatchesItsOwnFileAndAChangedValueIsNamed) {
    connect(sim::Family::Ssi, sim::factoryProfile(sim::Family::Ssi).factory);
    const fs::path file = saved();
    const VerifyResult same = files->verify(file.string());
    ASSERT_EQ(same.status, VerifyStatus::Compared);
    EXPECT_TRUE(same.matches());
    // Every value a load sends, none of the baud rate, which it never sends.
    EXPECT_EQ(same.lines.size(), 8U);
    EXPECT_EQ(lineOf(same, Parameter::NumTurns).fileValue, "4096");

    encoder->withModel([](sim::EncoderModel& m) {
        sim::Parameters p = m.stored();
        p.numTurns = 512;
        m.loadStored(p);
    });
    const VerifyResult changed = files->verify(file.string());
    EXPECT_FALSE(changed.matches());
    const VerifyLine& turns = lineOf(changed, Parameter::NumTurns);
    EXPECT_EQ(turns.verdict, Verdict::Different);
    EXPECT_EQ(turns.fileValue, "4096");
    EXPECT_EQ(turns.encoderValue, std::optional<std::string>("512"));
    EXPECT_EQ(lineOf(changed, Parameter::InfoTurn).verdict, Verdict::Same);
}

TEST_F(FileVerifyTest, AValueTheEncoderDoesNotGiveIsNotReadAndNoMatch) {
    connect(sim::Family::Ssi, sim::factoryProfile(sim::Family::Ssi).factory);
    const fs::path file = saved();
    encoder->addFault(
        {sim::Fault::noReply(), sim::FaultScope::everyFrame(), link::cmd::kReadDeltaPos});
    const VerifyResult r = files->verify(file.string());
    EXPECT_EQ(lineOf(r, Parameter::DeltaPos).verdict, Verdict::NotRead);
    EXPECT_FALSE(lineOf(r, Parameter::DeltaPos).encoderValue.has_value());
    EXPECT_FALSE(r.matches());
}

// The analog file marks the turns as not used in a programmed stroke: not sent, not compared.
TEST_F(FileVerifyTest, TheLineAFileDoesNotUseIsNotCompared) {
    sim::Parameters p = sim::factoryProfile(sim::Family::Analog).factory;
    p.configuration = link::config_bits::kProgrammed;
    p.deltaUser = 50000;
    connect(sim::Family::Analog, p);
    const fs::path file = saved();
    ASSERT_NE(contentsOf(file).find("NumTurns = -;"), std::string::npos);
    encoder->withModel([](sim::EncoderModel& m) {
        sim::Parameters changed = m.stored();
        changed.numTurns = 3;
        m.loadStored(changed);
    });
    const VerifyResult r = files->verify(file.string());
    EXPECT_TRUE(r.matches());
    EXPECT_EQ(lineOf(r, Parameter::NumTurns).verdict, Verdict::NotUsed);
    EXPECT_EQ(lineOf(r, Parameter::DeltaUser).verdict, Verdict::Same);
}

// In a programmed mode the position page shows the preset scaled; the load sends the file's
// number as the word, so the word the encoder holds is what is compared.
TEST_F(FileVerifyTest, TheProgrammedPresetIsComparedAsTheWordHeld) {
    sim::Parameters p = sim::factoryProfile(sim::Family::Ssi).factory;
    p.configuration = link::config_bits::kProgrammed;
    p.presetValue = 1000;
    connect(sim::Family::Ssi, p);
    fs::path file = saved();
    std::string text = contentsOf(file);
    const std::size_t at = text.find("Preset = ");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, text.find(';', at) - at, "Preset = 1000");
    writeFile(file, text);

    const VerifyResult r = files->verify(file.string());
    const VerifyLine& preset = lineOf(r, Parameter::Preset);
    EXPECT_EQ(preset.verdict, Verdict::Same);
    EXPECT_EQ(preset.encoderValue, std::optional<std::string>("1000"));
}

// A load hands back what the encoder answered afterwards, and only that: a value it did not give
// is missing from the read-back, while the summary goes on showing the file's value.
TEST_F(FileVerifyTest, ALoadReadsBackOnlyWhatTheEncoderAnswered) {
    connect(sim::Family::Ssi, sim::factoryProfile(sim::Family::Ssi).factory);
    const fs::path file = saved();
    encoder->addFault(
        {sim::Fault::noReply(), sim::FaultScope::everyFrame(), link::cmd::kReadNumTurns});
    const auto choose = [&](const FileQuestion&) { return std::optional(file.string()); };

    const LoadResult everyValue = files->load(choose, AfterLoad::ReadEveryValue);
    ASSERT_EQ(everyValue.status, LoadStatus::Written);
    EXPECT_FALSE(everyValue.readBack.values.numTurns.has_value());
    EXPECT_EQ(state.summary.numTurns, std::optional<std::string>("4096"));
    const VerifyResult compared =
        compareWithFile(everyValue.file, everyValue.readBack, state.family);
    EXPECT_EQ(lineOf(compared, Parameter::NumTurns).verdict, Verdict::NotRead);
    EXPECT_EQ(lineOf(compared, Parameter::InfoTurn).verdict, Verdict::Same);
    EXPECT_EQ(lineOf(compared, Parameter::DeltaPos).verdict, Verdict::Same);

    // The window's read-back after a load asks for no programmed resolution.
    const LoadResult window = files->load(choose);
    ASSERT_EQ(window.status, LoadStatus::Written);
    EXPECT_TRUE(window.readBack.values.infoTurn.has_value());
    EXPECT_FALSE(window.readBack.values.deltaPos.has_value());
    EXPECT_FALSE(window.readBack.values.numTurns.has_value());
}

TEST_F(FileVerifyTest, FilesThatCannotBeComparedSaySo) {
    connect(sim::Family::Ssi, sim::factoryProfile(sim::Family::Ssi).factory);
    const fs::path analog = folder.path() / "analog.dat";
    writeFile(analog, "ORVO Anglemetry\r\nOutput = Analog;\r\nBaudrate = 9600;\r\nEND\r\n");
    const fs::path damaged = folder.path() / "damaged.dat";
    writeFile(damaged,
              "ORVO Anglemetry\r\nOutput = SSI;\r\nBaudrate = 9600;\r\nConfig = x;\r\nEND\r\n");

    const std::pair<fs::path, VerifyStatus> cases[] = {
        {folder.path() / "missing.dat", VerifyStatus::CannotOpen},
        {analog, VerifyStatus::WrongInterface},
        {damaged, VerifyStatus::SyntaxError},
    };
    for (const auto& [file, status] : cases) {
        SCOPED_TRACE(file.filename().string());
        const VerifyResult r = files->verify(file.string());
        EXPECT_EQ(r.status, status);
        EXPECT_TRUE(r.lines.empty());
        EXPECT_FALSE(r.matches());
    }
}

}  // namespace
}  // namespace orvo::config
