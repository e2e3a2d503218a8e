// The PDB reader driver and the storing of one atom into the model tables.
#include "coords/pdb_reader.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "coords/chain_termini.h"
#include "coords/cif_header.h"
#include "coords/cif_unlabelled_chains.h"
#include "coords/ions.h"
#include "coords/pdb_aniso.h"
#include "coords/pdb_bonds.h"
#include "coords/pdb_chains.h"
#include "coords/pdb_corrections.h"
#include "coords/pdb_fields.h"
#include "coords/pdb_records.h"
#include "coords/pdb_state.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "foundation/vec3.h"
#include "foundation/words.h"
#include "runtime/format.h"
#include "suite/pi.h"

namespace {

// Residue class of the residue that is being filled (for the terminal-name
// rules of every following atom).
char counter_digit_next() {
  sttcrec.st_chain_count = (sttcrec.st_chain_count + 1) % 10;
  return static_cast<char>('0' + sttcrec.st_chain_count);
}

bool is_blank_or_dot(char c) { return c == ' ' || c == '.'; }

// Characters 1-2 of a text, the second blanked when it is a digit or a sign,
// and two blanks: built in a register, since the text is compared and stored
// at once after (a word read back over single-character stores stalls).
uint32_t element_word(const rt::FixedText<4>& t) {
  const auto digit_or_sign = [](char c) {
    const char cls = char_class(c);
    return cls == 'D' || cls == 'S';
  };
  const unsigned char c1 = static_cast<unsigned char>(t.c[0]);
  const unsigned char c2 = digit_or_sign(t.c[1]) ? ' ' : static_cast<unsigned char>(t.c[1]);
  return static_cast<uint32_t>(c1) | static_cast<uint32_t>(c2) << 8 | 0x20200000u;
}

int32_t scattering_type(rt::FixedText<4>& acode, int32_t& ierr) {
  rt::FixedText<4> element = acode;
  if (acode.is_blank()) {
    element = "?";
  } else {
    const uint32_t code = element_word(acode);
    std::memcpy(acode.c, &code, 4);
    // The element symbol becomes that of the element column.
    std::memcpy(crdatm.cr_asymb.c, &code, 4);
  }
  const rt::FixedText<4>& asymb = crdatm.cr_asymb;
  // The last type found is tried first: atoms of one element come in runs.
  static int32_t last = 0;
  if (last >= 1 && last <= crst_crd.cs_nsfatm && crst_crd.cs_atype(last) == asymb &&
      crst_crd.cs_element(last) == element)
    return last;
  for (int i = 1; i <= crst_crd.cs_nsfatm; ++i) {
    if (crst_crd.cs_atype(i) == asymb && crst_crd.cs_element(i) == element) {
      last = i;
      return i;
    }
  }
  if (crst_crd.cs_nsfatm >= MAXNSF) {
    foundation::table_full(1, " ERR: number of atomic scattering types > limit.",
                           {.constant = "MAXNSF", .indent = 6, .quoted = false});
    ierr = 1;
    return 0;
  }
  const int i = ++crst_crd.cs_nsfatm;
  crst_crd.cs_atype(i) = asymb;
  crst_crd.cs_element(i) = element;
  last = i;
  return i;
}

}  // namespace

