// What the report exchange costs over the virtual keyboard's socket, beside a bare round trip of
// the same 64-byte messages over the same kind of socket; and a key-table and an 8 KiB macro-area
// write.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/device/DeviceConnection.h"
#include "core/device/DeviceProtocol.h"
#include "core/device/HidServApi.h"
#include "kbdsim/SimWire.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int Connect(const std::string& path) {
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strncpy(a.sun_path, path.c_str(), sizeof(a.sun_path) - 1);
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// One virtual keyboard process and one bound device service library for the whole run.
struct Link {
    fs::path dir;
    std::string socketPath;
    pid_t keyboard = -1;
    int rawFd = -1;
    std::optional<brindle::HidServApi> api;
    std::unique_ptr<brindle::DeviceProtocol> protocol;
    std::unique_ptr<brindle::DeviceConnection> connection;
    std::string problem;

    Link() {
        const std::string bin = BRINDLE_BIN_DIR;
        dir = fs::temp_directory_path() / ("brindle-bench-" + std::to_string(getpid()));
        fs::create_directories(dir);
        socketPath = (dir / "k.sock").string();
        std::vector<std::string> words = {
            bin + "/brindle-kbdsim",     "serve", "--socket", socketPath, "--state",
            (dir / "state.bin").string()};
        std::vector<char*> argv;
        for (auto& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&keyboard, argv[0], &files, nullptr, argv.data(), environ) != 0) {
            problem = "cannot start " + words[0];
            keyboard = -1;
        }
        posix_spawn_file_actions_destroy(&files);
        for (int i = 0; i < 1000 && rawFd < 0 && keyboard > 0; ++i) {
            rawFd = Connect(socketPath);
            if (rawFd < 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (rawFd < 0) {
            problem = problem.empty() ? "the virtual keyboard does not listen" : problem;
            return;
        }
        setenv("BRINDLE_DEVICE", ("sim:" + socketPath).c_str(), 1);
        api = brindle::LoadHidServ(bin);
        if (!api || api->Init(0) <= 0) {
            problem = "libHidServ.so not loadable from " + bin;
            return;
        }
        protocol = std::make_unique<brindle::DeviceProtocol>(*api);
        connection = std::make_unique<brindle::DeviceConnection>(*protocol, nullptr);
        connection->StartControlChannel();
        for (int i = 0; i < 200 && protocol->IsKeyboardPresent() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~Link() {
        connection.reset();
        if (rawFd >= 0)
            close(rawFd);
        if (keyboard > 0) {
            kill(keyboard, SIGTERM);
            waitpid(keyboard, nullptr, 0);
        }
        fs::remove_all(dir);
    }

    // The bare round trip: the request as a socket message, then the first control answer.
    bool Raw(const brindle::Report& request, uint8_t* answer) {
        const auto message = brindle::EncodeSimMessage(brindle::SimMessageType::kReport,
                                                       brindle::SimInterface::kControl, request);
        if (send(rawFd, message.data(), message.size(), MSG_NOSIGNAL) < 0)
            return false;
        uint8_t buffer[brindle::kSimMaxMessage];
        for (;;) {
            const ssize_t n = recv(rawFd, buffer, sizeof(buffer), 0);
            if (n <= 0)
                return false;
            auto m = brindle::DecodeSimMessage({buffer, static_cast<size_t>(n)});
            if (m && m->type == brindle::SimMessageType::kReport &&
                m->iface == brindle::SimInterface::kControl) {
                std::memcpy(answer, m->body.data(), std::min(m->body.size(), brindle::kReportSize));
                return true;
            }
        }
    }
};

Link& TheLink() {
    static Link link;
    return link;
}

double PercentileMicros(std::vector<Clock::duration>& samples, size_t percent) {
    if (samples.empty())
        return 0;
    const size_t at = std::min(samples.size() - 1, samples.size() * percent / 100);
    std::nth_element(samples.begin(), samples.begin() + at, samples.end());
    return std::chrono::duration<double, std::micro>(samples[at]).count();
}

const brindle::Report kSettingsRead = brindle::MakeRequest(brindle::cmd::kReadSettings, 44, 0);
const uint8_t kChunk[56] = {1, 2, 3};
const brindle::Report kKeyTableChunkWrite =
    brindle::MakeRequest(brindle::cmd::kWriteKeyTable, 56, 378, kChunk);

// Both paths in turn, so that drift of the machine hits them alike. Argument 0: a settings read;
// 1: one key-table chunk write (the keyboard stores it before answering).
void BM_ExchangeReportBesideRawRoundTrip(benchmark::State& state) {
    const brindle::Report& request = state.range(0) == 0 ? kSettingsRead : kKeyTableChunkWrite;
    Link& link = TheLink();
    if (!link.problem.empty()) {
        state.SkipWithError(link.problem.c_str());
        return;
    }
    std::vector<Clock::duration> raw, exchange;
    uint8_t answer[64];
    for (auto _ : state) {
        auto t0 = Clock::now();
        if (!link.Raw(request, answer)) {
            state.SkipWithError("raw round trip failed");
            return;
        }
        auto t1 = Clock::now();
        size_t delivered = 0;
        if (link.protocol->ExchangeReport(request.data(), 64, answer, 64, &delivered) != 1) {
            state.SkipWithError("exchange failed");
            return;
        }
        auto t2 = Clock::now();
        raw.push_back(t1 - t0);
        exchange.push_back(t2 - t1);
    }
    state.counters["raw_p90_us"] = PercentileMicros(raw, 90);
    state.counters["exchange_p90_us"] = PercentileMicros(exchange, 90);
    const double r = PercentileMicros(raw, 50), e = PercentileMicros(exchange, 50);
    state.counters["raw_median_us"] = r;
    state.counters["exchange_median_us"] = e;
    state.counters["ratio"] = r > 0 ? e / r : 0;
    // What the program adds, as a share of one 1 ms USB frame.
    state.counters["added_pct_of_1ms"] = (e - r) / 1000.0 * 100.0;
}
BENCHMARK(BM_ExchangeReportBesideRawRoundTrip)->Arg(0)->Arg(1)->Iterations(3000);

void BM_WriteKeyTable(benchmark::State& state) {
    Link& link = TheLink();
    if (!link.problem.empty()) {
        state.SkipWithError(link.problem.c_str());
        return;
    }
    std::vector<uint8_t> table(brindle::kKeyTableSize, 0x21);
    for (auto _ : state)
        if (link.protocol->WriteKeyTable(table.data(), 1) != 1)
            state.SkipWithError("key table write failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * table.size()));
}
BENCHMARK(BM_WriteKeyTable)->Unit(benchmark::kMicrosecond);

void BM_WriteMacroArea8KiB(benchmark::State& state) {
    Link& link = TheLink();
    if (!link.problem.empty()) {
        state.SkipWithError(link.problem.c_str());
        return;
    }
    std::vector<uint8_t> area(8192, 0x42);
    for (auto _ : state)
        if (link.protocol->WriteMacroArea(area.data(), area.size()) != 1)
            state.SkipWithError("macro area write failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * area.size()));
}
BENCHMARK(BM_WriteMacroArea8KiB)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
