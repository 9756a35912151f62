// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli's options: the walk over a command's options, the ones every
// command takes, and the strict reading of numbers, lists and choices.
#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace brevold {

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : s) {
    if (c == sep) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}

float Number(const std::string& text, const std::string& what) {
  float v = 0;
  if (!ParseNumber(text, v)) throw Usage{"malformed number '" + text + "' in " + what};
  return v;
}

void SettingsList(const std::string& text, const std::string& option, std::vector<float>& to) {
  for (const std::string& p : Split(text, ',')) {
    if (to.size() >= MaxSettings) throw Usage{option + " takes at most " + std::to_string(MaxSettings) + " settings"};
    to.push_back(Number(p, option));
  }
  if (option == "--cutoffs")
    for (float c : to)
      if (!(c > 0 && c < 100)) throw Usage{"--cutoffs takes percentages of stroke above 0 and below 100"};
}

const std::string& OptionArg::Value() const {
  if (i_ + 1 >= args_.size()) throw Usage{"option " + name + " needs a value"};
  return args_[++i_];
}

void WalkOptions(const std::vector<std::string>& args, size_t first, const OptionRules& rules,
                 std::vector<std::string>* others) {
  for (size_t i = first; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto rule = std::find_if(rules.begin(), rules.end(), [&a](const auto& r) { return r.first == a; });
    if (rule != rules.end()) {
      rule->second(OptionArg(args, i));
    } else if (!others) {
      throw Usage{"unknown option '" + a + "'"};
    } else {
      others->push_back(a);
      if ((a == "--dmi" || a == "--load" || a == "--set") && i + 1 < args.size()) others->push_back(args[++i]);
    }
  }
}

OptionRules CommonOptions(Options& o) {
  auto file = [&o](const OptionArg& arg) {
    const std::string& a = arg.name;
    if (!o.dmi.empty() || !o.load.empty())
      throw Usage{(o.dmi.empty() ? "give --load" : "give --dmi") + std::string(a == (o.dmi.empty() ? "--load" : "--dmi") ? " once" : " or --load, not both")};
    (a == "--dmi" ? o.dmi : o.load) = arg.Value();
    if (o.dmi.empty() && o.load.empty()) throw Usage{a + " needs a file name"};
  };
  auto set = [&o](const OptionArg& arg) {
    const std::string& kv = arg.Value();
    const size_t eq = kv.find('=');
    if (eq == std::string::npos || eq == 0) throw Usage{"--set takes KEY=VALUE, not '" + kv + "'"};
    o.sets.emplace_back(kv.substr(0, eq), Number(kv.substr(eq + 1), "--set " + kv));
  };
  return {{"--set", set}, {"--dmi", file}, {"--load", file}};
}

OptionRule OutOption(std::string& out) {
  return {"--out", [&out](const OptionArg& a) {
            out = a.Value();
            if (out.empty()) throw Usage{"--out needs a file name"};
          }};
}

const std::string& Choice(const std::string& option, const std::string& value,
                          std::initializer_list<const char*> allowed) {
  std::string names;
  size_t n = 0;
  for (const char* a : allowed) {
    if (value == a) return value;
    if (n++) names += n == allowed.size() ? " or " : ", ";
    names += a;
  }
  throw Usage{option + " takes " + names + ", not '" + value + "'"};
}

int WholeNumber(const std::string& option, const std::string& text, int most) {
  const float n = Number(text, option);
  if (!(n >= 1 && n <= static_cast<float>(most) && n == std::floor(n)))
    throw Usage{option + " takes a whole number from 1 to " + std::to_string(most) + ", not '" + text + "'"};
  return static_cast<int>(n);
}

float InRange(const std::string& option, const std::string& text, float lo, float hi, const std::string& range) {
  const float v = Number(text, option);
  if (!(v >= lo && v <= hi)) throw Usage{option + " takes " + range + ", not '" + text + "'"};
  return v;
}

bool ParseNumber(const std::string& text, float& value) {
  if (text.empty()) return false;
  // from_chars reads the C locale's way whatever the process's locale (a
  // picture command starts Qt, which sets it from the user's); it takes no
  // leading plus.
  const char* begin = text.c_str() + (text[0] == '+' ? 1 : 0);
  double d = 0;
  const auto r = std::from_chars(begin, text.c_str() + text.size(), d);
  if (r.ec != std::errc() || r.ptr != text.c_str() + text.size()) return false;
  if (!std::isfinite(d)) return false;
  // Only plain decimal notation: no hexadecimal, no "inf" or "nan".
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  // Rounded once, straight to the nearest single: through a double, a text
  // halfway between two singles could round twice the wrong way, and the
  // largest single's shortest text (3.4028235e+38, just above it) would not
  // fit. A text too small for any single reads as the zero it rounds to.
  float f = 0;
  const auto rf = std::from_chars(begin, text.c_str() + text.size(), f);
  if (rf.ec == std::errc()) {
    value = f;
    return true;
  }
  if (std::fabs(d) > FLT_MAX) return false;
  value = static_cast<float>(d);
  return true;
}

EventRequest::Side SideOption(const std::string& v) {
  Choice("--side", v, {"fwd", "rev", "both"});
  return v == "fwd" ? EventRequest::Forward : v == "rev" ? EventRequest::Reverse : EventRequest::Both;
}

}  // namespace brevold
