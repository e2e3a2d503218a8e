// PDB link and modification records.  A cis peptide inside the asymmetric
// unit and without alternates is a CISPEP record, a disulphide without
// alternates an SSBOND record (symmetry codes in columns 60-72); every
// other link is a LINK record carrying the link name in columns 73-80.
// Only a special link keeps its alternates (output::link_alt_written).
#include "output/pdb_links.h"

#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "output/conn_loops.h"
#include "output/out_lines.h"
#include "output/pdb_names.h"

namespace {

constexpr std::string_view kOpenMsg = " ERROR: output_CRD(PDB)_file isn't open";
constexpr std::string_view kSsbond =
    "(A6,1X,I3,1X,A3,1X,A1,1X,A5,3X,A3,1X,A1,1X,A5,1X,A4,1X,A4,13X,A6,1X,A6)";
constexpr std::string_view kCispep =
    "(A6,1X,I3,1X,A3,1X,A1,1X,A5,3X,A3,1X,A1,1X,A5,1X,A4,1X,A4,7X,F6.2)";
constexpr std::string_view kLink = "(A4,8X,A5,A3,1X,A1,A5,3X,A10,2X,A5,A3,1X,A1,A5,2X,A6,1X,A6,A8)";
constexpr std::string_view kModres = "(A6,6X,A3,1X,A1,1X,A5,1X,A8,1X,A4,35X,A8)";

// One end of a link as its records write it.
struct End {
  rt::FixedText<4> atom;
  rt::FixedText<1> alt;
  rt::FixedText<8> symm;
  rt::FixedText<2> gr;
  rt::FixedText<5> ires;
  rt::FixedText<4> seg;
  rt::FixedText<3> rnam;
  rt::FixedText<5> atoma;
};

// A symmetry code without its underscores (1_555 becomes 1555); blank for
// a blank code or one that begins with ".".
rt::FixedText<8> symmetry_code(const rt::FixedText<8>& code) {
  rt::FixedText<8> out;
  out.blank();
  if (code.is_blank() || code(1) == '.') return out;
  int n = 0;
  for (int k = 1; k <= 8; ++k)
    if (code(k) != '_') out(++n) = code(k);
  return out;
}

End link_end(std::string_view atom, const rt::FixedText<1>& alt, const rt::FixedText<8>& symm,
             int32_t ires, int32_t ichn, char seg_flag) {
  End e;
  e.atom = atom.substr(0, 4);
  e.alt = alt;
  e.symm = symmetry_code(symm);
  e.gr.blank();
  e.ires.blank();
  e.seg.blank();
  e.rnam.blank();
  if (ires > 0 && ichn > 0) {
    const rt::FixedText<12>& pnum = resid_inf.res_num_pdb(ires);
    e.gr = pnum.sub(1, 2);
    e.ires = pnum.sub(3, 7);
    e.seg = pnum.sub(8, 11);
    // Named as the atom records name the residue, whatever name the link
    // row was made under (see the mmCIF connection rows).
    e.rnam = resid_inf.res_name(ires).sub(1, 3);
    if (e.ires(5) == '.') e.ires(5) = ' ';
    // The name as read replaces the normalised one.
    if (!e.atom.is_blank() && !(e.atom == ".")) {
      const int32_t first = resid_inf.iratm_first(ires);
      for (int32_t ia = first; ia < first + resid_inf.natm_res(ires); ++ia)
        if (atom_inf.atm_name(ia) == e.atom) {
          const int32_t isf = atom_inf.id_sf(ia);
          const std::string_view element =
              isf >= 1 && isf <= MAXNSF ? crst_crd.cs_element(isf).view() : std::string_view();
          e.atom = output::pdb_input_name(atom_inf.atm_name_inp(ia).view(), element, e.rnam.view());
        }
    }
  }
  pdb_rname_corr_to_write_(e.rnam, 3);
  if (e.symm(1) == '.') e.symm.blank();
  if (e.alt(1) == '.') e.alt(1) = ' ';
  if (e.atom(1) == '.') e.atom(1) = ' ';
  if (e.rnam(1) == '.') e.rnam(1) = ' ';
  e.atoma.sub(1, 4).assign(e.atom.view());
  e.atoma(5) = e.alt(1);
  if (seg_flag != 'Y') e.seg.blank();
  return e;
}

bool selected(int32_t i) {
  const link_inf_t& k = link_inf;
  const char c = k.ln_id(i)(1);
  if ((c == '?' || c == '.') && k.ln_ent(i)(1) != 'E') return false;
  const char used = k.ln_used(i)(1);
  if (k.ln_id(i) == "PTRANS" && used != 'U' && used != 'S' && used != 'u') return false;
  return true;
}

}  // namespace

