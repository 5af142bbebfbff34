// The window offscreen polls orvo-encoder-sim over its pseudo-terminal while the encoder answers
// a few per cent of the position and diagnostic reads late (40, 130 or 300 ms: some after the
// next request has gone out; the encoder answers in turn, so a late reply holds back the ones
// after it), and a user's change comes every 50 to 400 ms: a list change, a resolution write or
// a preset. Every write the window sends is held against what the user chose, every change the
// window reports done against what the simulator stored, and every reply the window took
// against the one the simulator sent for that very request. Prints one line:
// family=F seconds=N busy=N changes=N done=N refused=N lost=N lost_own_fault=N wrong_written=N
// stale_taken=N late_replies=N readings=N
// refused counts the changes the window refused before sending anything (an entry out of range);
// lost_own_fault counts the lost changes one of whose own requests the encoder answered late.
// A sound link shows wrong_written=0, stale_taken=0 and lost equal to lost_own_fault.
//
// Options: --family analog|ssi|parallel (default analog), --seconds N (default 120), --busy N
// (CPU-bound loops running beside it, default 0), --seed N (default 1).

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "connection/identification_panel.h"
#include "connection/position_panel.h"
#include "link/commands.h"
#include "link/frame.h"
#include "params/analog_panel.h"
#include "params/parallel_panel.h"
#include "params/ssi_panel.h"
#include "platform/clock.h"
#include "platform/port_lister.h"
#include "platform/termios_serial_device.h"
#include "shell/main_window.h"
#include "sim/encoder_profile.h"
#include "sim/state_file.h"
#include "support/scripted_dialogs.h"
#include "support/sim_process.h"

namespace {

using namespace orvo;
namespace cmd = link::cmd;
using link::Frame;

void runEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The hexadecimal bytes of a traffic or log line, after its prefix.
std::vector<std::uint8_t> bytesOfLine(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        if (word.size() == 2 && std::isxdigit(static_cast<unsigned char>(word[0])) != 0 &&
            std::isxdigit(static_cast<unsigned char>(word[1])) != 0) {
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
        }
    }
    return bytes;
}

std::optional<Frame> frameOf(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() != link::kFrameSize) {
        return std::nullopt;
    }
    Frame f{};
    std::copy(bytes.begin(), bytes.end(), f.begin());
    return f;
}

// Every request the window wrote, with the reply it took for it.
struct ToolRequest {
    Frame request{};
    bool waited = false;
    std::optional<Frame> taken;
};

class ToolLog {
public:
    // A link that numbers its lines pairs each Rx line with its request exactly.
    void onLine(std::uint64_t id, const std::string& line) {
        if (line.rfind("Tx:", 0) == 0) {
            ids_.push_back(id);
            add(line);
            return;
        }
        for (std::size_t i = requests.size(); i-- > 0;) {
            if (ids_[i] == id) {
                take(i, line);
                return;
            }
        }
    }
    // A link without numbers: an Rx line belongs to the latest request still unanswered (of its
    // code, when it carries one).
    void onLine(const std::string& line) {
        if (line.rfind("Tx:", 0) == 0) {
            ids_.push_back(0);
            add(line);
            return;
        }
        const std::optional<Frame> reply = frameOf(bytesOfLine(line.substr(3)));
        for (std::size_t i = requests.size(); i-- > 0;) {
            if (!requests[i].waited &&
                (!reply || link::frameCommand(requests[i].request) == link::frameCommand(*reply))) {
                take(i, line);
                return;
            }
        }
    }

    std::vector<ToolRequest> requests;

private:
    void add(const std::string& line) {
        ToolRequest r;
        r.request = frameOf(bytesOfLine(line.substr(3))).value_or(Frame{});
        requests.push_back(r);
    }
    void take(std::size_t i, const std::string& line) {
        requests[i].waited = true;
        requests[i].taken = frameOf(bytesOfLine(line.substr(3)));
    }
    std::vector<std::uint64_t> ids_;
};

// What the simulator got and sent, from its frame log.
struct SimExchange {
    Frame request{};
    std::vector<std::uint8_t> reply;
    std::uint32_t delayMs = 0;
};

