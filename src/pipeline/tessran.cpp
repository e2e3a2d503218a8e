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
#include "pipeline/occupancies.h"
#include "restraints/creat_descr.h"
#include "runtime/fixed_text.h"
#include "runtime/units.h"
#include "suite/csymlib.h"

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

// Without the symmetry library, or with a damaged one, the model's space
// group or some of its operators would be lost from the written model while
// the run reported success; the run is refused instead.  A whole library
// that lacks the model's group is the loader's to report.  False, with the
// message, when it cannot be used.
bool symmetry_library_readable(int32_t mdoc) {
  const std::string fault = suite::symmetry_library_fault();
  if (fault.empty()) return true;
  msgerr_(mdoc, " ERROR: the symmetry library " + fault);
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

// The streams the call takes (a model, a library or a site file given
// through a pipe or FIFO) are read for it alone and forgotten when it
// returns or is stopped: the next call on the same FIFO reads what is
// written into it then, and its writer finds the reader it waits for.
class CallStreams {
 public:
  CallStreams() = default;
  CallStreams(const CallStreams&) = delete;
  CallStreams& operator=(const CallStreams&) = delete;
  ~CallStreams() { rt::forget_streams(); }
};

// ---------------------------------------------------------------- steps

// The listing switch, the message code of the progress lines and the
// stops that the calling program changes.
struct Run {
  char list = 'M';
  int32_t md0 = 0;      // progress lines; 999 inside the program that keeps its own log
  bool kavlin = false;  // that program: it must have a cell and a space group
};

// The option flags after their normalisation; the stages take them by value.
struct Options {
  char conn_flag, cis_flag, lnk_flag, chain_flag, pept_flag, check_spec, h_flag, rflag, symm_flag,
      ss_flag, sugar_flag, check, coor, srch, seg_flag;
  float cutoff, dmin_spec;
};

// The file names of the run in the readers' fixed-width fields, and the
// library names that the loading fills.
struct Files {
  rt::FixedText<256> in_file_pdb, in_file_cif, file_lib_out, lib_path, libm_path, libe_path;
  rt::FixedText<256> libe_name, libm_ext, libe_ext, lib_ind;
  LibNames libm_name;
  rt::FixedText<1> file_type_flag;
};

// What the stages add to the library, handed on to the library writing.
struct News {
  int32_t nmnew = 0;        // new kinds of monomers
  int32_t lib2 = 0;         // 1: the run needed the second library pass
  char dnew = 'N';          // 'Y': a new link description
  char new_flag_out = 'N';  // the identification's summary of new residues
};

// The run of the suite started when the caller's code asks for it
// (|mdoc| 997 or more; mdoc becomes 0 or 1); true when this call started it
// and so must finish it.
bool start_suite(int32_t& mdoc, std::string_view prog_name) {
  if (std::abs(mdoc) < 997) return false;
  if (mdoc < 0) mdoc = 0;
  rt::FixedText<256> prog(prog_name);
  start_(0, mdoc, prog.ref());
  return true;
}

// The listing switch made one of S, L, T and M (silent listing silences
// every message), and the version banner.
Run set_listing(int32_t& mdoc, char& list, std::string_view prog_name) {
  if (list == 's' || list == 'l' || list == 't') list = static_cast<char>(list - 'a' + 'A');
  if (list != 'S' && list != 'L' && list != 'T') list = 'M';
  Run run;
  run.list = list;
  if (list == 'S') mdoc = 999;
  // Inside that program its own log carries the progress.
  if (prog_name.substr(0, rt::len_trim(prog_name)) == "kavlin") run.md0 = 999;
  run.kavlin = run.md0 == 999;
  if (mdoc > 0) {
    msgdoc_(-1, "");
    msgdoc_(-1, kVersion);
    msgdoc_(-1, "");
  }
  return run;
}

// The input files told apart and named, the libraries loaded and the
// output files set up; false, with ierr, when any of them fails.  A name
// longer than its field and a missing symmetry library are refused before
// anything is read.
bool set_up_inputs(const Run& run, int32_t mdoc, std::string_view in_coord_file,
                   std::string_view out_file_cif, std::string_view file_lib2,
                   const std::string& lib_dir, std::string_view libs_path,
                   std::string_view libs_name, std::string_view libs_ext, std::string_view lib_out,
                   char form, char h_flag, Files& f, int32_t& ierr) {
  if (!names_fit(mdoc, {in_coord_file, out_file_cif, file_lib2, lib_dir, libs_path, libs_name,
                        libs_ext, lib_out}) ||
      !symmetry_library_readable(mdoc)) {
    ierr = pipeline::kFailed;
    return false;
  }
  f.in_file_pdb = in_coord_file;
  f.file_type_flag = " ";
  pdb_or_cif_(mdoc, f.in_file_pdb.ref(), f.file_type_flag, ierr);
  if (ierr != 0) return false;
  // A compressed file shows no line of either kind; read as CIF it would
  // fail on its header after the library had been loaded for nothing.
  if (const std::string_view packed = coords::compression_of(f.in_file_pdb.trimmed());
      !packed.empty()) {
    msgerr_(mdoc,
            " ERROR: Input file is compressed (" + std::string(packed) + "); uncompress it first");
    ierr = pipeline::kEmptyLibraryOrBadHeader;
    return false;
  }
  setparm_(mdoc, f.in_file_pdb.view(), out_file_cif, form, ierr);
  if (ierr != 0) return false;

  f.lib_path = lib_dir;
  f.libm_path = f.lib_path;
  f.libe_path = f.lib_path;
  f.file_lib_out = lib_out;
  int32_t numb_lib = 0;
  getlib_(mdoc, run.list, 'N', numb_lib, f.libm_path.view(), f.libe_path.view(), libs_path,
          f.libm_name, f.libe_name.ref(), libs_name, f.libm_ext.ref(), f.libe_ext.ref(), libs_ext,
          file_lib2, f.lib_ind.ref(), f.file_lib_out.ref(), ierr);
  if (ierr != 0) return false;
  // The trace of the residue-type table; its status is not examined.
  if (run.list == 'T') write_lib_res_type_tab_(mdoc, ierr);

  f.in_file_cif = "";
  if (f.file_type_flag == "C") {
    f.in_file_cif = f.in_file_pdb;
    f.in_file_pdb = "";
  }
  const char restr_all = 'A';
  initcrd_(mdoc, f.in_file_pdb.view(), f.in_file_cif.view(), out_file_cif,
           rt::FixedText<256>("").view(), out_file_cif, rt::FixedText<256>("").view(), out_file_cif,
           restr_all, h_flag, ierr);
  return ierr == 0;
}

// The model read from the PDB or mmCIF file; an mmCIF name that is empty
// or begins with ',' reads nothing.  A status of 1 on entry tells the
// reader to keep the residue-type table that the library loading extended.
// A missing cell or space group (status 7 or more) is forgiven, except
// inside the program that must have both; any other failure is false, with
// ierr, and so is an occupancy below 0 (kFailed).
bool read_model(const Run& run, int32_t mdoc, const Files& f, const Options& o,
                int32_t nospgr_input, const float* cell_input, int32_t& ierr) {
  const char hflag_remove = o.h_flag == 'N' ? 'Y' : 'N';
  if (f.file_type_flag == "P") {
    msgdoc_(run.md0, " I am reading PDB_file");
    ierr = run.list == 'T' ? 99 : 1;
    get_pdb_(mdoc, f.in_file_pdb.view(), nospgr_input, cell_input, o.pept_flag, o.seg_flag,
             hflag_remove, ierr);
    if (run.list == 'T') trace("--after GET_PDB, ierr= " + std::to_string(ierr));
  } else if (f.in_file_cif.len_trim() == 0 || f.in_file_cif(1) == ',') {
    return true;
  } else {
    msgdoc_(run.md0, " I am reading CIFile");
    ierr = 1;
    read_atoms_(mdoc, rt::FixedText<256>("").view(), f.in_file_cif.view(),
                rt::FixedText<256>("").view(), nospgr_input, cell_input, ierr, hflag_remove);
    // Alternate conformations that are different residues share one
    // residue of the rows' first kind; restrained as that kind they would be
    // wrong, so the run ends as for two residues with one number.
    if (ierr == 0 || ierr >= 7) {
      int32_t kerr = 0;
      check_kinds_in_residues_(mdoc, kerr);
      if (kerr != 0) ierr = kerr;
    }
    if (run.list == 'T') trace("--after READ_ATOMS , ierr= " + std::to_string(ierr));
  }
  if (ierr != 0 && (ierr < 7 || run.kavlin)) return false;
  ierr = 0;
  if (pipeline::occupancies_read(mdoc)) return true;
  ierr = pipeline::kFailed;
  return false;
}

// Identification, then the input links and modifications, then the links
// and connectivity; false, with ierr, when identification or connectivity
// fails.  An empty dictionary (kerr) becomes the status of an
// identification that otherwise succeeded.  The status of the input links
// is dropped: their new link descriptions are remembered apart, because
// the connectivity stage starts its own account.
bool describe_model(const Run& run, int32_t mdoc, std::string_view prog_name, const Options& o,
                    News& n, int32_t& ierr) {
  int32_t kerr = 0;
  rt::FixedText<1> new_out("N");
  pre_descr_(mdoc, run.list, o.check, o.coor, o.srch, prog_name, n.nmnew, new_out, n.lib2, kerr,
             ierr);
  n.new_flag_out = new_out(1);
  if (kerr != 0 && ierr == 0) ierr = kerr;
  if (ierr != 0) return false;
  if (run.list == 'T') {
    trace(" --NMNEW,NEW_FLAG_OUT,LIB2: " + std::to_string(n.nmnew) + " " + n.new_flag_out + " " +
          std::to_string(n.lib2));
    dump_model(mdoc, "new_test2");
  }
  char dnew_input = 'N';
  def_link_mod_(mdoc, run.list, dnew_input, ierr);
  if (run.list == 'T') dump_model(mdoc, "new_test3");
  ierr = 0;
  const char new_flag = 'N';
  check_descr_structure_(mdoc, run.list, o.check_spec, o.dmin_spec, o.conn_flag, o.cis_flag,
                         o.lnk_flag, o.chain_flag, n.dnew, new_flag, o.ss_flag, o.sugar_flag,
                         o.check, o.coor, ierr);
  if (ierr != 0) return false;
  if (dnew_input == 'Y') n.dnew = 'Y';
  if (run.list == 'T') {
    trace(" ==NMNEW,DNEW: " + std::to_string(n.nmnew) + " " + n.dnew);
    dump_model(mdoc, "new_test4");
  }
  return true;
}

// The restraint, structure and coordinate files.  Its status is returned
// rather than ending the run: the new library is written all the same, and
// the status is reported at the end.  Rebuilding or all hydrogens ask for
// the coordinates and structure only.
int32_t make_restraints(const Run& run, int32_t mdoc, const Options& o) {
  msgdoc_(run.md0, " I am creating restraints");
  const char restr_flag = (o.rflag == 'Y' || o.h_flag == 'A') ? 'N' : 'A';
  int32_t ierr = 0;
  creat_descr_(mdoc, run.list, restr_flag, o.cutoff, o.dmin_spec, o.symm_flag, o.h_flag, o.rflag,
               ierr);
  return ierr;
}

// The new library: what the run added (new monomers, new links) with the
// user's monomers; false, with ierr, when it cannot be gathered or written.
bool write_new_library(const Run& run, int32_t mdoc, const Files& f, News& n, int32_t& ierr) {
  if (run.list == 'T') trace(" --NMNEW,DNEW: " + std::to_string(n.nmnew) + " " + n.dnew);
  get_user_lib_(n.nmnew, n.dnew, run.list, ierr);
  if (ierr != 0) return false;
  msgdoc_(mdoc, " I am writing new library:");
  int32_t len = f.file_lib_out.len_trim();
  len = len < 1 ? 1 : (len > 74 ? 74 : len);
  msgdoc_(mdoc, ' ' + std::string(f.file_lib_out.view().substr(0, len)));
  for (std::string_view mode : {"TITC", "MONC", "MODC", "LINC", "STOP"}) {
    if (mode == "MONC" && n.nmnew <= 0) continue;
    if (mode == "LINC" && n.dnew == 'N') continue;
    wrt_lib_(mdoc, mode, 0, ierr);
    if (ierr != 0) return false;
  }
  return true;
}

}  // namespace

