// Links to a metal whose length the energy library does not give, in whole
// runs on 1LCD (a sodium bound to a thymine phosphate oxygen and three
// waters, each named by a LINK record or a metal connection row): the
// waters' three links share one new description, yet each is restrained at
// its own length, the one the file gives or else the model's distance,
// and a run on the written coordinates restrains them alike.  So are two
// cadmium sites that the search by distance finds.  Other new links keep
// the length of their description.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "pipeline_fixture.h"

namespace {

using pipetest::Options;
using pipetest::Outcome;

struct LinkBond {
  float ideal = 0.0f;  // as the restraint file writes it
  float model = 0.0f;  // the two atoms' distance in the written coordinates
};

// The BOND records of the link blocks of the run in `dir`, by the atoms
// they join ("HOH57 O - NA12 NA", the two ends in name order).
std::map<std::string, LinkBond> link_bonds(const std::string& dir) {
  const std::string text = file_text(dir + "/out.rst");
  EXPECT_EQ(pipetest::read_coordinates(dir + "/out"), 0) << dir;
  const auto atom = [](int ia) {
    const int ir = atom_inf.i_resid(ia);
    std::string num(rt::trim(resid_inf.res_num_pdb(ir).sub(3, 7)));
    return std::string(resid_inf.res_name(ir).trimmed()) + num + " " +
           std::string(atom_inf.atm_name(ia).trimmed());
  };
  std::map<std::string, LinkBond> out;
  std::istringstream in(text);
  bool in_link = false;
  for (std::string l; std::getline(in, l);) {
    if (l.starts_with("# ")) in_link = l.starts_with("# link_");
    if (!in_link || !l.starts_with("BOND ")) continue;
    std::istringstream f(l);
    std::vector<std::string> w;
    for (std::string x; f >> x;) w.push_back(x);
    if (w.size() != 11) {
      ADD_FAILURE() << l;
      continue;
    }
    const int ia = std::stoi(w[4]), ja = std::stoi(w[5]);
    if (ia < 1 || ja < 1 || ia > atom_inf.n_atom || ja > atom_inf.n_atom) {
      ADD_FAILURE() << l;
      continue;
    }
    std::string a = atom(ia), b = atom(ja);
    if (b < a) std::swap(a, b);
    float d2 = 0.0f;
    for (int k = 1; k <= 3; ++k) {
      const float d = atom_crd.xyz_crd(k, ia) - atom_crd.xyz_crd(k, ja);
      d2 += d * d;
    }
    out[a + " - " + b] = {std::stof(w[8]), std::sqrt(d2)};
  }
  return out;
}

// The four sodium links and their lengths.
using Lengths = std::map<std::string, float>;
const char* const kSodium[] = {"DT4 OP1 - NA12 NA", "HOH53 O - NA12 NA", "HOH57 O - NA12 NA",
                               "HOH923 O - NA12 NA"};

// 1LCD's first model with the LINK records cut to `keep` columns, and
// `extra` records after them.
std::string lcd_with_links(std::size_t keep, const std::string& extra = "") {
  std::istringstream in(file_text(pipetest::data("1LCD.pdb")));
  std::string out;
  bool links = false;
  for (std::string l; std::getline(in, l);) {
    if (l.starts_with("LINK")) {
      out += l.substr(0, keep) + "\n";
      links = true;
      continue;
    }
    if (links) out += extra;
    links = false;
    out += l + "\n";
  }
  return out;
}

// The run on `model`, then the run on the coordinates it wrote, both with
// the user library `lib2` when given: both give every link bond of `want`
// its ideal (within 0.0005: the files carry three decimals), and, where
// `model_distance`, the ideal is the distance of the two atoms in the
// written coordinates.
void expect_lengths(const std::string& model, const Lengths& want, bool model_distance,
                    const std::string& lib2 = "") {
  TempDir first, again;
  Options o;
  o.in = model;
  o.lib2 = lib2;
  const Outcome r1 = pipetest::run(o, first.path());
  ASSERT_EQ(r1.ierr, 0) << r1.out;
  o.in = first.file("out.crd");
  const Outcome r2 = pipetest::run(o, again.path());
  ASSERT_EQ(r2.ierr, 0) << r2.out;
  for (const std::string& dir : {first.path(), again.path()}) {
    SCOPED_TRACE(dir == first.path() ? "first run" : "run on its coordinates");
    const std::map<std::string, LinkBond> got = link_bonds(dir);
    for (const auto& [what, ideal] : want) {
      const auto b = got.find(what);
      ASSERT_NE(b, got.end()) << what;
      EXPECT_NEAR(b->second.ideal, ideal, 5e-4f) << what;
      if (model_distance) {
        EXPECT_NEAR(b->second.ideal, b->second.model, 1e-3f) << what;
      }
    }
  }
}

}  // namespace

