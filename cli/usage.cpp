// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli --help: every command and its options, joined from each
// command's lines; COMMAND --help: that command's.
#include <string>

#include "cli/cli.h"
#include "diagrams/diagrampicture.h"

namespace brevold {

namespace {

const char* kHead =
    "usage: brevold-cli COMMAND [OPTIONS]\n"
    "       brevold-cli --version | --help\n"
    "\n"
    "Commands:\n";

// The options of every command, after the commands and before each one's own.
const char* kCommon =
    "Options of every command:\n"
    "  --dmi FILE         start from a dimension file (- reads standard input),\n"
    "                     loaded after start-up as\n"
    "                     &OpenDimensions loads it (mid gear, the reverse arm at\n"
    "                     the file's setting); a file that cannot be read exits 2\n"
    "  --load FILE.json   start from a JSON dimension set, loaded as --dmi loads a\n"
    "                     file (give --dmi or --load, not both)\n"
    "  --set KEY=VALUE    change a dimension after --dmi (repeatable); KEY is a\n"
    "                     dimension id (1..25, 28..30, 101..117), a field name such\n"
    "                     as MainRodLen, or RevArmNorm / RevArmMax\n";

const char* kHelpLine =
    "\n"
    "  --help             this text\n";

}  // namespace

namespace help {

const CommandHelp solve = {
    "",
    "  solve    solve the linkage for one or more driver angles, one JSON line each\n",
    "Options of solve:\n"
    "  --revarm X         reverse-arm setting X (default: the --dmi file's\n"
    "                     setting, else mid gear)\n"
    "  --travel D         reverse-arm setting mid gear + D\n"
    "  --angles A,B,...   driver angles in degrees, solved in this order (default 0)\n"
    "  --sweep F:T:S      driver angles from F to T in steps of S\n"
    "  --no-error-beep    guards do not raise the geometry error (ErrFlag)\n",
    "Successive angles share state as the animation's successive ticks do.\n"};

const CommandHelp centre = {
    "",
    "  centre   calculate mid gear and print the reverse-arm positions as JSON\n",
    "",
    ""};

const CommandHelp frame = {
    "",
    "  frame    draw the main window's picture for one driver angle (PNG, SVG, PDF)\n",
    "Options of frame (renders the main window's picture, 1280 x 1024):\n"
    "  --revarm, --travel as for solve\n"
    "  --angle A          driver angle in degrees (default 0); the gear is drawn\n"
    "                     stopped at A, so the readouts agree with the picture\n"
    "  --steam            steam display on\n"
    "  --gear             only the gear, at its bounds with a margin, as the main\n"
    "                     window's \"Export Picture...\" draws it (no readouts)\n"
    "  --frames N         animation ticks drawn (default 1, at most 100000): the\n"
    "                     gear first runs N-1 ticks at the start-up step, arriving\n"
    "                     at A, so the steam display has a running engine's\n"
    "                     history; the last tick is drawn stopped at A\n"
    "  --scale S --origin X,Y   the view: pixels per unit and the screen point\n"
    "                     of the driver centre (default 18.9 and 81,280)\n"
    "  --out FILE         the picture to write: PNG, SVG or PDF by FILE's suffix;\n"
    "                     - writes it to standard output\n"
    "  --format png|svg|pdf   the format written with --out - (default png)\n"
    "  --scale-picture R  a PNG of R device pixels to the picture's pixel (1 to\n"
    "                     8, default 1: the same picture on any screen)\n",
    ""};

const CommandHelp diagram = {
    " {kinds}",
    "  diagram  draw a valve diagram as its window draws it (PNG, SVG, PDF)\n",
    "Options of diagram {kinds} (632 x 414, the oval 632 x 426):\n"
    "  --mode F|R|B       the port diagram's forward, reverse or both graphs\n"
    "                     (default F)\n"
    "  --positions X,...  reverse-arm positions 1..9 (RevArmX values; default:\n"
    "                     the start-up list or the --dmi file's)\n"
    "  --vert-scale S     the port diagram's vertical scale (0.1 to 100)\n"
    "  --out FILE, --format, --scale-picture as for frame\n",
    ""};

const CommandHelp save = {
    "",
    "  save     write the working set to a dimension file (.dmi) or a JSON set (.json)\n",
    "Options of save (prints nothing; exits 1 with one line when the write fails,\n"
    "leaving an existing FILE as it was):\n"
    "  --revarm, --travel as for solve\n"
    "  --out FILE         the file to write: JSON when FILE ends in .json, else a\n"
    "                     dimension file; with --dmi or --load and no --set,\n"
    "                     --revarm or --travel, the set is written exactly as read;\n"
    "                     - writes it to standard output\n"
    "  --format dmi|json  what --out - writes (default dmi)\n",
    ""};

const CommandHelp events = {
    "",
    "  events   the valve events by reverse-arm setting, one row per setting and end\n",
    "Options of events (the port diagram's sweep; prints the table):\n"
    "  --side fwd|rev|both   forward side, reverse side or both (default both)\n"
    "  --notches A,B,...  settings as travels from mid gear, forward positive\n"
    "                     (default: the port diagram's 19 rows per side; at most\n"
    "                     100 settings here and in balance and sensitivity)\n"
    "  --revarms X,Y,...  settings as RevArmX values instead\n"
    "  --cutoffs P,Q,...  settings by mean cut-off (% of stroke, front and rear\n"
    "                     averaged), found on each side asked for\n"
    "  --step D           take the figures from the sweep's samples every D degrees\n"
    "                     (0.01 to 180; 4 gives the port diagram's points); default:\n"
    "                     bisection on the driver angle to 1e-4 degrees or better\n"
    "  --format csv|json|text   (default csv)\n",
    ""};

const CommandHelp dims = {
    "",
    "  dims     print the working set as JSON\n",
    "Options of dims (with --dmi or --load and no --set, the file's values as\n"
    "read; else the working set after start-up, the file and the changes):\n"
    "  --format json      (the only one, and the default)\n",
    ""};

const CommandHelp balance = {
    "",
    "  balance  search the dimensions given for events alike at both cylinder ends\n",
    "Options of balance (prints each changed dimension, the objective, the\n"
    "largest front-minus-rear difference of each event before and after, the\n"
    "events before and after at equal cut-offs and what else changed):\n"
    "  --vary ID[:LO:HI],...  the dimensions that may change (id or field name),\n"
    "                     each within LO..HI, or ID:+-A within A of its value;\n"
    "                     ID alone: within a fifth of its value (0.01 for 0)\n"
    "  --side fwd|rev|both   the side(s) balanced over (default fwd)\n"
    "  --cutoffs P,Q,...  the running notches balanced over, as mean cut-offs\n"
    "                     (default 15,20,25,30,35,40 % of stroke)\n"
    "  --notches A,B,...  travels from mid gear balanced over instead\n"
    "  --step D           events from the sweep's samples every D degrees, 0.5\n"
    "                     to 180 (default: bisection)\n"
    "  --weights lead=2,hold=1,cutoff=1,release=0.25,compression=0.25   the\n"
    "                     weights of the squared differences: lead front minus\n"
    "                     rear and each end's lead from its value before (hold),\n"
    "                     in % of lap plus lead; cut-off, release and\n"
    "                     compression in % of stroke; any of them, the others\n"
    "                     keep these values\n"
    "  --allow-loss       let full-gear cut-off fall by more than 2 % of stroke\n"
    "                     and the largest opening by more than a tenth\n"
    "  --min-full-cutoff P   cut-off at full gear of at least P % at both ends\n"
    "  --lead-band LO:HI  the lead at both ends of every setting within LO..HI\n"
    "  --max-evals N      evaluations of a candidate gear at most (default 120)\n"
    "  --starts N         local searches, the first from the gear as given\n"
    "                     (default 1, at most 10)\n"
    "  --out FILE         write the balanced set (JSON when FILE ends in .json,\n"
    "                     else a dimension file), the reverse arm at mid gear;\n"
    "                     - writes the dimension file to standard output and the\n"
    "                     report to the error stream\n"
    "  --format text|json (default text)\n",
    ""};

const CommandHelp sensitivity = {
    "",
    "  sensitivity\n"
    "           the change of each valve event per +0.01 of each dimension\n",
    "Options of sensitivity (central differences 0.01 either side; a figure whose\n"
    "two sides do not agree is withheld, ? or empty or null, with the reason):\n"
    "  --vary ID,...      the dimensions (id or field name; default: every one but\n"
    "                     the driver diameter)\n"
    "  --cutoffs A,B,...  settings by mean cut-off, % of stroke (default 15,25,40)\n"
    "  --notches A,B,...  settings as travels from mid gear instead, forward positive\n"
    "  --side fwd|rev|both   the side(s) of the settings (default fwd)\n"
    "  --format text|csv|json   (default text)\n",
    ""};

const CommandHelp compare = {
    " A B",
    "  compare  two gears (.dmi or .json) side by side at equal mean cut-offs\n",
    "Options of compare (A and B: gear files, each loaded as --dmi or --load loads\n"
    "it; figures of B less A, with each gear's verdict and the dimensions that differ):\n"
    "  --cutoffs A,B,...  mean cut-offs, % of stroke (default 15,25,40)\n"
    "  --side fwd|rev|both   the side(s) of the settings (default both)\n"
    "  --step D           figures from the sweep's samples every D degrees instead\n"
    "                     of bisection\n"
    "  --format text|csv|json   (default text)\n",
    ""};

const CommandHelp setting = {
    "",
    "  setting  the corrections that make the drawing read as a fitter's\n"
    "           measurements on the engine do\n",
    "Options of setting (the gear given is the drawing; each reading a pair\n"
    "FRONT,REAR on the true dead centres, either may be empty, in its unit):\n"
    "  --lead-fwd F,R     the leads in full forward gear\n"
    "  --lead-mid F,R     the leads in mid gear\n"
    "  --lead-back F,R    the leads in full back gear\n"
    "  --die-run F,R      the valve's movement as the die runs from the link's\n"
    "                     forward end to its back end (the radius-rod test)\n"
    "  --mid-valve F,R    the valve's place from its centre in mid gear\n"
    "  --throw            find the eccentric crank's throw too\n"
    "  --precision P      of one reading (default 0.001)\n"
    "  --take FILE        print the readings the gear in FILE gives at this\n"
    "                     gear's notches, as the options above\n"
    "  --found-out FILE   write the gear as found (the drawing corrected to\n"
    "                     read as the engine does) as a dimension set\n"
    "  --format text|json   (default text)\n",
    ""};

}  // namespace help

namespace {

// The diagram kinds as the drawing library has them, where the text says {kinds}.
std::string WithKinds(std::string text) {
  const std::string kinds = DiagramKindNames("|", "|");
  for (size_t at = text.find("{kinds}"); at != std::string::npos; at = text.find("{kinds}", at + kinds.size()))
    text.replace(at, 7, kinds);
  return text;
}

// The end of the text: --help, then the notes.
std::string Tail(std::span<const CliCommand> commands) {
  std::string text = kHelpLine;
  for (const CliCommand& c : commands)
    if (*c.help.note) text = text + "\n" + c.help.note;
  return text;
}

}  // namespace

std::string UsageText() {
  std::string text = kHead;
  for (const CliCommand& c : CliCommands()) text += c.help.summary;
  text = text + "\n" + kCommon;
  for (const CliCommand& c : CliCommands()) text += c.help.options;
  return WithKinds(text + Tail(CliCommands()));
}

std::string UsageText(const CliCommand& command) {
  const std::string text = std::string("usage: brevold-cli ") + command.name + command.help.operands + " [OPTIONS]\n\n" +
                           command.help.summary + "\n" + kCommon + command.help.options;
  return WithKinds(text + Tail({&command, 1}));
}

}  // namespace brevold
