// A load with whatever it throws (running out of memory on what a file
// declares, a library's own exceptions) turned into the load's error,
// "name: why", so that no file a user names ends the program.
#pragma once

#include <exception>
#include <new>
#include <string>

// Result has an error string; work answers a Result.
template <typename Result, typename Work>
Result GuardedLoad(const std::string& name, Work&& work) {
    Result failed;
    try {
        return work();
    } catch (const std::bad_alloc&) {
        failed.error = name + ": not enough memory to load it";
    } catch (const std::exception& e) {
        failed.error = name + ": " + e.what();
    } catch (...) {
        failed.error = name + ": it could not be loaded";
    }
    return failed;
}
