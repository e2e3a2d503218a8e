// The TLS group program: suite start-up, banner, option defaults, TLS
// keywords from standard input, the coordinate file read into the structure
// tables, and the TLS group file.
#include <cstdint>
#include <string>

#include "file_names.h"
#include "orbinate_blocks.h"
#include "coords/cif_by_pdb_rules.h"
#include "coords/cif_header.h"
#include "coords/file_type.h"
#include "coords/pdb_reader.h"
#include "coords/pdb_segids.h"
#include "coords/pdb_state.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "foundation/paths_defaults.h"
#include "runtime/format.h"
#include "runtime/run.h"
#include "suite/csymlib.h"
#include "suite/library_f.h"
#include "suite/library_utils.h"
#include "suite/ptq7_parser_f.h"

tls_char_t tls_char;
tls_int_t tls_int;

void set_tessran_params_() {
  make_params_t& p = make_params;
  p.make_cutoff = 0.0f;
  p.make_dmin_spec = 0.1f;
  p.make_hflag = "A";
  p.make_check_spec = "N";
  p.make_rflag = "N";
  p.make_form = "U";
  p.make_pept_flag = "N";
  p.make_lnk_flag = "N";
  p.make_conn_flag = "N";
  p.make_symm_flag = "Y";
  p.make_chain_flag = "N";
  p.make_ss_flag = "Y";
  p.make_cis_flag = "Y";
  p.make_sugar_flag = "S";
  p.make_libs_path.blank();
  p.make_libs_name.blank();
  p.make_libs_ext.blank();
  p.make_prog_lib_path.blank();
  p.make_out_file.blank();
  p.make_file_lib2.blank();
  p.make_exit = "N";
  p.make_hflag_o = "N";
  p.make_check = "N";
  p.make_new_flag = "N";
  p.make_newl_value_flag = "N";
  p.make_ligand_level_flag = "H";
  p.make_srch_flag = "N";
  p.make_segid_in_flag = "N";
  p.make_segid_out_flag = "N";
}

namespace {

// Working data of the keyword reader, kept for the run.
struct KeywordLine {
  rt::FixedText<KEYWORD_LINE> line;
  rt::FixedText<4> key;
  rt::Array1<int32_t, NPARS> ibeg, iend, ityp, idec;
  rt::Array1<float, NPARS> fvalue;
  rt::Array1<rt::FixedText<4>, NPARS> cvalue;
  int32_t ntok = 0;
  bool lend = false;
};
KeywordLine kw;

// A keyword line is acted on whole or not at all: the chains named past a
// cut would be left out of their group without a word.
void refuse_cut_line() {
  const suite::ParserCut cut = suite::parser_last_cut();
  if (cut.chars)
    rt::write_list(6, "Error: Keyword line longer than " + std::to_string(KEYWORD_LINE) +
                          " characters; " + std::to_string(KEYWORD_LINE) + " is the limit");
  else if (cut.tokens)
    rt::write_list(6, "Error: Keyword line of more than " + std::to_string(NPARS) + " words; " +
                          std::to_string(NPARS) + " is the limit");
  if (cut.chars || cut.tokens) rt::stop_run(1);
}

// The input ended where a line marked for continuation wanted its next
// piece: the words still to come (more chains of a group) are unknown, so
// the line is refused like a cut one rather than dropped or acted on.
void refuse_unfinished_line() {
  const suite::ParserCut cut = suite::parser_last_cut();
  if (cut.unfinished.empty()) return;
  rt::write_list(6, "Error: Keyword line continued at the end of input; its continuation never came: " +
                        std::string(rt::trim_right(cut.unfinished)));
  rt::stop_run(1);
}

// An '@' line whose file could not be opened leaves out every keyword of
// that file (the groups asked for, the END): the run would go on with the
// defaults and call itself a success.
void refuse_unread_command_file() {
  const suite::ParserCut cut = suite::parser_last_cut();
  if (cut.unread_command_file.empty()) return;
  rt::write_list(6, "Error: Keyword command file cannot be read: " + cut.unread_command_file);
  rt::stop_run(1);
}

}  // namespace

