// Atom-name, sugar and peptide corrections of the PDB reader.
#include "coords/pdb_corrections.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "coords/chain_termini.h"
#include "coords/pdb_chains.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/kernels.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "foundation/words.h"
#include "runtime/format.h"

namespace {

// Blank-padded comparison with a literal, without a library call: it runs
// several times for every atom line.
inline bool eq(std::string_view s, std::string_view lit) {
  const std::size_t n = lit.size();
  if (s.size() < n) return rt::text_eq(s, lit);
  for (std::size_t i = 0; i < n; ++i)
    if (s[i] != lit[i]) return false;
  for (std::size_t i = n; i < s.size(); ++i)
    if (s[i] != ' ') return false;
  return true;
}

bool one_of(std::string_view s, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names)
    if (eq(s, n)) return true;
  return false;
}

// Shifts a text one place left, a blank entering at the end.
void shift_left(rt::TextRef t) {
  for (int i = 1; i < t.len(); ++i) t(i) = t(i + 1);
  if (t.len() > 0) t(t.len()) = ' ';
}

// Characters 3-4 move into 2-3 while the second character is blank (twice
// at most).
void close_gap(rt::FixedText<4>& n) {
  for (int k = 0; k < 2 && n(2) == ' '; ++k) {
    n(2) = n(3);
    n(3) = n(4);
    n(4) = ' ';
  }
}

void set_elem(rt::FixedText<4>& asymb, char c) {
  asymb.blank();
  asymb(1) = c;
}

}  // namespace

