// The kernel's queue of changes to watched host folders and files (inotify), and what the
// caller knows to wait in it: the name index reads the queue only when something it does not
// know of may wait there.
#pragma once

#include <pthread.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace rvx::sandbox {

class ChangeQueue {
public:
    ChangeQueue();
    ~ChangeQueue();
    ChangeQueue(const ChangeQueue&) = delete;
    ChangeQueue& operator=(const ChangeQueue&) = delete;

    // False when the kernel gave no queue: nothing can be watched.
    bool open() const { return fd_ >= 0; }

    // A watch on path for the given changes (inotify's IN_* flags); -1 when the kernel refuses.
    // A path already watched gets the watch it has.
    int Watch(const std::string& path, uint32_t changes);
    // The watch's own end (IN_IGNORED) is queued and read later like any note.
    void Unwatch(int watch);

    // One note more in the queue, about name in a watched folder, that the caller applied when
    // it made the change itself.
    void ExpectOwnNote(std::string_view name);

    // False while the queue holds exactly the notes the caller expected since the last read,
    // and they are few and recent enough to wait: then nothing needs reading. The kernel says
    // how many bytes wait; a note of any other change makes them more (or, merged with one of
    // the caller's, fewer). A caller that hears true reads the queue.
    bool NeedsRead();

    struct Note {
        int watch = -1;
        uint32_t changes = 0;   // IN_* flags; IN_Q_OVERFLOW: notes were lost
        std::string_view name;  // the name in the watched folder; empty for the watched thing itself
    };
    // Hands every note queued now to on_note, oldest first. False when the queue could not be
    // read: what it held is then unknown.
    bool Read(const std::function<void(const Note&)>& on_note);

    // The queue is read once this many of the caller's own notes wait, or once the first has
    // waited this long. The kernel walks every waiting note to say how many bytes wait, so a
    // short queue keeps each question cheap; a read costs about as much as a dozen questions.
    static constexpr uint64_t kMostOwnNotesWaiting = 16;
    static constexpr std::chrono::milliseconds kLongestOwnNoteWait{200};

    // Reads of the queue since this object was made (for tests).
    uint64_t reads() const { return reads_; }

private:
    static std::chrono::nanoseconds CoarseNow();

    int fd_ = -1;
    // The thread that made the queue: only its own changes are counted as expected.
    pthread_t owner_{};
    // The notes of the caller's own changes queued since the last read, and their bytes.
    uint64_t own_notes_ = 0;
    uint64_t own_bytes_ = 0;
    std::chrono::nanoseconds own_notes_since_{};
    uint64_t reads_ = 0;
};

}  // namespace rvx::sandbox
