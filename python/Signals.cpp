#include "python/Signals.h"

namespace gantline {

bool SignalCheck::KeepGoing() {
    if (interrupted_) return false;
    const auto now = std::chrono::steady_clock::now();
    if (now < next_) return true;
    next_ = now + kInterval;
    py::gil_scoped_acquire locked;
    interrupted_ = PyErr_CheckSignals() != 0;
    return !interrupted_;
}

}  // namespace gantline
