#include "fuzz/fuzztarget.h"

#include <cstring>
#include <map>
#include <string>

namespace quillon::fuzz {

namespace {

std::map<std::string, TargetFunction>& targets()
{
    static std::map<std::string, TargetFunction> registry;
    return registry;
}

} // namespace

bool registerTarget(const char* name, TargetFunction function)
{
    targets()[name] = function;
    return true;
}

TargetFunction target(const char* name)
{
    const auto found = targets().find(name);
    return found == targets().end() ? nullptr : found->second;
}

} // namespace quillon::fuzz
