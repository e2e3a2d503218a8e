// Column label assignment from LABIN and LABOUT lines.
#include "reflections/mtz_labels.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "suite/library_err.h"
#include "suite/ptq7_errno.h"
#include "suite/ptq7_parser.h"

namespace reflections {

namespace {

void set_label(char (&field)[31], const std::string& label) {
  std::snprintf(field, sizeof field, "%s", label.c_str());
}

std::vector<std::string> program_labels(TextArray labels, int n) {
  std::vector<std::string> out;
  for (int i = 1; i <= n; ++i) out.push_back(label_of(labels(i).view(), MTZ_LABEL_LENGTH));
  return out;
}

int find_label(const std::vector<std::string>& labels, int n, const std::string& label) {
  for (int j = 0; j < n; ++j)
    if (labels[static_cast<std::size_t>(j)] == label) return j;
  return -1;
}

}  // namespace

}  // namespace reflections

using namespace reflections;

int MtzParseLabin(const char* line, const std::vector<std::string>& labels, int n,
                  MtzLabelPair* table) {
  std::string text = line != nullptr ? line : "";
  ParserPtr parser = ptq7_parse_start(static_cast<int>(text.size()));
  if (!parser) {
    ptq7_signal(ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_ERROR, 14), "MtzParseLabin", nullptr);
    return -1;
  }
  const int ntok = ptq7_parser(text, static_cast<int>(text.size()) + 1, parser.get(), 0);
  if (!ptq7_keymatch(parser->keyword, "LABI") && !ptq7_keymatch(parser->keyword, "LABO") &&
      !ptq7_keymatch(parser->keyword, "COMP"))
    std::printf("Warning in MtzParseLabin: Input is not LABIN or LABOUT line !!\n");
  n = std::min<int>(n, static_cast<int>(labels.size()));
  for (int j = 0; j < n; ++j) table[j] = MtzLabelPair{};
  int errors = 0, set = 0;
  for (int i = 1; i < ntok; i += 2) {
    const std::string first = parser->token[static_cast<std::size_t>(i)].fullstring;
    if (i + 1 >= ntok) {
      std::printf("MtzParseLabin: run out of labels trying to match \"%s\"\n", first.c_str());
      ++errors;
      break;
    }
    const std::string second = parser->token[static_cast<std::size_t>(i) + 1].fullstring;
    int j = find_label(labels, n, first);
    const bool forward = j >= 0;
    if (!forward) j = find_label(labels, n, second);
    if (j < 0) {
      std::printf("MtzParseLabin: neither label recognised: %s %s \n", first.c_str(),
                  second.c_str());
      ++errors;
      continue;
    }
    set_label(table[j].program, forward ? first : second);
    set_label(table[j].user, forward ? second : first);
    ++set;
  }
  ptq7_parse_end(std::move(parser));
  return errors > 0 ? -1 : set;
}

void lkyin_(int32_t mindx, TextArray lsprgi, int32_t nlprgi, int32_t, std::string_view labin_line,
            const int32_t*, const int32_t*) {
  if (mindx < 1 || mindx > MTZ_MAX_SLOTS) {
    std::printf("Error: mindx out of range!\n");
    return;
  }
  const int n = std::clamp(nlprgi, 0, MTZ_MAX_LOOKUP);
  const std::string line(rt::trim_right(labin_line));
  if (MtzParseLabin(line.c_str(), program_labels(lsprgi, n), n, mtz_index_slot(mindx).labin_table) <
      0)
    ptqerror(1, "Error in label assignments in LABIN");
}

void lkyout_(int32_t mindx, TextArray lsprgo, int32_t nlprgo, int32_t ntok,
             std::string_view labout_line, const int32_t*, const int32_t*) {
  if (mindx < 1 || mindx > MTZ_MAX_SLOTS) {
    std::printf("Error: mindx out of range!\n");
    return;
  }
  if (nlprgo < 1) {
    std::printf("Warning from LKYOUT: no program output labels !\n");
    return;
  }
  if (ntok < 2) {
    std::printf("Warning from LKYOUT: no arguments to LABOUT !\n");
    return;
  }
  const int n = std::min(nlprgo, MTZ_MAX_LOOKUP);
  const std::string line(rt::trim_right(labout_line));
  if (MtzParseLabin(line.c_str(), program_labels(lsprgo, n), n,
                    mtz_index_slot(mindx).labout_table) < 0)
    ptqerror(1, "Error in label assignments in LABOUT");
}

void lkyset_(TextArray lsprgi, int32_t nlprgi, TextArray lsusrj, int32_t* kpoint, int32_t, int32_t,
             std::string_view labin_line, const int32_t*, const int32_t*) {
  const int n = std::clamp(nlprgi, 0, MTZ_MAX_LOOKUP);
  std::vector<MtzLabelPair> table(static_cast<std::size_t>(n));
  const std::string line(rt::trim_right(labin_line));
  if (MtzParseLabin(line.c_str(), program_labels(lsprgi, n), n, table.data()) < 0)
    ptqerror(1, "Error in label assignments in LKYSET");
  for (int j = 0; j < n; ++j) {
    const MtzLabelPair& e = table[static_cast<std::size_t>(j)];
    lsusrj(j + 1).assign(e.user);
    if (e.user[0] != '\0') kpoint[j] = -1;
  }
}
