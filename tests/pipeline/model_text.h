// Small models for whole runs, cut from the entries of tests/data and
// changed in the test: their atoms, and the same atoms written as a PDB file
// and in the archive's mmCIF form, with the links between them.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "pipeline_fixture.h"

namespace modeltext {

// An atom of a PDB ATOM or HETATM record; `seq` is the residue's place in
// its polymer chain (from 1; 0 outside a polymer), the mmCIF label number;
// `alt` its alternate code, empty for none.
struct Atom {
  std::string record, name, res, chain, element;
  int num = 0, seq = 0;
  float x = 0, y = 0, z = 0;
  std::string alt;
  float occ = 1.0f;
};

inline std::string trimmed(std::string s) {
  s.erase(0, s.find_first_not_of(' '));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

// The atoms of residues first..last of `chain` in the first model that
// has them, of an entry of tests/data, hydrogens too.
inline std::vector<Atom> atoms_of(const std::string& entry, char chain, int first, int last) {
  std::vector<Atom> out;
  std::istringstream in(file_text(pipetest::data(entry)));
  int seq = 0, previous = -99999;
  for (std::string l; std::getline(in, l) && !(!out.empty() && l.starts_with("ENDMDL"));) {
    if (!(l.starts_with("ATOM") || l.starts_with("HETATM")) || l[21] != chain) continue;
    const int num = std::stoi(l.substr(22, 4));
    if (num < first || num > last) continue;
    Atom a;
    a.record = trimmed(l.substr(0, 6));
    a.name = trimmed(l.substr(12, 4));
    a.res = trimmed(l.substr(17, 3));
    a.chain = std::string(1, chain);
    a.num = num;
    if (num != previous) ++seq;
    previous = num;
    a.seq = a.record == "ATOM" ? seq : 0;
    a.x = std::stof(l.substr(30, 8));
    a.y = std::stof(l.substr(38, 8));
    a.z = std::stof(l.substr(46, 8));
    a.element = trimmed(l.substr(76, 2));
    out.push_back(a);
  }
  return out;
}

inline Atom& named(std::vector<Atom>& atoms, int num, const std::string& name) {
  for (Atom& a : atoms)
    if (a.num == num && a.name == name) return a;
  ADD_FAILURE() << "no atom " << num << " " << name;
  return atoms.front();
}

inline float distance(const Atom& a, const Atom& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                   (a.z - b.z) * (a.z - b.z));
}

// ATOM and HETATM records, serials from 1.
inline std::string pdb_atoms(const std::vector<Atom>& atoms) {
  std::string out;
  char line[100];
  int serial = 0;
  for (const Atom& a : atoms) {
    const std::string name = a.name.size() < 4 ? " " + a.name : a.name;
    std::snprintf(line, sizeof line,
                  "%-6s%5d %-4s%1s%3s %1s%4d    %8.3f%8.3f%8.3f%6.2f 20.00          %2s\n",
                  a.record.c_str(), ++serial, name.c_str(), a.alt.empty() ? " " : a.alt.c_str(),
                  a.res.c_str(), a.chain.c_str(), a.num, a.x, a.y, a.z, a.occ, a.element.c_str());
    out += line;
  }
  return out;
}

// A LINK record between two atoms (each with its alternate code), the
// second in the copy `symm2` (as the record writes it, "1555" for none),
// without a length.
inline std::string pdb_link(const Atom& a, const Atom& b, const std::string& symm2 = "1555") {
  char line[100];
  const auto name = [](const Atom& x) { return x.name.size() < 4 ? " " + x.name : x.name; };
  const auto alt = [](const Atom& x) { return x.alt.empty() ? " " : x.alt.c_str(); };
  std::snprintf(line, sizeof line,
                "LINK        %-4s%1s%3s %1s%4d                %-4s%1s%3s %1s%4d     1555 %6s\n",
                name(a).c_str(), alt(a), a.res.c_str(), a.chain.c_str(), a.num, name(b).c_str(),
                alt(b), b.res.c_str(), b.chain.c_str(), b.num, symm2.c_str());
  return line;
}

// A covalent connection row of the mmCIF form, each atom with its
// alternate code in the archive's own item; the second atom in the copy
// `symm2`, at the length `dist` the row states ("?" none).
struct Conn {
  const Atom* a;
  const Atom* b;
  std::string symm2 = "1_555";
  std::string dist = "?";
};

inline std::string label_seq(const Atom& a) { return a.seq > 0 ? std::to_string(a.seq) : "."; }

// The archive's mmCIF form of the atoms: `cell` ("a b c alpha beta gamma"
// and the space group's name, or empty for none), the connection rows, the
// atom rows.
inline std::string cif_model(const std::vector<Atom>& atoms, const std::vector<Conn>& conns,
                             const std::string& cell = "", const std::string& group = "") {
  std::string out = "data_MODEL\n";
  if (!cell.empty()) {
    std::istringstream in(cell);
    for (const char* i :
         {"length_a", "length_b", "length_c", "angle_alpha", "angle_beta", "angle_gamma"}) {
      std::string v;
      in >> v;
      out += std::string("_cell.") + i + " " + v + "\n";
    }
    out += "_symmetry.space_group_name_H-M '" + group + "'\n";
  }
  if (!conns.empty()) {
    out += "loop_\n";
    for (const char* i :
         {"id", "conn_type_id", "ptnr1_label_asym_id", "ptnr1_label_comp_id", "ptnr1_label_seq_id",
          "ptnr1_label_atom_id", "pdbx_ptnr1_label_alt_id", "ptnr1_symmetry", "ptnr2_label_asym_id",
          "ptnr2_label_comp_id", "ptnr2_label_seq_id", "ptnr2_label_atom_id",
          "pdbx_ptnr2_label_alt_id", "ptnr1_auth_asym_id", "ptnr1_auth_seq_id",
          "ptnr2_auth_asym_id", "ptnr2_auth_seq_id", "ptnr2_symmetry", "pdbx_dist_value"})
      out += std::string("_struct_conn.") + i + "\n";
    int id = 0;
    const auto alt = [](const Atom& x) { return x.alt.empty() ? std::string("?") : x.alt; };
    for (const Conn& c : conns)
      out += "covale" + std::to_string(++id) + " covale " + c.a->chain + " " + c.a->res + " " +
             label_seq(*c.a) + " " + c.a->name + " " + alt(*c.a) + " 1_555 " + c.b->chain + " " +
             c.b->res + " " + label_seq(*c.b) + " " + c.b->name + " " + alt(*c.b) + " " +
             c.a->chain + " " + std::to_string(c.a->num) + " " + c.b->chain + " " +
             std::to_string(c.b->num) + " " + c.symm2 + " " + c.dist + "\n";
    out += "#\n";
  }
  out += "loop_\n";
  for (const char* i :
       {"group_PDB", "id", "type_symbol", "label_atom_id", "label_alt_id", "label_comp_id",
        "label_asym_id", "label_entity_id", "label_seq_id", "Cartn_x", "Cartn_y", "Cartn_z",
        "occupancy", "B_iso_or_equiv", "auth_seq_id", "auth_asym_id", "pdbx_PDB_model_num"})
    out += std::string("_atom_site.") + i + "\n";
  char line[200];
  int serial = 0;
  for (const Atom& a : atoms) {
    // As the archive writes them, names with an apostrophe in double quotes.
    const std::string name = a.name.find('\'') == std::string::npos ? a.name : '"' + a.name + '"';
    // Each chain an entity of its own.
    std::snprintf(
        line, sizeof line, "%s %d %s %s %s %s %s %d %s %.3f %.3f %.3f %.2f 20.00 %d %s 1\n",
        a.record.c_str(), ++serial, a.element.c_str(), name.c_str(),
        a.alt.empty() ? "." : a.alt.c_str(), a.res.c_str(), a.chain.c_str(), a.chain[0] - 'A' + 1,
        label_seq(a).c_str(), a.x, a.y, a.z, a.occ, a.num, a.chain.c_str());
    out += line;
  }
  return out + "#\n";
}

// Rotates the atoms of residues from_num on by `deg` degrees about the
// axis from p through q.
inline void turn(std::vector<Atom>& atoms, int from_num, const Atom p, const Atom q, float deg) {
  float k[3] = {q.x - p.x, q.y - p.y, q.z - p.z};
  const float n = std::sqrt(k[0] * k[0] + k[1] * k[1] + k[2] * k[2]);
  for (float& c : k) c /= n;
  const float c = std::cos(deg * 3.14159265f / 180.0f), s = std::sin(deg * 3.14159265f / 180.0f);
  for (Atom& a : atoms) {
    if (a.num < from_num) continue;
    const float v[3] = {a.x - p.x, a.y - p.y, a.z - p.z};
    const float dot = k[0] * v[0] + k[1] * v[1] + k[2] * v[2];
    const float cr[3] = {k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2],
                         k[0] * v[1] - k[1] * v[0]};
    a.x = p.x + v[0] * c + cr[0] * s + k[0] * dot * (1 - c);
    a.y = p.y + v[1] * c + cr[1] * s + k[1] * dot * (1 - c);
    a.z = p.z + v[2] * c + cr[2] * s + k[2] * dot * (1 - c);
  }
}

// Torsion a-b-c-d in degrees, -180 to 180.
inline float torsion(const Atom& a, const Atom& b, const Atom& c, const Atom& d) {
  const float b1[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, b2[3] = {c.x - b.x, c.y - b.y, c.z - b.z},
              b3[3] = {d.x - c.x, d.y - c.y, d.z - c.z};
  const auto cross = [](const float* u, const float* v, float* w) {
    w[0] = u[1] * v[2] - u[2] * v[1];
    w[1] = u[2] * v[0] - u[0] * v[2];
    w[2] = u[0] * v[1] - u[1] * v[0];
  };
  float n1[3], n2[3], m[3];
  cross(b1, b2, n1);
  cross(b2, b3, n2);
  cross(n1, n2, m);
  const float nb2 = std::sqrt(b2[0] * b2[0] + b2[1] * b2[1] + b2[2] * b2[2]);
  const float y = (m[0] * b2[0] + m[1] * b2[1] + m[2] * b2[2]) / nb2;
  const float x = n1[0] * n2[0] + n1[1] * n2[1] + n1[2] * n2[2];
  return std::atan2(y, x) * 180.0f / 3.14159265f;
}

}  // namespace modeltext