std::vector<SimExchange> readSimLog(const std::filesystem::path& path) {
    std::vector<SimExchange> exchanges;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("rx ", 0) == 0) {
            SimExchange e;
            e.request = frameOf(bytesOfLine(line.substr(3))).value_or(Frame{});
            exchanges.push_back(e);
        } else if (line.rfind("tx ", 0) == 0 && !exchanges.empty()) {
            std::string text = line.substr(3);
            const std::size_t plus = text.find("(+");
            if (plus != std::string::npos) {
                exchanges.back().delayMs =
                    static_cast<std::uint32_t>(std::stoul(text.substr(plus + 2)));
                text = text.substr(0, plus);
            }
            exchanges.back().reply = bytesOfLine(text);
        }
    }
    return exchanges;
}

// A user's change: what it does on the window, which field of the stored parameters it sets, and
// which bits of each register written may differ from what the encoder held.
struct Change {
    std::string name;
    std::function<void()> clearPicture;
    std::function<bool()> done;
    std::function<void()> make;
    // The stored field the change sets, and the value chosen.
    std::function<std::uint32_t(const sim::Parameters&)> field;
    std::uint32_t chosen = 0;
    bool checkStored = true;
    // Write code -> bits it may change; kAnyData: any data; a code not listed may not be sent.
    std::vector<std::pair<std::uint8_t, std::uint32_t>> writes;
    std::optional<std::uint32_t> exactData;  // for the change's main write, when known
    std::uint8_t mainWrite = 0;
};

constexpr std::uint32_t kAnyData = 0xFFFFFFFF;

class Soak {
public:
    Soak(sim::Family family, std::uint32_t seed) : family_(family), random_(seed) {}

    Change next(shell::TForm1& w) {
        std::uniform_int_distribution<int> pick(0, 99);
        const int roll = pick(random_);
        switch (family_) {
            case sim::Family::Analog:
                if (roll < 15) {
                    return dacList(w, DacList::Enable);
                }
                if (roll < 30) {
                    return dacList(w, DacList::Type);
                }
                if (roll < 50) {
                    return dacList(w, DacList::Range);
                }
                if (roll < 65) {
                    return direction(w, w.Panel4->ComboBox13, w.Panel4->Image1);
                }
                if (roll < 85) {
                    return turns(w, w.Panel4->Edit22, w.Panel4->BitBtn24, 1, 4096);
                }
                return preset(w);
            case sim::Family::Ssi:
                if (roll < 40) {
                    return direction(w, w.Panel3->ComboBox6, w.Panel3->Image24);
                }
                if (roll < 75) {
                    return turns(w, w.Panel3->Edit8, w.Panel3->BitBtn12, 1, 4096);
                }
                return preset(w);
            case sim::Family::Parallel:
                if (roll < 40) {
                    return latch(w);
                }
                if (roll < 75) {
                    return turns(w, w.Panel5->Edit25, w.Panel5->BitBtn31, 1, 16384);
                }
                return preset(w);
            case sim::Family::None:
                break;
        }
        return preset(w);
    }

private:
    static void choose(QComboBox* list, int position) {
        list->setCurrentIndex(position);
        emit list->activated(position);
    }
    int randomIndex(int count) {
        std::uniform_int_distribution<int> pick(0, count - 1);
        return pick(random_);
    }

    Change rowChange(const std::string& name, widgets::StatusImage* image) {
        Change c;
        c.name = name;
        c.clearPicture = [image] { image->setStatus(widgets::RowStatus::None); };
        c.done = [image] { return image->status() == widgets::RowStatus::Success; };
        return c;
    }
    Change glyphChange(const std::string& name, widgets::BitBtn* button, widgets::Glyph success) {
        Change c;
        c.name = name;
        c.clearPicture = [button] { button->setGlyph(widgets::Glyph::None); };
        c.done = [button, success] { return button->glyph() == success; };
        return c;
    }

