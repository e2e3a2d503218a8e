// A program may call the pipeline more than once: each run must write what
// it would write as the first run of its process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "model_text.h"
#include "pipeline_fixture.h"

namespace {

std::string expected(const std::string& name) {
  return file_text(std::string(ORB_TEST_SOURCE_DIR) + "/expected/" + name);
}

// The entries run first leave torsions and their codes in residue slots that
// the small entry's residues use without setting (CB of every residue):
// those must come out unset, as in the files checked by hand.
TEST(RunOrder, SmallEntryWritesTheSameFilesAfterOtherRuns) {
  for (const char* first : {"1SSU_mod.pdb", "1A8O.pdb"}) {
    SCOPED_TRACE(first);
    TempDir before;
    pipetest::Options o;
    o.in = pipetest::data(first);
    pipetest::run(o, before.path());

    TempDir dir;
    o.in = pipetest::data("disordered.pdb");
    const pipetest::Outcome r = pipetest::run(o, dir.path());
    EXPECT_EQ(r.ierr, 0) << r.out;
    EXPECT_EQ(file_text(dir.file("out.str")), expected("disordered/out.str"));
    EXPECT_EQ(file_text(dir.file("out.rst")), expected("disordered/out.rst"));
    EXPECT_EQ(file_text(dir.file("out.crd")), expected("disordered/out.crd"));
  }
}

// Five residues of 1A8O in the archive's mmCIF form with `header` after the
// data block line: "full" gives every header item the reader takes (entry
// code, database codes, keywords, title, dates, resolution, R factors, the
// program, cell, fractionalisation matrix and space group), "none" gives
// none, "blank" names a space group without a name or number.
std::string cif_header_model(const std::string& kind) {
  const std::string model = modeltext::cif_model(modeltext::atoms_of("1A8O.pdb", 'A', 152, 156), {});
  std::string header;
  if (kind == "full")
    header =
        "_entry.id 1A8O\n"
        "_database_2.code_NDB NDB001\n"
        "_struct_keywords.text 'VIRAL PROTEIN'\n"
        "_struct.title 'HIV CAPSID C-TERMINAL DOMAIN'\n"
        "_audit.creation_date 1998-03-27\n"
        "_database_PDB_rev.date_original 1998-03-27\n"
        "_file_creation_date 1998-10-14\n"
        "_database_PDB.model 1\n"
        "_database_PDB.remark_resolution 1.70\n"
        "_database_PDB.remark_R_factor 0.210\n"
        "_diffrn.ambient_temp 100\n"
        "_diffrn_radiation_wavelength.wavelength 0.98\n"
        "_refine.ls_d_res_low 20.0\n"
        "_refine.ls_d_res_high 1.70\n"
        "_reflns.d_resolution_high 1.70\n"
        "_reflns.d_resolution_low 20.0\n"
        "_refine.ls_R_factor_all 0.220\n"
        "_refine.ls_R_factor_obs 0.210\n"
        "_refine.ls_R_factor_R_free 0.250\n"
        "_reflns.observed_criterion_sigma_F 2.0\n"
        "_reflns.observed_criterion_sigma_I 1.0\n"
        "_computing.structure_refinement 'X-PLOR 3.8'\n"
        "_derivative.scale1 1.5\n_derivative.scale2 0.5\n_derivative.Toverall 2.0\n"
        "_cell.length_a 41.980\n_cell.length_b 41.980\n_cell.length_c 88.920\n"
        "_cell.angle_alpha 90.00\n_cell.angle_beta 90.00\n_cell.angle_gamma 90.00\n"
        "_atom_sites.fract_transf_matrix[1][1] 0.023821\n_atom_sites.fract_transf_matrix[1][2] 0.000000\n"
        "_atom_sites.fract_transf_matrix[1][3] 0.000000\n_atom_sites.fract_transf_matrix[2][1] 0.000000\n"
        "_atom_sites.fract_transf_matrix[2][2] 0.023821\n_atom_sites.fract_transf_matrix[2][3] 0.000000\n"
        "_atom_sites.fract_transf_matrix[3][1] 0.000000\n_atom_sites.fract_transf_matrix[3][2] 0.000000\n"
        "_atom_sites.fract_transf_matrix[3][3] 0.011246\n_atom_sites.fract_transf_vector[1] 0.00000\n"
        "_atom_sites.fract_transf_vector[2] 0.00000\n_atom_sites.fract_transf_vector[3] 0.00000\n"
        "_symmetry.space_group_name_H-M 'P 43 21 2'\n"
        "_symmetry.Int_Tables_number 96\n"
        "_symmetry.cell_setting_number 1\n";
  else if (kind == "blank")
    header = "_symmetry.space_group_name_H-M ''\n";
  return "data_MODEL\n" + header + model.substr(model.find('\n') + 1);
}

// The same residues as a PDB file: "full" with the entry's header, title,
// compound, resolution and R value remarks, HET and FORMUL rows, model
// number, cell, space group and SCALE records; "none" the atom records
// alone; "blank" a CRYST1 record without a space group.
std::string pdb_header_model(const std::string& kind) {
  const auto record = [](std::string s) {
    s.resize(80, ' ');
    return s + "\n";
  };
  std::string header;
  if (kind == "full")
    header = record("HEADER    VIRAL PROTEIN                           27-MAR-98   1A8O") +
             record("TITLE     HIV CAPSID C-TERMINAL DOMAIN") + record("COMPND    MOL_ID: 1;") +
             record("REMARK   2 RESOLUTION.    1.70 ANGSTROMS.") +
             record("REMARK   3   R VALUE            (WORKING SET) : 0.215") +
             record("HET    MSE  A 151       8") + record("FORMUL   1  MSE    4(C5 H11 N O2 SE)") +
             record("CRYST1   41.980   41.980   88.920  90.00  90.00  90.00 P 43 21 2     8") +
             record("SCALE1      0.023821  0.000000  0.000000        0.00000") +
             record("SCALE2      0.000000  0.023821  0.000000        0.00000") +
             record("SCALE3      0.000000  0.000000  0.011246        0.00000") + record("MODEL        1");
  else if (kind == "blank")
    header = record("CRYST1   41.980   41.980   88.920  90.00  90.00  90.00");
  return header + modeltext::pdb_atoms(modeltext::atoms_of("1A8O.pdb", 'A', 152, 156)) + "END\n";
}

// A run after another writes what it writes after a run of any other file:
// nothing a reader sets only where the file gives it may be left over from
// the run before (the header of the files written, the cell and the
// symmetry of the restraints).  No run of a process can be its first, so
// each file is run after each of the three, and the space group that a
// file without one names is pinned as it is written.
TEST(RunOrder, HeaderOfTheRunBeforeIsNotCarriedOver) {
  TempDir models;
  const char* kinds[] = {"full", "none", "blank"};
  for (const char* kind : kinds) {
    models.write(std::string(kind) + ".cif", cif_header_model(kind));
    models.write(std::string(kind) + ".pdb", pdb_header_model(kind));
  }
  const auto outputs = [&](const std::string& file, const std::string& dir) {
    pipetest::Options o;
    o.in = models.file(file);
    const pipetest::Outcome r = pipetest::run(o, dir);
    return std::to_string(r.ierr) + "\n" + file_text(dir + "/out.crd") + file_text(dir + "/out.str") +
           file_text(dir + "/out.rst");
  };
  for (const char* form : {".cif", ".pdb"}) {
    for (const char* second : kinds) {
      std::string after_first;
      for (const char* first : kinds) {
        SCOPED_TRACE(std::string(second) + form + " after " + first + form);
        TempDir before, after;
        outputs(first + std::string(form), before.path());
        const std::string written = outputs(second + std::string(form), after.path());
        if (after_first.empty())
          after_first = written;
        else
          EXPECT_EQ(written, after_first);
        if (std::string(second) == "blank" && std::string(form) == ".cif") {
          // A blank name without a number gives no group: P 1, as a file
          // without the item has.
          EXPECT_NE(written.find("_symmetry.space_group_name_H-M  'P 1'\n_symmetry.Int_Tables_number      1\n"),
                    std::string::npos)
              << written;
          TempDir none;
          EXPECT_EQ(written, outputs("none.cif", none.path()));
        }
      }
    }
  }
}

// The thiazolium model with the ends of its two side chains moved out of
// the ring plane (C5B up, C8 down by 0.3 A): a run builds TZM from these
// coordinates, so its ideal coordinates differ from those of the model as
// given, and so do the hydrogens placed by them.
std::string thiazolium_bent() {
  std::string text = file_text(pipetest::data("built_ligands/thiazolium.pdb"));
  const auto move = [&](const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
  };
  move("  13.235   8.678  10.000", "  13.235   8.678  10.300");
  move("   6.566  11.184  10.000", "   6.566  11.184   9.700");
  return text;
}

// Ubiquitin with HIS 68 named HID, without its first residue: the residue
// numbers of the model tables all move by one from those of the whole model.
std::string ubiquitin_hid_without_met1() {
  std::string out;
  for (const std::string& l :
       pipetest::lines_of(file_text(pipetest::data("peers/renamed_and_sorted/1ubq_hid.pdb"))))
    if (!(l.starts_with("ATOM") && l.substr(17, 9) == "MET A   1")) out += l + "\n";
  return out;
}

// PRO 19 and SER 20 of the serine with an atom SER lacks, that atom (CX)
// the model's last.
std::string extra_atom_last() {
  std::string out, cx;
  for (const std::string& l :
       pipetest::lines_of(file_text(pipetest::data("peers/ser_extra_atom.pdb")))) {
    if (l.starts_with("ATOM") && l.substr(17, 3) == "ASP") continue;
    if (l.starts_with("ATOM") && l.substr(12, 4) == " CX ") cx = l + "\n";
    else if (l.starts_with("END")) out += cx + l + "\n";
    else out += l + "\n";
  }
  return out;
}

// Rows of a structure file for atoms outside the tree of their monomer
// (back and forward 0), each as written from its hydrogen type on; and the
// rows of all atoms.
struct StrRows {
  std::vector<std::string> outside;
  int rows = 0;
};

StrRows str_rows(const std::string& text) {
  StrRows r;
  for (const std::string& line : pipetest::lines_of(text)) {
    if (line.size() < 40 || line[0] != ' ' || !std::isdigit(static_cast<unsigned char>(line[5])))
      continue;
    ++r.rows;
    if (pipetest::field(line, 15, 21) == "0" && pipetest::field(line, 22, 28) == "0")
      r.outside.push_back(line.substr(7, 1) + " " + line.substr(43));
  }
  return r;
}

// Every hydrogen rebuilt: the structure file is read back for a second
// rebuilding pass, which reads the ideal coordinates of the monomers.  An
// atom the structure file gives no row (one its monomer does not name) must
// be written without types or values, as in a run of its own, not with
// those the run before read for the atom of that number, the model's last
// atom too; a monomer built again from other coordinates places its
// hydrogens by its own ideal coordinates, not by those of the monomer of
// that code built before; and a histidine under a force-field name has its
// ring hydrogens at occupancy 0 by its own residue's name, not by the name
// of the residue of its number in the run before.
TEST(RunOrder, EveryHydrogenRebuiltWritesTheSameFilesAfterOtherRuns) {
  TempDir models;
  const std::string bent = models.write("thiazolium_bent.pdb", thiazolium_bent());
  const std::string hid = pipetest::data("peers/renamed_and_sorted/1ubq_hid.pdb");
  struct Case {
    const char* label;
    std::string first, model;
    int rows, outside;  // atoms written, and those outside the tree of their monomer
  };
  const Case cases[] = {
      {"DNA chain ends (HO5', HO3') after a protein", pipetest::data("1A8O.pdb"),
       pipetest::data("1LCD.pdb"), 1651, 4},
      {"serine with an atom SER lacks, after a protein", pipetest::data("1A8O.pdb"),
       pipetest::data("peers/ser_extra_atom.pdb"), 41, 1},
      {"that atom the model's last", pipetest::data("1A8O.pdb"),
       models.write("ser_extra_atom_last.pdb", extra_atom_last()), 28, 1},
      {"HID 68 after the same model with one residue more", hid,
       models.write("1ubq_hid_from_2.pdb", ubiquitin_hid_without_met1()), 1400, 0},
      {"built ligand after the same code built from other coordinates",
       pipetest::data("built_ligands/thiazolium.pdb"), bent, 25, 0},
  };
  const auto run = [](const std::string& model, const std::string& dir) {
    pipetest::Options o;
    o.in = model;
    o.h = 'A';
    const pipetest::Outcome r = pipetest::run(o, dir);
    return std::to_string(r.ierr) + "\n" + file_text(dir + "/out.crd") +
           file_text(dir + "/out.str");
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    // The small entry's five residues, of other codes, each have their
    // hydrogens rebuilt: after it nothing of the model's code or of
    // `first`'s is kept from the runs before, so the model run after it is
    // the reference, and `first` after it starts as a run of its own.
    TempDir between, alone, first, after;
    run(pipetest::data("disordered.pdb"), between.path());
    const std::string reference = run(c.model, alone.path());
    run(pipetest::data("disordered.pdb"), between.path());
    run(c.first, first.path());
    const std::string written = run(c.model, after.path());
    EXPECT_EQ(written, reference);
    const StrRows rows = str_rows(file_text(after.file("out.str")));
    EXPECT_EQ(rows.rows, c.rows);
    EXPECT_EQ(static_cast<int>(rows.outside.size()), c.outside);
    for (const std::string& row : rows.outside)
      EXPECT_EQ(row, ". .       0.00    0.00    0.00   0.00   0.00");
  }
}

// Under each flag of the model's hydrogens (kept, removed on reading), a run
// after runs of other models, under the same flag, writes what the same
// model writes first in the process: a DNA entry with its chain-end
// hydrogens after a protein, and a protein with hydrogens of older names
// after the DNA.
TEST(RunOrder, EachHydrogenFlagWritesTheSameFilesAfterOtherRuns) {
  const struct {
    const char* label;
    const char* first;
    const char* model;
  } pairs[] = {
      {"DNA after a protein", "1A8O.pdb", "1LCD.pdb"},
      {"older hydrogen names after DNA", "1LCD.pdb", "peers/old_h_names.pdb"},
  };
  for (const char h : {'Y', 'N'}) {
    const auto run = [h](const std::string& model, const std::string& dir) {
      pipetest::Options o;
      o.in = pipetest::data(model);
      o.h = h;
      const pipetest::Outcome r = pipetest::run(o, dir);
      return std::to_string(r.ierr) + "\n" + file_text(dir + "/out.crd") +
             file_text(dir + "/out.str") + file_text(dir + "/out.rst");
    };
    for (const auto& pair : pairs) {
      SCOPED_TRACE(std::string(pair.label) + ", h_flag " + h);
      TempDir between, alone, first, after;
      run("disordered.pdb", between.path());
      const std::string reference = run(pair.model, alone.path());
      ASSERT_EQ(reference.substr(0, 2), "0\n");
      run(pair.first, first.path());
      EXPECT_EQ(run(pair.model, after.path()), reference);
    }
  }
}

// A modification the library lacks is reported once for each monomer that
// asks for it, however many of its residues do: each run loads the library
// again and reports it again.
TEST(RunOrder, ModificationTheLibraryLacksIsReportedInEachRun) {
  TempDir models;
  char modres[96];
  std::snprintf(modres, sizeof modres, "%-72s%s\n", "MODRES 1AH7 SER A   26  SER", "NOSUCH");
  pipetest::Options o;
  o.in = models.write("modres.pdb", modres + file_text(pipetest::data("disordered.pdb")));
  const std::string line =
      "  WARNING: the library has no modification NOSUCH: SER is described without it\n";
  for (const char* run : {"first", "second"}) {
    SCOPED_TRACE(run);
    TempDir dir;
    const pipetest::Outcome r = pipetest::run(o, dir.path());
    EXPECT_EQ(r.ierr, 0) << r.out;
    EXPECT_NE(r.out.find(line), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(line), r.out.rfind(line)) << r.out;
  }
}

// A program that calls the pipeline twice on one FIFO, written anew for
// each call: each call reads the model written for it, and the second
// model's writer finds its reader.  The writer waits for the call before to
// end, so that the two models never run together in the FIFO, and opens
// without blocking, so that it gives up once the calls are over.
TEST(RunOrder, EachCallOnOneFifoReadsTheModelWrittenForIt) {
  TempDir fifo_dir, first, second;
  const std::string fifo = fifo_dir.file("model");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string models[] = {file_text(pipetest::data("1SSU_mod.pdb")),
                                file_text(pipetest::data("disordered.pdb"))};
  std::atomic<int> calls_ended{0};
  std::atomic<bool> calls_over{false};
  int written = 0;
  std::thread writer([&] {
    for (const std::string& model : models) {
      int fd = -1;
      while (!calls_over &&
             (calls_ended < written || (fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) < 0))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (fd < 0) return;
      ::fcntl(fd, F_SETFL, 0);
      for (std::size_t at = 0; at < model.size();) {
        const ssize_t n = ::write(fd, model.data() + at, model.size() - at);
        if (n <= 0) break;
        at += static_cast<std::size_t>(n);
      }
      ::close(fd);
      ++written;
    }
  });
  pipetest::Options o;
  o.in = fifo;
  const pipetest::Outcome a = pipetest::call(o, first.path());
  ++calls_ended;
  const pipetest::Outcome b = pipetest::call(o, second.path());
  calls_over = true;
  writer.join();
  rt::close_all_units();

  EXPECT_EQ(written, 2) << "the second model found no reader";
  EXPECT_EQ(a.ierr, 0) << a.out;
  EXPECT_EQ(b.ierr, 0) << b.out;
  for (const char* f : {"out.crd", "out.str", "out.rst"}) {
    EXPECT_TRUE(file_text(first.file(f)) == expected(std::string("1SSU_mod/") + f)) << f;
    EXPECT_TRUE(file_text(second.file(f)) == expected(std::string("disordered/") + f)) << f;
  }
}

}  // namespace
