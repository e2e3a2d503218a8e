// Keyword parser: tokenising a line into strings, numbers and null tokens,
// and reading logical lines with continuations, comments and command files.
#include "suite/ptq7_parser.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "runtime/units.h"
#include "suite/ptq7_errno.h"

namespace {

constexpr int32_t parser_error(int index) {
  return ptq7_error_word(PTQ7_ERRNO_PARS, PTQ7_LEVEL_SUCCESS, index);
}

// A command file name taken from an '@' token is held in a field of this size.
constexpr std::size_t MAX_COMMAND_FILE_NAME = 200;

// Membership of one of the parser's character sets, looked up rather than
// searched for each character of a line; the terminating null is in none.
class CharSet {
 public:
  explicit CharSet(const std::string& set) {
    for (char c : set) has_[static_cast<unsigned char>(c)] = true;
    has_[0] = false;
  }
  bool operator()(char c) const { return has_[static_cast<unsigned char>(c)]; }

 private:
  bool has_[256] = {};
};

void store_token(ParserArray* p, const std::string& line, int ibeg, int iend, bool quoted) {
  ParserToken& t = p->token[p->ntokens];
  t = ParserToken{};
  const int len = iend >= ibeg ? iend - ibeg + 1 : 0;
  t.fullstring.assign(line, ibeg, len);
  const int wl = len < 4 ? len : 4;
  std::memcpy(t.word, t.fullstring.data(), wl);
  t.word[wl] = '\0';
  t.ibeg = ibeg;
  t.iend = iend;
  t.isquoted = quoted ? 1 : 0;
  double value, intvalue, frcvalue, expvalue;
  int intdigits, frcdigits, expdigits;
  if (doublefromstr(t.fullstring.c_str(), p->max_exponent, p->min_exponent, &value, &intvalue,
                    &intdigits, &frcvalue, &frcdigits, &expvalue, &expdigits)) {
    t.isnumber = 1;
    t.value = value;
    t.intdigits = intdigits;
    t.frcdigits = frcdigits;
  } else {
    t.isstring = 1;
    t.strlength = len;
  }
  ++p->ntokens;
}

void store_null_token(ParserArray* p, int i) {
  ParserToken& t = p->token[p->ntokens];
  t = ParserToken{};
  t.isnull = 1;
  t.ibeg = t.iend = i;
  ++p->ntokens;
}

}  // namespace

ParserPtr ptq7_parse_start(int maxtokens) {
  if (maxtokens < 1) return nullptr;
  auto p = std::make_unique<ParserArray>();
  p->maxtokens = maxtokens;
  p->token.resize(maxtokens);
  p->delim = PTQ7_PARSER_DELIMITERS;
  p->nulldelim = PTQ7_PARSER_NULL_DELIMITERS;
  p->comment = PTQ7_PARSER_COMMENTS;
  return p;
}

void ptq7_parse_end(ParserPtr parser) { parser.reset(); }

void ptq7_parse_reset(ParserArray* parser) {
  if (!parser) return;
  for (int i = 0; i < parser->ntokens; ++i) parser->token[i] = ParserToken{};
  parser->ntokens = 0;
  parser->tokens_cut = false;
}

int ptq7_parse_delimiters(ParserArray* parser, const char* delim, const char* nulldelim) {
  if (!parser) return 0;
  parser->delim = delim ? delim : PTQ7_PARSER_DELIMITERS;
  parser->nulldelim = nulldelim ? nulldelim : PTQ7_PARSER_NULL_DELIMITERS;
  return 1;
}

int ptq7_parse_comments(ParserArray* parser, const char* comment_chars) {
  if (!parser) return 0;
  parser->comment = comment_chars ? comment_chars : PTQ7_PARSER_COMMENTS;
  return 1;
}

int ptq7_parse_maxmin(ParserArray* parser, double max_exponent, double min_exponent) {
  if (!parser) return 0;
  parser->max_exponent = max_exponent;
  parser->min_exponent = min_exponent;
  return 1;
}

