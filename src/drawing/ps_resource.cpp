// The prolog resources.  ReEncodeSmall copies a base font with a fresh
// encoding array in which the given code/name pairs replace the base ones, and
// defines the copy under a new name; the encoding vector maps the printable
// Latin-1 codes to their glyphs.
#include "drawing/ps_resource.h"

#include <string>
#include <string_view>

#include "runtime/units.h"

namespace {

constexpr std::string_view kProlog[] = {
    "%%BeginResource: latin1_prolog",
    " ",
    "% ReEncodeSmall from the PostScript Language Tutorial and Cookbook",
    "/reencsmalldict 12 dict def",
    "/ReEncodeSmall",
    " {reencsmalldict begin",
    "  /newcodesandnames exch def",
    "  /newfontname exch def",
    "  /basefontname exch def",
    " ",
    "  /basefontdict basefontname findfont def",
    "  /newfont basefontdict maxlength dict def",
    " ",
    "  basefontdict",
    "   { exch dup /FID ne",
    "      { dup /Encoding eq",
    "         { exch dup length array copy",
    "           newfont 3 1 roll put }",
    "         { exch newfont 3 1 roll put }",
    "         ifelse",
    "      }",
    "      { pop pop }",
    "      ifelse",
    "   } forall",
    " ",
    "  newfont /FontName newfontname put",
    "  newcodesandnames aload pop",
    " ",
    "  newcodesandnames length 2 idiv",
    "   { newfont /Encoding get 3 1 roll put }",
    "   repeat",
    " ",
    "  newfontname newfont definefont pop",
    "  end",
    "}def",
    "%%EndResource",
};
static_assert(std::size(kProlog) == 36);

// Glyph names of codes 8#040 .. 8#176 and 8#240 .. 8#377: the standard
// Latin-1 encoding, except tilde, bullet and dotlessi at 8#176, 8#267, 8#271.
// clang-format off
constexpr std::string_view kLow[] = {
    "space", "exclam", "quotedbl", "numbersign", "dollar", "percent", "ampersand", "quoteright",
    "parenleft", "parenright", "asterisk", "plus", "comma", "minus", "period", "slash",
    "zero", "one", "two", "three", "four", "five", "six", "seven",
    "eight", "nine", "colon", "semicolon", "less", "equal", "greater", "question",
    "at", "A", "B", "C", "D", "E", "F", "G",
    "H", "I", "J", "K", "L", "M", "N", "O",
    "P", "Q", "R", "S", "T", "U", "V", "W",
    "X", "Y", "Z", "bracketleft", "backslash", "bracketright", "asciicircum", "underscore",
    "quoteleft", "a", "b", "c", "d", "e", "f", "g",
    "h", "i", "j", "k", "l", "m", "n", "o",
    "p", "q", "r", "s", "t", "u", "v", "w",
    "x", "y", "z", "braceleft", "bar", "braceright", "tilde"};
constexpr std::string_view kHigh[] = {
    "space", "exclamdown", "cent", "sterling", "currency", "yen",
    "brokenbar", "section", "dieresis", "copyright", "ordfeminine", "guillemotleft",
    "logicalnot", "hyphen", "registered", "macron", "degree", "plusminus",
    "twosuperior", "threesuperior", "acute", "mu", "paragraph", "bullet",
    "cedilla", "dotlessi", "ordmasculine", "guillemotright", "onequarter", "onehalf",
    "threequarters", "questiondown", "Agrave", "Aacute", "Acircumflex", "Atilde",
    "Adieresis", "Aring", "AE", "Ccedilla", "Egrave", "Eacute",
    "Ecircumflex", "Edieresis", "Igrave", "Iacute", "Icircumflex", "Idieresis",
    "Eth", "Ntilde", "Ograve", "Oacute", "Ocircumflex", "Otilde",
    "Odieresis", "multiply", "Oslash", "Ugrave", "Uacute", "Ucircumflex",
    "Udieresis", "Yacute", "Thorn", "germandbls", "agrave", "aacute",
    "acircumflex", "atilde", "adieresis", "aring", "ae", "ccedilla",
    "egrave", "eacute", "ecircumflex", "edieresis", "igrave", "iacute",
    "icircumflex", "idieresis", "eth", "ntilde", "ograve", "oacute",
    "ocircumflex", "otilde", "odieresis", "divide", "oslash", "ugrave",
    "uacute", "ucircumflex", "udieresis", "yacute", "thorn", "ydieresis"};
// clang-format on
static_assert(std::size(kLow) == 0176 - 040 + 1 && std::size(kHigh) == 0377 - 0240 + 1);

// One pair: "8#ooo", two blanks, "/name", padded to 21 columns; a longer
// name keeps all its characters and one blank still parts it from the next.
void append_pair(std::string& line, int code, std::string_view name, bool pad) {
  const std::size_t start = line.size();
  line += "8#";
  line += static_cast<char>('0' + code / 64);
  line += static_cast<char>('0' + code / 8 % 8);
  line += static_cast<char>('0' + code % 8);
  line += "  /";
  line += name;
  if (pad) {
    line += ' ';
    while (line.size() - start < 21) line += ' ';
  }
}

void write_encoding(int32_t un) {
  rt::write_record(un, "%%BeginResource: latin1_encoding");
  rt::write_record(un, "/encode_vector [");
  constexpr int n = static_cast<int>(std::size(kLow) + std::size(kHigh));
  std::string line;
  for (int i = 0; i < n; i += 3) {
    line.clear();
    const int last = i + 3 < n ? i + 3 : n;
    for (int j = i; j < last; ++j) {
      const bool low = j < static_cast<int>(std::size(kLow));
      const int code = low ? 040 + j : 0240 + j - static_cast<int>(std::size(kLow));
      append_pair(line, code, low ? kLow[j] : kHigh[j - std::size(kLow)], j + 1 < n);
    }
    if (last == n) line += '\t';
    rt::write_record(un, line);
  }
  rt::write_record(un, "] def");
  rt::write_record(un, "%%EndResource");
}

}  // namespace

void psresource_new_(int32_t un) {
  for (std::string_view l : kProlog) rt::write_record(un, l);
  write_encoding(un);
}