void tessran_(int32_t& mdoc, std::string_view in_coord_file, std::string_view out_file_cif,
              std::string_view file_lib2, float cutoff, float& dmin_spec, char& conn_flag,
              char& cis_flag, char& lnk_flag, char& chain_flag, char& pept_flag, char& check_spec,
              char& h_flag, char& rflag, char& form, char& symm_flag, char& ss_flag,
              char& sugar_flag, char& list, char& check, char& coor, char& srch, char& seg_flag,
              std::string_view prog_lib_path, std::string_view libs_path,
              std::string_view libs_name, std::string_view libs_ext, std::string_view prog_name,
              int32_t nospgr_input, const float* cell_input, std::string_view lib_out, char& new_,
              char& fstop, int32_t& ierr) {
  const CallStreams streams;
  ierr = 0;
  int32_t ierr_rst = 0;
  const std::string lib_dir = as_directory(prog_lib_path);
  set_path_prog_parm_(lib_dir, prog_name, libs_path, libs_name, libs_ext);
  const bool started = start_suite(mdoc, prog_name);
  // After the start-up, so that a log it opens is never taken for an output.
  RunOutputs outputs(mdoc);
  const Run run = set_listing(mdoc, list, prog_name);

  normalise_flags(conn_flag, cis_flag, lnk_flag, chain_flag, pept_flag, check_spec, h_flag, rflag,
                  form, symm_flag, ss_flag, sugar_flag, check, coor, srch, seg_flag);
  crdinf.cr_segflag = std::string_view(&seg_flag, 1);
  if (std::abs(dmin_spec) < 1e-5f) dmin_spec = 0.5f;
  const Options opt{conn_flag, cis_flag, lnk_flag,  chain_flag, pept_flag,  check_spec,
                    h_flag,    rflag,    symm_flag, ss_flag,    sugar_flag, check,
                    coor,      srch,     seg_flag,  cutoff,     dmin_spec};
  new_ = 'N';
  fstop = 'N';

  // Every return goes through here: the trace of the outcome, a failure of
  // the restraints as the status of a run that otherwise succeeded, and the
  // files the run could not finish.
  auto finish = [&] {
    if (list == 'T') {
      char buf[96];
      std::snprintf(buf, sizeof buf, " ==tessran end:FSTOP,IERR,IERR_RST: %c %d %d", fstop, ierr,
                    ierr_rst);
      trace(buf);
    }
    if (ierr == 0) ierr = ierr_rst;
    outputs.settle(ierr);
    if (started) finish_();
  };

  // Static: the library names are long fixed-width tables.
  static Files names;
  News news;
  if (!set_up_inputs(run, mdoc, in_coord_file, out_file_cif, file_lib2, lib_dir, libs_path,
                     libs_name, libs_ext, lib_out, form, h_flag, names, ierr))
    return finish();
  if (!read_model(run, mdoc, names, opt, nospgr_input, cell_input, ierr)) return finish();
  if (list == 'T') dump_model(mdoc, "new_test1");
  if (!describe_model(run, mdoc, prog_name, opt, news, ierr)) return finish();
  ierr_rst = make_restraints(run, mdoc, opt);
  // Nothing new: no library is written.
  if (news.nmnew <= 0 && news.dnew == 'N') return finish();
  if (!write_new_library(run, mdoc, names, news, ierr)) return finish();
  new_ = 'Y';
  fstop = (news.lib2 > 0 || news.new_flag_out == 'Y' || news.dnew != 'N') ? 'Y' : 'N';
  finish();
}
