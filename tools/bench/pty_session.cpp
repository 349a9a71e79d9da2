#include "tools/bench/pty_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#if defined(__APPLE__)
#include <util.h>
#else
#include <pty.h>
#endif

#include <cerrno>
#include <cstdlib>

namespace {

// How long a stopped program may take to end before it is killed.
constexpr auto kStopGrace = std::chrono::seconds(2);

// poll()'s timeout for a wait until `until`: whole milliseconds, rounded up so
// that the wait does not end early and spin.
int TimeoutMs(BenchClock::time_point until) {
    auto left = std::chrono::duration_cast<std::chrono::microseconds>(until - BenchClock::now()).count();
    if (left <= 0) return 0;
    return static_cast<int>((left + 999) / 1000);
}

// Reads what is there (after poll said so), feeds the model and sends the
// answers the model owes. False when the program's side is closed.
bool ReadOnce(PtySession& session) {
    char bytes[4096];
    ssize_t count = read(session.master, bytes, sizeof bytes);
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    if (count <= 0) {
        // Linux reports EIO once the last descriptor of the other side is gone.
        session.closed = true;
        return false;
    }
    session.lastRead = BenchClock::now();
    session.bytesRead += count;
    FeedScreenModel(session.screen, bytes, static_cast<std::size_t>(count));
    if (!session.screen.replies.empty()) {
        SendKeys(session, session.screen.replies);
        session.screen.replies.clear();
        session.replies += 1;
        session.lastReply = BenchClock::now();
    }
    return true;
}

// Waits for output until `until` and reads it. False on the deadline or when
// the program's side is closed.
bool ReadUntil(PtySession& session, BenchClock::time_point until) {
    if (session.closed) return false;
    for (;;) {
        struct pollfd ready = {session.master, POLLIN, 0};
        int count = poll(&ready, 1, TimeoutMs(until));
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        if (ready.revents & POLLIN) return ReadOnce(session);
        session.closed = true;  // POLLHUP or POLLERR without data
        return false;
    }
}

}  // namespace

bool StartInPty(PtySession& session, const std::vector<std::string>& arguments, const std::string& folder,
                int columns, int rows) {
    session = PtySession{};
    ResetScreenModel(session.screen, columns, rows);
    // Everything the child needs is ready before the fork: it only changes
    // folder and executes.
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    // A state folder of its own, new for each run (beside the data folder, in
    // the scratch tree): no run meets a journey saved by another, and is asked
    // whether to continue it.
    static int runs = 0;
    const std::string state = folder + "/../bench-state-" + std::to_string(++runs);
    struct winsize size = {};
    size.ws_col = static_cast<unsigned short>(columns);
    size.ws_row = static_cast<unsigned short>(rows);
    pid_t pid = forkpty(&session.master, nullptr, nullptr, &size);
    if (pid < 0) return false;
    if (pid == 0) {
        setenv("XDG_STATE_HOME", state.c_str(), 1);
        if (chdir(folder.c_str()) == 0) execv(argv[0], argv.data());
        _exit(127);
    }
    session.pid = pid;
    fcntl(session.master, F_SETFD, FD_CLOEXEC);
    return true;
}

void PumpUntil(PtySession& session, BenchClock::time_point until) {
    while (BenchClock::now() < until && !session.closed) ReadUntil(session, until);
}

bool WaitForScreen(PtySession& session, const std::function<bool(const PtySession&)>& done,
                   BenchClock::time_point deadline, BenchClock::time_point& when) {
    if (done(session)) {
        when = session.lastRead;
        return true;
    }
    while (ReadUntil(session, deadline)) {
        if (done(session)) {
            when = session.lastRead;
            return true;
        }
    }
    return false;
}

bool SendKeys(PtySession& session, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t count = write(session.master, bytes.data() + sent, bytes.size() - sent);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

int StopInPty(PtySession& session) {
    if (session.pid <= 0) return -1;
    int status = 0;
    pid_t reaped = waitpid(session.pid, &status, WNOHANG);
    if (reaped == 0) {
        kill(session.pid, SIGTERM);
        // Read what it writes on its way out, so that it cannot block on a
        // full terminal, until it has ended or the grace time is over.
        auto deadline = BenchClock::now() + kStopGrace;
        while (reaped == 0 && BenchClock::now() < deadline) {
            if (!ReadUntil(session, BenchClock::now() + std::chrono::milliseconds(10)) && session.closed) {
                poll(nullptr, 0, 5);  // nothing more to read: only wait for the end
            }
            reaped = waitpid(session.pid, &status, WNOHANG);
        }
        if (reaped == 0) {
            kill(session.pid, SIGKILL);
            reaped = waitpid(session.pid, &status, 0);
        }
    }
    close(session.master);
    session.master = -1;
    session.pid = -1;
    session.closed = true;
    return reaped > 0 ? status : -1;
}
