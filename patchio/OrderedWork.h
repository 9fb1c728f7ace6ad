// Work in numbered pieces on worker threads, handed back in order: the
// parallel writer formats pieces of text and the parallel reader parses
// chunks of it this way. At most a fixed number of pieces are done ahead of
// the one the calling thread takes next, so the memory they hold is bounded
// however large the whole is; every thread is joined before Run returns.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace ordered {

// Slots: one per piece that may be done ahead; Slot is default-constructible
// and reused from piece to piece.
template <typename Slot>
class Work {
public:
    // pieces pieces, on workers threads, at most ahead pieces in flight.
    Work(std::size_t pieces, std::int32_t workers, std::size_t ahead)
        : pieces_(pieces), workers_(workers < 1 ? 1 : workers), slots_(ahead < 1 ? 1 : ahead),
          done_(slots_.size(), kNone) {}
    Work(const Work&) = delete;
    Work& operator=(const Work&) = delete;

    // Runs make(piece, slot) on the workers for every piece, and take(piece,
    // slot) on the calling thread for each in order; take answers false to
    // stop. Answers true when every piece was made and taken; false when
    // take stopped, a make threw, or no worker thread could be started
    // before anything was taken (Started() then answers false: the caller
    // may do the work itself).
    template <typename Make, typename Take>
    bool Run(Make make, Take take) {
        std::vector<std::thread> threads;
        try {
            for (std::int32_t i = 0; i < workers_; ++i) threads.emplace_back([this, &make] { Serve(make); });
        } catch (const std::system_error&) {
            Stop();
            for (std::thread& thread : threads) thread.join();
            started_ = false;
            return false;
        }
        bool ok = true;
        for (std::size_t piece = 0; piece < pieces_ && ok; ++piece) {
            Slot* slot = WaitFor(piece);
            ok = slot != nullptr && take(piece, *slot);
            Release(piece);
        }
        if (!ok) Stop();
        for (std::thread& thread : threads) thread.join();
        return ok && !failed_;
    }

    // False when Run could start no thread (nothing was taken).
    bool Started() const { return started_; }

private:
    static constexpr std::size_t kNone = ~std::size_t{0};

    template <typename Make>
    void Serve(Make& make) {
        for (;;) {
            std::size_t piece;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [this] { return stop_ || next_ >= pieces_ || next_ < taken_ + slots_.size(); });
                if (stop_ || next_ >= pieces_) return;
                piece = next_++;
            }
            bool made = true;
            try {
                make(piece, slots_[piece % slots_.size()]);
            } catch (...) {
                made = false;
            }
            std::lock_guard<std::mutex> lock(mutex_);
            if (!made) {
                failed_ = true;
                stop_ = true;
            } else {
                done_[piece % slots_.size()] = piece;
            }
            changed_.notify_all();
        }
    }

    // The slot of piece once made, or null when the work stopped.
    Slot* WaitFor(std::size_t piece) {
        std::unique_lock<std::mutex> lock(mutex_);
        const std::size_t at = piece % slots_.size();
        changed_.wait(lock, [&] { return stop_ || done_[at] == piece; });
        return done_[at] == piece ? &slots_[at] : nullptr;
    }
    void Release(std::size_t piece) {
        std::lock_guard<std::mutex> lock(mutex_);
        done_[piece % slots_.size()] = kNone;
        taken_ = piece + 1;
        changed_.notify_all();
    }
    void Stop() {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        changed_.notify_all();
    }

    const std::size_t pieces_;
    const std::int32_t workers_;
    std::vector<Slot> slots_;
    std::vector<std::size_t> done_;  // the piece each slot holds, made; kNone while empty or in the making
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;   // the next piece to make
    std::size_t taken_ = 0;  // pieces taken so far
    bool stop_ = false;
    bool failed_ = false;
    bool started_ = true;
};

}  // namespace ordered
