// Bond records of a PDB file (SSBOND, CISPEP, LINK, MODRES) kept in the
// bond-record store while atoms are read, and their conversion into the
// model's link and modification tables once the atoms are known.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Writes pdb_hent.
void rdssbond_(int32_t mdoc, std::string_view line, int32_t& ierr);
// Writes pdb_hent.
void rdlink_(int32_t mdoc, std::string_view line, int32_t& ierr);
// Writes pdb_hent.
void rdcispep_(int32_t mdoc, std::string_view line, int32_t& ierr);
// Writes pdb_hent.
void rdmodres_(int32_t mdoc, std::string_view line, int32_t& ierr);

// Rows whose atoms were found become rows of link_inf and mod_inf; a LINK
// or SSBOND row whose atoms were not is warned of, naming the record.  A
// LINK or SSBOND row whose ends lie in one residue makes no link (see
// rows_in_one_residue.h): one naming one atom twice is warned of, the
// others are counted in one line.
// Writes link_inf, mod_inf, resid_inf.
void nss_pdb_to_ln_(int32_t mdoc, char list, int32_t& ierr);

namespace pdb {
// Notes atom index a in the endpoints of the stored bond records that name
// it.  key: the atom's 12-character residue key; rname, aname, alt: its
// residue name, normalised atom name and alternate code.
void match_bond_records(int32_t a, std::string_view key, std::string_view rname,
                        std::string_view aname, char alt, bool seg_flag);
}  // namespace pdb

namespace coords {
// The two lines that warn of a link a file names whose atom is not in the
// model: `what` names the record kind ("LINK record", "connection row"),
// `absent` the end that names the missing atom, `end1` and `end2` both ends
// as the record gives them.
void warn_link_end_absent(int32_t mdoc, std::string_view what, const std::string& absent,
                          const std::string& end1, const std::string& end2);
}  // namespace coords
