// orvo-cli as a production line runs it: the program started in a working folder whose
// File_data/ports/ holds the links of simulator programs, each serving one encoder over a
// pseudo-terminal, with its exit status, its standard output (text or JSON) and error, and its
// unit log read back as a script would.

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "config/file_procedures.h"
#include "connection/identify.h"
#include "link/commands.h"
#include "params/parameter_procedures.h"
#include "platform/termios_serial_device.h"
#include "sim/encoder_profile.h"
#include "sim/state_file.h"
#include "support/family_cases.h"
#include "support/file_bytes.h"
#include "support/program_run.h"
#include "support/sim_process.h"
#include "support/simulator_link.h"
#include "text/catalogue.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using testing::contentsOf;
using testing::FamilyCase;
using testing::ProgramResult;
using testing::writeFile;

// Generous: the suite also runs under sanitizers on a loaded machine.
constexpr int kProgramTimeoutMs = 180000;

enum Exit {
    kOk = 0,
    kUsage = 2,
    kNoEncoder = 3,
    kFileUnusable = 4,
    kEncoderFailed = 5,
    kMismatch = 6
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The JSON objects of standard output, one per line.
std::vector<QJsonObject> jsonLines(const std::string& out) {
    std::vector<QJsonObject> objects;
    for (const std::string& line : linesOf(out)) {
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line));
        EXPECT_TRUE(doc.isObject()) << line;
        objects.push_back(doc.object());
    }
    return objects;
}

// The command codes of the frames a trace shows sent: "hh:mm:ss.mmm Tx: 7C 01 A5 ...".
std::vector<int> sentCommands(const std::string& trace) {
    std::vector<int> codes;
    for (const std::string& line : linesOf(trace)) {
        const std::size_t tx = line.find("Tx: ");
        if (tx == std::string::npos) {
            continue;
        }
        std::istringstream bytes(line.substr(tx + 4));
        std::string start, node, command;
        bytes >> start >> node >> command;
        codes.push_back(std::stoi(command, nullptr, 16));
    }
    return codes;
}

bool anyWrite(const std::vector<int>& codes) {
    for (const int code : codes) {
        if ((code & link::cmd::kWriteBit) != 0) {
            return true;
        }
    }
    return false;
}

