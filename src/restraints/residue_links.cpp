// The link rows of each residue for the restraint stage.
#include "restraints/residue_links.h"

#include "dictionary/link_lookup.h"
#include "foundation/atom_com.h"

namespace restraints {

namespace {

// Static: the index holds arrays of the table's capacity.
connect::LinkRows g_rows;
int32_t g_rows_built = -1;  // ln_n at the last build, -1 none
bool g_held = false;
bool g_marked = false;  // special rows marked since the hold
connect::ModRows g_mods;
int32_t g_mods_built = -1;  // mod_n at the last build, -1 none

void build() {
  g_rows.build(link_inf.ln_n);
  g_rows_built = link_inf.ln_n;
  g_marked = false;
  g_mods_built = -1;
}

}  // namespace

void hold_residue_links() {
  build();
  g_held = true;
}

void release_residue_links() {
  g_held = false;
  g_marked = false;
}

const connect::LinkRows& residue_links() {
  if (!g_held || g_rows_built != link_inf.ln_n) build();
  return g_rows;
}

rt::FixedText<8> library_name(int32_t ig, int32_t ir, const rt::FixedText<8>& name) {
  if (g_mods_built != mod_inf.mod_n) {
    g_mods.build();
    g_mods_built = mod_inf.mod_n;
  }
  return g_mods.name_before(ir, ig, name);
}

void mark_special_links_used() {
  if (g_held && g_marked && g_rows_built == link_inf.ln_n) return;
  const link_inf_t& l = link_inf;
  for (int32_t i = 1; i <= l.ln_n; ++i) {
    if (!(l.ln_used(i) == "S") || !link_in_unit(i)) continue;
    int32_t il = 0;
    look_link_list_(l.ln_id(i), il);
  }
  g_marked = g_held;
}

}  // namespace restraints