namespace pdb {

int32_t residue_class(std::string_view rname) {
  static rt::FixedText<80> work;
  // The built-in lists never change: their answer is kept by the first three
  // characters of the name (blank-padded), since a file holds few residue
  // names.
  struct Kept {
    uint32_t name3;
    int32_t cls;  // 0: nothing kept
  };
  static Kept kept[64];
  const auto u = [&](std::size_t i) {
    return static_cast<uint32_t>(static_cast<unsigned char>(i < rname.size() ? rname[i] : ' '));
  };
  const uint32_t name3 = u(0) | u(1) << 8 | u(2) << 16;
  Kept& k = kept[(u(0) * 7 + u(1) * 3 + u(2)) & 63];
  int32_t itype = 1, ierr = 0;
  if (k.cls != 0 && k.name3 == name3) {
    itype = k.cls;
    if (itype != 1) return itype;
  } else {
    get_standard_res_type_(0, work, rt::FixedText<8>(rname), itype, ierr);
    k.name3 = name3;
    k.cls = itype;
  }
  if (itype == 1) get_ini_res_type_(0, work, rt::FixedText<8>(rname), itype, ierr);
  // A force-field name stands inside its chain as the residue it names.
  if (itype == 1) {
    if (const std::string_view std_name = foundation::force_field_standard(rname); !std_name.empty())
      return residue_class(std_name);
  }
  return itype;
}

bool is_polymer_class(int32_t cls) { return (cls >= 3 && cls <= 6) || cls == 10; }

bool is_water(std::string_view r) {
  if (r.empty() || (r[0] != 'H' && r[0] != 'D')) return false;
  return foundation::name_in(r, foundation::kPdbWater);
}

bool is_any_water(std::string_view r) {
  return is_water(r) || foundation::is_water_name(r) || foundation::is_cut_water_name(r);
}

bool water_number_wraps(long long prev_high, int32_t prev_low, long long high, int32_t low) {
  return high != prev_high || (prev_low == 9999 && low < prev_low);
}

void warn_water_numbers(int32_t mdoc, long long high, bool restart, int32_t& wide_warned,
                        int32_t& restart_warned) {
  if (high > 0 && (wide_warned & 1) == 0) {
    msgdoc_(mdoc,
            " WARNING: water numbers above 9999 kept modulo 10000, "
            "a new water chain at each 10000");
    wide_warned |= 1;
  }
  if (high < 0 && (wide_warned & 2) == 0) {
    msgdoc_(mdoc,
            " WARNING: water numbers below -999 keep their sign and last three digits, "
            "a new water chain at each 1000");
    wide_warned |= 2;
  }
  if (restart && restart_warned == 0) {
    msgdoc_(mdoc,
            " WARNING: water numbers restart after 9999, "
            "a new water chain at each restart");
    restart_warned = 1;
  }
}

// Simulation programs give each water of a 4- or 5-site model one or two
// massless charge sites beside O, H1 and H2; a polarisable SWM4-NDP water
// has its Drude site DOH2 besides, no atom either.  Writers that lose their
// element EP guess another from the name (DOH2 a deuterium, OM an oxygen),
// so the name alone tells them.
constexpr std::string_view kWaterSites[] = {"M",   "MW", "M1",  "M2",  "EP",  "EP1", "EP2",
                                            "LP",  "LP1", "LP2", "EPW", "OM", "DOH2"};

bool is_water_site(std::string_view name) {
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  return foundation::name_in(name, kWaterSites);
}

namespace {

// The element as the file gives it, left-justified and upper-cased, without
// the charge that may follow it (columns 79-80 of a PDB line: O1-, O-1,
// H1+); empty where it gives none.  Open Babel writes "*", gemmi "X", for
// an element they do not know (the EP of a massless site among them).
std::string given_element(std::string_view element) {
  std::string e;
  for (const char c : element)
    if (c != ' ') e += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  const std::size_t symbol = e.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  if (symbol != 0 && symbol != std::string::npos) e.resize(symbol);
  if (e == "*" || e == "X" || e == "?" || e == ".") e.clear();
  return e;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return rt::trim_right(s);
}

bool no_alt(char a) { return a == ' ' || a == '.' || a == '?'; }

// A deuterium given beside its hydrogen (a neutron model's exchange site)
// lies on it; a massless site lies 0.85 A or more from the hydrogens.
constexpr float kOnSite = 0.4f;

// A bond to a hydrogen is at most 1.1 A long; an O-H...O hydrogen bond,
// as between two waters, keeps the hydrogen 1.6 A and more from the oxygen.
constexpr float kHydrogenBondReach = 1.3f;

}  // namespace

void WaterInRead::clear() {
  key_.clear();
  sites_.clear();
}

WaterSiteFate WaterInRead::add(std::string_view key, const WaterSite& site, std::string& why) {
  if (key != key_) {
    key_.assign(key);
    sites_.clear();
  }
  const std::string_view name = trimmed(site.name);
  const std::string_view read_as = trimmed(site.read_as);
  // Sites of two alternate locations are two forms of the water, not one.
  const auto together = [&](const Held& h) {
    return no_alt(h.alt) || no_alt(site.alt) || h.alt == site.alt;
  };
  const std::string element = given_element(site.element);
  if ((name == "D1" || name == "D2") && (element.empty() || element == "D")) {
    bool h1 = false, h2 = false, on_hydrogen = false;
    for (const Held& h : sites_) {
      if (!together(h) || h.read_as.empty() || h.read_as[0] != 'H') continue;
      h1 = h1 || (h.name == "H1" && h.read_as == "H1");
      h2 = h2 || (h.name == "H2" && h.read_as == "H2");
      float d2 = 0.0f;
      for (int i = 0; i < 3; ++i) d2 += (h.xyz[i] - site.xyz[i]) * (h.xyz[i] - site.xyz[i]);
      on_hydrogen = on_hydrogen || d2 < kOnSite * kOnSite;
    }
    if (h1 && h2 && !on_hydrogen) return WaterSiteFate::kLeftOut;
  }
  // A site whose name its water holds, further than a bond from each of its
  // sites, begins the water again (waters given again at one number).
  const auto hydrogen = [](std::string_view n) { return !n.empty() && (n[0] == 'H' || n[0] == 'D'); };
  bool namesake = false, apart = true;
  for (const Held& h : sites_) {
    namesake = namesake || (together(h) && h.name == name);
    const bool h_pair = hydrogen(h.read_as) || hydrogen(read_as);
    apart = apart && !coords::nearer(h.xyz, site.xyz,
                                     h_pair ? kHydrogenBondReach : coords::kChainBondReach);
  }
  if (namesake && apart) sites_.clear();
  for (const Held& h : sites_) {
    if (!together(h) || h.read_as != read_as) continue;
    if (h.name == read_as && name == read_as) continue;
    const std::string_view renamed = name != read_as ? name : std::string_view(h.name);
    why = "water site \"" + std::string(renamed) + "\" would be read as " + std::string(read_as) +
          ", the name of another site of its water";
    return WaterSiteFate::kRefused;
  }
  Held& h = sites_.emplace_back();
  h.name = name;
  h.read_as = read_as;
  h.alt = site.alt;
  for (int i = 0; i < 3; ++i) h.xyz[i] = site.xyz[i];
  return WaterSiteFate::kKept;
}

bool is_massless_water_site(std::string_view name, std::string_view element) {
  return given_element(element) == "EP" || is_water_site(name);
}

std::string foreign_water_site(std::string_view name, std::string_view element) {
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  name = rt::trim_right(name);
  std::string e = given_element(element);
  if (e.empty()) e = given_element(element_of_left_name(name, {}).view());
  if (e == "O" || e == "H" || e == "D") return {};
  return "water site \"" + std::string(name) + "\" (element " + e + ") is no O, H or massless site";
}

namespace {

// The short keys of the table compared without a call.
bool same_text(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

}  // namespace

uint64_t NumberPieces::word_of(std::string_view number) {
  if (number.size() > 7) return 0;
  uint64_t word = static_cast<uint64_t>(number.size() + 1) << 56;
  std::memcpy(&word, number.data(), number.size());
  return word;
}

std::size_t NumberPieces::slot_of(uint64_t word) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t k = static_cast<std::size_t>((word * 0x9E3779B97F4A7C15ull) >> shift_);
  while (slots_[k].word != 0 && slots_[k].word != word) k = (k + 1) & mask;
  return k;
}

NumberPieces::Entry& NumberPieces::add(std::string_view number, int32_t at, bool& added) {
  const uint64_t word = word_of(number);
  if (word == 0) {
    const auto [it, fresh] = long_.try_emplace(std::string(number), Entry{at, at});
    added = fresh;
    return it->second;
  }
  if (2 * (used_.size() + 1) > slots_.size()) {
    std::vector<Slot> old(std::max<std::size_t>(64, 2 * slots_.size()));
    old.swap(slots_);
    shift_ = 64 - std::countr_zero(slots_.size());
    used_.clear();
    for (const Slot& o : old) {
      if (o.word == 0) continue;
      const std::size_t k = slot_of(o.word);
      slots_[k] = o;
      used_.push_back(static_cast<uint32_t>(k));
    }
  }
  const std::size_t k = slot_of(word);
  Slot& s = slots_[k];
  added = s.word == 0;
  if (added) {
    s.word = word;
    s.entry = Entry{at, at};
    used_.push_back(static_cast<uint32_t>(k));
  }
  return s.entry;
}

const NumberPieces::Entry* NumberPieces::find(std::string_view number) const {
  const uint64_t word = word_of(number);
  if (word == 0) {
    const auto it = long_.find(std::string(number));
    return it == long_.end() ? nullptr : &it->second;
  }
  if (slots_.empty()) return nullptr;
  const Slot& s = slots_[slot_of(word)];
  return s.word != 0 ? &s.entry : nullptr;
}

void NumberPieces::clear() {
  for (const uint32_t k : used_) slots_[k].word = 0;
  used_.clear();
  long_.clear();
}

void BlankChainNumbers::clear() {
  key_.clear();
  held_.clear();
  xyz_.clear();
  pieces_.clear();
}

int BlankChainNumbers::place(std::string_view number, const float* xyz) const {
  const NumberPieces::Entry* held = held_.find(number);
  if (held == nullptr) return 0;
  for (int32_t p = held->first; p >= 0; p = pieces_[static_cast<std::size_t>(p)].next) {
    const Piece& c = pieces_[static_cast<std::size_t>(p)];
    if (coords::positions_coincide(xyz, 1, xyz_.data() + 3 * static_cast<std::size_t>(c.begin),
                                   static_cast<std::size_t>(c.end - c.begin)))
      return 1;
  }
  return -1;
}

bool BlankChainNumbers::begins_further_chain(std::string_view number, const float* xyz) const {
  return place(number, xyz) < 0;
}

bool BlankChainNumbers::lies_on(std::string_view number, const float* xyz) const {
  return place(number, xyz) > 0;
}

void BlankChainNumbers::note_run(bool in_run, std::string_view key, std::string_view number,
                                 const float* xyz) {
  // A residue's further atoms go on its number's last piece: nearly every
  // atom of a run, so compared and stored without a loop.
  if (in_run && !pieces_.empty() && number.size() == last_number_.size() &&
      key.size() == key_.size() &&
      std::memcmp(number.data(), last_number_.data(), number.size()) == 0 &&
      std::memcmp(key.data(), key_.data(), key.size()) == 0) {
    const std::size_t n = xyz_.size();
    xyz_.resize(n + 3);
    std::memcpy(xyz_.data() + n, xyz, 3 * sizeof(float));
    ++pieces_.back().end;
    return;
  }
  const bool same_key = in_run && same_text(key, key_);
  if (!same_key && (!held_.empty() || !key_.empty())) clear();
  if (!in_run) return;
  if (!same_key) key_.assign(key);
  if (pieces_.empty() || !same_text(number, last_number_)) {
    last_number_.assign(number);
    const auto at = static_cast<int32_t>(pieces_.size());
    bool added = false;
    NumberPieces::Entry& held = held_.add(last_number_, at, added);
    if (!added) {
      pieces_[static_cast<std::size_t>(held.last)].next = at;
      held.last = at;
    }
    const auto first = static_cast<int32_t>(xyz_.size() / 3);
    pieces_.push_back({first, first, -1});
  }
  xyz_.insert(xyz_.end(), xyz, xyz + 3);
  ++pieces_.back().end;
}

namespace {

// The number of the five columns of number and insertion code, where the
// first four hold one.
bool residue_number(std::string_view number, int32_t& value) {
  number = rt::trim(number.substr(0, 4));
  const auto r = std::from_chars(number.data(), number.data() + number.size(), value);
  return !number.empty() && r.ec == std::errc() && r.ptr == number.data() + number.size();
}

using coords::kChainBondReach;

}  // namespace

void BlankChainRestarts::clear() {
  any_ = false;
  up_.clear();
}

bool BlankChainRestarts::begins_chain(std::string_view number, std::string_view name,
                                      const float* xyz) const {
  int32_t value = 0;
  if (!any_ || !numbered_ || !residue_number(number, value) || value >= number_) return false;
  return !bonded(name, xyz);
}

bool BlankChainRestarts::bonded(std::string_view name, const float* xyz) const {
  name = rt::trim(name);
  for (const UpAtom& u : up_)
    if (chain_bond_atoms(u.o3 ? "O3'" : "C", name) && coords::nearer(u.xyz, xyz, kChainBondReach))
      return true;
  return false;
}

void BlankChainRestarts::atom(bool first, std::string_view number, std::string_view name,
                              const float* xyz) {
  if (first) {
    any_ = true;
    numbered_ = residue_number(number, number_);
    up_.clear();
  }
  name = rt::trim(name);
  if (!chain_bond_atoms(name, "N") && !chain_bond_atoms(name, "P")) return;
  UpAtom& u = up_.emplace_back();
  u.o3 = name != "C";
  std::memcpy(u.xyz, xyz, sizeof u.xyz);
}

namespace {

uint64_t names_bit(uint32_t name) { return uint64_t{1} << ((name * 0x9E3779B1u) >> 26); }

}  // namespace

// Spelt out: it runs twice for every atom read.
uint32_t ResidueAgain::name_of(std::string_view name) {
  uint32_t word;
  // A name of four columns without zero bytes that begins in the first, or
  // in the second as PDB names mostly do, is its own word or moves by one.
  if (name.size() == 4 && name[1] != ' ' && name[0] != '\0' && name[1] != '\0' &&
      name[2] != '\0' && name[3] != '\0') {
    const char c[4] = {name[0] == ' ' ? name[1] : name[0], name[0] == ' ' ? name[2] : name[1],
                       name[0] == ' ' ? name[3] : name[2], name[0] == ' ' ? ' ' : name[3]};
    std::memcpy(&word, c, sizeof word);
    return word;
  }
  std::size_t b = 0, e = name.size();
  while (b < e && name[b] == ' ') ++b;
  while (e > b && (name[e - 1] == ' ' || name[e - 1] == '\0')) --e;
  char c[4] = {' ', ' ', ' ', ' '};
  for (std::size_t i = 0; i < 4 && b + i < e; ++i) c[i] = name[b + i];
  std::memcpy(&word, c, sizeof word);
  return word;
}

bool ResidueAgain::Held::namesake(uint32_t n, char a) const {
  return name == n && (no_alt(alt) ? no_alt(a) : alt == a);
}

bool ResidueAgain::holds(std::string_view name, char alt) const {
  const uint32_t n = name_of(name);
  return std::any_of(atoms_.begin(), atoms_.end(),
                     [&](const Held& h) { return h.namesake(n, alt); });
}

bool ResidueAgain::near_namesake(std::string_view name, char alt, const float* xyz) const {
  const uint32_t n = name_of(name);
  return std::any_of(atoms_.begin(), atoms_.end(), [&](const Held& h) {
    return h.namesake(n, alt) && coords::nearer(h.xyz, xyz, kChainBondReach);
  });
}

bool ResidueAgain::begins_again(uint32_t n, char alt, bool hydrogen, const float* xyz) const {
  if ((names_ & names_bit(n)) == 0) return false;
  if (!std::any_of(atoms_.begin(), atoms_.end(), [&](const Held& h) { return h.namesake(n, alt); }))
    return false;
  for (const Held& h : atoms_)
    if (coords::nearer(h.xyz, xyz, hydrogen || h.hydrogen ? kHydrogenBondReach : kChainBondReach))
      return false;
  return true;
}

void ResidueAgain::clear() {
  atoms_.clear();
  names_ = 0;
  other_names_ = false;
  copy_from_ = -1;
  copy_on_ = copy_apart_ = 0;
}

void ResidueAgain::atom(bool first, uint32_t n, char alt, bool hydrogen, const float* xyz) {
  if (first) clear();
  if (!atoms_.empty() && atoms_.front().name != n) other_names_ = true;
  // An atom of a name held before the copy began is an atom of the copy.
  if ((names_ & names_bit(n)) != 0) {
    const auto end = atoms_.begin() + (copy_from_ < 0 ? size() : copy_from_);
    bool held = false, near = false;
    for (auto it = atoms_.begin(); it != end; ++it) {
      if (!it->namesake(n, alt)) continue;
      held = true;
      near = near || coords::nearer(it->xyz, xyz, kChainBondReach);
    }
    if (held) {
      if (copy_from_ < 0) copy_from_ = size();
      ++(near ? copy_on_ : copy_apart_);
    }
  }
  Held& h = atoms_.emplace_back();
  h.name = n;
  h.alt = alt;
  h.hydrogen = hydrogen;
  std::memcpy(h.xyz, xyz, sizeof h.xyz);
  names_ |= names_bit(h.name);
}

void WaterNumbersAgain::clear() { *this = WaterNumbersAgain{}; }

void WaterNumbersAgain::note(bool water, bool same_chain, std::string_view number) {
  int32_t n = 0;
  // A water read at the start of a further water chain is read anew, in a
  // chain that reads its waters in order.
  const bool further = further_ && water;
  further_ = false;
  if (further) {
    any_ = false;
    in_order_ = true;
  } else if (!water || !same_chain) {
    any_ = anew_ = in_order_ = false;
  }
  if (!water || !residue_number(number, n)) return;
  // A number this reader gave is none of the file's: the file's own is
  // what may wrap.
  const bool own = anew_ && n == read_n_;
  const int32_t given = own ? given_n_ : n;
  // Numbers from 0 or 1 again after 9999 begin a further water chain with
  // numbers of its own, where the chain's key goes on (an mmCIF file's rows).
  if (any_ && !own && last_ == 9999 && given < last_) any_ = anew_ = in_order_ = false;
  if (!any_) {
    for (const int32_t k : held_list_) held_[static_cast<std::size_t>(k + kWaterNumberLow)] = 0;
    held_list_.clear();
    low_ = 0;
  }
  if (n >= -kWaterNumberLow && n <= 9999) {
    if (held_.empty()) held_.assign(kWaterNumberSpan, 0);
    unsigned char& h = held_[static_cast<std::size_t>(n + kWaterNumberLow)];
    if (h == 0) held_list_.push_back(n);
    h = 1;
  }
  top_ = any_ && top_ > n ? top_ : n;
  last_ = given;
  any_ = true;
}

namespace {

// `n` right-aligned in four columns as "%4d" writes it, without the
// formatter, which a box read in order would call at every water.
void put_four_columns(char* out, int32_t n) {
  if (n < -999 || n > 9999) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%4d", static_cast<int>(n));
    std::memcpy(out, buf, 4);
    return;
  }
  char buf[4] = {' ', ' ', ' ', ' '};
  int k = 4;
  int32_t v = n < 0 ? -n : n;
  do {
    buf[--k] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  if (n < 0) buf[--k] = '-';
  std::memcpy(out, buf, 4);
}

}  // namespace

void WaterNumbersAgain::take(char* number, bool keep_given, int32_t n) {
  if (!keep_given) std::memcpy(given_, number, 4);
  residue_number(std::string_view(given_, 4), given_n_);
  read_n_ = n;
  put_four_columns(read_, n);
  anew_ = true;
}

bool WaterNumbersAgain::read_anew(bool again, char* number, const LaterWaterNumbers& later) {
  further_ = false;
  if (!any_) {
    anew_ = false;
    return false;
  }
  if (again) {
    // The number of a water given again after a water read anew is the one
    // that water was read at; the file gives both the first one's.
    const bool after_anew = anew_ && std::memcmp(number, read_, 4) == 0;
    int32_t next = top_ + 1;
    if (!in_order_) {
      while (next <= 9999 && later.holds(next)) ++next;
      // A writer that sorts the waters by number gives every later number
      // of the chain after the first waters of one number: none is left
      // past the highest.
      if (next > 9999 && !held_.empty()) {
        while (low_ <= 9999 &&
               (held_[static_cast<std::size_t>(low_ + kWaterNumberLow)] != 0 || later.holds(low_)))
          ++low_;
        next = low_;
      }
    }
    // Where none is left the chain reads this water and every water after
    // it in order past its highest (gemmi gives a frame's waters whose
    // numbers differ by 10000 one after the other at one number: each
    // number the chain could take comes again later, and the waters before
    // the first so given are the chain's first few), and past 9999 the
    // water begins a further water chain, which reads its waters in order
    // from 1.
    if (next > 9999) {
      in_order_ = true;
      next = top_ + 1;
    }
    further_ = next > 9999;
    take(number, after_anew, further_ ? 1 : next);
  } else if (anew_ && std::memcmp(number, given_, 4) == 0) {
    // The rest of the water read anew.
  } else if (in_order_) {
    // The next water of a chain that reads its waters in order.
    further_ = top_ >= 9999;
    take(number, false, further_ ? 1 : top_ + 1);
  } else {
    anew_ = false;
    return false;
  }
  std::memcpy(number, read_, 4);
  return true;
}

void WaterNumbersAgain::warn(int32_t mdoc, std::string_view rname, std::string_view given,
                             std::string_view read) {
  if (warned_) return;
  warned_ = true;
  msgdoc_(mdoc, " WARNING: waters given again right after themselves at one number are each a "
                "water of their chain, numbered anew past its highest number (" +
                    std::string(rt::trim(rname)) + " " + std::string(rt::trim(given)) +
                    " given again read as " + std::string(rt::trim(read)) + ")");
}

void warn_water_numbers_again(int32_t mdoc, int32_t& warned) {
  if (warned != 0) return;
  msgdoc_(mdoc,
          " WARNING: water numbers of the blank chain repeat, "
          "a new water chain at each repeat");
  warned = 1;
}

void warn_water_sites(int32_t mdoc, int32_t n) {
  if (n <= 0) return;
  msgdoc_(mdoc, " WARNING: " + std::to_string(n) +
                    (n == 1 ? " massless site of a water model (M, MW, M1, M2, EP, LP) left out"
                            : " massless sites of water models (M, MW, M1, M2, EP, LP) left out") +
                    ": the waters are read as three-site waters");
}

bool counter_rises(bool hetatm, bool prev_hetatm, bool residue_differs, bool same_name, bool water,
                   bool prev_water, bool chain_differs) {
  if (hetatm && residue_differs && (!water || !same_name || chain_differs)) return true;
  if (!hetatm && prev_hetatm) return true;
  return water && (!prev_water || chain_differs);
}

bool class_ends_chain(int32_t c, int32_t old, bool oxt_prev) {
  bool ends = c != old || (c != 3 && c != 5 && c != 10);
  if (c == 9 && old == 9) ends = false;
  if ((old == 3 && c == 10) || (old == 10 && c == 3)) ends = false;
  if (oxt_prev && (old == 3 || old == 10)) ends = true;
  return ends;
}

// The name correction reads a name written from column 13 as an element
// of two letters, or else takes the element from column 14, as for a name
// with a digit first (1HB2).  Programs that write no element columns put
// four-character names in column 13 too, where that reading makes HB11
// boron and O1PA the element "1": a hydrogen name filling the four columns
// is a hydrogen (HG21 is no mercury), and a name whose first two letters
// are no element takes its first (O1PA, CB1).  Waters keep their own rule.
void element_from_name(const rt::FixedText<4>& name, std::string_view rname,
                       rt::FixedText<4>& asymb, rt::FixedText<4>& ctype) {
  const char c1 = name(1);
  if (c1 < 'A' || c1 > 'Z' || is_water(rname)) return;
  const bool hydrogen = c1 == 'H' && name(4) != ' ';
  if (!hydrogen && is_heavy_element(c1, name(2))) return;
  // Deuterium is hydrogen here, as in the name correction.
  const char e = hydrogen || c1 == 'D' ? 'H' : c1;
  set_elem(asymb, e);
  ctype = e == 'H' ? "H" : is_heavy_element(e, ' ') ? "$" : "C";
}

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool is_letter(char c) { return c >= 'A' && c <= 'Z'; }

// Letters that are elements of their own (deuterium among them): a name
// that begins with any other letter can only be read by its first two.
constexpr std::string_view kOneLetterElements = "HDBCNOFPSKVYIWU";

// Pairs read as elements wherever they stand, though their first letter is
// an element of its own: the metals of metal sites in organic residues (the
// iron of a haem, the cobalt of a cobalamin) and the heavier halogens,
// chalcogens and metalloids of ligands.  The other such pairs name light
// atoms of organic residues far more often: CA, CD, CE of carbon chains,
// NA to NE of rings and side chains, OS, PA and PB of phosphates.
constexpr std::string_view kTwoLetterSites[] = {"FE", "CO", "NI", "CU", "SE", "BR", "CL", "SI"};

}  // namespace