class CliTest : public ::testing::Test {
protected:
    // A simulator program of the family on the link, starting from `stored`.
    testing::SimProcess& startEncoder(const std::string& link, sim::Family family,
                                      const sim::Parameters& stored,
                                      std::vector<std::string> extra = {}) {
        const fs::path state = statePath(link);
        writeFile(state, sim::formatState(family, stored));
        std::vector<std::string> args{"--family", familyName(family), "--link",
                                      link,       "--speed",          "0",
                                      "--state",  state.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        encoders_.push_back(std::make_unique<testing::SimProcess>(ORVO_SIM_PROGRAM, dir(), args));
        EXPECT_TRUE(encoders_.back()->ready()) << encoders_.back()->output();
        return *encoders_.back();
    }
    fs::path statePath(const std::string& link) const { return dir() / (link + ".state"); }
    std::optional<sim::Parameters> stored(const std::string& link, sim::Family family) const {
        const sim::StateLoadResult r =
            sim::parseState(contentsOf(statePath(link)), sim::factoryProfile(family));
        if (r.status != sim::StateLoadStatus::Loaded) {
            return std::nullopt;
        }
        return r.stored;
    }
    static std::string familyName(sim::Family family) {
        switch (family) {
            case sim::Family::Ssi:
                return "ssi";
            case sim::Family::Analog:
                return "analog";
            case sim::Family::Parallel:
                return "parallel";
            case sim::Family::None:
                break;
        }
        return "ssi";
    }

    ProgramResult cli(const std::vector<std::string>& args) {
        ProgramResult r = testing::runProgram(ORVO_CLI_PROGRAM, dir(), args, kProgramTimeoutMs);
        EXPECT_TRUE(r.exited) << "orvo-cli did not end: " << r.err;
        return r;
    }
    const fs::path& dir() const { return folder_.path(); }

private:
    testing::TempFolder folder_;
    std::vector<std::unique_ptr<testing::SimProcess>> encoders_;
};

TEST_F(CliTest, IdentifyFindsTheEncoderAndPrintsItsIdentity) {
    sim::Parameters p = testing::factoryParameters(sim::Family::Parallel);
    p.node = 7;
    p.serialNumber = 4455667;
    startEncoder("ttyA", sim::Family::Parallel, p);

    const ProgramResult text = cli({"identify", "--port", "ttyA"});
    EXPECT_EQ(text.exitCode, kOk) << text.err;
    EXPECT_NE(text.out.find("node           7\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("family         Parallel"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("serial number  4455667\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("version        1.30\n"), std::string::npos) << text.out;

    // Without --port the search goes through every port until one answers.
    const ProgramResult json = cli({"identify", "--json", "--quiet"});
    ASSERT_EQ(json.exitCode, kOk) << json.err;
    const std::vector<QJsonObject> objects = jsonLines(json.out);
    ASSERT_EQ(objects.size(), 1U) << json.out;
    const QJsonObject& id = objects[0];
    EXPECT_EQ(id["port"].toString(), "ttyA");
    EXPECT_EQ(id["node"].toInt(), 7);
    EXPECT_EQ(id["family"].toString(), "parallel");
    EXPECT_EQ(id["deviceType"].toString(), "P28Y");
    EXPECT_EQ(id["serialNumber"].toInteger(), 4455667);
    EXPECT_EQ(id["status"].toInt(), kOk);
}

TEST_F(CliTest, NoEncoderAndBadUsageGetTheirOwnExitStatus) {
    const ProgramResult none = cli({"identify", "--port", "ttyNONE"});
    EXPECT_EQ(none.exitCode, kNoEncoder);
    EXPECT_NE(none.err.find("no encoder found on ttyNONE"), std::string::npos) << none.err;

    const ProgramResult bad = cli({"load", "--batch"});
    EXPECT_EQ(bad.exitCode, kUsage);
    const std::vector<std::string> lines = linesOf(bad.err);
    ASSERT_GE(lines.size(), 2U) << bad.err;
    EXPECT_EQ(lines[0], "orvo-cli: load needs a FILE");
    EXPECT_EQ(lines[1].rfind("usage: ", 0), 0U);
    EXPECT_TRUE(bad.out.empty());

    const ProgramResult help = cli({"--help"});
    EXPECT_EQ(help.exitCode, kOk);
    EXPECT_NE(help.out.find("Exit status:"), std::string::npos);
}

class CliCopyTest : public CliTest, public ::testing::WithParamInterface<FamilyCase> {};

// Saved from one encoder, loaded into another of the family set up otherwise, verified: the
// load's own verify and a verify alone both find every value, and the second encoder holds them.
TEST_P(CliCopyTest, SaveLoadAndVerifyCopyEveryValue) {
    const FamilyCase& c = GetParam();
    startEncoder("ttyFROM", c.simFamily, c.source);
    startEncoder("ttyINTO", c.simFamily, c.target);
    const fs::path file = dir() / "P001.dat";

    const ProgramResult save = cli({"save", file.string(), "--port", "ttyFROM"});
    ASSERT_EQ(save.exitCode, kOk) << save.out << save.err;
    const std::string saved = contentsOf(file);

    // The window's save procedure writes the very same bytes.
    {
        testing::SimulatorLink window(dir(), "ttyFROM");
        ASSERT_TRUE(window.opened());
        model::EncoderState state;
        state.baudRate = "9600";
        params::ParameterProcedures procedures(window.link(), state);
        text::Catalogue catalogue;
        config::FileProcedures files(window.link(), state, procedures, catalogue);
        connection::identify(window.link(), state);
        const fs::path windowFile = dir() / "window.dat";
        ASSERT_TRUE(files
                        .save([&](const config::FileQuestion&) {
                            return std::optional(windowFile.string());
                        })
                        .written);
        EXPECT_EQ(contentsOf(windowFile), saved);
        window.link().shutdown();
    }

    const ProgramResult load =
        cli({"load", file.string(), "--port", "ttyINTO", "--json", "--log", "units.log"});
    ASSERT_EQ(load.exitCode, kOk) << load.out << load.err;
    const std::vector<QJsonObject> objects = jsonLines(load.out);
    ASSERT_EQ(objects.size(), 1U);
    const QJsonArray writes = objects[0]["writes"].toArray();
    EXPECT_EQ(static_cast<std::size_t>(writes.size()), c.writes);
    const QJsonArray verified = objects[0]["verify"].toArray();
    ASSERT_FALSE(verified.isEmpty());
    std::size_t compared = 0;
    for (const QJsonValue& line : verified) {
        const QString result = line["result"].toString();
        EXPECT_TRUE(result == "ok" || result == "not used")
            << line["parameter"].toString().toStdString() << ": " << result.toStdString();
        compared += result == "ok" ? 1 : 0;
    }
    EXPECT_EQ(compared, c.writes);
    EXPECT_EQ(contentsOf(file), saved);  // a load only reads its file

    const ProgramResult verify = cli({"verify", file.string(), "--port", "ttyINTO", "--trace"});
    EXPECT_EQ(verify.exitCode, kOk) << verify.out << verify.err;
    EXPECT_FALSE(anyWrite(sentCommands(verify.err))) << verify.err;
    for (const QJsonValue& line : verified) {
        const std::string name = line["parameter"].toString().toStdString();
        EXPECT_NE(verify.out.find("\n" + name + " "), std::string::npos) << verify.out;
    }

    const std::optional<sim::Parameters> target = stored("ttyINTO", c.simFamily);
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(sim::formatState(c.simFamily, *target),
              sim::formatState(c.simFamily, testing::expectedAfterLoad(c)));

    // The unit log: local time, port, serial number, device type, file, command, result.
    const std::vector<std::string> log = linesOf(contentsOf(dir() / "units.log"));
    ASSERT_EQ(log.size(), 1U);
    std::vector<std::string> fields;
    std::istringstream line(log[0]);
    for (std::string field; std::getline(line, field, '\t');) {
        fields.push_back(field);
    }
    ASSERT_EQ(fields.size(), 7U) << log[0];
    EXPECT_EQ(fields[1], "ttyINTO");
    EXPECT_EQ(fields[2], std::to_string(c.target.serialNumber));
    EXPECT_EQ(fields[4], fs::canonical(file).string());
    EXPECT_EQ(fields[5], "load");
    EXPECT_EQ(fields[6].rfind("ok", 0), 0U) << fields[6];
}

INSTANTIATE_TEST_SUITE_P(Families, CliCopyTest, ::testing::ValuesIn(testing::familyCases()),
                         [](const ::testing::TestParamInfo<FamilyCase>& info) {
                             return std::string(info.param.name);
                         });

// The encoder acknowledges the turns but keeps its own: the verify after the load finds it.
TEST_F(CliTest, AWriteAcknowledgedButNotAppliedIsAMismatch) {
    const FamilyCase c = testing::familyCases()[0];
    startEncoder("ttyFROM", c.simFamily, c.source);
    const fs::path file = dir() / "P001.dat";
    ASSERT_EQ(cli({"save", file.string(), "--port", "ttyFROM", "--quiet"}).exitCode, kOk);

    std::ostringstream rule;
    rule << "ignore:cmd=" << static_cast<int>(link::cmd::kWriteNumTurns) << ":next=1";
    startEncoder("ttyINTO", c.simFamily, c.target, {"--fault", rule.str()});
    const ProgramResult load = cli({"load", file.string(), "--port", "ttyINTO", "--lang", "it"});
    EXPECT_EQ(load.exitCode, kMismatch) << load.out << load.err;
    // The procedure's log lines come in the language asked for.
    EXPECT_EQ(load.out.rfind("Inizio procedura...\n", 0), 0U) << load.out;
    bool named = false;
    for (const std::string& line : linesOf(load.out)) {
        if (line.rfind("NumTurns ", 0) == 0) {
            named = true;
            EXPECT_NE(line.find(std::to_string(c.source.numTurns)), std::string::npos) << line;
            EXPECT_NE(line.find(std::to_string(c.target.numTurns)), std::string::npos) << line;
            EXPECT_NE(line.find("MISMATCH"), std::string::npos) << line;
        } else if (line.rfind("InfoTurn ", 0) == 0) {
            EXPECT_NE(line.find(" ok"), std::string::npos) << line;
        }
    }
    EXPECT_TRUE(named) << load.out;
    EXPECT_NE(load.out.find("MISMATCH NumTurns  ttyINTO"), std::string::npos) << load.out;
}

// A save that cannot read every value leaves the file of that name as it was.
TEST_F(CliTest, ASaveThatMissesAValueKeepsTheFileThere) {
    std::ostringstream rule;
    rule << "noreply:cmd=" << static_cast<int>(link::cmd::kReadDeltaPos);
    startEncoder("ttyA", sim::Family::Ssi, testing::factoryParameters(sim::Family::Ssi),
                 {"--fault", rule.str()});
    const fs::path file = dir() / "P001.dat";
    writeFile(file, "an earlier configuration");

    const ProgramResult save = cli({"save", file.string(), "--port", "ttyA", "--json"});
    EXPECT_EQ(save.exitCode, kEncoderFailed) << save.out << save.err;
    EXPECT_EQ(contentsOf(file), "an earlier configuration");
    const std::vector<QJsonObject> objects = jsonLines(save.out);
    ASSERT_EQ(objects.size(), 1U);
    EXPECT_EQ(objects[0]["result"].toString(), "not saved: a value could not be read");
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(dir())) {
        if (entry.path().extension() != ".state") {
            entries.push_back(entry.path().filename().string());
        }
    }
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"File_data", "P001.dat"}));
}

