// Residue classes from residue names: against the lists built into the
// program, and against the run-time table com_res_type that starts from the
// same lists and that the monomer-library loader may extend.  Class codes are
// codes of the CIF residue-type vocabulary: 1 other, 3 peptide, 5 nucleotide,
// 7 sugar, 9 solvent, 10 polymer monomer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/array.h"
#include "runtime/fixed_text.h"

// Slot ranges of rname_t: 1-400 peptides, 401-600 polymer monomers,
// 601-800 nucleotides, 801-1000 sugars.
inline constexpr int MAXRNAME = 1000;
inline constexpr int RNAME_PEPT0 = 0;
inline constexpr int RNAME_POLY0 = 400;
inline constexpr int RNAME_NUCL0 = 600;
inline constexpr int RNAME_SUGR0 = 800;

// Filled by foundation (built-in lists; the library loader may extend it); read by coords.
struct com_res_type_t {
  int32_t nrname_t;   // peptides
  int32_t nrnamep_t;  // polymer monomers
  int32_t nrnamed_t;  // nucleotides
  int32_t nrnames_t;  // sugars
  rt::Array1<rt::FixedText<8>, MAXRNAME> rname_t;
};
extern com_res_type_t com_res_type;

// Filled by foundation (cleared with the built-in lists) and by the
// monomer-library loading; read by the name corrections of the coordinate
// readers.
struct com_water_name_t {
  int32_t cut_name_monomer;  // 1: the library holds a monomer named kCutWaterName
};
extern com_water_name_t com_water_name;

// Writes com_res_type, com_water_name.
void init_res_type_tab_();
// Class of monn from the built-in lists; only its first three characters count.
// line is a work text the routine does not need; ierr is always 0.
void get_standard_res_type_(int32_t mdoc, std::string_view line, std::string_view monn, int32_t& itype,
                            int32_t& ierr);
// Class of the whole 8-character monn from com_res_type.
void get_ini_res_type_(int32_t mdoc, std::string_view line, std::string_view monn, int32_t& itype,
                       int32_t& ierr);
// Lists the table through msgdoc_.
void write_lib_res_type_tab_(int32_t mdoc, int32_t& ierr);

