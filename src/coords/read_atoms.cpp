// The CIF coordinate reading entry: header, atom rows, storing, entity trees
// and the three counts.
#include "coords/read_atoms.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "coords/chain_termini.h"
#include "coords/cif_atom_rows.h"
#include "coords/cif_by_pdb_rules.h"
#include "coords/cif_header.h"
#include "coords/cif_label_tails.h"
#include "coords/cif_long_labels.h"
#include "coords/cif_numbers.h"
#include "coords/cif_small_molecule.h"
#include "coords/cif_split_numbers.h"
#include "coords/cif_store_atom.h"
#include "coords/cif_unlabelled_chains.h"
#include "coords/cif_wide_numbers.h"
#include "coords/entity_tree.h"
#include "coords/ions.h"
#include "coords/link_symmetry_codes.h"
#include "coords/no_occupancy.h"
#include "coords/pdb_aniso.h"
#include "coords/pdb_chains.h"
#include "coords/pdb_corrections.h"
#include "coords/rows_in_one_residue.h"
#include "foundation/atom_com.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/units.h"

namespace {

void count_line(int32_t mdoc, const char* label, int32_t n) {
  char line[64];
  std::snprintf(line, sizeof line, "%s%8d", label, n);
  msgdoc_(mdoc, line);
}

// This system's own file gives a chain its terminus types through the
// sequence of its entity.  A chain of several residues whose entity holds no
// sequence (one typed by the waters at its end) takes them from its end
// residues, as the run that wrote the file found them.
void termini_without_sequence(int32_t mdoc) {
  static std::vector<char> chosen;
  const int ng = asym_part.n_group < MAXCHAIN ? asym_part.n_group : MAXCHAIN;
  chosen.assign(static_cast<std::size_t>(ng), 0);
  bool any = false;
  for (int ig = 1; ig <= ng; ++ig) {
    if (asym_part.nres_chain(ig) < 2) continue;
    const int32_t iasm = asym_part.igroup_asm(ig);
    if (iasm >= 1 && iasm <= cif_asym_part.n_grp_asm) {
      const int32_t ient = cif_asym_part.asm_chain_pointer(iasm);
      if (ient >= 1 && ient <= cif_entity_list.n_chn_ent && cif_entity_list.ent_nres_chain(ient) > 1) continue;
    }
    chosen[static_cast<std::size_t>(ig - 1)] = 1;
    any = true;
  }
  if (any) coords::set_chain_termini(mdoc, chosen);
}

// In a file that labels its chains, a row is named as the PDB form and
// orbinate name it where its author's chain is blank or its label names
// none.  A label that names none ("." or "?", an empty label, or no label
// item) gives way to the author's chain where the author names one; read
// as a label it would be a chain "..", its further water chains ".a",
// ".b", and where the label is "?" or empty the entity would stand in for
// it ("22").  A row of neither, or whose author's chain is blank ('' or
// ".", as converters and Biopython write a chain without a letter under a
// label of their own), is of the blank chain, XX until its rows are
// parted into the pieces of the PDB form, whatever their labels, and
// named XX, Xa, ... (unlabelled_chain_of_row).  A file whose first row
// names no chain has its chains keyed from the author's chain and the
// entities alike.
class BlankChainNames {
 public:
  void name_row() {
    const coords::CifAuthorRow& row = coords::cif_author_row();
    const bool labelled = row.label_given && !coords::given_value(row.label_asym).empty();
    const bool author_blank = coords::author_chain_blank(row);
    if (labelled && !author_blank) return;
    const std::string_view author = labelled ? std::string_view() : coords::named_chain(row);
    rt::FixedText<4> group = author.empty() ? rt::FixedText<4>("XX")
                                            : rt::FixedText<4>(author.substr(0, 4));
    if (group.len_trim() <= 1) group(2) = group(1);
    crdatm.cr_group = group;
    rt::FixedText<12>& pnum = crdatm.cr_pnum;
    pnum(1) = group(1);
    pnum(2) = group(2);
    for (int i = 1; i <= 4; ++i) pnum(7 + i) = group(i);
  }
};
BlankChainNames blank_names;

// Another program's residue given again right after itself, at its number
// and under its name, lying apart from the atoms read of it
// (pdb::ResidueAgain), as the PDB reader tells it: the rows that begin it
// are a residue of their own, and a water so given again another water of
// its chain, read at a number of its own (pdb::WaterNumbersAgain).
class RowsAgain {
 public:
  void clear() {
    held_ = false;
    anew_ = false;
    atoms_.clear();
    numbers_.clear();
    later_.clear();
  }
  // True where the row begins a residue given again, other than a water
  // read at another number.
  bool row(int32_t mdoc, bool no_hydrogens) {
    const coords::CifAuthorRow& row = coords::cif_author_row();
    // The blank chain's rows are one run whatever their labels (gemmi gives
    // each piece, CHARMM each water, a label of its own).
    const std::string_view label =
        coords::named_chain(row).empty() ? std::string_view() : row.label_asym;
    const bool same_chain = held_ && row.auth_asym == auth_asym_ && label == label_;
    const bool same = same_chain && row.auth_seq == auth_seq_ &&
                      std::memcmp(number_, crdatm.cr_pnum.c + 2, sizeof number_) == 0 &&
                      std::memcmp(rname_, crdatm.cr_rname.c, sizeof rname_) == 0;
    const bool hydrogen = crdatm.cr_asymb == "H";
    // Atoms are told by their names as the file gives them (OPM's DUM
    // residue is an N and an O far apart, both read as DUM).
    const std::string_view name = row.atom_name;
    const bool again =
        same && atoms_.begins_again(name, crdatm.cr_alt(1), hydrogen, crdatm.cr_xyz.data()) &&
        !atoms_.conformer(pdb::ResidueAgain::name_of(name), crdatm.cr_alt(1),
                          [no_hydrogens] { return coords::cif_next_row_named_otherwise(no_hydrogens); });
    atoms_.atom(!same || again, name, crdatm.cr_alt(1), hydrogen, crdatm.cr_xyz.data());
    if (!same) {
      held_ = true;
      auth_asym_.assign(row.auth_asym);
      label_.assign(label);
      auth_seq_.assign(row.auth_seq);
      std::memcpy(number_, crdatm.cr_pnum.c + 2, sizeof number_);
      std::memcpy(rname_, crdatm.cr_rname.c, sizeof rname_);
    }
    const bool water = crdatm.cr_rname == "HOH";
    const rt::FixedText<4> given(crdatm.cr_pnum.sub(3, 6).view());
    if (again && water && !later_.filled()) note_later_waters();
    anew_ = water && same_chain && numbers_.read_anew(again, crdatm.cr_pnum.c + 2, later_);
    if (anew_) {
      crdatm.cr_ires = numbers_.read_number();
      if (again) numbers_.warn(mdoc, crdatm.cr_rname.view(), given.view(), crdatm.cr_pnum.sub(3, 6));
    }
    // A water read at the start of a further water chain begins it as a
    // water given again past the numbers of its chain.
    const bool further = anew_ && numbers_.begins_further();
    numbers_.note(water, same_chain, crdatm.cr_pnum.sub(3, 6));
    return (again && !anew_) || further;
  }
  // The row's water is read at a number of this reader's own: its number
  // is none of the file's, and never wraps.
  bool read_anew() const { return anew_; }