void cp_crd_(int32_t mdoc, int32_t ic_flag, int32_t ir_flag, int32_t idelta,
             rt::FixedText<4>& acode, char list, int32_t& ierr) {
  ierr = 0;
  const rt::FixedText<12>& key = crdatm.cr_pnum;
  if (ic_flag == 1) {
    if (asym_part.n_group >= MAXCHAIN) {
      foundation::table_full(mdoc, " ERROR: number of chains >", MAXCHAIN, "",
                             {.constant = "MAXCHAIN", .header = "atom_com"});
      coords::explain_chain_limit(mdoc, crdatm.cr_rname.view(), key.sub(3, 7),
                                  crdinf.cr_segflag(1) == 'Y' ? key.sub(8, 11) : key.sub(1, 1));
      ierr = 1;
      return;
    }
    const int g = ++asym_part.n_group;
    asym_part.i_ncs(g) = 0;
    asym_part.nres_chain(g) = 0;
    asym_part.natm_chain(g) = 0;
    asym_part.iatom_first(g) = atom_inf.n_atom + 1;
    asym_part.ires_first(g) = resid_inf.n_residue + 1;
    asym_part.ichain_grp(g) = g;
    asym_part.ich_type(g) = 1;
    asym_part.iterm_s_type(g) = 1;
    asym_part.iterm_f_type(g) = 1;
    asym_part.chain_id(g) = key.sub(8, 11);
    asym_part.group_id(g) = key.sub(8, 11);
    asym_part.ncs_flag(g) = ".";
    sttcrec.st_chain_wraps(g) = sttcrec.st_number_wrap;
    sttcrec.st_chain_part(g) = sttcrec.st_line_part;
  }
  const int g = asym_part.n_group;
  if (g < 1) {
    // An atom before any chain cannot be stored; the driver always opens one.
    ierr = 1;
    return;
  }

  if (ir_flag == 1) {
    if (resid_inf.n_residue >= MAXRESID) {
      foundation::table_full(mdoc, " ERROR: number of monomers  >", MAXRESID, "",
                             {.constant = "MAXRESID", .header = "atom_com"});
      ierr = 1;
      return;
    }
    const int k = ++resid_inf.n_residue;
    const int32_t cls = pdb::residue_class(crdatm.cr_rname);
    resid_inf.ires_forw(k) = 0;
    if (asym_part.nres_chain(g) == 0) {
      resid_inf.ires_back(k) = -1;
      asym_part.ires_start_tree(g) = k;
    } else {
      resid_inf.ires_back(k) = k - 1;
      resid_inf.ires_forw(k - 1) = k;
    }
    asym_part.ires_end_tree(g) = k;
    asym_part.nres_chain(g) += 1;
    resid_inf.ires_type(k) = cls;
    if (asym_part.nres_chain(g) == 1) {
      asym_part.ich_type(g) = 2;
      resid_inf.iconn_type(k) = 1;
    } else {
      asym_part.ich_type(g) = 10;
      // A class without a connection rule (a chain cap, a sugar) leaves the
      // code unset, as in a model read first, not as an earlier model left
      // the slot.
      resid_inf.iconn_type(k) = 0;
      const rt::FixedText<8>& rn = crdatm.cr_rname;
      if (cls == 3) {
        resid_inf.iconn_type(k) = 2;
        if (foundation::is_proline_like(rn)) resid_inf.iconn_type(k) = 36;
        if (foundation::is_n_methyl(rn)) resid_inf.iconn_type(k) = 38;
        if (idelta > 1) resid_inf.iconn_type(k) = 10;
        asym_part.ich_type(g) = 3;
      } else if (cls == 5) {
        resid_inf.iconn_type(k) = idelta > 1 ? 10 : 4;
        asym_part.ich_type(g) = 5;
      } else if (cls == 7) {
        asym_part.ich_type(g) = 7;
      }
    }
    if (pdb::is_water(crdatm.cr_rname)) {
      asym_part.ich_type(g) = 9;
      resid_inf.iconn_type(k) = 1;
    }
    resid_inf.ires_serial(k) = crdatm.cr_ires;
    resid_inf.natm_res(k) = 0;
    resid_inf.iratm_first(k) = atom_inf.n_atom + 1;
    resid_inf.mod_flag(k) = "N";
    resid_inf.link_flag(k) = "N";
    resid_inf.i_chain(k) = g;
    resid_inf.res_name(k) = crdatm.cr_rname;
    resid_inf.res_name_pdb(k) = crdatm.cr_rname_pdb;
    resid_inf.res_num_pdb(k) = key;
  }
  const int r = resid_inf.n_residue;
  if (r < 1) {
    ierr = 1;
    return;
  }

  if (atom_inf.n_atom >= MAXATOM) {
    foundation::table_full(mdoc, " ERROR: number of atoms  >", MAXATOM, "",
                           {.constant = "MAXATOM", .header = "atom_com"});
    ierr = 1;
    return;
  }
  const int a = ++atom_inf.n_atom;
  crdatm.cr_iatold = a;
  atom_inf.i_atold(a) = a;
  asym_part.natm_chain(g) += 1;
  resid_inf.natm_res(r) += 1;
  atom_inf.i_resid(a) = r;

  const int32_t cls = resid_inf.ires_type(r);
  rt::FixedText<4>& an = crdatm.cr_aname;
  if (cls == 5 || cls == 6) {
    for (const std::string_view old : foundation::kNucleotideTerminalOxygens) {
      if (an == old) {
        msgdoc_(mdoc, std::string(" WARNING : for DNA/RNA atom \"").append(old) +
                          " \" --> \"O3T \" (default)");
        an = "O3T";
        break;
      }
    }
    if (an == std::string_view("O3T")) asym_part.iterm_s_type(g) = 4;
  } else if ((cls == 3 || cls == 4) && an == std::string_view("OXT")) {
    asym_part.iterm_f_type(g) = 2;
  } else if (resid_inf.res_name(r) == foundation::kDummyResidue) {
    // The name correction calls every dummy atom DUM: each of the residue's
    // atoms takes a name of its own.
    an = foundation::dummy_atom_name(resid_inf.natm_res(r));
  }

  atom_inf.atm_name(a) = an;
  atom_inf.atm_name_inp(a) = crdatm.cr_aname_inp;
  atom_inf.atm_chem(a) = ".";
  atom_inf.atm_type(a) = ".";
  atom_inf.b_flag(a) = crdatm.cr_b_flag;
  atom_crd.mult_factor(a) = crdatm.cr_mult_factor;
  for (int i = 1; i <= 3; ++i) atom_crd.xyz_crd(i, a) = crdatm.cr_xyz(i);
  constexpr float pi = suite::kPi<float>;
  atom_crd.u_aniso(1, a) = crdatm.cr_biso / (8.0f * pi * pi);
  for (int i = 2; i <= 6; ++i) atom_crd.u_aniso(i, a) = 0.0f;
  atom_crd.occup(a) = crdatm.cr_occ;
  if (crdatm.cr_b_flag == 1) {
    atom_inf.n_aniso += 1;
    atom_inf.b_flag(a) = a;
    for (int i = 1; i <= 6; ++i) atom_crd.u_aniso(i, a) = crdatm.cr_anis(i);
  }

  atom_inf.id_alt(a) = crdatm.cr_alt;
  atom_inf.id_corr(a) = crdatm.cr_corr;
  if (!is_blank_or_dot(key(7))) com_out_cif.out_cif_ins = 0;
  if (!is_blank_or_dot(crdatm.cr_corr(1))) com_out_cif.out_cif_corr = 0;
  if (crdatm.cr_mult_factor != 1) com_out_cif.out_cif_mult = 0;

  const int32_t sf = scattering_type(acode, ierr);
  if (ierr != 0) return;
  atom_inf.id_sf(a) = sf;

  if (cls == 5 && an == std::string_view("O2*") && crdatm.cr_rname(1) != 'U')
    resid_inf.ires_type(r) = 6;

  pdb::match_bond_records(a, key.view(), crdatm.cr_rname.view(), an.view(), crdatm.cr_alt(1),
                          crdinf.cr_segflag(1) == 'Y');
  if (list == 'T') std::printf(" atom %d %.4s %.12s\n", a, an.c, key.c);
}

