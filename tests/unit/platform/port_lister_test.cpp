#include "platform/port_lister.h"
#include "platform/system_port_lister.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace orvo::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

std::vector<std::string> namesOf(const std::vector<PortEntry>& ports) {
    std::vector<std::string> names;
    for (const auto& p : ports) {
        names.push_back(p.name);
    }
    return names;
}

std::vector<PortEntry> entriesNamed(const std::vector<std::string>& names) {
    std::vector<PortEntry> ports;
    for (const auto& n : names) {
        ports.push_back({n, "/dev/" + n});
    }
    return ports;
}

struct OrderCase {
    const char* name;
    std::vector<std::string> given;
    std::vector<std::string> expected;
};

TEST(PortListOrder, SortsByNameIgnoringCaseAsText) {
    const OrderCase cases[] = {
        {"text order, not numeric",
         {"COM3", "COM10", "COM2", "COM1"},
         {"COM1", "COM10", "COM2", "COM3"}},
        {"case ignored",
         {"ttyusb1", "TTYS0", "ttyACM0", "ttyUSB0"},
         {"ttyACM0", "TTYS0", "ttyUSB0", "ttyusb1"}},
        {"names equal but for case keep their order",
         {"ttyb", "TTYA", "ttyA", "Ttya"},
         {"TTYA", "ttyA", "Ttya", "ttyb"}},
        {"long names are kept whole",
         {"ttySIMULATOR1", "ttyS0", "COM1"},
         {"COM1", "ttyS0", "ttySIMULATOR1"}},
        {"a prefix comes first", {"ttyS10", "ttyS1", "ttyS"}, {"ttyS", "ttyS1", "ttyS10"}},
        {"empty", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(namesOf(orderPortList(entriesNamed(c.given))), c.expected);
    }
}

TEST(PortListOrder, ExactRepeatsKeepTheFirstEntry) {
    const std::vector<PortEntry> given = {
        {"ttyS0", "/dev/ttyS0"},
        {"ttySIM0", "/work/File_data/ports/ttySIM0"},
        {"ttyS0", "/work/File_data/ports/ttyS0"},
        {"TTYS0", "/dev/TTYS0"},
    };
    EXPECT_THAT(orderPortList(given),
                ElementsAre(PortEntry{"ttyS0", "/dev/ttyS0"}, PortEntry{"TTYS0", "/dev/TTYS0"},
                            PortEntry{"ttySIM0", "/work/File_data/ports/ttySIM0"}));
}

TEST(FixedPortLister, ReturnsWhatWasSet) {
    FixedPortLister lister({{"COM2", "/dev/a"}, {"COM1", "/dev/b"}});
    EXPECT_THAT(namesOf(lister.listPorts()), ElementsAre("COM2", "COM1"));
    lister.setPorts({});
    EXPECT_THAT(lister.listPorts(), IsEmpty());
}

// A scratch working folder, removed with everything in it.
class WorkingFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvo-ports-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path makePortsFolder() {
        const fs::path ports = root_ / "File_data" / "ports";
        fs::create_directories(ports);
        return ports;
    }

    fs::path makeTarget(const std::string& name) {
        const fs::path target = root_ / name;
        std::ofstream(target) << "device";
        return target;
    }

    fs::path root_;
};

TEST_F(WorkingFolder, LinksInThePortsFolderBecomePorts) {
    const fs::path ports = makePortsFolder();
    fs::create_symlink(makeTarget("pts-a"), ports / "ttySIM0");
    fs::create_symlink(makeTarget("pts-b"), ports / "ttySIMULATOR1");
    fs::create_symlink(root_ / "gone", ports / "ttyDANGLING");
    std::ofstream(ports / "notALink") << "plain file";
    fs::create_directory(ports / "aFolder");

    EXPECT_THAT(
        linkedPorts(ports),
        UnorderedElementsAre(PortEntry{"ttySIM0", (ports / "ttySIM0").string()},
                             PortEntry{"ttySIMULATOR1", (ports / "ttySIMULATOR1").string()}));

    // The system list has them too, in order, whatever the kernel adds around them.
    const auto all = SystemPortLister(root_).listPorts();
    std::vector<PortEntry> ours;
    std::copy_if(all.begin(), all.end(), std::back_inserter(ours),
                 [&ports](const PortEntry& p) { return p.path.starts_with(ports.string()); });
    EXPECT_THAT(namesOf(ours), ElementsAre("ttySIM0", "ttySIMULATOR1"));
    EXPECT_EQ(ours.front().path, (ports / "ttySIM0").string());
}

TEST_F(WorkingFolder, SystemListIsOrderedWithoutRepeats) {
    const fs::path ports = makePortsFolder();
    for (const char* name : {"COM10", "com2", "COM1", "ttySIMULATOR1"}) {
        fs::create_symlink(makeTarget(std::string("t-") + name), ports / name);
    }
    const auto all = SystemPortLister(root_).listPorts();
    EXPECT_EQ(all, orderPortList(all)) << "not ordered, or a name repeats";
    std::vector<std::string> ours;
    for (const auto& p : all) {
        if (p.path.starts_with(ports.string())) {
            ours.push_back(p.name);
        }
    }
    EXPECT_THAT(ours, ElementsAre("COM1", "COM10", "com2", "ttySIMULATOR1"));
}

TEST_F(WorkingFolder, MissingPortsFolderAddsNothing) {
    EXPECT_THAT(linkedPorts(root_ / "File_data" / "ports"), IsEmpty());
    for (const auto& p : SystemPortLister(root_).listPorts()) {
        EXPECT_FALSE(p.path.starts_with(root_.string())) << p.path;
    }
}

}  // namespace
}  // namespace orvo::platform
