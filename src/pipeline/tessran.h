// The dictionary-preparation pipeline: one call takes a coordinate file and
// the monomer library to identified residues, links and modifications,
// restraints with rebuilt atoms, the restraint, structure and coordinate
// files, and a new library holding what the run added.
//
// What a calling program must provide
//  - The site files, through the environment: SYMINFO (the symmetry library
//    syminfo.lib), ATOMSF (the scattering factors atomsf.lib), CLIBD and
//    CINCL (the directory of environ.def and default.def).  The environment
//    script that the build writes (orbinate-env.sh) sets all four.  Without a
//    readable symmetry library the run is refused (status kFailed, nothing
//    read or written); without ATOMSF it ends through the error stop below.
//  - A main that goes through rt::run_main (runtime/run.h).  A file that
//    cannot be opened (the coordinate file, the library, an output file) and
//    the suite library's fatal errors end the whole run with rt::stop_run,
//    which run_main turns into the program's exit status 1 with the units
//    flushed and closed.  Outside run_main the stop is an uncaught exception
//    and the program aborts (exit status 134).
//  - Nothing between calls: each call starts from the shared tables'
//    initialisation and writes what the first call of a process would.  An
//    input given through a pipe or FIFO is read by the call for itself: the
//    next call naming the same FIFO reads what is written into it then.
//  - A run that fails, or is stopped on the way, removes every file it was
//    writing or could not finish; a file name longer than its 256-character
//    field is refused (status kFailed), never cut.
//
// The arguments
//  mdoc           message code.  -999 (any value of -997 or below): the call
//                 starts the run itself (shared tables reset) and its
//                 messages go to standard output; mdoc is 0 afterwards.  997
//                 to 999 do the same, mdoc 1 afterwards.  Any other value is
//                 for a caller that has started the run itself (start_): 0 to
//                 98 messages on standard output, -996 to -1 only the error
//                 lines, 99 and above silent.
//  in_coord_file  the coordinate file, PDB or mmCIF (told apart by content).
//  out_file_cif   base name of the outputs: <base>.crd (mmCIF coordinates
//                 with entities), <base>.str (structure description) and
//                 <base>.rst (restraints).
//  file_lib2      the user's own monomer library, or "" for none.
//  cutoff         distance cut-off of the van der Waals step (an empty hook:
//                 no such restraints are written whatever its value).
//  dmin_spec      distance under which two atoms stand on a special
//                 position; (nearly) zero becomes 0.5.
//  prog_lib_path  the library directory: list/mon_lib_list.cif, one file a
//                 monomer, ener_lib.cif, mon_lib_ind.cif.  Given with or
//                 without its final '/'.
//  libs_path, libs_name, libs_ext   the synonym library file (path, name,
//                 extension), "" for none.
//  prog_name      the calling program's name.  Some names change the run:
//                 "kavlin" silences the progress lines, builds the new
//                 monomers quietly and refuses a model without a cell or
//                 space group (reader statuses 7-10 end the run); a name
//                 that begins with '?' leaves out the PostScript report
//                 <base>_<CODE>.ps of each new monomer; "dravneck" writes
//                 beside each report the monomer's coordinate files
//                 <base>_<CODE>.cif and <base>_<CODE>.pdb.  Any other name
//                 only labels the reports.
//  nospgr_input, cell_input   space-group number (0 none) and cell (a, b, c,
//                 alpha, beta, gamma; a of 1.0 or less: none) that replace
//                 the file's own.
//  lib_out        the name of the new library file.
//  new_           out: 'Y' when the new library was written.
//  fstop          out: 'Y' when that library holds a user monomer, a new
//                 monomer or a new link (the caller should look at it).
//  ierr           out: the status, see pipeline::k... below.
//
// The one-character flags, normalised in place (lower case accepted; any
// other value becomes the flag's default, named below for each).  The link
// flags are use flags: 0 switches their stage off, N reports the links found
// without entering them, D drops the links of the input file that join the
// pair found, Y enters the links.
//  conn_flag   links between consecutive residues of a chain: Y, D, 0 or N.
//              Default N.
//  cis_flag    Y a peptide whose measured torsion says cis (or trans) is
//              linked as such, N it keeps the link first chosen.  Default N.
//  lnk_flag    links by distance between other residues: Y, D, 0 or N.
//              Default N.
//  ss_flag     disulphide bridges (SG-SG of CYS or MPR) found by distance:
//              N, D or Y.  Default Y.
//  sugar_flag  links with a sugar: Y, D, N, or S only the glycosidic and
//              glycosylation links.  Default S.
//  chain_flag  Y the chains are rebuilt from the links found, N only when
//              sugar links were found.  Default N.
//  check_spec  Y atoms on special positions get their multiplicity, N they
//              are only reported.  Default N.
//  pept_flag   Y a PDB file's L-peptides with D geometry at CA are renamed
//              as D-peptides, N not.  Default N.
//  seg_flag    Y a PDB file's chains are taken from the segment
//              identifiers, N from the chain identifiers.  Default N.
//  h_flag      Y hydrogens of the model kept, N removed on reading (PDB
//              and mmCIF alike, by their element), A every hydrogen of the
//              monomers rebuilt: the model's own hydrogens give way, one
//              WARNING counting them (no restraint file).  Default Y.
//  rflag       Y missing atoms rebuilt in a second pass (no restraint
//              file), N not.  Default N.
//  form        F the restraint file as text, U as unformatted records.
//              Default F.
//  symm_flag   Y or C links to symmetry copies restrained, N left out.
//              Default N.
//  list        M messages, S silent (mdoc becomes 999; the progress lines
//              remain), L long listing, T trace dumps after every stage.
//              Default M.
//  check       residues compared with their library description: Y all, N
//              all but polymers, sugars and solvent, 0 none.  Default N.
//  coor        Y a new monomer takes its ideal values from the coordinates,
//              N the builder's own values.  Default N.
//  srch        G a residue that fits no description is searched for by its
//              bond graph among the library's monomers; Y, A or N no such
//              search.  Default N.
#pragma once

