// New modifications.  A modification's rows carry its name and a function
// word ("add", "delete", "change"); a text beginning with "." keeps the old
// value.  Lengths and angles of new bonds and angles come from the energy
// library, with the generic entries of each type and a fixed value behind.
#include "connect/new_mods.h"

#include <algorithm>

#include "connect/element_classes.h"
#include "connect/mod_records.h"
#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "runtime/format.h"

com_crt_mod_t com_crt_mod;

namespace {

using Name4 = rt::FixedText<4>;

bool hydrogen(std::string_view symb) {
  return symb.size() >= 2 && (symb[0] == 'H' || symb[0] == 'D') && symb[1] == ' ';
}

// m3 and the atom forms of the names: every blank of them becomes "_".
rt::FixedText<3> stem(std::string_view mon) {
  rt::FixedText<3> m(mon);
  for (int i = 2; i <= 3; ++i)
    if (m(i) == ' ') m(i) = '_';
  return m;
}
Name4 form(std::string_view atom) {
  Name4 a(atom);
  for (int i = 1; i <= 4; ++i)
    if (a(i) == ' ') a(i) = '_';
  return a;
}

// Which creator is at work: the default-length line differs between them.
enum class Creator { One, Many };

struct NewMod {
  int32_t mdoc;
  int m;  // the entry in the modification list
  rt::FixedText<8> name;
  std::string_view mon;
  Creator who;
};

bool room(const NewMod& nm, int na, int nb, int ng, int32_t& ierr) {
  check_memory_l_(nm.mdoc, "MOD", na, nb, ng, 0, 0, ierr);
  return ierr == 0;
}

// The frame every creator shares: the two information lines, the room in the
// list, and the entry itself.  False (ierr 1) when the list is full.
bool register_mod(NewMod& nm, std::string_view namem, int32_t& imod, int32_t& ierr) {
  ierr = 0;
  const std::string_view desc = namem.substr(0, std::min<std::size_t>(rt::len_trim(namem), 48));
  msgdoc_(nm.mdoc, rt::fmt("('           create modification: ',A)", nm.name));
  const std::string detail = std::string("           detail: ").append(desc);
  msgdoc_(nm.mdoc, std::string_view(detail).substr(0, 78));
  auto& r = r_scratch;
  if (r.ldl_nmod >= MAXDMDF) {
    if (com_crt_mod.icrt_mod == 0) {
      msgerr_(nm.mdoc, rt::fmt("(' WARNING : Number of modifications >',I6)", MAXDMDF));
      msgerr_(nm.mdoc, "           Change parameter MAXDMDF in \"lib_com.fh\"");
      msgerr_(nm.mdoc, "           Now program stops to create new modifications.");
    }
    com_crt_mod.icrt_mod = 1;
    ierr = 1;
    return false;
  }
  com_crt_mod.icrt_mod = 0;
  const int m = ++r.ldl_nmod;
  nm.m = m;
  r.ldl_imod = m;
  imod = m;
  r.ldl_mname(m) = nm.name;
  r.ldl_detail(m) = desc;
  r.ldl_comp(m) = ".";
  r.ldl_type(m) = ".";
  r.ldl_fuse(m) = "C";
  r.ldl_order(m) = 0;
  r.ldl_iconn(m) = r.ldl_ibond(m) = r.ldl_ithet(m) = 0;
  r.ldl_itors(m) = r.ldl_iplan(m) = r.ldl_ichir(m) = 0;
  r.ldl_iatom(m) = r.lda_natom + 1;
  return true;
}

bool atom_row(const NewMod& nm, std::string_view funct, std::string_view aname,
              std::string_view anew, std::string_view symb, std::string_view chem, int32_t& ierr) {
  auto& r = r_scratch;
  if (!room(nm, r.lda_natom, 0, 0, ierr)) return false;
  const int k = ++r.lda_natom;
  r.lda_mname(k) = nm.name;
  r.lda_funct(k) = funct;
  r.lda_aname(k) = aname;
  r.lda_anew(k) = anew;
  r.lda_symb(k) = symb;
  r.lda_chem(k) = chem;
  r.lda_back(k) = ".";
  r.lda_forw(k) = ".";
  r.lda_charg(k) = 0.0f;
  return true;
}

bool bond_row(const NewMod& nm, std::string_view funct, std::string_view a1, std::string_view a2,
              float val, int32_t& ierr) {
  auto& r = r_scratch;
  if (!room(nm, 0, r.ldb_nbond, 0, ierr)) return false;
  const int k = ++r.ldb_nbond;
  if (r.ldl_ibond(nm.m) == 0) r.ldl_ibond(nm.m) = k;
  r.ldb_mname(k) = nm.name;
  r.ldb_funct(k) = funct;
  r.ldb_type(k) = ".";
  r.ldb_1atm(k) = a1;
  r.ldb_2atm(k) = a2;
  r.ldb_val(k) = val;
  r.ldb_dev(k) = 0.02f;
  return true;
}

bool angle_row(const NewMod& nm, std::string_view funct, std::string_view a1, std::string_view a2,
               std::string_view a3, float val, float dev, int32_t& ierr) {
  auto& r = r_scratch;
  if (!room(nm, 0, 0, r.ldg_nangl, ierr)) return false;
  const int k = ++r.ldg_nangl;
  if (r.ldl_ithet(nm.m) == 0) r.ldl_ithet(nm.m) = k;
  r.ldg_mname(k) = nm.name;
  r.ldg_funct(k) = funct;
  r.ldg_1atm(k) = a1;
  r.ldg_2atm(k) = a2;
  r.ldg_3atm(k) = a3;
  r.ldg_val(k) = val;
  r.ldg_dev(k) = dev;
  return true;
}

void default_bond_lines(const NewMod& nm, std::string_view t1, std::string_view t2, float val,
                        std::string_view a1, std::string_view a2) {
  if (nm.who == Creator::Many)
    msgdoc_(nm.mdoc, rt::fmt("('           ',A8,' : default bond legnth will be used ')",
                             rt::FixedText<8>(nm.mon)));
  else
    msgdoc_(nm.mdoc, rt::fmt("(' WARNING : ',A3,' : default bond legnth will be used ')",
                             rt::FixedText<3>(nm.mon)));
  msgdoc_(nm.mdoc, rt::fmt("('           chem_type: ',A4,'-',A4,' ',F8.3,' (',A4,'-',A4,')')", t1,
                           t2, val, a1, a2));
}

// The length of a new bond between energy types t1 and t2.
float new_bond_length(const NewMod& nm, std::string_view t1, std::string_view t2,
                      std::string_view a1, std::string_view a2, int32_t& ierr) {
  float val = 0.0f;
  rt::FixedText<1> def_flag;
  get_default_vbond_(nm.mdoc, t1, t2, val, def_flag, ierr);
  if (ierr == 0 && def_flag == "Y") default_bond_lines(nm, t1, t2, val, a1, a2);
  return val;
}

bool already_bonded(const NewMod& nm, std::string_view a1, std::string_view a2) {
  const auto& r = r_scratch;
  for (int k = r.ldl_ibond(nm.m); k >= 1 && k <= r.ldb_nbond; ++k)
    if ((r.ldb_1atm(k) == a1 && r.ldb_2atm(k) == a2) || (r.ldb_1atm(k) == a2 && r.ldb_2atm(k) == a1))
      return true;
  return false;
}

// Bonds of added atom `atom` (energy type chem) to its residue neighbours
// that are not hydrogens, last neighbour first.  A bond between two added
// atoms is met from both of them and entered once.
bool added_atom_bonds(const NewMod& nm, std::string_view atom, std::string_view chem,
                      int32_t& ierr) {
  const auto& r = r_scratch;
  for (int a = 1; a <= r.c1_natom; ++a) {
    if (!(r.c1_aname(a) == atom)) continue;
    for (int n = std::min(r.s1_ndist(a), MX1BRN); n >= 1; --n) {
      const int b = r.s1_conn(n, a);
      if (b <= 0 || b > r.c1_natom || hydrogen(r.c1_asymb(b))) continue;
      if (already_bonded(nm, atom, r.c1_aname(b))) continue;
      const float val = new_bond_length(nm, chem, r.s1_chem(b), atom, r.c1_aname(b), ierr);
      if (ierr != 0 || !bond_row(nm, "add", atom, r.c1_aname(b), val, ierr)) return false;
    }
  }
  return true;
}

float new_angle_value(const NewMod& nm, std::string_view t1, std::string_view tc,
                      std::string_view t3, std::string_view a1, std::string_view ac,
                      std::string_view a3) {
  const auto& r = r_scratch;
  for (int k = 1; k <= r.leg_nangl; ++k)
    if (r.leg_2atm(k) == tc && ((r.leg_1atm(k) == t1 && r.leg_3atm(k) == t3) ||
                                (r.leg_1atm(k) == t3 && r.leg_3atm(k) == t1)))
      return r.leg_angle(k);
  float val = 0.0f;
  for (int k = 1; k <= r.leg_nangl; ++k)
    if (r.leg_2atm(k) == tc && r.leg_1atm(k)(1) == '.' && r.leg_3atm(k)(1) == '.')
      val = r.leg_angle(k);
  if (val <= 0.0f) val = 109.45f;
  msgdoc_(nm.mdoc, rt::fmt("('           ',A8,' : default angle value will be used ')",
                           rt::FixedText<8>(nm.mon)));
  msgdoc_(nm.mdoc, rt::fmt("('           chem_type: ',A4,'-',A4,'-',A4,' ',F8.3,' (',A4,'-',A4,"
                           "'-',A4,')')",
                           t1, tc, t3, val, a1, ac, a3));
  return val;
}

// Angles at every residue centre that have an added atom at an end; an angle
// with two added ends is entered once.
bool added_atom_angles(const NewMod& nm, int natm, const ModAtoms& atoms, int32_t& ierr) {
  const auto& r = r_scratch;
  auto added = [&](std::string_view name) {
    for (int i = 0; i < natm; ++i)
      if (atoms[i] == name) return true;
    return false;
  };
  for (int k = 1; k <= r.c1_natom; ++k) {
    const int nb = std::min(r.s1_ndist(k), MX1BRN);
    if (hydrogen(r.c1_asymb(k)) || nb < 2) continue;
    for (int i = 1; i < nb; ++i) {
      for (int j = i + 1; j <= nb; ++j) {
        const int a = r.s1_conn(i, k), b = r.s1_conn(j, k);
        if (a <= 0 || b <= 0 || a > r.c1_natom || b > r.c1_natom) continue;
        if (hydrogen(r.c1_asymb(a)) || hydrogen(r.c1_asymb(b))) continue;
        if (!added(r.c1_aname(a)) && !added(r.c1_aname(b))) continue;
        const float val = new_angle_value(nm, r.s1_chem(a), r.s1_chem(k), r.s1_chem(b),
                                          r.c1_aname(a), r.c1_aname(k), r.c1_aname(b));
        if (!angle_row(nm, "add", r.c1_aname(a), r.c1_aname(k), r.c1_aname(b), val, 3.0f, ierr))
          return false;
      }
    }
  }
  return true;
}

int l1_atom(std::string_view name) {
  const auto& r = r_scratch;
  for (int i = 1; i <= r.l1a_natom; ++i)
    if (r.l1a_aname(i) == name) return i;
  return 0;
}

// The monomer's bonds and angles of atom_m go over to atom_u.
bool replace_in_l1(const NewMod& nm, std::string_view atom_m, std::string_view atom_u,
                   std::string_view chemu, int32_t& ierr) {
  auto& r = r_scratch;
  const Name4 old_name(atom_m);
  for (int b = 1; b <= r.l1b_nbond; ++b) {
    const bool first = r.l1b_1atm(b) == old_name;
    if (!first && !(r.l1b_2atm(b) == old_name)) continue;
    (first ? r.l1b_1atm(b) : r.l1b_2atm(b)) = atom_u;
    const Name4 partner = first ? r.l1b_2atm(b) : r.l1b_1atm(b);
    const int p = l1_atom(partner);
    if (p == 0) continue;
    if (hydrogen(r.l1a_symb(p))) {
      if (!atom_row(nm, "delete", partner, ".", ".", ".", ierr)) return false;
      continue;
    }
    const Name4 t1 = first ? Name4(chemu) : r.l1a_chem(p);
    const Name4 t2 = first ? r.l1a_chem(p) : Name4(chemu);
    float val = 0.0f;
    rt::FixedText<1> def_flag;
    get_default_vbond_(nm.mdoc, t1, t2, val, def_flag, ierr);
    if (ierr != 0) return false;
    if (val > 0.0f) r.l1b_val(b) = val;
    val = r.l1b_val(b);
    if (def_flag == "Y") default_bond_lines(nm, t1, t2, val, r.l1b_1atm(b), r.l1b_2atm(b));
    r.l1b_dev(b) = 0.02f;
    if (!bond_row(nm, "change", r.l1b_1atm(b), r.l1b_2atm(b), val, ierr)) return false;
  }
  for (int g = 1; g <= r.l1g_nangl; ++g) {
    Name4* place[3] = {&r.l1g_1atm(g), &r.l1g_2atm(g), &r.l1g_3atm(g)};
    int hit = -1;
    for (int i = 0; i < 3; ++i)
      if (*place[i] == old_name) hit = i;
    if (hit < 0) continue;
    *place[hit] = atom_u;
    bool h = false;
    for (int i = 0; i < 3; ++i) {
      if (i == hit) continue;
      const int p = l1_atom(*place[i]);
      if (p != 0 && hydrogen(r.l1a_symb(p))) h = true;
    }
    if (h) continue;
    if (!angle_row(nm, "change", *place[0], *place[1], *place[2], r.l1g_val(g), r.l1g_dev(g), ierr))
      return false;
  }
  return true;
}

}  // namespace

