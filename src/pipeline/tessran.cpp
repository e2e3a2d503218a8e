// The pipeline driver: the order of the stages, the normalisation of the
// option flags, the message codes, and which stage's failure ends the run.
#include "pipeline/tessran.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <initializer_list>
#include <string>

#include "connect/connect_driver.h"
#include "connect/input_links.h"
#include "coords/cif_store_atom.h"
#include "coords/file_type.h"
#include "coords/pdb_reader.h"
#include "coords/read_atoms.h"
#include "dictionary/lib_loading.h"
#include "dictionary/lib_writer.h"
#include "dictionary/user_lib.h"
#include "foundation/atom_com.h"
#include "foundation/hooks.h"
#include "foundation/messages.h"
#include "foundation/paths_defaults.h"
#include "foundation/residue_class.h"
#include "foundation/start_up.h"
#include "identify/pre_descr.h"
#include "output/cif_out_atoms.h"
#include "restraints/creat_descr.h"
#include "runtime/fixed_text.h"
#include "runtime/units.h"

namespace {

constexpr std::string_view kVersion = " --- TESSRAN --- /Vers 5.5.1   ; 12.07.2006/";

// A flag that keeps the values in `kept` (upper case accepted as given, the
// lower-case letters of `lower` turned upper) and takes `other` otherwise.
char normalised(char c, std::string_view kept, std::string_view lower, char other) {
  for (char k : lower)
    if (c == k) return static_cast<char>(c - 'a' + 'A');
  for (char k : kept)
    if (c == k) return c;
  return other;
}

void normalise_flags(char& conn_flag, char& cis_flag, char& lnk_flag, char& chain_flag, char& pept_flag,
                     char& check_spec, char& h_flag, char& rflag, char& form, char& symm_flag, char& ss_flag,
                     char& sugar_flag, char& check, char& coor, char& srch, char& seg_flag) {
  check = normalised(check, "Y0", "y", 'N');
  check_spec = normalised(check_spec, "Y", "y", 'N');
  rflag = normalised(rflag, "Y", "y", 'N');
  coor = normalised(coor, "Y", "y", 'N');
  form = normalised(form, "U", "u", 'F');
  pept_flag = normalised(pept_flag, "Y", "y", 'N');
  seg_flag = normalised(seg_flag, "Y", "y", 'N');
  ss_flag = normalised(ss_flag, "ND", "nd", 'Y');
  chain_flag = normalised(chain_flag, "Y", "y", 'N');
  symm_flag = normalised(symm_flag, "YC", "yc", 'N');
  conn_flag = normalised(conn_flag, "YD0", "yd", 'N');
  cis_flag = normalised(cis_flag, "Y", "y", 'N');
  sugar_flag = normalised(sugar_flag, "YDN", "ydn", 'S');
  lnk_flag = normalised(lnk_flag, "YD0", "yd", 'N');
  h_flag = normalised(h_flag, "NA", "na", 'Y');
  srch = normalised(srch, "YAG", "yag", 'N');
}

// The trace dump of the model after a stage (list "T" only); its status is
// not examined.
void dump_model(int32_t mdoc, std::string_view name) {
  int32_t ierr = 0;
  write_atoms_(mdoc, rt::FixedText<256>("").view(), rt::FixedText<80>(name).view(), rt::FixedText<256>("crd").view(),
               ierr);
}

void trace(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
}

// The library directory with exactly one '/' before the file names that the
// loader appends to it, whether or not the caller ended it with one.  An
// empty directory stays empty (the files are then taken from the current
// directory).
std::string as_directory(std::string_view path) {
  std::string dir(rt::trim_right(path));
  if (dir.empty()) return dir;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (dir.back() != '/') dir.push_back('/');
  return dir;
}

// The symmetry library is looked for as the space-group loader looks for it:
// SYMINFO, else under the suite's installation directory PTQ7.  Without it
// every space group would be lost from the written model while the run
// reported success; the run is refused instead.  False, with the message,
// when it cannot be read.
bool symmetry_library_readable(int32_t mdoc) {
  std::string path;
  if (const char* v = std::getenv("SYMINFO"))
    path = v;
  else if (const char* p = std::getenv("PTQ7"))
    path = std::string(p) + "/lib/data/syminfo.lib";
  if (!path.empty()) {
    if (std::FILE* f = std::fopen(path.c_str(), "r")) {
      std::fclose(f);
      return true;
    }
    msgerr_(mdoc, " ERROR: the symmetry library cannot be read: " + path);
  } else {
    msgerr_(mdoc, " ERROR: the symmetry library is not named: set SYMINFO to the file syminfo.lib");
  }
  msgerr_(mdoc, "        (the environment script of the build sets SYMINFO, ATOMSF, CLIBD and CINCL)");
  return false;
}

// Every file name the run takes is held in a field of this width.
constexpr int kNameField = 256;

// The names given to the run, each refused when longer than its field: cut,
// it would name another file.
bool names_fit(int32_t mdoc, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    if (rt::len_trim(name) <= kNameField) continue;
    msgerr_(mdoc, " ERROR: file name longer than " + std::to_string(kNameField) +
                      " characters: " + std::string(rt::trim_right(name)));
    return false;
  }
  return true;
}

