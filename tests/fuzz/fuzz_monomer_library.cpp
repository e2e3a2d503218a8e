// Fuzz target: one file read as every part of a monomer library at once:
// the list (monomers, synonyms, derivatives, modifications, links), the
// link and modification descriptions, the monomer descriptions of a
// single-file library (every listed monomer marked for reading), the energy
// library and the library index.  Messages are silenced, the dictionary is
// emptied first.
#include <cstddef>
#include <cstdint>

#include "dictionary/ener_reader.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_index.h"
#include "dictionary/lib_list.h"
#include "dictionary/lib_loading.h"
#include "dictionary/libcom.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  const int32_t mdoc = 999;
  fuzz::run_reader([&] {
    static LibNames names;
    rt::FixedText<256> libe, libm_ext, libe_ext, lib_ind, lib_out;
    for (auto* t : {&libe, &libm_ext, &libe_ext, &lib_ind, &lib_out}) t->blank();
    int32_t numb = 0, ierr = 0;
    // The file set and the empty dictionary once; the readers restart their
    // own tables (the list reader empties the row tables every time).
    static bool first = true;
    if (first)
      initlib_(mdoc, 'Y', numb, "", "", "", names, libe.ref(), "", libm_ext.ref(),
               libe_ext.ref(), "", file.path(), lib_ind.ref(), lib_out.ref(), ierr);
    first = false;
    libcom.lb_numb_lib = 1;
    libcom.lmi_path.blank();
    libcom.lmi_ext.blank();
    libcom.lmi_file(1) = file.path();
    libcom.lmi_file(2) = "Y";
    libcom.lmi2_file = file.path();
    r_scratch.lms_nsyn = r_scratch.ldr_nder = 0;
    libcom.lei_path.blank();
    libcom.lei_file = file.path();
    libcom.lei_ext.blank();
    get_llist_(mdoc, ierr);
    sset_fuse_('N', ' ');
    sset_fuse_('R', ' ');
    read_lib_(mdoc, "A", 'Y', ' ', ierr);
    init_conn_inf_(mdoc, ierr);
    // The index: its second file does not exist, which ends the run.
    libcom.lin_path.blank();
    libcom.lin_file = file.path();
    libcom.lin_ext.blank();
    get_index_(mdoc, ierr);
  });
  return 0;
}