#include <cstdint>
#include <string_view>

void tessran_(int32_t& mdoc, std::string_view in_coord_file, std::string_view out_file_cif,
              std::string_view file_lib2, float cutoff, float& dmin_spec, char& conn_flag, char& cis_flag,
              char& lnk_flag, char& chain_flag, char& pept_flag, char& check_spec, char& h_flag, char& rflag,
              char& form, char& symm_flag, char& ss_flag, char& sugar_flag, char& list, char& check, char& coor,
              char& srch, char& seg_flag, std::string_view prog_lib_path, std::string_view libs_path,
              std::string_view libs_name, std::string_view libs_ext, std::string_view prog_name,
              int32_t nospgr_input, const float* cell_input, std::string_view lib_out, char& new_, char& fstop,
              int32_t& ierr);

namespace pipeline {

// The statuses tessran_ returns in ierr.  A stage that fails prints its own
// message (an " ERROR:" line) and the run ends there; the restraint stage's
// status is reported after the new library is written.  Stages before the
// restraints write no file but the reports of the monomers identification
// built (each finished before the next stage runs, and kept), so whether 1
// means "stopped early" or "files written, something not described" is told
// by the coordinate file: it exists only when the restraint stage ran (an
// output it could not finish is removed, never left looking whole).
inline constexpr int32_t kOk = 0;  // every residue, link and atom described; every file whole
// A stage before the restraints failed and no coordinate, structure,
// restraint or library file was written (a new monomer's report stays): no
// symmetry library, the library could not be loaded, the coordinate file
// could not be read (a full table, a bad record), an atom's occupancy is
// below 0 (the file's occupancy column holds something else, such as a PQR
// file's charges; its ERROR line names the atom), a residue could not be
// identified nor built (e.g. its element is missing from the energy
// library), the connectivity failed.  Or the restraint stage ran and its
// files are written, but an atom is unknown, a residue or link could not be
// described, or the new library or a report could not be written whole.
inline constexpr int32_t kFailed = 1;
// The library holds no monomer, the mmCIF reader could not read the file's
// header, or the coordinate file is compressed (refused before the library
// is loaded).
inline constexpr int32_t kEmptyLibraryOrBadHeader = 2;
inline constexpr int32_t kBadCifRows = 3;       // the mmCIF reader could not read the atom rows
inline constexpr int32_t kCifAtomNotStored = 4;  // the mmCIF reader could not store an atom
inline constexpr int32_t kDuplicateResidueNumbers = 6;  // PDB: two residues with one number in a chain
// Identification: a residue the library lacks whose atoms do not make one
// connected molecule, so no description can be built for it (its ERROR line
// names the residue); no file written but earlier new monomers' reports.
inline constexpr int32_t kNewMonomerNotConnected = 20;
// With prog_name "kavlin" only (otherwise forgiven, and the model is read
// in P 1 or without a cell): 7 space group without cell, 8 cell without
// space group, 9 neither, 10 the given cell refused.
inline constexpr int32_t kNoCell = 7;
inline constexpr int32_t kNoSpaceGroup = 8;
inline constexpr int32_t kNoCellNorSpaceGroup = 9;
inline constexpr int32_t kCellRefused = 10;

}  // namespace pipeline
