// The structure model of a run and the record buffers around it: atoms,
// residues, chains, assembly groups, links, modifications, the working cell
// and symmetry, the header values of the coordinate file, the entity
// description, the run state of the coordinate code and the one-atom,
// one-restraint and one-structure-row records.  Every table has a fixed
// capacity given by a constant below; counts stand beside the arrays and only
// rows 1..count are valid.  All instances live in static storage and start as
// zero bytes.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/array.h"
#include "runtime/fixed_text.h"

// Capacities of the structure model.  A full table names the constant to
// raise and this header ("atom_com").
inline constexpr int MAXATOM = 450000;
inline constexpr int MAXRESID = 100000;
inline constexpr int MAXCHAIN = 1500;
// A residue of the largest entries (a ribosome: 14,000 polymer links and
// 4,280 connection rows) may stand in a polymer link, a gap, a sequence link
// of a second run and connection rows of its own: the link table holds two
// rows a residue.  Modifications come with links and modified residues, one
// row a residue at most on any model the tables hold.  A table that is full
// all the same stops the run (foundation::stop_table_full).
inline constexpr int MAXLINK = 2 * MAXRESID;
inline constexpr int MAXMODIF = MAXRESID;
inline constexpr int MAXNCS = 100;
inline constexpr int MAXNSO = 192;  // symmetry operators
inline constexpr int MAXNSF = 300;  // scattering types
inline constexpr int MAXATSD = 1;   // slots of the standard-deviation arrays
// Characters kept of an entry's title and of its classification or keywords.
// The archive's titles run past 80 characters and often to a few hundred
// (1LCD's has 176).  The model writer puts a longer text into a text field
// of one line, which a rerun must read whole: the line reader keeps 1024
// characters of a record, so 1000 is the most that comes back.  The readers
// cut a longer text here and say so in the log.
inline constexpr int MAXTITLE = 1000;
// The entity description shares the chain, residue and link capacities.
inline constexpr int MAXENTITY = MAXCHAIN;
inline constexpr int MAXENTSEQ = MAXRESID;
inline constexpr int MAXENTLINK = MAXLINK;

template <int N>
using Text = rt::FixedText<N>;

// ---------------------------------------------------------------- atoms
// Filled by the coordinate readers (coords); read by output and the TLS program.
struct atom_inf_t {
  int32_t n_atom;                             // atoms stored
  int32_t n_aniso;                            // atoms with anisotropic U
  int32_t i_atm;                              // work index of the current atom
  rt::Array1<int32_t, MAXATOM> i_atold;       // atom number: row serial, running count or own index
  rt::Array1<int32_t, MAXATOM> i_resid;       // residue of the atom in resid_inf
  rt::Array1<int32_t, MAXATOM> id_sf;         // scattering type in crst_crd, 0 none
  rt::Array1<int32_t, MAXATOM> b_flag;        // 0 isotropic; the atom's own index when anisotropic
  rt::Array1<int32_t, MAXATOM> corr_id;       // correction code
  rt::Array1<Text<4>, MAXATOM> atm_name;      // name after normalisation
  rt::Array1<Text<4>, MAXATOM> atm_name_inp;  // name as read
  rt::Array1<Text<4>, MAXATOM> atm_chem;      // chemical element symbol
  rt::Array1<Text<1>, MAXATOM> atm_type;      // atom type code
  rt::Array1<Text<1>, MAXATOM> id_alt;        // alternate-location identifier
  rt::Array1<Text<1>, MAXATOM> id_corr;       // correction flag
};
extern atom_inf_t atom_inf;

// Filled by the coordinate readers (coords); read by foundation and output.
struct atom_crd_t {
  rt::Array2<float, 3, MAXATOM> xyz_crd;     // orthogonal x y z in Angstrom
  rt::Array2<float, 3, MAXATSD> sd_crd;      // coordinate deviations: one slot, not per atom
  rt::Array2<float, 6, MAXATOM> u_aniso;     // U11 U22 U33 U12 U13 U23
  rt::Array2<float, 6, MAXATSD> sd_aniso;    // deviations of U: one slot
  rt::Array1<float, MAXATOM> occup;          // occupancy
  rt::Array1<float, MAXATSD> sd_occ;         // occupancy deviation: one slot
  rt::Array1<int32_t, MAXATOM> mult_factor;  // symmetry multiplicity of the site
};
extern atom_crd_t atom_crd;

