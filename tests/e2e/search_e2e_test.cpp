// The main window searches the serial ports, finds orvo-encoder-sim on its pseudo-terminal
// through the real port lister and termios device, and identifies it.

#include <gtest/gtest.h>

#include <filesystem>

#include "connection/identification_panel.h"
#include "platform/system_port_lister.h"
#include "platform/termios_serial_device.h"
#include "support/scripted_dialogs.h"
#include "support/sim_process.h"
#include "ui/factory/factory_panel.h"
#include "ui/shell/main_window.h"

namespace orvo {
namespace {

TEST(SearchOverPseudoTerminal, FindsAndIdentifiesTheSimulatorProgram) {
    testing::TempFolder folder;
    std::filesystem::create_directories(folder.path() / "File_data");
    testing::SimProcess simulator(ORVO_SIM_PROGRAM, folder.path(),
                                  {"--family", "parallel", "--node", "12", "--serial", "4242",
                                   "--link", "ttySIME2E", "--speed", "0"});
    ASSERT_TRUE(simulator.ready()) << simulator.output();

    platform::SystemPortLister lister(folder.path());
    testing::ScriptedDialogs dialogs;
    ui::PlatformBundle bundle;
    bundle.serialDevices = [] { return std::make_unique<platform::TermiosSerialDevice>(); };
    bundle.portLister = &lister;
    bundle.computerName = [] { return std::string("workstation"); };
    bundle.openUrl = [](const QString&) {};
    bundle.dialogs = &dialogs;
    bundle.workingFolder = folder.path();
    auto window = std::make_unique<ui::TForm1>(std::move(bundle));

    // Kernel ports listed before the simulator's are tried first and stay silent.
    window->Panel1->BitBtn1->click();
    EXPECT_EQ(window->Panel1->ComboBox1->currentText(), "ttySIME2E");
    EXPECT_EQ(window->Panel1->BitBtn1->glyph(), ui::Glyph::Success);
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

}  // namespace
}  // namespace orvo
