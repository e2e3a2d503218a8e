// Run start-up: switches, the environ.def and default.def definition files
// and the command-line pairs of logical name and file name.
#include "suite/ptq7_general.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/run.h"
#include "runtime/units.h"
#include "suite/library_utils.h"
#include "suite/ptq7_errno.h"
#include "suite/ptq7_parser.h"
#include "suite/ptq7_program.h"

namespace {

int general_error(int index, const char* place, int result) {
  ptq7_signal(ptq7_error_word(PTQ7_ERRNO_GENERAL, PTQ7_LEVEL_SUCCESS, index), place, nullptr);
  return result;
}

// One line of a definition file, at most 199 characters; the rest of a longer
// line is dropped.  Only the newline is removed.
bool read_def_line(FILE* fp, std::string& out) {
  char buf[200];
  if (!std::fgets(buf, sizeof buf, fp)) return false;
  out.assign(buf);
  if (!out.empty() && out.back() == '\n') {
    out.pop_back();
  } else if (out.size() == sizeof buf - 1) {
    int ch;
    while ((ch = std::fgetc(fp)) != EOF && ch != '\n') {
    }
  }
  return true;
}

std::string def_file_name(bool given, const std::string& given_name, const char* cincl,
                          const char* home, const char* file) {
  if (given) {
    if (ptq7_utils_pathname(given_name).empty() && home) return ptq7_utils_joinfilenames(home, given_name);
    return given_name;
  }
  const char* dir = cincl ? cincl : home ? home : ".";
  return ptq7_utils_joinfilenames(dir, file);
}

struct FileCloser {
  FILE* fp;
  ~FileCloser() {
    if (fp) std::fclose(fp);
  }
};

int read_environ(const std::string& name, std::vector<Ptq7LogicalName>& table) {
  ptq7printf(2, "Opening file \"%s\"\n", name.c_str());
  FileCloser f{rt::open_input_file(name)};
  if (!f.fp) return general_error(7, "ptq7fyp", 1);
  ParserPtr parser = ptq7_parse_start(3);
  ptq7_parse_delimiters(parser.get(), " \t=.", nullptr);
  std::string line;
  while (read_def_line(f.fp, line)) {
    ptq7_parse_reset(parser.get());
    if (ptq7_parse(line.c_str(), parser.get()) != 3) continue;
    for (int k = 0; k < 3; ++k)
      if (parser->token[k].isnull) return general_error(9, "ptq7fyp", -1);
    if (static_cast<int>(table.size()) + 1 == PTQ7_MAX_LOGICAL_NAMES)
      return general_error(3, "ptq7fyp", 1);
    table.push_back({parser->token[0].fullstring, parser->token[1].fullstring,
                     parser->token[2].fullstring});
  }
  return 0;
}

int read_defaults(const std::string& name, std::vector<Ptq7LogicalName>& table) {
  ptq7printf(2, "Opening file \"%s\"\n", name.c_str());
  FileCloser f{rt::open_input_file(name)};
  if (!f.fp) return general_error(8, "ptq7fyp", 1);
  ParserPtr parser = ptq7_parse_start(3);
  ptq7_parse_delimiters(parser.get(), " \t=", nullptr);
  std::string line;
  while (read_def_line(f.fp, line)) {
    ptq7_parse_reset(parser.get());
    if (ptq7_parse(line.c_str(), parser.get()) != 2) continue;
    if (parser->token[0].isnull || parser->token[1].isnull)
      return general_error(10, "ptq7fyp", -1);
    const int r = ptq7setenv(parser->token[0].fullstring, parser->token[1].fullstring, table, 1);
    if (r != 0) return r;
  }
  return 0;
}

}  // namespace

int ptqputenv(const char* name, const char* value) {
  if (!name || !value) return 0;
  return ::setenv(name, value, 1) == 0 ? 1 : 0;
}

int ptqexists(const char* path) {
  if (!path) return 0;
  FILE* fp = std::fopen(path, "r");
  if (!fp) return 0;
  std::fclose(fp);
  return 1;
}