struct UnusableFile {
    const char* name;
    std::string text;  // empty: no file at all
};

// A file that cannot be used is refused before anything is sent: no write, no store.
TEST_F(CliTest, AnUnusableFileWritesNothing) {
    const sim::Parameters ssi = testing::factoryParameters(sim::Family::Ssi);
    startEncoder("ttyA", sim::Family::Ssi, ssi);
    const std::string before = contentsOf(statePath("ttyA"));
    const std::string analogFile =
        "ORVO Anglemetry\r\nOutput = Analog;\r\nBaudrate = 9600;\r\nConfig = 0;\r\n"
        "DAC_control = 4101;\r\nNumTurns = 16;\r\nPreset = 0;\r\nDeltaUser = -;\r\nEND\r\n";
    const std::string damaged =
        "ORVO Anglemetry\r\nOutput = SSI;\r\nBaudrate = 9600;\r\nConfig = 0;\r\n"
        "NclockSSI = 2x5;\r\nTimeoutSSI = 1;//index of ComboBox\r\nInfoTurn = 8192;\r\n"
        "NumTurns = 16;\r\nPreset = 0;\r\nDeltaUser = 131072;\r\nDeltaPos = 7200;\r\nEND\r\n";
    const UnusableFile cases[] = {
        {"another family's file", analogFile},
        {"a damaged file", damaged},
        {"no file", ""},
    };
    for (const UnusableFile& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir() / "unusable.dat";
        fs::remove(file);
        if (!c.text.empty()) {
            writeFile(file, c.text);
        }
        const ProgramResult load =
            cli({"load", file.string(), "--port", "ttyA", "--trace", "--json"});
        EXPECT_EQ(load.exitCode, kFileUnusable) << load.out << load.err;
        const std::vector<int> sent = sentCommands(load.err);
        EXPECT_FALSE(sent.empty()) << load.err;  // the trace shows the search and the reads
        EXPECT_FALSE(anyWrite(sent)) << load.err;
        const std::vector<QJsonObject> objects = jsonLines(load.out);
        ASSERT_EQ(objects.size(), 1U);
        EXPECT_TRUE(objects[0]["writes"].toArray().isEmpty());
        EXPECT_EQ(objects[0]["result"].toString().left(14), "file unusable:");
    }
    EXPECT_EQ(contentsOf(statePath("ttyA")), before);
}

