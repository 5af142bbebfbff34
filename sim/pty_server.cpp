#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "link/frame.h"
#include "platform/clock.h"
#include "sim/state_file.h"

namespace orvo::sim {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kReadChunk = 256;
constexpr long kNanosPerMicro = 1000;
constexpr long kNanosPerMilli = 1'000'000;
constexpr long kMicrosPerSecond = 1'000'000;
// When the master reports a hang-up (it should not, since the server keeps a slave open),
// look again after this long rather than spin.
constexpr int kHangupRetryMs = 100;

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::string frameText(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() == link::kFrameSize) {
        link::Frame frame{};
        std::copy(bytes.begin(), bytes.end(), frame.begin());
        return link::formatFrameBytes(frame);
    }
    std::string text;
    char hex[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, "%02X ", static_cast<unsigned>(b));
        text += hex;
    }
    return text.empty() ? "(silent)" : text;
}

}  // namespace

PtyServer::PtyServer(std::shared_ptr<SimulatedEncoder> encoder, PtyServerOptions options)
    : encoder_(std::move(encoder)), options_(std::move(options)) {
    savedStoreCount_ = encoder_->withModel([](EncoderModel& m) { return m.storeCount(); });
}

PtyServer::~PtyServer() {
    removeLink();
    if (slave_ >= 0) {
        ::close(slave_);
    }
    if (master_ >= 0) {
        ::close(master_);
    }
}

std::string PtyServer::linkPath() const {
    return (fs::path(options_.portsFolder) / options_.linkName).string();
}

bool PtyServer::start(std::string& error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        error = systemError("posix_openpt");
        return false;
    }
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = systemError("grantpt/unlockpt");
        return false;
    }
    const char* name = ::ptsname(master_);
    if (name == nullptr) {
        error = systemError("ptsname");
        return false;
    }
    slavePath_ = name;
    // Master and slave share one termios record: it is set here, once, before anyone can
    // reach the slave, and never again, so the tool's own settings are not disturbed later.
    termios raw{};
    if (::tcgetattr(master_, &raw) != 0) {
        error = systemError("tcgetattr");
        return false;
    }
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B9600);
    ::cfsetospeed(&raw, B9600);
    if (::tcsetattr(master_, TCSANOW, &raw) != 0) {
        error = systemError("tcsetattr");
        return false;
    }
    // With every slave descriptor closed, reads on the master fail with EIO; this one stays
    // open for the server's whole life so the tool can close and reopen the port at will.
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        error = systemError("open " + slavePath_);
        return false;
    }
    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        error = systemError("fcntl");
        return false;
    }

    std::error_code ec;
    fs::create_directories(options_.portsFolder, ec);
    if (ec) {
        error = "cannot create " + options_.portsFolder + ": " + ec.message();
        return false;
    }
    const fs::path link = linkPath();
    const fs::file_status existing = fs::symlink_status(link, ec);
    if (fs::exists(existing) && !fs::is_symlink(existing)) {
        error = link.string() + " exists and is not a link";
        return false;
    }
    // Made aside and renamed over the old one, so a stale link is replaced in one step.
    const fs::path temporary = link.string() + ".new";
    fs::remove(temporary, ec);
    fs::create_symlink(slavePath_, temporary, ec);
    if (!ec) {
        fs::rename(temporary, link, ec);
    }
    if (ec) {
        fs::remove(temporary, ec);
        error = "cannot create link " + link.string() + ": " + ec.message();
        return false;
    }
    linked_ = true;
    return true;
}

void PtyServer::removeLink() {
    if (!linked_) {
        return;
    }
    linked_ = false;
    std::error_code ec;
    const fs::path link = linkPath();
    // Another simulator may have taken the name over since; its link is left alone.
    if (fs::is_symlink(fs::symlink_status(link, ec)) && fs::read_symlink(link, ec) == slavePath_) {
        fs::remove(link, ec);
    }
}

void PtyServer::saveStateIfStored() {
    Family family = Family::Ssi;
    Parameters stored;
    std::uint64_t count = 0;
    encoder_->withModel([&](EncoderModel& m) {
        family = m.family();
        stored = m.stored();
        count = m.storeCount();
    });
    if (count == savedStoreCount_) {
        return;
    }
    savedStoreCount_ = count;
    if (options_.statePath.empty()) {
        return;
    }
    std::string error;
    if (!saveStateFile(options_.statePath, family, stored, error)) {
        std::cerr << "orvo-encoder-sim: " << error << '\n';
    } else if (!options_.quiet) {
        std::cerr << "orvo-encoder-sim: stored parameters saved to " << options_.statePath << '\n';
    }
}

void PtyServer::logExchange(const Exchange& exchange) const {
    if (!options_.verbose) {
        return;
    }
    std::cerr << "rx " << link::formatFrameBytes(exchange.request) << '\n'
              << "tx " << frameText(exchange.reply);
    if (exchange.delayMs != 0) {
        std::cerr << "  (+" << exchange.delayMs << " ms)";
    }
    std::cerr << '\n';
}

bool PtyServer::serve(int stopFd, std::string& error) {
    std::deque<TimedByte> outgoing;
    bool masterHungUp = false;
    for (;;) {
        std::uint64_t now = platform::monotonicUs();
        while (!outgoing.empty() && outgoing.front().atUs <= now) {
            const std::uint8_t byte = outgoing.front().value;
            outgoing.pop_front();
            // A full slave queue means nobody reads the port: the byte is lost, as on a line.
            if (::write(master_, &byte, 1) < 0 && errno != EAGAIN && errno != EINTR) {
                error = systemError("write to " + slavePath_);
                return false;
            }
        }

        pollfd fds[2] = {{stopFd, POLLIN, 0}, {master_, POLLIN, 0}};
        const nfds_t count = masterHungUp ? 1 : 2;
        timespec timeout{};
        const timespec* timeoutPtr = nullptr;
        if (!outgoing.empty()) {
            const std::uint64_t waitUs = outgoing.front().atUs - now;
            timeout.tv_sec = static_cast<time_t>(waitUs / kMicrosPerSecond);
            timeout.tv_nsec = static_cast<long>(waitUs % kMicrosPerSecond) * kNanosPerMicro;
            timeoutPtr = &timeout;
        } else if (masterHungUp) {
            timeout.tv_nsec = static_cast<long>(kHangupRetryMs) * kNanosPerMilli;
            timeoutPtr = &timeout;
        }
        masterHungUp = false;
        const int ready = ::ppoll(fds, count, timeoutPtr, nullptr);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = systemError("poll");
            return false;
        }
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            return true;
        }
        if (count < 2) {
            continue;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            std::uint8_t buffer[kReadChunk];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) {
                now = platform::monotonicUs();
                Received received = encoder_->receive(buffer, static_cast<std::size_t>(n), now);
                for (const Exchange& exchange : received.exchanges) {
                    logExchange(exchange);
                }
                outgoing.insert(outgoing.end(), received.bytes.begin(), received.bytes.end());
                saveStateIfStored();
            } else if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
                error = systemError("read from " + slavePath_);
                return false;
            }
        } else if ((fds[1].revents & (POLLHUP | POLLERR)) != 0) {
            masterHungUp = true;
        }
    }
}

}  // namespace orvo::sim
