// Link atom search in the two work residues.
#include "restraints/link_atoms.h"

#include "foundation/atom_names.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

template <typename T>
using Atoms = rt::Array1<T, MX1ATOM>;

// The members of one work residue the search reads.
struct Side {
  const int32_t& igatm;
  const Atoms<int32_t>& inew;
  const Atoms<rt::FixedText<4>>& aname;
  const Atoms<rt::FixedText<1>>& atype;
  const Atoms<rt::FixedText<1>>& alt;
  const Atoms<rt::FixedText<1>>& corr;
  const Atoms<int32_t>& nalt;
  const Atoms<int32_t>& ialt;
  const Atoms<float>& occ;
  const rt::Array2<float, 3, MX1ATOM>& xyz;
  const Atoms<int32_t>& icrd;
};

struct Filter {
  char alt;
  int32_t nout;
  std::string_view alt_out;
  bool passes(char code) const {
    if (alt != '.' && alt != code) return false;
    for (int32_t j = 0; j < nout && j < static_cast<int32_t>(alt_out.size()); ++j)
      if (alt_out[j] != '.' && alt_out[j] == code) return false;
    return true;
  }
};

struct Out {
  int32_t& n;
  restraints::AltCodes& corr;
  restraints::AltPlaces& iname;
  restraints::AltNumbers& iat;
  restraints::AltPoints& x;
};

void take(const Side& s, int32_t atom, int32_t place, int32_t lid, Out& o) {
  const int32_t k = ++o.n;
  o.corr(k)(1) = s.corr(atom)(1);
  o.corr(k)(2) = s.alt(atom)(1);
  o.iname(k) = place;
  o.iat(k) = 0;
  if (s.occ(atom) > 0.001f && !(s.atype(atom) == "M")) {
    o.iat(k) = lid > 0 ? s.icrd(atom) : atom;
    for (int i = 1; i <= 3; ++i) o.x(i, k) = s.xyz(i, atom);
  }
}

void search(const Side& s, int32_t mdoc, std::string_view name, const Filter& f, Out& o,
            int32_t lid, int32_t& ierr) {
  o.n = 0;
  ierr = 0;
  if (s.igatm < 1) return;
  const std::string_view key = name.substr(0, 4);
  const int32_t places = std::min(s.igatm, MX1ATOM);
  int32_t main = 0, main_place = 0;
  auto find = [&](std::string_view wanted) {
    for (int32_t i = 1; i <= places && main == 0; ++i) {
      const int32_t a = s.inew(i);
      if (a >= 1 && s.aname(a) == wanted && !(s.atype(a) == "U") && !(s.atype(a) == "D")) {
        main = a;
        main_place = i;
      }
    }
  };
  find(key);
  // A link of the library may spell a nucleotide atom in the other style
  // than the residue ("O3*" for "O3'", "O1P" for "OP1").
  using foundation::NucleotideStyle;
  if (const NucleotideStyle style = foundation::nucleotide_style(key);
      main == 0 && style != NucleotideStyle::None)
    find(foundation::nucleotide_name_as(
        key, style == NucleotideStyle::Star ? NucleotideStyle::Prime : NucleotideStyle::Star));
  if (main == 0) return;
  if (f.passes(s.alt(main)(1))) take(s, main, main_place, lid, o);
  if (s.nalt(main) < 2) return;
  for (int32_t i = 1; i <= places; ++i) {
    const int32_t j = s.inew(i);
    if (j < 1 || s.ialt(j) != main) continue;
    if (o.n >= MX1ALT) {
      msgdoc_(mdoc, rt::fmt("(A,I6)", " ERR: number of alt. positions >", MX1ALT));
      msgerr_(mdoc, "         Change parameter MX1ALT in \"lib_com\"");
      ierr = 1;
      continue;
    }
    if (f.passes(s.alt(j)(1))) take(s, j, i, lid, o);
  }
}

}  // namespace

void srch_num1_(int32_t mdoc, std::string_view name, char alt, int32_t& n,
                restraints::AltCodes& corr, restraints::AltPlaces& iname,
                restraints::AltNumbers& iat, restraints::AltPoints& x, int32_t nout,
                std::string_view alt_out, int32_t lid, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  const Side s{r.c1_igatm, r.s1_inew, r.c1_aname, r.c1_atype, r.c1_alt, r.c1_corr,
               r.c1_nalt,  r.c1_ialt, r.c1_occ,   r.c1_xyz,   r.s1_icrd};
  Out o{n, corr, iname, iat, x};
  search(s, mdoc, name, {alt, nout, alt_out}, o, lid, ierr);
}

void srch_num2_(int32_t mdoc, std::string_view name, char alt, int32_t& n,
                restraints::AltCodes& corr, restraints::AltPlaces& iname,
                restraints::AltNumbers& iat, restraints::AltPoints& x, int32_t nout,
                std::string_view alt_out, int32_t lid, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  const Side s{r.c2_igatm, r.s2_inew, r.c2_aname, r.c2_atype, r.c2_alt, r.c2_corr,
               r.c2_nalt,  r.c2_ialt, r.c2_occ,   r.c2_xyz,   r.s2_icrd};
  Out o{n, corr, iname, iat, x};
  search(s, mdoc, name, {alt, nout, alt_out}, o, lid, ierr);
}