// Two units, one after the other on the same port: the simulator stops (the encoder unplugged)
// and starts again with another serial number (the next one plugged in).
TEST_F(CliTest, ABatchProgramsOneUnitAfterTheOtherAndLogsEach) {
    const FamilyCase c = testing::familyCases()[0];
    startEncoder("ttyFROM", c.simFamily, c.source);
    const fs::path file = dir() / "P001.dat";
    ASSERT_EQ(cli({"save", file.string(), "--port", "ttyFROM", "--quiet"}).exitCode, kOk);

    auto unit = std::make_unique<testing::SimProcess>(
        ORVO_SIM_PROGRAM, dir(),
        std::vector<std::string>{"--family", "ssi", "--link", "ttyLINE", "--speed", "0", "--serial",
                                 "9000001"});
    ASSERT_TRUE(unit->ready()) << unit->output();
    testing::RunningProgram batch(
        ORVO_CLI_PROGRAM, dir(),
        {"load", file.string(), "--batch", "--port", "ttyLINE", "--log", "line.log"});
    ASSERT_TRUE(batch.waitForOutput("serial 9000001", kProgramTimeoutMs)) << batch.err();
    unit.reset();  // unplugged

    unit = std::make_unique<testing::SimProcess>(
        ORVO_SIM_PROGRAM, dir(),
        std::vector<std::string>{"--family", "ssi", "--link", "ttyLINE", "--speed", "0", "--serial",
                                 "9000002"});
    ASSERT_TRUE(unit->ready()) << unit->output();
    ASSERT_TRUE(batch.waitForOutput("serial 9000002", kProgramTimeoutMs)) << batch.err();

    batch.signal(SIGINT);
    const ProgramResult result = batch.wait(kProgramTimeoutMs);
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.exitCode, kOk) << result.out << result.err;
    const std::vector<std::string> out = linesOf(result.out);
    ASSERT_EQ(out.size(), 3U) << result.out;
    EXPECT_EQ(out[0].rfind("ok: loaded and verified  ttyLINE  serial 9000001", 0), 0U) << out[0];
    EXPECT_EQ(out[1].rfind("ok: loaded and verified  ttyLINE  serial 9000002", 0), 0U) << out[1];
    EXPECT_EQ(out[2], "batch: 2 units, 2 passed, 0 failed");

    const std::vector<std::string> log = linesOf(contentsOf(dir() / "line.log"));
    ASSERT_EQ(log.size(), 2U);
    EXPECT_NE(log[0].find("\tttyLINE\t9000001\tS25P\t"), std::string::npos) << log[0];
    EXPECT_NE(log[1].find("\tttyLINE\t9000002\tS25P\t"), std::string::npos) << log[1];
}

