// The code base's keyword entries over the keyword parser: fixed arguments,
// blank-padded texts and 1-based per-token arrays.  The delimiter sets, the
// command file left open and the capacity of parse_ persist between calls.
#include "suite/ptq7_parser_f.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "suite/library_err.h"
#include "suite/library_utils.h"
#include "suite/ptq7_parser.h"

namespace {

std::optional<std::string> saved_delim;
std::optional<std::string> saved_nulldelim;
FILE* saved_fp = nullptr;
int parse_capacity = 0;
suite::ParserCut saved_cut;

const char* or_null(const std::optional<std::string>& s) { return s ? s->c_str() : nullptr; }

void fparse_delimiters(ParserArray* parser) {
  if (!ptq7_parse_delimiters(parser, or_null(saved_delim), or_null(saved_nulldelim)))
    ptqerror(4, "fparse_delimiters: couldn't reset delimiters");
}

void fparse_populate_arrays(const ParserArray* parser, int32_t* ibeg, int32_t* iend, int32_t* ityp,
                            float* fvalue, rt::FixedText<4>* cvalue, int32_t* idec) {
  for (int k = 0; k < parser->ntokens; ++k) {
    const ParserToken& t = parser->token[k];
    ibeg[k] = t.ibeg + 1;
    iend[k] = t.iend + 1;
    if (t.isnull) {
      ityp[k] = 0;
      continue;
    }
    if (t.isstring) {
      ityp[k] = 1;
      idec[k] = std::min(t.strlength, 4);
    } else if (t.isnumber) {
      ityp[k] = 2;
      fvalue[k] = static_cast<float>(t.value);
      idec[k] = t.frcdigits > 0 ? (t.intdigits + 1) * 100 + t.frcdigits : t.intdigits;
    } else {
      ityp[k] = 0;
    }
    cvalue[k] = t.word;
  }
}

}  // namespace

void parser_(rt::TextRef key, rt::TextRef line, int32_t* ibeg, int32_t* iend, int32_t* ityp,
             float* fvalue, rt::FixedText<4>* cvalue, int32_t* idec, int32_t& ntok, bool& lend,
             bool lprint) {
  ntok = std::clamp<int32_t>(ntok, 20, 10000);
  // Up to the used length: a field never blanked (zero bytes) is an empty
  // line, so the keyword line is read rather than taken from the field.
  std::string copy(line.view().substr(0, static_cast<std::size_t>(lenstr_(line.view()))));
  ParserPtr parser = ptq7_parse_start(ntok);
  if (!parser) {
    lend = true;
    return;
  }
  fparse_delimiters(parser.get());
  ptq7_parse_maxmin(parser.get(), 38, -37);
  parser->fp = saved_fp;
  const int n = ptq7_parser(copy, line.len(), parser.get(), lprint ? 1 : 0);
  ntok = n;
  saved_cut = {};
  if (n <= 0) {
    lend = true;
    saved_cut.unfinished = parser->unfinished;
  } else {
    saved_cut = {parser->line_cut, parser->tokens_cut, {}, {}};
    lend = false;
    fparse_strncpypad(key.p, parser->keyword, key.len());
    line.assign(copy);
    fparse_populate_arrays(parser.get(), ibeg, iend, ityp, fvalue, cvalue, idec);
  }
  saved_cut.unread_command_file = parser->unread_command_file;
  saved_fp = parser->fp;
  ptq7_parse_end(std::move(parser));
}

void parse_(std::string_view line, int32_t* ibeg, int32_t* iend, int32_t* ityp, float* fvalue,
            rt::FixedText<4>* cvalue, int32_t* idec, int32_t& n) {
  if (n < 0) parse_capacity = -n;
  if (parse_capacity == 0) {
    std::printf("PARSE: zero number of tokens specified - aborting\n");
    return;
  }
  ParserPtr parser = ptq7_parse_start(parse_capacity);
  fparse_delimiters(parser.get());
  const std::string text = ptq7_FtoCString(line);
  n = ptq7_parse(text.c_str(), parser.get());
  fparse_populate_arrays(parser.get(), ibeg, iend, ityp, fvalue, cvalue, idec);
}

void parsdl_(std::string_view chars, int32_t n, int32_t nspecd) {
  if (n <= 0) {
    saved_delim.reset();
    saved_nulldelim.reset();
    return;
  }
  if (static_cast<int32_t>(chars.size()) < n) {
    ptqerror(4, "PARSDL: too few delimiter characters supplied");
    return;
  }
  saved_delim = std::string(chars.substr(0, n));
  const int32_t nspec = std::max<int32_t>(nspecd, 0);
  saved_nulldelim = nspec >= n ? std::string() : std::string(chars.substr(nspec, n - nspec));
}

int32_t lenstr_(std::string_view text) {
  int32_t n = static_cast<int32_t>(text.size());
  while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\0' || text[n - 1] == '\r')) --n;
  return n;
}

suite::ParserCut suite::parser_last_cut() { return saved_cut; }

void suite::parser_close_command_file() {
  if (saved_fp) std::fclose(saved_fp);
  saved_fp = nullptr;
}

void parser_state_reset_for_tests() {
  saved_cut = {};
  saved_delim.reset();
  saved_nulldelim.reset();
  suite::parser_close_command_file();
  parse_capacity = 0;
}

void fparse_strncpypad(char* destination, const char* text, int width) {
  int i = 0;
  if (text != nullptr)
    for (; i < width && text[i] != '\0'; ++i) destination[i] = text[i];
  for (; i < width; ++i) destination[i] = ' ';
}

int fparse_isblank(const char* text, int n) {
  if (n < 1) return 0;
  for (int i = 0; i < n; ++i)
    if (text[i] != ' ' && text[i] != '\t' && text[i] != '\n') return 0;
  return 1;
}