void look_mod_(std::string_view mon, std::string_view atom_miss, std::string_view atom_unk,
               int32_t natm, rt::FixedText<8>& mod, rt::TextRef namem, const ModAtoms& atom_u,
               std::string_view func, int32_t& imod, int32_t irtype, int32_t& ierr) {
  ierr = 0;
  const rt::FixedText<3> m3 = stem(mon);
  const Name4 am = form(atom_miss), au = form(atom_unk);
  const rt::FixedText<3> f(func);
  const bool many = f == "MAD" || f == "MDL";
  if (many && (natm < 1 || natm > MAXMODATM)) return;
  if (f == "REP") {
    mod = std::string(m3.view()).append(am.view().substr(0, 3)).append(Name4(atom_unk).view().substr(0, 2));
    namem.assign(std::string("REP-").append(am.view()).append("<-").append(au.view()).append("-").append(mon));
  } else if (f == "ADD") {
    mod = std::string(m3.view()).append("+").append(Name4(atom_unk).view());
    namem.assign(std::string("ADD-").append(au.view()).append("->").append(mon));
  } else if (f == "DEL") {
    mod = std::string(m3.view()).append("-").append(Name4(atom_miss).view());
    namem.assign(std::string("DEL-").append(am.view()).append("->").append(mon));
  } else if (many) {
    mod = std::string(m3.view())
              .append(f == "MAD" ? "+" : "-")
              .append(1, static_cast<char>('0' + natm))
              .append(atom_u[0].view().substr(0, 3));
    rt::FixedText<80> list(f == "MAD" ? "ADD" : "DEL");
    std::string text(list.trimmed());
    for (int i = 0; i < natm; ++i) text.append("-").append(form(atom_u[i]).view());
    namem.assign(text);
  }

  imod = 0;
  const auto& r = r_scratch;
  if (r.ldl_nmod == 0) return;
  const int len = namem.len_trim();
  const std::string_view key = namem.view().substr(0, static_cast<std::size_t>(len));
  for (int m = 1; m <= r.ldl_nmod; ++m) {
    if (r.ldl_mname(m) == mod &&
        rt::text_eq(r.ldl_detail(m).view().substr(0, static_cast<std::size_t>(len)), key)) {
      imod = m;
      return;
    }
  }
  const std::string_view kind = f == "MDL" ? "DEL" : f == "MAD" ? "ADD" : f.view();
  int rtype = 0;  // no known record applies to other residue types
  if (irtype == 3 || irtype == 4) rtype = 3;
  if (irtype == 5 || irtype == 6) rtype = 5;
  if (irtype == 7 || irtype == 8) {
    const std::string_view tail = mod.view().substr(3, 4);
    std::string_view known;
    if (tail == "-1O1" && namem.view().substr(0, 8) == "DEL-O1__") known = "DEL-O1";
    if (tail == "-1O2" && namem.view().substr(0, 8) == "DEL-O2__") known = "DEL-O2";
    for (int m = 1; !known.empty() && m <= r.ldl_nmod; ++m) {
      if (r.ldl_mname(m) == known) {
        mod = known;
        imod = m;
        return;
      }
    }
  }
  rt::FixedText<8> name;
  look_modrec_(kind, rtype, namem.view(), imod, name, ierr);
  if (imod > 0) mod = name;
}