namespace {

// A pipe, a FIFO or a device (`<(zcat model.gz)`, /dev/stdin): it gives its
// bytes once, to the reader that takes them.
bool names_a_stream(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

// Why an input file named on the command line cannot be read: 0 it can,
// else the general error to raise.  A directory opens for reading but is no
// input file; a file that exists but may not be read is not "missing".  The
// system error left in errno is the one the run's last message names.
int unreadable_input(const std::string& full) {
  struct stat st;
  if (::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return 17;
  }
  // A FIFO opened and closed here could take its writer's only reader
  // away, and the writer would end before the reader came.
  if (names_a_stream(full)) {
    if (::access(full.c_str(), R_OK) == 0) return 0;
  } else if (ptqexists(full.c_str())) {
    return 0;
  }
  return errno == EACCES ? 16 : 11;
}

}  // namespace

int ptq7setenv(const std::string& name, const std::string& value,
               std::vector<Ptq7LogicalName>& table, int from_default) {
  if (from_default && std::getenv(name.c_str())) return 0;

  const Ptq7LogicalName* entry = nullptr;
  for (const auto& e : table)
    if (name.compare(0, e.pattern.size(), e.pattern) == 0) {
      entry = &e;
      break;
    }
  if (!entry) {
    if (static_cast<int>(table.size()) + 1 == PTQ7_MAX_LOGICAL_NAMES)
      return general_error(3, "ptq7setenv", 1);
    table.push_back({name, "undef", ptq7_utils_extension(value)});
    entry = &table.back();
  }

  std::string dir = ptq7_utils_pathname(value);
  std::string base = ptq7_utils_basename(value);
  std::string ext = ptq7_utils_extension(value);
  const bool ext_given = !ext.empty();
  std::string full;
  // A stream is the file named, whatever extension its name lacks
  // (/dev/fd/63 has none).
  if (value == "/dev/null" || value == "NL:" || names_a_stream(value)) {
    full = value;
  } else {
    if (ext.empty()) ext = entry->extension;
    if (dir.empty()) {
      if (ext == "lib" || ext == "dic" || ext == "bes" || ext == "prt") {
        const char* clibd = std::getenv("CLIBD");
        if (!clibd) {
          general_error(14, "ptq7setenv", 1);
          std::printf("Couldn't CLIBD from the environment - check setup\n");
          return 1;
        }
        dir = std::string(clibd) + "/";
      } else if (ext == "scr") {
        const char* scr = std::getenv("PTQ7_SCR");
        if (!scr) return general_error(15, "ptq7setenv", 1);
        dir = std::string(scr) + "/";
        base = std::string(ptq7ProgramName(nullptr)) + "_" + base;
        char pid[16];
        std::snprintf(pid, sizeof pid, "%05d", static_cast<int>(::getpid() % 100000));
        ext = pid;
      }
    }
    full = dir + base;
    if (!ext.empty()) full += "." + ext;
  }

  if (entry->type == "in" && !from_default) {
    int why = unreadable_input(full);
    std::string named = full;
    // A directory named without an extension would be reported missing
    // under the name with the extension added, which the user never wrote.
    if (why == 11 && !ext_given && full != value && unreadable_input(value) == 17) {
      why = 17;
      named = value;
    }
    if (why != 0) {
      std::printf("File: \"%s\"\nCannot be opened for reading\n", named.c_str());
      return general_error(why, "ptq7setenv", -1);
    }
  }
  if (!ptqputenv(name.c_str(), full.c_str())) {
    general_error(2, "ptq7setenv", -1);
    std::printf("Cannot create environment variable: \"%s\"\n", name.c_str());
    return -1;
  }
  return 0;
}

int ptq7fyp(int argc, const char* const* argv) {
  ptq7ProgramTime(1);
  ptq7ProgramName(ptq7_utils_basename(argc > 0 && argv[0] ? argv[0] : "").c_str());

  int verbosity_index = 0, environ_index = 0, default_index = 0;
  bool read_environ_flag = true, read_default_flag = true, info = false;
  bool suppress_html = false, suppress_summary = false;

  int i = 1;
  while (i < argc && argv[i][0] == '-') {
    const std::string sw = strtoupper(argv[i] + 1);
    switch (sw.empty() ? '\0' : sw[0]) {
      case 'V':
      case 'H':
        verbosity_index = ++i;
        break;
      case 'D':
        default_index = ++i;
        break;
      case 'E':
        environ_index = ++i;
        break;
      case 'I':
        info = true;
        break;
      case 'N':
        if (sw.size() == 1) {
          read_environ_flag = read_default_flag = false;
        } else if (sw.compare(0, 3, "NOH") == 0) {
          suppress_html = true;
        } else if (sw.compare(0, 3, "NOS") == 0) {
          suppress_summary = true;
        }
        break;
      default:
        ptq7printf(1, "Ignoring unrecognised switch \"%s\"\n", argv[i]);
        break;
    }
    ++i;
  }
  const int first_pair = i;

  if (info) {
    std::printf("PTQ7 software suite: library version %s\n", PTQ7_VERSION);
    std::printf("PTQ7 software suite: patch level     %s\n", PTQ7_PATCH_LEVEL);
    std::printf("Program:             %s", ptq7ProgramName(nullptr));
    const char* version = ptq7_prog_vers(nullptr);
    if (version && version[0]) std::printf("; version %s", version);
    std::printf("\n");
    rt::stop_run(0);
  }

  int level = 1;
  if (verbosity_index > 0 && verbosity_index < argc) {
    const char* v = argv[verbosity_index];
    if (v[0] && !v[1] && std::isdigit(static_cast<unsigned char>(v[0]))) level = v[0] - '0';
  }
  ptq7VerbosityLevel(level);

  if (suppress_html) ptqputenv("PTQ_SUPPRESS_HTML", "1");
  if (suppress_summary) ptqputenv("PTQ_SUPPRESS_SUMMARY", "1");

  const char* cincl = std::getenv("CINCL");
  const char* home = std::getenv("HOME");

  if (environ_index > 0) {
    if (environ_index >= argc) return general_error(4, "ptq7fyp", 1);
    read_environ_flag = true;
  }
  const std::string environ_name = def_file_name(
      environ_index > 0, environ_index > 0 ? argv[environ_index] : "", cincl, home, "environ.def");

  std::vector<Ptq7LogicalName> table;
  table.reserve(PTQ7_MAX_LOGICAL_NAMES);
  if (read_environ_flag) {
    const int r = read_environ(environ_name, table);
    if (r != 0) return r;
  }

  if (default_index > 0) {
    if (default_index >= argc) return general_error(5, "ptq7fyp", 1);
    read_default_flag = true;
  }
  const std::string default_name = def_file_name(
      default_index > 0, default_index > 0 ? argv[default_index] : "", cincl, home, "default.def");
  if (read_default_flag) {
    const int r = read_defaults(default_name, table);
    if (r != 0) return r;
  }

  ptq7printf(2, "Processing Command Line Arguments\n");
  for (int k = first_pair; k < argc; k += 2) {
    if (k + 1 >= argc) return general_error(6, "ptq7fyp", 1);
    const int r = ptq7setenv(strtoupper(argv[k]), argv[k + 1], table, 0);
    if (r != 0) return r;
  }
  ptq7printf(2, "End of pre-processing stage\n");
  return 0;
}
