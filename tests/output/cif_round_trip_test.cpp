// Real entries read by the PDB or mmCIF reader, written as mmCIF and read
// back: the same atoms, names, coordinates to the written precision,
// chains, entities and links; and the written file as any CIF reader sees
// it, every loop's values lining up with its items.
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "coords/entity_descr.h"
#include "coords/pdb_reader.h"
#include "coords/read_atoms.h"
#include "output/cif_out_atoms.h"
#include "output_fixture.h"

namespace {

struct AtomKey {
  std::string name, alt, res, num, chain;
  float xyz[3];
};

// What a round trip must keep.
struct Snapshot {
  std::vector<AtomKey> atoms;
  std::vector<std::string> chains, entities, links;
};

Snapshot snapshot() {
  Snapshot s;
  for (int32_t ia = 1; ia <= atom_inf.n_atom; ++ia) {
    const int32_t ir = atom_inf.i_resid(ia);
    AtomKey k{atom_inf.atm_name(ia).str(),
              atom_inf.id_alt(ia).str(),
              resid_inf.res_name(ir).str(),
              std::string(resid_inf.res_num_pdb(ir).view().substr(2, 5)),
              asym_part.group_id(resid_inf.i_chain(ir)).str(),
              {}};
    for (int c = 0; c < 3; ++c) k.xyz[c] = atom_crd.xyz_crd(c + 1, ia);
    s.atoms.push_back(k);
  }
  for (int32_t ig = 1; ig <= asym_part.n_group; ++ig)
    s.chains.push_back(asym_part.group_id(ig).str() + "/" + asym_part.chain_id(ig).str());
  for (int32_t e = 1; e <= cif_entity_list.n_chn_ent; ++e)
    s.entities.push_back(cif_entity_list.ent_chain_id(e).str() + "/" +
                         cif_entity_list.ent_chain_type(e).str() + "/" +
                         std::to_string(cif_entity_list.ent_nres_chain(e)));
  for (int32_t l = 1; l <= link_inf.ln_n; ++l) {
    // The sequence rows of our own file give their connections (PTRANS,
    // CIS, ...) as link rows as well; those restate the chains' connections.
    if (link_inf.ln_ent(l) == "E") continue;
    // The identifier is one CIF word: blanks around it do not survive.
    s.links.push_back(std::string(rt::trim_right(link_inf.ln_id(l).view().substr(
                          link_inf.ln_id(l).view().find_first_not_of(' ') % 8))) +
                      "/" + link_inf.ln_atom1(l).str() + "/" + link_inf.ln_atom2(l).str() + "/" +
                      std::to_string(link_inf.ln_1ires(l)) + "/" +
                      std::to_string(link_inf.ln_2ires(l)));
  }
  return s;
}

class CifRoundTrip : public outtest::Files {
 protected:
  // Reads a model file of the shared data (PDB or mmCIF by extension).
  int32_t read_model(const std::string& file) {
    const std::string dir = "/work/shared/data/models/";
    float cell[6] = {0, 0, 0, 0, 0, 0};
    int32_t ierr = 0;
    captured([&] {
      if (file.size() > 4 && file.substr(file.size() - 4) == ".pdb") {
        get_pdb_(99, dir + file, 0, cell, 'N', 'N', 'N', ierr);
        if (ierr == 0) creat_ent_descr_(99, " ", ierr);
      } else {
        ierr = 1;
        read_atoms_(99, dir, file.substr(0, file.size() - 4), "cif", 0, cell, ierr);
      }
    });
    rt::close_all_units();
    return ierr == 8 ? 0 : ierr;  // 8: read, the file names no space group
  }
  int32_t write_and_reread() {
    int32_t ierr = 9;
    write_atoms_(99, dir_, "out", "cif", ierr);
    if (ierr != 0) return ierr;
    int32_t e2 = 0;
    init_atm_inf_(0, e2);
    float cell[6] = {0, 0, 0, 0, 0, 0};
    ierr = 1;
    captured([&] { read_atoms_(99, dir_, "out", "cif", 0, cell, ierr); });
    return ierr;
  }
};

const char* const kEntries[] = {"1A8O.pdb", "2BEG.pdb", "1LCD.pdb", "1A8O.cif", "1SSU_mod.cif"};

}  // namespace

