// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli: the simulator's model without a window, for scripts, tests
// and benchmarks. Each subcommand starts from the program's start-up state.
#pragma once
#include <functional>
#include <initializer_list>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "model/events.h"

namespace brevold {

struct ModelState;
struct DimFileImage;

enum class CliMode { Solve, Centre, Frame, Save, Events, Dims, Diagram };

struct Options {
  std::vector<std::pair<std::string, float>> sets;
  bool hasRevArm = false, hasTravel = false;
  float revArm = 0, travel = 0;
  std::vector<float> angles;
  bool noBeep = false;
  bool hasScale = false, hasOrigin = false;
  float scale = 0, originX = 0, originY = 0;
  std::string out;
  std::string dmi;     // dimension file loaded after start-up ("" none)
  std::string load;    // JSON dimension set loaded likewise ("" none)
  // events: the side(s), the settings asked for (travels, or RevArmX values
  // with --revarms), the sampling step (0 = bisection on the 4-degree grid)
  // and the output format; dims: the format.
  char side = 'b';  // 'f', 'r' or 'b'
  std::vector<float> notches;
  bool notchesAreRevArm = false;
  std::vector<float> cutOffs;  // events: rows by mean cut-off
  float step = 0;
  std::string format;
  bool steam = false;  // frame: steam display on
  bool gearOnly = false;  // frame: the gear at its bounds, as the window exports it
  int frames = 1;      // frame: animation ticks drawn, the last one is written
  // frame and diagram: the picture's format ("png", "svg" or "pdf"), from
  // --out's suffix, or from --format (default png) when --out is "-".
  std::string picture = "png";
  // frame and diagram: device pixels per picture pixel of a PNG (1 unless
  // --scale-picture asks for more).
  float pictureScale = 1;
  // diagram: which one ("port", "steam", "oval", "sine"), the port diagram's
  // mode ('F', 'R' or 'B'; 0 keeps the start-up mode), the reverse-arm
  // positions 1..9 (empty keeps the start-up list) and the vertical scale.
  std::string diagram;
  char diagramMode = 0;
  std::vector<float> positions;
  bool hasVertScale = false;
  float vertScale = 0;
};

// Bad usage, with the one-line message that names the fault.
struct Usage {
  std::string message;
};

// The option being read (args[i]) and, for one that takes it, its value.
class OptionArg {
 public:
  OptionArg(const std::vector<std::string>& args, size_t& i) : name(args[i]), args_(args), i_(i) {}
  const std::string& name;
  // The next argument, which the walk then passes over; Usage when the
  // line ends first.
  const std::string& Value() const;

 private:
  const std::vector<std::string>& args_;
  size_t& i_;
};
// An option of a command: its name and what reading it does.
using OptionRule = std::pair<std::string, std::function<void(const OptionArg&)>>;
using OptionRules = std::vector<OptionRule>;

// Reads args[first...] by `rules`. An argument no rule names is an unknown
// option (Usage), or, given `others`, is handed on there, with its value
// when it is one of the options every command takes.
void WalkOptions(const std::vector<std::string>& args, size_t first, const OptionRules& rules,
                 std::vector<std::string>* others = nullptr);
// --dmi, --load and --set, which every command takes, read into `o`.
OptionRules CommonOptions(Options& o);
// --out FILE into `out`; an empty name is refused.
OptionRule OutOption(std::string& out);
// `value` when it is one of `allowed`, else Usage "OPTION takes A, B or C, not 'VALUE'".
const std::string& Choice(const std::string& option, const std::string& value,
                          std::initializer_list<const char*> allowed);
// A whole number from 1 to `most`, else Usage naming the text.
int WholeNumber(const std::string& option, const std::string& text, int most);
// A number from `lo` to `hi`, else Usage "OPTION takes RANGE, not 'TEXT'".
float InRange(const std::string& option, const std::string& text, float lo, float hi, const std::string& range);

// Each command's options (args[0] is the command); throw Usage.
Options ParseSolve(const std::vector<std::string>& args);
Options ParseCentre(const std::vector<std::string>& args);
Options ParseFrame(const std::vector<std::string>& args);
Options ParseDiagram(const std::vector<std::string>& args);
Options ParseSave(const std::vector<std::string>& args);
Options ParseEvents(const std::vector<std::string>& args);
Options ParseDims(const std::vector<std::string>& args);
// The parser of the command `mode` names.
Options ParseOptions(const std::vector<std::string>& args, CliMode mode);
// Start-up state, the --dmi file loaded as "&OpenDimensions" loads it, the
// --set changes, mid gear, and RevArmX: --revarm or --travel when given,
// else the file's setting, else mid gear. Throws Usage for a file that
// cannot be read.
void PrepareSolve(ModelState& s, const Options& o);
// What "&OpenDimensions" does with a file after start-up: load it whole and,
// when the reverse-arm bar moves off mid gear, take RevArmX from the bar.
// Throws Usage naming the file and the loader's message; a failed load
// changes nothing.
void LoadDimFileAsWindowDoes(ModelState& s, const std::string& path);

// Loads a JSON dimension set as LoadDimFileAsWindowDoes loads a .dmi.
void LoadDimJsonAsWindowDoes(ModelState& s, const std::string& path);
// A gear file named as an operand: JSON when its name ends in .json, else a
// dimension file, loaded as --load or --dmi loads it and solved at its
// setting. Usage when the name looks like an option.
ModelState LoadGearFile(const std::string& path);

// The frame and diagram subcommands live with the drawing code, which needs Qt.
using FrameCommand = int (*)(const Options& o, std::ostream& out, std::ostream& err);

// Runs one command line (args without the program name). Returns the exit
// status: 0 done, 1 the work failed, 2 bad usage (one line on err naming the
// fault).
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           FrameCommand frame = nullptr, FrameCommand diagram = nullptr);