void creat_mod_(int32_t mdoc, std::string_view mod, std::string_view mon, std::string_view func,
                std::string_view namem, std::string_view atom_m, std::string_view atom_u,
                int32_t /*iatom_m*/, int32_t /*iatom_u*/, int32_t& imod, std::string_view /*chemm*/,
                std::string_view chemu, int32_t& ierr) {
  ierr = 0;
  const rt::FixedText<3> f(func);
  if (!(f == "REP") && !(f == "ADD") && !(f == "DEL")) {
    // An unknown function would leave an entry whose row says nothing.
    msgerr_(mdoc, std::string(" ERROR: in CREAT_MOD, unknown function: ").append(f.view()));
    ierr = 1;
    return;
  }
  NewMod nm{mdoc, 0, rt::FixedText<8>(mod), mon, Creator::One};
  if (!register_mod(nm, namem, imod, ierr)) return;
  if (f == "REP") {
    if (atom_row(nm, "change", atom_m, atom_u, chemu, chemu, ierr))
      replace_in_l1(nm, atom_m, atom_u, chemu, ierr);
  } else if (f == "ADD") {
    if (atom_row(nm, "add", ".", atom_u, chemu, chemu, ierr))
      added_atom_bonds(nm, atom_u, chemu, ierr);
  } else {
    atom_row(nm, "delete", atom_m, ".", ".", ".", ierr);
  }
}

