#include "platform/termios_serial_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <optional>

namespace orvo::platform {

namespace {

using Clock = std::chrono::steady_clock;

struct BaudEntry {
    std::uint32_t rate;
    speed_t speed;
};

constexpr std::array kBaudRates{
    BaudEntry{50, B50},           BaudEntry{75, B75},           BaudEntry{110, B110},
    BaudEntry{134, B134},         BaudEntry{150, B150},         BaudEntry{200, B200},
    BaudEntry{300, B300},         BaudEntry{600, B600},         BaudEntry{1200, B1200},
    BaudEntry{1800, B1800},       BaudEntry{2400, B2400},       BaudEntry{4800, B4800},
    BaudEntry{9600, B9600},       BaudEntry{19200, B19200},     BaudEntry{38400, B38400},
    BaudEntry{57600, B57600},     BaudEntry{115200, B115200},   BaudEntry{230400, B230400},
    BaudEntry{460800, B460800},   BaudEntry{500000, B500000},   BaudEntry{576000, B576000},
    BaudEntry{921600, B921600},   BaudEntry{1000000, B1000000}, BaudEntry{1152000, B1152000},
    BaudEntry{1500000, B1500000}, BaudEntry{2000000, B2000000}, BaudEntry{2500000, B2500000},
    BaudEntry{3000000, B3000000}, BaudEntry{3500000, B3500000}, BaudEntry{4000000, B4000000},
};

std::optional<speed_t> speedFor(std::uint32_t rate) {
    const auto* it = std::find_if(kBaudRates.begin(), kBaudRates.end(),
                                  [rate](const BaudEntry& e) { return e.rate == rate; });
    if (it == kBaudRates.end()) {
        return std::nullopt;
    }
    return it->speed;
}

std::optional<std::uint32_t> rateFor(speed_t speed) {
    const auto* it = std::find_if(kBaudRates.begin(), kBaudRates.end(),
                                  [speed](const BaudEntry& e) { return e.speed == speed; });
    if (it == kBaudRates.end()) {
        return std::nullopt;
    }
    return it->rate;
}

std::optional<tcflag_t> byteSizeFlag(std::uint8_t byteSize) {
    switch (byteSize) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        case 8:
            return CS8;
        default:
            return std::nullopt;
    }
}

std::uint8_t byteSizeOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
        case CS5:
            return 5;
        case CS6:
            return 6;
        case CS7:
            return 7;
        default:
            return 8;
    }
}

// Mark and space parity need CMSPAR; where the C library lacks it they are refused.
#ifdef CMSPAR
constexpr tcflag_t kStickParity = CMSPAR;
#else
constexpr tcflag_t kStickParity = 0;
#endif

std::optional<tcflag_t> parityFlags(std::uint8_t parity) {
    switch (parity) {
        case 0:
            return tcflag_t{0};
        case 1:
            return tcflag_t{PARENB | PARODD};
        case 2:
            return tcflag_t{PARENB};
        case 3:
            return kStickParity == 0 ? std::nullopt
                                     : std::optional<tcflag_t>(PARENB | PARODD | kStickParity);
        case 4:
            return kStickParity == 0 ? std::nullopt
                                     : std::optional<tcflag_t>(PARENB | kStickParity);
        default:
            return std::nullopt;
    }
}

std::uint8_t parityOf(tcflag_t cflag) {
    if ((cflag & PARENB) == 0) {
        return 0;
    }
    const bool odd = (cflag & PARODD) != 0;
    if (kStickParity != 0 && (cflag & kStickParity) != 0) {
        return odd ? 3 : 4;
    }
    return odd ? 1 : 2;
}