void wrt_link_pdb_(int32_t mdoc, int32_t iun, char seg_flag, int32_t& ierr) {
  ierr = 0;
  const link_inf_t& k = link_inf;
  if (k.ln_n <= 0) return;
  if (iun == 0) {
    msgerr_(mdoc, kOpenMsg);
    ierr = 5;
    return;
  }
  output::Line line;
  int32_t ncis = 0, nss = 0;
  for (int32_t i = 1; i <= k.ln_n; ++i) {
    if (!selected(i)) continue;
    const End a = link_end(k.ln_atom1(i).view(), output::link_alt_written(i, k.ln_alt1(i)),
                           k.ln_symm1(i), k.ln_1ires(i), k.ln_1ichn(i), seg_flag);
    const End b = link_end(k.ln_atom2(i).view(), output::link_alt_written(i, k.ln_alt2(i)),
                           k.ln_symm2(i), k.ln_2ires(i), k.ln_2ichn(i), seg_flag);
    const bool no_alt = a.alt.is_blank() && b.alt.is_blank();
    const std::string_view s1 = a.symm.sub(1, 6), s2 = b.symm.sub(1, 6);
    const std::string_view g1 = a.gr.sub(1, 1), g2 = b.gr.sub(1, 1);
    if (k.ln_id(i) == "PCIS" ||
        (k.ln_id(i) == "CIS" && a.symm.is_blank() && b.symm.is_blank() && no_alt)) {
      ++ncis;
      output::put_line(iun, line, ierr, kCispep, "CISPEP", ncis, a.rnam, g1, a.ires, b.rnam, g2,
                       b.ires, a.seg, b.seg, 0.0f);
    } else if (k.ln_id(i) == "SS" && no_alt) {
      ++nss;
      output::put_line(iun, line, ierr, kSsbond, "SSBOND", nss, a.rnam, g1, a.ires, b.rnam, g2,
                       b.ires, a.seg, b.seg, s1, s2);
    } else {
      rt::FixedText<10> segs;
      segs.blank();
      segs.sub(1, 4).assign(a.seg.view());
      segs.sub(6, 9).assign(b.seg.view());
      output::put_line(iun, line, ierr, kLink, "LINK", a.atoma, a.rnam, g1, a.ires, segs, b.atoma,
                       b.rnam, g2, b.ires, s1, s2, k.ln_id(i));
    }
    if (ierr != 0) return;
  }
}

void wrt_mod_pdb_(int32_t mdoc, int32_t iun, char seg_flag, int32_t& ierr) {
  ierr = 0;
  const mod_inf_t& m = mod_inf;
  if (m.mod_n <= 0) return;
  if (iun == 0) {
    msgerr_(mdoc, kOpenMsg);
    ierr = 5;
    return;
  }
  output::Line line;
  for (int32_t i = 1; i <= m.mod_n; ++i) {
    const int32_t ir = m.mod_ires(i);
    rt::FixedText<5> ires(".");
    if (ir > 0) ires = resid_inf.res_num_pdb(ir).sub(3, 7);
    const rt::FixedText<8> rnam(output::or_dot(m.mod_rnam(i).view()));
    rt::FixedText<3> rnamn(output::or_dot(m.mod_rnam_new(i).sub(1, 3)));
    pdb_rname_corr_to_write_(rnamn, 3);
    rt::FixedText<2> gr(". ");
    rt::FixedText<4> seg;
    seg.blank();
    // A chain without a residue has no residue text to take them from.
    if (m.mod_ichn(i) > 0 && ir > 0) {
      const rt::FixedText<12>& pnum = resid_inf.res_num_pdb(ir);
      gr = output::or_dot(pnum.sub(1, 2));
      seg = output::or_dot(pnum.sub(8, 11));
    }
    if (seg_flag != 'Y') seg.blank();
    output::put_line(iun, line, ierr, kModres, "MODRES", rnamn, gr.sub(1, 1), ires, rnam, seg,
                     m.mod_id(i));
    if (ierr != 0) return;
  }
}