void creat_mod_nadd_(int32_t mdoc, std::string_view mod, std::string_view mon, int32_t& imod,
                     std::string_view namem, int32_t natm, const ModAtoms& atom_um,
                     const ModAtoms& chemum, int32_t& ierr) {
  ierr = 0;
  if (natm < 1 || natm > MAXMODATM) return;
  NewMod nm{mdoc, 0, rt::FixedText<8>(mod), mon, Creator::Many};
  if (!register_mod(nm, namem, imod, ierr)) return;
  for (int i = 0; i < natm; ++i)
    if (!atom_row(nm, "add", ".", atom_um[i], chemum[i], chemum[i], ierr)) return;
  for (int i = 0; i < natm; ++i)
    if (!added_atom_bonds(nm, atom_um[i], chemum[i], ierr)) return;
  added_atom_angles(nm, natm, atom_um, ierr);
}

void creat_mod_ndel_(int32_t mdoc, std::string_view mod, std::string_view mon, int32_t& imod,
                     std::string_view namem, int32_t natm, const ModAtoms& atom_um, int32_t& ierr) {
  ierr = 0;
  if (natm < 1 || natm > MAXMODATM) return;
  NewMod nm{mdoc, 0, rt::FixedText<8>(mod), mon, Creator::Many};
  if (!register_mod(nm, namem, imod, ierr)) return;
  for (int i = 0; i < natm; ++i)
    if (!atom_row(nm, "delete", atom_um[i], ".", ".", ".", ierr)) return;
}