namespace {

using DriverState = coords::PdbAtomLoop;

// Chain and residue decision for the atom in crdatm (the atom loop's rules).
void decide(DriverState& s, char list) {
  rt::FixedText<12>& key = crdatm.cr_pnum;
  const bool seg = crdinf.cr_segflag(1) == 'Y';
  if (key == s.ch12 && crdatm.cr_rname == s.rname_old && sttcrec.st_residue_again == 0) {
    s.ic_flag = 0;
    s.ir_flag = 0;
    return;
  }
  s.ir_flag = 1;
  const int32_t c = pdb::residue_class(crdatm.cr_rname);
  if (!(key.sub(8, 12) == s.ch5.view())) s.ic_flag = 1;
  if (s.ic_flag == 0) {
    if (pdb::class_ends_chain(c, s.ir_type_old, com_rdat.rd_oxt_prev(1) == 'Y')) s.ic_flag = 1;
    s.class_break = s.ic_flag == 1;
    if (s.ic_flag == 1) {
      const char d = counter_digit_next();
      key(2) = d;
      if (seg)
        key(12) = d;
      else
        key(9) = d;
    }
  }
  if (list == 'T') {
    std::printf(" ------------\n <%.12s><%.5s><%.8s><%.4s\n %d %d %d %d %d\n\n", key.c, s.ch5.c,
                crdatm.cr_rname.c, crdatm.cr_aname.c, s.ic_flag, s.ir_flag, s.ir_type_old, c,
                sttcrec.st_chain_count);
  }
  com_rdat.rd_oxt_prev = "N";
  s.ir_type_old = c;
  if (s.ic_flag == 1) {
    s.ir_flag = 1;
    s.ch5 = key.sub(8, 12);
    s.ir = 0;
    if (list == 'T') std::printf("  -->ic_flag: %d\n", s.ic_flag);
  }
  if (list == 'T' && s.ir_flag == 1) std::printf("  -->ir_flag: %d\n", s.ir_flag);
  // A residue number that is not a number was refused when the line was read.
  int32_t ipres = 0;
  if (!pdbf::read_int(key.sub(3, 6), ipres)) ipres = 0;
  s.ipres = ipres;
  s.rname_old = crdatm.cr_rname;
  if (s.ir == 0) {
    s.ir = s.ipres > 0 ? s.ipres : 1;
    s.id = 0;
  } else {
    s.id = s.ipres - s.ipres_old;
    if (s.id <= 0) {
      if (c == 7) {
        if (s.id == 0) s.id = 1;
      } else {
        s.id = 1;
        com_out_cif.out_cif_ins = 0;
      }
    }
    s.ir += s.id;
  }
}

}  // namespace

