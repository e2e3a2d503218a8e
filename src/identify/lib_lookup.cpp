// Name resolution of a residue against the monomer list.  A direct hit is one
// index look-up; the synonym and derivative rows are scanned only for the
// names that miss, which are few in a model.
#include "identify/lib_lookup.h"

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "dictionary/lib_to_work.h"
#include "dictionary/libcom.h"
#include "foundation/messages.h"
#include "identify/work_residue.h"
#include "runtime/format.h"

namespace {

using Code = rt::FixedText<8>;
using Name = rt::FixedText<4>;

int32_t listed(const Code& mon) { return dictionary::find_list_entry(mon.view(), false); }

// The list entry mon stands for, 0 when none.  mon takes the library name
// of the synonyms that name it (even when that name is not listed); amon,
// mod and type follow the rows used.
int32_t resolve(Code& mon, Code& amon, Code& mod, rt::FixedText<16>& type) {
  const r_scratch_t& r = r_scratch;
  int32_t k = listed(mon);
  if (k != 0) {
    type = r.lml_type(k);
    return k;
  }
  Code work = mon;
  for (int j = 1; j <= r.lms_nsyn; ++j) {
    if (!dictionary::synonym_names(j, mon.view())) continue;
    amon = mon;
    mod = r.lms_mod(j);
    work = r.lms_mname(j);
    k = listed(work);
    if (k != 0) {
      mon = work;
      type = r.lml_type(k);
      return k;
    }
  }
  mon = work;
  for (int i = 1; i <= r.ldr_nder; ++i) {
    if (!(r.ldr_mname(i) == work)) continue;
    amon = r.ldr_smname(i);
    type = r.ldr_type(i);
    k = listed(amon);
    if (k != 0) return k;
    const Code parent = amon;
    for (int m = 1; m <= r.ldr_nder; ++m) {
      if (!(r.ldr_mname(m) == parent)) continue;
      amon = r.ldr_smname(m);
      k = listed(amon);
      if (k != 0) {
        type = r.lml_type(k);
        return k;
      }
    }
  }
  return 0;
}

std::string residue_warning(const Code& mon, std::string_view char12, std::string_view tail) {
  const rt::FixedText<12> key(char12);
  std::string line = " WARNING : residue: " + mon.str() + " ";
  line += key.sub(3, 7);
  line += " chain:";
  line += key.sub(8, 11);
  line += tail;
  return line;
}

// The empty header of a new monomer named mon in L1.
void new_monomer_header(const Code& mon) {
  r_scratch_t& r = r_scratch;
  new_l1_header(mon, mon);
  r.l1l_type = "non-polymer";
  r.l1l_prsnt = "N";
  r.l1l_natm = r.l1l_nhatm = r.l1a_natom = r.l1a_nhatom = 0;
  r.c1_natom = 0;
}

// The residue goes on as a new monomer named mon, which the library lacks.
void as_new_monomer(const Code& mon, Code& amon, Code& mod, rt::FixedText<1>& new_flag,
                    rt::FixedText<16>& type, int32_t& nmuse) {
  amon = ".";
  mod = ".";
  new_monomer_header(mon);
  new_flag = "Y";
  type = "non-polymer";
  ++nmuse;
  libcom.lb_pass = 0;
}

}  // namespace

void check_mon_lib_(int32_t mdoc, Code& mon, std::string_view char12, Code& amon, Code& mod,
                    rt::FixedText<1>& new_flag, int32_t& nmuse, int32_t /*nmnew*/, rt::FixedText<16>& type,
                    char list, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  amon = ".";
  mod = ".";
  type = ".";
  ierr = 0;
  r.c1_pnum = char12;
  if (r.lml_nmon <= 0) {
    msgerr_(mdoc, " ERR: number of monomer in the library = 0");
    ierr = 2;
    return;
  }
  const int32_t k = resolve(mon, amon, mod, type);
  if (k != 0) {
    int32_t status = 0;
    if (r.lml_fuse(k) == "N") {
      r.lml_fuse(k) = "R";
      read_lib_(mdoc, "M", 'N', list, status);
    }
    // cp_mlib_ may change its argument; the residue keeps the name found.
    Code copy = mon;
    if (status == 0) cp_mlib_(mdoc, copy, status);
    if (status == 0) {
      r.c1_natom = 0;
      libcom.lb_pass = r.lml_pass(k);
      if (r.lml_prsnt(k) == "M") {
        new_flag = "M";
        msgdoc_(mdoc, residue_warning(mon, char12, "- has the minimal description"));
        ++nmuse;
        return;
      }
      if (r.lml_prsnt(k) == "N") {
        ++nmuse;
        r.lml_prsnt(k) = "Y";
      }
      new_flag = "N";
      return;
    }
    // A description that could not be read or copied is not used half-made:
    // the residue goes on as one the library lacks.  The status 2 of a copy
    // that missed must not read as an empty library to the caller.
    as_new_monomer(mon, amon, mod, new_flag, type, nmuse);
    ierr = 1;
    return;
  }
  msgdoc_(mdoc, residue_warning(mon, char12, " - is not in the library"));
  ierr = 1;
  if (r.lml_nmon >= MAXMLIST) {
    msgerr_(mdoc, rt::fmt("(A,I6,A)", " ERR: number of monomers >", MAXMLIST, " /lib. limit/"));
    msgerr_(mdoc, "        Change parameter MAXMLIST in \"lib_com.fh\"");
    return;
  }
  as_new_monomer(mon, amon, mod, new_flag, type, nmuse);
}

void check_mon_name_in_lib_(Code& mon, int32_t& ierr) {
  Code amon, mod;
  rt::FixedText<16> type;
  ierr = identify::in_library(mon, amon, mod, type) ? 0 : 1;
}

namespace identify {

bool in_library(Code& mon, Code& amon, Code& mod, rt::FixedText<16>& type) {
  amon = ".";
  mod = ".";
  type = ".";
  if (r_scratch.lml_nmon > 0 && resolve(mon, amon, mod, type) != 0) return true;
  amon = ".";
  mod = ".";
  type = "non-polymer";
  return false;
}

}  // namespace identify

void check_aname_(std::string_view mon, std::string_view amon, std::string_view /*mod*/, Name& aname,
                  Name& alt_name) {
  const r_scratch_t& r = r_scratch;
  alt_name = ".";
  bool generic = false, specific = false;
  const Name first = aname;
  const bool with_amon = !rt::text_eq(amon, ".");
  Name after = aname;
  // Both passes run over the rows of mon in row order; the specific pass
  // compares with the name the generic pass left.
  dictionary::synonym_rows(mon, [&](int32_t j) {
    if (generic || r.lms_atom(j) == "." || !(r.lms_amname(j) == ".") || !(r.lms_aatom(j) == first)) return;
    generic = true;
    after = r.lms_atom(j);
  });
  if (generic) {
    alt_name = first;
    aname = after;
  }
  if (with_amon) {
    const Name now = aname;
    dictionary::synonym_rows(mon, [&](int32_t j) {
      if (specific || r.lms_atom(j) == "." || !(r.lms_amname(j) == amon) || !(r.lms_aatom(j) == now)) return;
      specific = true;
      after = r.lms_atom(j);
    });
    if (specific) {
      alt_name = now;
      aname = after;
    }
  }
  if (aname == "H0") {
    alt_name = "H0";
    aname = "H";
  }
}
