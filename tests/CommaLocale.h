// Switches the process to a locale whose decimal separator is a comma, for
// as long as the object lives, when such a locale is installed.
#pragma once

#include <clocale>
#include <string>

namespace testlocale {

class CommaLocale {
public:
    CommaLocale() {
        const char* current = std::setlocale(LC_ALL, nullptr);
        previous_ = current ? current : "C";
        static const char* const kCandidates[] = {"de_DE.UTF-8", "de_DE.utf8",          "de_DE",
                                                  "fr_FR.UTF-8", "fr_FR.utf8",          "nl_NL.UTF-8",
                                                  "ru_RU.UTF-8", "German_Germany.1252", "de-DE"};
        for (const char* name : kCandidates) {
            if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point[0] == ',') {
                name_ = name;
                return;
            }
        }
        std::setlocale(LC_ALL, previous_.c_str());
    }
    ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool Active() const { return !name_.empty(); }
    const std::string& Name() const { return name_; }

private:
    std::string previous_;
    std::string name_;
};

constexpr const char* kNoCommaLocale =
    "no locale with a comma decimal separator is installed "
    "(generate one, e.g. localedef -i de_DE -f UTF-8 de_DE.UTF-8)";

}  // namespace testlocale
