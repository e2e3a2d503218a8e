// Name repair shared by the readers and writers: element symbol and atom
// class from a PDB-style atom name, unique chain identifiers for the chains
// of the model, and quoting an atom name for a CIF file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/fixed_text.h"

// The 60 characters handed out, in order, as new identifier characters
// (upper-case Q is absent).
inline constexpr std::string_view kChainIdAlphabet =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPRSTUVWXYZ123456789";

// True when the two characters are a code of the heavy-element list.
bool is_heavy_element(char c1, char c2);
// Class of an element symbol: "$" heavy element, "H" hydrogen, "C" otherwise.
void set_ctype_(std::string_view asymb, rt::TextRef ctype);
// Normalises a 4-character atom name in PDB column layout and its residue
// name, and gives the element symbol and the class of the atom.
void corr_name_(rt::TextRef aname, rt::TextRef rname, rt::TextRef asymb, rt::TextRef ctype);
// Chain identifiers of asym_part made unique; the residue keys of
// resid_inf follow.  inew as described with each; ierr is always 0.
// Writes asym_part, resid_inf.
void check_chain_id_pdb_(int32_t mdoc, int32_t& inew, int32_t& ierr);
// Writes asym_part, resid_inf.
void check_chain_id_cif_(int32_t mdoc, int32_t& inew, int32_t& ierr);
// Writes asym_part, resid_inf.
void check_chain_id_seg_(int32_t mdoc, int32_t& inew, int32_t& ierr);
// Makes an atom name safe as a CIF value, in place.
void corr_name_cif_out_(rt::TextRef atom);

namespace foundation {

// The names under which the coordinate readers take a nucleotide's third
// phosphate oxygen at a 5' end and store it as "O3T", the name by which the
// later stages know a 5' phosphate: the older spelling's "O3P", the current
// spelling's "OP3" (the same atom), and "OXT" and "O3G" that some files give.
inline constexpr std::string_view kNucleotideTerminalOxygens[] = {"OXT", "O3P", "O3G", "OP3"};

// The monomer name of a nucleotide that older files name by one letter,
// alone or after "+": the deoxy names Cd, Ad, Td, Gd (identification turns
// one into its ribo name when the residue holds the 2' oxygen), Ur and Ir;
// empty for any other residue name.  Both coordinate readers rename by it,
// so that one model gets one monomer from either file form.
std::string_view one_letter_nucleotide_name(std::string_view rname);
// True for a name that one_letter_nucleotide_name gives.
bool is_one_letter_nucleotide_monomer(std::string_view name);
// The archive's name of a nucleotide that a force field names otherwise
// (CHARMM's ADE, CYT, GUA, THY and URA, URI as older files write uracil,
// give A, C, G, T and U; Amber's RNA names RA, RA5, RA3, ... give A, C, G
// and U, its DNA names DA5, DA3, ... give DA, DC, DG and DT); empty for any
// other residue name, and for an atom `aname` that bears the residue's
// name, which is an ion (RU).  Both coordinate readers rename by it before
// one_letter_nucleotide_name, and take such a residue, written as HETATM
// or without a record kind, as the nucleotide it names.
std::string_view force_field_nucleotide_name(std::string_view rname, std::string_view aname);

// The residue of dummy atoms, each of which the readers name "DUM" whatever
// the file calls it.  OPM marks the planes of a membrane by residues of an
// N and an O at one number: the n-th atom of such a residue is named
// "DUM", "DUM2" ... "DUM9", "DUMA" ... "DUMZ", so that its atoms stay
// apart by name (past 35 atoms "DUM" again).
inline constexpr std::string_view kDummyResidue = "DUM";
std::string_view dummy_atom_name(int32_t n);

// The two spellings of nucleotide atom names: the older one writes the
// sugar's prime as a star and the phosphate oxygens "O1P", "O2P", "O3P"
// ("O5*", "HO5*"); current files write the prime and "OP1", "OP2", "OP3".
enum class NucleotideStyle { None, Star, Prime };

// The spelling a name shows, None when it shows neither.
NucleotideStyle nucleotide_style(std::string_view name);
// The name in the given spelling; a name that shows neither, or a style of
// None, comes back as it is.
std::string nucleotide_name_as(std::string_view name, NucleotideStyle style);
// Whether two atom names (blank-padded or not) name one atom, in the same
// spelling or one in each.
bool same_nucleotide_atom(std::string_view a, std::string_view b);

}  // namespace foundation