// ------------------------------------------------------------- residues
// Filled by the coordinate readers (coords), ids set by foundation; read by output.
struct resid_inf_t {
  int32_t n_residue;                           // residues stored
  int32_t i_residue;                           // work index of the current residue
  rt::Array1<int32_t, MAXRESID> natm_res;      // atoms of the residue
  rt::Array1<int32_t, MAXRESID> ires_serial;   // serial number of the residue
  rt::Array1<int32_t, MAXRESID> ires_global;   // global residue number (set by later stages)
  rt::Array1<int32_t, MAXRESID> ires_back;     // -1 for the first residue of a chain
  rt::Array1<int32_t, MAXRESID> ires_forw;     // 0 for the last residue of a chain
  rt::Array1<int32_t, MAXRESID> iratm_first;   // first atom of the residue
  rt::Array1<int32_t, MAXRESID> i_chain;       // chain of the residue in asym_part
  rt::Array1<int32_t, MAXRESID> ires_type;     // residue class (CIF residue-type code)
  rt::Array1<int32_t, MAXRESID> iconn_type;    // connection type (CIF link code)
  rt::Array1<Text<8>, MAXRESID> res_name;      // residue (monomer) name
  rt::Array1<Text<3>, MAXRESID> res_name_pdb;  // residue name as in the PDB file
  rt::Array1<Text<12>, MAXRESID> res_num_pdb;  // key: chain, number, insertion code, chain id
  rt::Array1<Text<1>, MAXRESID> mod_flag;      // "Y": carries a modification
  rt::Array1<Text<1>, MAXRESID> link_flag;     // "Y": takes part in a link
};
extern resid_inf_t resid_inf;

// --------------------------------------------------------------- chains
// Filled by the coordinate readers (coords), ids set by foundation; read by output, apps.
struct asym_part_t {
  int32_t n_group;                            // chains stored
  int32_t i_grp;                              // work index of the current chain
  rt::Array1<int32_t, MAXCHAIN> i_ncs;        // NCS operator (old-to-new group while regrouping)
  rt::Array1<int32_t, MAXCHAIN> nres_chain;   // residues of the chain
  rt::Array1<int32_t, MAXCHAIN> natm_chain;   // atoms of the chain
  rt::Array1<int32_t, MAXCHAIN> iatom_first;  // first atom of the chain
  rt::Array1<int32_t, MAXCHAIN> ires_first;   // first residue; a chain's residues are consecutive
  rt::Array1<int32_t, MAXCHAIN> ires_start_tree;  // first residue of the chain tree
  rt::Array1<int32_t, MAXCHAIN> ires_end_tree;    // last residue of the chain tree
  rt::Array1<int32_t, MAXCHAIN> igroup_asm;       // assembly group in cif_asym_part, 0 none
  rt::Array1<int32_t, MAXCHAIN> ichain_grp;       // chain number of the link rows: its own index
  rt::Array1<int32_t, MAXCHAIN> mult_flag;        // multiplicity flag (1 after mmCIF input)
  rt::Array1<int32_t, MAXCHAIN> iterm_s_type;     // start terminus type
  rt::Array1<int32_t, MAXCHAIN> iterm_f_type;     // end terminus type
  rt::Array1<int32_t, MAXCHAIN> ich_type;         // chain type (CIF chain-type code)
  rt::Array1<Text<1>, MAXCHAIN> ncs_flag;         // chain is NCS-related
  rt::Array1<Text<4>, MAXCHAIN> group_id;         // group (segment) identifier
  rt::Array1<Text<4>, MAXCHAIN> chain_id;         // chain identifier of every writer
};
extern asym_part_t asym_part;

// Filled by the mmCIF readers (coords); read by output and the TLS program.
struct cif_asym_part_t {
  int32_t n_grp_asm;                                // assembly groups stored
  rt::Array1<int32_t, MAXCHAIN> asm_chain_pointer;  // entity of the group, 0 none
  rt::Array1<int32_t, MAXCHAIN> asm_group_pointer;  // chain of the group in asym_part, 0 none
  rt::Array1<Text<4>, MAXCHAIN> asm_group_id;       // group identifier
  rt::Array1<Text<4>, MAXCHAIN> asm_chain_id;       // entity identifier of the group
};
extern cif_asym_part_t cif_asym_part;

