// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The valve-events table written out: its columns, each line's cells, and the table as CSV, JSON or text.
#include "model/events.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace brevold {

namespace {

// The shortest text that reads back as the same double ("nan" for a value
// that is not finite), and as the same single.
std::string Num(double v) { return std::isfinite(v) ? ShortestText(v) : "nan"; }
std::string NumF(float v) { return ShortestText(v); }

}  // namespace

const std::vector<EventColumn>& EventColumns() {
  // The first seventeen are the table's first columns, kept in their order
  // for the scripts that read them; the others follow.
  static const std::vector<EventColumn> columns = {
      {"method", "Method", false},
      {"side", "Side", true},
      {"travel", "Travel", true},
      {"RevArmX", "Reverse arm X", false},
      {"end", "End", true},
      {"admission_angle", "Admission, driver (deg)", false},
      {"admission_pct", "Admission (% stroke)", false},
      {"cutoff_angle", "Cut-off, driver (deg)", false},
      {"cutoff_pct", "Cut-off (% stroke)", true},
      {"release_angle", "Release, driver (deg)", false},
      {"release_pct", "Release (% stroke)", true},
      {"compression_angle", "Compression, driver (deg)", false},
      {"compression_pct", "Compression (% stroke)", true},
      {"lead", "Lead at 0/180 deg", false},
      {"max_opening", "Largest opening", true},
      {"valve_travel", "Valve travel", true},
      {"solve_failed", "Geometry error", false},
      {"target_cutoff", "Cut-off asked (%)", false},
      {"verdict", "Soundness", true},
      {"fault_angle", "Fault at, driver (deg)", false},
      {"die_slip", "Die slip", false},
      {"die_margin", "Die to link end", false},
      {"dead_centre_angle", "Dead centre, driver (deg)", false},
      {"dead_centre_lead", "Lead at dead centre", true},
      {"admission_crank", "Admission from dead centre (deg)", true},
      {"cutoff_crank", "Cut-off from dead centre (deg)", false},
      {"release_crank", "Release from dead centre (deg)", false},
      {"compression_crank", "Compression from dead centre (deg)", false},
      {"over_travel", "Over-travel", false},
  };
  return columns;
}