TEST_F(CifRoundTrip, RealEntriesReadBackUnchanged) {
  for (const char* entry : kEntries) {
    SetUp();
    ASSERT_EQ(read_model(entry), 0) << entry;
    const Snapshot before = snapshot();
    ASSERT_GT(before.atoms.size(), 0u) << entry;
    ASSERT_EQ(write_and_reread(), 0) << entry;
    const Snapshot after = snapshot();
    ASSERT_EQ(after.atoms.size(), before.atoms.size()) << entry;
    int bad = 0;
    for (std::size_t i = 0; i < before.atoms.size() && bad < 5; ++i) {
      const AtomKey &a = before.atoms[i], &b = after.atoms[i];
      // The mmCIF reader names every water atom without a hydrogen element
      // column "O"; that is its rule for any mmCIF file, not the writer's.
      if (a.res.rfind("HOH", 0) == 0 && a.name[0] == 'H') continue;
      const bool same = a.name == b.name && a.alt == b.alt && a.res == b.res && a.num == b.num &&
                        a.chain == b.chain && std::fabs(a.xyz[0] - b.xyz[0]) <= 0.0006f &&
                        std::fabs(a.xyz[1] - b.xyz[1]) <= 0.0006f &&
                        std::fabs(a.xyz[2] - b.xyz[2]) <= 0.0006f;
      if (!same) {
        ++bad;
        ADD_FAILURE() << entry << " atom " << i + 1 << ": " << a.name << a.res << a.num << a.chain
                      << " read back as " << b.name << b.res << b.num << b.chain;
      }
    }
    EXPECT_EQ(after.chains, before.chains) << entry;
    EXPECT_EQ(after.entities, before.entities) << entry;
    EXPECT_EQ(after.links, before.links) << entry;
    TearDown();
  }
}

TEST_F(CifRoundTrip, EveryLoopLinesUpWithItsItems) {
  for (const char* entry : kEntries) {
    SetUp();
    ASSERT_EQ(read_model(entry), 0) << entry;
    int32_t ierr = 9;
    write_atoms_(99, dir_, "out", "cif", ierr);
    ASSERT_EQ(ierr, 0) << entry;
    const std::vector<outtest::Loop> loops =
        outtest::cif_loops(outtest::file_lines(dir_ + "out.cif"));
    ASSERT_GE(loops.size(), 3u) << entry;  // entities, chains, atom sites at least
    for (const outtest::Loop& l : loops) {
      ASSERT_FALSE(l.items.empty()) << entry;
      EXPECT_EQ(l.values.size() % l.items.size(), 0u) << entry << " loop " << l.items[0];
      for (const std::string& v : l.values)
        EXPECT_FALSE(v.empty()) << entry << " loop " << l.items[0];
    }
    EXPECT_EQ(loops.back().values.size(),
              loops.back().items.size() * static_cast<std::size_t>(atom_inf.n_atom))
        << entry;
    TearDown();
  }
}

// Names with an apostrophe, an inner blank or a leading underscore are
// quoted or made visible so that the reader takes each as one value.
TEST_F(CifRoundTrip, OddAtomNamesReadBack) {
  outtest::ModelBuilder().chain("A").residue("RIB", 1, {"C1'", "_A_", "O 1", "N"});
  ASSERT_EQ(write_and_reread(), 0);
  ASSERT_EQ(atom_inf.n_atom, 4);
  EXPECT_EQ(atom_inf.atm_name_inp(1), "C1'");
  EXPECT_EQ(atom_inf.atm_name_inp(2), "_A_");
  EXPECT_EQ(atom_inf.atm_name_inp(3), "O_1");
  EXPECT_EQ(atom_inf.atm_name_inp(4), "N");
}
