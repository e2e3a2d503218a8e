// REMARK 3: isotropic and anisotropic thermal-factor restraints and the NCS
// groups with their chains, components and restraint rows.
#include <string>

#include "output/refine_tables.h"
#include "output/remark3_lines.h"
#include "suite/ptq7_parser_f.h"

namespace {

using output::r3::line;
using output::r3::RowKind;
using output::r3::text;

constexpr RowKind kIsotropic[] = {
    {"REMARK   3   MAIN-CHAIN BOND REFINED ATOMS  (A**2):",
     "M. chain bond B values: refined atoms"},
    {"REMARK   3   MAIN-CHAIN BOND OTHER ATOMS    (A**2):", "M. chain bond B values: others", 30},
    {"REMARK   3   MAIN-CHAIN ANGLE REFINED ATOMS (A**2):",
     "M. chain angle B values: refined atoms"},
    {"REMARK   3   SIDE-CHAIN BOND REFINED ATOMS  (A**2):",
     "S. chain bond B values: refined atoms"},
    {"REMARK   3   SIDE-CHAIN ANGLE REFINED ATOMS (A**2):",
     "S. chain angle B values: refined atoms"},
};

constexpr RowKind kAnisotropic[] = {
    {"REMARK   3   RIGID-BOND RESTRAINTS          (A**2):", "Rigid bond restraints"},
    {"REMARK   3   SPHERICITY; FREE ATOMS         (A**2):", "Sphericity. Free atoms", 22},
    {"REMARK   3   SPHERICITY; BONDED ATOMS       (A**2):", "Sphericity. Bonded atoms", 24},
};

struct NcsKind {
  std::string_view selector, label, unit;
};
constexpr NcsKind kNcsKinds[] = {
    {"NCS: tight positional , group ", "REMARK   3   TIGHT POSITIONAL  ", "    (A): "},
    {"NCS: medium positional, group ", "REMARK   3   MEDIUM POSITIONAL ", "    (A): "},
    {"NCS: loose positional , group ", "REMARK   3   LOOSE POSITIONAL  ", "    (A): "},
    {"NCS: tight thermal    , group ", "REMARK   3   TIGHT THERMAL     ", " (A**2): "},
    {"NCS: medium thermal   , group ", "REMARK   3   MEDIUM THERMAL    ", " (A**2): "},
    {"NCS: loose thermal    , group ", "REMARK   3   LOOSE THERMAL     ", " (A**2): "},
};

// The group number in columns 31-32 of an NCS kind name; 0 when they hold
// no number, which matches no group.
int32_t group_of(std::string_view name) {
  int32_t igrp = 0;
  if (rt::read_fmt(name, "(30X,I2)", igrp) != 0) return 0;
  return igrp;
}

void ncs_group(int32_t iun, int32_t g) {
  const ncs_restrs_t& n = ncs_restrs;
  const int32_t nch = n.ncs_nchains(g) < max_ncs_chain ? n.ncs_nchains(g) : max_ncs_chain;
  const int32_t nsp = n.ncs_nspans(g) < max_ncs_span ? n.ncs_nspans(g) : max_ncs_span;
  text(iun, "REMARK   3");
  line(iun, "(A,I4)", "REMARK   3  NCS GROUP NUMBER               :", g);
  rt::FixedText<120> all_chains;
  all_chains.blank();
  for (int32_t c = 1; c <= nch; ++c) {
    const int l = lenstr_(all_chains.view());
    std::string s(all_chains.view().substr(0, l));
    s.push_back(' ');
    s.append(n.ncs_chain_id(c, g).view());
    all_chains = s;
  }
  line(iun, "(A,A)", "REMARK   3     CHAIN NAMES                    :",
       all_chains.view().substr(0, lenstr_(all_chains.view())));
  line(iun, "(A,I4)", "REMARK   3     NUMBER OF COMPONENTS NCS GROUP : ", n.ncs_nspans(g));
  text(iun, "REMARK   3       COMPONENT C  SSSEQI  TO  C   SSSEQI   CODE");
  for (int32_t s = 1; s <= nsp; ++s)
    for (int32_t c = 1; c <= nch; ++c)
      line(iun, "(A,I4,5X,A,I6,7X,A,1X,I6,3X,I4)", "REMARK   3        ", s, n.ncs_chain_id(c, g),
           n.ncs_res_first(s, g), n.ncs_chain_id(c, g), n.ncs_res_last(s, g),
           ncsr_ints.ncs_span_code(s, g));
  text(iun, "REMARK   3                   GROUP CHAIN        COUNT   RMS     WEIGHT");
  const rhar_geom_t& r = rhar_geom;
  const int32_t nrest = r.nhrestr < hmaxrest ? r.nhrestr : hmaxrest;
  for (const NcsKind& k : kNcsKinds)
    for (int32_t i = 1; i <= nrest; ++i) {
      const std::string_view name = r.hrestr_name(i).view();
      if (name.substr(0, 30) != k.selector || group_of(name) != g) continue;
      std::string lead(k.label);
      lead.append(name.substr(30, 2)).append("   ").append(name.substr(38, 2)).append(k.unit);
      line(iun, "(A,I6,A,F5.2,A,F5.2)", lead, r.hrestr_num(i), " ; ", r.hrestr_rms(i), " ; ",
           r.hrestr_wght(i));
    }
}

}  // namespace

namespace output::r3 {

void thermal_and_ncs(int32_t iun) {
  text(iun, "REMARK   3  ISOTROPIC THERMAL FACTOR RESTRAINTS.     COUNT   RMS    WEIGHT");
  stats_rows(iun, kIsotropic);
  if (vitals.aniso_level > 1) {
    text(iun, "REMARK   3");
    text(iun, "REMARK   3 ANISOTROPIC THERMAL FACTOR RESTRAINTS.    COUNT   RMS   WEIGHT");
    stats_rows(iun, kAnisotropic);
  }
  text(iun, "REMARK   3");
  text(iun, "REMARK   3  NCS RESTRAINTS STATISTICS");
  const int32_t ngroups = ncsr_ints.ncs_ngroups;
  if (ngroups <= 0) {
    text(iun, "REMARK   3   NUMBER OF NCS GROUPS : NULL");
    return;
  }
  line(iun, "(A,I4)", "REMARK   3   NUMBER OF DIFFERENT NCS GROUPS :", ngroups);
  for (int32_t g = 1; g <= ngroups && g <= max_ncs; ++g) ncs_group(iun, g);
}

}  // namespace output::r3
