#include "hostapp/BatchReport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

namespace {

// At most this many reasons are listed per status; the rest are counted.
constexpr std::size_t kShownReasons = 12;

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;  // UTF-8 passes as it is
        }
    }
    return out + "\"";
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

std::string Record(const BatchRecord& r) {
    return "  {\"input\": " + Quoted(r.input) + ", \"output\": " + Quoted(r.output) +
           ", \"status\": " + Quoted(r.status) + ", \"message\": " + Quoted(r.message) +
           ", \"patchObjects\": " + std::to_string(r.patchObjects) + ", \"patches\": " + std::to_string(r.patches) +
           ", \"cameras\": " + std::to_string(r.cameras) + ", \"seconds\": " + Seconds(r.seconds) +
           ", \"peakBytes\": " + std::to_string(r.peakBytes) + "}";
}

void AddStatus(const std::vector<BatchRecord>& records, const std::string& status, std::string& out) {
    std::map<std::string, std::size_t> reasons;
    std::size_t count = 0;
    for (const BatchRecord& r : records) {
        if (r.status != status) continue;
        ++count;
        if (status != "exported") ++reasons[Reason(r)];
    }
    out += status + ": " + std::to_string(count) + "\n";
    std::vector<std::pair<std::string, std::size_t>> sorted(reasons.begin(), reasons.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::size_t rest = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i < kShownReasons)
            out += "  " + std::to_string(sorted[i].second) + "  " + sorted[i].first + "\n";
        else
            rest += sorted[i].second;
    }
    if (rest > 0) out += "  " + std::to_string(rest) + "  (other reasons: see the report)\n";
}

}  // namespace

std::string ReportJson(const std::vector<BatchRecord>& records) {
    std::string out = "[\n";
    for (std::size_t i = 0; i < records.size(); ++i)
        out += Record(records[i]) + (i + 1 < records.size() ? ",\n" : "\n");
    return out + "]\n";
}

std::string Reason(const BatchRecord& record) {
    std::string text = record.message.substr(0, record.message.find('\n'));
    for (const std::string& name : {record.input, record.output}) {
        for (std::size_t at; !name.empty() && (at = text.find(name + ": ")) != std::string::npos;)
            text.erase(at, name.size() + 2);
    }
    std::string reason;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            reason += text[i];
            continue;
        }
        while (i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1]))) ++i;
        reason += 'N';
    }
    return reason.empty() ? std::string("(no message)") : reason;
}

std::string BatchSummary(const std::vector<BatchRecord>& records, std::size_t unfinished) {
    std::string out;
    for (const char* status : {"exported", "refused", "failed"}) AddStatus(records, status, out);
    if (unfinished > 0) out += "interrupted: " + std::to_string(unfinished) + " not finished\n";
    return out;
}