    enum class DacList { Enable, Type, Range };
    Change dacList(shell::TForm1& w, DacList which) {
        namespace dac = link::dac_bits;
        params::AnalogPanel& p = *w.Panel4;
        QComboBox* lists[] = {p.ComboBox16, p.ComboBox17, p.ComboBox18};
        widgets::StatusImage* images[] = {p.Image4, p.Image5, p.Image6};
        const char* names[] = {"output enable list", "output type list", "output range list"};
        const auto at = static_cast<std::size_t>(which);
        QComboBox* list = lists[at];
        Change c = rowChange(names[at], images[at]);
        const int position = randomIndex(std::max(1, list->count()));
        c.make = [list, position] { choose(list, position); };
        c.mainWrite = cmd::kWriteDacControl;
        switch (which) {
            case DacList::Enable:
                c.field = [](const sim::Parameters& s) {
                    return s.dacControl & dac::kOutputEnabled;
                };
                c.chosen = position == 0 ? dac::kOutputEnabled : 0;
                c.writes = {{cmd::kWriteDacControl, dac::kOutputEnabled}};
                break;
            case DacList::Type:
                c.field = [](const sim::Parameters& s) { return s.dacControl & dac::kCurrent; };
                c.chosen = position == 1 ? dac::kCurrent : 0;
                c.writes = {{cmd::kWriteDacControl, dac::kCurrent | dac::kRangeMask}};
                break;
            case DacList::Range:
                c.field = [](const sim::Parameters& s) { return s.dacControl & dac::kRangeMask; };
                c.checkStored = false;  // its items depend on the type the list was filled for
                c.writes = {{cmd::kWriteDacControl, dac::kRangeMask}};
                break;
        }
        return c;
    }
    Change direction(shell::TForm1&, QComboBox* list, widgets::StatusImage* image) {
        Change c = rowChange("direction list", image);
        const int position = randomIndex(2);
        c.make = [list, position] { choose(list, position); };
        c.field = [](const sim::Parameters& p) {
            return std::uint32_t{p.configuration} & link::config_bits::kCounterClockwise;
        };
        c.chosen = position == 1 ? link::config_bits::kCounterClockwise : 0;
        c.writes = {{cmd::kWriteConfiguration, link::config_bits::kCounterClockwise}};
        c.mainWrite = cmd::kWriteConfiguration;
        return c;
    }
    Change latch(shell::TForm1& w) {
        Change c = rowChange("latch list", w.Panel5->Image13);
        const int position = randomIndex(2);
        QComboBox* list = w.Panel5->ComboBox20;
        c.make = [list, position] { choose(list, position); };
        c.field = [](const sim::Parameters& p) {
            return std::uint32_t{p.options} & link::options_bits::kLatchEnable;
        };
        c.chosen = position == 0 ? link::options_bits::kLatchEnable : 0;
        c.writes = {{cmd::kWriteOptions, link::options_bits::kLatchEnable}};
        c.mainWrite = cmd::kWriteOptions;
        return c;
    }
    Change turns(shell::TForm1&, QLineEdit* edit, widgets::BitBtn* button, std::uint32_t low,
                 std::uint32_t high) {
        Change c = glyphChange("number of turns", button, widgets::Glyph::EnterSuccess);
        std::uniform_int_distribution<std::uint32_t> pick(low, high);
        const std::uint32_t value = pick(random_);
        c.make = [edit, button, value] {
            edit->setText(QString::number(value));
            button->click();
        };
        c.field = [](const sim::Parameters& p) { return p.numTurns; };
        c.chosen = value;
        // The preset goes out again for the new resolution, from what the preset field shows.
        c.writes = {{cmd::kWriteNumTurns, kAnyData}, {cmd::kWritePreset, kAnyData}};
        c.exactData = value;
        c.mainWrite = cmd::kWriteNumTurns;
        return c;
    }
    Change preset(shell::TForm1& w) {
        connection::PositionPanel& p = *w.Panel2;
        Change c = glyphChange("preset", p.BitBtn8, widgets::Glyph::Success);
        // Within every range the encoders start with: small counts, or a small output value.
        std::uniform_int_distribution<std::uint32_t> pick(0, 1000);
        const std::uint32_t value = pick(random_);
        const bool analog = family_ == sim::Family::Analog;
        const QString text =
            analog ? QString::number(value / 100.0, 'f', 2) : QString::number(value);
        QLineEdit* edit = p.Edit5;
        widgets::BitBtn* button = p.BitBtn8;
        c.make = [edit, button, text] {
            edit->setText(text);
            button->click();
        };
        c.field = [](const sim::Parameters& s) { return s.presetValue; };
        c.checkStored = false;  // the activation is not a store
        c.writes = {{cmd::kWritePreset, kAnyData}};
        if (!analog) {
            c.exactData = value;
        }
        c.mainWrite = cmd::kWritePreset;
        return c;
    }

    sim::Family family_;
    std::mt19937 random_;
};