// ----------------------------------------------------------------- links
// Filled by the coordinate readers (coords) and the model tables of identify;
// read by output.
struct link_inf_t {
  int32_t ln_n;                           // links stored
  rt::Array1<float, MAXLINK> ln_dist;     // link distance in Angstrom
  rt::Array1<int32_t, MAXLINK> ln_1ires;  // residue of end 1
  rt::Array1<int32_t, MAXLINK> ln_1ichn;  // chain of end 1
  rt::Array1<int32_t, MAXLINK> ln_2ires;  // residue of end 2
  rt::Array1<int32_t, MAXLINK> ln_2ichn;  // chain of end 2
  rt::Array1<Text<8>, MAXLINK> ln_1rnam;  // residue name of end 1
  rt::Array1<Text<8>, MAXLINK> ln_2rnam;  // residue name of end 2
  rt::Array1<Text<8>, MAXLINK> ln_id;     // link identifier
  rt::Array1<Text<5>, MAXLINK> ln_seq1;   // residue number text of end 1
  rt::Array1<Text<5>, MAXLINK> ln_seq2;   // residue number text of end 2
  rt::Array1<Text<4>, MAXLINK> ln_1chn;   // chain identifier of end 1
  rt::Array1<Text<4>, MAXLINK> ln_2chn;   // chain identifier of end 2
  rt::Array1<Text<5>, MAXLINK> ln_atom1;  // atom name of end 1
  rt::Array1<Text<5>, MAXLINK> ln_atom2;  // atom name of end 2
  rt::Array1<Text<8>, MAXLINK> ln_symm1;  // symmetry code of end 1
  rt::Array1<Text<8>, MAXLINK> ln_symm2;  // symmetry code of end 2
  rt::Array1<Text<1>, MAXLINK> ln_alt1;   // alternate location of end 1
  rt::Array1<Text<1>, MAXLINK> ln_alt2;   // alternate location of end 2
  rt::Array1<Text<1>, MAXLINK> ln_used;   // "U" applied
  rt::Array1<Text<1>, MAXLINK> ln_ent;    // entity-link origin: "L", "E" or "e"
};
extern link_inf_t link_inf;

// A symmetry code that leaves a link end where the model has it: none given
// (".") or the identity with no cell shift ("1_555"), which the PDB LINK
// records and the connection rows of the coordinate files write.
inline bool identity_symmetry(const Text<8>& s) { return s == "." || s == "1_555"; }
// Both ends of link row k where the model has them.
inline bool link_in_unit(int k) {
  return identity_symmetry(link_inf.ln_symm1(k)) && identity_symmetry(link_inf.ln_symm2(k));
}

namespace foundation {
// Link row `to` becomes a copy of row `from` (the caller has made room).
inline void copy_link_fields(int from, int to) {
  link_inf_t& l = link_inf;
  l.ln_dist(to) = l.ln_dist(from);
  l.ln_1ires(to) = l.ln_1ires(from);
  l.ln_1ichn(to) = l.ln_1ichn(from);
  l.ln_2ires(to) = l.ln_2ires(from);
  l.ln_2ichn(to) = l.ln_2ichn(from);
  l.ln_1rnam(to) = l.ln_1rnam(from);
  l.ln_2rnam(to) = l.ln_2rnam(from);
  l.ln_id(to) = l.ln_id(from);
  l.ln_seq1(to) = l.ln_seq1(from);
  l.ln_seq2(to) = l.ln_seq2(from);
  l.ln_1chn(to) = l.ln_1chn(from);
  l.ln_2chn(to) = l.ln_2chn(from);
  l.ln_atom1(to) = l.ln_atom1(from);
  l.ln_atom2(to) = l.ln_atom2(from);
  l.ln_symm1(to) = l.ln_symm1(from);
  l.ln_symm2(to) = l.ln_symm2(from);
  l.ln_alt1(to) = l.ln_alt1(from);
  l.ln_alt2(to) = l.ln_alt2(from);
  l.ln_used(to) = l.ln_used(from);
  l.ln_ent(to) = l.ln_ent(from);
}
}  // namespace foundation

