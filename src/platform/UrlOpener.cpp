#include "UrlOpener.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <vector>

namespace fl {

namespace {

// A descriptor is closed once, even when close is interrupted (Linux frees it all the same).
void closeQuietly(int fd) { ::close(fd); }

// Runs in the watcher process between fork and exit: only calls that are safe there.
// Starts the opener, waits for it and writes its exit status (one byte, 255 for a signal)
// to `statusFd`.
[[noreturn]] void watch(const char* path, char* const* argv, int readFd, int statusFd)
{
    ::close(readFd);
    const pid_t opener = ::fork();
    if (opener < 0) ::_exit(1);
    if (opener == 0) {
        ::execv(path, argv);
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(opener, &status, 0) < 0) {
        if (errno != EINTR) ::_exit(1);
    }
    const unsigned char code = WIFEXITED(status) ? static_cast<unsigned char>(WEXITSTATUS(status)) : 255;
    while (::write(statusFd, &code, 1) < 0 && errno == EINTR) {
    }
    ::_exit(0);
}

} // namespace

OpenerResult runOpener(const QString& program, const QStringList& arguments, int timeLimitMs,
                       const std::function<void()>& whileWaiting)
{
    // Everything the child processes need is made before they exist.
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> words{path};
    for (const QString& a : arguments) words.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return OpenerResult::Failed;
    // The opener runs in a grandchild of a short-lived child, so that it belongs to no one
    // here once the time limit has passed; the middle process waits for it and reports.
    const pid_t child = ::fork();
    if (child < 0) {
        closeQuietly(fds[0]);
        closeQuietly(fds[1]);
        return OpenerResult::Failed;
    }
    if (child == 0) {
        const pid_t watcher = ::fork();
        if (watcher == 0) watch(path.constData(), argv.data(), fds[0], fds[1]);
        ::_exit(watcher < 0 ? 1 : 0);
    }
    closeQuietly(fds[1]);
    int childStatus = 0;
    while (::waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(childStatus) || WEXITSTATUS(childStatus) != 0) {
        closeQuietly(fds[0]);
        return OpenerResult::Failed;
    }

    OpenerResult result = OpenerResult::StillRunning;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 left = timeLimitMs - clock.elapsed();
        if (left <= 0) break;
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, int(std::min<qint64>(left, 50)));
        if (ready < 0) {
            if (errno == EINTR) continue;
            result = OpenerResult::Failed;
            break;
        }
        if (ready == 0) {
            if (whileWaiting) whileWaiting();
            continue;
        }
        unsigned char code = 1;
        const ssize_t got = ::read(fds[0], &code, 1);
        if (got < 0 && errno == EINTR) continue;
        // No byte at all: the watcher ended without a report.
        result = got == 1 && code == 0 ? OpenerResult::Opened : OpenerResult::Failed;
        break;
    }
    closeQuietly(fds[0]);
    return result;
}

} // namespace fl