// Settings as the terminal holds them, for getLineSettings before the caller has set any.
LineSettings settingsFrom(const termios& t, const LineSettings& kept) {
    LineSettings s = kept;
    if (const auto rate = rateFor(cfgetospeed(&t))) {
        s.baudRate = *rate;
    }
    s.byteSize = byteSizeOf(t.c_cflag);
    s.parity = parityOf(t.c_cflag);
    s.stopBits = (t.c_cflag & CSTOPB) != 0 ? 2 : 0;
    s.parityCheck = (t.c_iflag & INPCK) != 0;
    s.outxCtsFlow = (t.c_cflag & CRTSCTS) != 0;
    s.outX = (t.c_iflag & IXON) != 0;
    s.inX = (t.c_iflag & IXOFF) != 0;
    s.xonChar = static_cast<char>(t.c_cc[VSTART]);
    s.xoffChar = static_cast<char>(t.c_cc[VSTOP]);
    return s;
}

// A device without modem lines (a pseudo-terminal, some USB adapters) answers ENOTTY or
// EINVAL; the line simply does not exist there, which is not the caller's failure.
bool lineNotApplicable(int error) {
    return error == ENOTTY || error == EINVAL;
}

bool driveLine(int fd, int line, LineControl control) {
    unsigned long request = 0;
    switch (control) {
        case LineControl::Disabled:
            request = TIOCMBIC;
            break;
        case LineControl::Enabled:
            request = TIOCMBIS;
            break;
        case LineControl::Handshake:
        case LineControl::Toggle:
            // Handshake on RTS is CRTSCTS, set with the termios flags; DTR handshake and RTS
            // toggle have no Linux counterpart and leave the line as it is.
            return true;
    }
    if (::ioctl(fd, request, &line) == 0) {
        return true;
    }
    return lineNotApplicable(errno);
}

LineControl lineState(int fd, int line) {
    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) != 0) {
        // The kernel raises DTR and RTS when a terminal is opened; without modem lines to ask,
        // that is the best account of them.
        return LineControl::Enabled;
    }
    return (lines & line) != 0 ? LineControl::Enabled : LineControl::Disabled;
}

// How long a one-byte read may wait, in the Windows time-out model; nullopt waits without
// limit. readInterval only matters between bytes, so with no total time-out the first byte is
// awaited for ever, except for the "return at once" combination.
std::optional<std::uint64_t> writeWaitMs(const Timeouts& t, std::size_t n) {
    if (t.writeTotalConstant == 0 && t.writeTotalMultiplier == 0) {
        return std::nullopt;
    }
    return std::uint64_t{t.writeTotalConstant} + std::uint64_t{t.writeTotalMultiplier} * n;
}

enum class WaitResult { Ready, TimedOut, Woken, Failed };

// Waits until fd reports `events`, the wake descriptor fires, or the deadline passes. Signals
// restart the wait with what is left of the time.
WaitResult waitFor(int fd, short events, int wakeFd, std::optional<Clock::time_point> deadline) {
    for (;;) {
        int timeoutMs = -1;
        if (deadline) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
            timeoutMs = static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, INT_MAX));
        }
        std::array<pollfd, 2> fds{pollfd{fd, events, 0}, pollfd{wakeFd, POLLIN, 0}};
        const int ready = ::poll(fds.data(), fds.size(), timeoutMs);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return WaitResult::Failed;
        }
        if (fds[1].revents != 0) {
            return WaitResult::Woken;
        }
        if ((fds[0].revents & events) != 0) {
            return WaitResult::Ready;
        }
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return WaitResult::Failed;
        }
        if (ready == 0) {
            if (!deadline || Clock::now() >= *deadline) {
                return WaitResult::TimedOut;
            }
        }
    }
}

std::optional<Clock::time_point> deadlineAfter(std::optional<std::uint64_t> ms) {
    if (!ms) {
        return std::nullopt;
    }
    // About 24 days: beyond any real time-out, and small enough that the clock's nanosecond
    // count cannot overflow.
    constexpr std::uint64_t kCapMs = std::uint64_t{1} << 31;
    return Clock::now() + std::chrono::milliseconds(std::min(*ms, kCapMs));
}

}  // namespace

