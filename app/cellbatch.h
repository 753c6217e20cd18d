// Changing several cells as one step. A panel whose cells announce their
// changes (the window reruns the current test on each announcement) is a
// BatchedAnnouncer; while a CellBatch lives over it, its announcements are
// gathered and sent once when the outermost batch ends, or dropped, when the
// window empties or recomputes the results itself afterwards.
#pragma once

#include <exception>

namespace korvanta::ui {

class CellBatch;

class BatchedAnnouncer {
protected:
    BatchedAnnouncer() = default;
    ~BatchedAnnouncer() = default;
    BatchedAnnouncer(const BatchedAnnouncer&) = delete;
    BatchedAnnouncer& operator=(const BatchedAnnouncer&) = delete;

    // A batch that drops its announcements is open.
    bool Dropping() const { return dropping_ > 0; }
    // A batch is open: a change is gathered, not announced yet.
    bool Gathering() const { return depth_ > 0; }

private:
    friend class CellBatch;
    // Announces the changes gathered, once; called when the outermost batch
    // ends.
    virtual void SendGathered() = 0;

    int depth_ = 0;
    int dropping_ = 0;
};

class CellBatch {
public:
    enum class Announce { Once, Never };

    explicit CellBatch(BatchedAnnouncer& panel, Announce announce = Announce::Once)
        : panel_(panel), dropping_(announce == Announce::Never), exceptions_(std::uncaught_exceptions())
    {
        ++panel_.depth_;
        if (dropping_) ++panel_.dropping_;
    }
    ~CellBatch()
    {
        if (dropping_) --panel_.dropping_;
        if (--panel_.depth_ > 0) return;
        // Left by an exception (memory ran out half way): its handler tells
        // the user; the panel only stops gathering.
        if (std::uncaught_exceptions() > exceptions_) return;
        panel_.SendGathered();
    }
    CellBatch(const CellBatch&) = delete;
    CellBatch& operator=(const CellBatch&) = delete;

private:
    BatchedAnnouncer& panel_;
    bool dropping_;
    int exceptions_;
};

} // namespace korvanta::ui