namespace foundation {

// Residue-name lists that several readers consult.  Names compare blank-padded,
// so a name from an 8-character field matches its 3-character entry.

// Peptides whose main-chain nitrogen is part of a ring: their link to the
// residue before is a "PTRANS" connection.
inline constexpr std::string_view kProlineLike[] = {"PRO",   "5HP",   "DPR",   "PCA",
                                                    "PRO-D", "5HP-D", "HYP-D", "HYP"};
// Peptides with a methylated main-chain nitrogen: "NMTRANS" connections.
inline constexpr std::string_view kNMethylated[] = {"BMT", "SAR", "MLE", "MVA"};
// The solvent class of the built-in lists: water and the dummy-atom residue.
inline constexpr std::string_view kSolvent[] = {"HOH", "DUM"};
// What the PDB reader takes as water when grouping and ending chains: the
// solvent names and heavy water.
inline constexpr std::string_view kPdbWater[] = {"HOH", "DOD", "DUM"};

// Other names that files give water, each read as "HOH": the archive's
// older ones, heavy water, and the water models of simulation programs
// (whose four-letter names fill PDB columns 18-21).
inline constexpr std::string_view kWaterNames[] = {"WAT", "DOD", "H2O", "TIP3", "TIP4", "TIP5",
                                                   "TP3", "T3P", "T4P", "SOL",  "SPC"};
// TIP3, TIP4 and TIP5 as writers that keep three characters of a residue
// name cut them (ParmEd's PDB writer): a water too, read as "HOH", unless
// the monomer library in use holds a monomer of that name, which the
// file's residue then names.
inline constexpr std::string_view kCutWaterName = "TIP";
// Names that files give a water's two hydrogens besides H1 and H2: heavy
// water's deuteriums and the hydrogens of GROMACS's water models (whose
// oxygen OW the name correction reads as O with every other heavy site).
struct WaterHydrogenName {
  std::string_view name;
  std::string_view read_as;
};
inline constexpr WaterHydrogenName kWaterHydrogenNames[] = {
    {"D1", "H1"}, {"D2", "H2"}, {"HW1", "H1"}, {"HW2", "H2"}};

// The polymer caps of the built-in lists (the polymer class): the end groups
// and other pieces that a peptide chain holds besides its amino acids.
inline constexpr std::string_view kPolymerCaps[] = {"STA", "DFO", "FOR", "BOC", "IVA", "NME",
                                                    "ACE", "DAM", "ETA", "ANI", "ADD", "ACB",
                                                    "TFA", "DIP", "MPR", "CXM", "BAL"};
// The nucleotides that older files name by one letter, alone or after "+".
inline constexpr std::string_view kOneLetterNucleotides[] = {"A",  "C",  "G",  "T",  "U", "I",
                                                             "+A", "+C", "+G", "+T", "+U"};

// The standard residues of the archive, which its PDB form writes as ATOM
// records; every other residue is written as HETATM.
inline constexpr std::string_view kPdbStandard[] = {
    "ALA", "ARG", "ASN", "ASP", "CYS", "GLN", "GLU", "GLY", "HIS", "ILE", "LEU", "LYS",
    "MET", "PHE", "PRO", "SER", "THR", "TRP", "TYR", "VAL", "UNK", "A",   "C",   "G",
    "I",   "U",   "N",   "DA",  "DC",  "DG",  "DI",  "DT",  "DU",  "DN"};

template <std::size_t K>
bool name_in(std::string_view name, const std::string_view (&list)[K]) {
  for (std::string_view n : list)
    if (rt::text_eq(name, n)) return true;
  return false;
}

// A residue the archive writes as ATOM, or an older file's one-letter
// nucleotide: another writer's HETATM record for it (OpenMM writes T so)
// marks no modified residue.
inline bool standard_residue_name(std::string_view rname) {
  return name_in(rname, kPdbStandard) || name_in(rname, kOneLetterNucleotides);
}

// Names that force fields give a standard amino acid in one of its
// protonation or bonding states (histidine by its protonated nitrogens,
// cystine, deprotonated cysteine, neutral aspartate, glutamate and lysine),
// each beside the residue it stands for.
struct ForceFieldName {
  std::string_view name;
  std::string_view standard;
};
inline constexpr ForceFieldName kForceFieldNames[] = {
    {"HID", "HIS"}, {"HIE", "HIS"}, {"HIP", "HIS"}, {"HSD", "HIS"}, {"HSE", "HIS"}, {"HSP", "HIS"},
    {"CYX", "CYS"}, {"CYM", "CYS"}, {"ASH", "ASP"}, {"GLH", "GLU"}, {"LYN", "LYS"}};
// The standard residue that a force-field name stands for; empty for any
// other name.
inline std::string_view force_field_standard(std::string_view rname) {
  for (const ForceFieldName& f : kForceFieldNames)
    if (rt::text_eq(rname, f.name)) return f.standard;
  return {};
}

inline bool is_proline_like(std::string_view rname) { return name_in(rname, kProlineLike); }
inline bool is_n_methyl(std::string_view rname) { return name_in(rname, kNMethylated); }
inline bool is_water_name(std::string_view rname) { return name_in(rname, kWaterNames); }
// The library's name of a water hydrogen named otherwise; empty for any other
// name.
inline std::string_view water_hydrogen_name(std::string_view name) {
  for (const WaterHydrogenName& w : kWaterHydrogenNames)
    if (rt::text_eq(name, w.name)) return w.read_as;
  return {};
}
// True for kCutWaterName where it stands for water.  A PDB reader asks only
// where column 21 is blank: a fourth letter there makes another name.
inline bool is_cut_water_name(std::string_view rname) {
  return com_water_name.cut_name_monomer == 0 && rt::text_eq(rname, kCutWaterName);
}

}  // namespace foundation