// Registers a read or write under the mutex and snapshots what it needs, so the call itself
// runs unlocked while close() can still see it and wait for it.
class TermiosSerialDevice::InFlight {
public:
    explicit InFlight(TermiosSerialDevice& device) : device_(device) {
        std::lock_guard lock(device_.mutex_);
        if (device_.fd_ < 0 || device_.closing_) {
            return;
        }
        ++device_.inFlight_;
        entered_ = true;
        fd = device_.fd_;
        wakeFd = device_.wakeFd_;
        timeouts = device_.timeouts_;
    }
    ~InFlight() {
        if (!entered_) {
            return;
        }
        {
            std::lock_guard lock(device_.mutex_);
            --device_.inFlight_;
        }
        device_.inFlightLeft_.notify_all();
    }
    InFlight(const InFlight&) = delete;
    InFlight& operator=(const InFlight&) = delete;

    bool entered() const { return entered_; }

    int fd = -1;
    int wakeFd = -1;
    Timeouts timeouts{};

private:
    TermiosSerialDevice& device_;
    bool entered_ = false;
};

TermiosSerialDevice::~TermiosSerialDevice() {
    close();
}

bool TermiosSerialDevice::open(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (fd_ >= 0) {
        return false;
    }
    // O_NONBLOCK: a port without carrier must not hang the open, and reads and writes wait in
    // poll() where close() can reach them.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    auto fail = [fd] {
        ::close(fd);
        return false;
    };
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return fail();
    }
    termios t{};
    if (::tcgetattr(fd, &t) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        return fail();
    }
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~CRTSCTS;
    t.c_iflag &= ~(IXOFF | IXANY | INPCK);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &t) != 0) {
        ::ioctl(fd, TIOCNXCL);
        return fail();
    }
    const int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        ::ioctl(fd, TIOCNXCL);
        return fail();
    }
    fd_ = fd;
    wakeFd_ = wakeFd;
    timeouts_ = Timeouts{};
    LineSettings kept{};
    kept.dtrControl = lineState(fd, TIOCM_DTR);
    kept.rtsControl = lineState(fd, TIOCM_RTS);
    settings_ = settingsFrom(t, kept);
    return true;
}

bool TermiosSerialDevice::close() {
    std::unique_lock lock(mutex_);
    if (fd_ < 0 || closing_) {
        return false;
    }
    closing_ = true;
    const std::uint64_t one = 1;
    // An eventfd write of 1 cannot fail short of a counter overflow, which takes 2^64 closes.
    [[maybe_unused]] const auto ignored = ::write(wakeFd_, &one, sizeof one);
    inFlightLeft_.wait(lock, [this] { return inFlight_ == 0; });
    releaseLocked();
    return true;
}

void TermiosSerialDevice::releaseLocked() {
    // TIOCEXCL stays on the terminal while anyone else holds it open (the other end of a
    // pseudo-terminal does), which would refuse our own next open.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    ::close(wakeFd_);
    fd_ = -1;
    wakeFd_ = -1;
    closing_ = false;
}

bool TermiosSerialDevice::isOpen() const {
    std::lock_guard lock(mutex_);
    return fd_ >= 0 && !closing_;
}

bool TermiosSerialDevice::getLineSettings(LineSettings& settings) {
    std::lock_guard lock(mutex_);
    if (fd_ < 0 || closing_) {
        return false;
    }
    settings = settings_;
    return true;
}

bool TermiosSerialDevice::setLineSettings(const LineSettings& settings) {
    std::lock_guard lock(mutex_);
    if (fd_ < 0 || closing_) {
        return false;
    }
    const auto speed = speedFor(settings.baudRate);
    const auto size = byteSizeFlag(settings.byteSize);
    const auto parity = parityFlags(settings.parity);
    if (!speed || !size || !parity || settings.stopBits > 2) {
        return false;
    }
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) {
        return false;
    }
    if (::cfsetispeed(&t, *speed) != 0 || ::cfsetospeed(&t, *speed) != 0) {
        return false;
    }
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | kStickParity | CSTOPB | CRTSCTS);
    t.c_cflag |= *size | *parity | CLOCAL | CREAD;
    // One and a half stop bits exist only for 5-bit bytes on a UART; two is the nearest.
    if (settings.stopBits != 0) {
        t.c_cflag |= CSTOPB;
    }
    if (settings.outxCtsFlow || settings.rtsControl == LineControl::Handshake) {
        t.c_cflag |= CRTSCTS;
    }
    t.c_iflag &= ~(INPCK | IXON | IXOFF | IXANY);
    if (settings.parityCheck && settings.parity != 0) {
        t.c_iflag |= INPCK;
    }
    if (settings.outX) {
        t.c_iflag |= IXON;
    }
    if (settings.inX) {
        t.c_iflag |= IXOFF;
    }
    t.c_cc[VSTART] = static_cast<cc_t>(settings.xonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(settings.xoffChar);
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) {
        return false;
    }
    if (!driveLine(fd_, TIOCM_DTR, settings.dtrControl) ||
        !driveLine(fd_, TIOCM_RTS, settings.rtsControl)) {
        return false;
    }
    settings_ = settings;
    return true;
}

