// brevold-cli: the simulator's model without a window, for scripts, tests
// and benchmarks. Each subcommand starts from the program's start-up state.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace brevold {

struct ModelState;

// Runs one command line (args without the program name). Returns the exit
// status: 0 done, 2 bad usage (one line on err naming the fault).
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A dimension key as --set takes it: an id ("3"), a field name
// ("MainRodLen") or RevArmNorm / RevArmMax. Returns false for an unknown key.
bool ApplySetting(ModelState& s, const std::string& key, float value);

// Strict number parsing: the whole text must be one finite number that fits
// a single.
bool ParseNumber(const std::string& text, float& value);

// One solve's results as a JSON object on one line.
std::string SolveJson(const ModelState& s);

}  // namespace brevold
