// Work in numbered pieces on worker threads, taken in order by the calling
// thread: the parallel writer formats pieces of text and the parallel
// reader parses chunks of it this way. At most a fixed number of pieces are
// made ahead of the one taken, so the memory they hold is bounded however
// large the whole is; every thread is joined before the work is destroyed.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace ordered {

// Slots: one per piece that may be made ahead; Slot is default-constructible
// and reused from piece to piece.
template <typename Slot>
class Work {
public:
    using Make = std::function<void(std::size_t piece, Slot& slot)>;

    // pieces pieces, on workers threads, at most ahead of them made and not
    // yet done with.
    Work(std::size_t pieces, std::int32_t workers, std::size_t ahead)
        : pieces_(pieces),
          workers_(Workers(pieces, workers)),
          slots_(ahead < 1 ? 1 : ahead),
          made_(slots_.size(), kNone) {}
    Work(const Work&) = delete;
    Work& operator=(const Work&) = delete;
    ~Work() { Finish(); }

    // Starts the workers on make for every piece. False when no thread could
    // be started.
    bool Start(Make make) {
        make_ = std::move(make);
        try {
            for (std::int32_t i = 0; i < workers_; ++i) threads_.emplace_back([this] { Serve(); });
        } catch (const std::system_error&) {
            if (threads_.empty()) return false;
        }
        return true;
    }

    // The slot of piece once made. Pieces are taken in order, each one
    // handing back the one before; null when the work stopped (a make
    // threw, or Finish was called). While piece is still in the making, the
    // calling thread makes the next piece that no worker has begun (piece
    // itself first) rather than wait: it is one of the work's threads.
    Slot* Take(std::size_t piece) {
        std::unique_lock<std::mutex> lock(mutex_);
        HandBack();
        const std::size_t at = piece % slots_.size();
        while (!stop_ && made_[at] != piece && CanBegin()) {
            const std::size_t here = next_++;
            lock.unlock();
            const bool made = MakeOne(here);
            lock.lock();
            Finished(here, made);
        }
        changed_.wait(lock, [&] { return stop_ || made_[at] == piece; });
        if (made_[at] != piece) return nullptr;
        held_ = piece;
        return &slots_[at];
    }

    // Stops the workers and joins them; true when no make threw.
    bool Finish() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
            changed_.notify_all();
        }
        for (std::thread& thread : threads_) thread.join();
        threads_.clear();
        return !failed_;
    }

    // Runs take(piece, slot) on the calling thread for every piece in turn;
    // take answers false to stop. True when every piece was made and taken.
    template <typename TakeFn>
    bool Run(TakeFn take) {
        bool ok = true;
        for (std::size_t piece = 0; piece < pieces_ && ok; ++piece) {
            Slot* slot = Take(piece);
            ok = slot != nullptr && take(piece, *slot);
        }
        return Finish() && ok;
    }

private:
    static constexpr std::size_t kNone = ~std::size_t{0};

    // At least one worker, and none that would find no piece to make.
    static std::int32_t Workers(std::size_t pieces, std::int32_t wanted) {
        const std::size_t most = pieces < 1 ? 1 : pieces;
        if (wanted < 1) return 1;
        return static_cast<std::size_t>(wanted) > most ? static_cast<std::int32_t>(most) : wanted;
    }

    void Serve() {
        for (;;) {
            std::size_t piece;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [this] { return stop_ || next_ >= pieces_ || CanBegin(); });
                if (stop_ || next_ >= pieces_) return;
                piece = next_++;
            }
            const bool made = MakeOne(piece);
            std::lock_guard<std::mutex> lock(mutex_);
            Finished(piece, made);
        }
    }

    // Whether a piece is left to begin and has a free slot; under the lock.
    bool CanBegin() const { return next_ < pieces_ && next_ < taken_ + slots_.size(); }

    bool MakeOne(std::size_t piece) {
        try {
            make_(piece, slots_[piece % slots_.size()]);
            return true;
        } catch (...) {
            return false;
        }
    }
    // Under the lock.
    void Finished(std::size_t piece, bool made) {
        if (made) {
            made_[piece % slots_.size()] = piece;
        } else {
            failed_ = true;
            stop_ = true;
        }
        changed_.notify_all();
    }

    // Hands the piece held back to the workers; under the lock.
    void HandBack() {
        if (held_ == kNone) return;
        made_[held_ % slots_.size()] = kNone;
        taken_ = held_ + 1;
        held_ = kNone;
        changed_.notify_all();
    }

    const std::size_t pieces_;
    const std::int32_t workers_;
    std::vector<Slot> slots_;
    std::vector<std::size_t> made_;  // the piece each slot holds once made; kNone while empty or in the making
    Make make_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;   // the next piece to make
    std::size_t taken_ = 0;  // pieces handed back
    std::size_t held_ = kNone;
    bool stop_ = false;
    bool failed_ = false;
};

}  // namespace ordered
