// The main window searches the serial ports, finds orvo-encoder-sim on its pseudo-terminal
// through the real port lister and termios device, and identifies it.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <QComboBox>

#include "connection/identification_panel.h"
#include "connection/position_panel.h"
#include "factory/factory_panel.h"
#include "params/analog_panel.h"
#include "params/parallel_panel.h"
#include "params/ssi_panel.h"
#include "platform/system_port_lister.h"
#include "platform/termios_serial_device.h"
#include "shell/main_window.h"
#include "support/scripted_dialogs.h"
#include "support/sim_process.h"

namespace orvo {
namespace {

std::unique_ptr<shell::TForm1> openWindow(const std::filesystem::path& folder,
                                          platform::PortLister& lister,
                                          testing::ScriptedDialogs& dialogs);

TEST(SearchOverPseudoTerminal, FindsAndIdentifiesTheSimulatorProgram) {
    testing::TempFolder folder;
    std::filesystem::create_directories(folder.path() / "File_data");
    testing::SimProcess simulator(ORVO_SIM_PROGRAM, folder.path(),
                                  {"--family", "parallel", "--node", "12", "--serial", "4242",
                                   "--link", "ttySIME2E", "--speed", "0"});
    ASSERT_TRUE(simulator.ready()) << simulator.output();

    platform::SystemPortLister lister(folder.path());
    testing::ScriptedDialogs dialogs;
    auto window = openWindow(folder.path(), lister, dialogs);

    // Kernel ports listed before the simulator's are tried first and stay silent.
    window->Panel1->BitBtn1->click();
    EXPECT_EQ(window->Panel1->ComboBox1->currentText(), "ttySIME2E");
    EXPECT_EQ(window->Panel1->BitBtn1->glyph(), widgets::Glyph::Success);
    EXPECT_EQ(window->Panel7->Edit1->text(), "12");
    EXPECT_EQ(window->Panel1->Label22->text(), "Parallel");
    EXPECT_EQ(window->Panel1->Label21->text(), "4242");
    EXPECT_EQ(window->Panel1->Label17->text(), "KR...18/16384 GW...");
    EXPECT_EQ(window->Panel1->Label23->text(), "1.30");

    window.reset();  // closes the port, stops the receive thread
    simulator.terminate();
    EXPECT_FALSE(std::filesystem::exists(
        std::filesystem::symlink_status(folder.path() / "File_data/ports/ttySIME2E")));
}

std::unique_ptr<shell::TForm1> openWindow(const std::filesystem::path& folder,
                                          platform::PortLister& lister,
                                          testing::ScriptedDialogs& dialogs) {
    shell::PlatformBundle bundle;
    bundle.serialDevices = [] { return std::make_unique<platform::TermiosSerialDevice>(); };
    bundle.portLister = &lister;
    bundle.computerName = [] { return std::string("workstation"); };
    bundle.openUrl = [](const QString&) {};
    bundle.dialogs = &dialogs;
    bundle.workingFolder = folder;
    return std::make_unique<shell::TForm1>(std::move(bundle));
}

// The user's choice in a list, as a click makes it.
void choose(QComboBox* list, int position) {
    list->setCurrentIndex(position);
    emit list->activated(position);
}

TEST(SearchOverPseudoTerminal, SettingsStoredByTheToolSurviveASimulatorRestart) {
    struct Case {
        const char* family;
        // Changes settings as the user does; what a restarted encoder must show afterwards.
        std::function<void(shell::TForm1&)> change;
        std::function<void(shell::TForm1&)> check;
    };
    int chosen = -1;
    const Case cases[] = {
        {"ssi",
         [&chosen](shell::TForm1& w) {
             QComboBox* code = w.Panel3->ComboBox5;
             ASSERT_GE(code->currentIndex(), 0);
             chosen = code->currentIndex() == 0 ? 2 : 0;
             choose(code, chosen);
             EXPECT_EQ(w.Panel3->Image23->status(), widgets::RowStatus::Success);
         },
         [&chosen](shell::TForm1& w) { EXPECT_EQ(w.Panel3->ComboBox5->currentIndex(), chosen); }},
        // Voltage 0 - 10 V, and a programmed stroke of 1000 counts.
        {"analog",
         [](shell::TForm1& w) {
             params::AnalogPanel& a = *w.Panel4;
             choose(a.ComboBox17, 0);
             EXPECT_EQ(a.Image5->status(), widgets::RowStatus::Success);
             choose(a.ComboBox18, 1);
             EXPECT_EQ(a.Image6->status(), widgets::RowStatus::Success);
             a.SpeedButton10->click();
             a.Edit21->setText("1000");
             a.BitBtn23->click();
             EXPECT_EQ(a.BitBtn23->glyph(), widgets::Glyph::EnterSuccess);
         },
         [](shell::TForm1& w) {
             params::AnalogPanel& a = *w.Panel4;
             EXPECT_EQ(a.ComboBox17->currentIndex(), 0);
             EXPECT_EQ(a.ComboBox18->currentText(), "0 - 10V");
             EXPECT_EQ(a.Edit21->text(), "1000");
             EXPECT_EQ(w.Panel2->Label90->text(), "V");
         }},
        // Latch off, negative logic, parity on, and 4096 counts per turn.
        {"parallel",
         [](shell::TForm1& w) {
             params::ParallelPanel& p = *w.Panel5;
             choose(p.ComboBox20, 1);
             EXPECT_EQ(p.Image13->status(), widgets::RowStatus::Success);
             choose(p.ComboBox19, 1);
             EXPECT_EQ(p.Image12->status(), widgets::RowStatus::Success);
             choose(p.ComboBox25, 0);
             EXPECT_EQ(p.Image34->status(), widgets::RowStatus::Success);
             p.Edit24->setText("4096");
             p.BitBtn30->click();
             EXPECT_EQ(p.BitBtn30->glyph(), widgets::Glyph::EnterSuccess);
         },
         [](shell::TForm1& w) {
             params::ParallelPanel& p = *w.Panel5;
             EXPECT_EQ(p.ComboBox20->currentIndex(), 1);
             EXPECT_EQ(p.ComboBox19->currentIndex(), 1);
             EXPECT_EQ(p.ComboBox25->currentIndex(), 0);
             EXPECT_EQ(p.Edit24->text(), "4096");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        testing::TempFolder folder;
        std::filesystem::create_directories(folder.path() / "File_data");
        const std::string state = (folder.path() / "encoder.state").string();
        const std::vector<std::string> args{"--family", c.family, "--link",  "ttySIMSTATE",
                                            "--speed",  "0",      "--state", state};
        platform::SystemPortLister lister(folder.path());
        testing::ScriptedDialogs dialogs;
        auto searchAndOpen = [&] {
            auto window = openWindow(folder.path(), lister, dialogs);
            window->Panel1->BitBtn1->click();
            EXPECT_EQ(window->Panel1->BitBtn1->glyph(), widgets::Glyph::Success);
            window->SpeedButton4->click();
            return window;
        };
        {
            testing::SimProcess simulator(ORVO_SIM_PROGRAM, folder.path(), args);
            ASSERT_TRUE(simulator.ready()) << simulator.output();
            auto window = searchAndOpen();
            c.change(*window);
            window.reset();
            simulator.terminate();
        }
        testing::SimProcess restarted(ORVO_SIM_PROGRAM, folder.path(), args);
        ASSERT_TRUE(restarted.ready()) << restarted.output();
        auto window = searchAndOpen();
        c.check(*window);
    }
}

}  // namespace
}  // namespace orvo
