#include "hostapp/Discovery.h"

#include <cstdio>

namespace {

std::optional<std::string> Copied(const char* text) {
    if (!text) return std::nullopt;
    return std::string(text);
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

std::string Line(const char* label, const std::string& value) {
    char text[32];
    std::snprintf(text, sizeof text, "%-16s", label);
    return text + value + "\n";
}

std::string Text(const std::optional<std::string>& text) { return text ? *text : "(none)"; }

}  // namespace

DiscoveryAnswers Discover(const PluginExports& exports) {
    DiscoveryAnswers answers;
    answers.classCount = exports.numberClasses();
    answers.descriptor = exports.classDesc(0);
    answers.description = Copied(exports.description());
    answers.version = exports.version();
    if (HostClassDesc* descriptor = answers.descriptor) {
        ClassAnswers& c = answers.firstClass;
        c.classLabel = Copied(descriptor->ClassLabel());
        c.categoryLabel = Copied(descriptor->CategoryLabel());
        c.publicFlag = descriptor->PublicFlag();
        c.superClassCode = descriptor->SuperClassCode();
        c.classCode = descriptor->ClassCode();
    }
    return answers;
}

std::vector<std::string> DiscoveryProblems(const DiscoveryAnswers& answers) {
    std::vector<std::string> problems;
    if (answers.version != HostInterfaceVersion)
        problems.push_back("the plug-in is built for interface version " + Hex(answers.version) +
                           ", this host speaks " + Hex(HostInterfaceVersion));
    if (answers.classCount < 1) problems.push_back("the plug-in declares no classes");
    if (!answers.descriptor) {
        problems.push_back("the plug-in answers no descriptor for class 0");
        return problems;
    }
    if (answers.firstClass.superClassCode != UtilitySuperClassCode)
        problems.push_back("class 0 is not a utility (super-class " + Hex(answers.firstClass.superClassCode) + ")");
    if (!answers.firstClass.classLabel) problems.push_back("class 0 has no name");
    return problems;
}

std::string DescribeDiscovery(const DiscoveryAnswers& answers) {
    const std::uint32_t v = answers.version;
    char version[64];
    std::snprintf(version, sizeof version, "%s (%u, %u, %u)", Hex(v).c_str(), v >> 16, (v >> 8) & 0xFFu, v & 0xFFu);
    std::string text = Line("description", Text(answers.description));
    text += Line("classes", std::to_string(answers.classCount));
    text += Line("version stamp", version);
    if (!answers.descriptor) return text + Line("class 0", "(no descriptor)");
    const ClassAnswers& c = answers.firstClass;
    text += Line("class 0", Text(c.classLabel));
    text += Line("  category", Text(c.categoryLabel));
    text += Line("  class code", Hex(c.classCode.a) + " " + Hex(c.classCode.b));
    text +=
        Line("  super-class", Hex(c.superClassCode) + (c.superClassCode == UtilitySuperClassCode ? " (utility)" : ""));
    text += Line("  public", c.publicFlag ? "yes" : "no");
    return text;
}