void coords::pdb_atom_loop_start(PdbAtomLoop& s, char seg_flag) {
  link_inf.ln_n = 0;
  pdb_hent.het_n = 0;
  pdb_hent.brec_n = 0;
  mod_inf.mod_n = 0;
  resid_inf.n_residue = 0;
  asym_part.n_group = 0;
  atom_inf.n_atom = 0;
  cif_asym_part.n_grp_asm = 0;
  cif_entity_list.n_chn_ent = 0;
  cif_ent_link.ent_ln_n = 0;
  sttcrec.st_cell_flag = 0;
  sttcrec.st_spgr_flag = 0;
  sttcrec.st_number_wrap = 0;
  for (int32_t& w : sttcrec.st_chain_wraps) w = 0;
  for (int32_t& w : sttcrec.st_chain_by_class) w = 0;
  for (int32_t& w : sttcrec.st_chain_bridged) w = 0;

  s = PdbAtomLoop{};
  s.rec = "START ";
  s.ch12.fill('?');
  s.ch5.fill('?');
  s.rname_old = "?";

  crdinf.cr_segflag(1) = seg_flag;
  com_rdat.rd_oxt_atom = "N";
  com_rdat.rd_oxt_prev = "N";
  com_out_cif.out_cif_mult = 1;
  com_out_cif.out_cif_corr = 1;
  com_out_cif.out_cif_ins = 1;
  coords::two_at_one_number_start();
  coords::ions_start();
}