// A dimension key as --set takes it: an id ("3"), a field name
// ("MainRodLen") or RevArmNorm / RevArmMax. Returns false for an unknown key.
bool ApplySetting(ModelState& s, const std::string& key, float value);

// Strict number parsing: the whole text must be one finite number that fits
// a single.
bool ParseNumber(const std::string& text, float& value);

// One solve's results as a JSON object on one line.
std::string SolveJson(const ModelState& s);

// An option's list split at each `sep` (empty items kept), and one number
// of it read strictly; Usage names the text and `what` when it is no number.
std::vector<std::string> Split(const std::string& s, char sep);
// The most settings --notches, --revarms or --cutoffs may list.
constexpr size_t MaxSettings = 100;
// The numbers of a comma-separated list given to `option`, appended to
// `to`, at most MaxSettings of them; cut-offs must lie above 0 and below 100.
void SettingsList(const std::string& text, const std::string& option, std::vector<float>& to);
float Number(const std::string& text, const std::string& what);
// --side's value, fwd, rev or both, as the events side; Usage for anything else.
EventRequest::Side SideOption(const std::string& v);

// A command's lines of --help: what follows its name on the usage line, its
// line under "Commands:", its section of options ("" for none) and a note
// for the end.
struct CommandHelp {
  const char* operands;
  const char* summary;
  const char* options;
  const char* note;
};
namespace help {
extern const CommandHelp solve, centre, frame, diagram, save, events, dims, balance, sensitivity, compare, setting;
}

// What a command writes to and, for the picture commands, draws with.
struct CliIo {
  std::ostream& out;
  std::ostream& err;
  FrameCommand frame, diagram;
};
// One command: its name, the runner that parses its options and does it,
// and its --help.
struct CliCommand {
  const char* name;
  int (*run)(const std::vector<std::string>& args, const CliIo& io);
  const CommandHelp& help;
};
// Every command, in the order --help lists them.
std::span<const CliCommand> CliCommands();

// The text of --help: every command.
std::string UsageText();
// The text of COMMAND --help: the usage line, the command's own lines and
// the options of every command.
std::string UsageText(const CliCommand& command);
// Writes `bytes` to standard output; "" when written, else why not.
std::string WriteOut(std::ostream& out, const std::string& bytes);
// The set's bytes for standard output: a dimension file, or JSON.
std::string SetBytes(const DimFileImage& img, bool json);

// brevold-cli balance (cli/balancecmd.cpp).
int BalanceMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// brevold-cli sensitivity (cli/sensitivity.cpp).
int SensitivityCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// brevold-cli compare A B (cli/comparecmd.cpp).
int CompareCommand(const std::vector<std::string>& args, std::ostream& out);
// brevold-cli setting (cli/settingcmd.cpp).
int SettingCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace brevold
