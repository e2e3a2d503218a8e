// Category banners of the CIF writers.
#include "output/out_lines.h"

#include <algorithm>
#include <string>

#include "foundation/atom_names.h"

namespace output {

void put_banner(int32_t iun, std::string_view title, int32_t& ierr) {
  Line mid;
  mid.blank();
  const int n = static_cast<int>(title.size()) + 6;
  // A category name longer than the work line is a programming error; the
  // cut keeps the rule and the title line the same length.
  const int len = n < Line::size() ? n : Line::size();
  mid.sub(1, len).assign(std::string("## ").append(title).append(" ##"));
  Line rule;
  rule.blank();
  rule.sub(1, len).fill('#');
  wrtstr_(iun, 0, rule.view(), ierr);
  wrtstr_(iun, 0, mid.view(), ierr);
  wrtstr_(iun, 0, rule.view(), ierr);
}

void put_quoted(int32_t iun, int32_t& ierr, std::string_view lead,
                std::string_view value, std::size_t width) {
  bool field = width > 0 && lead.size() + value.size() + 2 > width;
  for (std::size_t k = 0; k + 1 < value.size(); ++k)
    if (value[k] == '\'' && value[k + 1] == ' ') field = true;
  // Written as they stand rather than through the work line, which would
  // cut a value longer than itself.
  std::string text;
  if (!field) {
    text.append(lead).append("'").append(value).append("'");
    wrtstr_(iun, 0, text, ierr);
    return;
  }
  wrtstr_(iun, 0, rt::trim_right(lead), ierr);
  if (ierr != 0) return;
  text.append(";").append(value);
  wrtstr_(iun, 0, text, ierr);
  if (ierr != 0) return;
  wrtstr_(iun, 0, ";", ierr);
}

char cif_quote_for(std::string_view t) {
  if (t.empty()) return 0;
  bool bare = true;
  const char c = t[0];
  if (c == '_' || c == '#' || c == '$' || c == ';' || c == '[' || c == ']' || c == '\'' || c == '"')
    bare = false;
  for (char ch : t)
    if (ch == ' ') bare = false;
  const auto reserved = [&](std::string_view word, bool prefix) {
    if (t.size() < word.size() || (!prefix && t.size() != word.size())) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
      if ((t[k] >= 'A' && t[k] <= 'Z' ? t[k] + ('a' - 'A') : t[k]) != word[k]) return false;
    return true;
  };
  if (reserved("data_", true) || reserved("save_", true) || reserved("loop_", false) ||
      reserved("global_", false) || reserved("stop_", false))
    bare = false;
  if (bare) return 0;
  for (std::size_t k = 0; k < t.size(); ++k)
    if (t[k] == '\'' && (k + 1 == t.size() || t[k + 1] == ' ')) return '"';
  return '\'';
}

rt::FixedText<5> own_author_number(std::string_view five) {
  const rt::FixedText<5> given(five);
  const char code = given(5);
  std::string_view num = rt::trim(given.sub(1, 4));
  if (code < '0' || code > '9' || num.empty()) return given;
  const bool minus = num[0] == '-';
  if (minus) num.remove_prefix(1);
  if (num.empty() || !std::all_of(num.begin(), num.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return given;
  std::string out(minus ? "-" : "");
  out.append(4 - out.size() - num.size(), '0');
  out.append(num);
  out.push_back(code);
  return rt::FixedText<5>(out);
}

std::string cif_cell(std::string_view text, int width) {
  if (static_cast<int>(text.size()) > width) text = text.substr(0, static_cast<std::size_t>(width));
  std::string_view core = rt::trim_right(text);
  while (!core.empty() && core.front() == ' ') core.remove_prefix(1);
  std::string out;
  if (core.empty()) {
    out = '.';
  } else if (const char q = cif_quote_for(core); q == 0) {
    out = text;
  } else {
    out.reserve(core.size() + 2);
    out.push_back(q);
    out.append(core);
    out.push_back(q);
  }
  if (static_cast<int>(out.size()) < width) out.resize(static_cast<std::size_t>(width), ' ');
  return out;
}

std::string_view CifName::make(std::string_view name, int width) {
  name = rt::trim_right(name);
  if (name.size() > 80) name = name.substr(0, 80);
  const int n = static_cast<int>(name.size());
  // Two more places than the name: room for the apostrophes.
  buf_.blank();
  rt::TextRef t = buf_.sub(1, n + 2);
  t.assign(name);
  corr_name_cif_out_(t);
  const int used = t.len_trim();
  const char c = used > 0 ? t(1) : ' ';
  if (c == '_' || c == '#' || c == '$' || c == ';' || c == '[' || c == ']') {
    for (int i = used; i >= 1; --i) buf_(i + 1) = buf_(i);
    buf_(1) = '\'';
    buf_(used + 2) = '\'';
  }
  const int len = std::max(width, buf_.sub(1, n + 2).len_trim());
  return buf_.view().substr(0, len);
}

}  // namespace output
