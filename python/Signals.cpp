#include "python/Signals.h"

namespace gantline {

bool SignalCheck::KeepGoing() {
    if (interrupted_) return false;
    if (std::chrono::steady_clock::now() < next_) return true;
    return KeepGoingNow();
}

bool SignalCheck::KeepGoingNow() {
    if (interrupted_) return false;
    next_ = std::chrono::steady_clock::now() + kInterval;
    py::gil_scoped_acquire locked;
    interrupted_ = PyErr_CheckSignals() != 0;
    return !interrupted_;
}

}  // namespace gantline