std::vector<std::vector<std::string>> EventCells(const EventTable& t, EventCellStyle style) {
  const bool text = style == EventCellStyle::Text, json = style == EventCellStyle::Json;
  const std::string method = t.method == EventMethod::Step ? "step " + NumF(t.step) : "bisection";
  // Text is for reading: six figures.
  // JSON has no NaN or infinity: a figure the searches could not give is null.
  auto num = [&](double v) { return text ? Figures(v, 6) : json && !std::isfinite(v) ? "null" : brevold::Num(v); };
  const std::string absent = text ? "-" : json ? "null" : "";
  auto opt = [&](const std::optional<double>& v) { return v ? num(*v) : absent; };
  // A setting's travel (RevArmX less mid gear) and the steam-port openings
  // the solver gives are singles: the shortest text of the single.
  auto single = [&](double v) {
    return text ? Figures(v, 6) : std::isfinite(v) ? NumF(static_cast<float>(v)) : json ? "null" : "nan";
  };
  auto optSingle = [&](const std::optional<double>& v) { return v ? single(*v) : absent; };
  auto quoted = [&](const std::string& v) { return json ? "\"" + v + "\"" : v; };
  auto flag = [&](bool v) { return text ? (v ? "yes" : "no") : json ? (v ? "true" : "false") : (v ? "1" : "0"); };
  const size_t n = EventColumns().size();
  std::vector<std::vector<std::string>> lines;
  for (const EventRow& row : t.rows) {
    const EventDifference d = FrontMinusRear(row);
    for (int end = 0; end < 3; ++end) {
      std::vector<std::string> c(n);
      c[0] = quoted(method);
      c[1] = quoted(row.setting.forward ? "fwd" : "rev");
      c[2] = single(static_cast<double>(row.setting.travel));
      c[3] = text ? num(row.setting.revArmX) : single(row.setting.revArmX);
      c[4] = quoted(end == 0 ? "front" : end == 1 ? "rear" : "front-rear");
      if (end < 2) {
        const EndEvents& e = end == 0 ? row.front : row.rear;
        const std::optional<EventPoint>* ev[4] = {&e.admission, &e.cutOff, &e.release, &e.compression};
        for (size_t k = 0; k < 4; ++k) {
          c[5 + 2 * k] = *ev[k] ? num((*ev[k])->angle) : absent;
          c[6 + 2 * k] = *ev[k] ? num((*ev[k])->percent) : absent;
          c[24 + k] = *ev[k] ? num((*ev[k])->crank) : absent;
        }
        c[13] = single(e.lead);
        c[14] = optSingle(e.maxOpening);
        c[15] = num(row.valveTravel);
        c[22] = opt(e.deadCentre);
        c[23] = optSingle(e.deadCentreLead);
        c[28] = e.maxOpening ? num(e.overTravel) : absent;
      } else {
        const std::optional<double>* dv[4] = {&d.admission, &d.cutOff, &d.release, &d.compression};
        for (size_t k = 0; k < 4; ++k) {
          c[5 + 2 * k] = absent;
          c[6 + 2 * k] = opt(*dv[k]);
          c[24 + k] = absent;
        }
        c[13] = opt(d.lead);
        c[14] = opt(d.maxOpening);
        c[15] = absent;
        c[22] = absent;
        c[23] = opt(d.deadCentreLead);
        c[28] = absent;
      }
      c[16] = flag(row.solveFailed);
      c[17] = opt(row.targetCutOff);
      c[18] = quoted(FaultName(row.sound.fault));
      c[19] = row.sound.Sound() ? absent : num(row.sound.faultAngle);
      c[20] = num(row.sound.Slip());
      c[21] = num(row.sound.Margin());
      lines.push_back(std::move(c));
    }
  }
  return lines;
}

std::string FormatEvents(const EventTable& t, const std::string& format) {
  const bool csv = format == "csv", json = format == "json";
  const auto& columns = EventColumns();
  const size_t n = columns.size();
  const auto lines = EventCells(t, csv ? EventCellStyle::Csv : json ? EventCellStyle::Json : EventCellStyle::Text);
  std::string o;
  if (json) {
    for (const auto& c : lines) {
      o += '{';
      for (size_t k = 0; k < n; ++k) {
        if (k) o += ',';
        o += std::string("\"") + columns[k].id + "\":" + c[k];
      }
      o += "}\n";
    }
    return o;
  }
  if (csv) {
    for (size_t k = 0; k < n; ++k) o += std::string(k ? "," : "") + columns[k].id;
    o += '\n';
    for (const auto& c : lines) {
      for (size_t k = 0; k < n; ++k) o += (k ? "," : "") + c[k];
      o += '\n';
    }
    return o;
  }
  // Text: the same columns, aligned, with the method once at the top.
  const std::string method = t.method == EventMethod::Step ? "step " + NumF(t.step) : "bisection";
  o = "Valve events, method: " + method + (t.method == EventMethod::Step ? " degrees (linear between samples)"
                                                                        : " (driver angle to 1e-4 degrees or better)") + "\n";
  std::vector<size_t> width(n);
  for (size_t k = 1; k < n; ++k) {
    width[k] = std::strlen(columns[k].id);
    for (const auto& c : lines) width[k] = std::max(width[k], c[k].size());
  }
  auto line = [&](auto cell) {
    for (size_t k = 1; k < n; ++k) {
      const std::string v = cell(k);
      o += std::string(k > 1 ? 2 : 0, ' ') + std::string(width[k] - v.size(), ' ') + v;
    }
    o += '\n';
  };
  line([&](size_t k) { return std::string(columns[k].id); });
  for (const auto& c : lines) line([&](size_t k) { return c[k]; });
  for (const std::string& note : t.notes) o += "note: " + note + "\n";
  return o;
}

}  // namespace brevold