void coords::pdb_atom_loop_store(PdbAtomLoop& s, int32_t mdoc, char list, rt::FixedText<4>& acode,
                                 int32_t& ierr) {
  decide(s, list);
  crdatm.cr_ires = s.ir;
  cp_crd_(mdoc, s.ic_flag, s.ir_flag, s.id, acode, list, ierr);
  if (ierr != 0) return;
  coords::ion_stored(atom_inf.n_atom);
  if (s.class_break) sttcrec.st_chain_by_class(asym_part.n_group) = 1;
  s.class_break = false;
  s.ch12 = crdatm.cr_pnum;
  s.ch5 = crdatm.cr_pnum.sub(8, 12);
  s.ic_flag = 0;
  s.ir_flag = 0;
  s.ipres_old = s.ipres;
  if (com_rdat.rd_oxt_atom(1) == 'Y') com_rdat.rd_oxt_prev = "Y";
  com_rdat.rd_oxt_atom = "N";
}

void coords::pdb_post_read_passes(int32_t mdoc, char list, char pept_flag,
                                  bool atom_residues_in_chain, int32_t& ierr) {
  coords::ions_settle(mdoc);
  nss_pdb_to_ln_(mdoc, list, ierr);
  coords::note_numbers_given_again();
  if (atom_residues_in_chain) coords::bridge_atom_residues();
  corr_number_chain_pdb_(mdoc, list, ierr);
  corr_sugar_pdb_(mdoc, list, ierr);
  if (pept_flag == 'Y') corr_peptide_pdb_(mdoc, ierr);
  int32_t inew = 0;
  if (crdinf.cr_segflag(1) == 'Y')
    check_chain_id_seg_(mdoc, inew, ierr);
  else
    check_chain_id_pdb_(mdoc, inew, ierr);
  set_mod_(mdoc, ierr);
  ierr = 0;
  for (int i = 1; i <= atom_inf.n_atom; ++i) atom_inf.i_atold(i) = i;
  // With the reader's own message code, as the atom lines' warnings: the
  // TLS group driver, which silences the rest of the read, shows it too.
  pdb::warn_water_sites(1, sttcrec.st_water_sites);
  coords::warn_zero_aniso("ANISOU record", sttcrec.st_zero_aniso);
}