 private:
  // Every number a water row gives after this one, as the PDB road looks.
  void note_later_waters() {
    later_.fill_start();
    coords::cif_later_water_numbers([this](std::string_view number) {
      int32_t n = 0;
      if (coords::cif_integer(number, n) == coords::CifNumber::kRead) later_.add(n);
    });
  }

  // The residue of the row before: its author's chain, its label where the
  // author names a chain, its author's number, the number and insertion
  // code of its key and its name.
  bool held_ = false;
  bool anew_ = false;
  std::string auth_asym_, label_, auth_seq_;
  char number_[5] = {};
  char rname_[8] = {};
  pdb::ResidueAgain atoms_;
  pdb::WaterNumbersAgain numbers_;
  pdb::LaterWaterNumbers later_;
};
RowsAgain rows_again;

}  // namespace

void read_atoms_(int32_t mdoc, std::string_view pathc, std::string_view namec,
                 std::string_view extc, int32_t nospgr_input, const float* cell_input,
                 int32_t& ierr, char hflag_remove) {
  if (ierr != 1) init_res_type_tab_();
  ierr = 0;
  const int32_t md = -(std::abs(mdoc) + 1);
  const int32_t m = 99;
  init_atm_inf_(mdoc, ierr);

  int32_t isg_flag = 0, icell_flag = 0;
  int32_t in = crdinf.cri_iun;
  open_crdcif_(md, in, pathc, namec, extc, nospgr_input, cell_input, isg_flag, icell_flag, ierr);
  crdinf.cri_iun = in;
  if (ierr != 0) {
    coords::header_failed(mdoc, in, ierr);
    return;
  }
  asym_part.n_group = 0;
  resid_inf.n_residue = 0;
  atom_inf.n_atom = 0;
  com_out_cif.out_cif_mult = 1;
  com_out_cif.out_cif_corr = 1;
  com_out_cif.out_cif_ins = 1;
  const bool icsd = crdinf.cr_title.sub(1, 9) == "code_CSD:" || com_crd_cif.small_molecule == 1;
  // Another program's rows without a chain label take the chains of their
  // PDB form; this system's own files label every chain.
  const bool other_writer = !icsd && crdinf.cr_soft(1) != 'B';
  coords::negative_occupancy_start();
  coords::ions_start();
  int32_t water_sites = 0;
  coords::unlabelled_chains_start();
  rows_again.clear();
  coords::split_numbers_start(true);
  coords::wide_numbers_start();
  coords::label_tails_start();
  coords::long_labels_start();

  rt::FixedText<5> cr_res_old("?????");
  rt::FixedText<4> cr_group_old("????");
  int32_t cr_ires_old = -100;
  int32_t cr_igroup_old = -100;
  int32_t mode = 0, iend = -1;
  int32_t aniso_cursor = 0;  // the atom the last anisotropic row went to
  int32_t zero_aniso = 0;    // anisotropic rows of six zeros passed over
  bool first_row_seen = false, labels_chains = false;
  for (;;) {
    if (icsd)
      rdcrd_csd_(m, in, mode, iend, ierr);
    else
      rdcrd_cif_(m, in, mode, iend, ierr);
    if (ierr != 0) {
      if (!icsd && !cif_rows_refusal().empty()) msgerr_(mdoc, cif_rows_refusal());
      if (icsd && !csd_rows_refusal().empty()) msgerr_(mdoc, csd_rows_refusal());
      if (icsd && csd_rows_refusal().empty() && !cif_syntax_error_info().empty())
        msgerr_(mdoc, cif_syntax_error_info());
      msgerr_(mdoc, " ERROR: read input file");
      rt::unit_close(crdinf.cri_iun);
      ierr = 3;
      return;
    }
    if (iend != 0) break;
    if (mode == coords::kCifRowAniso) {
      // Six zeros are no anisotropic displacement: the atom keeps its B, as
      // on the PDB road.
      if (coords::aniso_all_zero(crdatm.cr_anis.data())) {
        ++zero_aniso;
        continue;
      }
      // A row that names no atom of the model is passed over.
      coords::set_atom_aniso(aniso_cursor);
      continue;
    }
    if (mode != 0) continue;
    if (crdatm.cr_iatold <= 0) continue;
    if (crdatm.cr_occ < 0.0f)
      coords::note_negative_occupancy(crdatm.cr_occ, cif_record_place_info().line,
                                      crdatm.cr_iatold, "");
    // By the element, so deuterium stays; a row left out starts no chain or
    // residue, as in a file written without it.
    if (hflag_remove == 'Y' && crdatm.cr_asymb == "H") continue;
    // A residue without a name is read as a water, with the PDB reader's
    // warning.
    if (other_writer && coords::given_value(coords::cif_author_row().comp_name).empty())
      msgdoc_(mdoc, " WARNING: residue name is empty, default is \"HOH\"");
    // The massless site of a 4- or 5-site water model, and a site its
    // water has no place for, as the PDB reader leaves them out.
    if (!icsd && crdatm.cr_rname == "HOH" &&
        (coords::cif_author_row().water_site_left_out ||
         pdb::is_massless_water_site(coords::cif_author_row().atom_name,
                                     coords::given_value(coords::cif_author_row().symbol)))) {
      ++water_sites;
      continue;
    }
    // The first row tells whether the file labels its chains.
    if (!first_row_seen) labels_chains = coords::row_labels_chain(coords::cif_author_row());
    first_row_seen = true;
    // The blank chain's rows are named by its pieces, not their labels.
    const bool blank_row = other_writer && labels_chains &&
                           coords::named_chain(coords::cif_author_row()).empty();
    if (other_writer && labels_chains) blank_names.name_row();
    if (!icsd && !blank_row) coords::long_label_row();
    if (!icsd) coords::wide_number_of_row();
    const bool again = other_writer && !icsd && rows_again.row(mdoc, hflag_remove == 'Y');
    const bool wraps = !icsd && coords::wide_number_row(mdoc, again, rows_again.read_anew());
    if (other_writer) {
      coords::unlabelled_chain_of_row(wraps, again);
      coords::split_numbers_row(again);
    }
    if (other_writer && !coords::label_tail_row(mdoc, cr_group_old.view())) ierr = 1;
    // A residue given again is another, though it keep the chain and number
    // of the one before; so is one whose author's number only its last
    // digits made that of the one before.
    if (again || (!icsd && coords::wide_number_parts())) cr_res_old = "?????";
    if (ierr == 0) set_atom_(mdoc, cr_res_old, cr_group_old.view(), cr_ires_old, cr_igroup_old, ierr);
    if (ierr != 0) {
      msgerr_(mdoc, " ERROR: read input file");
      rt::unit_close(crdinf.cri_iun);
      ierr = 4;
      return;
    }
    coords::ion_stored(atom_inf.n_atom);
    if (other_writer) coords::unlabelled_row_stored();
    if (!icsd) coords::wide_number_stored();
    if (other_writer) coords::label_tail_stored();
    const char corr = crdatm.cr_corr(1);
    if (corr != ' ' && corr != '.') com_out_cif.out_cif_corr = 0;
    if (crdatm.cr_mult_factor != 0 && crdatm.cr_mult_factor != 1) com_out_cif.out_cif_mult = 0;
    cr_res_old = crdatm.cr_pnum.sub(3, 7);
    cr_ires_old = crdatm.cr_ires;
    cr_igroup_old = crdatm.cr_igroup;
    cr_group_old = crdatm.cr_group;
  }
  if (other_writer && !coords::label_tails_end(mdoc)) {
    msgerr_(mdoc, " ERROR: read input file");
    ierr = 4;
    return;
  }
  coords::ions_settle(mdoc);
  if (!icsd) coords::long_labels_report(mdoc);
  coords::check_connection_symmetry_codes(mdoc);
  coords::pass_over_connection_rows_in_one_residue(mdoc);
  // Chains of the PDB form are checked as the PDB reader checks them: a
  // residue split by a line of another name, or two names at one number
  // without alternate codes, stand in chains of their own there.  Where the
  // file labels its chains, two such residues under different labels.
  int32_t split = 0;
  const bool unlabelled = other_writer && coords::unlabelled_chain_ids(mdoc);
  if (!icsd) coords::wide_numbers_warn(mdoc);
  if (unlabelled) coords::check_split_numbers(mdoc, split);
  if (other_writer && split == 0) split = coords::split_numbers_report(mdoc);
  if (!icsd && split == 0) split = coords::wide_numbers_report(mdoc);
  if (other_writer && split == 0) split = coords::unlabelled_copies_report(mdoc);
  copy_entity_tree_(mdoc, ierr);
  if (!icsd && !other_writer && atom_inf.n_atom > 0) termini_without_sequence(mdoc);
  if (other_writer && asym_part.n_group > 0 && atom_inf.n_atom > 0) {
    // Another program's file gives no terminus types: they are found from
    // the chain ends, as the PDB reader finds them, so that both forms of
    // one entry give the same terminal groups.  Its status is not examined,
    // as on the PDB road.
    int32_t jerr = 0;
    set_mod_(mdoc, jerr);
  }
  pdb::warn_water_sites(mdoc, water_sites);
  coords::warn_zero_aniso("_atom_site_anisotrop row", zero_aniso);
  count_line(mdoc, " Number of chains     :", asym_part.n_group);
  count_line(mdoc, " Number of monomers   :", resid_inf.n_residue);
  count_line(mdoc, " Number of atoms      :", atom_inf.n_atom);
  if (isg_flag == 0) ierr = 8;
  if (split != 0) ierr = split;
}