// Without the columns of the PDB layout, CA is an alpha carbon in every
// residue but calcium's own, and HG a hydrogen but in mercury's: the residue
// decides for the ions, a short list for metal sites, and hydrogen names
// are hydrogens whatever their second letter spells.
rt::FixedText<4> element_of_left_name(std::string_view name, std::string_view rname) {
  rt::FixedText<4> e("");
  std::size_t k = 0;
  while (k < name.size() && name[k] >= '0' && name[k] <= '9') ++k;
  const std::string_view n = rt::trim_right(name.substr(k));
  if (n.empty() || !is_letter(upper(n[0]))) {
    e(1) = name.empty() ? ' ' : n.empty() ? name[0] : n[0];
    return e;
  }
  const char c1 = upper(n[0]);
  const char c2 = n.size() > 1 ? upper(n[1]) : ' ';
  e(1) = c1;
  const bool pair = is_letter(c2) && is_heavy_element(c1, c2);
  // A pair followed by a letter is a longer name (CAB, CLA), not an element.
  const bool bare = pair && (n.size() < 3 || !is_letter(upper(n[2])));
  // PDB residue names stand right-justified in their columns.
  std::string_view r = rt::trim_right(rname);
  while (!r.empty() && r[0] == ' ') r.remove_prefix(1);
  const bool named_by_residue = bare && r.size() >= 2 && upper(r[0]) == c1 && upper(r[1]) == c2 &&
                                (r.size() == 2 || !is_letter(upper(r[2])));
  // Hydrogen names (HG, HE1) fall through to their first letter: H is an
  // element of its own and begins no pair of the list.
  bool two = named_by_residue || (pair && kOneLetterElements.find(c1) == std::string_view::npos);
  const char p[2] = {c1, c2};
  for (std::string_view site : kTwoLetterSites)
    if (bare && site == std::string_view(p, 2)) two = true;
  if (two) e(2) = c2;
  return e;
}

}  // namespace pdb