int ptq7_parse(const char* text, ParserArray* p) {
  if (!p || !text) {
    ptq7_signal(parser_error(3), "ptq7_parse", nullptr);
    return p ? p->ntokens : 0;
  }
  const std::string line(text);
  const int n = static_cast<int>(line.size());
  if (n == 0) return p->ntokens;

  int start = 0;
  if (p->ntokens > 0) {
    start = p->token[p->ntokens - 1].iend + 1;
    if (start < n && (line[start] == '"' || line[start] == '\'')) ++start;
  }

  // Positions before the scan's start and past the end read as the first
  // delimiter, so that a scan resumed after a token (or a null token) never
  // sees that token's last character again.
  const char d0 = p->delim.empty() ? ' ' : p->delim[0];
  auto at = [&](int k) { return k < start || k >= n ? d0 : line[k]; };
  const CharSet delim(p->delim), null_delim(p->nulldelim), comment(p->comment);
  auto is_delim = [&](int k) { return k < start || k >= n || delim(line[k]); };
  auto is_null = [&](char c) { return null_delim(c); };
  auto is_comment = [&](char c) { return comment(c); };

  bool in_quoted = false;
  bool in_token = false;
  char quote = 0;
  int tok_beg = 0;

  for (int i = start - 1; i < n; ++i) {
    const char c = at(i);
    const char next = at(i + 1);
    if (in_quoted) {
      if (is_delim(i + 1) && c == quote) {
        store_token(p, line, tok_beg, i - 1, true);
        in_quoted = in_token = false;
      }
      continue;
    }
    if (is_delim(i)) {
      if (next == '\'' || next == '"') {
        if (p->ntokens == p->maxtokens) {
          ptq7_signal(parser_error(1), "ptq7_parse", nullptr);
          p->tokens_cut = true;
          return p->ntokens;
        }
        tok_beg = i + 2;
        quote = next;
        in_quoted = in_token = true;
        ++i;
        continue;
      }
      if (!in_token && !is_delim(i + 1) && !is_comment(next)) {
        if (p->ntokens == p->maxtokens) {
          ptq7_signal(parser_error(1), "ptq7_parse", nullptr);
          p->tokens_cut = true;
          return p->ntokens;
        }
        tok_beg = i + 1;
        in_token = true;
      } else if (!in_token && is_null(c) && is_null(next)) {
        if (p->ntokens == p->maxtokens) {
          ptq7_signal(parser_error(1), "ptq7_parse", nullptr);
          p->tokens_cut = true;
          return p->ntokens;
        }
        store_null_token(p, i);
      }
    } else if (in_token && (is_delim(i + 1) || is_comment(next))) {
      store_token(p, line, tok_beg, i, false);
      in_token = false;
    }
    if (is_comment(c)) break;
  }
  return p->ntokens;
}

