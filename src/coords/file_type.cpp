// Coordinate file type detection.  A PDB record name among the first 1000
// lines decides 'P'; a CIF item or data block name decides 'C', and so does
// a file that shows neither.
#include "coords/file_type.h"

#include <string>

#include "foundation/atom_com.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "foundation/words.h"
#include "runtime/units.h"

void pdb_or_cif_(int32_t mdoc, rt::TextRef in_file_pdb, rt::FixedText<1>& flag, int32_t& ierr) {
  ierr = 0;
  clear_line_(in_file_pdb);
  const int len = in_file_pdb.len_trim();
  if (len == 0 || in_file_pdb(1) == ',' || in_file_pdb(1) == ' ') {
    msgerr_(mdoc, " ERROR: can't open input_coord_file");
    ierr = 1;
    return;
  }
  rt::FixedText<80> info;
  info = std::string("Input file :") + std::string(in_file_pdb.view().substr(0, len < 66 ? len : 66));
  msgdoc_(mdoc, info);

  int32_t iun = crdinf.cri_iun;
  openfr_(iun, 99, "", in_file_pdb.view().substr(0, static_cast<std::size_t>(len)), "", ierr);
  crdinf.cri_iun = iun;
  if (ierr != 0) {
    msgerr_(mdoc, " ERROR: can't open input_coord_file");
    return;
  }
  flag = "C";
  std::string rec;
  for (int n = 0; n < 1000; ++n) {
    if (rt::read_record(iun, rec, 80) != rt::IOSTAT_OK) break;
    rt::FixedText<80> line(rec);
    const std::string_view head = line.sub(1, 4);
    if (head == "HEAD" || head == "COMP" || head == "REMA" || head == "CRYS" || head == "SCAL" ||
        head == "ATOM" || head == "HETA") {
      flag = "P";
      break;
    }
    if (line.len_trim() > 4 && line(1) != '#') {
      int lead = 0;
      while (lead < 80 && line.c[lead] == ' ') ++lead;
      const std::string_view rest(line.c + lead, static_cast<std::size_t>(80 - lead));
      if (rest.substr(0, 1) == "_" || rest.substr(0, 5) == "data_") break;
    }
  }
  rt::unit_close(iun);
}

namespace coords {

namespace {

struct Magic {
  std::string_view bytes, kind;
};
constexpr Magic kMagics[] = {
    {std::string_view("\x1f\x8b", 2), "gzip"},
    {std::string_view("BZh", 3), "bzip2"},
    {std::string_view("\xfd\x37zXZ\0", 6), "xz"},
    {std::string_view("\x28\xb5\x2f\xfd", 4), "zstd"},
};

}  // namespace

std::string_view compression_of(std::string_view path) {
  // Through a unit, so that a stream shows the bytes the readers take.  No
  // signature holds a line end, so the first record holds what it shows.
  const int unit = rt::open_to_look(path);
  if (unit == 0) return {};
  std::string_view got;
  const bool read = rt::read_record_view(unit, got, 6) == rt::IOSTAT_OK;
  std::string_view kind;
  for (const Magic& m : kMagics)
    if (read && got.substr(0, m.bytes.size()) == m.bytes) kind = m.kind;
  rt::unit_close(unit);
  return kind;
}

bool holds_only_blanks(std::string_view path) {
  const int unit = rt::open_to_look(path);
  if (unit == 0) return false;
  // Any other file shows a character on its first lines, so the look ends
  // there.
  std::string_view rec;
  bool blank = true;
  while (blank && rt::read_record_view(unit, rec) == rt::IOSTAT_OK)
    blank = rec.find_first_not_of(" \t\r") == std::string_view::npos;
  rt::unit_close(unit);
  return blank;
}

}  // namespace coords