void tls_instructions_() {
  // The keywords end at END, at the end of input or at a line refused,
  // often before the end of a command file that an '@' line opened: the
  // file would stay open, and a pipe's copy held, until the process ends.
  struct CommandFileCloser {
    ~CommandFileCloser() { suite::parser_close_command_file(); }
  } command_file;
  tls_char.tls_define_flag = "C";
  tls_int.ngroup_tls = 0;
  for (;;) {
    kw.line.blank();
    kw.key.blank();
    kw.ntok = NPARS;
    parser_(kw.key, kw.line, kw.ibeg.data(), kw.iend.data(), kw.ityp.data(), kw.fvalue.data(),
            kw.cvalue.data(), kw.idec.data(), kw.ntok, kw.lend, true);
    refuse_unread_command_file();
    if (kw.lend) {
      refuse_unfinished_line();
      return;
    }
    refuse_cut_line();
    ptqupc_(kw.key);
    for (int i = 1; i <= kw.ntok; ++i) ptqupc_(kw.cvalue(i));
    if (kw.key == std::string_view("END")) return;
    bool understood = false;
    if (kw.key == std::string_view("TLS") && kw.ntok >= 2 &&
        kw.cvalue(2) == std::string_view("GROU")) {
      if (kw.ntok >= 3 && kw.cvalue(3) == std::string_view("CHAI")) {
        understood = true;
        tls_char.tls_define_flag = "C";
      } else if (kw.ntok >= 3 && kw.cvalue(3) == std::string_view("DEFI")) {
        understood = true;
        tls_char.tls_define_flag = "D";
        if (kw.ntok >= 4) {
          if (++tls_int.ngroup_tls > MAXGROUP_TLS) {
            rt::write_list(6, "Error: More than 500 TLS groups defined; 500 is the limit");
            rt::stop_run(1);
          }
          const int g = tls_int.ngroup_tls;
          const int pieces = kw.ntok - 3;
          for (int p = 1; p <= pieces; ++p) {
            if (p > MAXPIECES) {
              rt::write_list(6, "Error: More than 500 chains in one TLS group; 500 is the limit");
              rt::stop_run(1);
            }
            const int t = p + 3;
            const int b = kw.ibeg(t), e = kw.iend(t);
            const int n = e - b + 1 < 4 ? e - b + 1 : 4;
            tls_char.chains_gr(g, p) =
                n > 0 ? kw.line.view().substr(static_cast<std::size_t>(b - 1),
                                              static_cast<std::size_t>(n))
                      : std::string_view();
          }
          tls_int.ntls_pieces(g) = pieces;
        }
      }
    } else if (kw.key == std::string_view("MAKE") && kw.ntok >= 3 &&
               kw.cvalue(2) == std::string_view("SEGI")) {
      // Any third word is an answer; only one that begins with Y changes
      // anything.
      understood = true;
      if (kw.cvalue(3)(1) == 'Y') make_params.make_segid_in_flag = "Y";
    }
    // The line is still ignored, but a misspelt keyword would otherwise
    // leave the groups of the default mode without a word on why.
    if (!understood)
      rt::write_list(6, "Warning: Line not understood and ignored: " +
                            std::string(kw.line.trimmed()));
  }
}

namespace {

// A failed run ends with status 1 and before the TLS file is opened, so
// that no file is left behind that a refinement program could take for a
// result.
[[noreturn]] void read_failed(int32_t ierr, std::string_view what) {
  rt::write_list(6, ierr);
  rt::write_list(6, what);
  rt::stop_run(1);
}

}  // namespace

