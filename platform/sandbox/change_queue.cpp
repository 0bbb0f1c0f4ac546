// The kernel's change queue, and the bytes of the notes the caller expects in it.
#include "platform/sandbox/change_queue.h"

#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>

namespace rvx::sandbox {

namespace {

// The bytes the kernel queues for a note about name: the note and its name, ended and padded
// to the note's own size.
uint64_t NoteBytes(std::string_view name) {
    constexpr size_t kNote = sizeof(inotify_event);
    return kNote + (name.empty() ? 0 : (name.size() + 1 + kNote - 1) / kNote * kNote);
}

constexpr int kMostClosingInBackground = 4;
std::atomic<int> closing_in_background{0};

void* CloseQueue(void* fd) {
    ::close(static_cast<int>(reinterpret_cast<intptr_t>(fd)));
    closing_in_background.fetch_sub(1);
    return nullptr;
}

}  // namespace

std::chrono::nanoseconds ChangeQueue::CoarseNow() {
    // The coarse clock is read without the finer one's cost, a few milliseconds apart at most:
    // enough for a wait counted in tenths of a second.
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

ChangeQueue::ChangeQueue() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), owner_(::pthread_self()) {}

ChangeQueue::~ChangeQueue() {
    if (fd_ < 0) return;
    // Closing the queue waits until the kernel has retired every watch: a grace period of 4 to
    // 16 milliseconds, however few the watches, which is most of a short program's run. Nothing
    // here needs that wait, so a thread of its own closes the queue. A queue still closing
    // counts against the user's few queues (128 by default), so only a handful close at once;
    // past them, or when no thread can be made, this thread closes it.
    if (closing_in_background.fetch_add(1) < kMostClosingInBackground) {
        pthread_attr_t detached;
        if (::pthread_attr_init(&detached) == 0) {
            pthread_t closer{};
            const bool started = ::pthread_attr_setdetachstate(&detached, PTHREAD_CREATE_DETACHED) == 0 &&
                                 ::pthread_create(&closer, &detached, &CloseQueue,
                                                  reinterpret_cast<void*>(static_cast<intptr_t>(fd_))) == 0;
            ::pthread_attr_destroy(&detached);
            if (started) return;
        }
    }
    CloseQueue(reinterpret_cast<void*>(static_cast<intptr_t>(fd_)));
}

int ChangeQueue::Watch(const std::string& path, uint32_t changes) {
    if (fd_ < 0) return -1;
    return ::inotify_add_watch(fd_, path.c_str(), changes);
}

void ChangeQueue::Unwatch(int watch) {
    if (fd_ >= 0) ::inotify_rm_watch(fd_, watch);
}

void ChangeQueue::ExpectOwnNote(std::string_view name) {
    if (fd_ < 0 || !::pthread_equal(::pthread_self(), owner_)) return;
    if (own_notes_++ == 0) own_notes_since_ = CoarseNow();
    own_bytes_ += NoteBytes(name);
}

bool ChangeQueue::NeedsRead() {
    if (fd_ < 0) return false;
    // Another thread's changes were not counted.
    if (!::pthread_equal(::pthread_self(), owner_)) return true;
    int waiting = 0;
    const bool only_own = ::ioctl(fd_, FIONREAD, &waiting) == 0 && static_cast<uint64_t>(waiting) == own_bytes_;
    const bool may_wait =
        own_notes_ == 0 || (own_notes_ < kMostOwnNotesWaiting && CoarseNow() - own_notes_since_ < kLongestOwnNoteWait);
    if (only_own && may_wait) return false;
    own_notes_ = 0;
    own_bytes_ = 0;
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
