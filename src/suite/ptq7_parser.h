// Keyword parser: logical lines from standard input, a command file or a
// supplied line (continuations, comments, '@' command files) split into
// typed tokens: strings, numbers with their digit counts, and null tokens.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct ParserToken {
  std::string fullstring;  // for a quoted token, without its quotes
  char word[5] = {};       // first four characters as typed
  double value = 0;
  int isstring = 0;
  int strlength = 0;
  int isnumber = 0;
  int intdigits = 0;
  int frcdigits = 0;
  int isquoted = 0;
  int isnull = 0;
  int ibeg = 0;  // 0-based, inclusive
  int iend = 0;
};

struct ParserArray {
  char keyword[5] = {};
  int ntokens = 0;
  std::vector<ParserToken> token;  // room for maxtokens
  FILE* fp = nullptr;              // command file being read, kept between calls
  int maxtokens = 0;
  std::string delim;
  std::string nulldelim;
  std::string comment;
  double max_exponent = 308;
  double min_exponent = -307;
  // Set when the tokens held lost one past maxtokens, or the logical line
  // last returned lost characters past its capacity; the signal alone is
  // only a notice, and a caller for whom every word counts must know.
  bool tokens_cut = false;
  bool line_cut = false;
  // A continued line that the end of standard input left without its
  // continuation (mark removed); empty otherwise.  The call returns 0 there,
  // as at any end of input, so the words held would otherwise vanish
  // unseen.
  std::string unfinished;
  // The command file an '@' line of this call asked for that could not be
  // opened, with the reason in brackets; empty otherwise.  Reading goes on
  // from standard input, so the file's keywords would be lost unseen.
  std::string unread_command_file;
};

using ParserPtr = std::unique_ptr<ParserArray>;

inline constexpr const char* PTQ7_PARSER_DELIMITERS = " \t,=\r";
inline constexpr const char* PTQ7_PARSER_NULL_DELIMITERS = ",=";
inline constexpr const char* PTQ7_PARSER_COMMENTS = "#!";

// Null when maxtokens < 1.
ParserPtr ptq7_parse_start(int maxtokens);
// Frees the parser; an open command file is left to the caller.
void ptq7_parse_end(ParserPtr parser);
void ptq7_parse_reset(ParserArray* parser);
// Null arguments select the defaults; 1 on success, 0 on failure.
int ptq7_parse_delimiters(ParserArray* parser, const char* delim, const char* nulldelim);
int ptq7_parse_comments(ParserArray* parser, const char* comment_chars);
int ptq7_parse_maxmin(ParserArray* parser, double max_exponent, double min_exponent);

// Tokenises `line`, appending to the tokens held; returns the new count.
int ptq7_parse(const char* line, ParserArray* parser);
// Reads and tokenises the next logical line into `line` (capacity characters;
// an application line when non-empty on entry).  Returns the token count, 0 at
// end of input, -1 for a null argument.  print 0 is silent, < 0 traces.
int ptq7_parser(std::string& line, int capacity, ParserArray* parser, int print);

// 1 when text is a number (value and digit counts set), else 0.
int doublefromstr(const char* text, double max_exp, double min_exp, double* value,
                  double* intvalue, int* intdigits, double* frcvalue, int* frcdigits,
                  double* expvalue, int* expdigits);

int ptq7_keymatch(const char* key1, const char* key2);
int charmatch(char c, const char* set);
int strmatch(const char* a, const char* b);
// Case conversion of `in`; empty result for a null input.
std::string strtoupper(const char* in);
std::string strtolower(const char* in);