// The files the run writes.  A run that fails, by its status or by a stop
// on the way, takes back every file it was writing or could not finish; a
// file lost on the way fails a run that would otherwise succeed.
class RunOutputs {
 public:
  explicit RunOutputs(const int32_t& mdoc) : mdoc_(mdoc), unwinding_(std::uncaught_exceptions()) {
    rt::output_account_start();
  }
  RunOutputs(const RunOutputs&) = delete;
  RunOutputs& operator=(const RunOutputs&) = delete;
  ~RunOutputs() {
    if (std::uncaught_exceptions() > unwinding_) failed_ = true;
    if (failed_)
      for (const std::string& name : rt::output_account_discard())
        msgerr_(mdoc_, " ERROR: run stopped, unfinished file removed: " + name);
    rt::output_account_stop();
  }
  // The run's final status, given every file it lost.
  void settle(int32_t& ierr) {
    for (const std::string& name : rt::output_account_lost()) {
      msgerr_(mdoc_, " ERROR: output file not written whole: " + name);
      if (ierr == 0) ierr = pipeline::kFailed;
    }
    failed_ = ierr != 0;
  }

 private:
  const int32_t& mdoc_;
  int unwinding_;
  bool failed_ = false;
};

}  // namespace

void tessran_(int32_t& mdoc, std::string_view in_coord_file, std::string_view out_file_cif,
              std::string_view file_lib2, float cutoff, float& dmin_spec, char& conn_flag, char& cis_flag,
              char& lnk_flag, char& chain_flag, char& pept_flag, char& check_spec, char& h_flag, char& rflag,
              char& form, char& symm_flag, char& ss_flag, char& sugar_flag, char& list, char& check, char& coor,
              char& srch, char& seg_flag, std::string_view prog_lib_path, std::string_view libs_path,
              std::string_view libs_name, std::string_view libs_ext, std::string_view prog_name,
              int32_t nospgr_input, const float* cell_input, std::string_view lib_out, char& new_, char& fstop,
              int32_t& ierr) {
  ierr = 0;
  int32_t ierr_rst = 0;
  const std::string lib_dir = as_directory(prog_lib_path);
  set_path_prog_parm_(lib_dir, prog_name, libs_path, libs_name, libs_ext);

  bool started = false;
  if (std::abs(mdoc) >= 997) {
    if (mdoc < 0) mdoc = 0;
    rt::FixedText<256> prog(prog_name);
    start_(0, mdoc, prog.ref());
    started = true;
  }
  // After the start-up, so that a log it opens is never taken for an output.
  RunOutputs outputs(mdoc);
  if (list == 's' || list == 'l' || list == 't') list = static_cast<char>(list - 'a' + 'A');
  if (list != 'S' && list != 'L' && list != 'T') list = 'M';
  int32_t md0 = 0;
  if (list == 'S') mdoc = 999;
  // Inside that program its own log carries the progress.
  if (prog_name.substr(0, rt::len_trim(prog_name)) == "kavlin") md0 = 999;
  const bool kavlin = md0 == 999;
  if (mdoc > 0) {
    msgdoc_(-1, "");
    msgdoc_(-1, kVersion);
    msgdoc_(-1, "");
  }

  normalise_flags(conn_flag, cis_flag, lnk_flag, chain_flag, pept_flag, check_spec, h_flag, rflag, form,
                  symm_flag, ss_flag, sugar_flag, check, coor, srch, seg_flag);
  crdinf.cr_segflag = std::string_view(&seg_flag, 1);
  const char hflag_remove = h_flag == 'N' ? 'Y' : 'N';
  if (std::abs(dmin_spec) < 1e-5f) dmin_spec = 0.5f;

  int32_t nmnew = 0;
  int32_t lib2 = 0;
  char dnew = 'N';
  char new_flag = 'N';
  char new_flag_out = 'N';
  new_ = 'N';
  fstop = 'N';

  auto finish = [&] {
    if (list == 'T') {
      char buf[96];
      std::snprintf(buf, sizeof buf, " ==tessran end:FSTOP,IERR,IERR_RST: %c %d %d", fstop, ierr, ierr_rst);
      trace(buf);
    }
    if (ierr == 0) ierr = ierr_rst;
    outputs.settle(ierr);
    if (started) finish_();
  };

  if (!names_fit(mdoc, {in_coord_file, out_file_cif, file_lib2, lib_dir, libs_path, libs_name, libs_ext, lib_out})) {
    ierr = pipeline::kFailed;
    return finish();
  }

  // Input set-up.
  if (!symmetry_library_readable(mdoc)) {
    ierr = pipeline::kFailed;
    return finish();
  }
  static rt::FixedText<256> in_file_pdb, in_file_cif, file_lib_out, lib_path, libm_path, libe_path;
  static rt::FixedText<256> libe_name, libm_ext, libe_ext, lib_ind;
  static LibNames libm_name;
  in_file_pdb = in_coord_file;
  rt::FixedText<1> file_type_flag(" ");
  pdb_or_cif_(mdoc, in_file_pdb.ref(), file_type_flag, ierr);
  if (ierr != 0) return finish();
  setparm_(mdoc, in_file_pdb.view(), out_file_cif, form, ierr);
  if (ierr != 0) return finish();

  lib_path = lib_dir;
  libm_path = lib_path;
  libe_path = lib_path;
  file_lib_out = lib_out;
  int32_t numb_lib = 0;
  getlib_(mdoc, list, 'N', numb_lib, libm_path.view(), libe_path.view(), libs_path, libm_name, libe_name.ref(),
          libs_name, libm_ext.ref(), libe_ext.ref(), libs_ext, file_lib2, lib_ind.ref(), file_lib_out.ref(), ierr);
  if (ierr != 0) return finish();
  if (list == 'T') write_lib_res_type_tab_(mdoc, ierr);

  in_file_cif = "";
  if (file_type_flag == "C") {
    in_file_cif = in_file_pdb;
    in_file_pdb = "";
  }
  const char restr_all = 'A';
  initcrd_(mdoc, in_file_pdb.view(), in_file_cif.view(), out_file_cif, rt::FixedText<256>("").view(),
           out_file_cif, rt::FixedText<256>("").view(), out_file_cif, restr_all, h_flag, ierr);
  if (ierr != 0) return finish();

  // Coordinates.  A status of 1 on entry tells the reader to keep the
  // residue-type table that the library loading extended.
  bool read = true;
  if (file_type_flag == "P") {
    msgdoc_(md0, " I am reading PDB_file");
    ierr = list == 'T' ? 99 : 1;
    get_pdb_(mdoc, in_file_pdb.view(), nospgr_input, cell_input, pept_flag, seg_flag, hflag_remove, ierr);
    if (list == 'T') trace("--after GET_PDB, ierr= " + std::to_string(ierr));
  } else if (in_file_cif.len_trim() == 0 || in_file_cif(1) == ',') {
    read = false;
  } else {
    msgdoc_(md0, " I am reading CIFile");
    ierr = 1;
    read_atoms_(mdoc, rt::FixedText<256>("").view(), in_file_cif.view(), rt::FixedText<256>("").view(), nospgr_input,
                cell_input, ierr);
    // Alternate conformations that are different residues share one
    // residue of the rows' first kind; restrained as that kind they would be
    // wrong, so the run ends as for two residues with one number.
    if (ierr == 0 || ierr >= 7) {
      int32_t kerr = 0;
      check_kinds_in_residues_(mdoc, kerr);
      if (kerr != 0) ierr = kerr;
    }
    if (list == 'T') trace("--after READ_ATOMS , ierr= " + std::to_string(ierr));
  }
  if (read && ierr != 0) {
    // A missing cell or space group is forgiven, except inside the program
    // that must have both.
    if (ierr >= 7 && !kavlin)
      ierr = 0;
    else
      return finish();
  }
  if (list == 'T') dump_model(mdoc, "new_test1");

  // Identification, links and connectivity.
  int32_t kerr = 0;
  rt::FixedText<1> new_out("N");
  pre_descr_(mdoc, list, check, coor, srch, prog_name, nmnew, new_out, lib2, kerr, ierr);
  new_flag_out = new_out(1);
  if (kerr != 0 && ierr == 0) ierr = kerr;
  if (ierr != 0) return finish();
  if (list == 'T') {
    trace(" --NMNEW,NEW_FLAG_OUT,LIB2: " + std::to_string(nmnew) + " " + new_flag_out + " " + std::to_string(lib2));
    dump_model(mdoc, "new_test2");
  }
  // The connectivity stage starts its own account of new links, so a link
  // description made for a link the input names is remembered apart.
  char dnew_input = 'N';
  def_link_mod_(mdoc, list, dnew_input, ierr);
  if (list == 'T') dump_model(mdoc, "new_test3");
  ierr = 0;
  check_descr_structure_(mdoc, list, check_spec, dmin_spec, conn_flag, cis_flag, lnk_flag, chain_flag, dnew,
                         new_flag, ss_flag, sugar_flag, check, coor, ierr);
  if (ierr != 0) return finish();
  if (dnew_input == 'Y') dnew = 'Y';
  if (list == 'T') {
    trace(" ==NMNEW,DNEW: " + std::to_string(nmnew) + " " + dnew);
    dump_model(mdoc, "new_test4");
  }

  // Restraints: their failure is reported at the end, after the library.
  msgdoc_(md0, " I am creating restraints");
  const char restr_flag = (rflag == 'Y' || h_flag == 'A') ? 'N' : 'A';
  creat_descr_(mdoc, list, restr_flag, cutoff, dmin_spec, symm_flag, h_flag, rflag, ierr);
  ierr_rst = ierr;
  ierr = 0;

  // New library.
  if (nmnew <= 0 && dnew == 'N') return finish();
  if (list == 'T') trace(" --NMNEW,DNEW: " + std::to_string(nmnew) + " " + dnew);
  get_user_lib_(nmnew, dnew, list, ierr);
  if (ierr != 0) return finish();
  msgdoc_(mdoc, " I am writing new library:");
  int32_t len = file_lib_out.len_trim();
  len = len < 1 ? 1 : (len > 74 ? 74 : len);
  msgdoc_(mdoc, " " + std::string(file_lib_out.view().substr(0, len)));
  for (std::string_view mode : {"TITC", "MONC", "MODC", "LINC", "STOP"}) {
    if (mode == "MONC" && nmnew <= 0) continue;
    if (mode == "LINC" && dnew == 'N') continue;
    wrt_lib_(mdoc, mode, 0, ierr);
    if (ierr != 0) return finish();
  }
  new_ = 'Y';
  fstop = (lib2 > 0 || new_flag_out == 'Y' || dnew != 'N') ? 'Y' : 'N';
  finish();
}
