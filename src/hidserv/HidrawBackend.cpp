#include "hidserv/HidrawBackend.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <linux/hidraw.h>
#include <poll.h>
#include <unistd.h>

#include "hidserv/ReportDescriptor.h"

namespace brindle {

namespace {

constexpr size_t kReadSize = 4096;
static_assert(ReportDescriptor::kMaxSize == HID_MAX_DESCRIPTOR_SIZE);

int DefaultOpen(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    return fd >= 0 ? fd : -errno;
}

// "Permission denied" -> "permission denied on /dev/hidraw3".
std::string OpenProblem(int error, const std::string& path) {
    std::string text = std::strerror(error);
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text + " on " + path;
}

bool ReadFile(const std::filesystem::path& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// HID_ID=0003:00000C45:00005204 (bus, vendor, product in hexadecimal).
bool ParseHidId(const std::string& uevent, uint16_t& vendor, uint16_t& product) {
    size_t at = 0;
    while (at < uevent.size()) {
        const size_t end = std::min(uevent.find('\n', at), uevent.size());
        const std::string line = uevent.substr(at, end - at);
        unsigned bus = 0, v = 0, p = 0;
        if (line.rfind("HID_ID=", 0) == 0 &&
            std::sscanf(line.c_str() + 7, "%x:%x:%x", &bus, &v, &p) == 3 && v <= 0xFFFF &&
            p <= 0xFFFF) {
            vendor = static_cast<uint16_t>(v);
            product = static_cast<uint16_t>(p);
            return true;
        }
        at = end + 1;
    }
    return false;
}

uint32_t NodeNumber(const std::string& name) {
    uint32_t n = 0;
    for (char c : name)
        if (c >= '0' && c <= '9')
            n = n * 10 + static_cast<uint32_t>(c - '0');
    return n;
}

} // namespace

struct HidrawBackend::Node {
    HidInterfaceInfo info;
    int fd = -1;
    int stopPipe[2] = {-1, -1};
    std::thread reader;
    std::mutex io; // the reader's read against a writer's drain and write
    std::atomic<bool> dead{false};
};

HidrawBackend::HidrawBackend(HidrawOptions options) : options_(std::move(options)) {
    if (!options_.openNode)
        options_.openNode = DefaultOpen;
}

HidrawBackend::~HidrawBackend() {
    Stop();
}

bool HidrawBackend::Start(HidBackendEvents& events) {
    if (monitor_.joinable())
        return true;
    events_ = &events;
    if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    stopping_ = false;
    reported_.clear();
    Rescan();
    monitor_ = std::thread([this] { Monitor(); });
    return true;
}

void HidrawBackend::Stop() {
    if (!monitor_.joinable())
        return;
    stopping_ = true;
    WakeMonitor();
    monitor_.join();
    std::map<std::string, std::unique_ptr<Node>> nodes;
    {
        std::lock_guard lock(mutex_);
        nodes.swap(nodes_);
    }
    for (auto& [name, node] : nodes)
        Close(std::move(node));
    ::close(wakePipe_[0]);
    ::close(wakePipe_[1]);
    wakePipe_[0] = wakePipe_[1] = -1;
    reported_.clear();
}

void HidrawBackend::WakeMonitor() {
    const uint8_t byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakePipe_[1], &byte, 1);
}

void HidrawBackend::Close(std::unique_ptr<Node> node) {
    const uint8_t byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(node->stopPipe[1], &byte, 1);
    if (node->reader.joinable())
        node->reader.join();
    ::close(node->fd);
    ::close(node->stopPipe[0]);
    ::close(node->stopPipe[1]);
}

std::string HidrawBackend::LastProblem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

std::vector<HidrawBackend::Candidate> HidrawBackend::ScanSysfs(std::string& problem) const {
    namespace fs = std::filesystem;
    std::vector<Candidate> found;
    const fs::path classDir = fs::path(options_.sysfsRoot) / "class" / "hidraw";
    std::error_code error;
    for (fs::directory_iterator it(classDir, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::string uevent;
        uint16_t vendor = 0, product = 0;
        if (!ReadFile(it->path() / "device" / "uevent", uevent) ||
            !ParseHidId(uevent, vendor, product) || vendor != options_.vendorId ||
            product != options_.productId)
            continue;
        std::string raw;
        ReportDescriptor descriptor;
        std::string why;
        if (!ReadFile(it->path() / "device" / "report_descriptor", raw) ||
            !ReportDescriptor::Parse(
                std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(raw.data()), raw.size()),
                descriptor, &why)) {
            if (problem.empty())
                problem =
                    "unreadable report descriptor of " + name + (why.empty() ? "" : ": ") + why;
            continue;
        }
        Candidate c;
        c.name = name;
        c.info.node = NodeNumber(name);
        c.info.vendorId = vendor;
        c.info.productId = product;
        c.info.collections = descriptor.collections;
        c.info.reportIds = descriptor.reportIds;
        c.info.path = (fs::path(options_.devRoot) / name).string();
        found.push_back(std::move(c));
    }
    return found;
}

void HidrawBackend::Rescan() {
    std::string problem;
    std::vector<Candidate> candidates = ScanSysfs(problem);

    // Nodes that vanished from sysfs or whose reader saw them go away.
    std::vector<std::unique_ptr<Node>> gone;
    std::vector<std::string> goneNames;
    {
        std::lock_guard lock(mutex_);
        for (auto it = nodes_.begin(); it != nodes_.end();) {
            const bool listed =
                std::any_of(candidates.begin(), candidates.end(),
                            [&](const Candidate& c) { return c.name == it->first; });
            if (listed && !it->second->dead) {
                ++it;
                continue;
            }
            goneNames.push_back(it->first);
            gone.push_back(std::move(it->second));
            it = nodes_.erase(it);
        }
    }
    for (auto& node : gone)
        Close(std::move(node));

    for (const Candidate& c : candidates) {
        {
            std::lock_guard lock(mutex_);
            if (nodes_.count(c.name) != 0)
                continue;
        }
        // A node that just went away is reported absent first; it is tried again next time.
        if (std::find(goneNames.begin(), goneNames.end(), c.name) != goneNames.end())
            continue;
        const int fd = options_.openNode(c.info.path);
        if (fd < 0) {
            if (problem.empty())
                problem = OpenProblem(-fd, c.info.path);
            continue;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        auto node = std::make_unique<Node>();
        node->info = c.info;
        node->fd = fd;
        if (::pipe2(node->stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            ::close(fd);
            continue;
        }
        Node* raw = node.get();
        node->reader = std::thread([this, raw] { ReadLoop(*raw); });
        std::lock_guard lock(mutex_);
        nodes_[c.name] = std::move(node);
    }

    std::vector<HidInterfaceInfo> attached;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [name, node] : nodes_)
            if (!node->dead)
                attached.push_back(node->info);
        if (candidates.empty() && problem.empty())
            problem = "no keyboard 0C45:5204 among the hidraw devices";
        problem_ = problem;
    }
    std::sort(attached.begin(), attached.end(),
              [](const HidInterfaceInfo& a, const HidInterfaceInfo& b) { return a.node < b.node; });
    auto same = [](const HidInterfaceInfo& a, const HidInterfaceInfo& b) {
        return a.node == b.node && a.path == b.path && a.collections == b.collections;
    };
    if (attached.size() != reported_.size() ||
        !std::equal(attached.begin(), attached.end(), reported_.begin(), same)) {
        reported_ = attached;
        if (!stopping_)
            events_->OnDevicesChanged(attached);
    }
}

void HidrawBackend::Monitor() {
    while (!stopping_) {
        pollfd wake{wakePipe_[0], POLLIN, 0};
        ::poll(&wake, 1, static_cast<int>(options_.rescanInterval.count()));
        uint8_t drain[64];
        while (::read(wakePipe_[0], drain, sizeof(drain)) > 0) {
        }
        if (stopping_)
            break;
        Rescan();
    }
}

void HidrawBackend::ReadLoop(Node& node) {
    uint8_t buffer[kReadSize];
    for (;;) {
        pollfd fds[2] = {{node.stopPipe[0], POLLIN, 0}, {node.fd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents != 0)
            return; // closed by the monitor or Stop
        if (fds[1].revents & POLLIN) {
            ssize_t n;
            int error;
            {
                std::lock_guard lock(node.io);
                n = ::read(node.fd, buffer, sizeof(buffer));
                error = errno;
            }
            if (n > 0) {
                events_->OnInput(node.info, buffer, static_cast<size_t>(n));
                continue;
            }
            if (n < 0 && (error == EAGAIN || error == EINTR))
                continue; // a writer drained it first
            break;        // 0 bytes, ENODEV, EIO, ...: the node is gone
        }
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))
            break;
    }
    node.dead = true;
    WakeMonitor();
}

int HidrawBackend::Write(uint32_t nodeId, const uint8_t* data, size_t size) {
    std::lock_guard lock(mutex_);
    for (auto& [name, node] : nodes_) {
        if (node->info.node != nodeId || node->dead)
            continue;
        std::lock_guard io(node->io);
        // Input still queued from before this request (a late answer to an earlier one) is
        // dropped, so the next report read belongs to this request.
        uint8_t stale[kReadSize];
        while (::read(node->fd, stale, sizeof(stale)) > 0) {
        }
        // hidraw takes the report id as the first byte of every output report.
        const ssize_t n = ::write(node->fd, data, size);
        return n == static_cast<ssize_t>(size) ? 1 : 0;
    }
    return 0;
}

} // namespace brindle
