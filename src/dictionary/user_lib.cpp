// Marking the monomers of the user's library for the new library.  An entry
// from the user's library whose description is not yet in the dictionary is
// read first; the reading may add entries of the same code, and the last of
// them that comes from the user's library is the one marked.
#include "dictionary/user_lib.h"

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "dictionary/libcom.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

bool from_user_library(int32_t l) { return r_scratch.lml_pass(l) > libcom.lb_numb_lib; }

void trace_entry(std::string_view head, int32_t l) {
  const r_scratch_t& r = r_scratch;
  rt::write_list(6, head, l, r.lml_mname(l), r.lml_fuse(l), r.lml_pass(l));
}

}  // namespace

void get_user_lib_(int32_t& nmnew, char& dnew, char list, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  int32_t m = 99;
  const char nodist = 'N';
  const bool trace = list == 'T';
  if (trace) {
    m = 0;
    rt::write_list(6, "---gRD-:", libcom.lb_numb_lib, r.lml_nmon);
    for (int32_t i = 1; i <= r.lml_nmon; ++i)
      if (from_user_library(i)) trace_entry("-gRD:", i);
    rt::write_list(6, "-----");
  }
  const int32_t n = r.lml_nmon;
  for (int32_t l = 1; l <= n; ++l) {
    if (!from_user_library(l)) continue;
    if (trace) trace_entry("-gRD:", l);
    int32_t marked = l;
    if (r.lml_fuse(l) == "N" && !(r.lml_mname(l) == "???")) {
      r.lml_fuse(l) = "R";
      const rt::FixedText<8> mon = r.lml_mname(l);
      read_lib_(m, "M", nodist, list, ierr);
      if (ierr != 0) {
        msgerr_(m, "ERROR: in GET_USER_LIB");
        return;
      }
      dictionary::list_entries(mon.view(), [&](int32_t ll) {
        if (!from_user_library(ll)) return;
        marked = ll;
        if (trace) trace_entry("-lRD:", ll);
      });
    }
    r.lml_fuse(marked) = "C";
    if (nmnew <= 0) nmnew = 1;
  }
  for (int32_t i = 1; i <= r.lms_nsyn; ++i)
    if (r.lms_flag(i) == "N") r.lms_new = 1;
  for (int32_t i = 1; i <= r.lll_nlink; ++i)
    if (r.lll_fuse(i) == "C") dnew = 'Y';
}