bool TermiosSerialDevice::getTimeouts(Timeouts& timeouts) {
    std::lock_guard lock(mutex_);
    if (fd_ < 0 || closing_) {
        return false;
    }
    timeouts = timeouts_;
    return true;
}

bool TermiosSerialDevice::setTimeouts(const Timeouts& timeouts) {
    std::lock_guard lock(mutex_);
    if (fd_ < 0 || closing_) {
        return false;
    }
    timeouts_ = timeouts;
    return true;
}

bool TermiosSerialDevice::setQueueSizes(std::uint32_t, std::uint32_t) {
    return isOpen();
}

bool TermiosSerialDevice::purge() {
    std::lock_guard lock(mutex_);
    if (fd_ < 0 || closing_) {
        return false;
    }
    return ::tcflush(fd_, TCIOFLUSH) == 0;
}

bool TermiosSerialDevice::readByte(std::uint8_t& byte, std::uint32_t& count) {
    return readCapped(byte, count, std::nullopt);
}

bool TermiosSerialDevice::readByteWithin(std::uint8_t& byte, std::uint32_t& count,
                                         std::uint32_t maxWaitMs) {
    return readCapped(byte, count, maxWaitMs);
}

bool TermiosSerialDevice::readCapped(std::uint8_t& byte, std::uint32_t& count,
                                     std::optional<std::uint32_t> capMs) {
    count = 0;
    InFlight call(*this);
    if (!call.entered()) {
        return false;
    }
    std::optional<std::uint64_t> waitMs = oneByteReadWaitMs(call.timeouts);
    if (capMs && (!waitMs || *waitMs > *capMs)) {
        waitMs = *capMs;
    }
    const auto deadline = deadlineAfter(waitMs);
    for (;;) {
        switch (waitFor(call.fd, POLLIN, call.wakeFd, deadline)) {
            case WaitResult::TimedOut:
                return true;
            case WaitResult::Woken:
            case WaitResult::Failed:
                return false;
            case WaitResult::Ready:
                break;
        }
        std::uint8_t received = 0;
        const ssize_t got = ::read(call.fd, &received, 1);
        if (got == 1) {
            byte = received;
            count = 1;
            return true;
        }
        // Another reader or a purge may have taken the byte poll() announced.
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        // 0 is end of file: the other end hung up.
        return false;
    }
}

bool TermiosSerialDevice::write(const std::uint8_t* data, std::size_t n, std::uint32_t& written) {
    written = 0;
    InFlight call(*this);
    if (!call.entered()) {
        return false;
    }
    const auto deadline = deadlineAfter(writeWaitMs(call.timeouts, n));
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(call.fd, data + done, n - done);
        if (put > 0) {
            done += static_cast<std::size_t>(put);
            written = static_cast<std::uint32_t>(done);
            continue;
        }
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put < 0 && errno != EAGAIN) {
            return false;
        }
        switch (waitFor(call.fd, POLLOUT, call.wakeFd, deadline)) {
            case WaitResult::TimedOut:
                return true;
            case WaitResult::Woken:
            case WaitResult::Failed:
                return false;
            case WaitResult::Ready:
                break;
        }
    }
    return true;
}

}  // namespace orvo::platform
