// Alike substituents of a centre by colour refinement over the monomer with
// the centre taken out: every atom starts with its element (and its bonds to
// neighbouring residues), then takes the class of its own colour with the
// colours of its neighbours, until the number of classes stops growing.  Two
// substituents in separate pieces whose first atoms end in one class are the
// same graph as far as chemistry can tell them apart.
#include "builder/alike_substituents.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "builder/chem_text.h"
#include "builder/valency.h"
#include "dictionary/lib_com.h"

namespace {

using builder::nb;

// The neighbours of atom i, the centre left out.
std::vector<int> neighbours(int i, int centre) {
  const r_scratch_t& r = r_scratch;
  std::vector<int> out;
  for (int k = 1; k <= r.l1a_ndist(i) && k <= MAX1BRN; ++k)
    if (nb(k, i) != centre) out.push_back(nb(k, i));
  return out;
}

// Piece numbers of the atoms once the centre is taken out (0 for the centre).
std::vector<int> pieces(int centre) {
  const int n = r_scratch.l1a_natom;
  std::vector<int> piece(n + 1, 0);
  int count = 0;
  for (int start = 1; start <= n; ++start) {
    if (start == centre || piece[start] != 0) continue;
    piece[start] = ++count;
    std::vector<int> todo{start};
    while (!todo.empty()) {
      const int i = todo.back();
      todo.pop_back();
      for (int j : neighbours(i, centre))
        if (piece[j] == 0) {
          piece[j] = count;
          todo.push_back(j);
        }
    }
  }
  return piece;
}

// Stable colour classes of the atoms with the centre taken out.
std::vector<int> colours(int centre) {
  const r_scratch_t& r = r_scratch;
  const int n = r.l1a_natom;
  std::vector<int> colour(n + 1, -1);
  std::map<std::string, int> start;
  for (int i = 1; i <= n; ++i) {
    if (i == centre) continue;
    const std::string key =
        r.l1a_symb(i).str() + std::to_string(builder::outside_bonds(r.l1a_aname(i)));
    colour[i] = start.emplace(key, static_cast<int>(start.size())).first->second;
  }
  std::size_t classes = start.size();
  for (int round = 0; round < n; ++round) {
    std::map<std::vector<int>, int> next;
    std::vector<int> refined(n + 1, -1);
    for (int i = 1; i <= n; ++i) {
      if (i == centre) continue;
      std::vector<int> sig{colour[i]};
      for (int j : neighbours(i, centre)) sig.push_back(colour[j]);
      std::sort(sig.begin() + 1, sig.end());
      refined[i] = next.emplace(sig, static_cast<int>(next.size())).first->second;
    }
    colour.swap(refined);
    if (next.size() == classes) break;
    classes = next.size();
  }
  return colour;
}

}  // namespace

bool builder::alike_substituents(int centre) {
  const r_scratch_t& r = r_scratch;
  std::vector<int> first;
  for (int k = 1; k <= r.l1a_ndist(centre) && k <= MAX1BRN; ++k) first.push_back(nb(k, centre));
  const std::vector<int> piece = pieces(centre);
  // A piece reached from two neighbours closes a ring through the centre.
  std::map<int, int> entries, size;
  for (int a : first) ++entries[piece[a]];
  for (int i = 1; i <= r.l1a_natom; ++i) ++size[piece[i]];
  std::vector<int> colour;
  for (std::size_t p = 0; p < first.size(); ++p)
    for (std::size_t q = p + 1; q < first.size(); ++q) {
      const int a = first[p], b = first[q];
      if (piece[a] == piece[b] || entries[piece[a]] != 1 || entries[piece[b]] != 1) continue;
      if (size[piece[a]] != size[piece[b]]) continue;
      if (colour.empty()) colour = colours(centre);
      if (colour[a] == colour[b]) return true;
    }
  return false;
}