void corr_name_pdb_(rt::FixedText<4>& aname, rt::TextRef rname, rt::FixedText<4>& asymb,
                    rt::FixedText<4>& ctype) {
  // Programs that place every name of a one-letter element from column 14
  // write the archive's 1HB as " 1HB": read from there, its element would be
  // the digit and the hydrogen would match no atom of its monomer.
  if (aname(1) == ' ' && aname(2) >= '0' && aname(2) <= '9' && aname(3) == 'H')
    shift_left(aname.ref());
  const char c1 = aname(1);
  char c2 = aname(2);
  if (c1 == ' ') {
    char e = c2 == 'M' ? 'C' : c2;
    set_elem(asymb, e);
    ctype = (e == 'C' || e == 'N' || e == 'O' || e == 'B' || e == 'F') ? "C" : "$";
    if (e == 'H') ctype = "H";
    if (e == 'D') {
      aname(2) = 'H';
      set_elem(asymb, 'H');
      ctype = "H";
    }
  } else {
    char cls = '?';
    chksmb_(c1, cls);
    const bool prefixed = cls == 'D' || (c2 == 'H' && c1 != 'T');
    if (!prefixed && c1 != '\'' && c1 != '"' && c1 != '*') {
      if (!is_heavy_element(c1, c2)) {
        set_elem(asymb, c2);
        ctype = c2 == 'H' ? "H" : "C";
      } else {
        asymb.blank();
        asymb(1) = c1;
        asymb(2) = c2;
        ctype = "$";
        if (aname(3) == '+') {
          // A charge suffix stays with the element and leaves the name.
          asymb = aname.view();
          aname(3) = ' ';
          aname(4) = ' ';
        }
      }
    } else {
      int L = aname.len_trim();
      if (L < 2) {
        L = 2;
        c2 = 'H';
      }
      if (c2 == 'D' && prefixed) c2 = 'H';
      set_elem(asymb, c2);
      const rt::FixedText<4> old = aname;
      // A leading digit, quote or star goes behind the used part as the
      // mmCIF reader puts it (1HB -> HB1, the library's name), so that both
      // forms of one file give one name.
      const bool moved_close = cls == 'D' || c1 == '\'' || c1 == '"' || c1 == '*';
      if (L == 2) {
        aname(1) = c2;
        aname(2) = moved_close ? c1 : '_';
        aname(3) = moved_close ? ' ' : '_';
        aname(4) = moved_close ? ' ' : c1;
      } else if (L == 3) {
        aname(1) = c2;
        aname(2) = old(3);
        aname(3) = moved_close ? c1 : '_';
        aname(4) = moved_close ? ' ' : c1;
      } else {
        aname(1) = c2;
        aname(2) = old(3);
        aname(3) = old(4);
        aname(4) = c1;
      }
      ctype = c2 == 'H' ? "H" : "C";
    }
  }

  // Common tail.
  if (aname(1) == ' ') {
    aname(1) = aname(2);
    aname(2) = aname(3);
    aname(3) = aname(4);
    aname(4) = ' ';
  }
  close_gap(aname);
  for (int k = 0; k < 2 && rname.len() > 0 && rname(1) == ' '; ++k) shift_left(rname);

  // The renames depend on the residue name alone: the answers are kept by
  // name, since a file holds few residue names and its atoms come by residue.
  // An ion named by its residue under a force field's nucleotide name (RU)
  // is the one exception, worked out apart.
  struct Rename {
    rt::FixedText<8> in, out;
    bool nucleotide, water, dummy, force_field, valid;
  };
  static Rename kept[64];
  bool nucleotide = false, water = false, dummy = false;
  Rename* slot = nullptr;
  if (rname.len() <= 8) {
    const rt::FixedText<8> in(rname.view());
    const auto u = [&](int i) { return static_cast<unsigned>(static_cast<unsigned char>(in.c[i])); };
    slot = &kept[(u(0) * 7 + u(1) * 3 + u(2)) & 63];
    if (!(slot->valid && std::memcmp(slot->in.c, in.c, 8) == 0)) {
      slot->in = in;
      slot->valid = false;
    }
  }
  if (slot != nullptr && slot->valid && slot->force_field &&
      foundation::force_field_nucleotide_name(rname.view(), aname.view()).empty())
    slot = nullptr;
  if (slot != nullptr && slot->valid) {
    rname = slot->out.view();
    nucleotide = slot->nucleotide;
    water = slot->water;
    dummy = slot->dummy;
  } else {
    bool force_field = false, ion = false;
    if (foundation::is_water_name(rname.view())) {
      rname = "HOH";
    } else if (const std::string_view n =
                   foundation::force_field_nucleotide_name(rname.view(), aname.view());
               !n.empty()) {
      rname = n;
      force_field = true;
    } else {
      ion = !foundation::force_field_nucleotide_name(rname.view(), std::string_view()).empty();
    }

    nucleotide = true;
    if (const std::string_view n = foundation::one_letter_nucleotide_name(rname.view()); !n.empty())
      rname = n;
    else nucleotide = one_of(rname, {"YG", "PSU", "1MA", "1MG"});
    // Neither name has a quote, which is changed below.
    water = one_of(rname, {"HOH", "DOD"});
    dummy = eq(rname, "DUM");

    if (slot != nullptr && !ion) {
      slot->out = rname.view();
      slot->nucleotide = nucleotide;
      slot->water = water;
      slot->dummy = dummy;
      slot->force_field = force_field;
      slot->valid = true;
    }
  }
  if (nucleotide)
    for (int i = 1; i <= 4; ++i)
      if (aname(i) == '\'') aname(i) = '*';
  for (int i = 1; i <= rname.len(); ++i)
    if (rname(i) == '\'') rname(i) = ',';

  const int used = aname.len_trim();
  if (used >= 2 && aname(2) == ' ') aname(2) = '_';
  if (used >= 3 && aname(3) == ' ') aname(3) = '_';
  if (aname == std::string_view("OT")) aname = "OXT";

  if (asymb == std::string_view("D") ||
      (aname(1) == 'H' &&
       one_of(aname, {"HE21", "HE22", "HD21", "HD22", "HH11", "HH12", "HH21", "HH22"}))) {
    asymb = "H";
    ctype = "H";
  }
  if (dummy) {
    aname = "DUM";
    asymb = "O";
    ctype = "C";
  }
  if (water) {
    if (asymb(1) == 'H' || asymb(1) == 'D') {
      asymb = "H";
      ctype = "H";
      if (const std::string_view h = foundation::water_hydrogen_name(aname.view()); !h.empty())
        aname = h;
    } else {
      aname = "O";
      asymb = "O";
      ctype = "C";
    }
  }

  const int32_t rclass = pdb::residue_class(rname);
  if (rclass == 5) {
    if (aname == std::string_view("P5")) { aname = "P"; ctype = "C"; }
    else if (aname == std::string_view("O51")) { aname = "O1P"; ctype = "C"; }
    else if (aname == std::string_view("O52")) { aname = "O2P"; ctype = "C"; }
  } else if ((rclass == 3 || rclass == 4) && aname(1) == 'H') {
    if (aname == std::string_view("H0")) {
      aname = "H";
      ctype = "H";
    } else if (one_of(aname, {"HT1", "HT2", "HT3"})) {
      aname(2) = aname(3);
      aname(3) = ' ';
      asymb = "H";
      ctype = "H";
    }
  }
}