int doublefromstr(const char* text, double max_exp, double min_exp, double* value,
                  double* intvalue, int* intdigits, double* frcvalue, int* frcdigits,
                  double* expvalue, int* expdigits) {
  *value = *intvalue = *frcvalue = *expvalue = 0;
  *intdigits = *frcdigits = *expdigits = 0;
  if (!text || !text[0]) return 0;

  enum Part { INT, FRAC, EXP } part = INT;
  double sign = 1, expsign = 1;
  double ipart = 0, fpart = 0, epart = 0;
  bool point = false, exponent = false;
  char prev = 0;
  for (int k = 0; text[k]; ++k) {
    const char c = text[k];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      const int d = c - '0';
      if (part == INT) {
        ipart = ipart * 10 + d;
        ++*intdigits;
      } else if (part == FRAC) {
        // digit / 10^n: '0.3' must read as the double nearest 0.3.
        ++*frcdigits;
        fpart += d / std::pow(10.0, *frcdigits);
      } else {
        epart = epart * 10 + d;
        ++*expdigits;
      }
    } else if (c == '-') {
      if (k == 0)
        sign = -1;
      else if (prev == 'E' || prev == 'e')
        expsign = -1;
      else
        return 0;
    } else if (c == '+') {
      // accepted anywhere and ignored
    } else if (c == '.') {
      if (point) return 0;
      point = true;
      part = FRAC;
    } else if (c == 'E' || c == 'e') {
      if (exponent) return 0;
      exponent = true;
      part = EXP;
    } else {
      return 0;
    }
    prev = c;
  }
  *intvalue = sign * ipart;
  *frcvalue = sign * fpart;
  *expvalue = expsign * epart;
  if (*intdigits + *frcdigits > 0) {
    if ((*intdigits - 1) + *expvalue > max_exp) {
      ptq7_signal(parser_error(7), "doublefromstr", nullptr);
      std::printf("DOUBLEFROMSTR: Token is \"%s\"\n", text);
      *value = 0;
      return 1;
    }
    if (*expvalue < min_exp) {
      ptq7_signal(parser_error(8), "doublefromstr", nullptr);
      std::printf("DOUBLEFROMSTR: Token is \"%s\"\n", text);
      *value = 0;
      return 1;
    }
  }
  *value = *intvalue + *frcvalue;
  // A number without digits is 0 whatever its exponent (0 times a huge power
  // would not be a number).
  if (exponent && *value != 0) *value *= std::pow(10.0, *expvalue);
  return 1;
}

namespace {

enum class Source { Application, File, Input };

// A directory opens for reading and then gives no line, as an empty file
// would: it is refused as a file that cannot be opened.  Null, errno set,
// where the file cannot be read.
FILE* open_command_file(const std::string& name) {
  struct stat st;
  if (::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return nullptr;
  }
  return rt::open_input_file(name);
}

// Reads one physical line of at most `limit` characters into `out`, without
// its newline.  The rest of a longer line is read and dropped, so that it can
// never come back as a keyword line of its own.  False at end of file.
bool read_piece(FILE* fp, std::size_t limit, std::string& out, std::vector<char>& buf) {
  out.clear();
  buf.resize(limit + 2);
  if (!std::fgets(buf.data(), static_cast<int>(limit + 1), fp)) return false;
  out.assign(buf.data());
  if (!out.empty() && out.back() == '\n') {
    out.pop_back();
    return true;
  }
  if (out.size() >= limit) {
    int ch;
    while ((ch = std::fgetc(fp)) != EOF && ch != '\n') {
    }
  }
  return true;
}

}  // namespace