// The length a LINK record gives (2.52, 2.10, 2.22, 2.13) or a metal row's
// pdbx_dist_value (2.517, 2.101, 2.218, 2.131): each water's link its own,
// though the three share the description the first of them made.  So does
// the first link when a run before made that description, which the user
// library now gives at the length the first link had then.
TEST(MetalLinkLengths, EachLinkTakesTheLengthItsFileGives) {
  TempDir before, models;
  ASSERT_EQ(pipetest::run_model(pipetest::data("1LCD.pdb"), before.path()).ierr, 0);
  std::string changed = file_text(pipetest::data("1LCD.pdb"));
  const std::size_t first = changed.find("1555   1555  2.52");
  ASSERT_NE(first, std::string::npos);
  changed.replace(first + 13, 4, "2.40");
  const struct {
    const char* label;
    std::string model, lib2;
    float lengths[4];
  } rows[] = {
      {"PDB LINK records", pipetest::data("1LCD.pdb"), "", {2.52f, 2.10f, 2.22f, 2.13f}},
      {"mmCIF metal rows", pipetest::data("cif_1LCD.cif"), "", {2.517f, 2.101f, 2.218f, 2.131f}},
      {"first LINK at 2.40, its description made at 2.52 in the user library",
       models.write("first_at_2.40.pdb", changed),
       before.file("new_lib.cif"),
       {2.40f, 2.10f, 2.22f, 2.13f}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Lengths want;
    for (int k = 0; k < 4; ++k) want[kSodium[k]] = row.lengths[k];
    expect_lengths(row.model, want, false, row.lib2);
  }
}

// LINK records without their length column: each link at the distance of
// its two atoms in the model (2.517, 2.101, 2.218, 2.131 A).
TEST(MetalLinkLengths, LinkWithoutALengthTakesItsModelDistance) {
  TempDir models;
  Lengths want;
  const float model[4] = {2.517f, 2.101f, 2.218f, 2.131f};
  for (int k = 0; k < 4; ++k) want[kSodium[k]] = model[k];
  expect_lengths(models.write("cut.pdb", lcd_with_links(72)), want, true);
}

// Two links between water oxygens (2.699 and 2.770 A apart, each LINK
// record giving its length) share a new description too, but its length is
// one the energy library would give two oxygens: both keep the first's.
TEST(MetalLinkLengths, OtherNewLinksKeepTheirDescriptionsLength) {
  TempDir models;
  const std::string waters =
      "LINK         O   HOH A  61                 O   HOH A  75     1555   1555  2.70  \n"
      "LINK         O   HOH A  76                 O   HOH A  77     1555   1555  2.77  \n";
  Lengths want = {{"HOH61 O - HOH75 O", 2.70f}, {"HOH76 O - HOH77 O", 2.70f}};
  want[kSodium[1]] = 2.101f;
  expect_lengths(models.write("waters.pdb", lcd_with_links(72, waters)), want, false);
}

// Two glutamate-cadmium sites that no record names: GLU 178 and CD 1309 of
// 1ur5 (peers/links, OE1 2.139 A from the cadmium), and a copy of them 20 A
// along x as GLU 300 and CD 1400, the cadmium moved along the OE1-CD line
// to 2.300 A.  The search by distance makes one description for both, yet
// each site is restrained at its own distance.
TEST(MetalLinkLengths, LinksFoundByDistanceTakeTheirOwnDistance) {
  std::istringstream in(file_text(pipetest::data("peers/links/1ur5_A_cd_sites.pdb")));
  std::vector<std::string> site;
  float oe1[3] = {}, cd[3] = {};
  const auto xyz = [](const std::string& l, float* p) {
    for (int k = 0; k < 3; ++k) p[k] = std::stof(l.substr(30 + 8 * k, 8));
  };
  for (std::string l; std::getline(in, l);) {
    if (l.size() < 54) continue;
    if (l.substr(17, 3) == "GLU" || l.substr(17, 9) == " CD A1309") site.push_back(l);
    if (l.substr(12, 4) == " OE1") xyz(l, oe1);
    if (l.substr(17, 9) == " CD A1309") xyz(l, cd);
  }
  ASSERT_EQ(site.size(), 10u);
  const float d =
      std::sqrt((cd[0] - oe1[0]) * (cd[0] - oe1[0]) + (cd[1] - oe1[1]) * (cd[1] - oe1[1]) +
                (cd[2] - oe1[2]) * (cd[2] - oe1[2]));
  std::string model;
  for (const std::string& l : site) model += l + "\n";
  for (const std::string& l : site) {
    const bool metal = l.substr(17, 3) == " CD";
    float p[3];
    xyz(l, p);
    if (metal)
      for (int k = 0; k < 3; ++k) p[k] = oe1[k] + (cd[k] - oe1[k]) * 2.300f / d;
    p[0] += 20.0f;
    char xyz_text[32];
    std::snprintf(xyz_text, sizeof xyz_text, "%8.3f%8.3f%8.3f", p[0], p[1], p[2]);
    model += l.substr(0, 22) + (metal ? "1400" : " 300") + l.substr(26, 4) + xyz_text +
             l.substr(54) + "\n";
  }
  model += "END\n";
  TempDir models;
  expect_lengths(models.write("two_sites.pdb", model),
                 {{"CD1309 CD - GLU178 OE1", 2.139f}, {"CD1400 CD - GLU300 OE1", 2.300f}}, true);
}
