// Record files on integer unit numbers: the platform service the code base was
// written against.  Units 5, 6 and 0 are standard input, output and error and
// always go through C stdio, so that printf lines of the library and unit-6
// records keep their order.  Failures are returned as status values (iostat),
// never thrown.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

// iostat values: 0 success, negative end of file, positive an error.
inline constexpr int IOSTAT_OK = 0;
inline constexpr int IOSTAT_END = -1;
inline constexpr int IOSTAT_NOT_OPEN = 1;       // unit not connected
inline constexpr int IOSTAT_OPEN_FAILED = 2;    // the file could not be opened
inline constexpr int IOSTAT_EXISTS = 3;         // status NEW on an existing file
inline constexpr int IOSTAT_MISSING = 4;        // status OLD on a missing file
inline constexpr int IOSTAT_READ_ERROR = 5;     // a read failed or a record is malformed
inline constexpr int IOSTAT_WRITE_ERROR = 6;    // a write failed
inline constexpr int IOSTAT_BAD_UNIT = 7;       // unit number out of range or pre-connected
inline constexpr int IOSTAT_BAD_RECORD = 8;     // direct access: bad record number or length
inline constexpr int IOSTAT_WRONG_MODE = 9;     // formatted call on unformatted unit or the reverse
inline constexpr int IOSTAT_BAD_NUMBER = 10;    // a numeric field could not be read

inline constexpr int MAX_UNIT = 999;

enum class OpenStatus { Old, New, Unknown, Scratch, Replace };
enum class Form { Formatted, Unformatted };
enum class Access { Sequential, Direct, Append };

struct OpenOptions {
  OpenStatus status = OpenStatus::Unknown;
  Form form = Form::Formatted;
  Access access = Access::Sequential;
  int recl = 0;          // record length in bytes (direct access)
  bool readonly = false; // open for reading only
};

// Longest stream taken whole as an input: far more than a model the tables
// hold, and a bound on memory where a device never ends.
inline constexpr std::size_t MAX_STREAM_COPY = std::size_t{1} << 30;

// Opens `file` on `unit`.  A scratch file gets a unique name and is removed
// when closed.  Reopening an open unit closes it first.  An old file that
// is no plain file (a pipe, a FIFO, a terminal) is read whole at its first
// open, and every open of it until the streams are forgotten reads that
// copy, read-only: a stream gives its bytes once.  IOSTAT_OPEN_FAILED,
// errno EFBIG, past MAX_STREAM_COPY.
int unit_open(int unit, std::string_view file, const OpenOptions& opt);
// Closes the unit; `remove_file` deletes the file (status "DELETE").  Closing
// a unit that is not open is not an error.  IOSTAT_WRITE_ERROR when any
// record written to the unit was lost, at its write or at the close.
int unit_close(int unit, bool remove_file = false);
// Closes the unit and, when the close fails (buffered records were lost),
// removes the file, so that a file not written whole is not left behind.
int unit_close_or_remove(int unit);
// Removes `file` when it is a plain file (a device named by a run is left
// alone); true when it was removed.
bool remove_plain_file(std::string_view file);
bool unit_is_open(int unit);
// The file name a unit is connected to ("" when not open; "stdin" etc. for 5, 6, 0).
std::string unit_file_name(int unit);
// The unit a file is connected to, or 0 when none.
int unit_of_file(std::string_view file);
bool file_exists(std::string_view file);
// First unit in [from, to] that is not connected (5, 6 and 0 never are free), 0 if none.
int free_unit(int from = 1, int to = 99);
// An existing file opened read-only on the first free unit of 10 to 99, for
// a look at its lines beside the units a reader holds; 0 where no unit is
// free or the file cannot be opened.
int open_to_look(std::string_view file);

// `file` opened to be read through stdio by a reader of its own, as an old
// file opens on a unit: one that is no plain file (a pipe, a FIFO, a
// device) reads the run's copy of it, so that every reader of the run sees
// the same bytes however often it is opened.  Null, errno set, where it
// cannot be opened.  The caller closes it.
std::FILE* open_input_file(std::string_view file);
// Forgets the copies of the streams taken so far: the next open of one
// reads what it gives then.  The copies belong to one run, or to one call
// of a routine that a program may call again on the same FIFO; a unit or
// reader still open on a copy keeps it until it is closed.
void forget_streams();

// Longest record kept by default: far more than any record the readers
// take, and a bound on memory whatever the input.
inline constexpr std::size_t MAX_RECORD = 65536;
// Sequential formatted: one record (a line without its terminator), at most
// `limit` characters of it; the rest of a longer line is skipped.
int read_record(int unit, std::string& rec, std::size_t limit = MAX_RECORD);
// The same record as a view, without a copy: it holds until the next
// operation on the unit.
int read_record_view(int unit, std::string_view& rec, std::size_t limit = MAX_RECORD);
int write_record(int unit, std::string_view rec);
// Sequential unformatted: records framed by 4-byte lengths before and after.
int read_unformatted(int unit, std::string& bytes);
int write_unformatted(int unit, std::string_view bytes);
// Direct access: record `recno` (1-based) of the unit's record length.  A record
// written short is padded with zero bytes (unformatted) or blanks (formatted).
int read_direct(int unit, int recno, std::string& bytes);
int write_direct(int unit, int recno, std::string_view bytes);
int unit_rewind(int unit);
int unit_backspace(int unit);
// The place of a sequential formatted unit's next record, and a return to
// it: a look ahead over many records comes back at once, where a backspace
// steps back over each record character by character.  -1 where the unit
// is not open or has no place (a pre-connected stream).
long unit_mark(int unit);
int unit_return_to(int unit, long mark);
void unit_flush(int unit);
void flush_all_units();
// Closes every unit but the pre-connected ones and forgets the streams taken
// (end of a run, and between tests).
void close_all_units();

// An account of the files written while it is kept, so that a run that fails
// takes back what it left unfinished, and a file it wrote is read back only
// as written.  A file enters the account when a unit creates it or first
// writes to it.  While a file of the account is open for reading, its
// records are refused unless it is a plain file of the size it had when its
// unit closed: a device or a file changed since would give other records, or
// no end (zeros from a device).  Starting an account forgets an earlier one.
void output_account_start();
void output_account_stop();
// Files of the account whose write or close failed, in the order of failure.
std::vector<std::string> output_account_lost();
// Closes every unit still open on a file of the account and removes the
// file, and removes each lost file still there; the names removed, in order.
std::vector<std::string> output_account_discard();

}  // namespace rt
