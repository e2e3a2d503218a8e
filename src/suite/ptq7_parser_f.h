// The code base's keyword entries: fixed arguments, blank-padded texts and
// 1-based per-token arrays (passed as pointers to their first element).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/fixed_text.h"

// Reads one logical keyword line (or uses `line` when it is not blank).
// ntok: in the array capacity (clamped to 20..10000 and written back), out
// the token count.  ityp: 0 null, 1 string, 2 number.
void parser_(rt::TextRef key, rt::TextRef line, int32_t* ibeg, int32_t* iend, int32_t* ityp,
             float* fvalue, rt::FixedText<4>* cvalue, int32_t* idec, int32_t& ntok, bool& lend,
             bool lprint);
// Tokenises `line` only.  n < 0 sets the capacity to |n|; out: the token count.
void parse_(std::string_view line, int32_t* ibeg, int32_t* iend, int32_t* ityp, float* fvalue,
            rt::FixedText<4>* cvalue, int32_t* idec, int32_t& n);
// The first n characters of chars become the delimiters, those after the
// first nspecd also null delimiters; n <= 0 restores the defaults.
void parsdl_(std::string_view chars, int32_t n, int32_t nspecd);
// Used length: trailing blanks, NULs and carriage returns do not count.
int32_t lenstr_(std::string_view text);

// Copies at most width characters of text (up to its end) into destination
// and fills the rest of the width with blanks; a null text gives blanks.
void fparse_strncpypad(char* destination, const char* text, int width);
// 1 when all n characters are blanks, tabs or newlines; 0 for n < 1.
int fparse_isblank(const char* text, int n);

namespace suite {

// What the last parser_ call left out of the logical line it returned:
// characters past the width of `line`, tokens past the capacity ntok; or,
// where it found the end of input, the continued line that never got its
// continuation (empty when there was none); and the command file an '@'
// line asked for that could not be opened, with the reason in brackets.
struct ParserCut {
  bool chars = false;
  bool tokens = false;
  std::string unfinished;
  std::string unread_command_file;
};
ParserCut parser_last_cut();

// Closes the command file an '@' line opened, where the keywords end before
// the file does (at its END line, or at a line refused): parser_ closes it
// only where it reads the file's end.
void parser_close_command_file();

}  // namespace suite

// Forgets saved delimiters, capacity and an open command file (tests).
void parser_state_reset_for_tests();
