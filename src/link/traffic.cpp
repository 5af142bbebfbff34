#include "link/traffic.h"

#include <array>

namespace orvo::link {

namespace {
struct FailureLine {
    RxFailure failure;
    LinkStatus bit;
    std::string_view key;
    std::string_view italian;
    std::string_view english;
};

constexpr std::array<FailureLine, 6> kFailureLines = {{
    {RxFailure::ReadFile, status::kIoCall, "RxErrReadFile",
     "   errore lettura da porta COM (ReadFile(...))", "   error reading COM port (ReadFile(...))"},
    {RxFailure::ByteCount, status::kByteCount, "RxErrByteCount", "   byte letti != 9",
     "   read bytes != 9"},
    {RxFailure::StartByte, status::kStartByte, "RxErrSof", "   sof errato", "   sof error"},
    {RxFailure::ErrorBit, status::kErrorReply, "RxErrErrorBit", "   command con bit errore",
     "   command with error bit"},
    {RxFailure::Checksum, status::kChecksum, "RxErrChecksum", "   checksum errato",
     "   checksum error"},
    {RxFailure::EndByte, status::kEndByte, "RxErrEof", "   eof errato", "   eof error"},
}};

const FailureLine& lineOf(RxFailure failure) {
    for (const FailureLine& line : kFailureLines) {
        if (line.failure == failure) {
            return line;
        }
    }
    return kFailureLines.front();
}
}  // namespace

std::vector<RxFailure> rxFailures(LinkStatus receiveStatus) {
    std::vector<RxFailure> result;
    if ((receiveStatus & status::kReceiveFrame) == 0) {
        return result;
    }
    for (const FailureLine& line : kFailureLines) {
        if ((receiveStatus & line.bit) != 0) {
            result.push_back(line.failure);
        }
    }
    return result;
}

std::string_view rxFailureKey(RxFailure failure) {
    return lineOf(failure).key;
}

std::string rxFailureText(RxFailure failure, bool italian) {
    const FailureLine& line = lineOf(failure);
    return std::string(italian ? line.italian : line.english);
}

std::string txLine(const Frame& transmitted) {
    return "Tx: " + formatFrameBytes(transmitted);
}

std::string rxLine(const Frame& received) {
    return "Rx: " + formatFrameBytes(received);
}

}  // namespace orvo::link
