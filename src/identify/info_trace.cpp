// The trace of the model tables.  Each line is a list-directed record cut to
// the 80 characters of the line it was written into.
#include "identify/info_trace.h"

#include <cstdlib>
#include <string_view>

#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

template <typename... A>
void trace_line(int32_t md, const A&... a) {
  const std::string& line = rt::list_line(a...);
  msgdoc_(md, std::string_view(line).substr(0, 80));
}

}  // namespace

void print_info_test_(int32_t md) {
  if (std::abs(md) >= 99) return;
  const link_inf_t& l = link_inf;
  msgdoc_(md, " ---ln id,used,ent,dist/res,ch,atom - ");
  for (int32_t k = 1; k <= l.ln_n && k <= MAXLINK; ++k) {
    trace_line(md, "ln:", l.ln_id(k).view(), l.ln_used(k).view(), l.ln_ent(k).view(), l.ln_dist(k));
    trace_line(md, "   ", l.ln_1ires(k), l.ln_1ichn(k), l.ln_atom1(k).view());
    trace_line(md, "   ", l.ln_2ires(k), l.ln_2ichn(k), l.ln_atom2(k).view());
    trace_line(md, "   ", l.ln_alt1(k).view(), l.ln_alt2(k).view());
  }
  const mod_inf_t& m = mod_inf;
  msgdoc_(md, " -- md id,res,ch,rnam,rnam_new - ");
  for (int32_t k = 1; k <= m.mod_n && k <= MAXMODIF; ++k) {
    trace_line(md, "md:", m.mod_id(k).view(), ";", m.mod_used(k).view());
    trace_line(md, "   ", m.mod_ires(k), m.mod_ichn(k), m.mod_rnam(k).view(), m.mod_rnam_new(k).view());
  }
  msgdoc_(md, " ----- ");
}
