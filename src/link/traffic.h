#pragma once

// Lines for the serial traffic window: "Tx: " and "Rx: " lines of the nine frame bytes, and the
// receive thread's lines for each failed check. The link never touches a window: it talks to a
// TrafficSink, and the receive thread's failures reach the sink on the UI thread.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "link/frame.h"
#include "link/link_status.h"

namespace orvo::link {

enum class RxFailure { ReadFile, ByteCount, StartByte, ErrorBit, Checksum, EndByte };

// The failures a receive status reports, in the order their lines are written; empty unless
// the receive summary bit is set.
std::vector<RxFailure> rxFailures(LinkStatus receiveStatus);
// Message catalogue key of a failure line ("RxErrReadFile" ... "RxErrEof").
std::string_view rxFailureKey(RxFailure failure);
// The line in Italian or English; each begins with three blanks.
std::string rxFailureText(RxFailure failure, bool italian);

std::string txLine(const Frame& transmitted);
std::string rxLine(const Frame& received);

class TrafficSink {
public:
    virtual ~TrafficSink() = default;
    // UI thread. The sink adds the line only while its window is visible.
    virtual void appendLine(const std::string& line) = 0;
    // UI thread, after the receive thread's report was handed over.
    virtual void receiveFailure(RxFailure failure) = 0;
};

// Runs a task on the UI thread; the receive thread uses it to hand its failure lines over.
using UiDispatcher = std::function<void(std::function<void()> task)>;

}  // namespace orvo::link
