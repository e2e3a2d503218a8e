// New-monomer PDB file.  The residue name is the first three characters of
// the code; a longer code is given in full by a MODRES record.  Atoms without
// coordinates are left out and their serial numbers with them.
#include "drawing/new_monomer_pdb.h"

#include <string>

#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "output/pdb_names.h"
#include "runtime/fixed_text.h"
#include "runtime/format.h"
#include "runtime/units.h"

namespace {

// Columns 77-80 from an element symbol: a one-letter symbol right-justified
// in 77-78, a charged one ("N+") from column 78, others as they stand.
rt::FixedText<4> element_field(std::string_view symb) {
  rt::FixedText<4> asymb(symb);
  int n = asymb.len_trim();
  if (n == 1) {
    rt::FixedText<4> one(" ");
    one(2) = asymb(1);
    return one;
  }
  if (n >= 4) n = 3;
  if (asymb(2) == '+' || asymb(2) == '-') {
    rt::FixedText<4> charged(" ");
    charged.sub(2, 4).assign(asymb.view().substr(0, n));
    return charged;
  }
  return asymb;
}

void put(int32_t iun, std::string_view record) {
  const std::string_view used = rt::trim_right(record);
  if (!used.empty()) rt::write_record(iun, used);
}

}  // namespace

void wr_pdb_new_(int32_t mdoc, int32_t iun, std::string_view prog, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  const rt::FixedText<8> mon(r.l1l_mname.view());
  const int lm = mon.len_trim();
  const std::string_view p = rt::trim_right(prog);
  const std::string_view used_prog = p.substr(0, p.size() < 10 ? p.size() : 10);
  const rt::FixedText<80> title("coords of " + std::string(mon.view().substr(0, lm)) +
                                " from prog: " + std::string(used_prog));
  rt::FixedText<4> code(mon.view().substr(0, 4));

  put(iun, rt::fmt("(A,4X,A40,12X,A4)", "HEADER", title.view().substr(0, 40), code));
  if (lm > 3)
    put(iun, rt::fmt("(A,6X,A3,1X,A1,1X,A5,1X,A8,40X,A8)", "MODRES", mon.view().substr(0, 3), "A",
                     "   1 ", mon, "RENAME  "));
  put(iun, rt::fmt("(A,3F9.3,3F7.2,1X,A)", "CRYST1", 100.0f, 100.0f, 100.0f, 90.0f, 90.0f, 90.0f,
                   "P 1"));

  const int natom = r.l1a_natom < MAX1ATM ? r.l1a_natom : MAX1ATM;
  for (int i = 1; i <= natom; ++i) {
    if (!(r.l1a_coor_flag(i) == "Y")) continue;
    rt::FixedText<4> atom(r.l1a_aname(i).view());
    rt::FixedText<4> aname;
    pdb_aname_(atom.ref(), r.l1a_symb(i).view(), "", aname.ref());
    put(iun, rt::fmt("(A,1X,I6,1X,A4,1X,A3,1X,A1,I4,4X,3F8.3,2F6.2,10X,A4)", "ATOM", i, aname,
                     code.view().substr(0, 3), "A", 1, r.l1a_x(i), r.l1a_y(i), r.l1a_z(i), 1.0f,
                     20.0f, element_field(r.l1a_symb(i).view())));
  }
  // A record lost on the way, at its write or at the close, fails the file.
  if (rt::unit_close_or_remove(iun) != 0) {
    msgerr_(mdoc, " ERROR: WRITE TO OUTPUT FILE ");
    ierr = 4;
  }
}
