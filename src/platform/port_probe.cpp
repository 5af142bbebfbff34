#include "platform/port_probe.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace orvo::platform {

namespace {

std::string groupName(gid_t gid) {
    std::string buffer(4096, '\0');
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return std::to_string(gid);
    }
    return found->gr_name;
}

// The process holding an exclusive lock on the file with this device and inode, from the
// kernel's lock table: "1: FLOCK  ADVISORY  WRITE 4242 00:19:3 0 EOF", device numbers in hex.
std::optional<long> lockHolder(dev_t device, ino_t inode) {
    std::ifstream locks("/proc/locks");
    std::ostringstream wanted;
    wanted << std::hex << major(device) << ':' << minor(device) << ':' << std::dec << inode;
    std::string line;
    while (std::getline(locks, line)) {
        if (line.find("->") != std::string::npos) {
            continue;  // a waiter, not the holder
        }
        std::istringstream fields(line);
        std::string number, kind, mode, access, place;
        long pid = 0;
        if (!(fields >> number >> kind >> mode >> access >> pid >> place)) {
            continue;
        }
        // The kernel pads the major and minor numbers to two digits.
        unsigned long major = 0, minor = 0, node = 0;
        char colon1 = 0, colon2 = 0;
        std::istringstream at(place);
        if (!(at >> std::hex >> major >> colon1 >> minor >> colon2 >> std::dec >> node)) {
            continue;
        }
        if (major == ::major(device) && minor == ::minor(device) && node == inode) {
            return pid;
        }
    }
    return std::nullopt;
}

std::string programName(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

}  // namespace

PortProbe probePort(const std::string& path) {
    PortProbe probe;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        probe.access = errno == EACCES ? PortAccess::PermissionDenied : PortAccess::Gone;
        probe.reason = std::strerror(errno);
        return probe;
    }
    probe.group = groupName(info.st_gid);

    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        probe.reason = std::strerror(error);
        switch (error) {
            case EACCES:
            case EPERM:
                probe.access = PortAccess::PermissionDenied;
                break;
            case EBUSY:  // opened by a program that asked for exclusive use of the terminal
                probe.access = PortAccess::Held;
                break;
            case ENOENT:
            case ENXIO:
            case ENODEV:
            case EIO:
                probe.access = PortAccess::Gone;
                break;
            default:
                probe.access = PortAccess::Unusable;
                break;
        }
        return probe;
    }

    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) {
        probe.reason = std::strerror(errno);
        probe.access = PortAccess::Unusable;
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // The serial device locks the port it opens, so another copy of this tool, or any
        // program that locks the same way, holds it.
        probe.access = PortAccess::Held;
        struct stat opened {};
        if (::fstat(fd, &opened) == 0) {
            probe.holderPid = lockHolder(opened.st_dev, opened.st_ino);
            if (probe.holderPid) {
                probe.holderName = programName(*probe.holderPid);
            }
        }
    } else {
        probe.access = PortAccess::Free;
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
    return probe;
}

}  // namespace orvo::platform