// --------------------------------------------------------- modifications
// Filled by the coordinate readers (coords) and the model tables of identify;
// read by output.
struct mod_inf_t {
  int32_t mod_n;                               // modifications stored
  rt::Array1<int32_t, MAXMODIF> mod_ires;      // residue modified
  rt::Array1<int32_t, MAXMODIF> mod_ichn;      // chain of the residue
  rt::Array1<Text<8>, MAXMODIF> mod_rnam;      // residue name in the file
  rt::Array1<Text<8>, MAXMODIF> mod_id;        // modification identifier
  rt::Array1<Text<8>, MAXMODIF> mod_rnam_new;  // residue name in the model
  rt::Array1<Text<5>, MAXMODIF> mod_seq;       // residue number text
  rt::Array1<Text<4>, MAXMODIF> mod_chn;       // chain identifier
  rt::Array1<Text<1>, MAXMODIF> mod_used;      // "U" applied
};
extern mod_inf_t mod_inf;

// ------------------------------------- working cell, symmetry, scattering
// Filled by the readers (coords) and the cell helpers (foundation); read by output.
struct crst_crd_t {
  rt::Array1<float, 6> cs_cell;              // a b c in Angstrom, angles in radians
  rt::Array2<float, 3, 3> cs_ort_to_frac;    // orthogonal to fractional
  rt::Array2<float, 3, 3> cs_frac_to_ort;    // fractional to orthogonal
  rt::Array3<float, 3, 3, MAXNSO> cs_m_cs;   // rotations of the symmetry operators
  rt::Array2<float, 3, MAXNSO> cs_v_cs;      // their translations (fractional)
  rt::Array3<float, 3, 3, MAXNCS> cs_m_ncs;  // NCS rotations
  rt::Array2<float, 3, MAXNCS> cs_v_ncs;     // NCS translations
  rt::Array2<float, 5, MAXNSF> cs_a;         // scattering-factor a coefficients per type
  rt::Array2<float, 5, MAXNSF> cs_b;         // scattering-factor b coefficients per type
  rt::Array1<float, MAXNSF> cs_c;            // constant term per type
  rt::Array1<float, MAXNSF> cs_fi;           // anomalous f' per type
  rt::Array1<float, MAXNSF> cs_fii;          // anomalous f'' per type
  rt::Array1<float, MAXNSF> cs_radius;       // radius per type
  int32_t cs_nsym;                           // symmetry operators
  int32_t cs_nsymop;                         // operators read as text
  int32_t cs_nspgr;                          // space-group number
  int32_t cs_sett;                           // setting number
  rt::Array1<int32_t, MAXNSO> cs_numb_cs;    // number attached to each operator
  int32_t cs_nsfatm;                         // scattering types stored
  rt::Array1<int32_t, MAXNSF> cs_nelec;      // electrons per type
  int32_t cs_ncs;                            // NCS operators
  Text<24> cs_spgr;                          // space-group name
  rt::Array1<Text<4>, MAXNSF> cs_atype;      // scattering-type name
  rt::Array1<Text<4>, MAXNSF> cs_element;    // element symbol of the type
};
extern crst_crd_t crst_crd;

// Set by the coordinate readers (coords); read by the mmCIF writer (output).
struct com_out_cif_t {
  int32_t out_cif_mult;  // write the multiplicity column
  int32_t out_cif_corr;  // write the correction column
  int32_t out_cif_ins;   // write the insertion-code column
};
extern com_out_cif_t com_out_cif;

// ------------------------------------------ header values of a PDB file
// Filled by the coordinate readers (coords) and output; read by the writers (output).
struct crst_pdb_t {
  rt::Array2<float, 3, 3> cs_scale;
  rt::Array1<float, 3> cs_u;
  float cs_temper;
  float cs_wavel;
  float cs_res_min;
  float cs_res_max;
  float cs_rfac_all;
  float cs_rfac_obs;
  float cs_sigma_i;
  float cs_sigma_f;
  int32_t cs_model_pdb;
  Text<8> cs_cd_pdb;
  Text<8> cs_cd_ndb;
  Text<8> cs_cd_csd;
  Text<MAXTITLE> cs_name_pdb;
  Text<9> cs_date_pdb;
  Text<10> cs_date_ndb;
  Text<20> cs_date_creat;
  Text<MAXTITLE> cs_title;
  Text<40> cs_resl_pdb;
  Text<40> cs_rfac_pdb;
  Text<40> cs_program;
  Text<40> cs_method;
};
extern crst_pdb_t crst_pdb;

