// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The words of a picture put in reading order.
#include <algorithm>
#include <cstddef>

#include "platform/canvas.h"

namespace brevold {

std::string ReadingText(std::vector<TextTapCanvas::Placed> texts) {
  constexpr int kLineSlack = 3;
  auto trimmed = [](const std::string& t) {
    std::string w;
    for (char ch : t)
      if (ch != ' ' || (!w.empty() && w.back() != ' ')) w += ch;
    if (!w.empty() && w.back() == ' ') w.pop_back();
    return w;
  };
  auto above = [](const TextTapCanvas::Placed& p, const TextTapCanvas::Placed& q) {
    return p.at.y != q.at.y ? p.at.y < q.at.y : p.at.x != q.at.x ? p.at.x < q.at.x : p.text < q.text;
  };
  std::sort(texts.begin(), texts.end(), above);
  texts.erase(std::unique(texts.begin(), texts.end(),
                          [](const auto& p, const auto& q) { return p.at == q.at && p.text == q.text; }),
              texts.end());
  // A word written down the picture a letter at a time reads as one: each
  // letter takes the next one a line below it (a word's end leaves a wider gap).
  constexpr int kLetterSlack = 3, kLetterGap = 15, kWordGap = 24;
  auto letter = [](const TextTapCanvas::Placed& p) {
    return p.text.size() == 1 && ((p.text[0] >= 'A' && p.text[0] <= 'Z') || (p.text[0] >= 'a' && p.text[0] <= 'z'));
  };
  std::vector<bool> joined(texts.size(), false);
  for (size_t i = 0; i < texts.size(); ++i) {
    if (joined[i] || !letter(texts[i])) continue;
    std::string word = texts[i].text;
    for (size_t at = i, next = i + 1; next < texts.size() && texts[next].at.y - texts[at].at.y <= kWordGap; ++next) {
      const int dx = texts[next].at.x - texts[at].at.x, dy = texts[next].at.y - texts[at].at.y;
      if (joined[next] || !letter(texts[next]) || dy <= 0 || dx < -kLetterSlack || dx > kLetterSlack) continue;
      word += (dy > kLetterGap ? " " : "") + texts[next].text;
      joined[next] = true;
      at = next;
    }
    texts[i].text = word;
  }
  for (size_t i = texts.size(); i-- > 0;)
    if (joined[i]) texts.erase(texts.begin() + static_cast<std::ptrdiff_t>(i));
  std::string out;
  for (auto line = texts.begin(); line != texts.end();) {
    auto end = line;
    while (end != texts.end() && end->at.y - line->at.y <= kLineSlack) ++end;
    std::stable_sort(line, end, [](const auto& p, const auto& q) { return p.at.x < q.at.x; });
    std::string words;
    for (auto t = line; t != end; ++t) {
      const std::string w = trimmed(t->text);
      if (w.empty()) continue;
      if (!words.empty()) words += ", ";
      words += w;
    }
    if (!words.empty()) out += (out.empty() ? "" : "\n") + words;
    line = end;
  }
  return out;
}

}  // namespace brevold
