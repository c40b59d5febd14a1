#include "platform/ado/jet_reader_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/common/com_error.h"

extern char** environ;

namespace ado {

namespace {

constexpr const char* kReaderName = "tolvaran-jetreader";
constexpr size_t kStderrKeep = 2048;

std::string SignalText(int sig) {
    switch (sig) {
        case SIGSEGV:
            return "it crashed (SIGSEGV)";
        case SIGBUS:
            return "it crashed (SIGBUS)";
        case SIGABRT:
            return "it stopped itself (SIGABRT), often because its memory limit was reached";
        case SIGTRAP:
            return "it stopped itself (SIGTRAP), often because its memory limit was reached";
        case SIGFPE:
            return "it crashed (SIGFPE)";
        case SIGXCPU:
            return "it used up its CPU time limit";
        case SIGKILL:
            return "it was killed";
        default:
            return "it ended on signal " + std::to_string(sig);
    }
}

std::string LastLine(const std::string& text) {
    std::string t = text;
    while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
    size_t nl = t.find_last_of('\n');
    return nl == std::string::npos ? t : t.substr(nl + 1);
}

}  // namespace

std::string FindJetReader(const std::string& program) {
    if (!program.empty()) return program;
    namespace fs = std::filesystem;
    std::error_code ec;
    if (const char* env = std::getenv("TOLVARAN_JETREADER"); env && *env) return env;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        fs::path dir = exe.parent_path();
        for (const fs::path& candidate : {dir / kReaderName, dir.parent_path() / "bin" / kReaderName}) {
            if (fs::is_regular_file(candidate, ec)) return candidate.string();
        }
    }
    return kReaderName;
}

JetReaderProcess::JetReaderProcess(std::string file, const JetReaderLimits& limits, std::string program)
    : file_(std::move(file)), limits_(limits), program_(std::move(program)) {}

JetReaderProcess::~JetReaderProcess() {
    stop(false);
}

void JetReaderProcess::fail(const std::string& why) {
    stop(true);
    throw vb::ComError(vb::kErrGeneric, "The Access file " + file_ + " could not be read: " + why, "Jet");
}

void JetReaderProcess::start() {
    if (pid_ > 0) return;
    const JetReaderLimits& limits = limits_;
    const std::string program = FindJetReader(program_);
    if (access(program.c_str(), X_OK) != 0) {
        throw vb::ComError(
            vb::kErrGeneric,
            "The Access file " + file_ + " cannot be read: the reader program " + program + " is missing.",
            "Jet");
    }
    int sv[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
        throw vb::ComError(vb::kErrGeneric,
                           "Cannot start the Access file reader: " + std::string(std::strerror(errno)));
    }
    int ep[2];
    if (pipe2(ep, O_CLOEXEC) != 0) {
        close(sv[0]);
        close(sv[1]);
        throw vb::ComError(vb::kErrGeneric,
                           "Cannot start the Access file reader: " + std::string(std::strerror(errno)));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, sv[1], 0);
    posix_spawn_file_actions_adddup2(&actions, sv[1], 1);
    posix_spawn_file_actions_adddup2(&actions, ep[1], 2);
    std::string mem = std::to_string(limits.memoryMb);
    std::string cpu = std::to_string(limits.cpuSeconds);
    std::vector<char*> argv = {const_cast<char*>(program.c_str()),
                               const_cast<char*>("--memory-mb"),
                               mem.data(),
                               const_cast<char*>("--cpu-seconds"),
                               cpu.data(),
                               nullptr};
    pid_t pid = -1;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(sv[1]);
    close(ep[1]);
    if (rc != 0) {
        close(sv[0]);
        close(ep[0]);
        throw vb::ComError(vb::kErrGeneric,
                           "Cannot start the Access file reader " + program + ": " + std::strerror(rc));
    }
    pid_ = pid;
    sock_ = sv[0];
    err_ = ep[0];
    fcntl(err_, F_SETFL, fcntl(err_, F_GETFL) | O_NONBLOCK);
    stderrTail_.clear();
    decoder_ = jetproto::Decoder();

    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limits.requestSeconds);
    send(jetproto::Frame{'O', {file_}});
    jetproto::Frame answer = receive(deadline);
    if (answer.kind == 'X') {
        std::string text = !answer.fields.empty() && answer.fields[0] ? *answer.fields[0] : "unknown failure";
        stop(false);
        throw vb::ComError(vb::kErrGeneric, text, "Jet");
    }
    if (answer.kind != 'V' || answer.fields.empty() || !answer.fields[0])
        fail("the reader answered out of turn.");
    version_ = std::atoi(answer.fields[0]->c_str());
}