// Reset by foundation (init_atm_inf_); no room reads it yet.
struct crst_pdb_2_t {
  float cs_rfac_cut;
  int32_t cs_nmodel;
  float cs_rmerg_all;
  float cs_res_rmin;
  float cs_res_rmax;
  float cs_rmerg_obs;
  float cs_sigmar_i;
  float cs_sigmar_f;
  float cs_rmerg_iobs;
  float cs_rfree_all;
  float cs_rfree_obs;
  float cs_rfree_cut;
  float cs_dpi;
  float cs_err_crd_min;
  float cs_err_crd_max;
  Text<MAXTITLE> cs_ndb_title;
  Text<MAXTITLE> cs_name_ndb;
  Text<1> cs_info_flag;
};
extern crst_pdb_2_t crst_pdb_2;

// Filled by the PDB header readers (coords); read by coords.
// Refinement values of the coordinate set being read (reader's buffers).
struct crdpdb_t {
  float cr_temper;
  float cr_wavel;
  float cr_res_min;
  float cr_res_max;
  float cr_rfac_all;
  float cr_rfac_obs;
  float cr_sigma_i;
  float cr_sigma_f;
  Text<8> cr_cd_ndb;
  Text<8> cr_cd_csd;
  Text<10> cr_date_ndb;
  Text<20> cr_date_creat;
  Text<40> cr_program;
  Text<40> cr_method;
};
extern crdpdb_t crdpdb;

// Filled by the PDB header readers (coords); read by coords.
struct crdpdb_2_t {
  float cr_rfac_cut;
  int32_t cr_nmodel;
  float cr_rmerg_all;
  float cr_res_rmin;
  float cr_res_rmax;
  float cr_rmerg_obs;
  float cr_sigmar_i;
  float cr_sigmar_f;
  float cr_rmerg_iobs;
  float cr_rfree_all;
  float cr_rfree_obs;
  float cr_rfree_cut;
  float cr_dpi;
  float cr_err_crd_min;
  float cr_err_crd_max;
  Text<MAXTITLE> cr_ndb_title;
  Text<MAXTITLE> cr_name_ndb;
  Text<1> cr_info_flag;
};
extern crdpdb_2_t crdpdb_2;

// Filled and read by the restraint-row files (output); defaults from foundation.
// One van der Waals restraint row.
struct crdrsv_t {
  float rsv_ridl;
  float rsv_robs;
  float rsv_cns;
  int32_t rsv_nvdw;
  int32_t rsv_nhb;
  int32_t rsv_ia1;
  int32_t rsv_ia2;
  int32_t rsv_num;
  Text<4> rsv_name;
  Text<1> rsv_type;
  Text<1> rsv_hflag;
  Text<10> rsv_symm;
};
extern crdrsv_t crdrsv;

// Set by the mmCIF readers (coords); read by coords.
// Who wrote the coordinate file: "." any program, "B" our own mmCIF writer.
struct com_dict_file_t {
  Text<8> prog_name_crd;
};
extern com_dict_file_t com_dict_file;

// ---------------------------------------------------- entity description
// Filled by the mmCIF header reader (coords); read by coords and output.
struct cif_entity_list_t {
  int32_t n_chn_ent;                                   // entities stored
  rt::Array1<int32_t, MAXENTITY> ent_nres_chain;       // sequence rows of the entity
  rt::Array1<int32_t, MAXENTITY> ent_ires_first;       // first sequence row
  rt::Array1<int32_t, MAXENTITY> ent_igroup_first;     // first chain of the entity
  rt::Array1<int32_t, MAXENTITY> ent_ires_start_tree;  // sequence row that starts the tree
  rt::Array1<int32_t, MAXENTITY> ent_ires_end_tree;    // sequence row that ends the tree
  rt::Array1<int32_t, MAXENTITY> ent_iterm_s_type;     // start terminus type
  rt::Array1<int32_t, MAXENTITY> ent_iterm_f_type;     // end terminus type
  rt::Array1<int32_t, MAXENTITY> ent_ichain_type;      // chain type (residue-class code)
  rt::Array1<Text<5>, MAXENTITY> ent_res_start_tree;   // author number of the tree start
  rt::Array1<Text<5>, MAXENTITY> ent_res_end_tree;     // author number of the tree end
  rt::Array1<Text<8>, MAXENTITY> ent_term_s_type;      // start terminus name
  rt::Array1<Text<8>, MAXENTITY> ent_term_f_type;      // end terminus name
  rt::Array1<Text<4>, MAXENTITY> ent_chain_id;         // entity identifier
  rt::Array1<Text<16>, MAXENTITY> ent_chain_type;      // entity type as read
};
extern cif_entity_list_t cif_entity_list;

