#include "fuzz/Targets.h"

#include "zulx/Log.h"

#include <iostream>

namespace fuzz {

const std::vector<Target>& allTargets() {
    static const std::vector<Target> targets = {
        {"classfile", runClassFile},
        {"dump", runDump},
        {"decode", runDecode},
    };
    return targets;
}

const Target* findTarget(const std::string& name) {
    for (const Target& target : allTargets())
        if (name == target.name)
            return &target;
    return nullptr;
}

void prepareProcess() {
    // Without a buffer std::cerr fails every write quietly.
    std::cerr.rdbuf(nullptr);
    zulx::setLogSink([](zul::LogLevel, const std::string&) {}, zul::LOG_TRACE);
}

} // namespace fuzz