void get_pdb_(int32_t mdoc, std::string_view file_pdb, int32_t nospgr_input,
              const float* cell_input, char pept_flag, char seg_flag, char hflag_remove,
              int32_t& ierr) {
  constexpr float pi180 = suite::kPi<float> / 180.0f;
  char list = 'F';
  int32_t opt = ierr;
  if (opt >= 98) {
    list = 'T';
    opt -= 98;
  }
  const char prog_name = opt == 1 ? 'M' : '.';
  if (prog_name != 'M') init_res_type_tab_();
  // The link and terminus passes look names up in the CIF vocabularies; a
  // program that has not set them up yet gets them here.
  if (cif_types.n_conn_type == 0) set_cif_types_();
  if (list == 'T') rt::write_list(6, " ---get PDB: ierr =", opt);

  DriverState s;
  // No mmCIF row of an earlier read may part this file's chains.
  coords::unlabelled_chains_start();
  coords::pdb_atom_loop_start(s, seg_flag);
  crdinf.cri_file = file_pdb.substr(0, file_pdb.size() < 256 ? file_pdb.size() : 256);
  crdinf.cri_path.blank();
  crdinf.cri_ext.blank();
  ierr = 0;

  rt::FixedText<4> acode;
  acode.blank();
  for (;;) {
    getrec_(mdoc, s.rec, nospgr_input, cell_input, ierr, s.iend, prog_name, acode, hflag_remove);
    if (ierr != 0) return;
    if (s.iend != 0) break;
    if (!(s.rec.sub(1, 4) == std::string_view("ATOM"))) continue;
    coords::pdb_atom_loop_store(s, mdoc, list, acode, ierr);
    if (ierr != 0) return;
  }
  // A header (CRYST1, REMARK) is no model: the file is refused as one of
  // neither form without atoms is, not by the chain passes' count of none.
  if (sttcrec.st_atom_lines == 0) {
    coords::no_atoms_message(
        mdoc, coords::scan_for_atoms(rt::trim_right(file_pdb)) == coords::AtomScan::kEmpty);
    ierr = 2;
    return;
  }

  // The pipeline reads with the library's residue classes (program code
  // M) and joins residues by their links; the TLS groups keep a chain's
  // residues written as ATOM in it.
  coords::pdb_post_read_passes(mdoc, list, pept_flag, prog_name != 'M', ierr);

  if (cell_input[0] > 1.0f) {
    bool convertible = sttcrec.st_cell_flag > 0;
    for (int i = 1; i <= 6 && convertible; ++i) {
      const float user = i <= 3 ? cell_input[i - 1] : cell_input[i - 1] * pi180;
      const float ratio = user / crst_crd.cs_cell(i);
      if (!(ratio >= 0.9f && ratio <= 1.1f)) convertible = false;
    }
    rt::Array2<float, 3, 3> old_o2f = crst_crd.cs_ort_to_frac;
    for (int i = 1; i <= 6; ++i)
      crst_crd.cs_cell(i) = i <= 3 ? cell_input[i - 1] : cell_input[i - 1] * pi180;
    int32_t e = 0;
    nb_frorth_(crst_crd.cs_cell(1), crst_crd.cs_cell(2), crst_crd.cs_cell(3), crst_crd.cs_cell(4),
               crst_crd.cs_cell(5), crst_crd.cs_cell(6), crst_crd.cs_frac_to_ort.data(),
               crst_crd.cs_ort_to_frac.data(), e);
    crst_pdb.cs_scale = crst_crd.cs_ort_to_frac;
    for (int i = 1; i <= 3; ++i) crst_pdb.cs_u(i) = 0.0f;
    const rt::Array2<float, 3, 3> new_f2o = crst_crd.cs_frac_to_ort;
    if (convertible) {
      for (int a = 1; a <= atom_inf.n_atom; ++a) {
        float x[3], f[3];
        for (int i = 1; i <= 3; ++i) x[i - 1] = atom_crd.xyz_crd(i, a);
        for (int i = 1; i <= 3; ++i)
          f[i - 1] = old_o2f(i, 1) * x[0] + old_o2f(i, 2) * x[1] + old_o2f(i, 3) * x[2];
        for (int i = 1; i <= 3; ++i)
          atom_crd.xyz_crd(i, a) = new_f2o(i, 1) * f[0] + new_f2o(i, 2) * f[1] + new_f2o(i, 3) * f[2];
      }
    } else {
      ierr = 10;
    }
  }

  msgdoc_(mdoc, rt::fmt("(A,I8)", " Number of atoms    :", atom_inf.n_atom));
  msgdoc_(mdoc, rt::fmt("(A,I8)", " Number of residues :", resid_inf.n_residue));
  msgdoc_(mdoc, rt::fmt("(A,I8)", " Number of chains   :", asym_part.n_group));

  if (sttcrec.st_spgr_flag == 0 && sttcrec.st_cell_flag == 0)
    ierr = 9;
  else if (sttcrec.st_spgr_flag == 0)
    ierr = 8;
  else if (sttcrec.st_cell_flag == 0)
    ierr = 7;

  // Two residues at one number are an error in the model itself, which the
  // pipeline must not go on with; a missing cell or space group (7 to 9) or
  // a refused user cell (10) leaves a usable model, so the error wins.
  int32_t ierr1 = 0;
  check_num_in_chain_(mdoc, ierr1);
  if (ierr1 != 0) ierr = ierr1;
  coords::check_split_numbers(mdoc, ierr1);
  if (ierr1 != 0) ierr = ierr1;
  ierr1 = coords::numbers_given_again_report(mdoc);
  if (ierr1 != 0) ierr = ierr1;
  ierr1 = coords::interleaved_copies_report(mdoc);
  if (ierr1 != 0) ierr = ierr1;
}
