// The kernel's change queue, with each queued note counted by a signal of its own.
#include "platform/sandbox/change_queue.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>

namespace rvx::sandbox {

namespace {

// Counts the kernel's signals that a note was queued on some queue's watches. Each note comes
// with a real-time signal of its own, which the kernel queues rather than merging it with one
// still pending; when it cannot queue one it sends SIGIO instead, which counts as more than any
// number of notes. A note queued by a call of the thread that owns the queue is signalled
// before that call returns, and one queued by another process as soon as the kernel can
// interrupt the thread: while the count grows only by the notes the caller knows it caused
// itself, the queue holds nothing the caller does not know.
std::atomic<uint64_t> g_queue_signals{0};
constexpr uint64_t kSignalNotCounted = uint64_t{1} << 40;

// SIGRTMIN is not a constant: the C library keeps the first ones for itself.
int QueueSignal() { return SIGRTMIN + 4; }

void CountQueueSignal(int) { g_queue_signals.fetch_add(1, std::memory_order_relaxed); }
void CountLostSignal(int) { g_queue_signals.fetch_add(kSignalNotCounted, std::memory_order_relaxed); }

bool Unhandled(int signal) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0) return false;
    const bool taken = (current.sa_flags & SA_SIGINFO) ? current.sa_sigaction != nullptr
                                                       : current.sa_handler != SIG_DFL && current.sa_handler != SIG_IGN;
    return !taken;
}

bool Handle(int signal, void (*handler)(int)) {
    struct sigaction count {};
    count.sa_handler = handler;
    // Calls the signal interrupts go on as if it had not come.
    count.sa_flags = SA_RESTART;
    sigemptyset(&count.sa_mask);
    return ::sigaction(signal, &count, nullptr) == 0;
}

// Takes both signals for the count, unless something else in the process handles either.
bool HandleQueueSignals() {
    static const bool handled = [] {
        if (!Unhandled(QueueSignal()) || !Unhandled(SIGIO)) return false;
        return Handle(SIGIO, CountLostSignal) && Handle(QueueSignal(), CountQueueSignal);
    }();
    return handled;
}

}  // namespace

ChangeQueue::ChangeQueue() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ < 0 || !HandleQueueSignals()) return;
    // Signalled to this thread only: the thread that reads is then the one interrupted.
    const f_owner_ex owner{F_OWNER_TID, ::gettid()};
    signalled_ = ::fcntl(fd_, F_SETOWN_EX, &owner) == 0 && ::fcntl(fd_, F_SETSIG, QueueSignal()) == 0 &&
                 ::fcntl(fd_, F_SETFL, O_NONBLOCK | O_ASYNC) == 0;
    owner_ = ::pthread_self();
}

ChangeQueue::~ChangeQueue() {
    if (fd_ >= 0) ::close(fd_);
}

int ChangeQueue::Watch(const std::string& path, uint32_t changes) {
    if (fd_ < 0) return -1;
    return ::inotify_add_watch(fd_, path.c_str(), changes);
}

void ChangeQueue::Unwatch(int watch) {
    if (fd_ >= 0) ::inotify_rm_watch(fd_, watch);
}

void ChangeQueue::ExpectOwnNote() {
    if (!signalled_ || !::pthread_equal(::pthread_self(), owner_)) return;
    if (own_notes_++ == 0) own_notes_since_ = std::chrono::steady_clock::now();
}

bool ChangeQueue::NeedsRead() {
    if (fd_ < 0) return false;
    if (!signalled_ || !::pthread_equal(::pthread_self(), owner_)) return true;
    // Taken before the queue is read: a signal that comes during the read counts again.
    const uint64_t signals = g_queue_signals.load(std::memory_order_acquire);
    if (read_at_signal_ && signals - *read_at_signal_ == own_notes_ &&
        (own_notes_ == 0 ||
         (own_notes_ < kMostOwnNotesWaiting && std::chrono::steady_clock::now() - own_notes_since_ < kLongestOwnNoteWait)))
        return false;
    read_at_signal_ = signals;
    own_notes_ = 0;
    return true;
}

bool ChangeQueue::Read(const std::function<void(const Note&)>& on_note) {
    if (fd_ < 0) return false;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        ++reads_;
        if (got <= 0) {
            if (got < 0 && errno == EINTR) continue;
            // EAGAIN: nothing more queued. Any other failure leaves the queue unknown.
            return got < 0 && errno == EAGAIN;
        }
        // The kernel hands out every queued note that fits: a read that left room for the
        // largest one emptied the queue, and another read would only say so.
        const bool drained = static_cast<size_t>(got) + sizeof(inotify_event) + NAME_MAX + 1 <= sizeof buffer;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            on_note(Note{event->wd, event->mask, event->len > 0 ? std::string_view(event->name) : std::string_view()});
        }
        if (drained) return true;
    }
}

}  // namespace rvx::sandbox