namespace {

// Atoms of one residue picked by name for a geometry test, under the rules
// shared by the sugar and peptide passes.
struct Picked {
  const char* names[7];
  int n;
  int index[7];
};

void pick_atoms(int32_t r, Picked& p) {
  for (int k = 0; k < p.n; ++k) p.index[k] = 0;
  char fixed_alt = 0;
  const int first = resid_inf.iratm_first(r);
  const int last = first + resid_inf.natm_res(r) - 1;
  for (int a = first; a <= last; ++a) {
    if (atom_crd.occup(a) <= 0.0001f) continue;
    const char t = atom_inf.atm_type(a)(1);
    if (t == 'M' || t == 'U' || t == 'D') continue;
    const char alt = atom_inf.id_alt(a)(1);
    if (fixed_alt == 0) {
      fixed_alt = alt;
    } else if (alt != '.' && alt != fixed_alt) {
      continue;
    }
    for (int k = 0; k < p.n; ++k)
      if (atom_inf.atm_name(a) == std::string_view(p.names[k])) p.index[k] = a;
  }
}

const float* xyz(int a) { return &atom_crd.xyz_crd(1, a); }

// Handedness of four atoms, centre first: the signed angle of the kernel,
// whose sign is opposite to that of the chiral volume.
float chiral(int c, int a2, int a3, int a4) {
  float vol = 0.0f, angle = 0.0f;
  calc_i_ovol_l_(c, a2, a3, a4, xyz(c), xyz(a2), xyz(a3), xyz(a4), vol, angle);
  return angle;
}

bool renamed(int32_t r, int32_t chain) {
  for (int m = 1; m <= mod_inf.mod_n; ++m)
    if (mod_inf.mod_ires(m) == r && mod_inf.mod_ichn(m) == chain &&
        mod_inf.mod_id(m) == std::string_view("RENAME"))
      return true;
  return false;
}

}  // namespace

