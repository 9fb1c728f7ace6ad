// What a plug-in answers to the host's discovery calls, copied as the host
// receives it, and the checks this host makes before it uses the plug-in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/HostInterfaces.h"
#include "hostapp/PluginLibrary.h"

// The version stamp of the plug-in interface this host speaks.
constexpr std::uint32_t HostInterfaceVersion = 0x09C40500u;

struct ClassAnswers {
    std::optional<std::string> classLabel;
    std::optional<std::string> categoryLabel;
    int publicFlag = 0;
    std::uint32_t superClassCode = 0;
    HostTypeId classCode;
};

struct DiscoveryAnswers {
    std::optional<std::string> description;
    int classCount = 0;
    std::uint32_t version = 0;
    HostClassDesc* descriptor = nullptr;  // of class 0
    ClassAnswers firstClass;
};

// Asks the plug-in. Texts are copied as soon as they are answered: the
// plug-in hands out one shared buffer that its next answer overwrites.
DiscoveryAnswers Discover(const PluginExports& exports);

// Why this host cannot use the plug-in as a utility; empty when it can.
std::vector<std::string> DiscoveryProblems(const DiscoveryAnswers& answers);

// The answers as the info command prints them.
std::string DescribeDiscovery(const DiscoveryAnswers& answers);