// Filled by the mmCIF header reader (coords); read by coords and output.
struct cif_ent_poly_seq_t {
  int32_t ent_nresidue;                              // sequence rows stored
  rt::Array1<int32_t, MAXENTSEQ> ent_ires_serial;    // serial within the entity
  rt::Array1<int32_t, MAXENTSEQ> ent_ires_back;      // row before in the tree, 0 none
  rt::Array1<int32_t, MAXENTSEQ> ent_ires_forw;      // row after in the tree
  rt::Array1<int32_t, MAXENTSEQ> ent_ichain;         // entity of the row
  rt::Array1<int32_t, MAXENTSEQ> ent_ires_type;      // residue class
  rt::Array1<int32_t, MAXENTSEQ> ent_iconn_type;     // connection type to the row before
  rt::Array1<Text<8>, MAXENTSEQ> ent_mod_id;         // modification identifier
  rt::Array1<Text<8>, MAXENTSEQ> ent_res_name;       // residue name
  rt::Array1<Text<5>, MAXENTSEQ> ent_res_auth_num;   // author residue number
  rt::Array1<Text<5>, MAXENTSEQ> ent_res_auth_bnum;  // author number of the row before
  rt::Array1<Text<5>, MAXENTSEQ> ent_res_auth_fnum;  // author number of the row after
};
extern cif_ent_poly_seq_t cif_ent_poly_seq;

// Filled by the mmCIF header reader (coords); read by coords and output.
struct cif_ent_link_t {
  int32_t ent_ln_n;                                  // entity links stored
  rt::Array1<float, MAXENTLINK> ent_ln_dist;         // distance in Angstrom
  rt::Array1<int32_t, MAXENTLINK> ent_ln_ichain;     // entity of the link
  rt::Array1<int32_t, MAXENTLINK> ent_ln_1ires;      // sequence row of end 1
  rt::Array1<int32_t, MAXENTLINK> ent_ln_2ires;      // sequence row of end 2
  rt::Array1<Text<8>, MAXENTLINK> ent_ln_1rnam;      // residue name of end 1
  rt::Array1<Text<8>, MAXENTLINK> ent_ln_2rnam;      // residue name of end 2
  rt::Array1<Text<8>, MAXENTLINK> ent_ln_id;         // link identifier
  rt::Array1<Text<5>, MAXENTLINK> ent_ln_atom1;      // atom name of end 1
  rt::Array1<Text<5>, MAXENTLINK> ent_ln_atom2;      // atom name of end 2
  rt::Array1<Text<5>, MAXENTLINK> ent_ln_auth_num1;  // author number of end 1
  rt::Array1<Text<5>, MAXENTLINK> ent_ln_auth_num2;  // author number of end 2
  rt::Array1<Text<1>, MAXENTLINK> ent_ln_used;  // "L" read, "E" from the sequence, "e" a duplicate
};
extern cif_ent_link_t cif_ent_link;