void JetReaderProcess::stop(bool kill) {
    if (pid_ <= 0) return;
    if (!kill) {
        std::string quit = jetproto::Encode(jetproto::Frame{'Q', {}});
        (void)::send(sock_, quit.data(), quit.size(), MSG_NOSIGNAL);
    }
    close(sock_);
    close(err_);
    sock_ = err_ = -1;
    int status = 0;
    bool reaped = false;
    if (!kill) {
        // A reader told to quit ends at once; give it a moment before forcing it.
        for (int i = 0; i < 50 && !reaped; ++i) {
            if (waitpid(pid_, &status, WNOHANG) == pid_)
                reaped = true;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    if (!reaped) {
        ::kill(pid_, SIGKILL);
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    pid_ = -1;
}

void JetReaderProcess::send(const jetproto::Frame& frame) {
    std::string bytes = jetproto::Encode(frame);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(sock_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // The reader is gone; receive() tells why.
            return;
        }
        done += static_cast<size_t>(n);
    }
}

jetproto::Frame JetReaderProcess::receive(std::chrono::steady_clock::time_point deadline) {
    char buf[65536];
    for (;;) {
        if (auto frame = decoder_.next()) return std::move(*frame);
        if (decoder_.bad()) fail("the reader sent a malformed answer.");
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            fail("the reader did not answer within " + std::to_string(limits_.requestSeconds) +
                 " seconds and was stopped.");
        }
        int waitMs =
            static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count()) +
            1;
        struct pollfd fds[2] = {{sock_, POLLIN, 0}, {err_, POLLIN, 0}};
        int rc = poll(fds, 2, waitMs);
        if (rc < 0) {
            if (errno == EINTR) continue;
            fail(std::string("waiting for the reader failed: ") + std::strerror(errno));
        }
        if (fds[1].revents & POLLIN) {
            ssize_t n = read(err_, buf, sizeof buf);
            if (n > 0) {
                stderrTail_.append(buf, static_cast<size_t>(n));
                if (stderrTail_.size() > kStderrKeep) stderrTail_.erase(0, stderrTail_.size() - kStderrKeep);
            }
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t n = read(sock_, buf, sizeof buf);
            if (n > 0) {
                decoder_.feed(buf, static_cast<size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            // End of stream: the reader has ended. Say how.
            close(sock_);
            close(err_);
            sock_ = err_ = -1;
            int status = 0;
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
            pid_ = -1;
            std::string why;
            if (WIFSIGNALED(status))
                why = SignalText(WTERMSIG(status));
            else
                why = "it ended with exit code " + std::to_string(WEXITSTATUS(status));
            std::string detail = LastLine(stderrTail_);
            throw vb::ComError(vb::kErrGeneric,
                               "The Access file " + file_ + " could not be read: the reader stopped; " + why +
                                   (detail.empty() ? "." : " (" + detail + ")."),
                               "Jet");
        }
    }
}

int JetReaderProcess::jetVersion() {
    start();
    return version_;
}

JetTableData JetReaderProcess::readTable(const std::string& table, long limit) {
    start();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limits_.requestSeconds);
    send(jetproto::Frame{'R', {table, std::to_string(limit)}});
    JetTableData data;
    jetproto::Frame f = receive(deadline);
    auto errorText = [&](const jetproto::Frame& x) {
        return "The Access file " + file_ + " could not be read: " +
               (!x.fields.empty() && x.fields[0] ? *x.fields[0] : std::string("unknown failure"));
    };
    if (f.kind == 'X') throw vb::ComError(vb::kErrGeneric, errorText(f), "Jet");
    if (f.kind != 'H' || f.fields.size() % 4 != 0) fail("the reader answered out of turn.");
    for (size_t i = 0; i + 3 < f.fields.size(); i += 4) {
        JetColumn c;
        c.name = f.fields[i].value_or("");
        c.mdbType = std::atoi(f.fields[i + 1].value_or("0").c_str());
        c.sizeBytes = std::atol(f.fields[i + 2].value_or("0").c_str());
        std::string flags = f.fields[i + 3].value_or("");
        c.autoNumber = flags.find('a') != std::string::npos;
        c.primaryKey = flags.find('k') != std::string::npos;
        data.columns.push_back(std::move(c));
    }
    for (;;) {
        f = receive(deadline);
        if (f.kind == 'E') break;
        if (f.kind == 'X') throw vb::ComError(vb::kErrGeneric, errorText(f), "Jet");
        if (f.kind != 'W' || f.fields.size() != data.columns.size()) fail("the reader answered out of turn.");
        data.rows.push_back(std::move(f.fields));
    }
    return data;
}

}  // namespace ado
