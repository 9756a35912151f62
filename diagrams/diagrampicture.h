// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The kinds of valve diagram, one row each: what the windows, the command
// line, the pictures written to files, the benchmarks and the tests look a
// diagram up by. A diagram's whole picture is drawn as its window shows it
// after a redraw: the port diagram in both-graphs mode is the forward graph
// with the reverse graph drawn over it, without event labels.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "diagrams/diagramdraw.h"

namespace brevold {

enum class DiagramPicture { Port, Steam, Oval, Sine, DieSlip };

struct DiagramKind {
  DiagramPicture kind;
  const char* name;   // on the command line: "port"
  const char* title;  // what the picture shows, for assistive technology
  int height;         // of the picture, in logical pixels (all are 632 wide)
  // Whether opening the window asks for the reverse-arm positions first.
  bool asksPositions;
  // The window's caption, as the main window's frames write it; null for a
  // kind whose caption is made from its title (see DiagramCaption).
  std::string ScreenState::*caption;
  // The sweeps, on a copy of the state; the painting, from their records.
  DiagramRecords (*sweep)(const ModelState& m, const DiagramState& d);
  DiagramControls (*paint)(Canvas& c, const AppState& a, const DiagramState& d, const DiagramRecords& r);
  // The item that opens the window, added to the Draw&Graphs menu after the
  // items the main window has always had; null for those four.
  const char* menuItem;
  // The user guide's section on it, which F1 and "&Help" in its window open;
  // null for the four the instruction texts describe.
  const char* guideSection;
};

constexpr int DiagramPictureWidth = 632;

// The die's place along the link through a turn, per reverse-arm position.
DiagramRecords SweepDieSlipDia(const ModelState& m, const DiagramState& d);
DiagramControls PaintDieSlipDia(Canvas& c, const AppState& a, const DiagramState& d, const DiagramRecords& r);

// Every kind, in the order the command line lists them.
const std::vector<DiagramKind>& DiagramKinds();
const DiagramKind& KindOf(DiagramPicture kind);
// The kind of that name on the command line, or nullptr.
const DiagramKind* FindDiagramKind(std::string_view name);
// The kinds' names joined: "port, steam, oval or sine" with (", ", " or ").
std::string DiagramKindNames(const char* between, const char* last);

// The caption of the kind's window: the frame's, or one made from the kind's
// title as the frames make theirs.
std::string DiagramCaption(const DiagramKind& kind, const ScreenState& s);

inline int DiagramPictureHeight(DiagramPicture kind) { return KindOf(kind).height; }

// What a redraw leaves in the state, put there in this one place: the
// records' effects in the model (the linkage where the sweeps' last solve
// left it, the diagrams' last reverse-arm setting) and, with the undo line
// on, the undo line built for the next redraw in `d`.
void ApplyRedraw(AppState& a, DiagramState& d, const DiagramRecords& r);

// A redraw: the kind's sweeps, its painting on a white picture of the
// diagram's size, then ApplyRedraw. Returns what the painting tells its
// window (in both-graphs mode, the reverse graph's).
DiagramControls DrawDiagram(Canvas& c, AppState& a, DiagramState& d, DiagramPicture kind);
// The same with the diagram windows' shared state.
DiagramControls DrawDiagramPicture(Canvas& c, AppState& a, DiagramPicture kind);

}  // namespace brevold