// ------------------------------------------- run and coordinate-file state
// Filled by foundation (defaults, paths), coords, output, drawing; read by all of them.
struct crdinf_t {
  rt::Array1<float, 6> cr_cell;            // a b c in Angstrom, angles in radians
  rt::Array2<float, 3, 3> cr_scale;        // scale matrix of the file (SCALEn)
  rt::Array1<float, 3> cr_u;               // scale translation
  int32_t cr_nspgr;                        // space-group number
  int32_t cr_sett;                         // space-group setting
  rt::Array2<float, 3, 3> cr_ort_to_frac;  // orthogonal to fractional
  rt::Array2<float, 3, 3> cr_frac_to_ort;  // fractional to orthogonal
  rt::Array2<float, 3, 3> cr_m_ncs;        // rotation of one NCS operator
  rt::Array1<float, 3> cr_v_ncs;           // its translation
  float cr_cf1;                            // not used by the coordinate input
  float cr_cf2;                            // not used by the coordinate input
  float cr_tov;                            // not used by the coordinate input
  int32_t cr_nsym;                         // symmetry operators
  int32_t cr_ncs;                          // NCS operators
  int32_t cr_mult_flag;                    // multiplicity flag (1 for every mmCIF row)
  int32_t cr_model_pdb;                    // model number of the file
  int32_t cr_isymop;                       // not set by the coordinate input
  int32_t crdoc_iun;                       // documentation unit
  int32_t crbat_iun;                       // batch-file unit
  int32_t crsm_iun;                        // summary unit
  int32_t crps_iun;                        // PostScript unit
  int32_t cri1_iun;                        // extra input units 1 to 3
  int32_t cri2_iun;
  int32_t cri3_iun;
  int32_t cro2_iun;  // extra output units 2 and 3
  int32_t cro3_iun;
  int32_t cr_sc_iun;                         // scratch unit
  int32_t cri_iun;                           // input coordinates: opened and closed by the readers
  int32_t cro_iun;                           // output coordinates
  int32_t crs_iun;                           // structure-description input
  int32_t crso_iun;                          // structure-description output
  int32_t crr_iun;                           // restraint input
  int32_t crro_iun;                          // restraint output
  int32_t crv_iun;                           // van der Waals input
  int32_t crvo_iun;                          // van der Waals output
  Text<4> cr_cd_pdb;                         // entry code
  Text<MAXTITLE> cr_name_pdb;                // classification or name of the entry
  Text<9> cr_date_pdb;                       // deposition date
  Text<MAXTITLE> cr_title;                   // title; "code_CSD:" marks a small-molecule file
  Text<40> cr_resl_pdb;                      // resolution as text
  Text<40> cr_rfac_pdb;                      // R value as text
  Text<24> cr_symop;                         // first symmetry operator as text
  Text<24> cr_spgr;                          // space-group name
  Text<6> cr_pdb_rec;                        // name of the current PDB record
  Text<1> cr_hflag;                          // hydrogen switch of the run
  Text<1> cr_segflag;                        // "Y": segment identifiers decide chains
  Text<20> cr_time;                          // time stamp
  Text<8> cr_prog_name;                      // program name
  Text<256> cr_prog_path;                    // program directory
  Text<256> cr_lib_path;                     // library directory
  Text<256> crg_file, crg_path, crg_ext;     // general file (path, name, extension)
  Text<256> cri_file, cri_path, cri_ext;     // input coordinates
  Text<256> cro_file, cro_path, cro_ext;     // output coordinates
  Text<256> crs_file, crs_path, crs_ext;     // structure-description input
  Text<256> crso_file, crso_path, crso_ext;  // structure-description output
  Text<256> crr_file, crr_path, crr_ext;     // restraint input
  Text<256> crro_file, crro_path, crro_ext;  // restraint output
  Text<256> crv_file, crv_path, crv_ext;     // van der Waals input
  Text<256> crvo_file, crvo_path, crvo_ext;  // van der Waals output
  Text<256> crps_file, crps_path, crps_ext;  // PostScript file
  Text<1> cr_soft;                           // mmCIF row mode: "B" takes correction codes as read
  Text<1> cr_form_rst;                       // form of the restraint file
};
extern crdinf_t crdinf;

// Filled by the row readers (coords, output); read by coords and output.
// The one-atom record between the row readers/writers and the atom tables.
struct crdatm_t {
  rt::Array1<float, 3> cr_xyz;    // orthogonal x y z in Angstrom
  rt::Array1<float, 3> cr_csd;    // their deviations
  float cr_biso;                  // isotropic B
  float cr_bsd;                   // its deviation
  rt::Array1<float, 6> cr_anis;   // U11 U22 U33 U12 U13 U23
  rt::Array1<float, 6> cr_asd;    // their deviations
  float cr_occ;                   // occupancy
  float cr_osd;                   // its deviation
  rt::Array1<float, 6> cr_udata;  // not used by the coordinate input
  int32_t cr_mult_factor;         // site multiplicity (1 general)
  int32_t cr_iatom;               // atom rows read from the file so far
  int32_t cr_iatold;              // atom serial number as read
  int32_t cr_ia;                  // atom in the atom tables
  int32_t cr_ires;                // residue sequence number
  int32_t cr_igres;               // residue in resid_inf
  int32_t cr_ich;                 // chain
  int32_t cr_igroup;              // group
  int32_t cr_b_flag;              // kind of the atom's B
  int32_t cr_sf_id;               // scattering type
  Text<4> cr_aname;               // atom name, normalised
  Text<4> cr_aname_inp;           // atom name as read
  Text<4> cr_asymb;               // element symbol
  Text<1> cr_atype;               // atom type or calculation flag
  Text<1> cr_alt;                 // alternate location, "." none
  Text<1> cr_corr;                // correction code, "." none
  Text<1> cr_btype;               // "A" anisotropic U, else "."
  Text<8> cr_rname;               // residue (monomer) name
  Text<3> cr_rname_pdb;           // residue name as in a PDB file
  Text<12> cr_pnum;               // residue key within the file
  Text<16> cr_rtype;              // residue type
  Text<8> cr_term;                // terminus type
  Text<4> cr_chain;               // chain identifier
  Text<4> cr_group;               // group (segment or assembly) identifier
  Text<1> cr_fsc;                 // not used by the coordinate input
  Text<1> cr_fsa;                 // not used by the coordinate input
  Text<1> cr_flag_user;           // "A": anisotropic U given
  Text<256> cr_line;              // text line of the current record
};
extern crdatm_t crdatm;