struct Tally {
    int changes = 0;
    int done = 0;
    int refused = 0;
    int lost = 0;
    int lostOwnFault = 0;
    int wrongWritten = 0;
    int staleTaken = 0;
    int lateReplies = 0;
    int readings = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::string familyName = "analog";
    int seconds = 120;
    int busy = 0;
    std::uint32_t seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--family") {
            familyName = value;
        } else if (option == "--seconds") {
            seconds = std::stoi(value);
        } else if (option == "--busy") {
            busy = std::stoi(value);
        } else if (option == "--seed") {
            seed = static_cast<std::uint32_t>(std::stoul(value));
        }
    }
    const std::optional<sim::Family> family = sim::parseFamily(familyName);
    if (!family) {
        std::fprintf(stderr, "unknown family %s\n", familyName.c_str());
        return 2;
    }
    QApplication app(argc, argv);

    testing::TempFolder folder;
    std::filesystem::create_directories(folder.path() / "File_data");
    const std::filesystem::path statePath = folder.path() / "encoder.state";
    const std::filesystem::path simLog = folder.path() / "sim.log";
    std::vector<std::string> args = {
        "--family", familyName,         "--link",    "ttySOAK", "--speed",           "0.7",
        "--state",  statePath.string(), "--verbose", "--seed",  std::to_string(seed)};
    std::vector<std::uint8_t> lateCodes = {cmd::kReadPosition};
    if (*family == sim::Family::Analog) {
        lateCodes.push_back(cmd::kReadAnalog);
    }
    for (const std::uint8_t code : lateCodes) {
        for (const int ms : {40, 130, 300}) {
            char rule[64];
            std::snprintf(rule, sizeof rule, "late:ms=%d:prob=0.01:cmd=0x%02X", ms, code);
            args.push_back("--fault");
            args.push_back(rule);
        }
    }
    testing::SimProcess simulator(ORVO_SIM_PROGRAM, folder.path(), args, simLog);
    if (!simulator.ready()) {
        std::fprintf(stderr, "the simulator did not start: %s\n", simulator.output().c_str());
        return 1;
    }

    std::atomic<bool> stopBusy{false};
    std::vector<std::thread> busyLoops;
    for (int i = 0; i < busy; ++i) {
        busyLoops.emplace_back([&stopBusy] {
            volatile std::uint64_t spin = 0;
            while (!stopBusy.load(std::memory_order_relaxed)) {
                spin = spin + 1;
            }
        });
    }

    platform::FixedPortLister lister(
        {{"ttySOAK", (folder.path() / "File_data" / "ports" / "ttySOAK").string()}});
    testing::ScriptedDialogs dialogs;
    shell::PlatformBundle bundle;
    bundle.serialDevices = [] { return std::make_unique<platform::TermiosSerialDevice>(); };
    bundle.portLister = &lister;
    bundle.computerName = [] { return std::string("bench"); };
    bundle.openUrl = [](const QString&) {};
    bundle.dialogs = &dialogs;
    bundle.workingFolder = folder.path();
    auto window = std::make_unique<shell::TForm1>(std::move(bundle));
    ToolLog log;
    window->serialLink().setWireTap([&log](auto&&... line) { log.onLine(line...); });

    window->Panel1->BitBtn1->click();
    if (!window->encoderState().found) {
        std::fprintf(stderr, "the window did not find the simulator\n");
        return 1;
    }
    window->SpeedButton4->click();

    const sim::EncoderProfile profile = sim::factoryProfile(*family);
    sim::Parameters stored = sim::loadStateFile(statePath.string(), profile).stored;
    // The last value the window wrote with each code, which the encoder may hold unstored.
    std::map<std::uint8_t, std::uint32_t> lastWritten;
    Soak soak(*family, seed);
    Tally tally;
    std::mt19937 timing(seed);
    std::uniform_int_distribution<int> gap(50, 400);
    const std::uint64_t end = platform::monotonicMs() + static_cast<std::uint64_t>(seconds) * 1000;
    std::vector<std::pair<std::size_t, std::size_t>> lostSpans;
    while (platform::monotonicMs() < end) {
        runEventLoopFor(gap(timing));
        Change change = soak.next(*window);
        change.clearPicture();
        const std::size_t first = log.requests.size();
        change.make();
        const std::size_t last = log.requests.size();
        ++tally.changes;
        const bool done = change.done();
        if (done) {
            ++tally.done;
        } else if (first == last) {
            // Refused before anything was sent (an entry the encoder cannot take).
            ++tally.refused;
            std::fprintf(stderr, "refused: %s\n", change.name.c_str());
        } else {
            ++tally.lost;
            lostSpans.emplace_back(first, last);
        }
        // Each write the change sent, against what the user chose.
        for (std::size_t i = first; i < last; ++i) {
            const Frame& f = log.requests[i].request;
            const std::uint8_t code = link::frameCommand(f);
            if ((code & cmd::kWriteBit) == 0 || code == cmd::kMemoryAction) {
                continue;
            }
            const std::uint32_t data = link::frameData(f);
            const auto allowed = std::find_if(change.writes.begin(), change.writes.end(),
                                              [code](const auto& w) { return w.first == code; });
            bool right = allowed != change.writes.end();
            if (right && code == change.mainWrite && change.exactData) {
                right = data == *change.exactData;
            } else if (right && allowed->second != kAnyData) {
                std::uint32_t held = 0;
                switch (code) {
                    case cmd::kWriteDacControl:
                        held = stored.dacControl;
                        break;
                    case cmd::kWriteConfiguration:
                        held = stored.configuration;
                        break;
                    case cmd::kWriteOptions:
                        held = stored.options;
                        break;
                    default:
                        break;
                }
                const std::uint32_t outside = ~allowed->second;
                const bool likeStored = ((data ^ held) & outside) == 0;
                const bool likeWritten =
                    lastWritten.count(code) != 0 && ((data ^ lastWritten[code]) & outside) == 0;
                right = likeStored || likeWritten;
            }
            if (!right) {
                ++tally.wrongWritten;
                std::fprintf(stderr, "wrong write in %s: code 0x%02X data 0x%08X\n",
                             change.name.c_str(), code, data);
            }
            lastWritten[code] = data;
        }
        // What the encoder stored, against the change.
        const sim::Parameters now = sim::loadStateFile(statePath.string(), profile).stored;
        if (done && change.checkStored && change.field(now) != change.chosen) {
            ++tally.wrongWritten;
            std::fprintf(stderr, "%s reported done, stored 0x%X, chosen 0x%X\n",
                         change.name.c_str(), change.field(now), change.chosen);
        }
        stored = now;
    }
    window.reset();
    simulator.terminate();
    stopBusy = true;
    for (std::thread& t : busyLoops) {
        t.join();
    }

    // Every reply the window took, against the one the simulator sent for that request.
    const std::vector<SimExchange> simExchanges = readSimLog(simLog);
    bool aligned = true;
    const std::size_t count = std::min(simExchanges.size(), log.requests.size());
    for (std::size_t i = 0; i < count; ++i) {
        const ToolRequest& r = log.requests[i];
        const SimExchange& e = simExchanges[i];
        if (r.request != e.request) {
            std::fprintf(stderr, "the logs part at request %zu\n", i);
            aligned = false;
            break;
        }
        if (e.delayMs != 0) {
            ++tally.lateReplies;
        }
        if (link::frameCommand(r.request) == cmd::kReadPosition && r.taken) {
            ++tally.readings;
        }
        if (r.taken && std::vector<std::uint8_t>(r.taken->begin(), r.taken->end()) != e.reply) {
            ++tally.staleTaken;
            std::fprintf(stderr, "request %zu took %s\n", i,
                         link::formatFrameBytes(*r.taken).c_str());
        }
    }
    for (const auto& [first, last] : lostSpans) {
        bool ownFault = false;
        for (std::size_t i = first; i < last && i < simExchanges.size(); ++i) {
            ownFault = ownFault || simExchanges[i].delayMs != 0;
        }
        tally.lostOwnFault += ownFault ? 1 : 0;
        if (!ownFault) {
            std::fprintf(stderr, "lost change, requests %zu..%zu:\n", first, last);
            for (std::size_t i = first >= 3 ? first - 3 : 0; i < last && i < count; ++i) {
                const ToolRequest& r = log.requests[i];
                std::fprintf(stderr, "  %zu %s -> %s (sim +%u ms)\n", i,
                             link::formatFrameBytes(r.request).c_str(),
                             r.taken ? link::formatFrameBytes(*r.taken).c_str()
                                     : (r.waited ? "none" : "not waited"),
                             simExchanges[i].delayMs);
            }
        }
    }
    std::printf(
        "family=%s seconds=%d busy=%d changes=%d done=%d refused=%d lost=%d lost_own_fault=%d "
        "wrong_written=%d stale_taken=%d late_replies=%d readings=%d%s\n",
        familyName.c_str(), seconds, busy, tally.changes, tally.done, tally.refused, tally.lost,
        tally.lostOwnFault, tally.wrongWritten, tally.staleTaken, tally.lateReplies, tally.readings,
        aligned ? "" : " logs_misaligned");
    return aligned ? 0 : 1;
}