namespace pdb {

void modification_table_full(int32_t mdoc) {
  foundation::stop_table_full(mdoc, " ERROR: Number of modifications >", MAXMODIF,
                              {.constant = "MAXMODIF", .header = "atom_com", .indent = 10});
}

}  // namespace pdb

void corr_peptide_pdb_(int32_t mdoc, int32_t& ierr) {
  ierr = 0;
  for (int g = 1; g <= asym_part.n_group; ++g) {
    const int first = asym_part.ires_first(g);
    for (int r = first; r < first + asym_part.nres_chain(g); ++r) {
      if (resid_inf.ires_type(r) != 3) continue;
      if (renamed(r, g)) continue;
      Picked p{{"CA", "N", "C", "CB"}, 4, {}};
      pick_atoms(r, p);
      if (p.index[0] == 0 || p.index[1] == 0 || p.index[2] == 0 || p.index[3] == 0) continue;
      if (chiral(p.index[0], p.index[1], p.index[3], p.index[2]) >= 0.0f) continue;
      rt::FixedText<8> name = resid_inf.res_name(r);
      if (!one_of(name.sub(1, 3), {"DAL", "DVA", "DPN", "DPR", "DTR", "DLE"})) {
        name(4) = '-';
        name(5) = 'D';
      }
      const rt::FixedText<12>& key = resid_inf.res_num_pdb(r);
      msgdoc_(mdoc, rt::fmt("(5A)", " WARNING : D-peptide : ", name.sub(1, 3), " ",
                            key.sub(3, 7), " chain:") +
                        std::string(key.sub(8, 11)));
      resid_inf.res_name(r) = name;
    }
  }
}