void tessran_kavlin1_() {
  const int32_t mdoc = -999;
  rt::FixedText<256> in_coord_file;
  logical_file_name("XYZIN", in_coord_file);
  if (in_coord_file.is_blank()) {
    rt::write_list(6, "Error: Input file is empty");
    rt::stop_run(1);
  }
  const int32_t nspgrp = 0;
  const char h_r = 'Y';
  const float cell_c[6] = {0, 0, 0, 0, 0, 0};
  const char pept_flag = 'N';
  rt::write_list(6, in_coord_file.sub(1, 2));
  rt::FixedText<1> file_type_flag;
  file_type_flag.blank();
  int32_t ierr = 0;
  pdb_or_cif_(mdoc, in_coord_file, file_type_flag, ierr);
  // A compressed file shows no line of either kind and would be called CIF.
  const std::string_view packed = coords::compression_of(in_coord_file.trimmed());
  if (!packed.empty()) {
    rt::write_list(
        6, "Error: Input file is compressed (" + std::string(packed) + "); uncompress it first");
    rt::stop_run(1);
  }
  // An empty file has no type: the error comes first and alone, not after a
  // type that the detection gives any file without PDB records.
  if (coords::holds_only_blanks(in_coord_file.trimmed())) {
    coords::no_atoms_message(mdoc, true);
    read_failed(2, "Error: Input file is neither PDB nor mmCIF with atoms");
  }
  rt::write_list(6, "file type =", file_type_flag);
  const char type = file_type_flag(1);
  if (type != 'P' && type != 'C') {
    rt::write_list(6, "Error: Input file is neither PDB nor mmCIF");
    rt::stop_run(1);
  }
  // Segment identifiers asked for where the file has none: the chain
  // identifiers serve, as without the keyword, rather than groups with
  // blank names.
  char seg_flag = make_params.make_segid_in_flag(1);
  if (seg_flag == 'Y' && (type == 'C' || !coords::pdb_has_segment_ids(in_coord_file.trimmed()))) {
    rt::write_list(6, "Warning: No segment identifiers in the file; chain identifiers are used");
    seg_flag = 'N';
  }
  init_atm_inf_(mdoc, ierr);
  init_defaults_();
  ierr = 0;
  if (type == 'C') {
    // mmCIF by the PDB reader's rules, so that both forms of an entry give
    // the same groups.  An author's chain identifier of more than one
    // character has no place in the chain column: such a file is read again
    // with the identifiers where segment identifiers stand.
    coords::read_cif_by_pdb_rules(mdoc, in_coord_file.trimmed(), 'N', h_r, ierr);
    if (ierr == coords::kCifLongChainIds) {
      init_atm_inf_(mdoc, ierr);
      init_defaults_();
      coords::read_cif_by_pdb_rules(mdoc, in_coord_file.trimmed(), 'Y', h_r, ierr);
    }
    // 2: the end of the file came before any atom.  The detection takes a
    // file without PDB records for CIF, so this is also where a file of
    // neither kind ends up; an atom list without rows is mmCIF all the same.
    if (ierr == 2)
      read_failed(ierr, coords::scan_for_atoms(in_coord_file.trimmed()) ==
                                coords::AtomScan::kAtomListWithoutRows
                            ? "Error: No atoms in the coordinate file"
                            : "Error: Input file is neither PDB nor mmCIF with atoms");
    if (ierr >= 1) read_failed(ierr, "Error in reading mmCIF file");
  } else {
    get_pdb_(mdoc, in_coord_file.trimmed(), nspgrp, cell_c, pept_flag, seg_flag, h_r, ierr);
    // A file without a CRYST1 record is refused (status 9): the line names
    // the record, also where the model itself was found wrong as well
    // (status 6), so that mending that does not lead to a second refusal.
    // Statuses below 6 stop the read before its end, where the record may
    // yet have come.
    const bool no_cryst1 = ierr >= 6 && sttcrec.st_cell_flag == 0 && sttcrec.st_spgr_flag == 0;
    // 2: records, but not one of them an atom.
    if (ierr == 2) read_failed(ierr, "Error: No atoms in the coordinate file");
    if (ierr >= 1)
      read_failed(ierr, no_cryst1 ? "Error in reading pdb file: no CRYST1 record (cell and space group)"
                                  : "Error in reading pdb file");
  }
  if (asym_part.n_group == 0 || atom_inf.n_atom == 0) {
    rt::write_list(6, "Error: No atoms in the coordinate file");
    rt::stop_run(1);
  }
}

namespace {

// The coordinate reader loads the model's space group from the symmetry
// library; without it, or with a damaged one, the group would be lost while
// the run ended as a success.  The library is named by now: the command
// line and the site's defaults have set SYMINFO.
void refuse_unusable_symmetry_library() {
  const std::string fault = suite::symmetry_library_fault();
  if (fault.empty()) return;
  rt::write_list(6, "Error: the symmetry library " + fault);
  rt::stop_run(1);
}

void orbinate_main(int argc, char** argv) {
  files.isysw = 6;
  ptqfyp_(argc, argv);
  files.isysw = 6;
  rt::write_list(6);
  rt::write_list(6, " orbinate version 0.1");
  rt::write_list(6);
  refuse_unusable_symmetry_library();
  set_tessran_params_();
  tls_instructions_();
  tessran_kavlin1_();
  write_tls_params_();
  rt::stop_run(0);
}

}  // namespace

int main(int argc, char** argv) { return rt::run_main(argc, argv, orbinate_main); }
