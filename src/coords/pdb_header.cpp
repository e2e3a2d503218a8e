// Header records of a PDB file: classification, date and code, title,
// keywords, model number, the resolution and R-value remarks, and the
// HET/FORMUL rows.
#include "coords/pdb_header.h"

#include <string>

#include "coords/pdb_fields.h"
#include "coords/pdb_state.h"
#include "foundation/atom_com.h"
#include "foundation/entry_header.h"
#include "foundation/words.h"

namespace {

void replace_all(rt::TextRef t, char from, char to) {
  for (int i = 1; i <= t.len(); ++i)
    if (t(i) == from) t(i) = to;
}

// Removes up to `times` leading blanks of a short text.
void drop_leading_blanks(rt::TextRef t, int times) {
  for (int k = 0; k < times && t.len() > 0 && t(1) == ' '; ++k) {
    for (int i = 1; i < t.len(); ++i) t(i) = t(i + 1);
    t(t.len()) = ' ';
  }
}

// Text of records that go on over several lines (TITLE, KEYWDS): a record
// numbered 2 or more (columns 9-10) goes on from the one before, its text
// joined after one blank, so that the text of several records is read
// whole.
std::string joined_text(std::string_view text, std::string_view line, bool goes_on,
                        std::string_view before) {
  text = rt::trim(text);
  int32_t number = 0;
  std::string whole;
  if (goes_on && pdbf::read_int(pdbf::cols(line, 9, 10), number) && number >= 2) {
    whole = rt::trim_right(before);
    if (!text.empty()) whole.append(" ").append(text);
  } else {
    whole = text;
  }
  return whole;
}

// The title is columns 11-80 of its records.
void read_title(std::string_view line, bool may_go_on) {
  const bool goes_on = may_go_on && crdinf.cr_title != std::string_view("---");
  std::string title = joined_text(pdbf::cols(line, 11, 80), line, goes_on, crdinf.cr_title.view());
  if (title.empty()) title = "---";
  foundation::put_entry_text(crdinf.cr_title, title, "TITLE");
  crst_pdb.cs_title = crdinf.cr_title;
}

}  // namespace

void rdhead_pdb_(std::string_view line) {
  rt::FixedText<80> name(pdbf::cols(line, 11, 50));
  rt::FixedText<9> date(pdbf::cols(line, 51, 59));
  rt::FixedText<4> code(pdbf::cols(line, 63, 66));
  if (name.is_blank()) name = "---";
  crdinf.cr_name_pdb = name;
  crst_pdb.cs_name_pdb = name;
  if (date.is_blank()) date = "XX-XXX-XX";
  crdinf.cr_date_pdb = date;
  crst_pdb.cs_date_pdb = date;
  if (code.is_blank()) code = "XXXX";
  crdinf.cr_cd_pdb = code;
  crst_pdb.cs_cd_pdb = code;
}

void rdcompnd_(std::string_view line) { read_title(line, false); }

void rdtitle_pdb_(std::string_view line) { read_title(line, true); }

// The keywords stand in the place of the HEADER record's classification,
// as an mmCIF file's _struct_keywords.text does; a record without text
// leaves what was read.
void rdkeywds_(std::string_view line, bool goes_on) {
  const std::string keywords =
      joined_text(pdbf::cols(line, 11, 79), line, goes_on, crdinf.cr_name_pdb.view());
  if (keywords.empty()) return;
  foundation::put_entry_text(crdinf.cr_name_pdb, keywords, "KEYWDS");
  crst_pdb.cs_name_pdb = crdinf.cr_name_pdb;
}

void rdmodel_(std::string_view line) {
  int32_t n = 0;
  // A model number that is not a number leaves the model as it was.
  if (!pdbf::read_int(pdbf::cols(line, 11, 14), n)) return;
  crdinf.cr_model_pdb = n;
  crst_pdb.cs_model_pdb = n;
}

void rdremark_(std::string_view line) {
  for (int i = 8; i <= 10; ++i) {
    const char c = i <= static_cast<int>(line.size()) ? line[i - 1] : ' ';
    const char cls = char_class(c);
    if (cls != 'B' && cls != 'D') return;
  }
  int32_t num = 0;
  if (!pdbf::read_int(pdbf::cols(line, 8, 10), num)) return;
  if (num != 2 && num != 3) return;
  const rt::FixedText<36> text(pdbf::cols(line, 12, 47));
  if (num == 2 && text.sub(1, 10) == std::string_view("RESOLUTION")) {
    crdinf.cr_resl_pdb = text.view();
    crst_pdb.cs_resl_pdb = text.view();
  } else if (num == 3 && text.sub(1, 10) == std::string_view("  R VALUE ")) {
    crdinf.cr_rfac_pdb = text.view();
    crst_pdb.cs_rfac_pdb = text.view();
  }
}

void rdhet_(std::string_view line) {
  rt::FixedText<3> id(pdbf::cols(line, 8, 10));
  rt::FixedText<40> name(pdbf::cols(line, 31, 70));
  int32_t natom = 0;
  if (!pdbf::read_int(pdbf::cols(line, 21, 25), natom)) natom = 0;
  drop_leading_blanks(id, 2);
  replace_all(name, '\'', '*');
  if (name.is_blank()) name = ".";
  for (int i = 1; i <= pdb_hent.het_n; ++i)
    if (pdb_hent.het_id(i) == id) return;
  if (pdb_hent.het_n >= MAXHETREC) return;
  const int k = ++pdb_hent.het_n;
  pdb_hent.het_id(k) = id;
  pdb_hent.het_natom(k) = natom;
  pdb_hent.het_name(k) = name;
  pdb_hent.het_formula(k) = ".";
}

void rdformul_(std::string_view line) {
  rt::FixedText<3> id(pdbf::cols(line, 13, 15));
  const rt::FixedText<40> formula(pdbf::cols(line, 20, 59));
  drop_leading_blanks(id, 2);
  for (int i = 1; i <= pdb_hent.het_n; ++i) {
    if (pdb_hent.het_id(i) == id) {
      pdb_hent.het_formula(i) = formula;
      return;
    }
  }
}
