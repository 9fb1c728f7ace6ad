// Long work runs without the interpreter's lock, yet Ctrl-C still stops it:
// the work asks, between its blocks, whether Python has a signal pending.
#pragma once

#include <pybind11/pybind11.h>

#include <chrono>
#include <type_traits>

namespace gantline {

namespace py = pybind11;

// Thrown out of work that a signal handler stopped; Python's error (most
// often KeyboardInterrupt) is set and waits to be raised.
struct Interrupted {};

// Called without the lock, between blocks of work: at most every
// kInterval it takes the lock for a moment and runs Python's
// signal handlers. Answers false when one raised (the error stays set).
class SignalCheck {
public:
    static constexpr std::chrono::milliseconds kInterval{50};

    bool KeepGoing();
    // The same without waiting for the interval.
    bool KeepGoingNow();
    // Throws Interrupted where KeepGoing answers false.
    void ThrowIfInterrupted() {
        if (!KeepGoing()) throw Interrupted{};
    }
    bool Stopped() const { return interrupted_; }

private:
    std::chrono::steady_clock::time_point next_ = std::chrono::steady_clock::now() + kInterval;
    bool interrupted_ = false;
};

// Runs work() without the lock. When a signal stopped it (work threw
// Interrupted or check reports one), raises Python's pending error.
template <typename Work>
auto Unlocked(SignalCheck& check, Work&& work) {
    try {
        py::gil_scoped_release unlocked;
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            if (check.Stopped()) throw Interrupted{};
        } else {
            auto result = work();
            if (check.Stopped()) throw Interrupted{};
            return result;
        }
    } catch (const gantline::Interrupted&) {
        throw py::error_already_set();
    }
}

}  // namespace gantline
