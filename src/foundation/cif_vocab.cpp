// CIF vocabularies and the known modification records, with the look-ups
// that turn a type name into its code.
#include "foundation/cif_vocab.h"

#include <cstring>

cif_types_t cif_types;
com_mod_rec_t com_mod_rec;

void set_cif_types_() {
  cif_types_t& t = cif_types;
  t.n_res_type = 14;
  t.n_sterm_type = 7;
  t.n_fterm_type = 7;
  t.n_conn_type = 39;
  t.n_ch_type = 10;

  static constexpr const char* kRes[14][2] = {
      {".", "."},
      {"non-polymer", "non-poly"},
      {"L-peptide", "peptide"},
      {"D-peptide", "peptide"},
      {"DNA", "DNA/RNA"},
      {"RNA", "DNA/RNA"},
      {"D-pyranose", "pyranose"},
      {"L-pyranose", "pyranose"},
      {"solvent", "solvent"},
      {"polymer", "polymer"},
      {"D-furanose", "furanose"},
      {"L-furanose", "furanose"},
      {"D-saccharide", "sacchari"},
      {"L-saccharide", "sacchari"},
  };
  for (int k = 0; k < 14; ++k) {
    t.res_type(k + 1) = kRes[k][0];
    t.res_ltype(k + 1) = kRes[k][1];
  }

  static constexpr const char* kStart[10] = {".", "NH3", "FOR-N", "p5*END", "5*END", "NH3-COO", "TERMINUS", "", "", ""};
  static constexpr const char* kEnd[10] = {".", "COO", "FOR-C", "p3*END", "3*END", "NH3-COO", "TERMINUS", "CM-COO", "", ""};
  for (int k = 0; k < 10; ++k) {
    t.term_s_type(k + 1) = kStart[k];
    t.term_f_type(k + 1) = kEnd[k];
  }

  static constexpr const char* kChain[10] = {".",         "non-poly", "polypept", "polypept", "DNA",
                                             "RNA",       "sacchari", "sacchari", "water",    "polymer"};
  for (int k = 0; k < 10; ++k) t.ch_type(k + 1) = kChain[k];

  static constexpr const char* kConn[39] = {
      ".",        "TRANS",    "CIS",      "p",        "FOR_C-N",  "FOR_C-C",  "ACE_C-N",  "DFO_C-N",
      "NME_N-C",  "gap",      "SUGAR",    "BETA1-2",  "BETA1-3",  "BETA1-4",  "BETA1-6",  "ALPHA1-2",
      "ALPHA1-3", "ALPHA1-4", "ALPHA1-6", "IVA_C-N",  "DFO-NME",  "BOC_C-N",  "DFO_N-C",  "STA-NME",
      "STA_C-N",  "STA_N-C",  "STA_DFO",  "DFO_STA",  "STA_STA",  "DFO_DFO",  "ILG_CD-N", "ILG_CD-p",
      "LINK_C-N", "LINK_CNp", "LINK_CpN", "PTRANS",   "PCIS",     "NMTRANS",  "NMCIS"};
  for (int k = 0; k < 39; ++k) t.conn_type(k + 1) = kConn[k];

  com_mod_rec_t& m = com_mod_rec;
  m.n_mod_rec = 2;
  m.mod_rec_irtype(1) = 5;
  m.mod_rec_detail(1) = "DEL-O2*_";
  m.mod_rec_func(1) = "DEL";
  m.mod_rec_id(1) = "RNA-O2*";
  m.mod_rec_irtype(2) = 3;
  m.mod_rec_detail(2) = "DEL-OXT_";
  m.mod_rec_func(2) = "DEL";
  m.mod_rec_id(2) = "DEL-OXT";
}

namespace {

// First slot 1..count of list whose 8 characters equal name (blank-padded), else 1.
template <typename List>
int32_t find_exact(const List& list, int32_t count, std::string_view name) {
  const rt::FixedText<8> key(name);
  for (int k = 1; k <= count; ++k)
    if (std::memcmp(list(k).c, key.c, 8) == 0) return k;
  return 1;
}

}  // namespace

void set_iconn_(std::string_view name, int32_t& code) {
  code = find_exact(cif_types.conn_type, cif_types.n_conn_type, name);
}

void set_itype_(std::string_view name, int32_t& code) {
  code = 1;
  int n = rt::len_trim(name);
  if (n < 1) n = 1;
  if (n > 16) return;  // longer than every entry: no entry begins with it
  const rt::FixedText<16> key(name);
  for (int k = 1; k <= cif_types.n_res_type; ++k)
    if (std::memcmp(cif_types.res_type(k).c, key.c, n) == 0) {
      code = k;
      return;
    }
}

void set_ltype_(std::string_view name, int32_t& code) {
  code = 1;
  for (int k = 1; k <= cif_types.n_res_type; ++k)
    if (rt::text_eq(cif_types.res_ltype(k).view(), name)) {
      code = k;
      return;
    }
  set_itype_(name, code);
}

void set_ch_type_(std::string_view name, int32_t& code) {
  code = find_exact(cif_types.ch_type, cif_types.n_ch_type < MAXCHTYPE ? cif_types.n_ch_type : MAXCHTYPE, name);
}

void set_term_s_type_(std::string_view name, int32_t& code) {
  cif_types.n_sterm_type = 6;
  cif_types.n_fterm_type = 6;
  code = find_exact(cif_types.term_s_type, 6, name);
}

void set_term_f_type_(std::string_view name, int32_t& code) {
  code = find_exact(cif_types.term_f_type, cif_types.n_fterm_type, name);
}
