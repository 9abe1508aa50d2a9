#include "tests/support/vendrel_command.h"

#include "tests/support/volume.h"

namespace vendrel::test {

ProgramOutput runVendrel(const std::vector<std::string>& args, bool withErrors) {
    std::vector<std::string> argv{builtProgram("Vendrel")};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv, withErrors);
}

nlohmann::json jsonOutput(const std::string& out) {
    const size_t start = out.find_first_of("{[");
    return nlohmann::json::parse(start == std::string::npos ? out : out.substr(start));
}

}  // namespace vendrel::test