// Filled by the restraint-row files (output), defaults from foundation; read by output.
// One restraint record and the restraint counters of the run.
struct crdrst_t {
  float rs_vidl;
  float rs_sdi;
  float rs_vobs;
  float rs_cns;
  float rs_cn0;
  float rs_dist;
  float rs_desd;
  int32_t rs_natom;
  int32_t rs_nbond;
  int32_t rs_nbnds;
  int32_t rs_nangl;
  int32_t rs_ntors;
  int32_t rs_nchir;
  int32_t rs_nplan;
  int32_t rs_nvdw;
  int32_t rs_nhb;
  int32_t rs_prd;
  int32_t rs_ia1;
  int32_t rs_ia2;
  int32_t rs_ia3;
  int32_t rs_ia4;
  int32_t rs_num;
  Text<4> rs_name;
  Text<1> rs_type;
  Text<8> rs_label;
  Text<4> rs_source;
  Text<8> rs_source_id;
};
extern crdrst_t crdrst;

// Filled by coords and the structure-row files (output); read by output.
// One structure-description row (one atom).
struct crdstr_t {
  float st_vdw;
  float st_ion;
  float st_char;
  float st_dist;
  float st_tht;
  float st_psi;
  int32_t st_ia;
  int32_t st_iback;
  int32_t st_ifor;
  int32_t st_iextr;
  int32_t st_iextr2;
  int32_t st_iextr3;
  int32_t st_ichem;
  Text<4> st_chem;
  Text<1> st_hbt;
  Text<12> st_pnum;
  Text<4> st_id_psi;
  Text<4> st_back;
  Text<4> st_for;
  Text<4> st_extr;
  Text<4> st_extr2;
  Text<4> st_extr3;
  Text<10> st_lname;
  Text<10> st_lvers;
  Text<10> st_ldate;
};
extern crdstr_t crdstr;

// Option words of the coordinate code.
inline constexpr int NCOMASK = 42;
// Filled and read by foundation.
struct comask_t {
  rt::Array1<int32_t, NCOMASK> iask;
};
extern comask_t comask;
// Filled and read by foundation.
struct comask2_t {
  rt::Array1<int32_t, 2> iask2;
};
extern comask2_t comask2;

// Empties the structure model and resets the cell and symmetry.
// Writes atom_inf, resid_inf, asym_part, cif_asym_part, link_inf, mod_inf, the entity tables,
// crst_crd, crst_pdb, crst_pdb_2, com_out_cif, com_dict_file.
void init_atm_inf_(int32_t mdoc, int32_t& ierr);

// Resets the run state and the one-atom record for the dictionary pipeline
// and fills the file triples from the run's file names.
// Writes crdinf, crdatm, crdpdb, crdrst, crdrsv, crdstr.
void initcrd_(int32_t mdoc, std::string_view in_file_pdb, std::string_view in_file_cif,
              std::string_view out_file_cif, std::string_view in_file_str,
              std::string_view out_file_str, std::string_view in_file_rst,
              std::string_view out_file_rst, char restr_flag, char h_flag, int32_t& ierr);

// Fills the file triples from one input and one output name.
// Writes crdinf.
void setparm_(int32_t mdoc, std::string_view in_file_pdb, std::string_view out_file_cif, char form,
              int32_t& ierr);