void corr_sugar_pdb_(int32_t mdoc, char list, int32_t& ierr) {
  ierr = 0;
  for (int g = 1; g <= asym_part.n_group; ++g) {
    const int first = asym_part.ires_first(g);
    for (int r = first; r < first + asym_part.nres_chain(g); ++r) {
      const int32_t cls = resid_inf.ires_type(r);
      if (cls != 7 && cls != 8) continue;
      if (renamed(r, g)) continue;
      const std::string_view stem = resid_inf.res_name(r).sub(1, 3);
      if (!one_of(stem, {"FUC", "MAN", "GAL", "NAG", "GLC", "GCU"})) continue;
      const bool fucose = eq(stem, "FUC");
      char anomer = fucose ? 'a' : 'b';
      char config = fucose ? 'L' : 'D';
      Picked p{{"C1", "C2", "C4", "C5", "C6", "O1", "O5"}, 7, {}};
      pick_atoms(r, p);
      const int c1 = p.index[0], c2 = p.index[1], c4 = p.index[2], c5 = p.index[3],
                c6 = p.index[4], o1 = p.index[5], o5 = p.index[6];
      if (c1 && o1 && o5 && c2) anomer = chiral(c1, o1, o5, c2) >= 0.0f ? 'a' : 'b';
      if (c5 && c4 && o5 && c6) config = chiral(c5, c4, o5, c6) >= 0.0f ? 'L' : 'D';
      rt::FixedText<8> new_name;
      new_name.blank();
      std::memcpy(new_name.c, stem.data(), 3);
      new_name(4) = '-';
      new_name(5) = anomer;
      new_name(6) = '-';
      new_name(7) = config;
      if (list == 'T')
        std::printf(" sugar: %.3s %.5s -> %.8s\n", stem.data(), resid_inf.res_num_pdb(r).c + 2,
                    new_name.c);
      if (mod_inf.mod_n >= MAXMODIF) pdb::modification_table_full(mdoc);
      const int m = ++mod_inf.mod_n;
      mod_inf.mod_id(m) = "RENAME";
      mod_inf.mod_ires(m) = r;
      mod_inf.mod_ichn(m) = g;
      mod_inf.mod_seq(m) = resid_inf.res_num_pdb(r).sub(3, 7);
      mod_inf.mod_chn(m) = resid_inf.res_num_pdb(r).sub(8, 11);
      mod_inf.mod_rnam(m) = resid_inf.res_name(r);
      mod_inf.mod_rnam_new(m) = new_name;
      mod_inf.mod_used(m) = "N";
      resid_inf.mod_flag(r) = "Y";
    }
  }
}
