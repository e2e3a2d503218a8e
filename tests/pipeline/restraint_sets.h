// Every restraint of a whole run keyed by the atoms it restrains, as the
// written coordinates name them, so that two runs (two file forms of one
// model, or a second run on the written coordinates) can be compared
// restraint by restraint.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "pipeline_fixture.h"

namespace rsets {

inline std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> w;
  std::istringstream in(line);
  for (std::string x; in >> x;) w.push_back(x);
  return w;
}

// The atoms of the written coordinates: chain letter and residue number,
// residue and atom name ("A147 MSE C").
inline std::vector<std::string> written_atoms(const std::string& base) {
  std::vector<std::string> keys;
  EXPECT_EQ(pipetest::read_coordinates(base), 0) << base;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) {
    const int ir = atom_inf.i_resid(ia);
    std::string number(resid_inf.res_num_pdb(ir).sub(3, 7));
    number.erase(0, number.find_first_not_of(' '));
    number.erase(number.find_last_not_of(' ') + 1);
    keys.push_back(std::string(1, resid_inf.res_num_pdb(ir)(8)) + number + " " +
                   std::string(resid_inf.res_name(ir).trimmed()) + " " +
                   std::string(atom_inf.atm_name(ia).trimmed()));
  }
  return keys;
}

// "BOND | A146 PRO C | A147 MSE N | 1.329 0.014": the kind, the atoms in the
// order that sorts first (a plane as its set of atoms), the ideal and esd.
using Restraints = std::multiset<std::string>;

inline Restraints restraints_of(const std::string& base) {
  const std::vector<std::string> keys = written_atoms(base);
  // Appended rather than "?" + a temporary, which g++ 12's optimiser warns of
  // falsely (-Wrestrict).
  auto atom = [&](int s) {
    if (s >= 1 && s <= static_cast<int>(keys.size())) return keys[s - 1];
    std::string unknown = "?";
    unknown += std::to_string(s);
    return unknown;
  };
  Restraints out;
  std::set<std::string> plane;
  std::string plane_id, plane_esd;
  auto close_plane = [&] {
    if (plane.empty()) return;
    std::string k = "PLAN";
    for (const std::string& a : plane) k += " | " + a;
    out.insert(k + " | " + plane_esd);
    plane.clear();
  };
  for (const pipetest::Record& r : pipetest::records(file_text(base + ".rst"))) {
    const std::string first = r.line.substr(0, r.line.find('\n'));
    const std::vector<std::string> w = words(first);
    if (first.starts_with("PLAN")) {
      const std::string id = first.substr(4, 7);
      if (id != plane_id) close_plane();
      plane_id = id;
      plane_esd = w[7];
      plane.insert(atom(r.serials[0]));
      continue;
    }
    close_plane();
    plane_id.clear();
    std::vector<std::string> atoms;
    for (int s : r.serials) atoms.push_back(atom(s));
    if (!first.starts_with("CHIR") &&
        std::vector<std::string>(atoms.rbegin(), atoms.rend()) < atoms)
      std::reverse(atoms.begin(), atoms.end());
    std::string k = first.substr(0, 4);
    for (const std::string& a : atoms) k += " | " + a;
    out.insert(k + " | " + w[w.size() - 3] + " " + w[w.size() - 2]);
  }
  close_plane();
  return out;
}

inline void expect_same(const std::string& label, const Restraints& a, const Restraints& b) {
  EXPECT_EQ(a.size(), b.size()) << label;
  int shown = 0;
  for (auto k = a.begin(); k != a.end(); k = a.upper_bound(*k))
    if (a.count(*k) != b.count(*k) && shown++ < 12)
      ADD_FAILURE() << label << ", first " << a.count(*k) << " second " << b.count(*k) << ": "
                    << *k;
  for (auto k = b.begin(); k != b.end(); k = b.upper_bound(*k))
    if (a.count(*k) == 0 && shown++ < 24) ADD_FAILURE() << label << ", second only: " << *k;
}

// The restraints of `all` that hold an atom of each of the two residues
// ("A147 MSE", "A148 PRO").
inline Restraints between(const Restraints& all, const std::string& r1, const std::string& r2) {
  Restraints out;
  for (const std::string& k : all)
    if (k.find("| " + r1 + " ") != std::string::npos &&
        k.find("| " + r2 + " ") != std::string::npos)
      out.insert(k);
  return out;
}

// The restraints of `all` that hold atoms of two residues or more.
inline Restraints across(const Restraints& all) {
  Restraints out;
  for (const std::string& k : all) {
    std::set<std::string> residues;
    std::istringstream in(k);
    std::string part;
    std::getline(in, part, '|');
    while (std::getline(in, part, '|')) {
      const std::vector<std::string> w = words(part);
      if (w.size() == 3) residues.insert(w[0] + " " + w[1]);
    }
    if (residues.size() > 1) out.insert(k);
  }
  return out;
}

// Each restraint key of `all` that restrains the same atoms as an earlier
// one of its kind: the kind and atoms of every such repeat.
inline std::vector<std::string> repeated(const Restraints& all) {
  std::set<std::string> seen;
  std::vector<std::string> out;
  for (const std::string& k : all)
    if (!seen.insert(k.substr(0, k.rfind('|'))).second) out.push_back(k);
  return out;
}

// One run in a scratch directory of its own, its restraints by atoms.
struct ModelRun {
  TempDir dir;
  pipetest::Outcome out;
  Restraints restraints;
  std::string crd, rst;
};

inline void run_model(const std::string& model, ModelRun& r, int32_t max_status = 0) {
  pipetest::Options o;
  o.in = model;
  r.out = pipetest::run(o, r.dir.path());
  ASSERT_LE(r.out.ierr, max_status) << model << "\n" << r.out.out;
  ASSERT_GE(r.out.ierr, 0) << model << "\n" << r.out.out;
  const std::string base = r.dir.path() + "/out";
  r.crd = file_text(base + ".crd");
  r.rst = file_text(base + ".rst");
  r.restraints = restraints_of(base);
}

// The PDB and the mmCIF form of one model restrain the same atoms alike,
// and so does a second run on the coordinates the PDB run wrote.
// With `links_only`, only the restraints across residues are compared (the
// monomers a run builds may differ in their own restraints by the instance
// they are built from).
inline void expect_both_forms_and_rerun(const std::string& label, const std::string& pdb,
                                        const std::string& cif, ModelRun& p, int32_t max_status = 0,
                                        bool links_only = false) {
  run_model(pdb, p, max_status);
  ModelRun c, again;
  run_model(cif, c, max_status);
  const auto part = [&](const Restraints& r) { return links_only ? across(r) : r; };
  expect_same(label + ": PDB and mmCIF forms", part(p.restraints), part(c.restraints));
  run_model(p.dir.path() + "/out.crd", again, max_status);
  expect_same(label + ": second run on the written coordinates", part(p.restraints),
              part(again.restraints));
}

}  // namespace rsets
