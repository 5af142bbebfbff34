#include "link/port_list.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QThread>

#include <thread>

#include "link/ui_dispatch.h"

namespace orvo::link {
namespace {

TEST(PortList, RefillsSortedIgnoringCaseAndMapsNamesToPaths) {
    platform::FixedPortLister lister({{"COM2", "/dev/c2"},
                                      {"ttySIM0", "/work/File_data/ports/ttySIM0"},
                                      {"COM10", "/dev/c10"},
                                      {"com1", "/dev/c1"},
                                      {"COM100", "/dev/c100"}});
    PortList list(lister);
    EXPECT_TRUE(list.names().empty());
    EXPECT_EQ(list.listSerialPorts(),
              (std::vector<std::string>{"com1", "COM10", "COM100", "COM2", "ttySIM0"}));
    EXPECT_EQ(list.pathFor("ttySIM0"), "/work/File_data/ports/ttySIM0");
    EXPECT_EQ(list.resolver()("COM100"), "/dev/c100");
    // A name the user typed that was never listed.
    EXPECT_EQ(list.pathFor("ttyUSB9"), "/dev/ttyUSB9");

    lister.setPorts({});
    EXPECT_TRUE(list.listSerialPorts().empty());
    EXPECT_EQ(list.pathFor("COM2"), "/dev/COM2");
}

TEST(UiDispatch, RunsPostedTasksOnTheContextThread) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QObject context;
    const UiDispatcher dispatch = dispatcherFor(&context);

    std::vector<int> order;
    QThread* ranOn = nullptr;
    std::thread poster([&] {
        dispatch([&] {
            order.push_back(1);
            ranOn = QThread::currentThread();
        });
        dispatch([&] { order.push_back(2); });
    });
    poster.join();
    EXPECT_TRUE(order.empty()) << "ran before the event loop handed it over";
    QCoreApplication::processEvents();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(ranOn, app.thread());
}

}  // namespace
}  // namespace orvo::link