int ptq7_parser(std::string& line, int capacity, ParserArray* p, int print) {
  if (!p || capacity < 0) {
    ptq7_signal(parser_error(3), "ptq7_parser", nullptr);
    return -1;
  }
  const bool trace = print < 0;
  ptq7_parse_reset(p);
  p->keyword[0] = '\0';
  p->line_cut = false;
  p->unfinished.clear();
  p->unread_command_file.clear();

  bool application = !line.empty();
  std::string held;
  std::string piece;
  std::vector<char> buf;
  const std::size_t limit = 2 * static_cast<std::size_t>(capacity);

  for (;;) {
    Source src;
    if (application) {
      src = Source::Application;
      piece = line;
      application = false;
    } else if (p->fp) {
      src = Source::File;
      if (!read_piece(p->fp, limit, piece, buf)) {
        if (trace) std::printf("PTQ7_PARSER: end of command file\n");
        std::fclose(p->fp);
        p->fp = nullptr;
        ptq7_parse_reset(p);
        held.clear();
        p->line_cut = false;
        continue;
      }
    } else {
      src = Source::Input;
      if (!read_piece(stdin, limit, piece, buf)) {
        if (trace) std::printf("PTQ7_PARSER: end of input\n");
        if (p->ntokens > 0) p->unfinished = held;
        ptq7_parse_reset(p);
        line.clear();
        return 0;
      }
    }
    if (trace) std::printf("PTQ7_PARSER: read \"%s\"\n", piece.c_str());

    const std::size_t room = static_cast<std::size_t>(capacity) - held.size();
    if (piece.size() > room) {
      ptq7_signal(parser_error(4), "ptq7_parser", nullptr);
      piece.resize(room);
      p->line_cut = true;
    }
    const std::size_t held_before = held.size();
    const int ntok_before = p->ntokens;
    held += piece;
    ptq7_parse(held.c_str(), p);

    if (p->ntokens == ntok_before) {
      if (ntok_before == 0) {
        if (!held.empty() && print != 0) std::printf(" Comment line--- %s\n", held.c_str());
        held.clear();
        p->line_cut = false;
        if (src == Source::Application) {
          line.clear();
          return 0;
        }
      } else {
        held.resize(held_before);
      }
      continue;
    }

    const ParserToken& first = p->token[0];
    if (first.word[0] == '@' && src != Source::File) {
      const std::string name = first.fullstring.substr(1);
      if (name.empty() || name.size() >= MAX_COMMAND_FILE_NAME) {
        p->unread_command_file =
            name.empty() ? "@ (no file name)"
                         : name + " (a name of " + std::to_string(MAX_COMMAND_FILE_NAME) +
                               " characters or more)";
        ptq7_signal(parser_error(6), "ptq7_parser", nullptr);
      } else {
        if (trace) std::printf("PTQ7_PARSER: opening command file \"%s\"\n", name.c_str());
        // A supplied '@' line may arrive while another command file is open;
        // that one would never be read again.
        if (p->fp) std::fclose(p->fp);
        p->fp = open_command_file(name);
        if (!p->fp) {
          p->unread_command_file = name + " (" + std::strerror(errno) + ")";
          ptq7_signal(parser_error(5), "ptq7_parser", nullptr);
        }
      }
      held.clear();
      p->line_cut = false;
      ptq7_parse_reset(p);
      continue;
    }

    const ParserToken& last = p->token[p->ntokens - 1];
    if (last.fullstring == "&" || last.fullstring == "\\" || last.fullstring == "-") {
      if (trace) std::printf("PTQ7_PARSER: continuation\n");
      const int cut = p->ntokens == 1 ? 0 : last.ibeg;
      p->token[p->ntokens - 1] = ParserToken{};
      --p->ntokens;
      held.resize(cut);
      continue;
    }
    break;
  }

  for (int k = 0; k < 4 && p->token[0].word[k]; ++k)
    p->keyword[k] = static_cast<char>(std::toupper(static_cast<unsigned char>(p->token[0].word[k])));
  p->keyword[std::strlen(p->token[0].word)] = '\0';
  if (print != 0) std::printf(" Data line--- %s\n", held.c_str());
  line = held;
  return p->ntokens;
}

int ptq7_keymatch(const char* key1, const char* key2) {
  if (!key1 || !key2) return 0;
  const std::size_t n1 = std::min<std::size_t>(std::strlen(key1), 4);
  const std::size_t n2 = std::min<std::size_t>(std::strlen(key2), 4);
  if (n1 != n2) return 0;
  for (std::size_t i = 0; i < n1; ++i)
    if (std::toupper(static_cast<unsigned char>(key1[i])) !=
        std::toupper(static_cast<unsigned char>(key2[i])))
      return 0;
  return 1;
}

int charmatch(char c, const char* set) {
  if (!set || !set[0]) return 0;
  return std::strchr(set, c) != nullptr && c != '\0';
}

int strmatch(const char* a, const char* b) {
  if (!a || !b) return 0;
  return std::strcmp(a, b) == 0;
}

std::string strtoupper(const char* in) {
  std::string r = in ? in : "";
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

std::string strtolower(const char* in) {
  std::string r = in ? in : "";
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}