// Held: this test process has the port open, as the window of the tool would.
TEST_F(CliTest, PortsTellsAFreePortFromOneHeldByAnotherProgram) {
    startEncoder("ttyFREE", sim::Family::Ssi, testing::factoryParameters(sim::Family::Ssi));
    startEncoder("ttyHELD", sim::Family::Ssi, testing::factoryParameters(sim::Family::Ssi));
    platform::TermiosSerialDevice holder;
    ASSERT_TRUE(holder.open((dir() / "File_data/ports/ttyHELD").string()));

    const ProgramResult text = cli({"ports"});
    EXPECT_EQ(text.exitCode, kOk) << text.err;
    bool free = false;
    bool held = false;
    for (const std::string& line : linesOf(text.out)) {
        if (line.rfind("ttyFREE ", 0) == 0) {
            free = line.find(" free ") != std::string::npos;
        }
        if (line.rfind("ttyHELD ", 0) == 0) {
            held = line.find(" held: by ") != std::string::npos &&
                   line.find("(pid " + std::to_string(getpid()) + ")") != std::string::npos;
        }
    }
    EXPECT_TRUE(free) << text.out;
    EXPECT_TRUE(held) << text.out;

    const ProgramResult json = cli({"ports", "--json"});
    const std::vector<QJsonObject> objects = jsonLines(json.out);
    ASSERT_EQ(objects.size(), 1U);
    bool found = false;
    for (const QJsonValue& port : objects[0]["ports"].toArray()) {
        if (port["name"].toString() == "ttyHELD") {
            found = true;
            EXPECT_EQ(port["state"].toString(), "held");
            EXPECT_EQ(port["holderPid"].toInteger(), getpid());
        }
    }
    EXPECT_TRUE(found) << json.out;
    holder.close();
}

}  // namespace
}  // namespace orvo
